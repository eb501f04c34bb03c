#include "capture/EKYCCameraAuthorization.h"

#include <mutex>

namespace ovira {

namespace {
std::mutex mutex;
std::shared_ptr<EKYCCameraAuthorization> installed;
}  // namespace

std::shared_ptr<EKYCCameraAuthorization> EKYCCameraAuthorization::shared() {
    std::lock_guard lock(mutex);
    return installed;
}

void EKYCCameraAuthorization::setShared(std::shared_ptr<EKYCCameraAuthorization> authorization) {
    std::lock_guard lock(mutex);
    installed = std::move(authorization);
}

void ScriptedCameraAuthorization::requestAccess(std::function<void(bool)> completion) {
    ++requests;
    if (status_ == EKYCCameraAuthorizationStatus::notDetermined)
        status_ = grantsWhenAsked_ ? EKYCCameraAuthorizationStatus::authorized
                                   : EKYCCameraAuthorizationStatus::denied;
    if (completion) completion(status_ == EKYCCameraAuthorizationStatus::authorized);
}

}  // namespace ovira
