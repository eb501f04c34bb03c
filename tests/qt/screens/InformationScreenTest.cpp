// The information form against the development service over HTTPS: fetched
// and shown, corrected by typing, from lists and with the date picker,
// submitted to the service and reported to the host; a refused session
// closes the flow.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <nlohmann/json.hpp>

#include "FlowScreenSupport.h"
#include "LibraryServiceTest.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRADelegate.h"
#include "resources/Localized.h"
#include "screens/datepicker/EKYCDatePickerViewController.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCUserDefault.h"
#include "resources/ColorAsset.h"

namespace ovira {
namespace {

namespace dev = devserver;
using FieldType = EKYCInfomationDocument::FieldType;
using Row = EKYCInfomationDocumentTableViewCell;

struct Host : OVIRADelegate {
    std::vector<std::string> sessions;
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { sessions.push_back(sessionId); }
};

class InformationScreen : public dev::test::LibraryServiceTest {
protected:
    void SetUp() override {
        LibraryServiceTest::SetUp();
        OVIRA::instance().setDelegate(host);
        dev::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
    }

    // The form pushed over the first screen, as the confirmation pushes it.
    // The service's answer cannot have arrived yet: it comes through the event loop.
    void openForm() {
        test::presentFlowAt(*window, form = test::makeScreen<EKYCInfomationDocumentViewController>());
    }
    bool openFetchedForm() {
        openForm();
        return test::formFetched(form);
    }
    int rowOf(FieldType type) const { return test::editableRow(form, type); }
    // The row brought into view.
    Row* row(int index) { return test::cellInView<Row>(form->tableView, index); }
    // The sheet that the row's button opens.
    template <class Sheet>
    Sheet* sheetOf(int index) {
        test::tap(row(index)->btnSelected);
        return qobject_cast<Sheet*>(test::topPresented(form));
    }
    const std::string& formValue(int index) const {
        return form->viewModel().document->form[static_cast<std::size_t>(index)].fieldValue;
    }
    bool nothingPresented() {
        return test::waitUntil([&] { return test::topPresented(form) == nullptr; });
    }

    std::shared_ptr<Host> host = std::make_shared<Host>();
    std::unique_ptr<ViewController> window = test::makeHostWindow();
    // The flow deletes its screens once it closes, which a submission may do within a tap.
    QPointer<EKYCInfomationDocumentViewController> form;
};

TEST_F(InformationScreen, TheFetchedFormShowsItsKindsOfFieldsAndWarnsOfAClearedOneUntilAValueIsTyped) {
    openForm();
    EXPECT_TRUE(form->isLoading()) << "the overlay shows while the service answers off the GUI thread";
    EXPECT_FALSE(form->tableView->isVisible());
    ASSERT_TRUE(test::formFetched(form));
    const auto& model = form->viewModel();
    ASSERT_TRUE(model.document);
    EXPECT_EQ(form->lbDocumentName->text(),
              localizedText("info.document") + QString::fromStdString(model.document->identityName));
    ASSERT_EQ(form->tableView->rows().size(), static_cast<int>(model.items.size()));
    for (int index = 0; index < static_cast<int>(model.items.size()); ++index) {
        const auto& field = model.items[static_cast<std::size_t>(index)];
        auto* cell = row(index);
        ASSERT_NE(cell, nullptr) << index;
        EXPECT_EQ(cell->lbFieldName->text(), QString::fromStdString(field.fieldName));
        EXPECT_EQ(cell->tfFieldValue->text(), QString::fromStdString(field.fieldValue));
        EXPECT_EQ(cell->imgFieldType->isHidden(), !field.editable);
        EXPECT_EQ(cell->btnSelected->isEnabled(), field.editable) << "a read-only row ignores taps";
        EXPECT_EQ(cell->imgFieldType->image().name(), Row::iconName(field.fieldType));
        EXPECT_EQ(cell->tfFieldValue->inputMethodHints().testFlag(Qt::ImhDialableCharactersOnly),
                  field.fieldType == FieldType::number);
    }
    form->tableView->verticalScrollBar()->setValue(0);
    test::settle();
    test::saveScreenshot(window.get(), "information");

    // Clearing a field warns and disables completion until a value is typed.
    const int name = rowOf(FieldType::string);
    ASSERT_GE(name, 0);
    auto* cell = row(name);
    test::tap(cell->btnSelected);
    EXPECT_TRUE(cell->tfFieldValue->isEnabled());
    EXPECT_TRUE(cell->tfFieldValue->hasFocus()) << "the keyboard opens on the text box";
    cell->tfFieldValue->selectAll();
    QTest::keyClick(cell->tfFieldValue, Qt::Key_Backspace);
    test::settle();
    EXPECT_EQ(form->viewModel().items[static_cast<std::size_t>(name)].fieldValue, "")
        << "the empty value reached the form";
    EXPECT_FALSE(form->btnCompletionEkyc->isEnabled());
    // Disabled, the button has a 2-point border: its face's grey with a fifth of the grey of secondary text.
    const auto edgeOfCompletion = [&](int x) {
        const QImage button = form->btnCompletionEkyc->grab().toImage();
        const qreal ratio = button.devicePixelRatio();
        return button.pixelColor(static_cast<int>(x * ratio), button.height() / 2);
    };
    const QColor face = ColorAsset::disable().color(), text = ColorAsset::secondText().color();
    const QColor border((face.red() * 4 + text.red()) / 5, (face.green() * 4 + text.green()) / 5,
                        (face.blue() * 4 + text.blue()) / 5);
    for (int x : {0, 1}) {
        const QColor edge = edgeOfCompletion(x);
        EXPECT_NEAR(edge.red(), border.red(), 3) << x;
        EXPECT_NEAR(edge.green(), border.green(), 3) << x;
        EXPECT_NEAR(edge.blue(), border.blue(), 3) << x;
    }
    EXPECT_EQ(edgeOfCompletion(3), face);
    auto* alert = test::presentedAlert(form);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(test::alertContent(alert)->labelMessage->text(), localizedText("info.empty"));
    test::saveScreenshot(window.get(), "information_empty_alert");
    test::tap(test::alertContent(alert)->buttonAction);
    ASSERT_TRUE(nothingPresented());

    EXPECT_FALSE(cell->tfFieldValue->isEnabled()) << "the alert ended the editing";
    test::tap(cell->btnSelected);
    test::typeText(cell->tfFieldValue, QStringLiteral("TRẦN THỊ BÌNH"));
    test::settle();
    EXPECT_TRUE(form->btnCompletionEkyc->isEnabled());
    EXPECT_EQ(edgeOfCompletion(0), ColorAsset::primary().color()) << "enabled, the face reaches the edge";
    EXPECT_EQ(formValue(name), "TRẦN THỊ BÌNH");
    EXPECT_EQ(test::topPresented(form), nullptr) << "a value brings no alert";
}

TEST_F(InformationScreen, AGenderACountryFoundBySearchAndADateAreSavedSubmittedAndReportedToTheHost) {
    ASSERT_TRUE(openFetchedForm());
    const auto session = EKYCUserDefault::transactionId().value();
    // Gender: the current value is marked; the other one is taken.
    const int gender = rowOf(FieldType::gender);
    ASSERT_GE(gender, 0);
    auto* genders = sheetOf<EKYCSelectionViewController>(gender);
    ASSERT_NE(genders, nullptr);
    ASSERT_EQ(test::entriesOf(genders), QStringList({"Nam", "Nữ"}));
    ASSERT_TRUE(test::tapEntry(genders, "Nữ"));
    ASSERT_TRUE(nothingPresented());
    EXPECT_EQ(row(gender)->tfFieldValue->text(), "Nữ");

    // Country: loaded from the service, found without marks, in any case.
    const int country = rowOf(FieldType::country);
    ASSERT_GE(country, 0);
    auto* countries = sheetOf<EKYCSelectionViewController>(country);
    ASSERT_NE(countries, nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return !countries->isLoading(); }));
    EXPECT_GT(test::entriesOf(countries).size(), 100);
    EXPECT_EQ(countries->tableView->height(), 336);
    QTest::keyClicks(countries->tfSearch, "rap thong");  // anywhere in the name, without marks
    test::settle();
    EXPECT_EQ(test::entriesOf(countries), QStringList({"Các Tiểu Vương Quốc A-rập Thống Nhất"}));
    test::saveScreenshot(window.get(), "selection_country_search");
    countries->tfSearch->clear();
    test::settle();
    EXPECT_GT(test::entriesOf(countries).size(), 100) << "an empty keyword shows every country again";
    test::typeText(countries->tfSearch, QStringLiteral("NHẬT"));
    EXPECT_EQ(countries->tfSearch->text(), QStringLiteral("NHẬT"));
    EXPECT_GE(test::entriesOf(countries).size(), 2)
        << "with marks, in capitals: Nhật, and names with Thống Nhất";
    ASSERT_TRUE(test::tapEntry(countries, "Nhật"));
    ASSERT_TRUE(nothingPresented());
    EXPECT_EQ(row(country)->tfFieldValue->text(), "Nhật");

