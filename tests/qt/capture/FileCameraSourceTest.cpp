// The file camera: what each kind of media plays, stills, and the playback thread.
#include <gtest/gtest.h>

#include <QTransform>
#include <fstream>
#include <future>
#include <opencv2/videoio.hpp>

#include "CameraTestSupport.h"
#include "support/TemporaryDirectory.h"

namespace ovira::test {
namespace {

using Media = EKYCFileCameraSource::Media;

// Collects the frames a camera sends, by their first pixel's grey level.
struct FrameLog {
    explicit FrameLog(EKYCCameraSource& camera) {
        camera.setFrameHandler([this](const QImage& frame) {
            std::lock_guard lock(mutex);
            levels.push_back(qGray(frame.pixel(0, 0)));
            sizes.push_back(frame.size());
            if (levels.size() == 3) third.set_value();
        });
    }
    std::vector<int> take() {
        std::lock_guard lock(mutex);
        return levels;
    }
    std::mutex mutex;
    std::vector<int> levels;
    std::vector<QSize> sizes;
    std::promise<void> third;
};

// The grey levels of the first `count` frames the camera at `position` plays;
// their sizes go to `sizes` when given.
std::vector<int> play(EKYCFileCameraSource& camera, int count,
                      EKYCCameraPosition position = EKYCCameraPosition::back,
                      std::vector<QSize>* sizes = nullptr) {
    FrameLog log(camera);
    camera.open(position);
    camera.setFrameInterval(std::chrono::milliseconds(0));
    camera.start();
    for (int i = 0; i < count; ++i) camera.deliverNextFrame();
    camera.stop();
    camera.setFrameHandler({});
    if (sizes) *sizes = log.sizes;
    return log.take();
}

QImage grey(int level, QSize size = {8, 8}) {
    return solidFrame(size, QColor(level, level, level));
}

TEST(FileCameraSource, PlaysEachKindOfMediaInOrderAndLoops) {
    qtApplication();
    TemporaryDirectory folder;
    for (const auto& [name, level] : {std::pair{"b.png", 200}, std::pair{"a.png", 100}})
        ASSERT_TRUE(grey(level, {32, 24}).save(QString::fromStdString((folder / name).string())));
    std::ofstream(folder / "notes.txt") << "not an image";

    const auto video = (folder / "clip.avi").string();
    {
        cv::VideoWriter writer(video, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10, cv::Size(64, 48));
        ASSERT_TRUE(writer.isOpened());
        for (int level : {40, 120, 200})
            writer.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar(level, level, level)));
    }

    EKYCFileCameraSource frames(Media::frames({grey(10), grey(20)}));
    EXPECT_EQ(play(frames, 3), (std::vector<int>{10, 20, 10}));

    EKYCFileCameraSource images(Media::fromPath(QString::fromStdString(folder.path().string())));
    EXPECT_EQ(play(images, 3), (std::vector<int>{100, 200, 100})) << "name order; other files skipped";

    EKYCFileCameraSource still(Media::fromPath(QString::fromStdString(testData("astronaut.png"))));
    std::vector<QSize> sizes;
    EXPECT_EQ(play(still, 2, EKYCCameraPosition::front, &sizes).size(), 2u);
    EXPECT_EQ(sizes, (std::vector<QSize>{{512, 512}, {512, 512}}));

    EKYCFileCameraSource clip(Media::fromPath(QString::fromStdString(video)));
    EXPECT_EQ(clip.frameInterval(), std::chrono::milliseconds(100)) << "the video's own frame rate";
    const auto levels = play(clip, 4);
    ASSERT_EQ(levels.size(), 4u);
    const int expected[] = {40, 120, 200, 40};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(levels[i], expected[i], 6) << "frame " << i;

    EKYCFileCameraSource nothing(Media::fromPath(QStringLiteral("/nonexistent/clip.mp4")));
    EXPECT_TRUE(play(nothing, 2).empty()) << "an unreadable file shows nothing and breaks nothing";
}

