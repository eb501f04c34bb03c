#include "capture/EKYCCameraSource.h"

#include "capture/EKYCDeviceCameraSource.h"
#include "capture/EKYCFileCameraSource.h"
#include "ovira/OVIRACameraSettings.h"

namespace ovira {
namespace {

std::mutex factoryMutex;
EKYCCameraSource::Factory installedFactory;

}  // namespace

void EKYCCameraSource::setFactory(Factory factory) {
    std::lock_guard lock(factoryMutex);
    installedFactory = std::move(factory);
}

std::unique_ptr<EKYCCameraSource> EKYCCameraSource::make() {
    Factory factory;
    {
        std::lock_guard lock(factoryMutex);
        factory = installedFactory;
    }
    if (factory)
        if (auto source = factory()) return source;
    const std::string media = OVIRACameraSettings::simulatedCameraMedia();
    if (!media.empty())
        return std::make_unique<EKYCFileCameraSource>(
            EKYCFileCameraSource::Media::fromPath(QString::fromStdString(media)));
    return std::make_unique<EKYCDeviceCameraSource>();
}

void EKYCCameraSource::setFrameHandler(FrameHandler handler) {
    auto shared = handler ? std::make_shared<const FrameHandler>(std::move(handler)) : nullptr;
    std::lock_guard lock(mutex_);
    frameHandler_ = std::move(shared);
}

void EKYCCameraSource::setStillHandler(StillHandler handler) {
    auto shared = handler ? std::make_shared<const StillHandler>(std::move(handler)) : nullptr;
    std::lock_guard lock(mutex_);
    stillHandler_ = std::move(shared);
}

void EKYCCameraSource::deliverFrame(const QImage& frame) const {
    std::shared_ptr<const FrameHandler> handler;
    {
        std::lock_guard lock(mutex_);
        handler = frameHandler_;
    }
    if (handler && !frame.isNull()) (*handler)(frame);
}

void EKYCCameraSource::deliverStill(const QImage& still, int quarterTurns) const {
    std::shared_ptr<const StillHandler> handler;
    {
        std::lock_guard lock(mutex_);
        handler = stillHandler_;
    }
    if (handler) (*handler)(still, quarterTurns);
}

}  // namespace ovira
