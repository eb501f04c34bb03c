#pragma once

#include "ui/view/AccessibleStatus.h"

namespace ovira {

// Covers a screen while it waits: transparent, but it takes every press and
// key so that nothing under it reacts. For screen readers it is the status
// of the screen at work: announceBusy() says that the flow is busy.
class LoadingOverlayView : public AccessibleStatus {
    Q_OBJECT
public:
    explicit LoadingOverlayView(QWidget* parent = nullptr);

    // Announces the localized "busy" status; once per showing.
    void announceBusy();

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

}  // namespace ovira
