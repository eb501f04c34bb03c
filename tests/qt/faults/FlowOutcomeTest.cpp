// What a host sees of the flow: where it is shown, whether it was, and the
// one outcome each way out of it reports, against the development service
// on real widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <thread>

#include "CaptureScreenSupport.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRADelegate.h"
#include "ovira/qt/OVIRAFlow.h"
#include "resources/Localized.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "sdk/EKYCFlowLauncher.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/controller/NavigationBar.h"

namespace ovira {
namespace {

namespace dev = devserver;
using Status = OVIRAPresentation::Status;

// Everything the host hears, with where and when it heard it.
struct Recorder : OVIRADelegate {
    struct Outcome {
        std::string kind;    // success, cancel, sessionEnded, failure
        std::string detail;  // the session, the message, the error
        bool onGuiThread;
        bool flowGone;  // no flow on screen any more when it was told
    };
    std::vector<Outcome> outcomes;
    std::vector<OVIRAFlowStep> steps;

    void record(std::string kind, std::string detail) {
        outcomes.push_back({std::move(kind), std::move(detail), QThread::currentThread() == qApp->thread(),
                            !OVIRAFlow::isShowing() && !EKYCFlowLauncher::currentFlow()});
    }
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { record("success", sessionId); }
    void didEKYCCancel() override { record("cancel", {}); }
    void didEKYCEndSession(const std::string& message) override { record("sessionEnded", message); }
    void didEKYCFail(const EKYCAPIError& error) override {
        std::string detail = error.domain() + " " + std::to_string(error.code());
        if (error.status()) detail += " HTTP " + std::to_string(error.status()->rawValue());
        record("failure", detail);
    }
    void didEKYCReachStep(OVIRAFlowStep step) override { steps.push_back(step); }
};

// A kiosk's main window: a side bar of its own and a panel for the flow.
struct KioskWindow {
    KioskWindow() {
        auto* central = new QWidget;
        auto* layout = new QHBoxLayout(central);
        layout->setContentsMargins(0, 0, 0, 0);
        sideButton = new QPushButton(QStringLiteral("Help"));
        sideButton->setFixedWidth(200);
        panel = new QWidget;
        panel->setObjectName(QStringLiteral("verificationPanel"));
        layout->addWidget(sideButton);
        layout->addWidget(panel, 1);
        window.setCentralWidget(central);
        window.resize(1280, 800);
        window.show();
        test::settle();
    }
    QMainWindow window;
    QPushButton* sideButton;
    QWidget* panel;
};

class FlowOutcome : public test::CaptureFlowTest {
protected:
    void SetUp() override {
        CaptureFlowTest::SetUp();
        OVIRA::instance().setDelegate(host);
    }
    void TearDown() override {
        OVIRAFlow::close();
        test::waitUntil([] { return !OVIRAFlow::isShowing(); }, 5000);
        CaptureFlowTest::TearDown();
    }

    static EKYCBaseNavigationViewController* flow() {
        return qobject_cast<EKYCBaseNavigationViewController*>(EKYCFlowLauncher::currentFlow());
    }
    static ViewController* firstScreen() { return flow()->viewControllers().front(); }
    static bool flowGone() {
        return test::waitUntil([] { return !OVIRAFlow::isShowing(); }, 10000);
    }

    // The way out of the first screen: its close button, then the dialog's leave.
    static void leaveFromTheFirstScreen() {
        flow()->popToRootViewController(false);
        test::settle();
        test::tap(flow()->navigationBar()->leftButton());
        auto* leave = test::dialogButton(test::presentedAlert(firstScreen()), localizedText("common.out"));
        ASSERT_NE(leave, nullptr) << "no close confirmation";
        test::tap(leave);
    }

    // The identity form pushed onto the flow on screen.
    EKYCInfomationDocumentViewController* openForm() {
        auto* form = new EKYCInfomationDocumentViewController;
        form->setViewModel(makeViewModel<EKYCInfomationDocumentViewModel>());
        flow()->pushViewController(form, false);
        test::settle();
        return form;
    }

    void expectOneOutcome(const std::string& kind, const std::string& detail) {
        test::settle();
        ASSERT_EQ(host->outcomes.size(), 1u) << "each way out reports exactly one outcome";
        EXPECT_EQ(host->outcomes[0].kind, kind);
        EXPECT_EQ(host->outcomes[0].detail, detail);
        EXPECT_TRUE(host->outcomes[0].onGuiThread);
        EXPECT_TRUE(host->outcomes[0].flowGone) << "told before the flow had gone";
        EXPECT_FALSE(EKYCUserDefault::transactionId()) << "the session outlived the flow";
    }

