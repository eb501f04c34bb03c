// ovira-demo: a small host application that uses the library as a bank's app
// would, through its public headers only.
//
//   ovira-demo [--service HOST:PORT] [--ca FILE] [--app-id ID] [--camera-media PATH]
#include <QApplication>
#include <QCommandLineParser>
#include <QMetaObject>
#include <memory>
#include <nlohmann/json.hpp>

#include "DemoWindow.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRACameraSettings.h"
#include "ovira/OVIRADelegate.h"

namespace {

// Tells the window about a finished verification, on the GUI thread.
class DemoDelegate : public ovira::OVIRADelegate {
public:
    explicit DemoDelegate(DemoWindow* window) : window_(window) {}
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override {
        const QString id = QString::fromStdString(sessionId);
        QMetaObject::invokeMethod(window_, [window = window_, id] { window->showSession(id); });
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
    parser.addOptions({service, ca, appID, media});
    parser.process(application);

    // Settings from Info.json beside the executable; the options override them in code.
    auto& bundle = ovira::MainBundle::main();
    if (parser.isSet(service)) bundle.setObject("EKYCServiceHost", parser.value(service).toStdString());
    if (parser.isSet(ca)) bundle.setObject("EKYCServiceCACertificate", parser.value(ca).toStdString());
    if (parser.isSet(appID)) bundle.setObject("EKYCAppID", parser.value(appID).toStdString());
    if (parser.isSet(media))
        ovira::OVIRACameraSettings::setSimulatedCameraMedia(parser.value(media).toStdString());
    ovira::OVIRA::config();

    DemoWindow window;
    window.resize(390, 844);
    window.show();
    auto delegate = std::make_shared<DemoDelegate>(&window);
    ovira::OVIRA::instance().setDelegate(delegate);
    return QApplication::exec();
}
