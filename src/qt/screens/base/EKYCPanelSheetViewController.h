#pragma once

#include <QMouseEvent>
#include <QWidget>

#include "resources/EKYCTheme.h"
#include "screens/base/EKYCBottomSheetViewControllerBase.h"

namespace ovira {

// The look shared by sheet panels (plain widgets with an object name): white,
// top corners rounded by 8 points, and a small grey grabber centred at the top
// when there is one. The rule names the panel so that it stops there.
inline void styleSheetPanel(QWidget* panel, QWidget* grabber = nullptr) {
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QStringLiteral("#%1 { background: white; border-top-left-radius: %2px;"
                                        " border-top-right-radius: %2px; }")
                             .arg(panel->objectName())
                             .arg(EKYCTheme::pixelRadius(8)));
    if (grabber) grabber->setStyleSheet(QStringLiteral("background: #D9DDE5; border-radius: 2px;"));
}

// A sheet opened at full height that shows only a panel at its bottom: the
// part above the panel is see-through (the backdrop dims the screen under
// it), and a tap there counts as a tap outside the sheet.
template <class VM>
class EKYCPanelSheetViewController : public EKYCBottomSheetViewController<VM> {
public:
    using EKYCBottomSheetViewController<VM>::EKYCBottomSheetViewController;

    // The visible panel, a direct child of the sheet.
    virtual QWidget* sheetPanel() const = 0;

protected:
    // A tap above the panel; by default what a tap outside a sheet does.
    virtual void didTapOutsidePanel() {
        if (this->tapToDismissEnabled()) this->dismiss(true);
    }

    void paintEvent(QPaintEvent*) override {}
    void mousePressEvent(QMouseEvent* event) override {
        pressedOutside_ = event->button() == Qt::LeftButton && isOutsidePanel(event->position().toPoint());
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool tapped = pressedOutside_ && isOutsidePanel(event->position().toPoint());
        pressedOutside_ = false;
        event->accept();
        if (tapped) didTapOutsidePanel();
    }

private:
    bool isOutsidePanel(QPoint point) const {
        const QWidget* panel = sheetPanel();
        return !panel || !panel->geometry().contains(point);
    }

    bool pressedOutside_ = false;
};

}  // namespace ovira
