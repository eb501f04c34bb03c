#include "ui/controller/NavigationBar.h"

#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include "ui/controller/NavigationItem.h"

namespace ovira {

NavigationBar::NavigationBar(QWidget* parent)
    : QWidget(parent), title_(new QLabel(this)), left_(new QToolButton(this)), back_(new QToolButton(this)) {
    setObjectName(QStringLiteral("navigationBar"));
    setFixedHeight(defaultHeight);
    title_->setObjectName(QStringLiteral("navigationTitle"));
    title_->setAlignment(Qt::AlignCenter);
    title_->setWordWrap(true);
    left_->setObjectName(QStringLiteral("leftBarButton"));
    back_->setObjectName(QStringLiteral("backButton"));
    for (QToolButton* button : {left_, back_}) {
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setIconSize(QSize(24, 24));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setStyleSheet(
            QStringLiteral("QToolButton { border: none; background: transparent; padding: 0 6px; }"));
        button->hide();
    }
    connect(left_, &QToolButton::clicked, this, [this] {
        if (item_ && item_->leftBarButtonItem() && item_->leftBarButtonItem()->action)
            item_->leftBarButtonItem()->action();
    });
    connect(back_, &QToolButton::clicked, this, [this] {
        if (backAction_) backAction_();
    });
}

void NavigationBar::setStandardAppearance(const NavigationBarAppearance& appearance) {
    standard_ = appearance;
    refresh();
}

void NavigationBar::setBackButtonAccessibleName(const QString& name) {
    backAccessibleName_ = name;
    refresh();
}

QToolButton* NavigationBar::leftButton() const {
    if (left_->isVisibleTo(this)) return left_;
    if (back_->isVisibleTo(this)) return back_;
    return nullptr;
}

void NavigationBar::show(NavigationItem* top, const std::optional<QString>& backTitle) {
    if (item_) disconnect(item_, nullptr, this, nullptr);
    item_ = top;
    backTitle_ = backTitle;
    if (item_) connect(item_, &NavigationItem::changed, this, &NavigationBar::refresh);
    refresh();
}

void NavigationBar::refresh() {
    title_->setFont(standard_.titleFont);
    QPalette palette = title_->palette();
    palette.setColor(QPalette::WindowText, standard_.titleColor);
    title_->setPalette(palette);
    title_->setText(item_ ? item_->title() : QString());

    const auto& leftItem = item_ ? item_->leftBarButtonItem() : std::nullopt;
    left_->setVisible(leftItem.has_value());
    if (leftItem) {
        left_->setIcon(leftItem->image.icon());
        left_->setText(leftItem->title);
        left_->setAccessibleName(leftItem->accessibleName.isEmpty() ? leftItem->title : leftItem->accessibleName);
        left_->setToolButtonStyle(leftItem->title.isEmpty() ? Qt::ToolButtonIconOnly
                                                            : Qt::ToolButtonTextBesideIcon);
    }
    // A left item replaces the back button.
    const bool showsBack = !leftItem && backTitle_;
    back_->setVisible(showsBack);
    if (showsBack) {
        back_->setIcon(standard_.backIndicatorImage.icon());
        const QString text = backTitle_->trimmed();
        back_->setText(text);
        back_->setAccessibleName(backAccessibleName_.isEmpty() ? text : backAccessibleName_);
        back_->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
        back_->setFont(standard_.titleFont);
        QPalette backPalette = back_->palette();
        backPalette.setColor(QPalette::ButtonText, standard_.titleColor);
        back_->setPalette(backPalette);
    }
    layoutContent();
    update();
}

void NavigationBar::layoutContent() {
    // The title stays centred on the bar, clear of the buttons on either side;
    // a title too long for its line wraps, and the bar grows to hold it.
    const int buttonWidth = std::max(44, (left_->isVisibleTo(this) ? left_ : back_)->sizeHint().width());
    const int side = std::max(56, left_->isVisibleTo(this) || back_->isVisibleTo(this) ? buttonWidth + 12 : 0);
    const int titleWidth = std::max(0, width() - 2 * side);
    setFixedHeight(std::max(defaultHeight, title_->heightForWidth(titleWidth) + 12));
    for (QToolButton* button : {left_, back_})
        button->setGeometry(4, 0, std::max(44, button->sizeHint().width()), QWidget::height());
    title_->setGeometry(side, 0, titleWidth, QWidget::height());
}

void NavigationBar::resizeEvent(QResizeEvent*) {
    layoutContent();
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
