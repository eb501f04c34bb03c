// The flow's screens as a screen reader finds them, in Vietnamese and in
// English: every control and every meaningful picture named in the
// language of the flow, messages readable, the busy overlay announced once
// per showing. The screens here need no service; the form and the capture
// screens are read in ServiceScreensAccessibilityTest.
#include <gtest/gtest.h>

#include <QLabel>
#include <QToolButton>
#include <nlohmann/json.hpp>

#include "AccessibilitySupport.h"
#include "FlowScreenSupport.h"
#include "QtTestSupport.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRALocalization.h"
#include "resources/Localized.h"
#include "screens/base/LoadingOverlayView.h"
#include "screens/confirm/EKYCConfirmViewController.h"
#include "screens/confirm/EKYCVerifyTableViewCell.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/guide/EKYCGuideTableViewCell.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/review/EKYCReviewCollectionViewCell.h"
#include "screens/review/EKYCReviewPhotographViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "ui/controller/NavigationBar.h"

namespace ovira {
namespace {

using Type = EkycTypeDocument;
using test::descriptionOf;
using test::nameOf;
using test::roleOf;

class ScreenReader : public testing::Test {
protected:
    // The form the confirmation opens must not reach for the production
    // service: a closed port on this machine answers at once.
    void SetUp() override {
        MainBundle::main().setObject("EKYCServiceHost", "127.0.0.1:9");
        OVIRALocalization::resetStrings();
        ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
    }
    void TearDown() override {
        host.reset();
        test::settle();
        ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
    }

    // A new window in `language`, nothing shown over it yet.
    void speak(const OVIRALanguage& language) {
        host.reset();
        test::settle();
        ASSERT_TRUE(OVIRALocalization::setLanguage(language));
        host = test::makeHostWindow();
    }
    // The flow as far as `screen`, over the first screen.
    template <class Screen>
    Screen* openAt(Screen* screen) {
        navigation = test::presentFlowAt(*host, screen);
        test::settle();
        return screen;
    }
    QWidget* window() const { return host->window(); }
    // Nothing a reader reaches in the window lacks a name.
    void expectEverythingNamed(const char* where) const {
        EXPECT_EQ(test::unnamedControls(window()), QStringList()) << where;
    }
    // The pictures a reader reaches in the window.
    std::vector<QObject*> reachablePictures() const {
        std::vector<QObject*> pictures;
        for (const auto& reached : test::reachableOfRole(window(), QAccessible::Graphic))
            pictures.push_back(reached.object);
        return pictures;
    }
    bool reachable(QObject* object) const {
        for (const auto& reached : test::reachableObjects(window()))
            if (reached.object == object) return true;
        return false;
    }

    // A reader runs all along: Qt keeps its tree up to date only for one.
    test::AccessibilityEvents reader;
    std::unique_ptr<ViewController> host;
    EKYCBaseNavigationViewController* navigation = nullptr;
    std::map<std::string, test::ReadOut> read;
    const ImagePtr front = test::cardPhoto(QColor(0x1E, 0x6F, 0xD9));
    const ImagePtr back = test::cardPhoto(QColor(0x2E, 0x9E, 0x6B));
    const ImagePtr face = QImageAdapter::make(QImage(QString::fromStdString(test::testData("astronaut.png"))));
};

TEST_F(ScreenReader, TheFirstScreenNamesItsBarStepsAndDocumentsAndTheCloseDialogReadsOut) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        auto* screen = test::makeScreen<EKYCIntroduceViewController>();
        navigation = test::presentFlow(*host, screen);
        expectEverythingNamed("first screen");

        // The bar: its title as shown, its icon-only close button by name.
        auto* bar = navigation->navigationBar();
        ASSERT_NE(bar->leftButton(), nullptr);
        EXPECT_EQ(roleOf(bar->leftButton()), QAccessible::PushButton);
        EXPECT_EQ(nameOf(bar->leftButton()), accessibleText("a11y.close"));
        EXPECT_EQ(nameOf(bar->titleLabel()), localizedText("intro.select"));
        out["close"] = nameOf(bar->leftButton());
        out["title"] = nameOf(bar->titleLabel());

