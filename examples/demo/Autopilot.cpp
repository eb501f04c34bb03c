#include "Autopilot.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDeadlineTimer>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "CameraScenes.h"
#include "DemoWindow.h"
#include "StallMeter.h"
#include "capture/EKYCAccessoryCameraView.h"
#include "capture/EKYCBaseDetectionViewControllerBase.h"
#include "capture/EKYCCameraDetectionService.h"
#include "capture/EKYCCameraPreviewLayer.h"
#include "capture/EKYCCaptureGeometry.h"
#include "capture/EKYCCaptureHint.h"
#include "capture/EKYCFileCameraSource.h"
#include "capture/EKYCFileService.h"
#include "screens/base/EKYCBaseNavigationViewController.h"
#include "screens/confirm/EKYCConfirmViewController.h"
#include "screens/confirm/EKYCVerifyTableViewCell.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "screens/introduce/EKYCIntroduceViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/review/EKYCReviewPhotographViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCFlowLauncher.h"
#include "ui/controller/ViewController.h"
#include "ui/lists/EKYCBaseTableView.h"

namespace {

using namespace ovira;
using FieldType = EKYCInfomationDocument::FieldType;

// Generous: the service judges every photograph, and CI machines are slow.
constexpr int kStepLimitMs = 60000;

struct StepFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void settle() {
    for (int i = 0; i < 6; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void waitFor(const char* what, const std::function<bool()>& done) {
    const QDeadlineTimer deadline(kStepLimitMs);
    while (!done()) {
        if (deadline.hasExpired()) throw StepFailed(std::string("timed out waiting for ") + what);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    settle();
}

void tap(QWidget* widget, const char* what) {
    if (!widget) throw StepFailed(std::string("nothing to tap: ") + what);
    if (!widget->isEnabled()) throw StepFailed(std::string("disabled: ") + what);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    settle();
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &release);
    }
    settle();
}

template <class Screen>
Screen* top() {
    return qobject_cast<Screen*>(EKYCFlowLauncher::topMostViewController());
}

// Whether `screen` stands still where it belongs: a push or a presentation
// slides it in, and a tap or a photograph during the slide lands elsewhere.
bool inPlace(ViewController* screen) {
    if (!screen->isVisible() || screen->isBeingPresented() || screen->isBeingDismissed()) return false;
    auto* navigation = screen->navigationController();
    return !navigation || !navigation->isTransitioning();
}

template <class Screen>
Screen* waitForTop(const char* what) {
    waitFor(what, [] { return top<Screen>() != nullptr && inPlace(top<Screen>()); });
    return top<Screen>();
}

template <class Cell>
std::vector<Cell*> rowsOf(const EKYCBaseTableView* table) {
    std::vector<Cell*> cells;
    for (QWidget* row : table->rows())
        if (auto* cell = qobject_cast<Cell*>(row)) cells.push_back(cell);
    return cells;
}

class Walk {
public:
    Walk(DemoWindow& window, QString kind, QString screenshots, QString typedText,
         std::shared_ptr<Autopilot::Scenes> scenes, QString scenesFolder)
        : window_(window),
          kind_(std::move(kind)),
          screenshots_(std::move(screenshots)),
          typedText_(std::move(typedText)),
          scenes_(std::move(scenes)),
          scenesFolder_(std::move(scenesFolder)) {}

    void run() {
        waitFor("the demo window", [&] { return window_.isVisible(); });
        shoot("host");
        press(window_.startButton(), "the start button");

        auto* introduce = waitForTop<EKYCIntroduceViewController>("the document choice");
        shoot("document_choice");
        const auto documents = rowsOf<EKYCIntroduceTableViewCell>(introduce->tableView);
        std::size_t row = 2;
        if (kind_ == QLatin1String("idCard")) row = 0;
        if (kind_ == QLatin1String("licenseDriver")) row = 1;
        if (documents.size() != 3) throw StepFailed("the document choice does not list three documents");
        press(documents[row]->btnDocument, "the document's row");

        const int sides = kind_ == QLatin1String("passport") ? 1 : 2;
        for (int side = 0; side < sides; ++side) photographDocument(side, side + 1 == sides);
        photographFace();

        auto* confirm = waitForTop<EKYCConfirmViewController>("the confirmation");
        expectNoPhotographOnDisk("the face's upload");
        shoot("confirm");
        const auto photographs = rowsOf<EKYCVerifyTableViewCell>(confirm->tableView);
        if (photographs.empty()) throw StepFailed("the confirmation shows no photograph");
        press(photographs.front()->btnPreviewPhoto, "the first photograph");
        auto* review = waitForTop<EKYCReviewPhotographViewController>("the review");
        shoot("review");
        press(review->btnBack, "the review's back button");
        waitFor("the confirmation again", [&] { return top<EKYCConfirmViewController>() == confirm; });
        press(confirm->btnNext, "the confirmation's next button");

        fillForm();
    }

