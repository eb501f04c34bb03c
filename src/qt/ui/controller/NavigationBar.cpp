#include "ui/controller/NavigationBar.h"

#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include "ui/controller/NavigationItem.h"

namespace ovira {

NavigationBar::NavigationBar(QWidget* parent)
    : QWidget(parent), title_(new QLabel(this)), left_(new QToolButton(this)) {
    setObjectName(QStringLiteral("navigationBar"));
    setFixedHeight(defaultHeight);
    title_->setObjectName(QStringLiteral("navigationTitle"));
    title_->setAlignment(Qt::AlignCenter);
    title_->setWordWrap(true);
    left_->setCursor(Qt::PointingHandCursor);
    left_->setIconSize(QSize(24, 24));
    left_->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; padding: 0 6px; }"));
    left_->hide();
    connect(left_, &QToolButton::clicked, this, [this] {
        const auto& leftItem = item_ ? item_->leftBarButtonItem() : std::nullopt;
        if (!leftItem)
            Q_EMIT backTapped();
        else if (leftItem->action)
            leftItem->action();
    });
}

void NavigationBar::show(NavigationItem* top, const std::optional<QString>& backTitle) {
    if (item_) disconnect(item_, nullptr, this, nullptr);
    item_ = top;
    backTitle_ = backTitle;
    if (item_) connect(item_, &NavigationItem::changed, this, &NavigationBar::refresh);
    refresh();
}

void NavigationBar::refresh() {
    // The title and the button take the bar's font and colour.
    setFont(standard_.titleFont);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, standard_.titleColor);
    colours.setColor(QPalette::ButtonText, standard_.titleColor);
    setPalette(colours);
    title_->setText(item_ ? item_->title() : QString());

    // The left button: the screen's own left item, else a back button.
    const auto& leftItem = item_ ? item_->leftBarButtonItem() : std::nullopt;
    left_->setVisible(leftItem || backTitle_);
    left_->setObjectName(leftItem ? QStringLiteral("leftBarButton") : QStringLiteral("backButton"));
    const QString text = leftItem ? leftItem->title : backTitle_.value_or(QString()).trimmed();
    const QString name = leftItem ? leftItem->accessibleName : backAccessibleName_;
    left_->setIcon(leftItem ? leftItem->image.icon() : standard_.backIndicatorImage.icon());
    left_->setText(text);
    left_->setAccessibleName(name.isEmpty() ? text : name);
    left_->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    resizeEvent(nullptr);
    update();
}

void NavigationBar::resizeEvent(QResizeEvent*) {
    // The title stays centred on the bar, clear of the buttons on either side;
    // a title too long for its line wraps, and the bar grows to hold it.
    const int buttonWidth = std::max(44, left_->sizeHint().width());
    const int side = std::max(56, left_->isVisibleTo(this) ? buttonWidth + 12 : 0);
    const int titleWidth = std::max(0, width() - 2 * side);
    setFixedHeight(std::max(defaultHeight, title_->heightForWidth(titleWidth) + 12));
    left_->setGeometry(4, 0, buttonWidth, QWidget::height());
    title_->setGeometry(side, 0, titleWidth, QWidget::height());
}

void NavigationBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), standard_.backgroundColor);
    if (!standard_.backgroundImage.isNull()) standard_.backgroundImage.paint(painter, QRectF(rect()));
    if (!standard_.hidesShadow)
        painter.fillRect(QRectF(0, QWidget::height() - 0.5, width(), 0.5), QColor(0, 0, 0, 60));
}

}  // namespace ovira
