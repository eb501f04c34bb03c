// Alerts and dialogs: content, button styles, modality, sizing, dismissal.
#include <gtest/gtest.h>

#include <QTest>

#include "resources/EKYCImage.h"
#include "support/QtTestSupport.h"
#include "ui/alert/AlertBuilder.h"
#include "ui/alert/AlertController.h"
#include "ui/alert/DialogBuilder.h"
#include "ui/alert/QXAlertViewController.h"
#include "ui/alert/QXDialogViewController.h"

namespace ovira {
namespace {

using Style = AlertAction::Style;

class AlertTest : public testing::Test {
protected:
    std::unique_ptr<ViewController> host = test::makeHostWindow();

    // Presents the alert or dialog and hands back its content.
    template <class Content>
    Content* show(AlertController* alert, bool animated = true) {
        host->present(alert, animated);
        test::settle();
        return qobject_cast<Content*>(alert);
    }
    void clickWindowAt(QPoint point) {
        QTest::mouseClick(host->windowHandle(), Qt::LeftButton, {}, point);
        test::settle();
    }
    static QColor background(QPushButton* button) {
        return test::pixelAt(button->window(),
                             button->mapTo(button->window(), QPoint(6, button->height() / 2)));
    }
};

TEST_F(AlertTest, DialogShowsItsActionsInOrderStyledAndCentredOverADimmedWindow) {
    std::vector<std::string> taps;
    auto* dialog =
        DialogBuilder()
            .title("Thông báo")
            .message("Bạn có chắc chắn muốn thoát? Các bước xác thực đã thực hiện sẽ không được lưu lại.")
            .addAction({"Thoát", Style::cancel}, [&](AlertController*) { taps.push_back("out"); })
            .addAction({"Ở lại", Style::defaultStyle}, [&](AlertController*) { taps.push_back("stay"); })
            .build();
    auto* content = show<QXDialogViewController>(dialog);
    ASSERT_NE(content, nullptr);
    const auto buttons = content->actionButtons();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->text(), "Thoát");
    EXPECT_EQ(buttons[1]->text(), "Ở lại");
    EXPECT_EQ(buttons[0]->height(), 44);
    EXPECT_EQ(background(buttons[0]), QColor(Qt::white)) << "cancel: blue title on white";
    EXPECT_EQ(background(buttons[1]), QColor(13, 107, 198)) << "default: white title on blue";

    // Centred, as tall as its content, over a backdrop dimmed to 40 %.
    EXPECT_LE((dialog->geometry().center() - host->rect().center()).manhattanLength(), 2);
    EXPECT_EQ(dialog->height(), content->heightForWidth(dialog->width()));
    EXPECT_EQ(dialog->width(), 390 - 2 * AlertController::margin);
    EXPECT_NEAR(test::dimmingOver(host.get()), 0.4, 1e-3);
    test::saveScreenshot(host.get(), "dialog");

    // Input outside the card reaches nothing under it.
    clickWindowAt(QPoint(20, 20));
    EXPECT_EQ(host->presentedViewController(), dialog);

    // A default-style button leaves dismissal to its handler; a cancel-style one dismisses after it.
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    test::settle();
    EXPECT_EQ(host->presentedViewController(), dialog);
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    test::settle();
    EXPECT_EQ(taps, (std::vector<std::string>{"stay", "out"}));
    EXPECT_EQ(host->presentedViewController(), nullptr);
    EXPECT_EQ(test::dimmingOver(host.get()), 0);
}

TEST_F(AlertTest, AlertShowsImageTextsAndOneButtonAndSizesToItsContent) {
    int handled = 0;
    auto* alert = AlertBuilder()
                      .image(ImageAsset::image("ic_disconnect"))
                      .title("Thông báo")
                      .message("Phiên làm việc đã hết hạn. Vui lòng thực hiện lại.")
                      .action({"OK", Style::cancel}, [&](AlertController*) { ++handled; })
                      .build();
    auto* content = show<QXAlertViewController>(alert);
    ASSERT_NE(content, nullptr);
    EXPECT_TRUE(content->imageView->isVisible());
    EXPECT_FALSE(content->imageView->pixmap().isNull());
    EXPECT_EQ(content->labelTitle->text(), "Thông báo");
    EXPECT_EQ(content->labelTitle->font().pixelSize(), 16);
    EXPECT_TRUE(content->labelTitle->font().bold());
    EXPECT_EQ(content->labelMessage->font().pixelSize(), 14);
    EXPECT_EQ(content->buttonAction->text(), "OK");
    EXPECT_EQ(background(content->buttonAction), QColor(Qt::white));
    EXPECT_EQ(alert->height(), content->heightForWidth(alert->width()));
    // Everything fits: the button ends inside the card.
    EXPECT_LE(content->buttonAction->mapTo(alert, QPoint(0, content->buttonAction->height())).y(),
              alert->height());
    test::saveScreenshot(host.get(), "alert");

    QTest::mouseClick(content->buttonAction, Qt::LeftButton);
    test::settle();
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(host->presentedViewController(), nullptr) << "a cancel-style button always dismisses";
}

TEST_F(AlertTest, WithoutActionsThereIsNoButtonAreaAndNoWayOutButCode) {
    auto* dialog = DialogBuilder().title("Thông báo").message("Đang xử lý").build();
    auto* dialogContent = show<QXDialogViewController>(dialog, false);
    ASSERT_NE(dialogContent, nullptr);
    EXPECT_FALSE(dialogContent->stackViewAction->isVisible());
    EXPECT_TRUE(dialogContent->actionButtons().isEmpty());
    const int withoutActions = dialog->height();
    dialog->dismiss(false);
    test::settle();

    auto* withActions = DialogBuilder().title("Thông báo").message("Đang xử lý").addAction({"OK"}).build();
    host->present(withActions, false);
    EXPECT_GT(withActions->height(), withoutActions + 44);
    withActions->dismiss(false);
    test::settle();

    auto* alert = AlertBuilder().title("Thông báo").message("Vui lòng chờ").build();
    auto* alertContent = show<QXAlertViewController>(alert, false);
    ASSERT_NE(alertContent, nullptr);
    EXPECT_FALSE(alertContent->stackViewAction->isVisible());
    EXPECT_TRUE(alertContent->actionButtons().isEmpty());
    EXPECT_FALSE(alertContent->imageView->isVisible());
    clickWindowAt(QPoint(195, 40));
    clickWindowAt(alert->geometry().center());
    EXPECT_EQ(host->presentedViewController(), alert);
    host->dismiss(false);
    test::settle();
    EXPECT_EQ(host->presentedViewController(), nullptr);
}

TEST_F(AlertTest, ASecondAlertStacksOverTheFirstAndBothGoWithTheirPresenter) {
    auto* first = AlertBuilder().title("1").action({"OK"}).build();
    auto* second = AlertBuilder().title("2").action({"OK"}).build();
    host->present(first, false);
    host->present(second, false);
    EXPECT_EQ(host->presentedViewController(), first);
    EXPECT_EQ(first->presentedViewController(), second);
    EXPECT_EQ(second->presentingViewController(), first);
    host->dismiss(false);
    test::settle();
    EXPECT_EQ(host->presentedViewController(), nullptr);
    EXPECT_TRUE(host->findChildren<AlertController*>().isEmpty());
}

}  // namespace
}  // namespace ovira