    int screenshotCount() const { return shots_; }

    bool keyboardOnly = false;
    bool degraded = false;
    bool autoCapture = false;

    // What was on screen when a step failed.
    void shootFailure() {
        try {
            shoot(QStringLiteral("failed"));
        } catch (const StepFailed&) {
        }
    }

private:
    // Uses a button as the user would: a click, or with the keyboard alone,
    // Tab until the button has the focus and then Space.
    void press(QWidget* button, const char* what) {
        if (!keyboardOnly) return tap(button, what);
        reach(button, what);
        QTest::keyClick(button, Qt::Key_Space);
        settle();
    }

    // Tab until `widget` has the keyboard's focus; a widget that Tab never
    // reaches fails the walk.
    static void reach(QWidget* widget, const char* what) {
        if (!widget || !widget->isVisible() || !widget->isEnabled())
            throw StepFailed(std::string("nothing to reach with the keyboard: ") + what);
        for (int presses = 0; presses < 80; ++presses) {
            QWidget* focus = QApplication::focusWidget();
            if (focus == widget) return;
            QWidget* receiver = focus ? focus : widget->window();
            QTest::keyClick(receiver, Qt::Key_Tab);
            settle();
        }
        throw StepFailed(std::string("Tab never reaches ") + what);
    }

    // Picks the entry reading `text` of a selection list: with the keyboard,
    // Tab to the list, the arrow keys to the entry, then Enter.
    void pick(EKYCSelectionViewController* list, const QString& text, const char* what) {
        auto* entries = list->entries();
        int row = -1;
        for (int entry = 0; entry < entries->rowCount(); ++entry)
            if (entries->index(entry, 0).data().toString() == text) row = entry;
        if (row < 0) throw StepFailed(std::string("the list has no entry for ") + what);
        if (!keyboardOnly) {
            const QModelIndex index = entries->index(row, 0);
            list->tableView->scrollTo(index);
            settle();
            QTest::mouseClick(list->tableView->viewport(), Qt::LeftButton, {},
                              list->tableView->visualRect(index).center());
            settle();
            return;
        }
        reach(list->tableView, what);
        if (!list->tableView->currentIndex().isValid()) QTest::keyClick(list->tableView, Qt::Key_Down);
        for (int moves = 0; moves < entries->rowCount() && list->tableView->currentIndex().row() != row;
             ++moves)
            QTest::keyClick(list->tableView,
                            list->tableView->currentIndex().row() < row ? Qt::Key_Down : Qt::Key_Up);
        if (list->tableView->currentIndex().row() != row)
            throw StepFailed(std::string("the arrows never reach ") + what);
        QTest::keyClick(list->tableView, Qt::Key_Return);
        settle();
    }