        // The four steps: a badge that says which step, the step's text as shown.
        const std::pair<QLabel*, QLabel*> steps[] = {{screen->lbStepNumber1, screen->lbSelectDocument},
                                                     {screen->lbStepNumber2, screen->lbCaptureDocument},
                                                     {screen->lbStepNumber3, screen->lbCaptrueFace},
                                                     {screen->lbStepNumber4, screen->lbCheckInfomation}};
        for (int step = 0; step < 4; ++step) {
            const auto& [badge, text] = steps[step];
            const QString number = QString::number(step + 1);
            EXPECT_EQ(badge->text(), number);
            EXPECT_TRUE(nameOf(badge).contains(number)) << nameOf(badge).toStdString();
            EXPECT_NE(nameOf(badge), number) << "more than a bare digit";
            EXPECT_EQ(nameOf(text), text->text());
            out["badge " + number.toStdString()] = nameOf(badge);
            out["step " + number.toStdString()] = nameOf(text);
        }

        // Each document is a button named as its card reads, saying what it opens;
        // the icons are decoration a reader skips.
        const auto rows = test::rowsOf<EKYCIntroduceTableViewCell>(screen->tableView);
        ASSERT_EQ(rows.size(), 3);
        for (int row = 0; row < 3; ++row) {
            auto* button = rows[row]->btnDocument;
            EXPECT_EQ(roleOf(button), QAccessible::PushButton);
            EXPECT_EQ(nameOf(button), rows[row]->lbDocument->text());
            EXPECT_EQ(descriptionOf(button), accessibleText("a11y.document_hint"));
            EXPECT_FALSE(reachable(rows[row]->imgDocument));
            out["document " + std::to_string(row)] = nameOf(button);
        }
        out["document hint"] = descriptionOf(rows[0]->btnDocument);

        // The close dialog is an alert read by its title and message; its buttons by their titles.
        screen->didTapClose();
        test::settle();
        auto* dialog = test::presentedAlert(screen);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(roleOf(dialog), QAccessible::AlertMessage);
        EXPECT_EQ(nameOf(dialog), localizedText("common.noti"));
        EXPECT_EQ(descriptionOf(dialog), localizedText("common.noti_warning"));
        expectEverythingNamed("close dialog");
        auto* stay = test::dialogButton(dialog, localizedText("common.stay"));
        ASSERT_NE(stay, nullptr);
        EXPECT_EQ(nameOf(stay), localizedText("common.stay"));
        out["dialog title"] = nameOf(dialog);
        out["dialog message"] = descriptionOf(dialog);
        out["dialog stay"] = nameOf(stay);
        test::tap(stay);
    }
    test::expectTranslated(read, {"close", "title", "badge 1", "badge 4", "step 2", "document 0", "document 2",
                                  "document hint", "dialog title", "dialog message", "dialog stay"});
}

TEST_F(ScreenReader, TheBusyOverlayIsAnnouncedOncePerShowingInTheFlowsLanguage) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto* screen = test::makeScreen<EKYCIntroduceViewController>();
        test::presentFlow(*host, screen);
        auto* overlay = screen->overPlayLoading();
        test::AccessibilityEvents events;

        screen->setLoading(true);
        EXPECT_EQ(roleOf(overlay), QAccessible::Notification);
        EXPECT_EQ(events.announcements(overlay), QStringList{accessibleText("a11y.busy")});
        EXPECT_EQ(nameOf(overlay), accessibleText("a11y.busy"));
        EXPECT_EQ(descriptionOf(overlay), accessibleText("a11y.busy_detail"));
        // Asked again while it shows: nothing new to say.
        screen->setLoading(true);
        screen->showLoading();
        EXPECT_EQ(events.announcements(overlay).size(), 1);

        // Gone and back: busy again, said again.
        screen->setLoading(false);
        EXPECT_FALSE(overlay->isVisible());
        EXPECT_EQ(events.announcements(overlay).size(), 1) << "the end of the wait says nothing";
        screen->setLoading(true);
        EXPECT_EQ(events.announcements(overlay),
                  QStringList({accessibleText("a11y.busy"), accessibleText("a11y.busy")}));
        read[language.code()]["busy"] = nameOf(overlay);
        read[language.code()]["busy detail"] = descriptionOf(overlay);
        screen->setLoading(false);
    }
    test::expectTranslated(read, {"busy", "busy detail"});
}

