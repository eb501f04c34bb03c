#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace ovira {

class PresentationController;

// The layer of one presentation: covers its window, follows its size, dims
// what lies under the presentation by its dimming colour, and takes every press so that nothing under the presentation reacts; a tap
// on the layer itself goes to the presentation's controller. Tab and
// Shift+Tab cycle through the controls inside it, as in a modal dialog;
// only a flow embedded in a host's panel lets the keyboard out to the
// host's other controls.
class PresentationContainerView : public QWidget {
    Q_OBJECT
public:
    explicit PresentationContainerView(QWidget* window);
    void setPresentationController(PresentationController* controller) { controller_ = controller; }
    QColor dimming() const { return dimming_; }
    void setDimming(const QColor& color);

protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<PresentationController> controller_;
    std::optional<QPoint> pressedAt_;
    QColor dimming_ = Qt::transparent;
};

}  // namespace ovira
