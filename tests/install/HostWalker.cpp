// Walks the example host (examples/host) through a whole verification the way
// a user would, with the installed package's public API only: it shows the
// host's window, presses its button, and presses the flow's buttons found by
// their object names, while the file camera plays a card and then a face.
// The host's status line (what its delegate reported) tells it where the flow
// is. Exits 0 once the host shows a verified session, 1 otherwise, naming the
// step that failed.
//
//   ovira-host-walker --service HOST:PORT --ca FILE --card card.png --face face.png
//                     [--panel WxH] [--screenshots DIR]
#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <ovira/OVIRA.h>
#include <ovira/OVIRACameraSettings.h>
#include <ovira/qt/OVIRAFlow.h>
#include <stdexcept>
#include <string>

#include "HostWindow.h"

namespace {

struct StepFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The service judges every photograph and CI machines are slow.
constexpr int kStepLimitMs = 60000;

class Walker {
public:
    Walker(HostWindow& host, QString face, QString screenshots)
        : host_(host), face_(std::move(face)), screenshots_(std::move(screenshots)) {}

    void run() {
        shoot("host");
        click(host_.findChild<QPushButton*>(QStringLiteral("verifyButton")), "the host's verify button");

        waitForStep("chooseDocument");
        // The documents are listed card, licence, passport: the identity card.
        QList<QAbstractButton*> documents;
        waitFor("the documents' rows", [&] {
            documents = visibleButtons(QStringLiteral("btnDocument"));
            return documents.size() == 3;
        });
        std::sort(documents.begin(), documents.end(), [](QAbstractButton* a, QAbstractButton* b) {
            return a->mapToGlobal(QPoint(0, 0)).y() < b->mapToGlobal(QPoint(0, 0)).y();
        });
        shoot("document_choice");
        click(documents.front(), "the identity card's row");

        photograph("captureFront");
        // The face comes after the back: the camera the face screen opens
        // plays the face (the back's camera is open already).
        waitForStep("captureBack");
        ovira::OVIRACameraSettings::setSimulatedCameraMedia(face_.toStdString());
        photograph("captureBack");
        photograph("captureFace");

        waitForStep("confirm");
        shoot("confirm");
        click(theButton(QStringLiteral("btnNext")), "the confirmation's next button");

        waitForStep("identityForm");
        QAbstractButton* complete = nullptr;
        waitFor("the form's data", [&] {
            complete = theButtonIfAny(QStringLiteral("btnCompletionEkyc"));
            return complete && complete->isEnabled();
        });
        shoot("form");
        click(complete, "the completion button");

        waitFor("the verified session in the host's status line", [&] {
            return host_.statusLabel()->text().startsWith(QLatin1String("Verified.")) && !host_.sessionId().isEmpty();
        });
        waitFor("the flow to leave the panel", [] { return !ovira::OVIRAFlow::isShowing(); });
        if (!host_.statusLabel()->text().contains(host_.sessionId()))
            throw StepFailed("the status line does not show the session");
        if (!host_.verifyButton()->isEnabled()) throw StepFailed("the verify button stays disabled");
        shoot("verified");
    }