TEST_F(ScreenReader, GuidesReadTheirNotesAndTheVerdictOfEachFaceRule) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];

        auto* documentGuide = EKYCGuideCaptureDocumentViewController::show(*host);
        test::settle();
        expectEverythingNamed("document guide");
        EXPECT_EQ(nameOf(documentGuide->lbTitle), localizedText("guide.note"));
        EXPECT_EQ(nameOf(documentGuide->btnOke), localizedText("guide.understood"));
        const auto notes = test::rowsOf<EKYCGuideTableViewCell>(documentGuide->tableView);
        ASSERT_EQ(notes.size(), 3);
        for (auto* note : notes) {
            EXPECT_EQ(nameOf(note->lbGuide), note->lbGuide->text());
            EXPECT_FALSE(reachable(note->imgBullet)) << "the ticks are bullets";
        }
        out["document guide"] = nameOf(documentGuide->lbTitle);
        out["document note"] = nameOf(notes[0]->lbGuide);
        out["understood"] = nameOf(documentGuide->btnOke);
        test::tap(documentGuide->btnOke);
        ASSERT_TRUE(test::waitUntil([&] { return host->presentedViewController() == nullptr; }));

        // The face guide: each rule's tick or cross is read as a verdict, with its caption.
        auto* faceGuide = EKYCGuideFaceViewController::show(*host);
        test::settle();
        expectEverythingNamed("face guide");
        EXPECT_EQ(nameOf(faceGuide->lbTitle), localizedText("guide.face_title"));
        QStringList verdicts;
        for (int item = 0; item < 3; ++item) {
            auto* cell = qobject_cast<EKYCGuideFaceCollectionViewCell*>(faceGuide->collectionView->items().value(item));
            ASSERT_NE(cell, nullptr);
            const bool allowed = cell->imgWarning->image().name() == QStringLiteral("ic_verify");
            EXPECT_TRUE(reachable(cell->imgWarning));
            EXPECT_EQ(roleOf(cell->imgWarning), QAccessible::Graphic);
            EXPECT_EQ(nameOf(cell->imgWarning), accessibleText(allowed ? "a11y.guide_do" : "a11y.guide_dont"));
            EXPECT_EQ(descriptionOf(cell->imgWarning), cell->lbGuide->text());
            EXPECT_FALSE(reachable(cell->imgGuide)) << "the illustration repeats the caption";
            verdicts.append(nameOf(cell->imgWarning));
        }
        EXPECT_EQ(verdicts.size(), 3);
        EXPECT_EQ(verdicts.count(accessibleText("a11y.guide_do")), 1) << "one do, two don'ts";
        out["face guide"] = nameOf(faceGuide->lbTitle);
        out["do"] = verdicts[0];
        out["don't"] = verdicts[1];
        test::tap(faceGuide->btnOk);
        ASSERT_TRUE(test::waitUntil([&] { return host->presentedViewController() == nullptr; }));
    }
    test::expectTranslated(read,
                           {"document guide", "document note", "understood", "face guide", "do", "don't"});
}

