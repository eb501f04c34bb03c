#pragma once

#include <QFocusFrame>
#include <QObject>
#include <QPointer>

namespace ovira {

// The visible keyboard focus of the flow's controls: a ring in the primary
// colour round the control that the keyboard (Tab, the arrows, a shortcut)
// moved the focus to; a click shows none, as a pointer needs no ring. Lists
// draw the focus of their entries themselves. One tracker serves the whole
// application; install() is idempotent. GUI thread.
class FocusRing : public QObject {
    Q_OBJECT
public:
    static void install();
    // The control the ring is drawn round; null while none shows.
    static QWidget* target();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FocusRing();
    void follow(QWidget* widget);

    QPointer<QFocusFrame> ring_;  // a child of the control's parent, gone with it
};

}  // namespace ovira
