#include "capture/EKYCBaseDetectionViewModel.h"

#include <exception>

#include "api/EKYCRepoImpl.h"
#include "api/EKYCServiceEnvironment.h"
#include "capture/EKYCFileService.h"
#include "ovira/EKYCLogger.h"
#include "platform/LinuxNetworkPathMonitor.h"
#include "resources/EKYCTranslationService.h"
#include "sdk/EKYCFlowReport.h"

namespace ovira {

namespace {

// Runs its function when the scope ends, however it ends.
template <class F>
class Finally {
public:
    explicit Finally(F f) : f_(std::move(f)) {}
    ~Finally() { f_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F f_;
};

const EKYCLogger& logger() {
    static const EKYCLogger instance("[Capture]", EKYCLogger::Subsystem::general);
    return instance;
}

}  // namespace

EKYCBaseDetectionViewModel::EKYCBaseDetectionViewModel(EkycTypeDocument type, EKYCImages accepted,
                                                       EKYCDetectionServices services)
    : typeDocument(type),
      images(std::move(accepted)),
      repo(services.repo ? std::move(services.repo) : std::make_shared<EKYCRepoImpl>()),
      fileService(services.fileService ? std::move(services.fileService)
                                       : std::make_shared<EKYCFileService>()),
      queue(std::make_shared<SerialQueue>("ai.qorix.ekyc.monitor")),
      monitor(services.monitor ? std::move(services.monitor)
                               : std::make_unique<LinuxNetworkPathMonitor>(
                                     EKYCServiceEnvironment::fromMainBundle().host)),
      stillCheck_(std::move(services.stillCheck)) {}

void EKYCBaseDetectionViewModel::setStillCheck(std::shared_ptr<EKYCStillCheck> check) {
    if (!stillCheck_) stillCheck_ = std::move(check);
}

void EKYCBaseDetectionViewModel::report(OVIRACaptureAttempt::Outcome outcome, int serviceErrorCode) {
    attempt_.outcome = outcome;
    attempt_.serviceErrorCode = serviceErrorCode;
    logger().log("attempt on", toString(attempt_.step), ":", toString(outcome),
                 attempt_.refusal.empty() ? std::string() : "(" + attempt_.refusal + ")");
    EKYCFlowReport::shared().captureAttempt(attempt_);
}

void EKYCBaseDetectionViewModel::onViewDidLoad() {
    monitor->setPathUpdateHandler([connected = connected_](NetworkPathStatus status) {
        connected->store(status == NetworkPathStatus::satisfied);
    });
    monitor->start(queue);
}

void EKYCBaseDetectionViewModel::onDeinit() {
    monitor->cancel();
}

void EKYCBaseDetectionViewModel::verifyImage(const ImagePtr& image, const EKYCCaptureContext& context) {
    if (!isConnected()) {
        connectionPublisher.send(Void{});
        return;
    }
    if (!image) {
        // Nothing to judge; the screen is waiting for the end of an upload.
        logger().log("no photograph to upload");
        loadingPublisher.send(false);
        return;
    }
    attempt_ = {};
    attempt_.step = context.step;
    attempt_.autoCaptured = context.autoCaptured;
    attempt_.secondsToCapture = context.secondsToCapture;
    attempt_.width = image->width();
    attempt_.height = image->height();
    // Photographs come from the camera as pixels; any other image goes
    // unmeasured to the service.
    const auto* raster = dynamic_cast<const RasterImage*>(image.get());
    if (stillCheck_ && raster) {
        const EKYCStillMeasures measures = stillCheck_->measure(*raster, isDocument());
        attempt_.brightness = measures.image.brightness;
        attempt_.sharpness = measures.image.sharpness;
        attempt_.burntShare = measures.image.burntShare;
        attempt_.cardFill = measures.image.fill;
        attempt_.faces = measures.faces;
        attempt_.faceWidthShare = measures.faceWidthShare;
        if (const auto refusal = stillCheck_->judge(measures, isDocument())) {
            // Refused as the service would, without the round trip.
            attempt_.refusal = toString(*refusal);
            report(OVIRACaptureAttempt::Outcome::refusedOnDevice);
            errorPublisher.send({image, localized(textKey(*refusal))});
            loadingPublisher.send(false);
            return;
        }
    }
    uploadImage(image);
}

void EKYCBaseDetectionViewModel::upload(const ImagePtr& image, const std::string& name, const RepoCall& call,
                                        const std::function<void()>& publishNextStep) {
    bool accepted = false;
    std::optional<EKYCAPIError> failure;
    {
        // The photograph lives on disk for its upload only: it is gone before
        // anyone hears the answer, whatever happens in between.
        const Finally removeFiles([this]() noexcept {
            try {
                fileService->removeAllFiles();
            } catch (...) {
            }
        });
        try {
            call(*repo, fileService->saveImage(*image, name, true, 1.0));
            accepted = true;
        } catch (const EKYCAPIError& error) {
            failure = error;
        } catch (const std::exception& error) {
            logger().log("upload failed:", error.what());
        } catch (...) {
            logger().log("upload failed");
        }
    }

    if (accepted) {
        report(OVIRACaptureAttempt::Outcome::acceptedByService);
        images.push_back(image);
        publishNextStep();
    } else {
        // The service's verdict is an answer with its own status code; a
        // failure of the transport or of HTTP is no verdict on the photograph.
        const bool refused = failure && failure->code() > 0 && !failure->status();
        report(refused ? OVIRACaptureAttempt::Outcome::refusedByService : OVIRACaptureAttempt::Outcome::notJudged,
               refused ? failure->code() : 0);
        if (failure && !publishIfUnauthorized(*failure)) errorPublisher.send({image, failure->message()});
    }
    loadingPublisher.send(false);
}

}  // namespace ovira
