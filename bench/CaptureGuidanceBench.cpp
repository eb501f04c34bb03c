// The live guidance and the automatic capture as a user meets them: the
// front capture screen of an identity card in a 390 x 844 window, its camera
// a file camera playing 1440 x 2560 frames by itself at about 30 a second,
// the library's card examiner looking at them and the automatic capture
// running on its real clock. Each round opens a fresh screen over an empty
// desk, then the camera's picture changes to a card held in the window, and
// the clock runs from that change to the "ready" hint and to the shutter the
// automatic capture presses. The photograph's upload is not part of it: the
// screen's view model is offline, and the connection alert that follows is
// simply closed with the screen. Measured on the platform the process runs
// on (offscreen in scripts/bench.sh).
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPalette>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "CameraScenes.h"
#include "capture/CaptureScreens.h"
#include "capture/EKYCAutoCapture.h"
#include "capture/EKYCCameraAuthorization.h"
#include "capture/EKYCDocumentGuidance.h"
#include "capture/EKYCFileCameraSource.h"
#include "capture/EKYCFrontDetectionViewController.h"
#include "ovira/OVIRACameraSettings.h"
#include "platform/NetworkPathMonitor.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "sdk/EKYCFlowLauncher.h"
#include "ui/controller/ViewController.h"

using namespace ovira;

namespace {

using Clock = std::chrono::steady_clock;
using Media = EKYCFileCameraSource::Media;

constexpr std::chrono::milliseconds kFrameInterval{33};
const QSize kFrameSize(1440, 2560);
constexpr int kRounds = 20;
constexpr int kMovingRounds = 15;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The library's front capture screen, unchanged, that also notes on the GUI
// thread when its guidance first says "ready" and when the photograph is
// asked for, and what its reaction to each examined frame costs.
class TimedFrontScreen : public EKYCFrontDetectionViewController {
public:
    void didUpdateGuidance(const EKYCGuidance& guidance) override {
        const auto start = Clock::now();
        EKYCFrontDetectionViewController::didUpdateGuidance(guidance);
        const auto end = Clock::now();
        ++updates;
        reactions.push_back(millisecondsBetween(start, end));
        // The service takes the frame's guidance before it tells the screen.
        if (!readyAt && cameraService().guidance().isReady()) readyAt = start;
        if (!shutterAt && isLoading()) shutterAt = end;
    }

    // Forgets what was noted before the camera's picture changed.
    void restartClock() {
        readyAt.reset();
        shutterAt.reset();
    }