TEST_F(ScreenReader, TheConfirmationAndTheReviewNamePhotographsButtonsAndPagesInWords) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        auto* confirm =
            openAt(test::makeScreen<EKYCConfirmViewController>(Type::idCard, EKYCImages{front, back, face}));
        expectEverythingNamed("confirmation");
        EXPECT_EQ(nameOf(confirm->btnNext), localizedText("common.next"));
        const auto& items = confirm->viewModel().items;
        const auto rows = test::rowsOf<EKYCVerifyTableViewCell>(confirm->tableView);
        ASSERT_EQ(rows.size(), 3);
        ASSERT_EQ(items.size(), 3u);
        for (int row = 0; row < 3; ++row) {
            const QString title = QString::fromStdString(items[static_cast<std::size_t>(row)].title());
            EXPECT_EQ(nameOf(rows[row]->btnPreviewPhoto), title);
            EXPECT_EQ(descriptionOf(rows[row]->btnPreviewPhoto), accessibleText("a11y.open_photo"));
            EXPECT_EQ(roleOf(rows[row]->imgPhotograph), QAccessible::Graphic);
            EXPECT_EQ(nameOf(rows[row]->imgPhotograph), title);
            EXPECT_EQ(nameOf(rows[row]->lbStateImage), localizedText("verify.valid"));
            out["photo " + std::to_string(row)] = title;
        }
        out["open photo"] = descriptionOf(rows[0]->btnPreviewPhoto);
        out["continue"] = nameOf(confirm->btnNext);

        test::tap(rows[1]->btnPreviewPhoto);
        auto* review = qobject_cast<EKYCReviewPhotographViewController*>(navigation->topViewController());
        ASSERT_NE(review, nullptr);
        expectEverythingNamed("review");
        const std::pair<QToolButton*, const char*> buttons[] = {{review->btnBack, "a11y.back"},
                                                                {review->btnClose, "a11y.close"},
                                                                {review->btnPrevious, "a11y.previous_photo"},
                                                                {review->btnNext, "a11y.next_photo"}};
        for (const auto& [button, key] : buttons) {
            EXPECT_EQ(roleOf(button), QAccessible::PushButton);
            EXPECT_EQ(nameOf(button), accessibleText(key));
            out[key] = nameOf(button);
        }
        // "2 / 3" is read as words; it follows the page.
        EXPECT_EQ(review->lbPage->text(), QStringLiteral("2 / 3"));
        EXPECT_EQ(nameOf(review->lbPage), accessibleText("a11y.page", {"2", "3"}));
        EXPECT_NE(nameOf(review->lbPage), review->lbPage->text());
        out["page"] = nameOf(review->lbPage);
        test::tap(review->btnNext);
        EXPECT_EQ(review->lbPage->text(), QStringLiteral("3 / 3"));
        EXPECT_EQ(nameOf(review->lbPage), accessibleText("a11y.page", {"3", "3"}));
        EXPECT_EQ(nameOf(review->lbTitle), QString::fromStdString(items[2].title()));
        for (int page = 0; page < 3; ++page) {
            auto* cell = qobject_cast<EKYCReviewCollectionViewCell*>(review->collectionView->items().value(page));
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(nameOf(cell->imgPhotograph), QString::fromStdString(items[static_cast<std::size_t>(page)].title()));
        }
    }
    test::expectTranslated(read, {"photo 0", "photo 1", "photo 2", "open photo", "continue", "a11y.back",
                                  "a11y.close", "a11y.previous_photo", "a11y.next_photo", "page"});
}

TEST_F(ScreenReader, ARejectedPhotographReadsTheServicesReasonUnderTheNamedPhotograph) {
    const QString reason = QStringLiteral("Ảnh bị mờ, vui lòng chụp lại ở nơi đủ sáng.");
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        auto* rejected = openAt(test::makeScreen<EKYCPreviewPhotoErrorViewController>(
            front, reason.toStdString(), EKYCStep::back, Type::idCard));
        expectEverythingNamed("rejected photograph");
        // The reason as the service gave it, and a red mark that says what it is.
        EXPECT_EQ(nameOf(rejected->lbError), reason);
        EXPECT_TRUE(reachable(rejected->lbError));
        EXPECT_EQ(nameOf(rejected->imgErrorBadge), accessibleText("a11y.rejected"));
        EXPECT_EQ(descriptionOf(rejected->imgErrorBadge), reason);
        EXPECT_EQ(nameOf(rejected->imgUnverified), localizedText("review.back"));
        EXPECT_EQ(descriptionOf(rejected->imgUnverified), accessibleText("a11y.rejected"));
        EXPECT_EQ(nameOf(rejected->btnRetakePhoto), localizedText("capture.retake"));
        EXPECT_EQ(nameOf(rejected->btnGuide), localizedText("guide.how_to"));
        EXPECT_EQ(nameOf(navigation->navigationBar()->leftButton()), accessibleText("a11y.close"));
        const auto pictures = reachablePictures();
        EXPECT_NE(std::find(pictures.begin(), pictures.end(), rejected->imgUnverified), pictures.end());
        out["rejected"] = nameOf(rejected->imgErrorBadge);
        out["photo"] = nameOf(rejected->imgUnverified);
        out["retake"] = nameOf(rejected->btnRetakePhoto);
        out["reason"] = nameOf(rejected->lbError);
    }
    test::expectTranslated(read, {"rejected", "photo", "retake"});
    EXPECT_EQ(read["vi"]["reason"], read["en"]["reason"]) << "the service's own words, untouched";
}

