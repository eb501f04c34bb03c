#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "ui/alert/DialogBuilder.h"
#include "ui/controller/ViewController.h"
#include "ui_QXDialogViewController.h"

namespace ovira {

// The content of a dialog, from the interface description of the same name:
// title, message, and a row of buttons rebuilt from the builder's actions.
class QXDialogViewController : public ViewController, public Ui::QXDialogViewController {
    Q_OBJECT
public:
    explicit QXDialogViewController(QWidget* parent = nullptr);
    ~QXDialogViewController() override;

    std::optional<DialogBuilder> builder;
    QPointer<AlertController> alertController;

    // The tap on the button tagged `index`.
    void didTapAction(int index);
    QList<QPushButton*> actionButtons() const;

    bool hasHeightForWidth() const override { return true; }
    // The content's top edge, its height, and 24 points below.
    int heightForWidth(int width) const override;

protected:
    void viewDidLoad() override;
    bool event(QEvent* event) override;
};

}  // namespace ovira
