// The capture view models against the development service over real HTTPS,
// with the real capture folder and the real route monitor (the service is on
// loopback). Each test reads the events in the order they were published.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "CaptureTestSupport.h"
#include "LibraryServiceTest.h"
#include "capture/EKYCBackDetectionViewModel.h"
#include "capture/EKYCFaceDetectionViewModel.h"
#include "capture/EKYCFrontDetectionViewModel.h"
#include "ovira/UserDefaults.h"
#include "sdk/EKYCApplication.h"

namespace ovira {
namespace {

namespace fs = std::filesystem;
namespace dev = devserver;
using nlohmann::json;
using Events = std::vector<std::string>;
using Type = EkycTypeDocument;

class DetectionFlow : public dev::test::LibraryServiceTest {
protected:
    void TearDown() override {
        // After every attempt, whatever its outcome, no photograph is left.
        if (fs::is_directory(captureFolder)) {
            EXPECT_TRUE(test::fileNamesIn(captureFolder).empty());
            EXPECT_EQ(fs::status(captureFolder).permissions(), fs::perms::owner_all);
        }
    }

    // Opens the screen's view model, records its events, and waits for the
    // monitor's first report unless the test scripts the network itself.
    template <class VM>
    std::shared_ptr<VM> open(Type type, EKYCImages accepted, EKYCDetectionServices services = {}) {
        const bool realNetwork = !services.monitor;
        auto viewModel = makeViewModel<VM>(type, std::move(accepted), std::move(services));
        record(*viewModel);
        viewModel->onViewDidLoad();
        if (realNetwork) waitUntilConnected(*viewModel);
        return viewModel;
    }
    static void waitUntilConnected(const EKYCBaseDetectionViewModel& viewModel) {
        for (int i = 0; !viewModel.isConnected() && i < 1000; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    std::string nameOf(const ImagePtr& image) const {
        const auto it = names.find(image.get());
        return it == names.end() ? "?" : it->second;
    }
    std::string list(const EKYCImages& images) const {
        std::string text;
        for (const auto& image : images) text += (text.empty() ? "" : ",") + nameOf(image);
        return "[" + text + "]";
    }
    // The photograph is gone before the answer is told: events never see it on disk.
    std::string photographOnDisk() const {
        return test::fileNamesIn(captureFolder).empty() ? "" : " (photograph still on disk)";
    }
    template <class VM>
    void record(VM& viewModel) {
        auto& subs = viewModel.subscriptions;
        subs.push_back(viewModel.nextStep.sink([this](const auto& next) {
            std::string step = "-";
            if constexpr (std::is_same_v<std::decay_t<decltype(next.first)>, EKYCStep>)
                step = rawValue(next.first);
            else if (next.first)
                step = rawValue(*next.first);
            events.push_back("next " + step + " " + list(next.second) + photographOnDisk());
        }));
        subs.push_back(viewModel.errorPublisher.sink([this](const auto& error) {
            events.push_back("rejected " + nameOf(error.first) + ": " + error.second.value_or("<none>") +
                             photographOnDisk());
        }));
        subs.push_back(viewModel.connectionPublisher.sink([this](Void) { events.push_back("offline"); }));
        subs.push_back(viewModel.loadingPublisher.sink(
            [this](bool loading) { events.push_back(loading ? "loading" : "loaded"); }));
        subs.push_back(viewModel.unAuthorizedPublisher.sink([this](const auto& message) {
            events.push_back("unauthorized: " + message.value_or("<none>"));
        }));
    }
    ImagePtr photo(const std::string& name, const std::shared_ptr<RasterImage>& image) {
        names[image.get()] = name;
        return image;
    }
    json lastRequest() const { return server->requests().back(); }
    json fileParts() const {
        const json request = lastRequest();
        json files = json::array();
        for (const auto& part : request["parts"])
            if (part["name"] == "file") files.push_back(part);
        return files;
    }

    fs::path captureFolder = applicationDataDirectory() / "KYC";
    std::map<const Image*, std::string> names;
    Events events;
    ImagePtr front = photo("front", test::rasterOf(dev::test::drawCard()));
    ImagePtr back = photo("back", test::rasterOf(dev::test::drawCard({1100, 694})));
    ImagePtr face = photo("face", test::testPhoto("astronaut.png"));
    ImagePtr cat = photo("cat", test::testPhoto("chelsea.png"));
};

TEST_F(DetectionFlow, CardsGoFrontBackFaceWithEveryPhotographSoFar) {
    for (const auto& [type, path] : {std::pair{Type::idCard, "/v1/ekyc/nationId"},
                                     std::pair{Type::licenseDriver, "/v1/ekyc/driverlicense"}}) {
        SCOPED_TRACE(path);
        events.clear();
        EKYCApplication().startSession();

        const auto frontVM = open<EKYCFrontDetectionViewModel>(type, {});
        frontVM->verifyImage(front);
        EXPECT_EQ(events, (Events{"next back [front]", "loaded"}));
        EXPECT_EQ(lastRequest()["path"], path);
        EXPECT_EQ(lastRequest()["parts"][1]["text"], "FRONT");
        ASSERT_EQ(fileParts().size(), 1u);
        EXPECT_EQ(fileParts()[0]["contentType"], "image/jpeg");
        EXPECT_EQ(fileParts()[0]["filename"].get<std::string>().rfind("front_", 0), 0u);

        const auto backVM = open<EKYCBackDetectionViewModel>(type, frontVM->images);
        backVM->verifyImage(back);
        EXPECT_EQ(lastRequest()["parts"][1]["text"], "BACK");
        const auto faceVM = open<EKYCFaceDetectionViewModel>(type, backVM->images);
        faceVM->verifyImage(face);
        EXPECT_EQ(lastRequest()["path"], "/v1/ekyc/captureFace");
        EXPECT_EQ(events, (Events{"next back [front]", "loaded", "next - [front,back]", "loaded",
                                  "next - [front,back,face]", "loaded"}));
        EXPECT_EQ(faceVM->images, (EKYCImages{front, back, face}));
    }
}

TEST_F(DetectionFlow, PassportGoesFromItsPageStraightToTheFace) {
    const auto pageVM = open<EKYCFrontDetectionViewModel>(Type::passport, {});
    pageVM->verifyImage(front);
    EXPECT_EQ(lastRequest()["path"], "/v1/ekyc/passport");
    EXPECT_EQ(lastRequest()["parts"].size(), 1u) << "a passport page carries no side";
    const auto faceVM = open<EKYCFaceDetectionViewModel>(Type::passport, pageVM->images);
    faceVM->verifyImage(face);
    EXPECT_EQ(events, (Events{"next face [front]", "loaded", "next - [front,face]", "loaded"}));
}

TEST_F(DetectionFlow, ARejectedPhotographComesBackWithTheMessageAndCanBeRetaken) {
    const auto faceVM = open<EKYCFaceDetectionViewModel>(Type::idCard, {front, back});
    faceVM->verifyImage(cat);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].rfind("rejected cat: ", 0), 0u) << events[0];
    EXPECT_NE(events[0], "rejected cat: <none>") << "the service's reason reaches the screen";
    EXPECT_EQ(events[1], "loaded");
    EXPECT_EQ(faceVM->images, (EKYCImages{front, back}));

