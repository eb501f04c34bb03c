// Every step of the flow that talks to the service, against every fault the
// development service can put on, on real widgets: the screen reacts as the
// library documents, nothing the user gave is lost, no photograph stays on
// disk, and the GUI thread stays free while the service is slow.
#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "CaptureScreenSupport.h"
#include "DevServerTestSupport.h"
#include "api/EKYCServiceEnvironment.h"
#include "ovira/EKYCHTTPClient.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRADelegate.h"
#include "ovira/UserDefaults.h"
#include "screens/base/LoadingOverlayView.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"

namespace ovira {
namespace {

namespace dev = devserver;
using Type = EkycTypeDocument;
using FieldType = EKYCInfomationDocument::FieldType;
using Row = EKYCInfomationDocumentTableViewCell;

const std::string kExpired = "Phiên làm việc đã hết hạn";
const std::string kBroken = "Máy chủ đang bảo trì";
const std::string kRefused = "Ảnh không rõ nét";

// A way for the service to misbehave; the slow one answers after the
// fixture's `slowAnswer`, the trickle never finishes its answer.
struct Injected {
    const char* name;
    dev::Fault fault;
    bool slow = false;
    bool trickle = false;
    // The client gives up on it (after the fixture's `timeOut`).
    bool waitsTimeOut() const { return slow || trickle; }
    // HTTP 401 alone ends the session.
    bool endsSession() const { return fault.httpStatus == 401; }
};
const Injected kFaults[] = {
    {"reset", dev::Fault::parse("*:reset")},
    {"truncated", dev::Fault::parse("*:truncated")},
    {"malformed", dev::Fault::parse("*:malformed")},
    {"oversized", dev::Fault::parse("*:oversized")},
    {"invalid UTF-8", dev::Fault::parse("*:invalid-utf8")},
    {"wrong types", dev::Fault::parse("*:wrong-types")},
    {"HTTP 500", dev::Fault::parse("*:status=500,message=" + kBroken)},
    {"HTTP 401", dev::Fault::parse("*:status=401,message=" + kExpired)},
    {"envelope 401", dev::Fault::parse("*:code=401,message=" + kRefused)},
    {"slow", dev::Fault(), true},
    {"trickle", dev::Fault::parse("*:trickle=300"), false, true},
};

class FlowUnderFaults;
struct Step {
    const char* name;
    const char* endpoint;
    void (FlowUnderFaults::*run)(const Step&, const Injected&);  // the user's way to the request
    Type document = Type::idCard;
    EKYCStep capture = EKYCStep::front;   // uploads: the capture screen
    FieldType field = FieldType::string;  // lists: the field they fill
};
void PrintTo(const Step& step, std::ostream* out) {
    *out << step.name;
}

struct Host : OVIRADelegate {
    std::vector<std::string> sessions;
    std::vector<std::string> ended;  // the messages of sessions the service ended
    std::vector<EKYCAPIError> failures;
    int cancels = 0;
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { sessions.push_back(sessionId); }
    void didEKYCEndSession(const std::string& message) override { ended.push_back(message); }
    void didEKYCFail(const EKYCAPIError& error) override { failures.push_back(error); }
    void didEKYCCancel() override { ++cancels; }
    bool heardNothing() const {
        return sessions.empty() && ended.empty() && failures.empty() && cancels == 0;
    }
    void clear() { *this = Host(); }
};

// Counts turns of the GUI thread's event loop while it lives.
struct Heartbeat {
    Heartbeat() {
        QObject::connect(&timer, &QTimer::timeout, [this] { ++beats; });
        timer.start(20);
    }
    int beats = 0;
    QTimer timer;
};

// The shared client gives up after `seconds` without progress, or twice
// that in all, while it lives.
struct ClientTimeOut {
    explicit ClientTimeOut(double seconds) {
        auto configuration = EKYCServiceEnvironment::fromMainBundle().clientConfiguration();
        configuration.timeoutInterval = seconds;
        configuration.totalTimeoutInterval = 2 * seconds;
        EKYCHTTPClient::setShared(std::make_shared<EKYCHTTPClient>(configuration));
    }
    ~ClientTimeOut() { OVIRA::config(); }  // the configured client again
};

class FlowUnderFaults : public test::CaptureFlowTest {
public:  // the steps run from the table below
    void SetUp() override {
        CaptureFlowTest::SetUp();
        OVIRA::instance().setDelegate(host);
    }

