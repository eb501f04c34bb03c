#include "ui/lists/TableViewCell.h"

#include <QMouseEvent>

#include "ui/lists/TableView.h"

namespace ovira {

TableViewCell::TableViewCell(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_StyledBackground);
}

TableView* TableViewCell::tableView() const {
    return static_cast<TableView*>(table_.data());
}

void TableViewCell::setSelected(bool selected, bool) {
    selected_ = selected;
    if (selectedBackground_) {
        selectedBackground_->setGeometry(rect());
        selectedBackground_->setVisible(selected);
        selectedBackground_->lower();
    }
}

void TableViewCell::setSelectedBackgroundView(QWidget* view) {
    if (selectedBackground_ && selectedBackground_ != view) selectedBackground_->deleteLater();
    selectedBackground_ = view;
    if (!view) return;
    view->setParent(this);
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->setGeometry(rect());
    view->setVisible(selected_);
    view->lower();
}

void TableViewCell::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void TableViewCell::mouseReleaseEvent(QMouseEvent* event) {
    const bool tapped = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (tapped && table_) tableView()->cellTapped(this);
}

void TableViewCell::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (selectedBackground_) selectedBackground_->setGeometry(rect());
}

}  // namespace ovira
