// The flow's sheets: the capture guides with their notes, rules, item sizes
// and ways to close; the form's gender list, the list's height rule and its
// lift above the keyboard, and the date picker's bounds and answers.
#include <gtest/gtest.h>

#include <QLayout>
#include <optional>

#include "FlowScreenSupport.h"
#include "resources/ColorAsset.h"
#include "resources/Localized.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/guide/EKYCGuideTableViewCell.h"
#include "screens/selection/EKYCSelectionViewController.h"

namespace ovira {
namespace {

// The pixels of a shown entry's row within a small distance of `colour`.
int colouredPixels(EKYCSelectionViewController* list, int row, const QColor& colour) {
    const QRect rect = list->tableView->visualRect(list->entries()->index(row, 0));
    const QImage image = list->tableView->viewport()->grab(rect).toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                    std::abs(pixel.blue() - colour.blue()) <
                40)
                ++count;
        }
    return count;
}

class FormSheets : public testing::Test {
protected:
    std::unique_ptr<ViewController> host = test::makeHostWindow();
    std::vector<std::string> picked;

    // The sheet as the form shows it: filling the window, slid in.
    template <class Sheet>
    Sheet* show(Sheet* sheet) {
        sheet->setPreferredSheetSizing(EKYCBottomSheet::PreferredSizing::fill);
        host->present(sheet, true);
        test::settle();
        return sheet;
    }
    EKYCSelectionViewController* openGender(const std::string& current) {
        auto* list = new EKYCSelectionViewController;
        list->setViewModel(makeViewModel<SelectionGenderViewModel>(current));
        list->onClickedItem = [this](const EKYCSelectionItem& item) { picked.push_back(item.value); };
        return show(list);
    }
    EKYCDatePickerViewController* openDate(EKYCInfomationDocument::DateType type,
                                           std::optional<std::string>* saved) {
        EKYCInfomationDocument field;
        field.fieldType = EKYCInfomationDocument::FieldType::date;
        field.dateType = type;
        field.fieldValue = "15/08/1990";
        auto* picker =
            test::makeScreen<EKYCDatePickerViewController>(field, std::chrono::system_clock::now());
        picker->didSaveDate = [saved](const std::string& text) { *saved = text; };
        return show(picker);
    }
    bool closed() {
        return test::waitUntil([&] { return host->presentedViewController() == nullptr; });
    }
    // A tap above the panel, where the see-through part of the sheet lies.
    void tapAbove(QWidget* panel) {
        const QPoint point(200, panel->mapTo(host.get(), QPoint()).y() - 40);
        QWidget* target = host->childAt(point) ? host->childAt(point) : host.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(host.get(), point));
        test::settle();
    }
    void drag(QWidget* panel) {
        const QPoint start = panel->mapTo(host.get(), QPoint(panel->width() / 2, 12));
        QWidget* grabbed = host->childAt(start);
        QTest::mousePress(grabbed, Qt::LeftButton, {}, grabbed->mapFrom(host.get(), start));
        for (int step = 1; step <= 6; ++step)
            QTest::mouseMove(grabbed, grabbed->mapFrom(host.get(), start + QPoint(0, 30 * step)), 16);
        QTest::mouseRelease(grabbed, Qt::LeftButton, {}, grabbed->mapFrom(host.get(), start + QPoint(0, 180)),
                            16);
        test::settle();
    }
};
using GuideScreens = FormSheets;

