#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class DemoWindow;

// Walks the whole flow of ovira-demo with synthetic input, as a user would:
// the start button, the document, each photograph (one of them rejected and
// retaken), the confirmation and its review, the form (a typed correction, a
// gender from the list, a date) and the submission. Cameras play drawn
// scenes. The only part of the demo that reaches into the library's
// internals, to find the screens it taps on.
class Autopilot {
public:
    // `kind` is idCard, licenseDriver or passport; screenshots land in
    // `screenshots`, faces are drawn from `testdata`/astronaut.png.
    Autopilot(DemoWindow& window, QString kind, QString screenshots, QString testdata);

    // Whether `kind` names a document.
    static bool isKnownKind(const QString& kind);

    // Also measure the GUI thread's longest stall during the walk (against
    // the idle host's) and the peak memory, printed in one line at the end.
    // Without a screenshot folder the walk takes no pictures.
    void setMeasuring(bool measuring) { measuring_ = measuring; }
    // What it types over the form's first text field (a name by default).
    void setTypedText(QString text) { typedText_ = std::move(text); }
    // The size of both cameras' frames; by default a phone's portrait
    // cameras (rear 1440 x 2560, front 1080 x 1920).
    void setCameraSize(QSize size) { cameraSize_ = size; }
    // Also saves the frames that hold the document's first side in the
    // card window and the face in the circle, as `folder`/card.png and
    // face.png: camera media that a host of the same window size can play
    // (OVIRACameraSettings::setSimulatedCameraMedia) for the service to accept.
    void setScenesFolder(QString folder) { scenesFolder_ = std::move(folder); }

    // Walks with key events alone: Tab (and Shift+Tab) to reach a control,
    // Space or Enter to use it, the arrow keys in lists and the calendar.
    // A control the keyboard cannot reach fails the walk.
    void setKeyboardOnly(bool keyboardOnly) { keyboardOnly_ = keyboardOnly; }

    // Holds poor pictures up before each good one: on card screens too dark
    // and blurred (each photographed and refused on the device), too small
    // and glared (the hint checked); on the face screen too far, turned and
    // too dark (photographed and refused). Fails when any photograph reaches the service and is refused
    // there, and prints how many round trips the device saved.
    void setDegraded(bool degraded) { degraded_ = degraded; }
    // The good photographs are taken by the automatic capture (which the
    // host turned on): the walk holds the card or face still and waits.
    void setAutoCapture(bool autoCapture) { autoCapture_ = autoCapture; }

    // Installs the cameras; call before the window shows the flow.
    void prepare();
    // 0 once the host was told the session; otherwise 1, with the step that
    // failed on stderr.
    int run();

    // What the file cameras are made with: the pictures the scenes are
    // drawn from, the frames' sizes, and whether the face comes next.
    struct Scenes {
        QImage astronaut;
        QImage cat;
        QSize rear{1440, 2560};
        QSize front{1080, 1920};
        std::atomic<bool> faceNext{false};
    };

private:
    std::shared_ptr<Scenes> scenes_ = std::make_shared<Scenes>();
    DemoWindow& window_;
    QString kind_;
    QString screenshots_;
    QString testdata_;
    bool measuring_ = false;
    bool keyboardOnly_ = false;
    bool degraded_ = false;
    bool autoCapture_ = false;
    QString typedText_ = QStringLiteral("NGUYỄN VĂN AN");
    QSize cameraSize_;
    QString scenesFolder_;
};