    int updates = 0;
    std::optional<Clock::time_point> readyAt;
    std::optional<Clock::time_point> shutterAt;
    std::vector<double> reactions;
};

// Runs the GUI thread's events until `done` holds; false when it never did
// within the limit. Sleeps between events (a timer in main() wakes it at
// least every 10 ms), so that the camera's and the examiner's threads have
// the machine's cores to themselves.
bool processUntil(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void settle(int milliseconds) {
    processUntil([] { return false; }, milliseconds);
}

EKYCFileCameraSource& cameraOf(TimedFrontScreen* screen) {
    return dynamic_cast<EKYCFileCameraSource&>(screen->cameraService().source());
}

QImage portrait() {
    const cv::Mat picture = bench::testPicture("astronaut.png");
    return QImage(picture.data, picture.cols, picture.rows, static_cast<qsizetype>(picture.step),
                  QImage::Format_BGR888)
        .copy();
}

// The desk alone: the card lies outside the camera's view.
QImage emptyDesk() {
    return scenes::documentOnADesk({}, kFrameSize, QRectF(-2000, -2000, 880, 555));
}

// The card held at `fill` of the window's width, `offset` off its centre
// (frame pixels), as the test of the guidance holds it.
QImage cardIn(const QImage& face, const QRectF& window, double fill, QPointF offset = {}) {
    const QSizeF size(window.width() * fill, window.width() * fill * 555 / 880);
    return scenes::documentOnADesk(
        face, kFrameSize, QRectF(window.center() + offset - QPointF(size.width(), size.height()) / 2, size));
}

// Where the screen's card window lies in the camera's frames.
QRectF windowInFrame(TimedFrontScreen* screen) {
    const QRectF window = screen->previewCamera->windowRect();
    const capture::Rect inFrame =
        capture::viewToFrame({window.x(), window.y(), window.width(), window.height()},
                             screen->cameraService().previewLayer()->mapping());
    return {inFrame.x, inFrame.y, inFrame.width, inFrame.height};
}

// A fresh front capture screen of an identity card, presented over `host` as
// the flow is, its view model offline; returned once its camera plays the
// desk and the guidance has looked at a few frames of it.
TimedFrontScreen* openScreen(ViewController& host) {
    auto* screen = new TimedFrontScreen;
    EKYCDetectionServices services;
    services.monitor = std::make_unique<ScriptedNetworkPathMonitor>(NetworkPathStatus::unsatisfied);
    screen->setViewModel(makeViewModel<EKYCFrontDetectionViewModel>(EkycTypeDocument::idCard, EKYCImages{},
                                                                    std::move(services)));
    auto* navigation = new EKYCBaseNavigationViewController(screen);
    if (!EKYCFlowLauncher::presentFlow(&host, navigation, false)) host.present(navigation, false);
    const bool looking = processUntil([&] {
        return screen->updates >= 4 && !screen->cameraService().previewLayer()->mapping().frame.isEmpty() &&
               !screen->previewCamera->windowRect().isEmpty();
    });
    return looking ? screen : nullptr;
}

bool closeScreen(ViewController& host, TimedFrontScreen* screen) {
    QPointer<TimedFrontScreen> watched(screen);
    if (watched && watched->isLoading()) {
        // The photograph goes to the offline view model, which answers with
        // the connection alert.
        watched->cameraService().waitUntilCaptureIdle();
        processUntil([&] { return !watched || watched->presentedViewController() != nullptr; }, 3000);
    }
    host.dismiss(false);
    if (!processUntil([&] { return !watched && !EKYCFlowLauncher::currentFlow(); })) return false;
    settle(50);  // what the screen left behind goes at the next turns
    return true;
}

struct Round {
    double ready = 0;
    std::optional<double> shutter;
};

// Opens a screen, switches its camera from the desk to `frames` and times
// the ready hint and, with `untilShutter`, the automatic capture's shutter.
std::optional<Round> playRound(ViewController& host, std::vector<QImage> frames, bool untilShutter,
                               std::vector<double>& reactions) {
    TimedFrontScreen* screen = openScreen(host);
    if (!screen) return std::nullopt;
    screen->restartClock();
    const auto start = Clock::now();
    cameraOf(screen).setMedia(Media::frames(std::move(frames)));
    const bool done = processUntil(
        [&] { return untilShutter ? screen->shutterAt.has_value() : screen->readyAt.has_value(); });
    std::optional<Round> round;
    if (done && screen->readyAt) {
        round = Round{millisecondsBetween(start, *screen->readyAt), std::nullopt};
        if (screen->shutterAt) round->shutter = millisecondsBetween(start, *screen->shutterAt);
    }
    reactions.insert(reactions.end(), screen->reactions.begin(), screen->reactions.end());
    if (!closeScreen(host, screen)) return std::nullopt;
    return round;
}

// How many examined frames of a good card the guidance's rules wait for,
// after a frame without one, before they say "ready", when the card comes
// at `arriving` places before it stays at the last: counted by feeding the
// library's own rules the measures of such frames.
int framesTheRulesWaitFor(int arriving) {
    EKYCDocumentGuidance guidance;
    const auto& limits = guidance.thresholds();
    const capture::Rect window{0, 0, 1000, 630};
    EKYCDocumentMeasures desk;
    desk.brightness = limits.minBrightness + 40;
    desk.sharpness = limits.minSharpness * 4;
    guidance.update(desk, window);
    EKYCDocumentMeasures card = desk;
    card.found = true;
    card.fill = (limits.minFill + limits.maxFill) / 2;
    const double step = 3 * limits.maxShift * window.width;  // well beyond what counts as still
    for (int frames = 1; frames <= 100; ++frames) {
        const double x = step * std::min(frames, std::max(arriving, 1)) - step;
        card.corners = {{{30 + x, 20}, {970 + x, 20}, {970 + x, 610}, {30 + x, 610}}};
        if (guidance.update(card, window).isReady()) return frames;
    }
    return 0;
}

void printStatsRows(const std::string& what, const bench::Stats& stats, double baseline,
                    const std::string& p95Target, const std::string& maxTarget = "") {
    const auto row = [&](const std::string& which, double value, const std::string& target) {
        bench::printRow(what + ", " + which + " (ms)", bench::format(value, 0), bench::format(baseline, 0),
                        bench::format(value / baseline), target);
    };
    row("median", stats.median, "");
    row("p95", stats.p95, p95Target);
    row("max", stats.max, maxTarget);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTimer wakeUp;
    wakeUp.start(10);

    // The camera is allowed, and every capture screen's camera is a file
    // camera playing the desk by itself at about 30 frames a second.
    EKYCCameraAuthorization::setShared(
        std::make_shared<ScriptedCameraAuthorization>(EKYCCameraAuthorizationStatus::authorized));
    installCaptureScreens();
    const QImage desk = emptyDesk();
    EKYCCameraSource::setFactory([desk] {
        auto camera = std::make_unique<EKYCFileCameraSource>(Media::frames({desk}));
        camera->setFrameInterval(kFrameInterval);
        return camera;
    });
    OVIRACameraSettings::setAutoCapture(true);

    ViewController host;
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, QColor(0xF4, 0xF6, 0xFA));
    host.setPalette(palette);
    host.resize(390, 844);
    host.show();
    settle(200);

    // The card window in the frames, and the timing of the automatic capture,
    // from a first screen (that also loads what every screen shares).
    TimedFrontScreen* first = openScreen(host);
    if (!first) {
        std::fprintf(stderr, "capture guidance: the screen's camera never showed a frame\n");
        return 1;
    }
    const QRectF window = windowInFrame(first);
    const EKYCAutoCapture::Timing timing = first->autoCapture().timing();
    if (!closeScreen(host, first)) return 1;
    const double designedWait = (timing.settle + timing.countdown) * 1000;
    const QImage face = portrait();
    const QImage steadyCard = cardIn(face, window, 0.94);

    // 1 and 2: a steady card, until the automatic capture takes it.
    std::vector<double> ready, shutter, afterCountdown, reactions;
    for (int i = 0; i < kRounds; ++i) {
        const auto round = playRound(host, {steadyCard}, true, reactions);
        if (!round || !round->shutter) {
            std::fprintf(stderr, "capture guidance: round %d never reached the %s\n", i,
                         round ? "shutter" : "ready hint");
            return 1;
        }
        ready.push_back(round->ready);
        shutter.push_back(*round->shutter);
        afterCountdown.push_back(*round->shutter - round->ready - designedWait);
    }

    // 3: the card arrives moving (three frames at different places), then
    // stays; the automatic capture is left out.
    OVIRACameraSettings::setAutoCapture(false);
    const QImage restingCard = cardIn(face, window, 0.94, {80, 0});
    std::vector<QImage> arriving;
    for (int step = 0; step < 3; ++step) arriving.push_back(cardIn(face, window, 0.94, {step * 40.0, 0}));
    // Held long enough that the media never starts over within a round.
    for (int frame = 0; frame < 600; ++frame) arriving.push_back(restingCard);
    std::vector<double> readyAfterMoving;
    for (int i = 0; i < kMovingRounds; ++i) {
        const auto round = playRound(host, arriving, false, reactions);
        if (!round) {
            std::fprintf(stderr, "capture guidance: moving round %d never reached the ready hint\n", i);
            return 1;
        }
        readyAfterMoving.push_back(round->ready);
    }

    // The baselines: the frames the guidance's rules wait for at this frame
    // rate (the ready hint cannot come sooner), and the automatic capture's
    // designed wait after it.
    const double interval = static_cast<double>(kFrameInterval.count());
    const int rulesFrames = framesTheRulesWaitFor(1);
    const int rulesFramesMoving = framesTheRulesWaitFor(3);
    const double rulesWait = rulesFrames * interval;
    // The rest of the automatic capture: the ready hint, then the settling
    // and the countdown each end between two frames and wait for the next.
    const double waitsEndBetweenFrames = 2 * interval;
    const double restBaseline = rulesWait + waitsEndBetweenFrames;
    std::vector<double> beyondWait;
    for (double taken : shutter) beyondWait.push_back(taken - designedWait);
    const auto readyStats = bench::summarize(ready);
    const auto shutterStats = bench::summarize(shutter);
    const auto beyondStats = bench::summarize(beyondWait);
    const auto afterStats = bench::summarize(afterCountdown);
    const auto movingStats = bench::summarize(readyAfterMoving);
    const auto reactionStats = bench::summarize(reactions);

    bench::printHeader(
        "Guidance and automatic capture, identity card front (390 x 844 window, 1440 x 2560 "
        "frames at ~30 fps; " +
        std::to_string(kRounds) + " rounds steady, " + std::to_string(kMovingRounds) + " arriving moving)");
    printStatsRows("steady card to ready hint", readyStats, rulesWait, "<= 500 ms");
    printStatsRows("steady card to photograph", shutterStats, designedWait,
                   "<= " + bench::format(designedWait + 500, 0) + " ms");
    bench::printRow("  designed wait (settle + countdown) (ms)", bench::format(designedWait, 0),
                    bench::format(designedWait, 0), bench::format(1), "");
    bench::printRow("  the rest, median (ms)", bench::format(beyondStats.median, 0),
                    bench::format(restBaseline, 0), bench::format(beyondStats.median / restBaseline), "");
    bench::printRow("  the rest, p95 (ms)", bench::format(beyondStats.p95, 0), bench::format(restBaseline, 0),
                    bench::format(beyondStats.p95 / restBaseline), "");
    bench::printRow("    of it, waits' ends to frames, median (ms)", bench::format(afterStats.median, 0),
                    bench::format(waitsEndBetweenFrames, 0),
                    bench::format(afterStats.median / waitsEndBetweenFrames), "");
    printStatsRows("moving card to ready hint", movingStats, rulesFramesMoving * interval, "<= 500 ms");
    const auto reactionRow = [](const std::string& which, double value, const std::string& target) {
        bench::printRow("screen's reaction per frame, " + which + " (ms)", bench::format(value, 3), "-", "-",
                        target);
    };
    reactionRow("median", reactionStats.median, "");
    reactionRow("p95", reactionStats.p95, "");
    reactionRow("max", reactionStats.max, "<= 16 ms");
    std::printf(
        "baselines: the examined frames the guidance's rules wait for, at %.0f ms a frame (%d for a steady "
        "card, %d for one arriving moving); the automatic capture's designed wait (%.1f s settle + %d s "
        "countdown); the rest: the steady card's frames and one frame for each of the two waits' ends.\n"
        "the screen's reaction: its didUpdateGuidance (hint, corners, automatic capture) on the GUI "
        "thread, every examined frame of every round.\n",
        interval, rulesFrames, rulesFramesMoving, timing.settle, timing.countdown);
    return 0;
}
