#pragma once

#include <functional>
#include <memory>

namespace ovira {

enum class EKYCCameraAuthorizationStatus { notDetermined, restricted, denied, authorized };

// Whether the library may use the camera, and the way to the settings where
// the user can change that. The UI layer installs the platform's answer;
// hosts and tests may install their own.
class EKYCCameraAuthorization {
public:
    virtual ~EKYCCameraAuthorization() = default;

    virtual EKYCCameraAuthorizationStatus status() const = 0;
    // Asks the user (only meaningful while notDetermined); `completion` may
    // run on any thread.
    virtual void requestAccess(std::function<void(bool granted)> completion) = 0;
    // Opens the settings page of the host application; false when there is none.
    virtual bool openSettings() = 0;

    // The process-wide answer; null until one is installed. Thread-safe.
    static std::shared_ptr<EKYCCameraAuthorization> shared();
    static void setShared(std::shared_ptr<EKYCCameraAuthorization> authorization);
};

// Answers what it is told: for tests, demos and hosts that decide themselves.
class ScriptedCameraAuthorization : public EKYCCameraAuthorization {
public:
    explicit ScriptedCameraAuthorization(EKYCCameraAuthorizationStatus status, bool grantsWhenAsked = true)
        : status_(status), grantsWhenAsked_(grantsWhenAsked) {}

    EKYCCameraAuthorizationStatus status() const override { return status_; }
    void requestAccess(std::function<void(bool)> completion) override;
    bool openSettings() override {
        ++settingsOpened;
        return true;
    }

    int requests = 0;
    int settingsOpened = 0;

private:
    EKYCCameraAuthorizationStatus status_;
    bool grantsWhenAsked_;
};

}  // namespace ovira
