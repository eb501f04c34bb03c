// The platform pieces under the camera: the image adapter, the camera
// authorisation and the host's choice of camera.
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "capture/EKYCDeviceCameraSource.h"
#include "capture/EKYCFileCameraSource.h"
#include "capture/EKYCQtCameraAuthorization.h"
#include "ovira/OVIRACameraSettings.h"
#include "platform/QImageAdapter.h"
#include "support/TemporaryDirectory.h"

namespace ovira::test {
namespace {

using Status = EKYCCameraAuthorizationStatus;

TEST(QImageAdapter, EncodesAndConvertsBothWays) {
    qtApplication();
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(QColor(0, 0, 255, 0));
    picture.setPixelColor(5, 5, QColor(200, 10, 10));
    const QImageAdapter adapter(picture);
    EXPECT_EQ(adapter.width(), 40);
    EXPECT_EQ(adapter.height(), 30);

    const auto jpeg = adapter.jpegData(0.9);
    ASSERT_TRUE(jpeg.has_value());
    const QImage decoded = QImage::fromData(jpeg->data(), int(jpeg->size()), "JPEG");
    EXPECT_EQ(decoded.size(), QSize(40, 30));
    EXPECT_GT(qGray(decoded.pixel(30, 20)), 240) << "transparent flattens onto white, not black";
    const auto png = adapter.pngData();
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(QImage::fromData(png->data(), int(png->size()), "PNG").pixelColor(5, 5), QColor(200, 10, 10));
    EXPECT_FALSE(QImageAdapter(QImage()).jpegData(1).has_value());

    const auto raster = rasterFromQImage(picture);
    ASSERT_TRUE(raster);
    EXPECT_EQ(raster->format(), RasterImage::Format::rgb);
    EXPECT_EQ(raster->pixels()[(5 * 40 + 5) * 3], 200);
    EXPECT_EQ(qImageOf(*raster).pixelColor(5, 5), QColor(200, 10, 10));
    EXPECT_EQ(rasterFromQImage(QImage()), nullptr);
}

TEST(QtCameraAuthorization, DeniedOnlyWhenNoCameraMayBeOpened) {
    EXPECT_EQ(EKYCQtCameraAuthorization::statusForDevices({}), Status::authorized)
        << "no camera: a black preview";
    EXPECT_EQ(EKYCQtCameraAuthorization::statusForDevices({false}), Status::denied);
    EXPECT_EQ(EKYCQtCameraAuthorization::statusForDevices({false, true}), Status::authorized);

    TemporaryDirectory devices;
    EKYCQtCameraAuthorization authorization(devices.path().string());
    EXPECT_EQ(authorization.status(), Status::authorized);
    bool granted = false;
    authorization.requestAccess([&](bool answer) { granted = answer; });
    EXPECT_TRUE(granted);
}

TEST(QtCameraAuthorization, OpensSettingsThroughTheHost) {
    EKYCQtCameraAuthorization authorization;
    OVIRACameraSettings::setOpenSettingsHandler({});
    EXPECT_FALSE(authorization.openSettings()) << "no settings page without the host";
    int opened = 0;
    OVIRACameraSettings::setOpenSettingsHandler([&] { return ++opened == 1; });
    EXPECT_TRUE(authorization.openSettings());
    EXPECT_FALSE(authorization.openSettings());
    EXPECT_EQ(opened, 2);
    OVIRACameraSettings::setOpenSettingsHandler({});

    EKYCCameraAuthorization::setShared(nullptr);
    EKYCQtCameraAuthorization::installDefault();
    EXPECT_NE(dynamic_cast<EKYCQtCameraAuthorization*>(EKYCCameraAuthorization::shared().get()), nullptr);
    auto scripted = std::make_shared<ScriptedCameraAuthorization>(Status::denied);
    EKYCCameraAuthorization::setShared(scripted);
    EKYCQtCameraAuthorization::installDefault();
    EXPECT_EQ(EKYCCameraAuthorization::shared(), scripted) << "a host's own answer stays";
    EKYCCameraAuthorization::setShared(nullptr);
}

TEST(CameraSource, HostChoosesTheCamera) {
    qtApplication();
    OVIRACameraSettings::setSimulatedCameraMedia(testData("astronaut.png"));
    EXPECT_NE(dynamic_cast<EKYCFileCameraSource*>(EKYCCameraSource::make().get()), nullptr);
    OVIRACameraSettings::setSimulatedCameraMedia("");
    EXPECT_NE(dynamic_cast<EKYCDeviceCameraSource*>(EKYCCameraSource::make().get()), nullptr);
    EKYCCameraSource::setFactory(
        [] { return std::make_unique<EKYCFileCameraSource>(EKYCFileCameraSource::Media::frames({})); });
    EXPECT_NE(dynamic_cast<EKYCFileCameraSource*>(EKYCCameraSource::make().get()), nullptr);
    EKYCCameraSource::setFactory({});
}

TEST(DeviceCameraSource, WithoutACameraNothingFails) {
    qtApplication();
    if (!EKYCDeviceCameraSource::deviceAt(EKYCCameraPosition::back).isNull())
        GTEST_SKIP() << "this machine has a camera";
    EKYCDeviceCameraSource camera;
    EXPECT_FALSE(camera.hasCamera(EKYCCameraPosition::front));
    EXPECT_FALSE(camera.open(EKYCCameraPosition::back));
    camera.start();
    EXPECT_FALSE(camera.isRunning());
    EXPECT_FALSE(camera.isTorchAvailable());
    EXPECT_TRUE(camera.setTorch(true, 0.1f).has_value());
    QImage still(1, 1, QImage::Format_RGB32);
    camera.setStillHandler([&](const QImage& image, int) { still = image; });
    camera.captureStill();
    drainEvents();
    EXPECT_TRUE(still.isNull()) << "a still asked of no camera is reported empty";
}

}  // namespace
}  // namespace ovira::test
