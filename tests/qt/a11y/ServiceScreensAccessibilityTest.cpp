// The screens that talk to the development service, as a screen reader finds
// them in Vietnamese and in English: the form's rows (field, value and what
// a tap does), its lists and its warning; the capture controls, the torch's
// state, the face check's verdict announced as it changes, the busy
// overlay of the shutter, and the service's reason for a rejection.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <set>

#include "AccessibilitySupport.h"
#include "CaptureScenes.h"
#include "CaptureScreenSupport.h"
#include "DevServerTestSupport.h"
#include "FlowScreenSupport.h"
#include "ovira/OVIRALocalization.h"
#include "resources/Localized.h"
#include "screens/base/LoadingOverlayView.h"
#include "screens/information/EKYCInfomationDocumentTableViewCell.h"
#include "screens/information/EKYCInfomationDocumentViewController.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"
#include "screens/selection/EKYCSelectionViewController.h"
#include "sdk/EKYCUserDefault.h"

namespace ovira {
namespace {

using FieldType = EKYCInfomationDocument::FieldType;
using Row = EKYCInfomationDocumentTableViewCell;
using Type = EkycTypeDocument;
using test::descriptionOf;
using test::nameOf;
using test::roleOf;

class ServiceScreenReader : public test::CaptureFlowTest {
protected:
    // A fresh window in `language`.
    void speak(const OVIRALanguage& language) {
        window.reset();
        test::settle();
        ASSERT_TRUE(OVIRALocalization::setLanguage(language));
        window = test::makeHostWindow();
    }
    void expectEverythingNamed(const char* where) const {
        EXPECT_EQ(test::unnamedControls(window->window()), QStringList()) << where;
    }
    void closeFlow() {
        window->dismiss(false);
        test::settle();
    }

    // A reader runs all along: Qt keeps its tree up to date only for one.
    test::AccessibilityEvents reader;
    std::map<std::string, test::ReadOut> read;
};

// What a tap on a row of `type` does, as the row's button says it.
const char* hintOf(FieldType type, bool editable) {
    if (!editable) return "a11y.field_locked";
    switch (type) {
        case FieldType::string:
        case FieldType::number:
            return "a11y.field_edit";
        case FieldType::date:
            return "a11y.field_date";
        default:
            return "a11y.field_list";
    }
}

TEST_F(ServiceScreenReader, TheFormReadsEachFieldWithItsValueAndWhatATapDoesAndWarnsAloud) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        EKYCApplication().startSession();
        devserver::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
        auto* form = test::makeScreen<EKYCInfomationDocumentViewController>();
        test::presentFlowAt(*window, form);
        ASSERT_TRUE(test::formFetched(form));
        expectEverythingNamed("form");
        EXPECT_EQ(nameOf(form->btnCompletionEkyc), localizedText("common.completion"));
        out["complete"] = nameOf(form->btnCompletionEkyc);

        const auto& items = form->viewModel().items;
        std::set<std::string> hints;
        for (int index = 0; index < static_cast<int>(items.size()); ++index) {
            const auto& field = items[static_cast<std::size_t>(index)];
            auto* row = test::cellInView<Row>(form->tableView, index);
            ASSERT_NE(row, nullptr);
            const QString fieldName = QString::fromStdString(field.fieldName);
            const QString value = QString::fromStdString(field.fieldValue);
            // The text box is named after its field and holds the value.
            EXPECT_EQ(roleOf(row->tfFieldValue), QAccessible::EditableText);
            EXPECT_EQ(nameOf(row->tfFieldValue), fieldName);
            EXPECT_EQ(test::accessibleOf(row->tfFieldValue)->text(QAccessible::Value), value);
            // The row's button: the field and its value, and what a tap does.
            EXPECT_TRUE(nameOf(row->btnSelected).contains(fieldName)) << nameOf(row->btnSelected).toStdString();
            EXPECT_TRUE(value.isEmpty() || nameOf(row->btnSelected).contains(value))
                << nameOf(row->btnSelected).toStdString();
            EXPECT_EQ(descriptionOf(row->btnSelected), accessibleText(hintOf(field.fieldType, field.editable)))
                << field.fieldName;
            hints.insert(hintOf(field.fieldType, field.editable));
        }
        EXPECT_GE(hints.size(), 3u) << "the service's form has fields of several kinds";