TEST_F(GuideScreens, TheDocumentGuideListsItsThreeNotesAndClosesByTapNotByDrag) {
    auto* guide = EKYCGuideCaptureDocumentViewController::show(*host);
    test::settle();
    EXPECT_EQ(guide->preferredSheetSizing(), EKYCBottomSheet::PreferredSizing::fill);
    EXPECT_TRUE(guide->tapToDismissEnabled());
    EXPECT_FALSE(guide->panToDismissEnabled());
    EXPECT_EQ(guide->lbTitle->text(), localizedText("guide.note"));
    const auto notes = test::rowsOf<EKYCGuideTableViewCell>(guide->tableView);
    ASSERT_EQ(notes.size(), 3);
    const char* keys[] = {"guide.note_document", "guide.note_thelight", "guide.note_blur"};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(notes[row]->lbGuide->text(), localizedText(keys[row]));
        // A wrapped note is shown whole.
        EXPECT_GE(notes[row]->lbGuide->height(),
                  notes[row]->lbGuide->heightForWidth(notes[row]->lbGuide->width()));
    }
    EXPECT_EQ(guide->sheetView->geometry().bottom(), guide->height() - 1) << "the panel sits at the bottom";
    test::saveScreenshot(host.get(), "guide_document");

    drag(guide->sheetView);
    EXPECT_EQ(host->presentedViewController(), guide) << "dragging does not close it";
    tapAbove(guide->sheetView);
    EXPECT_TRUE(closed());

    guide = EKYCGuideCaptureDocumentViewController::show(*host);
    test::settle();
    test::tap(guide->sheetView);
    EXPECT_EQ(host->presentedViewController(), guide) << "a tap on the panel is not outside";
    test::tap(guide->btnOke);
    EXPECT_TRUE(closed());
}

TEST_F(GuideScreens, TheFaceGuideShowsThreeIllustratedRulesInOneRow) {
    EXPECT_NEAR(EKYCGuideFaceViewController::itemWidth(390), 111.23, 0.01);
    auto* guide = EKYCGuideFaceViewController::show(*host);
    test::settle();
    EXPECT_EQ(guide->lbTitle->text(), localizedText("guide.face_title"));
    ASSERT_EQ(guide->collectionView->width(), 390) << "the collection spans the sheet";
    const std::tuple<const char*, const char*, const char*> rules[] = {
        {"img_sun", "ic_verify", "guide.environment"},
        {"img_person_ glasses", "ic_ unverified", "guide.wear_glasses"},
        {"img_person_face_mask", "ic_ unverified", "guide.face_mask"}};
    int previousRight = 0;
    for (int item = 0; item < 3; ++item) {
        auto* cell =
            qobject_cast<EKYCGuideFaceCollectionViewCell*>(guide->collectionView->items().value(item));
        ASSERT_NE(cell, nullptr);
        const auto& [image, icon, key] = rules[item];
        EXPECT_EQ(cell->imgGuide->image().name(), image);
        EXPECT_EQ(cell->imgWarning->image().name(), icon);
        EXPECT_EQ(cell->lbGuide->text(), localizedText(key));
        EXPECT_EQ(cell->size(), QSize(111, 200));
        EXPECT_EQ(cell->y(), 20) << "one row under the 20-point inset";
        EXPECT_GE(cell->x(), previousRight + (item ? 12 : 16));
        previousRight = cell->geometry().right() + 1;
    }
    EXPECT_LE(previousRight, 390 - 16);
    test::saveScreenshot(host.get(), "guide_face");
    test::tap(guide->btnOk);
    EXPECT_TRUE(closed());
}

TEST_F(FormSheets, TheGenderListMarksTheCurrentValueAndHandsBackOnlyAnotherOne) {
    auto* list = openGender("Nam");
    EXPECT_EQ(list->lbTitle->text(), localizedText("info.choose_gender"));
    EXPECT_TRUE(list->vSearchBar->isHidden());
    EXPECT_EQ(list->tableView->height(), 112);
    ASSERT_EQ(test::entriesOf(list), QStringList({"Nam", "Nữ"}));
    // The current value is drawn in the primary colour with a tick; the other in the text colour.
    EXPECT_GT(colouredPixels(list, 0, ColorAsset::primary().color()), 20);
    EXPECT_EQ(colouredPixels(list, 1, ColorAsset::primary().color()), 0);
    EXPECT_GT(colouredPixels(list, 1, ColorAsset::blackAAA().color()), 20);
    test::saveScreenshot(host.get(), "selection_gender");

    ASSERT_TRUE(test::tapEntry(list, "Nam"));
    EXPECT_TRUE(picked.empty()) << "the current value cannot be picked again";
    EXPECT_EQ(host->presentedViewController(), list);
    ASSERT_TRUE(test::tapEntry(list, "Nữ"));
    EXPECT_EQ(picked, std::vector<std::string>{"Nữ"});
    EXPECT_TRUE(closed());

    list = openGender("");
    ASSERT_EQ(test::entriesOf(list).size(), 2);
    EXPECT_EQ(colouredPixels(list, 0, ColorAsset::primary().color()) +
                  colouredPixels(list, 1, ColorAsset::primary().color()),
              0)
        << "no value, no mark";
    test::tap(list->btnClose);
    EXPECT_TRUE(closed());
    EXPECT_EQ(picked.size(), 1u) << "closing hands nothing back";
}

