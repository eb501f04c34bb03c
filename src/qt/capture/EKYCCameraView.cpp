#include "capture/EKYCCameraView.h"

#include <QPainter>
#include <QResizeEvent>

#include "capture/EKYCCameraPreviewLayer.h"
#include "resources/ColorAsset.h"

namespace ovira {
namespace {

// The shape plus the whole bounds under the even-odd rule: everything but the shape.
QPainterPath outside(const QPainterPath& shape, const QRectF& bounds) {
    QPainterPath path = shape;
    path.addRect(bounds);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

}  // namespace

EKYCCameraView::EKYCCameraView(EKYCCameraType type, std::unique_ptr<EKYCCameraDetectionService> service,
                               QWidget* parent)
    : QWidget(parent),
      type_(type),
      cameraService_(service ? std::move(service) : std::make_unique<EKYCCameraDetectionService>()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(cameraService_->previewLayer(), &EKYCCameraPreviewLayer::contentChanged, this,
            qOverload<>(&QWidget::update));
    // A new picture size or new controls move the window: the layers follow.
    connect(cameraService_->previewLayer(), &EKYCCameraPreviewLayer::geometryChanged, this,
            &EKYCCameraView::setupLayers);
    // Nothing is laid out before the first layout pass gives the view its size.
    dimColor_ = QColor(0, 0, 0);
    dimColor_.setAlphaF(dimAlpha);
    focusColor_ = ColorAsset::primary().color();
}

EKYCCameraView::~EKYCCameraView() = default;

void EKYCCameraView::setFocusValid(bool isValid) {
    focusColor_ = isValid ? ColorAsset::primary().color() : ColorAsset::red().color();
    update();
}

void EKYCCameraView::setCardPlaced(bool isPlaced) {
    const QColor color = isPlaced ? ColorAsset::named(QStringLiteral("Green")).color() : ColorAsset::primary().color();
    if (color == focusColor_) return;
    focusColor_ = color;
    update();
}

void EKYCCameraView::setControlsFreeArea(const QRectF& band) {
    cameraService_->previewLayer()->setControlsFreeArea(band);
}

void EKYCCameraView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutLayers();
}

// Every layout pass: the preview takes the bounds and the layers are rebuilt.
void EKYCCameraView::layoutLayers() {
    auto* preview = cameraService_->previewLayer();
    preview->setFrame(QRectF(rect()));
    setupLayers();
}

void EKYCCameraView::setupLayers() {
    dimColor_ = QColor(0, 0, 0);
    dimColor_.setAlphaF(dimAlpha);
    focusColor_ = ColorAsset::primary().color();
    if (type_ == EKYCCameraType::face)
        drawFaceOverlay();
    else
        drawCardOverlay();
    update();
}

void EKYCCameraView::drawCardOverlay() {
    const QRectF bounds(rect());
    const QRectF window = cameraService_->previewLayer()->cardWindow();
    const double radius = window.width() * cardWidthToCornerRatio;

    windowPath_ = QPainterPath();
    windowPath_.addRoundedRect(window, radius, radius);
    dimMask_ = outside(windowPath_, bounds);

    // Two bands across the window hide the middle of every edge, leaving
    // the four corners; where the bands cross the fill comes back, but the
    // outline never passes there.
    focusMask_ = QPainterPath();
    focusMask_.addRect(0, window.top() + cornerLength, bounds.width(), window.height() - 2 * cornerLength);
    focusMask_.addRect(window.left() + cornerLength, 0, window.width() - 2 * cornerLength, bounds.height());
    focusMask_.addRect(bounds);
    focusMask_.setFillRule(Qt::OddEvenFill);
    focusPath_ = windowPath_;
}

void EKYCCameraView::drawFaceOverlay() {
    const QRectF bounds(rect());
    const QRectF square = cameraService_->previewLayer()->faceSquare();

    windowPath_ = QPainterPath();
    windowPath_.addEllipse(square);
    dimMask_ = outside(windowPath_, bounds);
    // Only the outer half of the stroke shows: a thin ring just outside the window.
    focusPath_ = QPainterPath();
    focusPath_.addRoundedRect(square, square.width() / 2, square.height() / 2);
    focusMask_ = outside(windowPath_, bounds);
}

void EKYCCameraView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    cameraService_->previewLayer()->paint(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(dimMask_, dimColor_);
    painter.setClipPath(focusMask_);
    painter.strokePath(focusPath_, QPen(focusColor_, focusLineWidth));
}

}  // namespace ovira
