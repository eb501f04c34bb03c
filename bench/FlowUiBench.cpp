// The flow's screens on the GUI thread: the time from a host's call to the
// first screen painted, and what each frame of a push transition costs.
// Measured on the platform the process runs on (offscreen in scripts/bench.sh).
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <opencv2/imgcodecs.hpp>
#include <vector>

#include "BenchSupport.h"
#include "ovira/OVIRACameraSettings.h"
#include "ovira/qt/OVIRAFlow.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "sdk/EKYCFlowLauncher.h"

using namespace ovira;

namespace {

using Clock = std::chrono::steady_clock;

// The baseline: this benchmark's figures (Release, offscreen, this project's
// 2-core build machine, three runs' middle values) for the screen layer as
// it stood before it moved onto Qt's own navigation, list and overlay classes.
constexpr double kBeforeColdStart = 22.3;
constexpr double kBeforeFirstScreenMedian = 6.3;
constexpr double kBeforeFirstScreenP95 = 10.1;
constexpr double kBeforeFrameMedian = 2.7;
constexpr double kBeforeFrameP95 = 3.9;
constexpr double kBeforeFrameMax = 8.2;
constexpr double kBeforeFramesPerPush = 28.9;

// Times every repaint of a window (one UpdateRequest paints all that is dirty
// in it: that is one frame) and notices the first paint of a chosen screen.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched && receiver == watched) watchedPainted = true;
        if (event->type() != QEvent::UpdateRequest || !recordingFrames)
            return QApplication::notify(receiver, event);
        const auto start = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        frames.push_back(bench::millisecondsSince(start));
        return handled;
    }

    QPointer<QWidget> watched;
    bool watchedPainted = false;
    bool recordingFrames = false;
    std::vector<double> frames;
};

TimingApplication* app() {
    return static_cast<TimingApplication*>(QCoreApplication::instance());
}

bool processUntil(const std::function<bool()>& done, int limitMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

EKYCBaseNavigationViewController* flow() {
    return qobject_cast<EKYCBaseNavigationViewController*>(EKYCFlowLauncher::currentFlow());
}

void closeFlow() {
    OVIRAFlow::close();
    processUntil([] { return !OVIRAFlow::isShowing(); });
    processUntil([] { return false; }, 50);  // the layers go at the next turns
}

}  // namespace

int main(int argc, char** argv) {
    TimingApplication application(argc, argv);
    QTemporaryDir folder;
    const std::string card = folder.filePath(QStringLiteral("camera.png")).toStdString();
    cv::imwrite(card, bench::testPicture("astronaut.png"));
    OVIRACameraSettings::setSimulatedCameraMedia(card);

    QMainWindow window;
    auto* panel = new QLabel;
    window.setCentralWidget(panel);
    window.resize(1280, 800);
    window.show();
    processUntil([&] { return window.isVisible(); });
    processUntil([] { return false; }, 200);

    // From the host's call to the document choice on screen. The first round
    // loads the fonts, images and interface descriptions and is reported apart.
    constexpr int kRounds = 30;
    std::vector<double> firstScreen;
    double coldStart = 0;
    for (int round = 0; round <= kRounds; ++round) {
        app()->watchedPainted = false;
        const auto start = Clock::now();
        if (!OVIRAFlow::embedIn(panel)) {
            std::fprintf(stderr, "flow ui: the flow was not shown\n");
            return 1;
        }
        app()->watched = flow()->viewControllers().front();
        if (!processUntil([] { return app()->watchedPainted; })) {
            std::fprintf(stderr, "flow ui: the first screen was never painted\n");
            return 1;
        }
        (round == 0 ? coldStart : firstScreen.emplace_back()) = bench::millisecondsSince(start);
        closeFlow();
    }

    // A push to the first capture screen, animated: the cost of each frame
    // painted while it slides in.
    std::vector<double> frames;
    std::vector<double> transitions;
    for (int round = 0; round < 10; ++round) {
        if (!OVIRAFlow::embedIn(panel)) return 1;
        processUntil([] { return false; }, 400);  // the flow's own fade-in is over
        auto* introduce = qobject_cast<EKYCIntroduceViewController*>(flow()->viewControllers().front());
        app()->frames.clear();
        app()->recordingFrames = true;
        const auto start = Clock::now();
        introduce->openDocumentCapture(EkycTypeDocument::idCard);
        processUntil([] { return flow()->viewControllers().size() == 2; });
        processUntil([] { return false; }, 450);  // the slide lasts well under this
        app()->recordingFrames = false;
        transitions.push_back(bench::millisecondsSince(start));
        frames.insert(frames.end(), app()->frames.begin(), app()->frames.end());
        closeFlow();
    }

    const auto shown = bench::summarize(firstScreen);
    const auto frameStats = bench::summarize(frames);
    const auto row = [](const char* what, double ours, double before, const char* target, int decimals = 2) {
        bench::printRow(what, bench::format(ours, decimals), bench::format(before, decimals),
                        bench::format(ours / before), target);
    };
    bench::printHeader(
        "The flow's screens on the GUI thread (1280 x 800 window, embedded), against the old layer");
    row("first screen painted, first call (ms)", coldStart, kBeforeColdStart, "");
    row("first screen painted, median (ms)", shown.median, kBeforeFirstScreenMedian, "");
    row("first screen painted, p95 (ms)", shown.p95, kBeforeFirstScreenP95, "<= 100 ms");
    row("push transition frame, median (ms)", frameStats.median, kBeforeFrameMedian, "");
    row("push transition frame, p95 (ms)", frameStats.p95, kBeforeFrameP95, "");
    row("push transition frame, max (ms)", frameStats.max, kBeforeFrameMax, "<= 16 ms");
    row("frames per push", static_cast<double>(frames.size()) / 10, kBeforeFramesPerPush, "", 1);
    return 0;
}
