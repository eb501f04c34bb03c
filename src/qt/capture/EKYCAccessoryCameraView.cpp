#include "capture/EKYCAccessoryCameraView.h"

#include <QEvent>
#include <algorithm>
#include <QIconEngine>
#include <QLayout>
#include <QPainter>

#include "resources/EKYCImage.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "ui/view/ViewStyle.h"

namespace ovira {
namespace {

// An icon with its own artwork for the disabled state, drawn crisp at any
// size and scale.
class StateImageIconEngine : public QIconEngine {
public:
    StateImageIconEngine(EKYCImage normal, EKYCImage disabled)
        : normal_(std::move(normal)), disabled_(std::move(disabled)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        imageFor(mode).paint(*painter, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        return imageFor(mode).pixmap(size, scale);
    }
    QIconEngine* clone() const override { return new StateImageIconEngine(normal_, disabled_); }
    QString key() const override { return QStringLiteral("ovira-state-image"); }

private:
    const EKYCImage& imageFor(QIcon::Mode mode) const {
        return mode == QIcon::Disabled ? disabled_ : normal_;
    }

    EKYCImage normal_;
    EKYCImage disabled_;
};

// Flat icon buttons over the camera: no frame, no background.
void styleIconButton(QPushButton* button) {
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
}

}  // namespace

EKYCAccessoryCameraView::EKYCAccessoryCameraView(QWidget* parent) : QWidget(parent) {
    setupUi(this);

    lbTitle->setText(QString());
    lbTitle->setFont(boldSystemFont(24));
    setTextColor(lbTitle, Qt::white);
    lbGuide->setText(QString());
    lbGuide->setFont(systemFont(15));
    setTextColor(lbGuide, QColor(255, 255, 255, 220));
    vGuide->hide();

    // The hint: white on a dark pill, over any picture. Its place is kept
    // while it is empty, so that the window does not move when it comes.
    lbHint->setFont(boldSystemFont(15));
    lbHint->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: rgba(0, 0, 0, 150); border-radius: 20px; padding: 8px 16px; }"));
    lbHint->setAccessibleName(accessibleText("a11y.capture_hint"));
    btnStopAuto->setText(localizedText("capture.auto.stop"));
    btnStopAuto->setAccessibleName(accessibleText("a11y.auto_stop"));
    btnStopAuto->setFont(boldSystemFont(15));
    btnStopAuto->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background: rgba(205, 50, 53, 220); border: none; border-radius: 20px;"
        " padding: 8px 16px; }"));
    for (QWidget* kept : {static_cast<QWidget*>(lbHint), static_cast<QWidget*>(btnStopAuto)}) {
        QSizePolicy policy = kept->sizePolicy();
        policy.setRetainSizeWhenHidden(kept == lbHint);
        kept->setSizePolicy(policy);
    }
    lbHint->hide();
    btnStopAuto->hide();
    // The row keeps the height of a hint of two lines, whatever it shows, so
    // that a hint coming, going or wrapping never moves the window.
    lbHint->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    const QMargins rowMargins = hintLayout->contentsMargins();
    // Two lines, the pill's padding (8 above and below) and its rounding.
    vHint->setFixedHeight(rowMargins.top() + rowMargins.bottom() + 2 * lbHint->fontMetrics().lineSpacing() + 22);
    hintStatus = new AccessibleStatus(vHint);
    hintStatus->setObjectName(QStringLiteral("hintStatus"));
    hintStatus->setAttribute(Qt::WA_TransparentForMouseEvents);

    btnCapture->setIcon(
        QIcon(new StateImageIconEngine(ImageAsset::image(QStringLiteral("ic_capture_enable")),
                                       ImageAsset::image(QStringLiteral("ic_capture_disable")))));
    btnCapture->setEnabled(true);
    btnFlash->setIcon(ImageAsset::image(QStringLiteral("ic_flash_off")).icon());
    btnClose->setIcon(ImageAsset::image(QStringLiteral("ic_close")).icon());
    btnGuide->setIcon(ImageAsset::image(QStringLiteral("ic_guide")).icon());
    btnSwitchCamera->setIcon(ImageAsset::image(QStringLiteral("ic_switch_camera")).icon());
    for (QPushButton* button : {btnCapture, btnFlash, btnClose, btnGuide, btnSwitchCamera})
        styleIconButton(button);
    // Hidden on the face screen, the flash button keeps its place, so that
    // the shutter stays in the middle.
    QSizePolicy flashPolicy = btnFlash->sizePolicy();
    flashPolicy.setRetainSizeWhenHidden(true);
    btnFlash->setSizePolicy(flashPolicy);

    // Icon-only buttons: named for screen readers.
    const std::pair<QPushButton*, const char*> names[] = {{btnCapture, "a11y.capture"},
                                                          {btnClose, "a11y.close"},
                                                          {btnGuide, "a11y.guide"},
                                                          {btnSwitchCamera, "a11y.switch_camera"}};
    for (const auto& [button, key] : names) button->setAccessibleName(accessibleText(key));
    btnFlash->setAccessibleDescription(accessibleText("a11y.flash_hint"));
    showFlashState();
    // The face check's verdict, spoken when it changes; it lies over the
    // guide text, which says what to do about it.
    faceStatus = new AccessibleStatus(vGuide);
    faceStatus->setObjectName(QStringLiteral("faceStatus"));
    faceStatus->setAttribute(Qt::WA_TransparentForMouseEvents);

    // The free band follows the controls that bound it.
    for (QWidget* bound : {vGuide, vHint, static_cast<QWidget*>(btnClose), static_cast<QWidget*>(btnCapture)})
        bound->installEventFilter(this);

    connect(btnGuide, &QPushButton::clicked, this, &EKYCAccessoryCameraView::guideAction);
    connect(btnClose, &QPushButton::clicked, this, &EKYCAccessoryCameraView::closeAction);
    connect(btnFlash, &QPushButton::clicked, this, &EKYCAccessoryCameraView::onFlash);
    connect(btnCapture, &QPushButton::clicked, this, &EKYCAccessoryCameraView::onCapture);
    connect(btnSwitchCamera, &QPushButton::clicked, this, &EKYCAccessoryCameraView::switchCamera);
    connect(btnStopAuto, &QPushButton::clicked, this, &EKYCAccessoryCameraView::stopAutoCapture);
}

