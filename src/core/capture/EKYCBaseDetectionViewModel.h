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
#include "ovira/EkycTypeDocument.h"
#include "platform/Image.h"
#include "platform/NetworkPathMonitor.h"
#include "platform/SerialQueue.h"
#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {

using EKYCImages = std::vector<ImagePtr>;

// What a capture view model works with. Anything left empty is the real
// thing: the service repository, the capture folder, and a monitor of the
// route to the configured service host.
struct EKYCDetectionServices {
    std::shared_ptr<IEKYCRepo> repo;
    std::shared_ptr<EKYCFileServiceProtocol> fileService;
    std::unique_ptr<NetworkPathMonitor> monitor;
};

// Takes the photograph of one capture step, stores it in the capture folder,
// has the service judge it and publishes the outcome: the next step with every
// photograph accepted so far, a rejection with the service's message, or an
// unauthorised session.
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
    // Online: stores, uploads and publishes the outcome, then `false` on
    // loadingPublisher, then empties the capture folder.
    void verifyImage(const ImagePtr& image);

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
    // Shared with the monitor's handler, which may outlive nothing it does not own.
    std::shared_ptr<std::atomic<bool>> connected_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace ovira