    void shoot(const QString& name) {
        // Pushes, presentations and dismissals animate for a few hundred
        // milliseconds: the picture waits for them to end.
        const QDeadlineTimer still(800);
        while (!still.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (screenshots_.isEmpty()) return;
        QWidget* screen = EKYCFlowLauncher::topMostViewController();
        QWidget* window = screen ? screen->window() : &window_;
        const QString path =
            QDir(screenshots_)
                .filePath(QStringLiteral("%1_%2.png").arg(++shots_, 2, 10, QLatin1Char('0')).arg(name));
        if (!window->grab().save(path)) throw StepFailed("could not save " + path.toStdString());
    }

    // The capture screen on top, once its camera runs and the service is reachable.
    EKYCBaseDetectionViewControllerBase* captureScreen(const char* what, QWidget* previous) {
        waitFor(what, [&] {
            auto* screen = top<EKYCBaseDetectionViewControllerBase>();
            return screen && screen != previous && inPlace(screen);
        });
        auto* screen = top<EKYCBaseDetectionViewControllerBase>();
        waitFor("the camera and the connection", [&] {
            return screen->cameraService().isRunning() && screen->detectionViewModel().isConnected();
        });
        return screen;
    }

    static EKYCFileCameraSource& fileCamera(EKYCBaseDetectionViewControllerBase* screen) {
        auto* camera = dynamic_cast<EKYCFileCameraSource*>(&screen->cameraService().source());
        if (!camera) throw StepFailed("the capture screen has no file camera");
        return *camera;
    }

    static void showNextFrame(EKYCBaseDetectionViewControllerBase* screen) {
        fileCamera(screen).deliverNextFrame();
        screen->cameraService().waitUntilDetectionIdle();
        settle();
    }

    // Where the screen's window (card or circle) lies in the camera's frame,
    // as a person sees it while holding the card or their face there.
    static QRectF windowInFrame(EKYCBaseDetectionViewControllerBase* screen) {
        showNextFrame(screen);  // the preview learns the frames' size
        const QRectF window = screen->previewCamera->windowRect();
        const capture::Rect inFrame =
            capture::viewToFrame({window.x(), window.y(), window.width(), window.height()},
                                 screen->cameraService().previewLayer()->mapping());
        if (inFrame.isEmpty()) throw StepFailed("the capture window is not on the camera's picture");
        return {inFrame.x, inFrame.y, inFrame.width, inFrame.height};
    }

    // A frame the camera shows, kept as camera media for other hosts.
    void saveScene(const QImage& frame, const char* name) const {
        if (scenesFolder_.isEmpty()) return;
        const QString path = QDir(scenesFolder_).filePath(QString::fromLatin1(name));
        if (!frame.save(path)) throw StepFailed("could not save " + path.toStdString());
    }

    // The rear camera's frame with the card at `fill` of the window, centred in it.
    QImage cardIn(const QRectF& window, double fill) const {
        const QSizeF size = window.size() * fill;
        return scenes::documentOnADesk(scenes_->astronaut, scenes_->rear,
                                       QRectF(window.center() - QPointF(size.width(), size.height()) / 2, size));
    }

    // The front camera's frame with `picture` (the astronaut, her face about
    // 97 pixels wide, centred at 227, 130 of her 512 x 512 picture) enlarged
    // until the face takes `share` of the circle, `offset` picture pixels
    // off its centre.
    QImage faceIn(const QRectF& circle, double share, const QImage& picture, double offset = 0) const {
        const double scale = share * circle.width() / 97;
        return scenes::frontCameraFrame(picture, scale,
                                        circle.center() + QPointF(256 - 227 + offset, 256 - 130) * scale,
                                        scenes_->front);
    }

    // The card held so that it fills the window.
    void holdCard(EKYCBaseDetectionViewControllerBase* screen) {
        const QImage frame = cardIn(windowInFrame(screen), 0.94);
        fileCamera(screen).setMedia(EKYCFileCameraSource::Media::frames({frame}));
        saveScene(frame, "card.png");
        showNextFrame(screen);
    }

    // The cat filling the circle, or the astronaut with her face taking half of it.
    void holdInCircle(EKYCBaseDetectionViewControllerBase* screen, bool face) {
        const QRectF circle = windowInFrame(screen);
        const QImage frame =
            face ? faceIn(circle, 0.5, scenes_->astronaut)
                 : scenes::frontCameraFrame(scenes_->cat, 0.9 * circle.width() / scenes_->cat.height(),
                                            circle.center(), scenes_->front);
        fileCamera(screen).setMedia(EKYCFileCameraSource::Media::frames({frame}));
        if (face) saveScene(frame, "face.png");
        showNextFrame(screen);
    }

    void photographDocument(int side, bool last) {
        auto* screen = captureScreen(
            side == 0 ? "the document's first capture" : "the document's back capture", previous_);
        previous_ = screen;
        if (degraded) showPoorCards(screen);
        holdCard(screen);
        shoot(side == 0 ? "capture_document" : "capture_back");
        scenes_->faceNext = last;
        takeGoodPhotograph(screen);
        waitFor("the photograph's acceptance",
                [&] { return top<EKYCBaseDetectionViewControllerBase>() != screen; });
        expectNoPhotographOnDisk("the document's upload");
    }

    // The card too dark, blurred by a shaking hand, too far, then under a
    // lamp's reflection: the hint says what to change, and the first two,
    // photographed, are refused on the device.
    void showPoorCards(EKYCBaseDetectionViewControllerBase* screen) {
        const QRectF window = windowInFrame(screen);
        const QImage good = cardIn(window, 0.94), far = cardIn(window, 0.55);
        const QImage dark = scenes::darkened(good, 0.15);
        const QImage shaken = scenes::blurred(good, scenes_->rear.width() / 90.0);
        expectHint(screen, dark, EKYCCaptureHint::moreLight);
        expectRefusal(screen, "card_dark");
        expectHint(screen, shaken, EKYCCaptureHint::holdStill);
        expectRefusal(screen, "card_blurred");
        expectHint(screen, far, EKYCCaptureHint::moveCloser);
        shoot("card_far");
        expectHint(screen,
                   scenes::withGlare(good, window.center() + QPointF(window.width() * 0.25, 0), window.width() * 0.1),
                   EKYCCaptureHint::avoidReflections);
        shoot("card_glare");
    }

    // Shows `frame` until the guidance asks for `hint`; it takes a few frames
    // (a hint must be seen twice in a row).
    static void expectHint(EKYCBaseDetectionViewControllerBase* screen, const QImage& frame, EKYCCaptureHint hint) {
        fileCamera(screen).setMedia(EKYCFileCameraSource::Media::frames({frame}));
        for (int frames = 0; frames < 12; ++frames) {
            showNextFrame(screen);
            if (screen->cameraService().guidance().hint == hint) return;
        }
        throw StepFailed(std::string("the hint is ") + toString(screen->cameraService().guidance().hint) +
                         ", not " + toString(hint));
    }

    // The shutter on what the camera shows, which the device or the service
    // must refuse (the photograph is not left on disk); then the retake.
    void expectRefusal(EKYCBaseDetectionViewControllerBase* screen, const char* name) {
        press(screen->accessoryView->btnCapture, "the shutter");
        auto* refused = waitForTop<EKYCPreviewPhotoErrorViewController>("the refused photograph");
        expectNoPhotographOnDisk("a refused photograph");
        shoot(QString::fromLatin1(name) + QStringLiteral("_refused"));
        press(refused->btnRetakePhoto, "retake");
        waitFor("the capture screen again", [&] {
            return top<EKYCBaseDetectionViewControllerBase>() == screen && !screen->isLoading() &&
                   screen->cameraService().isRunning();
        });
    }

    // The photograph of what the camera shows now: the shutter, or with the
    // automatic capture the picture held still until it is taken.
    void takeGoodPhotograph(EKYCBaseDetectionViewControllerBase* screen) {
        if (!autoCapture) return press(screen->accessoryView->btnCapture, "the shutter");
        bool counted = false;
        waitFor("the automatic capture", [&] {
            if (screen->isLoading() || top<EKYCBaseDetectionViewControllerBase>() != screen) return true;
            if (screen->autoCapture().isCountingDown() && !counted) {
                counted = true;
                shoot("countdown");
            }
            if (screen->cameraService().isRunning()) showNextFrame(screen);
            return false;
        });
        if (!counted) throw StepFailed("the photograph was taken without a countdown");
    }

    // The library keeps a photograph on disk for its upload only.
    static void expectNoPhotographOnDisk(const char* after) {
        const auto folder = EKYCFileService().captureFolder();
        std::error_code error;
        if (std::filesystem::exists(folder, error) && !std::filesystem::is_empty(folder, error))
            throw StepFailed(std::string("a photograph is still on disk after ") + after + " in " +
                             folder.string());
    }

    // Too far, turned and too dark: the hint for each; the dark one,
    // photographed, refused on the device.
    void showPoorFaces(EKYCBaseDetectionViewControllerBase* screen) {
        const QRectF circle = windowInFrame(screen);
        const auto face = [&](double share, const QImage& picture, double offset = 0) {
            return faceIn(circle, share, picture, offset);
        };
        expectHint(screen, face(0.33, scenes_->astronaut), EKYCCaptureHint::moveCloser);
        shoot("face_far");
        expectHint(screen, face(0.55, scenes::turnedFace(scenes_->astronaut, {228, 143}, 45, 97), -28),
                   EKYCCaptureHint::lookStraight);
        shoot("face_turned");
        expectHint(screen, scenes::darkened(face(0.55, scenes_->astronaut), 0.12), EKYCCaptureHint::moreLight);
        if (screen->accessoryView->btnCapture->isEnabled()) expectRefusal(screen, "face_dark");
    }

    // The first frame shows a cat, which the service rejects; the retake
    // shows the face. With poor pictures, those come instead of the cat.
    void photographFace() {
        auto* screen = captureScreen("the face capture", previous_);
        if (degraded)
            showPoorFaces(screen);
        else
            showCatRefused(screen);
        holdInCircle(screen, true);
        waitFor("the face inside the circle", [&] {
            if (screen->accessoryView->btnCapture->isEnabled()) return true;
            showNextFrame(screen);
            return false;
        });
        shoot("capture_face");
        takeGoodPhotograph(screen);
    }

    // The service finds no face in a cat; the retake follows.
    void showCatRefused(EKYCBaseDetectionViewControllerBase* screen) {
        holdInCircle(screen, false);
        shoot("capture_face_cat");
        expectRefusal(screen, "face_cat");
    }

    static int rowOf(const EKYCInfomationDocumentViewController* form, FieldType type) {
        const auto& items = form->viewModel().items;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].fieldType == type && items[i].editable) return static_cast<int>(i);
        throw StepFailed("the form has no editable field of the kind needed");
    }

