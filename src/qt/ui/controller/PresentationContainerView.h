#pragma once

#include <QPointer>
#include <QWidget>

namespace ovira {

class PresentationController;

// The layer of one presentation: covers its window, follows its size, and
// takes every press so that nothing under the presentation reacts.
class PresentationContainerView : public QWidget {
    Q_OBJECT
public:
    explicit PresentationContainerView(QWidget* window);
    void setPresentationController(PresentationController* controller) { controller_ = controller; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QPointer<PresentationController> controller_;
};

}  // namespace ovira
