// Every step of the flow that talks to the service, against every fault the
// development service can put on, on real widgets: the screen reacts as the
// library documents, nothing the user gave is lost, no photograph stays on
// disk, and the GUI thread stays free while the service is slow.
#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>

#include "CaptureScenes.h"
#include "CaptureScreenSupport.h"
#include "DevServerTestSupport.h"
#include "FlowScreenSupport.h"
#include "api/EKYCServiceEnvironment.h"
#include "capture/CaptureScreens.h"
#include "capture/EKYCBackDetectionViewController.h"
#include "capture/EKYCCameraAuthorization.h"
#include "capture/EKYCCameraSource.h"
#include "capture/EKYCFaceDetectionViewController.h"
#include "capture/EKYCFrontDetectionViewController.h"
#include "ovira/EKYCHTTPClient.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRADelegate.h"
#include "ovira/UserDefaults.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

namespace dev = devserver;
using Type = EkycTypeDocument;
using FieldType = EKYCInfomationDocument::FieldType;
using Row = EKYCInfomationDocumentTableViewCell;

enum class Injected {
    reset,
    truncated,
    malformed,
    oversized,
    invalidUTF8,
    wrongTypes,
    http500,
    http401,
    envelope401,
    slow
};
constexpr Injected kFaults[] = {Injected::reset,     Injected::truncated,   Injected::malformed,
                                Injected::oversized, Injected::invalidUTF8, Injected::wrongTypes,
                                Injected::http500,   Injected::http401,     Injected::envelope401,
                                Injected::slow};
const char* const kFaultNames[] = {"reset",       "truncated", "malformed", "oversized",    "invalid UTF-8",
                                   "wrong types", "HTTP 500",  "HTTP 401",  "envelope 401", "slow"};

const std::string kExpired = "Phiên làm việc đã hết hạn";
const std::string kBroken = "Máy chủ đang bảo trì";
const std::string kRefused = "Ảnh không rõ nét";
// The service misbehaving this way on `endpoint` until the faults are
// cleared; a slow one answers after `slowAnswer`.
dev::Fault faultOn(const std::string& endpoint, Injected kind, std::chrono::milliseconds slowAnswer) {
    dev::Fault fault;
    fault.path = endpoint;
    switch (kind) {
        case Injected::reset:
            fault.resetConnection = true;
            break;
        case Injected::truncated:
            fault.truncatedBody = true;
            break;
        case Injected::malformed:
            fault.malformedJSON = true;
            break;
        case Injected::oversized:
            fault.oversizedBody = true;
            break;
        case Injected::invalidUTF8:
            fault.invalidUTF8 = true;
            break;
        case Injected::wrongTypes:
            fault.wrongTypes = true;
            break;
        case Injected::http500:
            fault.httpStatus = 500, fault.message = kBroken;
            break;
        case Injected::http401:
            fault.httpStatus = 401, fault.message = kExpired;
            break;
        case Injected::envelope401:
            fault.statusCode = 401, fault.message = kRefused;
            break;
        case Injected::slow:
            fault.delay = slowAnswer;
            break;
    }
    return fault;
}

enum class Kind { upload, formFetch, list, submission };
struct Step {
    const char* name;
    const char* endpoint;
    Kind kind;
    Type document = Type::idCard;
    EKYCStep capture = EKYCStep::front;   // uploads: the capture screen
    FieldType field = FieldType::string;  // lists: the field they fill
};
void PrintTo(const Step& step, std::ostream* out) {
    *out << step.name;
}

const Step kSteps[] = {
    {"front", "/nationId", Kind::upload, Type::idCard, EKYCStep::front},
    {"back", "/nationId", Kind::upload, Type::idCard, EKYCStep::back},
    {"face", "/captureFace", Kind::upload, Type::idCard, EKYCStep::face},
    {"passport", "/passport", Kind::upload, Type::passport, EKYCStep::front},
    {"formFetch", "/getInfo", Kind::formFetch},
    {"countryList", "/listCountry", Kind::list, Type::idCard, EKYCStep::front, FieldType::country},
    {"nationalityList", "/listNational", Kind::list, Type::idCard, EKYCStep::front, FieldType::national},
    {"submission", "/submitInfo", Kind::submission},
};

struct Host : OVIRADelegate {
    std::vector<std::string> sessions;
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { sessions.push_back(sessionId); }
};