    faceVM->verifyImage(face);
    EXPECT_EQ(events.back(), "loaded");
    EXPECT_EQ(events[2], "next - [front,back,face]");
}

TEST_F(DetectionFlow, OnlyHttp401EndsTheSessionAnEnvelopeErrorIsARejection) {
    const auto viewModel = open<EKYCBackDetectionViewModel>(Type::idCard, {front});
    dev::Fault expired;
    expired.httpStatus = 401;
    expired.message = "Phiên làm việc đã hết hạn";
    server->setFault(expired);
    viewModel->verifyImage(back);
    EXPECT_EQ(events, (Events{"unauthorized: Phiên làm việc đã hết hạn", "loaded"}));

    events.clear();
    dev::Fault refused;
    refused.statusCode = 401;  // in the envelope only: the exchange itself succeeded
    refused.message = "Ảnh bị mờ";
    server->setFault(refused);
    viewModel->verifyImage(back);
    EXPECT_EQ(events, (Events{"rejected back: Ảnh bị mờ", "loaded"}));
    EXPECT_EQ(viewModel->images, EKYCImages{front});
}

TEST_F(DetectionFlow, OfflineNothingIsStoredOrSentUntilTheMonitorSaysOtherwise) {
    auto script = std::make_unique<ScriptedNetworkPathMonitor>(NetworkPathStatus::unsatisfied);
    auto* monitor = script.get();
    EKYCDetectionServices services;
    services.monitor = std::move(script);
    const auto viewModel =
        makeViewModel<EKYCFrontDetectionViewModel>(Type::idCard, EKYCImages{}, std::move(services));
    record(*viewModel);

    viewModel->verifyImage(front);  // before the first report: offline
    viewModel->onViewDidLoad();
    for (int i = 0; i < 100; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    viewModel->verifyImage(front);
    EXPECT_EQ(events, (Events{"offline", "offline"}));
    EXPECT_TRUE(server->requests().empty());
    EXPECT_FALSE(fs::exists(captureFolder) && !test::fileNamesIn(captureFolder).empty());
    EXPECT_TRUE(viewModel->images.empty());

    monitor->send(NetworkPathStatus::satisfied);
    waitUntilConnected(*viewModel);
    viewModel->verifyImage(front);
    EXPECT_EQ(events.back(), "loaded");
    EXPECT_EQ(events[2], "next back [front]");
}

TEST_F(DetectionFlow, AFailedSaveStillAsksTheServiceWithoutAFile) {
    fs::remove_all(captureFolder);  // an earlier test of this process made it
    fs::create_directories(captureFolder.parent_path());
    { std::ofstream(captureFolder) << "in the way"; }
    const auto viewModel = open<EKYCFrontDetectionViewModel>(Type::idCard, {});
    viewModel->verifyImage(front);
    fs::remove(captureFolder);
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_TRUE(fileParts().empty());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].rfind("rejected front: ", 0), 0u) << "the service decides: " << events[0];
}

// A repository whose every call fails with something other than the service's error.
struct BrokenRepo : IEKYCRepo {
    [[noreturn]] static void fail() { throw std::runtime_error("socket closed"); }
    std::vector<EKYCLocation> listCountry() override { fail(); }
    std::vector<EKYCLocation> listNational() override { fail(); }
    EKYCIdentityDocument getInfo() override { fail(); }
    EKYCVerification uploadDocument(Type, EKYCStep, const std::optional<fs::path>&) override { fail(); }
    EKYCVerification uploadFace(const std::optional<fs::path>&) override { fail(); }
    EKYCVerification uploadPassport(const std::optional<fs::path>&) override { fail(); }
    bool submitInfo(const std::vector<EKYCInfomationDocument>&) override { fail(); }
};

TEST_F(DetectionFlow, AnyOtherFailureOnlyEndsTheWait) {
    EKYCDetectionServices services;
    services.repo = std::make_shared<BrokenRepo>();
    const auto viewModel = open<EKYCFaceDetectionViewModel>(Type::idCard, {front, back}, std::move(services));
    viewModel->verifyImage(face);
    EXPECT_EQ(events, Events{"loaded"});
    EXPECT_EQ(viewModel->images.size(), 2u);
}

}  // namespace
}  // namespace ovira
