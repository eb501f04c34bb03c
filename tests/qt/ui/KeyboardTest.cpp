// The flow with the keyboard: Escape, Tab kept inside what is presented, the
// focus coming back to the control that opened a presentation, and the
// visible focus ring.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <set>

#include "screens/base/EKYCBaseViewController.h"
#include "support/QtTestSupport.h"
#include "ui/alert/AlertBuilder.h"
#include "ui/alert/AlertController.h"
#include "ui/alert/DialogBuilder.h"
#include "ui/alert/QXDialogViewController.h"
#include "screens/base/EKYCBottomSheetViewControllerBase.h"
#include "ui/view/FocusRing.h"

namespace ovira {
namespace {

class PlainViewModel : public EKYCBaseViewModel {};

// Animations end within a second at most.
bool eventually(const std::function<bool()>& done) {
    for (int turn = 0; turn < 100 && !done(); ++turn) QTest::qWait(10);
    return done();
}

// A screen or a sheet with two buttons of its own.
template <class Base>
class TwoButtons : public Base {
public:
    TwoButtons() : first(new QPushButton("first", this)), second(new QPushButton("second", this)) {
        auto* layout = new QVBoxLayout(this);
        layout->addStretch();
        layout->addWidget(first);
        layout->addWidget(second);
        this->setViewModel(makeViewModel<PlainViewModel>());
    }
    QPushButton* first;
    QPushButton* second;
};
using Sheet = TwoButtons<EKYCBottomSheetViewController<PlainViewModel>>;
using Screen = TwoButtons<EKYCBaseViewController<PlainViewModel>>;

struct Keyboard : testing::Test {
    std::unique_ptr<ViewController> host = test::makeHostWindow();
    QPushButton* opener = new QPushButton("open", host.get());

    void SetUp() override {
        opener->setGeometry(20, 20, 120, 40);
        opener->show();
        host->activateWindow();
        opener->setFocus(Qt::TabFocusReason);
        test::settle();
    }
    static void press(int key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
        test::settle();
    }
    bool gone() {
        return eventually([&] { return host->presentedViewController() == nullptr; });
    }
};

TEST_F(Keyboard, TabStaysInsideASheetEscapeClosesItAndTheFocusGoesBackToItsOpener) {
    auto* sheet = new Sheet;
    host->present(sheet, true);
    test::settle();
    std::set<QWidget*> visited;
    for (int presses = 0; presses < 6; ++presses) {
        press(Qt::Key_Tab);
        visited.insert(QApplication::focusWidget());
    }
    EXPECT_EQ(visited, (std::set<QWidget*>{sheet->first, sheet->second})) << "Tab cycles within the sheet";
    press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(sheet->isAncestorOf(QApplication::focusWidget()));
    press(Qt::Key_Escape);
    EXPECT_TRUE(gone());
    EXPECT_EQ(QApplication::focusWidget(), opener);
}

TEST_F(Keyboard, EscapePressesAnAlertsOnlyButtonAndClosesADialogWithoutChoosing) {
    int confirmed = 0;
    host->present(AlertBuilder()
                      .title("Thông báo")
                      .message("Mất kết nối mạng.")
                      .action({QStringLiteral("OK"), AlertAction::Style::cancel},
                              [&](AlertController* alert) {
                                  ++confirmed;
                                  alert->dismiss(true);
                              })
                      .build(),
                  true);
    test::settle();
    press(Qt::Key_Escape);
    EXPECT_TRUE(gone());
    EXPECT_EQ(confirmed, 1);

    int chosen = 0;
    host->present(DialogBuilder()
                      .title("Thông báo")
                      .message("Thoát?")
                      .addAction({QStringLiteral("Thoát"), AlertAction::Style::destructive},
                                 [&](AlertController*) { ++chosen; })
                      .addAction({QStringLiteral("Ở lại"), AlertAction::Style::defaultStyle},
                                 [&](AlertController*) { ++chosen; })
                      .build(),
                  true);
    test::settle();
    press(Qt::Key_Escape);
    EXPECT_TRUE(gone());
    EXPECT_EQ(chosen, 0) << "leaving a dialog chooses nothing";
    EXPECT_EQ(QApplication::focusWidget(), opener);
}

TEST_F(Keyboard, EnterOrSpaceOnAFocusedAlertButtonPressesIt) {
    std::vector<QString> chosen;
    auto* dialog = DialogBuilder()
                       .title("Thông báo")
                       .message("Thoát?")
                       .addAction({QStringLiteral("Thoát"), AlertAction::Style::cancel},
                                  [&](AlertController*) { chosen.push_back("out"); })
                       .addAction({QStringLiteral("Ở lại"), AlertAction::Style::defaultStyle},
                                  [&](AlertController*) { chosen.push_back("stay"); })
                       .build();
    host->present(dialog, true);
    test::settle();
    // Tab (kept inside the dialog) to the button titled `title`.
    const auto tabTo = [&](const QString& title) {
        for (int presses = 0; presses < 4; ++presses) {
            press(Qt::Key_Tab);
            auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            if (button && dialog->isAncestorOf(button) && button->text() == title) return true;
        }
        return false;
    };
    ASSERT_TRUE(tabTo("Ở lại"));
    press(Qt::Key_Space);
    EXPECT_EQ(chosen, std::vector<QString>{"stay"});
    ASSERT_TRUE(tabTo("Thoát"));
    press(Qt::Key_Return);
    EXPECT_EQ(chosen, (std::vector<QString>{"stay", "out"}));
    EXPECT_TRUE(gone()) << "the cancel-style button closed it";
}

TEST_F(Keyboard, EscapeOnAScreenAsksToCloseAndEscapeOnTheQuestionStays) {
    auto* screen = new Screen;
    host->present(screen, false);
    test::settle();
    press(Qt::Key_Tab);
    ASSERT_TRUE(screen->isAncestorOf(QApplication::focusWidget()));
    press(Qt::Key_Escape);
    auto* question = qobject_cast<AlertController*>(screen->presentedViewController());
    ASSERT_NE(question, nullptr) << "the close question";
    EXPECT_NE(qobject_cast<QXDialogViewController*>(question), nullptr);
    press(Qt::Key_Escape);
    ASSERT_TRUE(eventually([&] { return screen->presentedViewController() == nullptr; }));
    EXPECT_EQ(host->presentedViewController(), screen) << "the screen stays";
    EXPECT_TRUE(screen->isAncestorOf(QApplication::focusWidget())) << "the focus is back on the screen";
}

TEST_F(Keyboard, TheRingShowsWhereTheKeyboardPutTheFocusNotWhereAClickDid) {
    auto* screen = new Screen;
    host->present(screen, false);
    test::settle();
    press(Qt::Key_Tab);
    QWidget* focused = QApplication::focusWidget();
    ASSERT_TRUE(focused == screen->first || focused == screen->second);
    EXPECT_EQ(FocusRing::target(), focused);
    // The ring is drawn in the primary colour on the control's edge.
    const QPoint edge = focused->mapTo(host.get(), QPoint(focused->width() / 2, 1));
    EXPECT_NE(test::pixelAt(host.get(), edge), test::pixelAt(host.get(), edge + QPoint(0, 6)));
    QWidget* other = focused == screen->first ? screen->second : screen->first;
    QTest::mouseClick(other, Qt::LeftButton);
    test::settle();
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(FocusRing::target(), nullptr) << "a click shows no ring";
    press(Qt::Key_Tab);
    EXPECT_EQ(FocusRing::target(), focused) << "the keyboard brings it back";
}

}  // namespace
}  // namespace ovira