    std::shared_ptr<Recorder> host = std::make_shared<Recorder>();
};

TEST_F(FlowOutcome, EmbeddedTheFlowFillsThePanelFollowsItAndLeavesTheRestOfTheWindowUsable) {
    KioskWindow kiosk;
    const auto before = EKYCUserDefault::transactionId();
    const OVIRAPresentation shown = OVIRAFlow::embedIn(kiosk.panel);
    ASSERT_TRUE(shown) << shown.error.toStdString();
    EXPECT_TRUE(shown.error.isEmpty());
    EXPECT_TRUE(OVIRAFlow::isShowing());
    EXPECT_NE(EKYCUserDefault::transactionId(), before) << "a shown flow is a new session";
    test::settle();

    ASSERT_NE(flow(), nullptr);
    EXPECT_TRUE(kiosk.panel->isAncestorOf(flow()));
    EXPECT_TRUE(flow()->isVisible());
    EXPECT_EQ(QRect(flow()->mapTo(kiosk.panel, QPoint()), flow()->size()), kiosk.panel->rect());
    // The host's own controls stay where the user can reach them.
    QPoint help = kiosk.sideButton->mapTo(&kiosk.window, kiosk.sideButton->rect().center());
    EXPECT_EQ(kiosk.window.childAt(help), kiosk.sideButton);
    test::saveScreenshot(&kiosk.window, "embedded-flow");

    kiosk.window.resize(1000, 700);
    test::settle();
    EXPECT_EQ(QRect(flow()->mapTo(kiosk.panel, QPoint()), flow()->size()), kiosk.panel->rect());

    // The flow's dialogs stay inside the panel too.
    test::tap(flow()->navigationBar()->leftButton());
    auto* dialog = test::presentedAlert(firstScreen());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(kiosk.panel->isAncestorOf(dialog));
    const QPoint movedHelp = kiosk.sideButton->mapTo(&kiosk.window, kiosk.sideButton->rect().center());
    EXPECT_EQ(kiosk.window.childAt(movedHelp), kiosk.sideButton);
    test::tap(test::dialogButton(dialog, localizedText("common.stay")));
    EXPECT_TRUE(host->outcomes.empty()) << "staying is no outcome";
    EXPECT_EQ(host->steps, std::vector{OVIRAFlowStep::chooseDocument});
}

TEST_F(FlowOutcome, OverAWindowTheFlowCoversItWhole) {
    KioskWindow kiosk;
    ASSERT_TRUE(OVIRAFlow::presentOver(kiosk.sideButton));  // any widget names its window
    test::settle();
    ASSERT_NE(flow(), nullptr);
    EXPECT_EQ(flow()->window(), &kiosk.window);
    EXPECT_EQ(QRect(flow()->mapTo(&kiosk.window, QPoint()), flow()->size()), kiosk.window.rect());
}

TEST_F(FlowOutcome, RefusedCallsSayWhyAndChangeNothing) {
    KioskWindow kiosk;
    auto session = EKYCUserDefault::transactionId();
    auto expectRefused = [&](const OVIRAPresentation& result, Status status) {
        EXPECT_FALSE(result);
        EXPECT_EQ(result.status, status);
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_EQ(EKYCUserDefault::transactionId(), session) << "a refused call started a session";
    };
    expectRefused(OVIRAFlow::embedIn(nullptr), Status::noWidget);
    QWidget hidden;
    expectRefused(OVIRAFlow::presentOver(&hidden), Status::notVisible);
    EXPECT_TRUE(OVIRAFlow::presentOver(&hidden).error.contains(QStringLiteral("QWidget")));

    OVIRAPresentation fromWorker;
    std::thread worker([&] { fromWorker = OVIRAFlow::embedIn(kiosk.panel); });
    worker.join();
    expectRefused(fromWorker, Status::notOnGuiThread);
    EXPECT_FALSE(OVIRAFlow::isShowing());
    EXPECT_TRUE(kiosk.panel->findChildren<EKYCBaseNavigationViewController*>().isEmpty());

    // One flow at a time, whichever way the second is asked for.
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    const auto shownSession = session = EKYCUserDefault::transactionId();
    auto* first = flow();
    expectRefused(OVIRAFlow::embedIn(kiosk.panel), Status::alreadyShowing);
    expectRefused(OVIRAFlow::presentOver(&kiosk.window), Status::alreadyShowing);
    OVIRA::instance().start();
    test::settle();
    EXPECT_EQ(EKYCUserDefault::transactionId(), shownSession)
        << "start() took the session of the flow on screen";
    EXPECT_EQ(flow(), first);
    EXPECT_EQ(kiosk.window.findChildren<EKYCBaseNavigationViewController*>().size(), 1);
}

TEST_F(FlowOutcome, LeavingFromTheFirstScreenIsACancellation) {
    KioskWindow kiosk;
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    leaveFromTheFirstScreen();
    ASSERT_TRUE(flowGone());
    expectOneOutcome("cancel", "");
    EXPECT_TRUE(kiosk.panel->findChildren<EKYCBaseNavigationViewController*>().isEmpty());

    // The panel takes a new flow afterwards, with a new outcome of its own.
    host->outcomes.clear();
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    OVIRAFlow::close();
    ASSERT_TRUE(flowGone());
    expectOneOutcome("cancel", "");
}

TEST_F(FlowOutcome, TheHostsOwnWaysToEndTheFlowAreCancellations) {
    {
        KioskWindow kiosk;
        ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
        test::settle();
        // From a worker thread: the flow closes at the GUI thread's next turn.
        std::thread([] { OVIRAFlow::close(); }).join();
        ASSERT_TRUE(flowGone());
        expectOneOutcome("cancel", "");
    }
    host->outcomes.clear();
    EKYCApplication().startSession();
    {
        auto kiosk = std::make_unique<KioskWindow>();
        ASSERT_TRUE(OVIRAFlow::embedIn(kiosk->panel));
        test::settle();
        kiosk.reset();  // the host closes its window with the flow on it
        test::settle();
        EXPECT_FALSE(OVIRAFlow::isShowing());
        ASSERT_EQ(host->outcomes.size(), 1u);
        EXPECT_EQ(host->outcomes[0].kind, "cancel");
    }
}

TEST_F(FlowOutcome, ASubmittedFormIsASuccessForTheSessionToldOnceTheFlowHasGone) {
    KioskWindow kiosk;
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    const std::string session = EKYCUserDefault::transactionId().value();
    dev::test::acceptIdentityCard(*server, session);
    auto* form = openForm();
    ASSERT_TRUE(test::formFetched(form));
    EXPECT_TRUE(host->outcomes.empty());
    test::tap(form->btnCompletionEkyc);
    ASSERT_TRUE(flowGone());
    expectOneOutcome("success", session);
    EXPECT_EQ(host->steps, (std::vector{OVIRAFlowStep::chooseDocument, OVIRAFlowStep::identityForm}));
}

TEST_F(FlowOutcome, TheServiceEndingTheSessionIsReportedWithItsMessage) {
    const std::string expired = "Phiên làm việc đã hết hạn";
    KioskWindow kiosk;
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    server->setFault(dev::Fault::parse("/getInfo:status=401,message=" + expired));
    auto* form = openForm();
    AlertController* alert = nullptr;
    ASSERT_TRUE(test::waitUntil([&] { return (alert = test::presentedAlert(form)) != nullptr; }));
    EXPECT_TRUE(host->outcomes.empty()) << "told while the alert is still up";
    test::tap(test::alertContent(alert)->buttonAction);
    ASSERT_TRUE(flowGone());
    expectOneOutcome("sessionEnded", expired);
}

TEST_F(FlowOutcome, LeavingAFlowThatCannotGoOnIsAFailureWithTheLibrarysError) {
    KioskWindow kiosk;
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    server->setFault(dev::Fault::parse("/getInfo:status=500,message=Máy chủ đang bảo trì"));
    auto* form = openForm();
    ASSERT_TRUE(test::waitUntil([&] { return !form->isLoading(); }));
    EXPECT_FALSE(form->tableView->isVisible()) << "nothing to show";
    EXPECT_TRUE(host->outcomes.empty()) << "the user may still go back";
    leaveFromTheFirstScreen();
    ASSERT_TRUE(flowGone());
    expectOneOutcome("failure", std::string(EKYCAPIError::domainName) + " -906 HTTP 500");
}

TEST_F(FlowOutcome, ACameraTheUserRefusedIsAFailureOfTheCameraOnceTheyLeave) {
    authorization = std::make_shared<ScriptedCameraAuthorization>(EKYCCameraAuthorizationStatus::denied);
    EKYCCameraAuthorization::setShared(authorization);
    KioskWindow kiosk;
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    qobject_cast<EKYCIntroduceViewController*>(firstScreen())->openDocumentCapture(EkycTypeDocument::idCard);
    AlertController* dialog = nullptr;
    ASSERT_TRUE(
        test::waitUntil([&] { return (dialog = test::presentedAlert(flow()->topViewController())); }));
    test::tap(test::dialogButton(dialog, localizedText("common.out")));
    ASSERT_TRUE(test::waitUntil([] { return flow()->viewControllers().size() == 1; }));
    EXPECT_TRUE(host->outcomes.empty());
    leaveFromTheFirstScreen();
    ASSERT_TRUE(flowGone());
    expectOneOutcome("failure", std::string(kCameraErrorDomain) + " " + std::to_string(kCameraAccessDenied));
    EXPECT_EQ(host->steps, (std::vector{OVIRAFlowStep::chooseDocument, OVIRAFlowStep::captureFront,
                                        OVIRAFlowStep::chooseDocument}));
}

// A host whose handler throws does not take the application down: the
// flow still closes, and the next flow reports as usual.
struct ThrowingHost : Recorder {
    void didEKYCCancel() override {
        Recorder::didEKYCCancel();
        throw std::runtime_error("the host's bug");
    }
};

TEST_F(FlowOutcome, AHandlerThatThrowsIsContained) {
    auto throwing = std::make_shared<ThrowingHost>();
    OVIRA::instance().setDelegate(throwing);
    KioskWindow kiosk;
    ASSERT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
    test::settle();
    OVIRAFlow::close();
    ASSERT_TRUE(flowGone());
    EXPECT_EQ(throwing->outcomes.size(), 1u);
    EXPECT_TRUE(OVIRAFlow::embedIn(kiosk.panel));
}

}  // namespace
}  // namespace ovira