TEST_F(FormSheets, TheListKeepsWholeRowsThatFitTheWindowAndRisesAboveTheKeyboard) {
    const struct {
        int windowHeight;
        int listHeight;
    } cases[] = {{844, 336}, {600, 336}, {400, 224}};
    for (const auto& c : cases) {
        host = test::makeHostWindow(QSize(390, c.windowHeight));
        auto* list = test::makeScreen<EKYCSelectionViewController>("");  // six rows wanted, none loaded
        host->present(list, false);
        test::settle();
        EXPECT_EQ(list->tableView->height(), c.listHeight) << c.windowHeight;
        EXPECT_FALSE(list->vSearchBar->isHidden());
    }

    host = test::makeHostWindow();
    auto* list = openGender("Nam");
    const int restingTop = list->vBottomSheet->mapTo(host.get(), QPoint()).y();
    const auto keyboard = [](double height) {
        return EKYCKeyboardTracker::Animation{0, 0.25, QRectF(0, 844 - height, 390, height)};
    };
    list->keyboardTrackerDidUpdate(keyboard(300));
    EXPECT_EQ(list->vBottomSheet->mapTo(host.get(), QPoint()).y(), restingTop - 300);
    list->keyboardTrackerDidUpdate(keyboard(336));  // the keyboard grows: still lifted from the resting place
    EXPECT_EQ(list->vBottomSheet->mapTo(host.get(), QPoint()).y(), restingTop - 336);
    test::saveScreenshot(host.get(), "selection_keyboard");
    list->keyboardTrackerDidUpdate(keyboard(900));
    EXPECT_EQ(list->vBottomSheet->mapTo(host.get(), QPoint()).y(), 64) << "never above 64 points";
    list->keyboardTrackerDidUpdate({0, 0.25, QRectF()});
    EXPECT_EQ(list->vBottomSheet->mapTo(host.get(), QPoint()).y(), restingTop) << "back where it rested";
}

TEST_F(FormSheets, TheDatePickerIsBoundedByTheKindOfDateAndAnswersOnlyWhenMoved) {
    std::optional<std::string> saved;
    auto* past = openDate(EKYCInfomationDocument::DateType::pass, &saved);
    const QDate today = past->datePicker->selectedDate();
    EXPECT_EQ(past->lbTitle->text(), localizedText("info.choose_time"));
    EXPECT_EQ(past->btnSave->text(), localizedText("common.save"));
    EXPECT_EQ(past->datePicker->maximumDate(), today) << "the opening day, whatever the field held";
    EXPECT_LT(past->datePicker->minimumDate().year(), 1900);
    test::saveScreenshot(host.get(), "date_picker");
    test::tap(past->btnSave);
    EXPECT_TRUE(closed());
    EXPECT_FALSE(saved) << "an unmoved picker hands nothing back";

    auto* future = openDate(EKYCInfomationDocument::DateType::feature, &saved);
    EXPECT_EQ(future->datePicker->minimumDate(), today);
    future->datePicker->setSelectedDate(today.addDays(-3));
    EXPECT_EQ(future->datePicker->selectedDate(), today) << "no day before the opening one";
    future->datePicker->setSelectedDate(QDate(2031, 3, 5));
    test::tap(future->btnSave);
    EXPECT_TRUE(closed());
    EXPECT_EQ(saved, "05/03/2031");

    saved.reset();
    auto* any = openDate(EKYCInfomationDocument::DateType::normal, &saved);
    any->datePicker->setSelectedDate(QDate(1999, 12, 31));
    test::tap(any->btnClose);
    EXPECT_TRUE(closed());
    EXPECT_FALSE(saved) << "closing hands nothing back";
}

}  // namespace
}  // namespace ovira