EKYCAccessoryCameraViewViewDelegate* EKYCAccessoryCameraView::delegate() const {
    if (delegateIsObject_ && !delegateObject_) return nullptr;
    return delegate_;
}

void EKYCAccessoryCameraView::setDelegate(EKYCAccessoryCameraViewViewDelegate* delegate) {
    delegate_ = delegate;
    delegateObject_ = dynamic_cast<QObject*>(delegate);
    delegateIsObject_ = delegateObject_ != nullptr;
    if (auto* current = this->delegate())
        setupGuide(current->captureTitle(), current->isCardMode());
    else
        setupGuide(std::nullopt, std::nullopt);
}

void EKYCAccessoryCameraView::setupGuide(const std::optional<QString>& title, std::optional<bool> isCard) {
    vGuide->show();
    lbTitle->setText(title.value_or(QString()));
    const bool card = isCard.value_or(true);
    lbGuide->setText(localizedText(card ? "guide.document" : "guide.face"));
    // The face screen has no torch to offer.
    btnFlash->setVisible(card);
}

QRect EKYCAccessoryCameraView::freeArea() const {
    // Before its first layout the controls stand where the description
    // left them, which says nothing of this view's size.
    if (!layout() || layout()->geometry() != rect()) return {};
    const int top = vGuide->isHidden() ? btnClose->geometry().bottom() + 1 : vGuide->geometry().bottom() + 1;
    const int bottom = vHint->isHidden() ? btnCapture->geometry().top() : vHint->geometry().top();
    if (bottom <= top) return {};
    return {0, top, width(), bottom - top};
}

