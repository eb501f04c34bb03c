// The first screen: the steps, the three documents, the hook to the capture and leaving the flow.
#include <gtest/gtest.h>

#include "FlowScreenSupport.h"
#include "resources/Localized.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/controller/NavigationBar.h"

namespace ovira {
namespace {

using Cell = EKYCIntroduceTableViewCell;

class IntroduceScreen : public testing::Test {
protected:
    void TearDown() override { EKYCIntroduceViewController::setCaptureOpener({}); }

    void open(QSize window = {390, 844}) {
        host = test::makeHostWindow(window);
        navigation = test::presentFlow(*host, screen = test::makeScreen<EKYCIntroduceViewController>());
    }

    std::unique_ptr<ViewController> host;
    EKYCIntroduceViewController* screen = nullptr;
    EKYCBaseNavigationViewController* navigation = nullptr;
};

TEST_F(IntroduceScreen, ListsTheStepsAndTheThreeDocumentsOnPhonesOfEverySizeAndTapsOpenTheirCapture) {
    for (const QSize size : {QSize(320, 568), QSize(430, 932), QSize(390, 844)}) {
        SCOPED_TRACE(size.width());
        open(size);
        EXPECT_EQ(navigation->navigationBar()->titleLabel()->text(), localizedText("intro.select"));
        const std::pair<QLabel*, const char*> texts[] = {
            {screen->lbStep, "intro.step"},
            {screen->lbSelectDocument, "intro.select"},
            {screen->lbCaptureDocument, "intro.capture_document"},
            {screen->lbCaptrueFace, "intro.capture_face"},
            {screen->lbCheckInfomation, "intro.check_ìnomation"},
            {screen->lbSubTitleSelect, "intro.select"}};
        for (const auto& [label, key] : texts) {
            EXPECT_EQ(label->text(), localizedText(key)) << key;
            EXPECT_NE(label->text(), QString::fromUtf8(key)) << "the string table has " << key;
            EXPECT_EQ(label->font().family(), "Roboto");
        }
        EXPECT_TRUE(screen->lbStep->font().bold());
        EXPECT_EQ(screen->lbSelectDocument->font().pixelSize(), 12);

        const auto rows = test::rowsOf<Cell>(screen->tableView);
        ASSERT_EQ(rows.size(), 3);
        const std::pair<const char*, const char*> expected[] = {{"intro.idCard", "ic_idCard"},
                                                                {"intro.license_driver", "ic_licenseDriver"},
                                                                {"intro.passport", "ic_passport"}};
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(rows[row]->lbDocument->text(), localizedText(expected[row].first));
            EXPECT_EQ(rows[row]->imgDocument->image().name(), expected[row].second);
            EXPECT_EQ(rows[row]->height(), 80);
            // The card sits 16 points in from the row's top and sides, flush with its bottom.
            const QRect card = rows[row]->btnDocument->geometry();
            EXPECT_EQ(card.topLeft(), QPoint(16, 16));
            EXPECT_EQ(rows[row]->width() - card.right() - 1, 16);
        }
        // Every row is on screen and every step's text fits its width.
        EXPECT_LE(rows[2]->geometry().bottom(), screen->tableView->viewport()->height());
        for (auto* label : {screen->lbSelectDocument, screen->lbCaptureDocument, screen->lbCaptrueFace,
                            screen->lbCheckInfomation, rows[1]->lbDocument})
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                << label->text().toStdString();
        test::saveScreenshot(host.get(),
                             size == QSize(390, 844)
                                 ? QStringLiteral("introduce")
                                 : QStringLiteral("introduce_%1x%2").arg(size.width()).arg(size.height()));
    }

    // On the last, the phone the flow is designed on: taps open the capture through the hook.
    const auto rows = test::rowsOf<Cell>(screen->tableView);

    test::tap(rows[2]->btnDocument);  // nothing installed yet: the screen stays
    EXPECT_EQ(navigation->topViewController(), screen);

    std::vector<EkycTypeDocument> opened;
    EKYCIntroduceViewController::setCaptureOpener(
        [&](EKYCIntroduceViewController& from, EkycTypeDocument kind) {
            EXPECT_EQ(&from, screen);
            opened.push_back(kind);
        });
    test::tap(rows[2]->btnDocument);
    test::tap(rows[0]->btnDocument);
    test::tap(rows[1]->btnDocument);
    EXPECT_EQ(opened, (std::vector{EkycTypeDocument::passport, EkycTypeDocument::idCard,
                                   EkycTypeDocument::licenseDriver}));
}

TEST_F(IntroduceScreen, OutClosesTheWholeFlowAndEndsTheSessionStayKeepsBoth) {
    EKYCApplication().startSession();
    open();
    const auto session = EKYCUserDefault::transactionId();
    ASSERT_TRUE(session);
    screen->didTapClose();
    test::settle();
    test::saveScreenshot(host.get(), "introduce_close_dialog");
    test::tap(test::dialogButton(test::presentedAlert(screen), localizedText("common.stay")));
    EXPECT_EQ(host->presentedViewController(), navigation);
    EXPECT_EQ(EKYCUserDefault::transactionId(), session);

    screen->didTapClose();
    test::settle();
    auto* out = test::dialogButton(test::presentedAlert(screen), localizedText("common.out"));
    ASSERT_NE(out, nullptr);
    test::tap(out);
    EXPECT_TRUE(test::waitUntil([&] { return host->presentedViewController() == nullptr; }));
    EXPECT_FALSE(EKYCUserDefault::transactionId());
}

}  // namespace
}  // namespace ovira