TEST(FileCameraSource, StillsAreTheFrameOnShowAndComeLater) {
    qtApplication();
    EKYCFileCameraSource camera(Media::frames({grey(10), grey(20)}), {EKYCCameraPosition::back});
    std::vector<QImage> stills;
    camera.setStillHandler([&](const QImage& still, int turns) {
        EXPECT_EQ(turns, 0) << "upright unless asked otherwise";
        stills.push_back(still);
    });
    EXPECT_FALSE(camera.open(EKYCCameraPosition::front));
    ASSERT_TRUE(camera.open(EKYCCameraPosition::back));
    camera.setFrameInterval(std::chrono::milliseconds(0));

    camera.captureStill();
    drainEvents();
    ASSERT_EQ(stills.size(), 1u);
    EXPECT_TRUE(stills[0].isNull()) << "a camera that is not running takes nothing";

    camera.start();
    camera.deliverNextFrame();
    camera.deliverNextFrame();
    camera.captureStill();
    EXPECT_EQ(stills.size(), 1u) << "never before captureStill returns";
    drainEvents();
    ASSERT_EQ(stills.size(), 2u);
    EXPECT_EQ(qGray(stills[1].pixel(0, 0)), 20);
}

TEST(FileCameraSource, FramesStreamSmallerAndStillsArriveAsTheSensorLies) {
    qtApplication();
    // A 12-megapixel landscape scene: red in its top-left corner, blue in
    // the middle, so every cut and turn shows.
    QImage scene = solidFrame({4032, 3024}, Qt::darkGray);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) scene.setPixelColor(x, y, Qt::red);
    for (int y = 1462; y < 1562; ++y)
        for (int x = 1966; x < 2066; ++x) scene.setPixelColor(x, y, Qt::blue);

    for (const int turns : {0, 1, 2, 3}) {
        SCOPED_TRACE(turns);
        EKYCFileCameraSource camera(Media::frames({scene}), {EKYCCameraPosition::back});
        camera.setFrameSize({1280, 720});
        camera.setStillTurns(turns);
        FrameLog log(camera);
        QImage still;
        int stillTurns = -1;
        camera.setStillHandler([&](const QImage& image, int quarterTurns) {
            still = image;
            stillTurns = quarterTurns;
        });
        camera.setFrameInterval(std::chrono::milliseconds(0));
        ASSERT_TRUE(camera.open(EKYCCameraPosition::back));
        camera.start();
        camera.deliverNextFrame();
        camera.captureStill();
        drainEvents();

        ASSERT_EQ(log.sizes.size(), 1u);
        EXPECT_EQ(log.sizes[0], QSize(1280, 720))
            << "the stream is cut to 16:9 around the centre and reduced";
        ASSERT_FALSE(still.isNull());
        EXPECT_EQ(stillTurns, turns);
        EXPECT_EQ(still.size(), turns % 2 ? QSize(3024, 4032) : QSize(4032, 3024))
            << "the still keeps every pixel";
        const QImage upright = still.transformed(QTransform().rotate(90.0 * turns));
        EXPECT_EQ(upright.pixelColor(50, 50), QColor(Qt::red)) << "turned back, the still is the scene";
        EXPECT_EQ(upright.pixelColor(2016, 1512), QColor(Qt::blue));
    }
}

TEST(FileCameraSource, PlaybackThreadSendsFramesUntilStopped) {
    qtApplication();
    EKYCFileCameraSource camera(Media::frames({grey(10)}));
    FrameLog log(camera);
    camera.setFrameInterval(std::chrono::milliseconds(2));
    camera.start();
    EXPECT_FALSE(camera.isRunning()) << "no camera chosen yet";
    camera.open(EKYCCameraPosition::back);
    camera.start();
    log.third.get_future().wait();
    camera.stop();
    const auto sent = camera.deliveredFrames();
    camera.deliverNextFrame();
    EXPECT_EQ(camera.deliveredFrames(), sent);
    EXPECT_EQ(log.take().size(), std::size_t(sent));
}

TEST(FileCameraSource, ComposedFramesPlaceTheContentAtEachCentre) {
    qtApplication();
    const QImage dot = solidFrame({10, 10}, Qt::red);
    const auto frames = EKYCFileCameraSource::composedFrames(dot, {100, 80}, {{20, 20}, {70, 60}}, Qt::black);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].size(), QSize(100, 80));
    EXPECT_EQ(frames[0].pixelColor(20, 20), QColor(Qt::red));
    EXPECT_EQ(frames[0].pixelColor(70, 60), QColor(Qt::black));
    EXPECT_EQ(frames[1].pixelColor(70, 60), QColor(Qt::red));
    EXPECT_EQ(frames[1].pixelColor(14, 14), QColor(Qt::black));
}

}  // namespace
}  // namespace ovira::test