    void shootFailure() {
        try {
            shoot("failed");
        } catch (const StepFailed&) {
        }
    }

private:
    static void settle() {
        for (int i = 0; i < 6; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void waitFor(const std::string& what, const std::function<bool()>& done) {
        const QDeadlineTimer deadline(kStepLimitMs);
        while (!done()) {
            if (deadline.hasExpired())
                throw StepFailed("timed out waiting for " + what + " (status: " +
                                 host_.statusLabel()->text().toStdString() + ")");
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        settle();
    }

    // The host's status line shows the step its delegate heard last.
    void waitForStep(const char* step) {
        const QString wanted = QStringLiteral("Step: %1").arg(QLatin1String(step));
        waitFor(std::string("the step ") + step, [&] { return host_.statusLabel()->text() == wanted; });
    }

    // Whether a user sees the button: it lies inside the panel and nothing
    // covers its centre (a screen sliding over it, a loading overlay).
    bool inSight(QAbstractButton* button) const {
        QWidget* panel = host_.verificationPanel();
        if (!button->isVisible()) return false;
        const QRect inPanel(button->mapTo(panel, QPoint(0, 0)), button->size());
        if (!panel->rect().contains(inPanel)) return false;
        const QWidget* hit = panel->childAt(inPanel.center());
        return hit && (hit == button || button->isAncestorOf(hit));
    }

    // The panel's buttons of that name that a user can see and press.
    QList<QAbstractButton*> visibleButtons(const QString& name) const {
        QList<QAbstractButton*> found;
        for (auto* button : host_.verificationPanel()->findChildren<QAbstractButton*>(name))
            if (button->isEnabled() && inSight(button)) found.append(button);
        return found;
    }

    // The one button of that name in sight: a screen that slid in stands
    // over the previous one, whose button of the same name is then covered.
    QAbstractButton* theButtonIfAny(const QString& name) const {
        QAbstractButton* only = nullptr;
        for (auto* button : host_.verificationPanel()->findChildren<QAbstractButton*>(name)) {
            if (!inSight(button)) continue;
            if (only) return nullptr;
            only = button;
        }
        return only;
    }

    QAbstractButton* theButton(const QString& name) {
        QAbstractButton* button = nullptr;
        waitFor("the button " + name.toStdString(), [&] {
            button = theButtonIfAny(name);
            return button && button->isEnabled();
        });
        // The screen slid in; let it come to rest before pressing.
        QTest::qWait(400);
        return theButtonIfAny(name);
    }

    void click(QAbstractButton* button, const char* what) {
        if (!button) throw StepFailed(std::string("nothing to press: ") + what);
        if (!button->isEnabled()) throw StepFailed(std::string("disabled: ") + what);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        settle();
    }

    // One photograph: the shutter is pressed once the camera runs (and, for
    // the face, once the live face check has found the face in the circle);
    // the flow moves on to the next step once the service accepted it.
    void photograph(const char* step) {
        waitForStep(step);
        QAbstractButton* shutter = theButton(QStringLiteral("btnCapture"));
        QTest::qWait(500);  // a few frames of the camera on screen
        shutter = theButton(QStringLiteral("btnCapture"));
        shoot(step);
        click(shutter, "the shutter");
        waitFor(std::string("the service's verdict on ") + step, [&] {
            return !host_.statusLabel()->text().endsWith(QLatin1String(step));
        });
    }

    void shoot(const char* name) {
        if (screenshots_.isEmpty()) return;
        const QString path = QDir(screenshots_).filePath(
            QStringLiteral("%1_%2.png").arg(++shots_, 2, 10, QLatin1Char('0')).arg(QLatin1String(name)));
        if (!host_.grab().save(path)) throw StepFailed("could not save " + path.toStdString());
    }

    HostWindow& host_;
    QString face_;
    QString screenshots_;
    int shots_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption service(QStringLiteral("service"), QStringLiteral("HOST:PORT"), QStringLiteral("address"));
    const QCommandLineOption ca(QStringLiteral("ca"), QStringLiteral("CA file"), QStringLiteral("file"));
    const QCommandLineOption card(QStringLiteral("card"), QStringLiteral("the card scene"), QStringLiteral("file"));
    const QCommandLineOption face(QStringLiteral("face"), QStringLiteral("the face scene"), QStringLiteral("file"));
    const QCommandLineOption panel(QStringLiteral("panel"), QStringLiteral("the flow's panel, WxH"), QStringLiteral("size"),
                                   QStringLiteral("390x720"));
    const QCommandLineOption screenshots(QStringLiteral("screenshots"), QStringLiteral("where pictures go"),
                                         QStringLiteral("dir"));
    parser.addOptions({service, ca, card, face, panel, screenshots});
    parser.process(application);
    for (const auto* required : {&service, &ca, &card, &face}) {
        if (!parser.isSet(*required)) {
            std::fprintf(stderr, "ovira-host-walker: --%s is required\n", qPrintable(required->names().front()));
            return 2;
        }
    }
    const QStringList size = parser.value(panel).split(QLatin1Char('x'));
    const QSize panelSize = size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : QSize();
    if (panelSize.width() < 100 || panelSize.height() < 100) {
        std::fprintf(stderr, "ovira-host-walker: --panel takes WxH\n");
        return 2;
    }
    if (parser.isSet(screenshots)) QDir().mkpath(parser.value(screenshots));

    // The host's settings, as its main() makes them; the camera plays the card first.
    ovira::OVIRASettings settings;
    settings.appID = "ovira-host-walker";
    settings.serviceHost = parser.value(service).toStdString();
    settings.caCertificateFile = parser.value(ca).toStdString();
    settings.language = ovira::OVIRALanguage::english();
    settings.simulatedCameraMedia = parser.value(card).toStdString();
    if (const auto refused = ovira::OVIRA::configure(settings)) {
        std::fprintf(stderr, "ovira-host-walker: %s\n", refused->message().c_str());
        return 1;
    }

    HostWindow host(panelSize);
    host.show();
    host.activateWindow();
    Walker walker(host, parser.value(face), parser.value(screenshots));
    try {
        walker.run();
    } catch (const StepFailed& failure) {
        std::fprintf(stderr, "ovira-host-walker: %s\n", failure.what());
        walker.shootFailure();
        return 1;
    }
    std::printf("ovira-host-walker: %s\n", qPrintable(host.statusLabel()->text()));
    return 0;
}
