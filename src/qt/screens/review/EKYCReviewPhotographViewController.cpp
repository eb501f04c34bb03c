#include "screens/review/EKYCReviewPhotographViewController.h"

#include <QPointer>
#include <QScrollBar>
#include <QVariantAnimation>

#include "platform/QImageAdapter.h"
#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/review/EKYCReviewCollectionViewCell.h"
#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationController.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

constexpr int kScrollDurationMs = 300;

void styleRoundButton(QToolButton* button, const EKYCImage& icon, bool filled) {
    button->setIcon(icon.icon());
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        filled ? QStringLiteral("QToolButton { background: rgba(255, 255, 255, 38); border: none;"
                                " border-radius: 26px; }"
                                "QToolButton:pressed { background: rgba(255, 255, 255, 80); }")
               : QStringLiteral("QToolButton { background: transparent; border: none; }"
                                "QToolButton:pressed { background: rgba(255, 255, 255, 40);"
                                " border-radius: 22px; }"));
}

}  // namespace

EKYCReviewPhotographViewController::EKYCReviewPhotographViewController(QWidget* parent)
    : EKYCBaseViewController(parent) {
    setupUi(this);
}

void EKYCReviewPhotographViewController::viewDidLoad() {
    EKYCBaseViewController::viewDidLoad();
    for (const auto& item : viewModel().items) {
        auto* cell = collectionView->addItem<EKYCReviewCollectionViewCell>();
        cell->configure(qImageOf(item.image));
        cell->imgPhotograph->setAccessibleName(QString::fromStdString(item.title()));
    }
    scrollToItem(viewModel().currentIndex, false);
    // Every layout of the pages lands on the current one, whatever was scrolled by hand.
    connect(collectionView->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { scrollToItem(viewModel().currentIndex, false); });
}

void EKYCReviewPhotographViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close item, shown here in the screen's own bar
    setBackgroundColor(this, QColor(0x0B, 0x0D, 0x12));
    setMaximumContentWidth(readableContentWidth);
    const auto& model = viewModel();
    lbTitle->setFont(systemFont(16));
    lbTitle->setWordWrap(true);
    setTextColor(lbTitle, Qt::white);
    lbPage->setFont(systemFont(14));
    setTextColor(lbPage, QColor(255, 255, 255, 180));
    showPage(model.currentIndex, model.currentTitle());
    styleRoundButton(btnBack, ImageAsset::image(QStringLiteral("ic_back")), false);
    styleRoundButton(btnClose, ImageAsset::image(QStringLiteral("ic_close")), false);
    styleRoundButton(btnPrevious, ImageAsset::image(QStringLiteral("ic_back")), true);
    styleRoundButton(btnNext, ImageAsset::image(QStringLiteral("ic_next")), true);
    const bool paging = model.items.size() > 1;
    btnPrevious->setVisible(paging);
    btnNext->setVisible(paging);
    // Icon-only buttons: named for screen readers.
    const std::pair<QToolButton*, const char*> names[] = {{btnBack, "a11y.back"},
                                                          {btnClose, "a11y.close"},
                                                          {btnPrevious, "a11y.previous_photo"},
                                                          {btnNext, "a11y.next_photo"}};
    for (const auto& [button, key] : names) button->setAccessibleName(accessibleText(key));
    connect(btnBack, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::onBack);
    connect(btnClose, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::didTapClose);
    connect(btnPrevious, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::previousImage);
    connect(btnNext, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::nextImage);

    collectionView->setStyleSheet(QStringLiteral("QScrollBar { height: 0px; width: 0px; }"));
    collectionView->viewport()->setAutoFillBackground(false);
    collectionView->widget()->setAutoFillBackground(false);
}

void EKYCReviewPhotographViewController::bindViewModel() {
    EKYCBaseViewController::bindViewModel();
    QPointer<EKYCReviewPhotographViewController> screen(this);
    viewModel()
        .nextItemPublisher
        .sink([screen](const std::pair<int, std::optional<std::string>>& page) {
            if (!screen) return;
            screen->scrollToItem(page.first, true);
            screen->showPage(page.first, page.second);
        })
        .store(subscriptions);
}

void EKYCReviewPhotographViewController::showPage(int index, const std::optional<std::string>& title) {
    lbTitle->setText(title ? QString::fromStdString(*title) : QString());
    const int count = static_cast<int>(viewModel().items.size());
    const bool inList = index >= 0 && index < count;
    lbPage->setText(inList ? QStringLiteral("%1 / %2").arg(index + 1).arg(count) : QString());
    // "1 / 3" read aloud is a sum: the page in words.
    lbPage->setAccessibleName(
        inList ? accessibleText("a11y.page", {QString::number(index + 1), QString::number(count)}) : QString());
}

// The bar comes back for the screen underneath.
void EKYCReviewPhotographViewController::viewWillAppear(bool animated) {
    EKYCBaseViewController::viewWillAppear(animated);
    if (auto* navigation = navigationController()) navigation->navigationBar()->hide();
}

void EKYCReviewPhotographViewController::viewWillDisappear(bool animated) {
    EKYCBaseViewController::viewWillDisappear(animated);
    if (auto* navigation = navigationController()) navigation->navigationBar()->setVisible(true);
}

void EKYCReviewPhotographViewController::resizeEvent(QResizeEvent* event) {
    EKYCBaseViewController::resizeEvent(event);
    if (hasViewModel() && isViewLoaded()) scrollToItem(viewModel().currentIndex, false);
}

void EKYCReviewPhotographViewController::onBack() {
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void EKYCReviewPhotographViewController::previousImage() {
    viewModel().previousItem();
}

void EKYCReviewPhotographViewController::nextImage() {
    viewModel().nextItem();
}

int EKYCReviewPhotographViewController::visibleIndex() const {
    const int page = std::max(1, collectionView->viewport()->width());
    return (collectionView->horizontalScrollBar()->value() + page / 2) / page;
}

void EKYCReviewPhotographViewController::scrollToItem(int index, bool animated) {
    if (index < 0 || index >= static_cast<int>(viewModel().items.size())) return;
    auto* bar = collectionView->horizontalScrollBar();
    const int target = index * collectionView->viewport()->width();
    if (scroll_) scroll_->stop();
    if (!animated || !ViewAnimation::areAnimationsEnabled()) {
        bar->setValue(target);
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(bar->value());
    animation->setEndValue(target);
    animation->setDuration(kScrollDurationMs);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    QPointer<QScrollBar> scrolled(bar);
    connect(animation, &QVariantAnimation::valueChanged, this, [scrolled](const QVariant& value) {
        if (scrolled) scrolled->setValue(value.toInt());
    });
    scroll_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace ovira