        // Typing: the button reads the new value; an emptied field says so, and the warning is an alert.
        const int name = test::editableRow(form, FieldType::string);
        ASSERT_GE(name, 0);
        auto* row = test::cellInView<Row>(form->tableView, name);
        out["edit hint"] = descriptionOf(row->btnSelected);
        test::tap(row->btnSelected);
        row->tfFieldValue->selectAll();
        QTest::keyClick(row->tfFieldValue, Qt::Key_Backspace);
        test::settle();
        EXPECT_TRUE(nameOf(row->btnSelected).contains(accessibleText("a11y.field_empty")))
            << nameOf(row->btnSelected).toStdString();
        out["empty value"] = nameOf(row->btnSelected);
        auto* alert = test::presentedAlert(form);
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(roleOf(alert), QAccessible::AlertMessage);
        EXPECT_EQ(nameOf(alert), localizedText("common.noti"));
        EXPECT_EQ(descriptionOf(alert), localizedText("info.empty"));
        expectEverythingNamed("empty value alert");
        out["warning"] = descriptionOf(alert);
        test::tap(test::alertContent(alert)->buttonAction);
        ASSERT_TRUE(test::waitUntil([&] { return test::topPresented(form) == nullptr; }));
        test::tap(row->btnSelected);
        test::typeText(row->tfFieldValue, QStringLiteral("TRẦN THỊ BÌNH"));
        EXPECT_TRUE(nameOf(row->btnSelected).contains(QStringLiteral("TRẦN THỊ BÌNH")));

        // The country list: named by its title, its search box by its word, its entries by their values.
        const int country = test::editableRow(form, FieldType::country);
        ASSERT_GE(country, 0);
        auto* countryRow = test::cellInView<Row>(form->tableView, country);
        out["list hint"] = descriptionOf(countryRow->btnSelected);
        test::tap(countryRow->btnSelected);
        auto* countries = qobject_cast<EKYCSelectionViewController*>(test::topPresented(form));
        ASSERT_NE(countries, nullptr);
        ASSERT_TRUE(test::waitUntil([&] { return !countries->isLoading(); }));
        expectEverythingNamed("country list");
        EXPECT_EQ(nameOf(countries->tableView), localizedText("info.choose_country"));
        EXPECT_EQ(roleOf(countries->tfSearch), QAccessible::EditableText);
        EXPECT_EQ(nameOf(countries->tfSearch), localizedText("common.search"));
        QTest::keyClicks(countries->tfSearch, "rap thong");
        test::settle();
        const auto found = test::reachableOfRole(countries->tableView, QAccessible::ListItem);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].name, QStringLiteral("Các Tiểu Vương Quốc A-rập Thống Nhất"));
        out["countries"] = nameOf(countries->tableView);
        out["search"] = nameOf(countries->tfSearch);
        countries->clickedClose();
        test::settle();
        closeFlow();
    }
    test::expectTranslated(read, {"complete", "edit hint", "empty value", "warning", "list hint", "countries",
                                  "search"});
}

TEST_F(ServiceScreenReader, CaptureControlsAreNamedAndTheTorchSaysWhetherItIsOn) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        auto* screen = openScreen(EKYCStep::front, Type::idCard);
        waitUntilOnline(screen);
        test::showFrame(screen);
        expectEverythingNamed("document capture");
        auto* controls = screen->accessoryView;
        const std::pair<QPushButton*, const char*> buttons[] = {{controls->btnCapture, "a11y.capture"},
                                                                {controls->btnClose, "a11y.close"},
                                                                {controls->btnGuide, "a11y.guide"},
                                                                {controls->btnSwitchCamera, "a11y.switch_camera"}};
        for (const auto& [button, key] : buttons) {
            EXPECT_EQ(roleOf(button), QAccessible::PushButton);
            EXPECT_EQ(nameOf(button), accessibleText(key));
            out[key] = nameOf(button);
        }
        EXPECT_EQ(nameOf(controls->lbTitle), localizedText("capture.front"));
        EXPECT_EQ(nameOf(controls->lbGuide), localizedText("guide.document"));
        EXPECT_EQ(nameOf(screen->previewCamera), accessibleText("a11y.camera_card"));
        out["title"] = nameOf(controls->lbTitle);
        out["guide text"] = nameOf(controls->lbGuide);
        out["camera"] = nameOf(screen->previewCamera);

        // The flash button says the torch's state, and follows it.
        EXPECT_EQ(nameOf(controls->btnFlash), accessibleText("a11y.flash_off"));
        EXPECT_EQ(descriptionOf(controls->btnFlash), accessibleText("a11y.flash_hint"));
        out["flash off"] = nameOf(controls->btnFlash);
        test::AccessibilityEvents events;
        test::tap(controls->btnFlash);
        EXPECT_TRUE(test::cameraOf(screen).isTorchOn());
        EXPECT_EQ(nameOf(controls->btnFlash), accessibleText("a11y.flash_on"));
        EXPECT_EQ(events.announcements(controls->btnFlash), QStringList{accessibleText("a11y.flash_on")});
        out["flash on"] = nameOf(controls->btnFlash);
        test::tap(controls->btnFlash);
        EXPECT_FALSE(test::cameraOf(screen).isTorchOn());
        EXPECT_EQ(nameOf(controls->btnFlash), accessibleText("a11y.flash_off"));

        // The guide sheet it opens is read like the one of the rejection screen.
        test::tap(controls->btnGuide);
        ASSERT_NE(test::topPresented(screen), nullptr);
        expectEverythingNamed("guide over the capture");
        test::topPresented(screen)->dismiss(false);
        test::settle();
        closeFlow();
    }
    test::expectTranslated(read, {"a11y.capture", "a11y.close", "a11y.guide", "a11y.switch_camera", "title",
                                  "guide text", "camera", "flash off", "flash on"});
}

