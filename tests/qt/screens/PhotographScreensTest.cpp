// The screens that show photographs: the confirmation's two groups, the
// paging review with wrap-around, the rejected photograph and its ways on.
#include <gtest/gtest.h>

#include <QLabel>
#include <nlohmann/json.hpp>

#include "FlowScreenSupport.h"
#include "QtTestSupport.h"

#include "ovira/MainBundle.h"
#include "resources/Localized.h"
#include "screens/confirm/EKYCConfirmViewController.h"
#include "screens/confirm/EKYCVerifyTableViewCell.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/guide/EKYCGuideFaceViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/review/EKYCReviewPhotographViewController.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"
#include "ui/controller/NavigationBar.h"
#include "ui/view/ImageView.h"

namespace ovira {
namespace {

using Type = EkycTypeDocument;
using Rejected = EKYCPreviewPhotoErrorViewController;

class PhotographScreens : public testing::Test {
protected:
    // The form opened here must not reach for the production service: a
    // closed port on this machine answers at once.
    void SetUp() override { MainBundle::main().setObject("EKYCServiceHost", "127.0.0.1:9"); }

    std::unique_ptr<ViewController> host = test::makeHostWindow();
    EKYCBaseNavigationViewController* navigation = nullptr;
    const ImagePtr front = test::cardPhoto(QColor(0x1E, 0x6F, 0xD9));
    const ImagePtr back = test::cardPhoto(QColor(0x2E, 0x9E, 0x6B));
    const ImagePtr face =
        QImageAdapter::make(QImage(QString::fromStdString(test::testData("astronaut.png"))));

    // The flow as far as the screen, over the first screen; a flow opened before is closed first.
    template <class Screen, class... Args>
    Screen* open(Args&&... args) {
        host->dismiss(false);
        test::settle();
        auto* screen = test::makeScreen<Screen>(std::forward<Args>(args)...);
        navigation = test::presentFlowAt(*host, screen);
        test::settle();
        return screen;
    }
    template <class Screen>
    Screen* top() const {
        return qobject_cast<Screen*>(navigation->topViewController());
    }
};

TEST_F(PhotographScreens, TheConfirmationGroupsTheDocumentApartFromTheFaceForEachKind) {
    const struct {
        Type type;
        EKYCImages images;
        int documentRows;
        const char* header;
        const char* shot;
    } cases[] = {{Type::idCard, {front, back, face}, 2, "verify.image_document", "confirm_idcard"},
                 {Type::licenseDriver, {front, back, face}, 2, "verify.image_document", "confirm_license"},
                 {Type::passport, {front, face}, 1, "verify.passport", "confirm_passport"}};
    for (const auto& c : cases) {
        auto* confirm = open<EKYCConfirmViewController>(c.type, c.images);
        EXPECT_EQ(navigation->navigationBar()->titleLabel()->text(), localizedText("verify.title"));
        EXPECT_EQ(confirm->btnNext->text(), localizedText("common.next"));
        auto* table = confirm->tableView;
        // Two groups: the document's photographs under their header, then the face under its own.
        const auto headers = table->widget()->findChildren<QLabel*>(QStringLiteral("lbHeader"));
        ASSERT_EQ(headers.size(), 2);
        EXPECT_EQ(headers[0]->text(), localizedText(c.header));
        EXPECT_EQ(headers[1]->text(), localizedText("verify.face"));
        const auto rows = test::rowsOf<EKYCVerifyTableViewCell>(table);
        ASSERT_EQ(rows.size(), c.documentRows + 1);
        EXPECT_LT(rows[c.documentRows - 1]->y(), headers[1]->parentWidget()->y());
        EXPECT_GT(rows.back()->y(), headers[1]->parentWidget()->y());
        EXPECT_EQ(rows[0]->height(), table->height() / 4);
        // Each row shows its own photograph, the face last, every one marked valid.
        for (int row = 0; row < rows.size(); ++row) {
            EXPECT_EQ(rows[row]->imgPhotograph->photo().size(), qImageOf(c.images[row]).size());
            EXPECT_EQ(rows[row]->imgPhotograph->photo().pixel(400, 60),
                      qImageOf(c.images[row]).pixel(400, 60));
            EXPECT_EQ(rows[row]->lbStateImage->text(), localizedText("verify.valid"));
        }
        test::saveScreenshot(host.get(), c.shot);
    }
}

TEST_F(PhotographScreens, APhotographOpensTheReviewWhichPagesRoundGivesTheBarBackAndNextOpensTheForm) {
    const struct {
        Type type;
        EKYCImages images;
        // The pages' titles in order; then, from the second page, next (or previous) and the page reached.
        std::vector<const char*> titles;
        std::vector<std::pair<bool, int>> steps;
    } cases[] = {
        {Type::idCard,
         {front, back, face},
         {"review.front", "review.back", "capture.face"},
         {{true, 2}, {true, 0}, {false, 2}, {false, 1}}},
        {Type::passport, {front, face}, {"review.passport", "capture.face"}, {{true, 0}, {false, 1}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.titles[0]);
        auto* confirm = open<EKYCConfirmViewController>(c.type, c.images);
        const int pages = static_cast<int>(c.images.size());
        auto rows = test::rowsOf<EKYCVerifyTableViewCell>(confirm->tableView);
        ASSERT_EQ(rows.size(), pages);
        test::tap(rows[1]->btnPreviewPhoto);
        auto* review = top<EKYCReviewPhotographViewController>();
        ASSERT_NE(review, nullptr);
        EXPECT_EQ(review->viewModel().currentIndex, 1);
        EXPECT_FALSE(navigation->navigationBar()->isVisible()) << "the review has the whole screen";
        EXPECT_EQ(review->visibleIndex(), 1);
        EXPECT_EQ(review->lbTitle->text(), localizedText(c.titles[1]));
        if (c.type == Type::idCard) test::saveScreenshot(host.get(), "review");
        // Next from the last page comes round to the first, previous from the first to the last.
        for (const auto& step : c.steps) {
            const int index = step.second;
            test::tap(step.first ? review->btnNext : review->btnPrevious);
            EXPECT_TRUE(test::waitUntil([&] { return review->visibleIndex() == index; })) << index;
            EXPECT_EQ(review->lbTitle->text(), localizedText(c.titles[static_cast<std::size_t>(index)]));
            EXPECT_EQ(review->lbPage->text(), QStringLiteral("%1 / %2").arg(index + 1).arg(pages));
        }
        test::tap(review->btnBack);
        ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() == confirm; }));
        EXPECT_TRUE(navigation->navigationBar()->isVisible())
            << "the confirmation keeps its bar and close button";

