#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "api/IEKYCRepo.h"
#include "capture/EKYCFileServiceProtocol.h"
#include "capture/EKYCStillCheck.h"
#include "ovira/EkycTypeDocument.h"
#include "ovira/OVIRADelegate.h"
#include "platform/Image.h"
#include "platform/NetworkPathMonitor.h"
#include "platform/SerialQueue.h"
#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {

using EKYCImages = std::vector<ImagePtr>;

// What a capture view model works with. Anything left empty is the real
// thing: the service repository, the capture folder, and a monitor of the
// route to the configured service host. Without a still check every
// photograph goes to the service (the capture screen installs the library's).
struct EKYCDetectionServices {
    std::shared_ptr<IEKYCRepo> repo;
    std::shared_ptr<EKYCFileServiceProtocol> fileService;
    std::unique_ptr<NetworkPathMonitor> monitor;
    std::shared_ptr<EKYCStillCheck> stillCheck;
};

// How a photograph came to be taken, for the report of its attempt.
struct EKYCCaptureContext {
    OVIRAFlowStep step = OVIRAFlowStep::captureFront;
    bool autoCaptured = false;
    double secondsToCapture = 0;
};

// Takes the photograph of one capture step, checks it on the device, stores
// it in the capture folder, has the service judge it and publishes the
// outcome: the next step with every photograph accepted so far, a rejection
// with the device's or the service's message, or an unauthorised session.
// Every photograph judged is reported to the host as an attempt.
//
// verifyImage() blocks for the upload; call it on the capture thread, never
// the GUI thread. Every event is published on that thread.
class EKYCBaseDetectionViewModel : public EKYCBaseViewModel {
public:
    const EkycTypeDocument typeDocument;

    // The service turned the photograph down; its message when it gave one.
    PassthroughSubject<std::pair<ImagePtr, std::optional<std::string>>> errorPublisher;
    // A photograph was offered while the service could not be reached.
    PassthroughSubject<Void> connectionPublisher;

    // The photographs accepted so far in this flow, in step order. Written
    // and read on the capture thread.
    EKYCImages images;

    // Whether the monitor's last report said the service can be reached;
    // false until its first report.
    bool isConnected() const { return connected_->load(); }

    // Starts watching the network (on the queue "ai.qorix.ekyc.monitor").
    void onViewDidLoad() override;
    // Stops watching the network.
    void onDeinit() override;

    // Offline: publishes on connectionPublisher and does nothing else.
    // Online: a photograph the still check refuses is published on
    // errorPublisher with the check's reason and goes no further; any other
    // is stored, uploaded and its outcome published, then `false` on
    // loadingPublisher, then the capture folder is emptied.
    void verifyImage(const ImagePtr& image, const EKYCCaptureContext& context = {});

    // The check a photograph must pass before it is uploaded; set before
    // the first photograph. Kept when one came with the services.
    void setStillCheck(std::shared_ptr<EKYCStillCheck> check);
    bool hasStillCheck() const { return stillCheck_ != nullptr; }
    // Documents are judged as cards, the face screen's photograph as a face.
    virtual bool isDocument() const { return true; }

protected:
    EKYCBaseDetectionViewModel(EkycTypeDocument type, EKYCImages accepted, EKYCDetectionServices services);

    virtual void uploadImage(const ImagePtr& image) = 0;

    using RepoCall = std::function<void(IEKYCRepo&, const std::optional<std::filesystem::path>&)>;
    // The sequence every upload shares: the photograph is saved as `name`,
    // sent with `call`, and on acceptance appended to `images` before
    // `publishNextStep` runs.
    void upload(const ImagePtr& image, const std::string& name, const RepoCall& call,
                const std::function<void()>& publishNextStep);

    std::shared_ptr<IEKYCRepo> repo;
    std::shared_ptr<EKYCFileServiceProtocol> fileService;
    std::shared_ptr<SerialQueue> queue;
    std::unique_ptr<NetworkPathMonitor> monitor;

private:
    void report(OVIRACaptureAttempt::Outcome outcome, int serviceErrorCode = 0);

    std::shared_ptr<EKYCStillCheck> stillCheck_;
    // The attempt being judged; capture thread.
    OVIRACaptureAttempt attempt_;
    // Shared with the monitor's handler, which may outlive nothing it does not own.
    std::shared_ptr<std::atomic<bool>> connected_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace ovira
