#include "capture/EKYCQtCameraAuthorization.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QtGlobal>
#include <algorithm>
#include <filesystem>

#include "ovira/OVIRACameraSettings.h"

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
#include <QPermissions>
#define OVIRA_QT_PERMISSIONS QT_CONFIG(permissions)
#else
#define OVIRA_QT_PERMISSIONS 0
#endif

namespace ovira {

EKYCQtCameraAuthorization::EKYCQtCameraAuthorization(std::string deviceFolder)
    : deviceFolder_(std::move(deviceFolder)) {}

void EKYCQtCameraAuthorization::installDefault() {
    if (!EKYCCameraAuthorization::shared())
        EKYCCameraAuthorization::setShared(std::make_shared<EKYCQtCameraAuthorization>());
}

EKYCCameraAuthorizationStatus EKYCQtCameraAuthorization::statusForDevices(
    const std::vector<bool>& accessible) {
    if (!accessible.empty() && std::none_of(accessible.begin(), accessible.end(), [](bool ok) { return ok; }))
        return EKYCCameraAuthorizationStatus::denied;
    return EKYCCameraAuthorizationStatus::authorized;
}

EKYCCameraAuthorizationStatus EKYCQtCameraAuthorization::status() const {
#if OVIRA_QT_PERMISSIONS
    if (auto* application = qApp) {
        switch (application->checkPermission(QCameraPermission{})) {
            case Qt::PermissionStatus::Undetermined:
                return EKYCCameraAuthorizationStatus::notDetermined;
            case Qt::PermissionStatus::Denied:
                return EKYCCameraAuthorizationStatus::denied;
            case Qt::PermissionStatus::Granted:
                break;
        }
    }
#endif
    std::vector<bool> accessible;
    std::error_code error;
    for (std::filesystem::directory_iterator it(deviceFolder_, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("video", 0) != 0) continue;
        accessible.push_back(::access(it->path().c_str(), R_OK | W_OK) == 0);
    }
    return statusForDevices(accessible);
}

void EKYCQtCameraAuthorization::requestAccess(std::function<void(bool granted)> completion) {
#if OVIRA_QT_PERMISSIONS
    if (auto* application = qApp; application && status() == EKYCCameraAuthorizationStatus::notDetermined) {
        application->requestPermission(
            QCameraPermission{}, application, [completion](const QPermission& permission) {
                if (completion) completion(permission.status() == Qt::PermissionStatus::Granted);
            });
        return;
    }
#endif
    if (completion) completion(status() == EKYCCameraAuthorizationStatus::authorized);
}

bool EKYCQtCameraAuthorization::openSettings() {
    const auto handler = OVIRACameraSettings::openSettingsHandler();
    return handler ? handler() : false;
}

}  // namespace ovira