TEST_F(ServiceScreenReader, TheFaceCheckIsAnnouncedWhenItChangesAndTheShutterAnnouncesTheWait) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        auto& out = read[language.code()];
        // Out of the circle twice, inside twice, out again, inside again.
        scene = {test::selfie({360, 250}), test::selfie({360, 250}), test::selfie({360, 640}),
                 test::selfie({360, 640}), test::selfie({360, 250}), test::selfie({360, 640})};
        auto* screen = openScreen(EKYCStep::face, Type::idCard, {test::cardPhoto(Qt::blue), test::cardPhoto(Qt::red)});
        waitUntilOnline(screen);
        auto* controls = screen->accessoryView;
        auto* status = controls->faceStatus;
        ASSERT_NE(status, nullptr);
        EXPECT_EQ(roleOf(status), QAccessible::Notification);
        EXPECT_EQ(nameOf(screen->previewCamera), accessibleText("a11y.camera_face"));
        EXPECT_EQ(nameOf(controls->lbTitle), localizedText("capture.face"));
        expectEverythingNamed("face capture");
        test::AccessibilityEvents events;

        const QString outside = accessibleText("a11y.face_outside");
        const QString inside = accessibleText("a11y.face_inside");
        const std::pair<bool, QStringList> frames[] = {
            {false, {outside}},
            {false, {outside}},  // the same verdict again: nothing new
            {true, {outside, inside}},
            {true, {outside, inside}},
            {false, {outside, inside, outside}},
            {true, {outside, inside, outside, inside}}};
        for (const auto& [isInside, said] : frames) {
            test::showFrame(screen);
            EXPECT_EQ(controls->btnCapture->isEnabled(), isInside);
            EXPECT_EQ(events.announcements(status), said);
            EXPECT_EQ(nameOf(status), isInside ? inside : outside);
            EXPECT_EQ(descriptionOf(status),
                      accessibleText(isInside ? "a11y.face_inside_detail" : "a11y.face_outside_detail"));
            // What was announced is what the status read at that moment, detail included.
            const auto named = events.of(status, QAccessible::NameChanged);
            ASSERT_FALSE(named.empty());
            EXPECT_EQ(named.back().description, descriptionOf(status));
        }
        out["inside"] = inside;
        out["outside"] = outside;
        out["inside detail"] = accessibleText("a11y.face_inside_detail");

        // The shutter: the screen is busy until the service answers, and says so once.
        auto* overlay = screen->overPlayLoading();
        test::tap(controls->btnCapture);
        EXPECT_EQ(events.announcements(overlay), QStringList{accessibleText("a11y.busy")});
        ASSERT_TRUE(test::waitUntil([&] { return navigation->topViewController() != screen; }));
        EXPECT_EQ(events.announcements(overlay).size(), 1);
        out["busy"] = events.announcements(overlay).value(0);
        closeFlow();
    }
    test::expectTranslated(read, {"inside", "outside", "inside detail", "busy"});
}

TEST_F(ServiceScreenReader, TheServicesReasonForARejectionIsReadOnTheRejectionScreen) {
    for (const auto& language : test::bothLanguages()) {
        SCOPED_TRACE(language.code());
        speak(language);
        server->setFault(devserver::Fault::parse("/nationId:code=2004,message=Blurred photo"));
        auto* screen = openScreen(EKYCStep::back, Type::idCard, {test::cardPhoto(Qt::blue)});
        waitUntilOnline(screen);
        test::showFrame(screen);
        test::tap(screen->accessoryView->btnCapture);
        ASSERT_TRUE(test::waitUntil(
            [&] { return qobject_cast<EKYCPreviewPhotoErrorViewController*>(navigation->topViewController()); }));
        auto* rejected = qobject_cast<EKYCPreviewPhotoErrorViewController*>(navigation->topViewController());
        expectEverythingNamed("rejection");
        EXPECT_EQ(nameOf(rejected->lbError), QStringLiteral("Blurred photo"));
        EXPECT_EQ(descriptionOf(rejected->imgErrorBadge), QStringLiteral("Blurred photo"));
        EXPECT_EQ(nameOf(rejected->imgErrorBadge), accessibleText("a11y.rejected"));
        EXPECT_EQ(nameOf(rejected->imgUnverified), localizedText("review.back"));
        read[language.code()]["photo"] = nameOf(rejected->imgUnverified);
        read[language.code()]["rejected"] = nameOf(rejected->imgErrorBadge);
        server->clearFaults();
        closeFlow();
    }
    test::expectTranslated(read, {"photo", "rejected"});
}

}  // namespace
}  // namespace ovira
