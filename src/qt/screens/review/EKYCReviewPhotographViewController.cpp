#include "screens/review/EKYCReviewPhotographViewController.h"

#include <QPointer>
#include <QScrollBar>
#include <QVariantAnimation>

#include "platform/QImageAdapter.h"
#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "screens/review/EKYCReviewCollectionViewCell.h"
#include "ui/animation/ViewAnimation.h"
#include "ui/controller/NavigationBar.h"
#include "ui/controller/NavigationController.h"
#include "ui/lists/NibCellRegistration.h"
#include "ui/view/Outlet.h"
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
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    lbTitle = outlet<QLabel>(this, "lbTitle");
    collectionView = outlet<EKYCBaseCollectionView>(this, "collectionView");
    btnBack = outlet<QToolButton>(this, "btnBack");
    btnClose = outlet<QToolButton>(this, "btnClose");
    btnPrevious = outlet<QToolButton>(this, "btnPrevious");
    btnNext = outlet<QToolButton>(this, "btnNext");
    lbPage = outlet<QLabel>(this, "lbPage");
}

void EKYCReviewPhotographViewController::viewDidLoad() {
    EKYCBaseViewController::viewDidLoad();
    collectionView->reloadData();
    scrollToItem(viewModel().currentIndex, false);
}

void EKYCReviewPhotographViewController::setupUI() {
    EKYCBaseViewController::setupUI();  // the close item, shown here in the screen's own bar
    setBackgroundColor(this, QColor(0x0B, 0x0D, 0x12));
    const auto& model = viewModel();
    lbTitle->setFont(systemFont(16));
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
    connect(btnBack, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::onBack);
    connect(btnClose, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::didTapClose);
    connect(btnPrevious, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::previousImage);
    connect(btnNext, &QToolButton::clicked, this, &EKYCReviewPhotographViewController::nextImage);

    collectionView->scrollDirection = CollectionView::ScrollDirection::horizontal;
    collectionView->minimumLineSpacing = 0;
    collectionView->minimumInteritemSpacing = 0;
    collectionView->sectionInset = QMargins();
    collectionView->setStyleSheet(QStringLiteral("QScrollBar { height: 0px; width: 0px; }"));
    collectionView->viewport()->setAutoFillBackground(false);
    collectionView->widget()->setAutoFillBackground(false);
    collectionView->setDelegate(this);
    collectionView->setDataSource(this);
    registerNibCell<EKYCReviewCollectionViewCell>(*collectionView);
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
    lbPage->setText(index >= 0 && index < count ? QStringLiteral("%1 / %2").arg(index + 1).arg(count)
                                                : QString());
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
    // Every layout lands on the current page, whatever was scrolled by hand.
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

int EKYCReviewPhotographViewController::numberOfItems(CollectionView&, int) {
    return static_cast<int>(viewModel().items.size());
}

CollectionViewCell* EKYCReviewPhotographViewController::cellForItem(CollectionView&,
                                                                    const IndexPath& indexPath) {
    auto* cell = collectionView->dequeueReusableCell<EKYCReviewCollectionViewCell>(indexPath);
    const auto& items = viewModel().items;
    if (indexPath.item() >= 0 && indexPath.item() < static_cast<int>(items.size()))
        cell->configure(qImageOf(items[static_cast<std::size_t>(indexPath.item())].image));
    else
        cell->configure(std::any());
    return cell;
}

QSize EKYCReviewPhotographViewController::sizeForItem(CollectionView& collection, const IndexPath&) {
    return collection.viewport()->size();
}

}  // namespace ovira