    static EKYCInfomationDocumentTableViewCell* row(EKYCInfomationDocumentViewController* form, int index) {
        const auto rows = form->tableView->rows();
        auto* cell = index >= 0 && index < rows.size()
                         ? qobject_cast<EKYCInfomationDocumentTableViewCell*>(rows[index])
                         : nullptr;
        if (!cell) throw StepFailed("a row of the form is not shown");
        form->tableView->ensureWidgetVisible(cell, 0, 0);
        settle();
        return cell;
    }

    void fillForm() {
        auto* form = waitForTop<EKYCInfomationDocumentViewController>("the form");
        waitFor("the form's data", [&] { return !form->isLoading() && form->tableView->isVisible(); });
        shoot("form");

        // A typed correction of the first text field.
        const int name = rowOf(form, FieldType::string);
        auto* nameRow = row(form, name);
        press(nameRow->btnSelected, "a text field");
        QTest::keyClick(nameRow->tfFieldValue, Qt::Key_A, Qt::ControlModifier);
        const QString corrected = typedText_;
        typeText(nameRow->tfFieldValue, corrected);
        if (QString::fromStdString(form->viewModel().items[static_cast<std::size_t>(name)].fieldValue) !=
            corrected)
            throw StepFailed("the typed correction did not reach the form");
        shoot("form_typed");

        // The other gender from the list.
        const int gender = rowOf(form, FieldType::gender);
        press(row(form, gender)->btnSelected, "the gender field");
        auto* genders = waitForTop<EKYCSelectionViewController>("the gender list");
        shoot("gender_list");
        auto* choices = genders->entries();
        if (choices->rowCount() < 2) throw StepFailed("the gender list has fewer than two entries");
        const QString before = row(form, gender)->tfFieldValue->text();
        QModelIndex other = choices->index(choices->rowCount() - 1, 0);
        for (int entry = 0; entry < choices->rowCount(); ++entry)
            if (choices->index(entry, 0).data().toString() != before) other = choices->index(entry, 0);
        const QString chosen = other.data().toString();
        pick(genders, chosen, "a gender");
        waitFor("the gender list to close",
                [&] { return top<EKYCInfomationDocumentViewController>() == form; });
        if (row(form, gender)->tfFieldValue->text() != chosen)
            throw StepFailed("the chosen gender is not shown");

        // A date one day earlier, with the keyboard on the calendar.
        const int date = rowOf(form, FieldType::date);
        press(row(form, date)->btnSelected, "a date field");
        auto* picker = waitForTop<EKYCDatePickerViewController>("the date picker");
        auto* days = picker->datePicker->findChild<QTableView*>();
        if (!days) throw StepFailed("the date picker has no days");
        const QDate wanted = picker->datePicker->selectedDate().addDays(-1);
        if (keyboardOnly)
            reach(days, "the calendar's days");
        else
            days->setFocus();
        QTest::keyClick(days, Qt::Key_Left);
        settle();
        if (picker->datePicker->selectedDate() != wanted) throw StepFailed("the date picker did not move");
        shoot("date_picker");
        press(picker->btnSave, "the date picker's save button");
        waitFor("the date picker to close",
                [&] { return top<EKYCInfomationDocumentViewController>() == form; });
        if (row(form, date)->tfFieldValue->text() != wanted.toString(QStringLiteral("dd/MM/yyyy")))
            throw StepFailed("the picked date is not shown");
        form->tableView->verticalScrollBar()->setValue(0);
        settle();
        shoot("form_corrected");

        press(form->btnCompletionEkyc, "the completion button");
        waitFor("the session identifier at the host", [&] { return !window_.sessionId().isEmpty(); });
        waitFor("the flow to close", [] { return top<EKYCInfomationDocumentViewController>() == nullptr; });
        shoot("verified");
    }

