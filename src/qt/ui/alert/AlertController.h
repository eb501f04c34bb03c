#pragma once

#include <QPointer>

#include "ui/controller/PresentationController.h"
#include "ui/controller/ViewController.h"

class QWidget;

namespace ovira {

// The modal container of the library's alerts and dialogs: a white card
// centred over the dimmed window, as tall as its content screen asks
// (preferredContentSize) and never taller than the window allows.
class AlertController : public ViewController {
    Q_OBJECT
public:
    static constexpr int maximumWidth = 340;
    static constexpr int margin = 28;  // from the window's sides

    explicit AlertController(QWidget* parent = nullptr);

    ViewController* contentViewController() const { return content_; }
    // The screen drawn inside the card; the alert owns it.
    void setContentViewController(ViewController* content);
    // An alert's only button is pressed; a dialog just closes, as its
    // least consequential choice would.
    bool didPressEscape() override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    PresentationController* makePresentationController(ViewController* presenting) override;

private:
    QPointer<ViewController> content_;
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