    // One fault on one step, from a fresh session to the reaction and back.
    void inject(const Step& step, const Injected& fault) {
        EKYCApplication().startSession();
        server->clearFaults();
        window.reset();  // the last flow goes, and its outcome with it
        test::settle();
        host->clear();
        form = nullptr;
        window = test::makeHostWindow();
        (this->*step.run)(step, fault);
    }

    // The user's `act` sends the step's request with the fault on; the GUI is
    // watched until the reaction has `ended`.
    bool trigger(const Step& step, const Injected& injected, const std::function<void()>& act,
                 const std::function<bool()>& ended) {
        std::optional<ClientTimeOut> impatient;
        if (injected.waitsTimeOut() && timeOut) impatient.emplace(*timeOut);
        dev::Fault fault = injected.fault;
        fault.path = step.endpoint;
        if (injected.slow) fault.delay = slowAnswer;
        server->setFault(fault);
        Heartbeat heartbeat;
        const auto started = std::chrono::steady_clock::now();
        act();
        if (injected.waitsTimeOut()) {
            // While the service holds its answer back, the screen says it is busy.
            EXPECT_TRUE(test::waitUntil(
                [&] {
                    const auto overlays = window->findChildren<LoadingOverlayView*>();
                    return std::any_of(overlays.begin(), overlays.end(),
                                       [](LoadingOverlayView* overlay) { return overlay->isVisible(); });
                },
                1500))
                << "no loading overlay while the service is silent";
        }
        if (!test::waitUntil(ended, 90000)) {
            ADD_FAILURE() << "no reaction on screen";
            return false;
        }
        waited = std::chrono::steady_clock::now() - started;
        beats = heartbeat.beats;
        // The call ran off the GUI thread: it kept turning while the service was silent.
        if (injected.waitsTimeOut()) {
            EXPECT_GE(beats, 10);
        }
        return true;
    }
    // The reaction to `fault` has shown; true when it was the end of the session, checked here.
    // HTTP 401 alone ends the session: the alert with the service's message,
    // then the whole flow closes, the session is forgotten, and the host hears
    // that the service ended it, once.
    bool sessionEnded(const Injected& fault) {
        if (!fault.endsSession()) return false;
        auto* alert = test::alertContent(qobject_cast<AlertController*>(test::topPresented(window.get())));
        EXPECT_NE(alert, nullptr) << "no session alert";
        if (!alert) return true;
        EXPECT_EQ(alert->labelMessage->text(), QString::fromStdString(kExpired));
        EXPECT_EQ(alert->buttonAction->text(), QStringLiteral("OK"));
        test::tap(alert->buttonAction);
        EXPECT_TRUE(test::waitUntil([&] { return window->presentedViewController() == nullptr; }))
            << "the flow stays after the session alert";
        EXPECT_FALSE(EKYCUserDefault::transactionId());
        EXPECT_EQ(host->ended, std::vector{kExpired});
        EXPECT_TRUE(host->sessions.empty() && host->failures.empty() && host->cancels == 0);
        return true;
    }
    bool alertShown() const { return qobject_cast<AlertController*>(test::topPresented(window.get())); }
    static bool captureFolderEmpty() {
        const auto captures = applicationDataDirectory() / "KYC";
        return !std::filesystem::exists(captures) || std::filesystem::is_empty(captures);
    }

    // ---- uploads: a photograph through the capture screen of its step ----

    EKYCBaseDetectionViewControllerBase* openCapture(const Step& step) {
        scene = {step.capture == EKYCStep::face ? test::selfie({360, 640}) : test::documentOnADesk()};
        // The photographs accepted before: none for the front, one for the back, two for the face.
        const std::size_t before = static_cast<std::size_t>(step.capture);
        return openScreen(step.capture, step.document, EKYCImages(before, test::cardPhoto(Qt::darkCyan)));
    }
    void photograph(EKYCBaseDetectionViewControllerBase* screen) {
        waitUntilOnline(screen);
        test::showFrame(screen);
        ASSERT_TRUE(screen->accessoryView->btnCapture->isEnabled());
    }

