#include "screens/selection/EKYCSelectionViewController.h"

#include <QLayout>
#include <QPointer>
#include <QVariantAnimation>
#include <algorithm>

#include "resources/ColorAsset.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "resources/Localized.h"
#include "screens/selection/EKYCSelectionTableViewCell.h"
#include "ui/animation/ViewAnimation.h"
#include "ui/lists/NibCellRegistration.h"
#include "ui/view/Outlet.h"
#include "ui/view/SurfaceView.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCSelectionViewController::EKYCSelectionViewController(QWidget* parent)
    : EKYCPanelSheetViewController(parent) {
    Nib::instantiate(unqualifiedClassName(staticMetaObject), this);
    tfSearch = outlet<QLineEdit>(this, "tfSearch");
    lbTitle = outlet<QLabel>(this, "lbTitle");
    vSearchBar = outlet<QWidget>(this, "vSearchBar");
    vBottomSheet = outlet<QWidget>(this, "vBottomSheet");
    tableView = outlet<EKYCBaseTableView>(this, "tableView");
    btnClose = outlet<QToolButton>(this, "btnClose");
}

void EKYCSelectionViewController::viewDidLoad() {
    EKYCPanelSheetViewController::viewDidLoad();
    tableView->setDelegate(this);
    tableView->setDataSource(this);
    registerNibCell<EKYCSelectionTableViewCell>(*tableView);
    tableView->setRowHeight(EKYCSelectionViewModel::rowHeight);
    tableView->reloadData();
    connect(tfSearch, &QLineEdit::textChanged, this, &EKYCSelectionViewController::textFieldDidChange);
    keyboardTracker = new EKYCKeyboardTracker(this);
    keyboardTracker->setDelegate(this);
}

void EKYCSelectionViewController::viewWillAppear(bool animated) {
    EKYCPanelSheetViewController::viewWillAppear(animated);
    if (keyboardTracker) {
        keyboardTracker->isPaused = false;
        keyboardTracker->resume();
    }
}

void EKYCSelectionViewController::viewWillDisappear(bool animated) {
    EKYCPanelSheetViewController::viewWillDisappear(animated);
    if (keyboardTracker) keyboardTracker->isPaused = true;
}

void EKYCSelectionViewController::setupUI() {
    EKYCPanelSheetViewController::setupUI();
    auto& model = viewModel();
    lbTitle->setText(QString::fromStdString(model.title()));
    lbTitle->setFont(systemFont(18));
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    tfSearch->setPlaceholderText(localizedText("common.search"));
    tfSearch->setFont(systemFont(15));
    tfSearch->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; color: %1; }")
                                .arg(ColorAsset::blackAAA().color().name()));
    outlet<ImageView>(this, "imgSearch")->setImage(ImageAsset::image(QStringLiteral("ic_search")));
    static_cast<SurfaceView*>(outlet<QWidget>(this, "vSearchField"))
        ->setBackgroundColor(colorFromHex(u"F0F2F6"));
    btnClose->setIcon(ImageAsset::image(QStringLiteral("ic_sheet_close")).icon());
    btnClose->setCursor(Qt::PointingHandCursor);
    connect(btnClose, &QToolButton::clicked, this, &EKYCSelectionViewController::clickedClose);
    styleSheetPanel(vBottomSheet);
    vSearchBar->setHidden(model.isSearchHidden());
    tableView->setVerticalScrollBarPolicy(model.isSearchHidden() ? Qt::ScrollBarAlwaysOff
                                                                 : Qt::ScrollBarAsNeeded);
    setBackgroundColor(tableView->viewport(), Qt::white);
    setBackgroundColor(tableView->contentView(), Qt::white);
    updateTableHeight();
}

void EKYCSelectionViewController::bindViewModel() {
    EKYCPanelSheetViewController::bindViewModel();
    QPointer<EKYCSelectionViewController> screen(this);
    viewModel()
        .reloadPublisher
        .sink([screen](Void) {
            if (screen) screen->tableView->reloadData();
        })
        .store(subscriptions);
}

void EKYCSelectionViewController::configure() {
    if (viewModel().loadsInBackground()) setLoading(true);
    EKYCPanelSheetViewController::configure();
}

void EKYCSelectionViewController::updateTableHeight() {
    // The phone's screen is the window the flow runs in.
    const QWidget* screenWindow = window();
    const double screenHeight = screenWindow && screenWindow != this ? screenWindow->height() : height();
    tableView->setFixedHeight(static_cast<int>(viewModel().listHeight(screenHeight)));
}

void EKYCSelectionViewController::resizeEvent(QResizeEvent* event) {
    EKYCPanelSheetViewController::resizeEvent(event);
    if (hasViewModel()) updateTableHeight();
}

// Every edit searches, clearing included: an empty keyword shows all entries again.
void EKYCSelectionViewController::textFieldDidChange(const QString& text) {
    viewModel().search(text.toStdString());
}

void EKYCSelectionViewController::clickedClose() {
    dismiss(true);
}

int EKYCSelectionViewController::numberOfRows(TableView&, int) {
    return static_cast<int>(viewModel().filterItems.size());
}

TableViewCell* EKYCSelectionViewController::cellForRow(TableView&, const IndexPath& indexPath) {
    auto* cell = tableView->dequeueReusableCell<EKYCSelectionTableViewCell>(indexPath);
    const auto& items = viewModel().filterItems;
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(items.size()))
        cell->configure(items[static_cast<std::size_t>(indexPath.row)]);
    return cell;
}

void EKYCSelectionViewController::didSelectRow(TableView&, const IndexPath& indexPath) {
    auto& items = viewModel().filterItems;
    if (isDismissing || indexPath.row < 0 || indexPath.row >= static_cast<int>(items.size())) return;
    auto& item = items[static_cast<std::size_t>(indexPath.row)];
    if (item.isSelected) return;  // the current value: nothing to hand back
    item.isSelected = true;
    if (onClickedItem) onClickedItem(item);
    isDismissing = true;
    dismiss(true);
}

void EKYCSelectionViewController::keyboardTrackerDidUpdate(const EKYCKeyboardTracker::Animation& animation) {
    if (isDismissing) return;
    if (animation.frame.height() > 0) {
        // Lifted from where the panel rests, however often the keyboard
        // changes, so that hiding it brings the panel back to its place.
        if (!rootLift_) rootLift_ = lift_;
        const int restingTop = vBottomSheet->mapTo(window(), QPoint(0, 0)).y() + lift_ - *rootLift_;
        const int top = std::max(restingTop - static_cast<int>(animation.frame.height()), topLimit);
        setLift(*rootLift_ + restingTop - top, animation.duration);
    } else if (rootLift_) {
        const int lift = *rootLift_;
        rootLift_.reset();
        setLift(lift, animation.duration);
    }
}

void EKYCSelectionViewController::setLift(int lift, double duration) {
    if (liftAnimation_) liftAnimation_->stop();
    auto apply = [this](int value) {
        lift_ = value;
        auto* root = layout();
        const QMargins margins = root->contentsMargins();
        root->setContentsMargins(margins.left(), margins.top(), margins.right(), value);
        root->activate();
    };
    if (!ViewAnimation::areAnimationsEnabled() || duration <= 0) {
        apply(lift);
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(lift_);
    animation->setEndValue(lift);
    animation->setDuration(static_cast<int>(duration * 1000));
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [apply](const QVariant& value) { apply(value.toInt()); });
    liftAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace ovira
