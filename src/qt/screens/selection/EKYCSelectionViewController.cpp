#include "screens/selection/EKYCSelectionViewController.h"

#include <QKeyEvent>
#include <QLayout>
#include <QPointer>
#include <QVariantAnimation>
#include <algorithm>

#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/ScreenLayout.h"
#include "screens/selection/EKYCSelectionTableViewCell.h"
#include "ui/animation/ViewAnimation.h"
#include "ui/view/ViewStyle.h"

namespace ovira {

EKYCSelectionViewController::EKYCSelectionViewController(QWidget* parent)
    : EKYCPanelSheetViewController(parent),
      model_(new EKYCSelectionListModel(this)),
      filter_(new EKYCSelectionFilterModel(this)) {
    setupUi(this);
    filter_->setSourceModel(model_);
    tableView->setModel(filter_);
    tableView->setItemDelegate(new EKYCSelectionTableViewCell(tableView));
    // Rows grow with a value that wraps, and wrap anew when the list's width changes.
    tableView->setUniformItemSizes(false);
    tableView->setResizeMode(QListView::Adjust);
    tableView->setFrameShape(QFrame::NoFrame);
    tableView->setMouseTracking(true);
    tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableView->installEventFilter(this);
    connect(tableView, &QListView::clicked, this, &EKYCSelectionViewController::didSelectRow);
    connect(tableView, &QListView::activated, this, &EKYCSelectionViewController::didSelectRow);
}

void EKYCSelectionViewController::viewDidLoad() {
    EKYCPanelSheetViewController::viewDidLoad();
    model_->setItems(viewModel().items);
    connect(tfSearch, &QLineEdit::textChanged, this, &EKYCSelectionViewController::textFieldDidChange);
    keyboardTracker = new EKYCKeyboardTracker(this);
    connect(keyboardTracker, &EKYCKeyboardTracker::keyboardTrackerDidUpdate, this,
            &EKYCSelectionViewController::keyboardTrackerDidUpdate);
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
    setMaximumContentWidth(readableContentWidth);
    auto& model = viewModel();
    lbTitle->setText(QString::fromStdString(model.title()));
    lbTitle->setFont(systemFont(18));
    lbTitle->setWordWrap(true);
    setTextColor(lbTitle, ColorAsset::blackAAA().color());
    tfSearch->setPlaceholderText(localizedText("common.search"));
    tfSearch->setFont(systemFont(15));
    // The colours come from the palette: a style sheet's colour would also
    // make the placeholder its half-transparent shade, too faint to read.
    tfSearch->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
    setTextColor(tfSearch, ColorAsset::blackAAA().color());
    setPlaceholderColor(tfSearch, ColorAsset::secondText().color());
    imgSearch->setImage(ImageAsset::image(QStringLiteral("ic_search")));
    vSearchField->setStyleSheet(QStringLiteral("#vSearchField { background: #F0F2F6; border-radius: %1px; }")
                                    .arg(EKYCTheme::pixelRadius(10)));
    btnClose->setIcon(ImageAsset::image(QStringLiteral("ic_sheet_close")).icon());
    btnClose->setCursor(Qt::PointingHandCursor);
    connect(btnClose, &QToolButton::clicked, this, &EKYCSelectionViewController::clickedClose);
    btnClose->setAccessibleName(accessibleText("a11y.close"));
    // The list is read under the sheet's title; the search box by its placeholder's word.
    tableView->setAccessibleName(lbTitle->text());
    tfSearch->setAccessibleName(localizedText("common.search"));
    styleSheetPanel(vBottomSheet);
    vSearchBar->setHidden(model.isSearchHidden());
    tableView->setVerticalScrollBarPolicy(model.isSearchHidden() ? Qt::ScrollBarAlwaysOff
                                                                 : Qt::ScrollBarAsNeeded);
    setBackgroundColor(tableView->viewport(), Qt::white);
    updateTableHeight();
}

void EKYCSelectionViewController::bindViewModel() {
    EKYCPanelSheetViewController::bindViewModel();
    QPointer<EKYCSelectionViewController> screen(this);
    viewModel()
        .reloadPublisher
        .sink([screen](Void) {
            if (screen) screen->model_->setItems(screen->viewModel().items);
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
    // The header and the search bar as tall as their text makes them.
    const int width = contentsRect().width();
    const int header = std::max(static_cast<int>(EKYCSelectionViewModel::headerHeight), heightAtWidth(vHeader, width));
    const int search = vSearchBar->isHidden() ? static_cast<int>(EKYCSelectionViewModel::searchHeight)
                                              : std::max(static_cast<int>(EKYCSelectionViewModel::searchHeight),
                                                         heightAtWidth(vSearchBar, width));
    tableView->setFixedHeight(static_cast<int>(
        viewModel().listHeight(screenHeight, EKYCSelectionTableViewCell::singleLineRowHeight(), header, search)));
}

void EKYCSelectionViewController::resizeEvent(QResizeEvent* event) {
    EKYCPanelSheetViewController::resizeEvent(event);
    if (hasViewModel()) updateTableHeight();
}

// Every edit searches, clearing included: an empty keyword shows all entries again.
void EKYCSelectionViewController::textFieldDidChange(const QString& text) {
    filter_->setKeyword(text);
}

void EKYCSelectionViewController::clickedClose() {
    dismiss(true);
}

void EKYCSelectionViewController::didSelectRow(const QModelIndex& index) {
    const EKYCSelectionItem* entry = model_->item(filter_->mapToSource(index).row());
    if (isDismissing || !entry || entry->isSelected) return;  // the current value: nothing to hand back
    EKYCSelectionItem picked = *entry;
    picked.isSelected = true;
    if (onClickedItem) onClickedItem(picked);
    isDismissing = true;
    dismiss(true);
}

bool EKYCSelectionViewController::eventFilter(QObject* watched, QEvent* event) {
    // Space picks the entry under the keyboard's focus, as Enter does.
    if (watched == tableView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && tableView->currentIndex().isValid()) {
        didSelectRow(tableView->currentIndex());
        return true;
    }
    return EKYCPanelSheetViewController::eventFilter(watched, event);
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
