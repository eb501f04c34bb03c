// The device's check of a photograph against the development service's
// judgement of the same photograph: drawn cards and the astronaut's face,
// in the conditions the guidance knows, at the sizes capture crops them.
// The device must never refuse what the service accepts; what it catches of
// the service's refusals is the round trips it saves.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "CameraScenes.h"
#include "CaptureScenes.h"
#include "capture/EKYCStillCheck.h"
#include "devserver/PhotoJudge.h"
#include "platform/RasterImage.h"
#include "vision/EKYCCardExaminer.h"
#include "vision/EKYCGuardedFaceDetector.h"

namespace ovira {
namespace {

RasterImage rasterOf(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<std::uint8_t> pixels(std::size_t(rgb.width()) * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        std::copy_n(rgb.constScanLine(y), rgb.width() * 3, pixels.begin() + std::ptrdiff_t(y) * rgb.width() * 3);
    return RasterImage(rgb.width(), rgb.height(), RasterImage::Format::rgb, std::move(pixels));
}

// A light lifted by `amount` grey levels everywhere (an overexposed photograph).
QImage lifted(const QImage& image, int amount) {
    QImage bright = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < bright.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bright.scanLine(y));
        for (int x = 0; x < bright.width(); ++x)
            line[x] = qRgb(std::min(255, qRed(line[x]) + amount), std::min(255, qGreen(line[x]) + amount),
                           std::min(255, qBlue(line[x]) + amount));
    }
    return bright;
}

struct Photo {
    std::string name;
    QImage image;
    bool document;
};

// The card window's crop: a card of `fill` of its width on the desk, at
// `width` pixels, in each condition.
std::vector<Photo> cardPhotos() {
    const QImage portrait(QString::fromStdString(test::testData("astronaut.png")));
    std::vector<Photo> photos;
    for (int width : {1296, 1076, 960}) {
        const QSize size(width, int(width * capture::cardAspectRatio));
        for (double fill : {0.55, 0.7, 0.8, 0.88, 0.94}) {
            const QSizeF card(width * fill, width * fill * 555 / 880);
            const QImage plain = scenes::documentOnADesk(
                portrait, size, QRectF(QPointF(size.width(), size.height()) / 2 - QPointF(card.width(), card.height()) / 2, card));
            const std::string at = std::to_string(width) + " fill " + std::to_string(int(fill * 100));
            photos.push_back({at + " plain", plain, true});
            for (double light : {0.1, 0.2, 0.3, 0.45})
                photos.push_back({at + " light " + std::to_string(light), scenes::darkened(plain, light), true});
            for (double blur : {2.0, 4.0, 8.0, 12.0, 18.0})
                photos.push_back({at + " blur " + std::to_string(blur), scenes::blurred(plain, blur * width / 1000), true});
            photos.push_back({at + " glare", scenes::withGlare(plain, QPointF(width * 0.6, size.height() * 0.5), width * 0.08), true});
            for (int lift : {60, 110})
                photos.push_back({at + " lifted " + std::to_string(lift), lifted(plain, lift), true});
        }
    }
    return photos;
}

// The face circle's crop: the astronaut at `share` of its width.
std::vector<Photo> facePhotos() {
    const QImage picture(QString::fromStdString(test::testData("astronaut.png")));
    const QImage cat(QString::fromStdString(test::testData("chelsea.png")));
    std::vector<Photo> photos;
    for (int side : {1024, 836, 678, 180}) {
        for (double share : {0.1, 0.2, 0.4, 0.6}) {
            const double scale = share * side / 97;
            const QImage plain = scenes::frontCameraFrame(picture, scale,
                                                          QPointF(side, side) / 2 + QPointF(256 - 227, 256 - 130) * scale,
                                                          {side, side});
            const std::string at = std::to_string(side) + " face " + std::to_string(int(share * 100));
            photos.push_back({at + " plain", plain, false});
            for (double light : {0.1, 0.2, 0.35})
                photos.push_back({at + " light " + std::to_string(light), scenes::darkened(plain, light), false});
            photos.push_back({at + " lifted", lifted(plain, 120), false});
        }
        photos.push_back({std::to_string(side) + " cat", cat.scaled(side, side), false});
    }
    return photos;
}

TEST(StillCheckAgreement, TheDeviceNeverRefusesWhatTheServiceAcceptsAndCatchesMostOfWhatItRefuses) {
    const devserver::PhotoJudge judge;
    const EKYCStillCheck check(vision::makeDefaultDocumentExaminer(),
                               std::make_shared<vision::EKYCGuardedFaceDetector>());
    int bothAccept = 0, bothRefuse = 0, missed = 0;
    std::vector<std::string> falseRefusals;
    std::vector<Photo> photos = cardPhotos();
    for (Photo& face : facePhotos()) photos.push_back(std::move(face));
    for (const Photo& photo : photos) {
        const RasterImage raster = rasterOf(photo.image);
        const auto device = check.judge(check.measure(raster, photo.document), photo.document);
        const auto jpeg = raster.jpegData(1.0);
        ASSERT_TRUE(jpeg.has_value());
        const std::string_view bytes(reinterpret_cast<const char*>(jpeg->data()), jpeg->size());
        const auto service = (photo.document ? judge.judgeDocument(bytes) : judge.judgeFace(bytes)).rejection;
        if (device && !service)
            falseRefusals.push_back(photo.name + ": " + toString(*device));
        else if (device)
            ++bothRefuse;
        else if (service)
            ++missed;
        else
            ++bothAccept;
    }
    EXPECT_TRUE(falseRefusals.empty()) << "refused on the device, accepted by the service: "
                                       << testing::PrintToString(falseRefusals);
    const int total = static_cast<int>(photos.size());
    const int serviceRefusals = bothRefuse + missed;
    std::printf("still check agreement: %d photographs, %d accepted by both, %d refused by both, %d refused by the "
                "service only, %zu refused by the device only; the device catches %.0f %% of the service's refusals\n",
                total, bothAccept, bothRefuse, missed, falseRefusals.size(),
                serviceRefusals ? 100.0 * bothRefuse / serviceRefusals : 0.0);
    RecordProperty("agreement", std::to_string(bothAccept + bothRefuse) + "/" + std::to_string(total));
    EXPECT_GE(bothRefuse, serviceRefusals * 6 / 10) << "the device should save most round trips";
    EXPECT_GE(bothAccept, 25) << "the corpus must hold good photographs too";
}

}  // namespace
}  // namespace ovira
