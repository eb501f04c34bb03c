// ovira-host: a host application of the OVIRA library. Its settings come from
// the command line:
//
//   ovira-host [--service HOST:PORT] [--ca FILE] [--app-id ID]
//              [--language CODE] [--strings FILE]   (texts of --language, which may be a new language)
//              [--camera-media PATH]                 (an image, a folder of images or a video as the camera)
//              [--primary-color #RRGGBB]
#include <QApplication>
#include <QColor>
#include <QCommandLineParser>
#include <cstdio>
#include <ovira/OVIRA.h>
#include <ovira/OVIRALocalization.h>
#include <ovira/OVIRAVersion.h>
#include <ovira/qt/OVIRAFlow.h>

#include "HostWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ovira-host"));
    QApplication::setApplicationVersion(QStringLiteral(OVIRA_VERSION_STRING));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A host application of the OVIRA eKYC library."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption service(QStringLiteral("service"), QStringLiteral("The eKYC service, HOST:PORT."),
                                     QStringLiteral("address"));
    const QCommandLineOption ca(QStringLiteral("ca"),
                                QStringLiteral("A PEM file of CA certificates to trust for the service."),
                                QStringLiteral("file"));
    const QCommandLineOption appID(QStringLiteral("app-id"), QStringLiteral("The application identifier."),
                                   QStringLiteral("id"), QStringLiteral("ovira-host"));
    const QCommandLineOption language(QStringLiteral("language"), QStringLiteral("The flow's language: vi, en, ..."),
                                      QStringLiteral("code"));
    const QCommandLineOption strings(QStringLiteral("strings"),
                                     QStringLiteral("A strings file with the host's texts for --language."),
                                     QStringLiteral("file"));
    const QCommandLineOption media(QStringLiteral("camera-media"),
                                   QStringLiteral("Play an image, a folder of images or a video as the camera."),
                                   QStringLiteral("path"));
    const QCommandLineOption primary(QStringLiteral("primary-color"),
                                     QStringLiteral("The flow's primary colour, #RRGGBB."), QStringLiteral("color"));
    parser.addOptions({service, ca, appID, language, strings, media, primary});
    parser.process(application);

    // Texts first: a language the host adds must be loaded before it is chosen.
    if (parser.isSet(strings)) {
        if (!parser.isSet(language)) {
            std::fprintf(stderr, "ovira-host: --strings needs --language\n");
            return 2;
        }
        const auto refused = ovira::OVIRALocalization::loadStrings(parser.value(strings).toStdString(),
                                                                   ovira::OVIRALanguage(parser.value(language).toStdString()));
        if (refused) {
            std::fprintf(stderr, "ovira-host: %s\n", refused->message().c_str());
            return 2;
        }
    }

    ovira::OVIRASettings settings;
    settings.appID = parser.value(appID).toStdString();
    if (parser.isSet(service)) settings.serviceHost = parser.value(service).toStdString();
    if (parser.isSet(ca)) settings.caCertificateFile = parser.value(ca).toStdString();
    if (parser.isSet(language)) settings.language = ovira::OVIRALanguage(parser.value(language).toStdString());
    if (parser.isSet(media)) settings.simulatedCameraMedia = parser.value(media).toStdString();
    if (const auto refused = ovira::OVIRA::configure(settings)) {
        std::fprintf(stderr, "ovira-host: %s\n", refused->message().c_str());
        return 2;
    }

    if (parser.isSet(primary)) {
        const QColor color = QColor::fromString(parser.value(primary));
        if (!color.isValid()) {
            std::fprintf(stderr, "ovira-host: --primary-color takes #RRGGBB\n");
            return 2;
        }
        ovira::OVIRATheme theme;
        theme.primaryColor = color;
        ovira::OVIRAFlow::setTheme(theme);
    }

    HostWindow window;
    window.show();
    return QApplication::exec();
}