    void upload(const Step& step, const Injected& fault) {
        auto* screen = openCapture(step);
        photograph(screen);
        const auto accepted = screen->detectionViewModel().images;
        const bool reacted = trigger(
            step, fault, [&] { test::tap(screen->accessoryView->btnCapture); },
            [&] { return navigation->topViewController() != screen || alertShown(); });
        EXPECT_TRUE(test::waitUntil(captureFolderEmpty, 5000)) << "a photograph outlived its upload";
        if (fault.endsSession()) {
            EXPECT_EQ(navigation->topViewController(), screen) << "the session alert shows over the screen";
        }
        if (!reacted || sessionEnded(fault)) return;

        // Anything else is a rejection of this photograph, with the service's
        // message when it sent one; the photographs accepted before stay.
        auto* rejected = qobject_cast<EKYCPreviewPhotoErrorViewController*>(navigation->topViewController());
        ASSERT_NE(rejected, nullptr) << "not the rejected photograph";
        EXPECT_EQ(rejected->viewModel().step, step.capture);
        if (!fault.fault.message.empty()) {
            EXPECT_EQ(rejected->lbError->text().toStdString(), fault.fault.message);
        }
        EXPECT_EQ(screen->detectionViewModel().images, accepted);

        // Once the service behaves, the retaken photograph goes through.
        server->clearFaults();
        test::tap(rejected->btnRetakePhoto);
        ASSERT_TRUE(test::waitUntil([&] {
            return navigation->topViewController() == screen && screen->cameraService().isRunning();
        }));
        photograph(screen);
        test::tap(screen->accessoryView->btnCapture);
        ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() != screen; }));
        EXPECT_EQ(qobject_cast<EKYCPreviewPhotoErrorViewController*>(navigation->topViewController()),
                  nullptr);
        EXPECT_EQ(screen->detectionViewModel().images.size(), accepted.size() + 1);
        EXPECT_TRUE(test::waitUntil(captureFolderEmpty, 5000));
        EXPECT_TRUE(host->heardNothing()) << "a rejected photograph is no outcome";
    }

    // ---- the form: fetched, its lists, its submission ----

    void openForm() {
        dev::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
        form = new EKYCInfomationDocumentViewController;
        form->setViewModel(makeViewModel<EKYCInfomationDocumentViewModel>());
        openFlow()->pushViewController(form, false);
    }
    // The form, fetched, and the cell of its first editable row of `type` (null when there is none).
    Row* openFormAt(FieldType type, int& index) {
        openForm();
        EXPECT_TRUE(test::formFetched(form)) << "the form was never fetched";
        index = test::editableRow(form, type);
        return index < 0 ? nullptr : test::cellInView<Row>(form->tableView, index);
    }
    std::string valueAt(int index) const {
        return form->viewModel().items.at(static_cast<std::size_t>(index)).fieldValue;
    }
    // The row's value, in the view model and on screen.
    void expectValueAt(int index, const std::string& value) {
        EXPECT_EQ(valueAt(index), value);
        EXPECT_EQ(test::cellInView<Row>(form->tableView, index)->tfFieldValue->text().toStdString(), value);
    }

    void fetchForm(const Step& step, const Injected& fault) {
        if (!trigger(
                step, fault, [&] { openForm(); }, [&] { return !form->isLoading() || alertShown(); }) ||
            sessionEnded(fault))
            return;
        // No message; the list stays hidden; the flow stays, with nothing to send.
        EXPECT_FALSE(alertShown());
        EXPECT_FALSE(form->tableView->isVisible());
        EXPECT_FALSE(form->viewModel().document);
        EXPECT_EQ(navigation->topViewController(), form);
        server->clearRequests();
        test::tap(form->btnCompletionEkyc);
        EXPECT_FALSE(form->isLoading());
        EXPECT_TRUE(server->requests().empty()) << "a form never fetched is never submitted";

        // The flow cannot go on: once it has gone, the host hears why, once.
        EXPECT_TRUE(host->heardNothing()) << "told while the flow is still on screen";
        window.reset();
        test::settle();
        ASSERT_EQ(host->failures.size(), 1u);
        EXPECT_TRUE(host->sessions.empty() && host->ended.empty() && host->cancels == 0);
        if (!fault.fault.message.empty()) {
            EXPECT_EQ(host->failures[0].message(), fault.fault.message);
        }
    }

    void chooseFromList(const Step& step, const Injected& fault) {
        int index = -1;
        auto* cell = openFormAt(step.field, index);
        ASSERT_NE(cell, nullptr);
        const std::string chosen = valueAt(index);
        EKYCSelectionViewController* sheet = nullptr;
        const bool reacted = trigger(
            step, fault, [&] { test::tap(cell->btnSelected); },
            [&] {
                auto* presented = form->presentedViewController();
                sheet = qobject_cast<EKYCSelectionViewController*>(
                    presented ? presented : navigation->presentedViewController());
                return sheet && (!sheet->isLoading() || alertShown());
            });
        if (!reacted || sessionEnded(fault)) return;
        // An empty list without a message; closing it leaves the field as it was.
        EXPECT_FALSE(alertShown());
        EXPECT_TRUE(test::entriesOf(sheet).isEmpty());
        test::tap(sheet->btnClose);
        ASSERT_TRUE(test::waitUntil([&] { return test::topPresented(form) == nullptr; }));
        expectValueAt(index, chosen);
    }

    void submit(const Step& step, const Injected& fault) {
        const std::string typed = "TRẦN THỊ BÌNH";
        int index = -1;
        auto* cell = openFormAt(FieldType::string, index);
        ASSERT_NE(cell, nullptr);
        test::tap(cell->btnSelected);
        cell->tfFieldValue->selectAll();
        test::typeText(cell->tfFieldValue, QString::fromStdString(typed));
        if (!trigger(
                step, fault, [&] { test::tap(form->btnCompletionEkyc); },
                [&] { return !form || !form->isLoading() || alertShown(); }) ||
            sessionEnded(fault))
            return;
        ASSERT_TRUE(form) << "the flow closed as if the submission had gone through";
        // No message, the flow stays, and the form holds what the user typed.
        EXPECT_FALSE(alertShown());
        EXPECT_EQ(window->presentedViewController(), navigation);
        EXPECT_TRUE(host->heardNothing());
        expectValueAt(index, typed);

        // Once the service behaves, the same form goes through.
        server->clearFaults();
        test::tap(form->btnCompletionEkyc);
        ASSERT_TRUE(test::waitUntil([&] { return window->presentedViewController() == nullptr; }));
        EXPECT_EQ(host->sessions.size(), 1u);
        EXPECT_NE(server->submissions().back().dump().find(typed), std::string::npos);
    }

    // The matrix's slow service answers after the client has given up.
    std::optional<double> timeOut = 2.0;  // none: the configured client
    // (Well after it: the client notices silence within a second of its limit.)
    std::chrono::milliseconds slowAnswer{6000};
    std::chrono::steady_clock::duration waited{};
    int beats = 0;

    std::shared_ptr<Host> host = std::make_shared<Host>();
    QPointer<EKYCInfomationDocumentViewController> form;
};

