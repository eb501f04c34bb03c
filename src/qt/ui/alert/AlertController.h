#pragma once

#include <QPointer>
#include <QPushButton>

#include "ui/alert/AlertAction.h"
#include "ui/controller/PresentationController.h"
#include "ui/controller/ViewController.h"
#include "ui_AlertController.h"

namespace ovira {

// The library's alerts and dialogs: a white card centred over the dimmed
// window, as tall as its content asks (heightForWidth) and never taller than
// the window allows. It shows an image (if any), a title, a message (if any)
// and its actions in a row of buttons, in order. A button runs its handler;
// a cancel-style one then dismisses the alert. Screen readers find an alert
// message named by the title and described by the message.
class AlertController : public ViewController, public Ui::AlertController {
    Q_OBJECT
public:
    static constexpr int maximumWidth = 340;
    static constexpr int margin = 28;  // from the window's sides

    // The action buttons, in the order of the actions.
    QList<QPushButton*> actionButtons() const {
        return stackViewAction->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
    }
    // A dialog just closes, as its least consequential choice would.
    bool didPressEscape() override;

protected:
    // Buttons are `buttonHeight` points tall, capsules; `bottomMargin` points
    // lie under the content.
    AlertController(AlertContent content, int buttonHeight, int bottomMargin, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;
    PresentationController* makePresentationController(ViewController* presenting) override;
};

// Centres the alert over a backdrop that dims to 40 % black; both fade in and out.
class AlertPresentationController : public PresentationController {
    Q_OBJECT
public:
    static constexpr double dimmedAlpha = 0.4;
    using PresentationController::PresentationController;

    QRect frameOfPresentedViewInContainerView() const override;

protected:
    void applyProgress(double progress) override;
};

}  // namespace ovira
