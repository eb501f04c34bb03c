// ovira-demo: a small host application that uses the library as a bank's app
// would, through its public headers only.
//
//   ovira-demo [--service HOST:PORT] [--ca FILE] [--app-id ID] [--camera-media PATH]
//              [--language vi|en] [--window WxH]
//              [--camera WxH]   (with --autopilot: the size of the cameras' frames)
//              [--text-size PERCENT]   (the application font's size; the flow's text follows it)
//              [--autopilot idCard|licenseDriver|passport --screenshots DIR [--testdata DIR]
//               [--autopilot-text TEXT]]
//              [--autopilot KIND --keyboard]   (every step with key events alone)
//              [--autopilot KIND --measure]   (the GUI thread's longest stall and peak memory)
//              [--autopilot KIND --save-scenes DIR]   (the camera frames the service accepted, as files)
//              [--auto-capture]   (photographs taken once the card or face is good and steady)
//              [--autopilot KIND --degraded]   (poor pictures first: dark, blurred, small, glared, turned)
#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QMetaObject>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <nlohmann/json.hpp>

#include "Autopilot.h"
#include "DemoWindow.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRACameraSettings.h"
#include "ovira/OVIRADelegate.h"
#include "ovira/UserDefaults.h"

namespace {

// Tells the window about a finished verification, on the GUI thread, and
// logs every photograph's outcome as a host's analytics would.
class DemoDelegate : public ovira::OVIRADelegate {
public:
    explicit DemoDelegate(DemoWindow* window) : window_(window) {}
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override {
        const QString id = QString::fromStdString(sessionId);
        QMetaObject::invokeMethod(window_, [window = window_, id] { window->showSession(id); });
    }
    void didEKYCCaptureAttempt(const ovira::OVIRACaptureAttempt& attempt) override {
        std::printf("attempt: %s %s%s%s%s, %dx%d, grey %.0f, sharpness %.0f, card %.2f, faces %d\n",
                    ovira::toString(attempt.step), ovira::toString(attempt.outcome),
                    attempt.refusal.empty() ? "" : " ", attempt.refusal.c_str(), attempt.autoCaptured ? " (auto)" : "",
                    attempt.width, attempt.height, attempt.brightness, attempt.sharpness, attempt.cardFill,
                    attempt.faces);
        std::fflush(stdout);
        window_->countAttempt(QString::fromLatin1(ovira::toString(attempt.outcome)));
    }

private:
    DemoWindow* window_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ovira-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A host application for the OVIRA eKYC library."));
    parser.addHelpOption();
    const QCommandLineOption service(
        QStringLiteral("service"), QStringLiteral("The eKYC service, HOST:PORT."), QStringLiteral("address"));
    const QCommandLineOption ca(QStringLiteral("ca"),
                                QStringLiteral("A CA certificate to trust for the service."),
                                QStringLiteral("file"));
    const QCommandLineOption appID(QStringLiteral("app-id"), QStringLiteral("The application identifier."),
                                   QStringLiteral("id"));
    const QCommandLineOption media(
        QStringLiteral("camera-media"),
        QStringLiteral("Play an image, a folder of images or a video as the camera."),
        QStringLiteral("path"));
    const QCommandLineOption autopilot(
        QStringLiteral("autopilot"),
        QStringLiteral("Walk the whole flow for a document (idCard, licenseDriver or passport) and exit 0 "
                       "once the session is reported."),
        QStringLiteral("kind"));
    const QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                         QStringLiteral("Where the autopilot saves a picture of every screen."),
                                         QStringLiteral("dir"));
    const QCommandLineOption testdata(QStringLiteral("testdata"),
                                      QStringLiteral("The folder with astronaut.png and chelsea.png for the "
                                                     "autopilot's cameras."),
                                      QStringLiteral("dir"));
    const QCommandLineOption typed(
        QStringLiteral("autopilot-text"),
        QStringLiteral("What the autopilot types over the form's first text field."), QStringLiteral("text"));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("The flow's language: vi or en (stored for later runs)."),
                                      QStringLiteral("code"));
    const QCommandLineOption keyboard(
        QStringLiteral("keyboard"),
        QStringLiteral("With --autopilot: walk with key events alone (Tab, Space, Enter, the arrows)."));
    const QCommandLineOption measure(QStringLiteral("measure"),
                                     QStringLiteral("With --autopilot: print the GUI thread's longest stall and the "
                                                    "peak memory (screenshots optional)."));
    const QCommandLineOption windowSize(QStringLiteral("window"),
                                        QStringLiteral("The window's size, WxH (390x844, a phone, by default)."),
                                        QStringLiteral("size"));
    const QCommandLineOption cameraSize(
        QStringLiteral("camera"),
        QStringLiteral("With --autopilot: the cameras' frame size, WxH (a phone's portrait cameras by default)."),
        QStringLiteral("size"));
    const QCommandLineOption saveScenes(
        QStringLiteral("save-scenes"),
        QStringLiteral("With --autopilot: save the camera frames of the document's first side and of the face "
                       "as DIR/card.png and DIR/face.png, camera media for a host whose flow has the same size."),
        QStringLiteral("dir"));
    const QCommandLineOption textSize(
        QStringLiteral("text-size"),
        QStringLiteral("The application font's size in percent of the platform's (100 by default); the flow's "
                       "text follows it, as it follows a user's larger font."),
        QStringLiteral("percent"));
    const QCommandLineOption autoCapture(
        QStringLiteral("auto-capture"),
        QStringLiteral("Take each photograph once the document or face has been good and steady, after a "
                       "countdown."));
    const QCommandLineOption degraded(
        QStringLiteral("degraded"),
        QStringLiteral("With --autopilot: hold poor pictures up first (too dark, blurred, too small, glared, a "
                       "face too far and turned) and check that only good photographs reach the service."));
    parser.addOptions({service, ca, appID, media, language, autopilot, screenshots, testdata, typed, keyboard, measure,
                       windowSize, cameraSize, saveScenes, textSize, autoCapture, degraded});
    parser.process(application);
    if (parser.isSet(autopilot) && !Autopilot::isKnownKind(parser.value(autopilot))) {
        std::fprintf(stderr, "ovira-demo: --autopilot takes idCard, licenseDriver or passport\n");
        return 2;
    }
    const auto sizeOf = [&](const QCommandLineOption& option, QSize fallback) -> std::optional<QSize> {
        if (!parser.isSet(option)) return fallback;
        const QStringList parts = parser.value(option).split(QLatin1Char('x'));
        bool wide = false, high = false;
        const QSize size = parts.size() == 2 ? QSize(parts[0].toInt(&wide), parts[1].toInt(&high)) : QSize();
        if (!wide || !high || size.width() < 100 || size.height() < 100 || size.width() > 10000 ||
            size.height() > 10000)
            return std::nullopt;
        return size;
    };
    const auto window = sizeOf(windowSize, {390, 844});
    const auto camera = sizeOf(cameraSize, {});
    if (!window || !camera) {
        std::fprintf(stderr, "ovira-demo: --window and --camera take WxH, each from 100 to 10000\n");
        return 2;
    }
    if (parser.isSet(textSize)) {
        bool valid = false;
        const int percent = parser.value(textSize).toInt(&valid);
        if (!valid || percent < 50 || percent > 400) {
            std::fprintf(stderr, "ovira-demo: --text-size takes a percentage from 50 to 400\n");
            return 2;
        }
        QFont font = QApplication::font();
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * percent / 100);
        else
            font.setPixelSize(std::max(1, font.pixelSize() * percent / 100));
        QApplication::setFont(font);
    }
    if (parser.isSet(autopilot) && !parser.isSet(screenshots) && !parser.isSet(measure)) {
        std::fprintf(stderr, "ovira-demo: --autopilot needs --screenshots DIR\n");
        return 2;
    }

    // Settings from Info.json beside the executable; the options override them in code.
    auto& bundle = ovira::MainBundle::main();
    if (parser.isSet(service)) bundle.setObject("EKYCServiceHost", parser.value(service).toStdString());
    if (parser.isSet(ca)) bundle.setObject("EKYCServiceCACertificate", parser.value(ca).toStdString());
    if (parser.isSet(appID)) bundle.setObject("EKYCAppID", parser.value(appID).toStdString());
    if (parser.isSet(media))
        ovira::OVIRACameraSettings::setSimulatedCameraMedia(parser.value(media).toStdString());
    ovira::OVIRACameraSettings::setAutoCapture(parser.isSet(autoCapture));
    if (parser.isSet(language))
        ovira::UserDefaults::standard().setString("_localization_currentLanguage",
                                                  parser.value(language).toStdString());
    ovira::OVIRA::config();

    DemoWindow demo;
    demo.resize(*window);
    auto delegate = std::make_shared<DemoDelegate>(&demo);
    ovira::OVIRA::instance().setDelegate(delegate);
    if (parser.isSet(autopilot)) {
        QString folder = parser.value(testdata);
        if (folder.isEmpty()) folder = qEnvironmentVariable("OVIRA_TESTDATA", QStringLiteral(OVIRA_DEMO_TESTDATA));
        Autopilot pilot(demo, parser.value(autopilot), parser.value(screenshots), folder);
        pilot.setMeasuring(parser.isSet(measure));
        pilot.setKeyboardOnly(parser.isSet(keyboard));
        if (parser.isSet(typed)) pilot.setTypedText(parser.value(typed));
        pilot.setCameraSize(*camera);
        if (parser.isSet(saveScenes)) pilot.setScenesFolder(parser.value(saveScenes));
        pilot.setDegraded(parser.isSet(degraded));
        pilot.setAutoCapture(parser.isSet(autoCapture));
        pilot.prepare();
        demo.show();
        demo.activateWindow();
        return pilot.run();
    }
    demo.show();
    return QApplication::exec();
}
