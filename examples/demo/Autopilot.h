#pragma once

#include <QImage>
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

    // Installs the cameras; call before the window shows the flow.
    void prepare();
    // 0 once the host was told the session; otherwise 1, with the step that
    // failed on stderr.
    int run();

    // What the file cameras play; the face's frames once the documents are done.
    struct Scenes {
        std::vector<QImage> document;
        std::vector<QImage> face;
        std::atomic<bool> faceNext{false};
    };

private:
    std::shared_ptr<Scenes> scenes_ = std::make_shared<Scenes>();
    DemoWindow& window_;
    QString kind_;
    QString screenshots_;
    QString testdata_;
    bool measuring_ = false;
    QString typedText_ = QStringLiteral("NGUYỄN VĂN AN");
};