TEST_F(ScreenReader, TheDatePickerReadsItsCalendarAndTheChosenDayInFull) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        EKYCInfomationDocument field;
        field.fieldName = "Ngày sinh";
        field.fieldType = EKYCInfomationDocument::FieldType::date;
        field.dateType = EKYCInfomationDocument::DateType::pass;
        field.editable = true;
        auto* picker = test::makeScreen<EKYCDatePickerViewController>(field, std::chrono::system_clock::now());
        picker->setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing::fill);
        host->present(picker, true);
        test::settle();
        expectEverythingNamed("date picker");

        auto* grid = picker->datePicker->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(roleOf(grid), QAccessible::Table);
        EXPECT_EQ(nameOf(picker->datePicker), localizedText("info.choose_time"));
        EXPECT_EQ(nameOf(grid), localizedText("info.choose_time"));
        const auto described = [&](const QDate& day) {
            return accessibleText("a11y.selected_date",
                                  {picker->datePicker->locale().toString(day, QLocale::LongFormat)});
        };
        EXPECT_EQ(descriptionOf(grid), described(picker->datePicker->selectedDate()));
        EXPECT_EQ(descriptionOf(picker->datePicker), described(picker->datePicker->selectedDate()));
        for (const char* arrow : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"}) {
            auto* button = picker->datePicker->findChild<QToolButton*>(QString::fromLatin1(arrow));
            ASSERT_NE(button, nullptr);
            EXPECT_NE(nameOf(button), button->text()) << "an arrow drawn as text is read as words";
            out[arrow] = nameOf(button);
        }
        EXPECT_EQ(nameOf(picker->btnClose), accessibleText("a11y.close"));
        EXPECT_EQ(nameOf(picker->btnSave), localizedText("common.save"));

        // Another day: the description follows, and readers are told.
        test::AccessibilityEvents events;
        const QDate birthday(1991, 2, 3);
        picker->datePicker->setSelectedDate(birthday);
        EXPECT_EQ(descriptionOf(grid), described(birthday));
        EXPECT_TRUE(descriptionOf(grid).contains(QStringLiteral("1991")));
        EXPECT_FALSE(events.of(grid, QAccessible::DescriptionChanged).empty());
        out["calendar"] = nameOf(grid);
        out["chosen day"] = descriptionOf(grid);
        out["save"] = nameOf(picker->btnSave);
        picker->clickedClose();
        test::settle();
    }
    test::expectTranslated(read,
                           {"calendar", "chosen day", "save", "qt_calendar_prevmonth", "qt_calendar_nextmonth"});
}

TEST_F(ScreenReader, TheGenderListIsNamedByItsTitleAndMarksTheCurrentValue) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        auto* list = new EKYCSelectionViewController;
        list->setViewModel(makeViewModel<SelectionGenderViewModel>("Nữ"));
        list->setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing::fill);
        host->present(list, true);
        test::settle();
        expectEverythingNamed("gender list");
        EXPECT_EQ(roleOf(list->tableView), QAccessible::List);
        EXPECT_EQ(nameOf(list->tableView), localizedText("info.choose_gender"));
        EXPECT_EQ(nameOf(list->btnClose), accessibleText("a11y.close"));
        // The entries as a reader lists them: each by its value, the current one marked.
        const auto entries = test::reachableOfRole(list->tableView, QAccessible::ListItem);
        ASSERT_EQ(entries.size(), 2u);
        for (const auto& entry : entries) {
            EXPECT_FALSE(entry.name.isEmpty());
            EXPECT_EQ(entry.description, entry.name == QStringLiteral("Nữ") ? accessibleText("a11y.selected") : QString())
                << entry.name.toStdString();
        }
        out["list"] = nameOf(list->tableView);
        out["close"] = nameOf(list->btnClose);
        list->clickedClose();
        test::settle();
    }
    test::expectTranslated(read, {"list", "close"});
}

}  // namespace
}  // namespace ovira
