#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/EKYCCameraAuthorization.h"

namespace ovira {

// The platform's answer to "may the library use the camera". Where Qt has
// camera permissions (6.5 and later, on platforms that ask) it asks them;
// otherwise the camera device nodes decide: access is denied when there are
// device nodes and none of them may be opened, granted otherwise (with no
// camera at all the screens simply show no picture). "Open settings" is the
// host's OVIRACameraSettings handler.
class EKYCQtCameraAuthorization : public EKYCCameraAuthorization {
public:
    // `deviceFolder` is where the camera device nodes (video*) live.
    explicit EKYCQtCameraAuthorization(std::string deviceFolder = "/dev");

    // Installs a default authorization unless one is installed already. GUI thread.
    static void installDefault();

    EKYCCameraAuthorizationStatus status() const override;
    // No prompt exists without Qt's permissions: answers with the status.
    void requestAccess(std::function<void(bool granted)> completion) override;
    bool openSettings() override;

    // The status for device nodes of which `accessible` tells which may be opened.
    static EKYCCameraAuthorizationStatus statusForDevices(const std::vector<bool>& accessible);

private:
    std::string deviceFolder_;
};

}  // namespace ovira
