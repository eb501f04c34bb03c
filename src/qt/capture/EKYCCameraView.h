#pragma once

#include <QColor>
#include <QPainterPath>
#include <QWidget>
#include <memory>

#include "capture/EKYCCameraDetectionService.h"
#include "capture/EKYCCameraType.h"
#include "capture/EKYCCaptureGeometry.h"

namespace ovira {

// The live preview under a dark mask with a clear window the user aligns
// the document or the face with: a card-shaped window marked by four
// corner brackets, or a circle with a thin ring. The window is the largest
// that fits between the controls over the preview and inside the camera's
// picture, and is the same geometry the camera service crops and checks
// against. Owns the camera service. GUI thread.
class EKYCCameraView : public QWidget {
    Q_OBJECT
public:
    static constexpr double cardWidthToCornerRatio = capture::cardWidthToCornerRatio;
    static constexpr double dimAlpha = 0.9;
    static constexpr double focusLineWidth = 4;
    // How far each corner bracket runs along the window's edges.
    static constexpr double cornerLength = 24;

    // Without a service, one over EKYCCameraSource::make().
    explicit EKYCCameraView(EKYCCameraType type,
                            std::unique_ptr<EKYCCameraDetectionService> service = nullptr,
                            QWidget* parent = nullptr);
    ~EKYCCameraView() override;

    EKYCCameraType type() const { return type_; }
    EKYCCameraDetectionService* cameraService() const { return cameraService_.get(); }

    // The outline: "Primary" when the face is inside, "Red" when not. Every
    // layout starts it "Primary" again.
    void setFocusValid(bool isValid);
    // The card window's corners: "Green" while the card is well placed,
    // "Primary" otherwise.
    void setCardPlaced(bool isPlaced);
    QColor focusColor() const { return focusColor_; }

    // The band left free by the controls laid over this view (its own
    // coordinates); the window stays inside it. A null rectangle: no controls.
    void setControlsFreeArea(const QRectF& band);
    // The card window or the face circle's square, as last laid out.
    QRectF windowRect() const { return windowPath_.boundingRect(); }

    // The layers as last laid out (view coordinates): the window, the dim
    // mask (window and bounds, even-odd), the outline's path and the mask
    // that leaves only its visible part.
    const QPainterPath& windowPath() const { return windowPath_; }
    const QPainterPath& dimMaskPath() const { return dimMask_; }
    const QPainterPath& focusPath() const { return focusPath_; }
    const QPainterPath& focusMaskPath() const { return focusMask_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutLayers();
    void setupLayers();
    void drawFaceOverlay();
    void drawCardOverlay();

    EKYCCameraType type_;
    std::unique_ptr<EKYCCameraDetectionService> cameraService_;
    QColor dimColor_;
    QColor focusColor_;
    QPainterPath windowPath_;
    QPainterPath dimMask_;
    QPainterPath focusPath_;
    QPainterPath focusMask_;
};

}  // namespace ovira