bool EKYCAccessoryCameraView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == vGuide && event->type() == QEvent::Resize) faceStatus->setGeometry(vGuide->rect());
    if (watched == vHint && event->type() == QEvent::Resize) hintStatus->setGeometry(vHint->rect());
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            Q_EMIT freeAreaChanged();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void EKYCAccessoryCameraView::guideAction() {
    if (auto* current = delegate()) current->didSelectGuide();
}

void EKYCAccessoryCameraView::closeAction() {
    if (auto* current = delegate()) current->didSelectClose();
}

void EKYCAccessoryCameraView::onFlash() {
    toggleFlash();
}

void EKYCAccessoryCameraView::onCapture() {
    if (auto* current = delegate()) current->didSelectCapture();
}

void EKYCAccessoryCameraView::switchCamera() {
    if (auto* current = delegate()) current->didSelectSwitchCamera();
}

void EKYCAccessoryCameraView::stopAutoCapture() {
    if (auto* current = delegate()) current->didSelectStopAutoCapture();
}

void EKYCAccessoryCameraView::showGuidance(const EKYCGuidance& guidance) {
    const bool changed = hint_ != guidance.hint;
    hint_ = guidance.hint;
    if (secondsLeft_ > 0 || !changed) return;
    const QString text = localizedText(textKey(guidance.hint));
    setHintText(text);
    hintStatus->announce(text);
}

// A wrapping label asks for little width; the hint takes one line wherever
// the row has room for it.
void EKYCAccessoryCameraView::setHintText(const QString& text) {
    lbHint->setText(text);
    const QMargins row = hintLayout->contentsMargins();
    const int stop = btnStopAuto->isVisible() ? btnStopAuto->sizeHint().width() + hintLayout->spacing() : 0;
    const int room = std::max(0, width() - row.left() - row.right() - stop);
    const int oneLine = lbHint->fontMetrics().horizontalAdvance(text) + 2 * 16 + 2;
    lbHint->setMinimumWidth(std::min(oneLine, room));
    lbHint->show();
}

void EKYCAccessoryCameraView::clearGuidance() {
    hint_.reset();
    secondsLeft_ = 0;
    lbHint->clear();
    lbHint->hide();
    btnStopAuto->hide();
    hintStatus->clear();
}

void EKYCAccessoryCameraView::showCountdown(int secondsLeft) {
    if (secondsLeft == secondsLeft_) return;
    secondsLeft_ = secondsLeft;
    btnStopAuto->setVisible(secondsLeft > 0);
    if (secondsLeft > 0) {
        setHintText(QStringLiteral("%1  %2").arg(localizedText("capture.auto.taking")).arg(secondsLeft));
        hintStatus->announce(accessibleText("a11y.auto_countdown", {QString::number(secondsLeft)}));
    } else if (hint_) {
        const QString text = localizedText(textKey(*hint_));
        setHintText(text);
        hintStatus->announce(text);
    }
}

void EKYCAccessoryCameraView::announceAutoCaptureStopped() {
    hintStatus->announce(localizedText("capture.auto.stopped"));
}

void EKYCAccessoryCameraView::toggleFlash() {
    isTorchAvailable_ = !isTorchAvailable_;
    auto* current = delegate();
    if (!current || !current->isCardMode()) return;
    current->didToggleFlash(isTorchAvailable_);
    btnFlash->setIcon(
        ImageAsset::image(QString::fromLatin1(isTorchAvailable_ ? "ic_flash_on" : "ic_flash_off")).icon());
    showFlashState();
}

// The icon shows the torch's state; the name says it.
void EKYCAccessoryCameraView::showFlashState() {
    btnFlash->setAccessibleName(accessibleText(isTorchAvailable_ ? "a11y.flash_on" : "a11y.flash_off"));
}

void EKYCAccessoryCameraView::showFaceCheck(bool isInside) {
    btnCapture->setEnabled(isInside);
    faceStatus->announce(accessibleText(isInside ? "a11y.face_inside" : "a11y.face_outside"),
                         accessibleText(isInside ? "a11y.face_inside_detail" : "a11y.face_outside_detail"));
}

}  // namespace ovira