const Step kSteps[] = {
    {"front", "/nationId", &FlowUnderFaults::upload, Type::idCard, EKYCStep::front},
    {"back", "/nationId", &FlowUnderFaults::upload, Type::idCard, EKYCStep::back},
    {"face", "/captureFace", &FlowUnderFaults::upload, Type::idCard, EKYCStep::face},
    {"passport", "/passport", &FlowUnderFaults::upload, Type::passport, EKYCStep::front},
    {"formFetch", "/getInfo", &FlowUnderFaults::fetchForm},
    {"countryList", "/listCountry", &FlowUnderFaults::chooseFromList, Type::idCard, EKYCStep::front,
     FieldType::country},
    {"nationalityList", "/listNational", &FlowUnderFaults::chooseFromList, Type::idCard, EKYCStep::front,
     FieldType::national},
    {"submission", "/submitInfo", &FlowUnderFaults::submit},
};

class FaultMatrix : public FlowUnderFaults, public testing::WithParamInterface<Step> {};

TEST_P(FaultMatrix, EveryFaultIsSurvivedWithTheDocumentedReaction) {
    for (const Injected& fault : kFaults) {
        SCOPED_TRACE(fault.name);
        inject(GetParam(), fault);
        EXPECT_TRUE(captureFolderEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, FaultMatrix, testing::ValuesIn(kSteps),
                         [](const testing::TestParamInfo<Step>& step) {
                             return std::string(step.param.name);
                         });

// The library's own time-out, 30 seconds without a byte, ends a submission
// that the service never answers: the form keeps what was typed, and the GUI
// thread turned all along. (The one slow test: it waits the time-out out.)
TEST_F(FlowUnderFaults, TheDefaultTimeOutEndsASilentSubmissionWhileTheGuiTurns) {
    ASSERT_EQ(EKYCHTTPClient::shared()->configuration().timeoutInterval, 30.0);
    timeOut.reset();
    slowAnswer = std::chrono::seconds(36);
    inject(kSteps[7], kFaults[9]);  // the submission; a silent service
    EXPECT_GE(waited, std::chrono::seconds(30)) << "given up before the time-out";
    EXPECT_GE(beats, 100);
}

}  // namespace
}  // namespace ovira