    // Date: a moved picker writes day/month/year into the row.
    const int date = rowOf(FieldType::date);
    ASSERT_GE(date, 0);
    auto* picker = sheetOf<EKYCDatePickerViewController>(date);
    ASSERT_NE(picker, nullptr);
    picker->datePicker->setSelectedDate(QDate(1991, 2, 3));
    test::saveScreenshot(window.get(), "information_date_picker");
    test::tap(picker->btnSave);
    ASSERT_TRUE(nothingPresented());
    EXPECT_EQ(row(date)->tfFieldValue->text(), "03/02/1991");

    EXPECT_EQ(formValue(gender), "Nữ");
    EXPECT_EQ(formValue(country), "Nhật");
    EXPECT_EQ(formValue(date), "03/02/1991");

    // The submission reaches the service, tells the host and closes the flow.
    test::tap(form->btnCompletionEkyc);
    EXPECT_TRUE((form && form->isLoading()) || host->sessions.size() == 1u);
    ASSERT_TRUE(test::waitUntil([&] { return window->presentedViewController() == nullptr; }));
    EXPECT_EQ(host->sessions, std::vector{session});
    EXPECT_FALSE(EKYCUserDefault::transactionId()) << "the session ends with the flow";
    const auto submitted = server->submissions();
    ASSERT_FALSE(submitted.empty());
    for (const char* value : {"Nữ", "Nhật", "03/02/1991"})
        EXPECT_NE(submitted.back().dump().find(value), std::string::npos) << submitted.back().dump();
}

TEST_F(InformationScreen, ARefusedSessionOnFetchEndsTheFlowOnceAcknowledged) {
    dev::Fault expired;
    expired.path = "/getInfo";
    expired.httpStatus = 401;
    server->setFault(expired);
    openForm();
    ASSERT_TRUE(test::waitUntil([&] { return test::presentedAlert(form) != nullptr; }));
    EXPECT_FALSE(form->tableView->isVisible());
    test::saveScreenshot(window.get(), "information_unauthorized");
    test::tap(test::alertContent(test::presentedAlert(form))->buttonAction);
    EXPECT_TRUE(test::waitUntil([&] { return window->presentedViewController() == nullptr; }));
    EXPECT_FALSE(EKYCUserDefault::transactionId());
    EXPECT_TRUE(host->sessions.empty());
}

}  // namespace
}  // namespace ovira
