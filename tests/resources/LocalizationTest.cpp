// Language choice, string lookup with its fallbacks, and the shipped tables.
#include <gtest/gtest.h>

#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "ovira/UserDefaults.h"
#include "resources/EKYCTranslationService.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

using json = nlohmann::json;
using Language = EKYCSupportedLanguage;

std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    return {std::istream_iterator<std::string>(stream), std::istream_iterator<std::string>()};
}

// Every key the screens look up, exactly as they spell it.
const std::vector<std::string> kDocumentedKeys = words(
    "common.close common.completion common.next common.noti common.noti_disconect common.noti_warning "
    "common.out common.permission common.permission_title common.save common.search common.setting "
    "common.stay "
    "intro.step intro.select intro.capture_document intro.capture_face intro.check_ìnomation intro.idCard "
    "intro.passport intro.license_driver "
    "guide.note guide.note_document guide.note_thelight guide.note_blur guide.face_title guide.environment "
    "guide.wear_glasses guide.face_mask guide.document guide.face guide.understood guide.how_to "
    "capture.front capture.passport capture.back capture.face capture.retake "
    "capture.hint.ready capture.hint.place_document capture.hint.place_face capture.hint.move_closer "
    "capture.hint.move_back capture.hint.centre_face capture.hint.look_straight capture.hint.avoid_reflections "
    "capture.hint.more_light capture.hint.hold_still capture.refusal.too_few_pixels "
    "capture.refusal.too_dark capture.refusal.too_bright capture.refusal.blurred capture.refusal.face_too_small "
    "capture.auto.taking capture.auto.stop capture.auto.stopped "
    "review.front review.back review.passport "
    "verify.title verify.image_document verify.passport verify.face verify.valid "
    "info.infomation info.document info.empty info.choose_time info.choose_gender info.choose_country "
    "info.choose_national");

class LocalizationTest : public testing::Test {
protected:
    test::TemporaryDirectory directory;
    UserDefaults defaults{directory / "UserDefaults.json"};
    EKYCLocalizationService localization{defaults};

    void store(const json& value) { defaults.setObject(EKYCLocalizationService::currentLanguageKey, value); }
};

// The codes and locales of each language, and only exactly "vi" or "en" stored chooses one.
TEST_F(LocalizationTest, LanguagesHaveTheirCodesLocalesAndOnlyAnExactCodeChoosesOne) {
    EXPECT_EQ(rawValue(Language::vietnamese), "vi");
    EXPECT_EQ(rawValue(Language::english), "en");
    EXPECT_EQ(formattingLocale(Language::vietnamese), "vi-VN");
    EXPECT_EQ(formattingLocale(Language::english), "en-US");
    EXPECT_EQ(EKYCSupportedLanguageFromRawValue("en"), Language::english);
    EXPECT_EQ(EKYCSupportedLanguageFromRawValue("EN"), std::nullopt);
    EXPECT_LT(Language::vietnamese, Language::english) << "Vietnamese comes first";

    const std::pair<json, Language> cases[] = {
        {json(), Language::vietnamese},
        {"vi", Language::vietnamese},
        {"en", Language::english},
        {"EN", Language::vietnamese},
        {"en-US", Language::vietnamese},
        {1, Language::vietnamese},
        {json::array({"en"}), Language::vietnamese},
    };
    for (const auto& [stored, expected] : cases) {
        store(stored);
        EXPECT_EQ(localization.currentLanguage(), expected) << stored.dump();
        EXPECT_EQ(localization.baseLanguage(), Language::vietnamese);
    }
}

// A service reads the language once, when it is made; the locale follows the
// stored language at every call.
TEST_F(LocalizationTest, TextsFollowTheLanguageAtCreationAndTheLocaleTheStoredOne) {
    EKYCTranslationService vietnamese(localization, EKYCStringBundle::library());
    EXPECT_EQ(vietnamese.localize("common.stay"), "Ở lại");
    EXPECT_EQ(vietnamese.localize("common.out"), "Thoát");
    EXPECT_EQ(vietnamese.formattingLocale(), "vi-VN");

    store("en");
    EXPECT_EQ(vietnamese.localize("common.out"), "Thoát");
    EXPECT_EQ(vietnamese.formattingLocale(), "en-US");
    const EKYCFormatArgument half = 1.5;
    EXPECT_EQ(formatLocalized("%.1f%%", vietnamese.formattingLocale(), {&half, 1}), "1.5%");

    EKYCTranslationService english(localization, EKYCStringBundle::library());
    EXPECT_EQ(english.localize("common.stay"), "Stay");
    EXPECT_EQ(english.localize("intro.check_ìnomation"), "Check your details");
    EXPECT_EQ(english.formattingLocale(), "en-US");
}

TEST_F(LocalizationTest, MissingKeysShowVerbatimAndMissingFoldersFallBack) {
    EKYCTranslationService service(localization, EKYCStringBundle::library());
    EXPECT_EQ(service.localize("common.noti_disconnect"), "common.noti_disconnect");  // a typing error
    EXPECT_EQ(service.localize("common.stay", "Other"), "common.stay");

    // A library without an English folder answers from its development (Vietnamese) texts.
    const EKYCStringBundle onlyVietnamese({{"vi", "Localizable", "common.save", "Lưu"}});
    store("en");
    EKYCTranslationService fallback(localization, onlyVietnamese);
    EXPECT_EQ(fallback.localize("common.save"), "Lưu");
    EXPECT_EQ(&fallback.bundle(), &onlyVietnamese);
}

TEST(StringFormat, FormatsArgumentsForTheLocale) {
    const std::vector<EKYCFormatArgument> arguments = {std::string("Lan"), 3LL, 2.25};
    const struct {
        const char* format;
        const char* locale;
        const char* expected;
    } cases[] = {
        {"100%%", "vi-VN", "100%"},
        {"%@ có %d ảnh, %.2f MB", "vi-VN", "Lan có 3 ảnh, 2,25 MB"},
        {"%@ has %ld photos, %.1f MB", "en-US", "Lan has 3 photos, 2.2 MB"},
        {"%3$.2f / %1$@", "en-US", "2.25 / Lan"},
        {"%@ %@ %@ %@", "en-US", "Lan 3 2.250000 %@"},  // no fourth argument: left as written
        {"50% off", "en-US", "50% off"},                // not a specifier
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatLocalized(c.format, c.locale, arguments), c.expected) << c.format;
}

TEST(ShippedStringTables, BothLanguagesTranslateEveryDocumentedKey) {
    const auto& library = EKYCStringBundle::library();
    EXPECT_EQ(library.localizations(), (std::vector<std::string>{"en", "vi"}));
    const std::set<std::string> documented(kDocumentedKeys.begin(), kDocumentedKeys.end());
    for (const char* code : {"vi", "en"}) {
        const auto* folder = library.localization(code);
        ASSERT_NE(folder, nullptr) << code;
        const auto keys = folder->keys("Localizable");
        EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()), documented) << code;
        for (const auto& key : kDocumentedKeys) {
            const auto text = folder->localizedString(key, "Localizable");
            EXPECT_NE(text, key) << code << " " << key;
            EXPECT_EQ(text.find('%'), std::string::npos) << "a lone % would be read as a specifier: " << key;
        }
    }
    // The two languages really differ, apart from words they share.
    int identical = 0;
    for (const auto& key : kDocumentedKeys)
        identical += library.localization("vi")->localizedString(key, "Localizable") ==
                     library.localization("en")->localizedString(key, "Localizable");
    EXPECT_EQ(identical, 0);
}

}  // namespace
}  // namespace ovira