        rows = test::rowsOf<EKYCVerifyTableViewCell>(confirm->tableView);
        test::tap(rows[pages - 1]->btnPreviewPhoto);
        review = top<EKYCReviewPhotographViewController>();
        ASSERT_NE(review, nullptr);
        EXPECT_EQ(review->viewModel().currentIndex, pages - 1) << "the face is the last";
        test::tap(review->btnBack);
        ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() == confirm; }));
        test::tap(confirm->btnNext);
        EXPECT_NE(top<EKYCInfomationDocumentViewController>(), nullptr);
    }
}

TEST_F(PhotographScreens, ARejectedPhotographIsNamedAndOffersRetakeGuideAndLeave) {
    const struct {
        EKYCStep step;
        Type type;
        const char* title;
        bool faceGuide;
    } cases[] = {{EKYCStep::front, Type::passport, "review.passport", false},
                 {EKYCStep::front, Type::idCard, "review.front", false},
                 {EKYCStep::back, Type::licenseDriver, "review.back", false},
                 {EKYCStep::face, Type::idCard, "capture.face", true}};
    const std::string reason = "Ảnh bị mờ, vui lòng chụp lại ở nơi đủ sáng.";
    for (const auto& c : cases) {
        auto* rejected = open<Rejected>(c.step == EKYCStep::face ? face : front, reason, c.step, c.type);
        EXPECT_EQ(rejected->lbTitle->text(), localizedText(c.title));
        EXPECT_EQ(rejected->lbError->text(), QString::fromStdString(reason));
        EXPECT_EQ(rejected->btnRetakePhoto->text(), localizedText("capture.retake"));
        EXPECT_FALSE(rejected->imgUnverified->photo().isNull());
        if (c.step == EKYCStep::face) test::saveScreenshot(host.get(), "photo_error_face");
        if (c.type == Type::idCard && c.step == EKYCStep::front)
            test::saveScreenshot(host.get(), "photo_error");
        test::tap(rejected->btnGuide);
        auto* guide = test::topPresented(rejected);
        EXPECT_EQ(qobject_cast<EKYCGuideFaceViewController*>(guide) != nullptr, c.faceGuide);
        EXPECT_EQ(qobject_cast<EKYCGuideCaptureDocumentViewController*>(guide) != nullptr, !c.faceGuide);
        rejected->dismiss(false);
        test::settle();
        test::tap(rejected->btnRetakePhoto);
        EXPECT_TRUE(test::waitUntil([&] { return navigation->viewControllers().size() == 1; }))
            << "back to retake";
    }

    auto* rejected = open<Rejected>(front, "", EKYCStep::back, Type::idCard);
    EXPECT_TRUE(rejected->lbError->text().isEmpty());
    EXPECT_FALSE(rejected->lbError->isVisible()) << "no reason, no box for it";
    EKYCApplication().startSession();
    rejected->closeAction();
    test::settle();
    test::tap(test::dialogButton(test::presentedAlert(rejected), localizedText("common.stay")));
    EXPECT_EQ(navigation->topViewController(), rejected);
    EXPECT_TRUE(EKYCUserDefault::transactionId());
    rejected->closeAction();
    test::settle();
    test::tap(test::dialogButton(test::presentedAlert(rejected), localizedText("common.out")));
    EXPECT_TRUE(test::waitUntil([&] { return navigation->viewControllers().size() == 1; }));
    EXPECT_NE(top<EKYCIntroduceViewController>(), nullptr) << "back to the first screen";
    EXPECT_FALSE(EKYCUserDefault::transactionId());
}

}  // namespace
}  // namespace ovira