    DemoWindow& window_;
    QString kind_;
    QString screenshots_;
    QString typedText_;
    std::shared_ptr<Autopilot::Scenes> scenes_;
    QString scenesFolder_;
    QWidget* previous_ = nullptr;
    int shots_ = 0;
};

}  // namespace

Autopilot::Autopilot(DemoWindow& window, QString kind, QString screenshots, QString testdata)
    : window_(window),
      kind_(std::move(kind)),
      screenshots_(std::move(screenshots)),
      testdata_(std::move(testdata)) {}

bool Autopilot::isKnownKind(const QString& kind) {
    return kind == QLatin1String("idCard") || kind == QLatin1String("licenseDriver") ||
           kind == QLatin1String("passport");
}

void Autopilot::prepare() {
    scenes_->astronaut = QImage(QDir(testdata_).filePath(QStringLiteral("astronaut.png")));
    scenes_->cat = QImage(QDir(testdata_).filePath(QStringLiteral("chelsea.png")));
    if (scenes_->astronaut.isNull() || scenes_->cat.isNull())
        std::fprintf(stderr, "autopilot: astronaut.png or chelsea.png missing from %s\n",
                     qPrintable(testdata_));
    if (!cameraSize_.isEmpty()) scenes_->rear = scenes_->front = cameraSize_;
    // Frames come when the autopilot asks. Each camera starts on an empty
    // desk or wall of its size; the walk then holds the card in the window,
    // or the cat and then the astronaut in the circle.
    EKYCCameraSource::setFactory([scenes = scenes_] {
        const bool face = scenes->faceNext;
        QImage empty(face ? scenes->front : scenes->rear, QImage::Format_RGB32);
        empty.fill(face ? QColor(70, 78, 92) : QColor(100, 76, 58));
        auto camera = std::make_unique<EKYCFileCameraSource>(EKYCFileCameraSource::Media::frames({empty}));
        camera->setFrameInterval(std::chrono::milliseconds(0));
        return camera;
    });
}

