#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "ui/alert/AlertBuilder.h"
#include "ui/controller/ViewController.h"
#include "ui_QXAlertViewController.h"

namespace ovira {

// The content of an alert, from the interface description of the same
// name: image, title, message and one button.
class QXAlertViewController : public ViewController, public Ui::QXAlertViewController {
    Q_OBJECT
public:
    explicit QXAlertViewController(QWidget* parent = nullptr);

    std::optional<AlertBuilder> builder;
    QPointer<AlertController> alertController;

    // The tap on the button.
    void didTapAction();

    bool hasHeightForWidth() const override { return true; }
    // The content's top edge, its height, and 16 points below.
    int heightForWidth(int width) const override;

protected:
    void viewDidLoad() override;
    bool event(QEvent* event) override;
};

}  // namespace ovira