// Counts turns of the GUI thread's event loop while it lives.
class Heartbeat {
public:
    Heartbeat() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { ++beats; });
        timer_.start(20);
    }
    int beats = 0;

private:
    QTimer timer_;
};

// The shared client gives up after `seconds` without progress while it lives.
class ClientTimeOut {
public:
    explicit ClientTimeOut(double seconds) {
        auto configuration = EKYCServiceEnvironment::fromMainBundle().clientConfiguration();
        configuration.timeoutInterval = seconds;
        EKYCHTTPClient::setShared(std::make_shared<EKYCHTTPClient>(configuration));
    }
    ~ClientTimeOut() { OVIRA::config(); }  // the configured client again
};

class FlowUnderFaults : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new test::TemporaryDirectory;
        // The library, and the test's own uploads of the photographs a form needs.
        server =
            dev::test::startForLibrary(folder->path() / "service", {"bank-app", "ovira-tests"}).release();
    }
    static void TearDownTestSuite() {
        delete server;
        delete folder;
    }
    void SetUp() override {
        EKYCCameraAuthorization::setShared(
            std::make_shared<ScriptedCameraAuthorization>(EKYCCameraAuthorizationStatus::authorized));
        installCaptureScreens();
        EKYCCameraSource::setFactory([this] {
            auto camera = std::make_unique<EKYCFileCameraSource>(EKYCFileCameraSource::Media::frames(scene));
            camera->setFrameInterval(std::chrono::milliseconds(0));
            return camera;
        });
        OVIRA::instance().setDelegate(host);
    }
    void TearDown() override {
        window.reset();
        test::settle();
        EKYCCameraSource::setFactory({});
        EKYCCameraAuthorization::setShared(nullptr);
    }

    // One fault on one step, from a fresh session to the reaction and back.
    void inject(const Step& step, Injected fault) {
        EKYCApplication().startSession();
        server->clearFaults();
        host->sessions.clear();
        form = nullptr;
        window = test::makeHostWindow();
        switch (step.kind) {
            case Kind::upload:
                return upload(step, fault);
            case Kind::formFetch:
                return fetchForm(step, fault);
            case Kind::list:
                return chooseFromList(step, fault);
            case Kind::submission:
                return submit(step, fault);
        }
    }

    // The user's `act` sends the step's request with the fault on; the GUI is
    // watched until the reaction has `ended`.
    bool trigger(const Step& step, Injected fault, const std::function<void()>& act,
                 const std::function<bool()>& ended) {
        std::optional<ClientTimeOut> impatient;
        if (fault == Injected::slow && timeOut) impatient.emplace(*timeOut);
        server->setFault(faultOn(step.endpoint, fault, slowAnswer));
        Heartbeat heartbeat;
        const auto started = std::chrono::steady_clock::now();
        act();
        if (!test::waitUntil(ended, 90000)) {
            ADD_FAILURE() << "no reaction on screen";
            return false;
        }
        waited = std::chrono::steady_clock::now() - started;
        beats = heartbeat.beats;
        // The call ran off the GUI thread: it kept turning while the service was silent.
        if (fault == Injected::slow) {
            EXPECT_GE(beats, 10);
        }
        return true;
    }

    // HTTP 401 alone ends the session: the alert with the service's message,
    // then the whole flow closes, the session is forgotten, the host hears nothing.
    void expectSessionEnded() {
        auto* alert = qobject_cast<AlertController*>(test::topPresented(window.get()));
        ASSERT_NE(alert, nullptr) << "no session alert";
        EXPECT_EQ(test::alertContent(alert)->labelMessage->text(), QString::fromStdString(kExpired));
        test::tap(test::alertContent(alert)->buttonAction);
        EXPECT_TRUE(test::waitUntil([&] { return window->presentedViewController() == nullptr; }))
            << "the flow stays after the session alert";
        EXPECT_FALSE(EKYCUserDefault::transactionId());
        EXPECT_TRUE(host->sessions.empty());
    }
    bool alertShown() const { return qobject_cast<AlertController*>(test::topPresented(window.get())); }
    static bool captureFolderEmpty() {
        const auto captures = applicationDataDirectory() / "KYC";
        return !std::filesystem::exists(captures) || std::filesystem::is_empty(captures);
    }

    // ---- uploads: a photograph through the capture screen of its step ----

    EKYCBaseDetectionViewControllerBase* openCapture(const Step& step) {
        const QImage card = test::documentOnADesk();
        scene = {step.capture == EKYCStep::face ? test::selfie({360, 640}) : card};
        const ImagePtr accepted = test::cardPhoto(Qt::darkCyan);
        EKYCBaseDetectionViewControllerBase* screen = nullptr;
        if (step.capture == EKYCStep::front) {
            auto* front = new EKYCFrontDetectionViewController;
            front->setViewModel(makeViewModel<EKYCFrontDetectionViewModel>(step.document, EKYCImages{}));
            screen = front;
        } else if (step.capture == EKYCStep::back) {
            auto* back = new EKYCBackDetectionViewController;
            back->setViewModel(
                makeViewModel<EKYCBackDetectionViewModel>(step.document, EKYCImages{accepted}));
            screen = back;
        } else {
            auto* face = new EKYCFaceDetectionViewController;
            face->setViewModel(
                makeViewModel<EKYCFaceDetectionViewModel>(step.document, EKYCImages{accepted, accepted}));
            screen = face;
        }
        openFlow()->pushViewController(screen, false);
        test::settle();
        return screen;
    }
    void photograph(EKYCBaseDetectionViewControllerBase* screen) {
        EXPECT_TRUE(test::waitUntil([&] { return screen->detectionViewModel().isConnected(); }));
        test::showFrame(screen);
        ASSERT_TRUE(screen->accessoryView->btnCapture->isEnabled());
    }

    void upload(const Step& step, Injected fault) {
        auto* screen = openCapture(step);
        photograph(screen);
        const auto accepted = screen->detectionViewModel().images;
        const bool reacted = trigger(
            step, fault, [&] { test::tap(screen->accessoryView->btnCapture); },
            [&] { return navigation->topViewController() != screen || alertShown(); });
        EXPECT_TRUE(test::waitUntil(captureFolderEmpty, 5000)) << "a photograph outlived its upload";
        if (!reacted) return;
        if (fault == Injected::http401) return expectSessionEnded();

        // Anything else is a rejection of this photograph, with the service's
        // message when it sent one; the photographs accepted before stay.
        auto* rejected = qobject_cast<EKYCPreviewPhotoErrorViewController*>(navigation->topViewController());
        ASSERT_NE(rejected, nullptr) << "not the rejected photograph";
        EXPECT_EQ(rejected->viewModel().step, step.capture);
        if (fault == Injected::http500 || fault == Injected::envelope401) {
            EXPECT_EQ(rejected->lbError->text().toStdString(),
                      fault == Injected::http500 ? kBroken : kRefused);
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
    }

    // ---- the form: fetched, its lists, its submission ----

    EKYCBaseNavigationViewController* openFlow() {
        auto* introduce = new EKYCIntroduceViewController;
        introduce->setViewModel(makeViewModel<EKYCIntroduceViewModel>());
        navigation = test::presentFlow(*window, introduce);
        return navigation;
    }
    void openForm() {
        dev::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
        form = new EKYCInfomationDocumentViewController;
        form->setViewModel(makeViewModel<EKYCInfomationDocumentViewModel>());
        openFlow()->pushViewController(form, false);
    }
    bool fetched() { return test::formFetched(form); }
    int rowOf(FieldType type) const { return test::editableRow(form, type); }
    std::string valueAt(int index) const {
        return form->viewModel().items.at(static_cast<std::size_t>(index)).fieldValue;
    }

    void fetchForm(const Step& step, Injected fault) {
        if (!trigger(
                step, fault, [&] { openForm(); }, [&] { return !form->isLoading() || alertShown(); }))
            return;
        if (fault == Injected::http401) return expectSessionEnded();
        // No message; the list stays hidden; the flow stays, with nothing to send.
        EXPECT_FALSE(alertShown());
        EXPECT_FALSE(form->tableView->isVisible());
        EXPECT_FALSE(form->viewModel().document);
        EXPECT_EQ(navigation->topViewController(), form);
        server->clearRequests();
        test::tap(form->btnCompletionEkyc);
        EXPECT_FALSE(form->isLoading());
        EXPECT_TRUE(server->requests().empty()) << "a form never fetched is never submitted";
    }

    void chooseFromList(const Step& step, Injected fault) {
        openForm();
        ASSERT_TRUE(fetched());
        const int index = rowOf(step.field);
        ASSERT_GE(index, 0);
        const std::string chosen = valueAt(index);
        auto* cell = test::cellInView<Row>(form->tableView, index);
        ASSERT_NE(cell, nullptr);
        EKYCSelectionViewController* sheet = nullptr;
        const bool reacted = trigger(
            step, fault, [&] { test::tap(cell->btnSelected); },
            [&] {
                auto* presented = form->presentedViewController();
                sheet = qobject_cast<EKYCSelectionViewController*>(
                    presented ? presented : navigation->presentedViewController());
                return sheet && (!sheet->isLoading() || alertShown());
            });
        if (!reacted) return;
        if (fault == Injected::http401) return expectSessionEnded();
        // An empty list without a message; closing it leaves the field as it was.
        EXPECT_FALSE(alertShown());
        EXPECT_EQ(sheet->tableView->numberOfRows(0), 0);
        test::tap(sheet->btnClose);
        ASSERT_TRUE(test::waitUntil([&] { return test::topPresented(form) == nullptr; }));
        EXPECT_EQ(valueAt(index), chosen);
        EXPECT_EQ(test::cellInView<Row>(form->tableView, index)->tfFieldValue->text().toStdString(), chosen);
    }

    void submit(const Step& step, Injected fault) {
        openForm();
        ASSERT_TRUE(fetched());
        const int index = rowOf(FieldType::string);
        ASSERT_GE(index, 0);
        auto* cell = test::cellInView<Row>(form->tableView, index);
        test::tap(cell->btnSelected);
        cell->tfFieldValue->selectAll();
        test::typeText(cell->tfFieldValue, QStringLiteral("TRẦN THỊ BÌNH"));
        if (!trigger(
                step, fault, [&] { test::tap(form->btnCompletionEkyc); },
                [&] { return !form || !form->isLoading() || alertShown(); }))
            return;
        if (fault == Injected::http401) return expectSessionEnded();
        ASSERT_TRUE(form) << "the flow closed as if the submission had gone through";
        // No message, the flow stays, and the form holds what the user typed.
        EXPECT_FALSE(alertShown());
        EXPECT_EQ(window->presentedViewController(), navigation);
        EXPECT_TRUE(host->sessions.empty());
        EXPECT_EQ(valueAt(index), "TRẦN THỊ BÌNH");
        EXPECT_EQ(test::cellInView<Row>(form->tableView, index)->tfFieldValue->text(),
                  QStringLiteral("TRẦN THỊ BÌNH"));

        // Once the service behaves, the same form goes through.
        server->clearFaults();
        test::tap(form->btnCompletionEkyc);
        ASSERT_TRUE(test::waitUntil([&] { return window->presentedViewController() == nullptr; }));
        EXPECT_EQ(host->sessions.size(), 1u);
        EXPECT_NE(server->submissions().back().dump().find("TRẦN THỊ BÌNH"), std::string::npos);
    }

    // The matrix's slow service answers after the client has given up.
    std::optional<double> timeOut = 2.0;  // none: the configured client
    // (Well after it: the client notices silence within a second of its limit.)
    std::chrono::milliseconds slowAnswer{6000};
    std::chrono::steady_clock::duration waited{};
    int beats = 0;

    static inline test::TemporaryDirectory* folder = nullptr;
    static inline dev::DevServer* server = nullptr;
    std::shared_ptr<Host> host = std::make_shared<Host>();
    std::vector<QImage> scene;
    std::unique_ptr<ViewController> window;
    EKYCBaseNavigationViewController* navigation = nullptr;
    QPointer<EKYCInfomationDocumentViewController> form;
};

class FaultMatrix : public FlowUnderFaults, public testing::WithParamInterface<Step> {};

TEST_P(FaultMatrix, EveryFaultIsSurvivedWithTheDocumentedReaction) {
    for (const Injected fault : kFaults) {
        SCOPED_TRACE(kFaultNames[static_cast<int>(fault)]);
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
    inject(kSteps[7], Injected::slow);
    EXPECT_GE(waited, std::chrono::seconds(30)) << "given up before the time-out";
    EXPECT_GE(beats, 100);
}

}  // namespace
}  // namespace ovira