int Autopilot::run() {
    for (const QString& folder : {screenshots_, scenesFolder_}) {
        if (!folder.isEmpty() && !QDir().mkpath(folder)) {
            std::fprintf(stderr, "autopilot: cannot make %s\n", qPrintable(folder));
            return 1;
        }
    }
    StallMeter meter;
    double idleStallMs = 0, startupMegabytes = 0;
    if (measuring_) {
        // The same meter on the idle host first: what the event loop costs alone.
        meter.start();
        QTest::qWait(2000);
        meter.stop();
        idleStallMs = meter.longestStallMs();
        startupMegabytes = peakResidentMegabytes();
        meter.start();
    }
    Walk walk(window_, kind_, screenshots_, typedText_, scenes_, scenesFolder_);
    walk.keyboardOnly = keyboardOnly_;
    walk.degraded = degraded_;
    walk.autoCapture = autoCapture_;
    try {
        walk.run();
    } catch (const StepFailed& failure) {
        std::fprintf(stderr, "autopilot (%s): %s\n", qPrintable(kind_), failure.what());
        walk.shootFailure();
        return 1;
    }
    std::printf("autopilot (%s): verified, session %s; %d screenshots in %s\n", qPrintable(kind_),
                qPrintable(window_.sessionId()), walk.screenshotCount(), qPrintable(screenshots_));
    // The attempts' reports reach the host on the main queue.
    QTest::qWait(200);
    const auto count = [&](const char* outcome) {
        const auto found = window_.attemptOutcomes().find(QString::fromLatin1(outcome));
        return found == window_.attemptOutcomes().end() ? 0 : found->second;
    };
    const int refusedOnDevice = count("refusedOnDevice"), accepted = count("acceptedByService"),
              refusedByService = count("refusedByService");
    std::printf("attempts: %d refused on the device (round trips saved), %d accepted and %d refused by the "
                "service, %d not judged\n",
                refusedOnDevice, accepted, refusedByService, count("notJudged"));
    if (degraded_ && (refusedByService > 0 || refusedOnDevice == 0)) {
        std::fprintf(stderr, "autopilot (%s): with poor pictures the service must see only good photographs\n",
                     qPrintable(kind_));
        return 1;
    }
    if (measuring_) {
        meter.stop();
        std::printf(
            "measured: gui-stall-ms %.1f idle-stall-ms %.1f ticks %d peak-rss-mb %.1f startup-rss-mb %.1f\n",
            meter.longestStallMs(), idleStallMs, meter.ticks(), peakResidentMegabytes(), startupMegabytes);
    }
    return 0;
}
