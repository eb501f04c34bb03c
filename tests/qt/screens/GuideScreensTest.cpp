// The capture guides: their notes and rules, item sizes, and how they close.
#include <gtest/gtest.h>

#include "FlowScreenSupport.h"
#include "resources/Localized.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceCollectionViewCell.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/guide/EKYCGuideTableViewCell.h"

namespace ovira {
namespace {

class GuideScreens : public testing::Test {
protected:
    std::unique_ptr<ViewController> host = test::makeHostWindow();

    bool isShowing(const ViewController* sheet) const { return host->presentedViewController() == sheet; }
    // Above the panel, where the see-through part of the sheet lies.
    void tapAbove(QWidget* panel) {
        test::tapAt(host.get(), QPoint(200, panel->mapTo(host.get(), QPoint()).y() - 40));
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
    EXPECT_TRUE(isShowing(guide)) << "dragging does not close it";
    tapAbove(guide->sheetView);
    EXPECT_TRUE(test::waitUntil([&] { return host->presentedViewController() == nullptr; }));

    guide = EKYCGuideCaptureDocumentViewController::show(*host);
    test::settle();
    test::tap(guide->sheetView);
    EXPECT_TRUE(isShowing(guide)) << "a tap on the panel is not outside";
    test::tap(guide->btnOke);
    EXPECT_TRUE(test::waitUntil([&] { return host->presentedViewController() == nullptr; }));
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
            qobject_cast<EKYCGuideFaceCollectionViewCell*>(guide->collectionView->cellForItem({0, item}));
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
    EXPECT_TRUE(test::waitUntil([&] { return host->presentedViewController() == nullptr; }));
}

}  // namespace
}  // namespace ovira
