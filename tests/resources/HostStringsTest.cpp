// The host's texts and languages over the library's own tables (OVIRALocalization).
#include <gtest/gtest.h>

#include <thread>

#include "ovira/OVIRALocalization.h"
#include "ovira/UserDefaults.h"
#include "resources/EKYCLocalizationService.h"
#include "resources/EKYCStringBundle.h"
#include "resources/EKYCTranslationService.h"
#include "support/LogCapture.h"
#include "support/TemporaryDirectory.h"

namespace ovira {
namespace {

namespace fs = std::filesystem;

std::string builtIn(const char* language, const std::string& key) {
    return EKYCStringBundle::library().localization(language)->localizedString(key, "Localizable");
}

std::optional<std::string> storedLanguage() {
    return UserDefaults::standard().string(EKYCLocalizationService::currentLanguageKey);
}

std::vector<std::string> codes(const std::vector<OVIRALanguage>& languages) {
    std::vector<std::string> result;
    for (const auto& language : languages) result.push_back(language.code());
    return result;
}

// Every test starts and ends in Vietnamese with no host texts.
class HostStrings : public testing::Test {
protected:
    void SetUp() override { restore(); }
    void TearDown() override { restore(); }

    static void restore() {
        OVIRALocalization::resetStrings();
        ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
    }

    test::TemporaryDirectory directory;
};

TEST_F(HostStrings, OverridesReplaceBuiltInTextsKeyByKeyInTheirLanguageOnly) {
    const auto vi = directory.write("vi.strings",
                                    "/* our wording */\n"
                                    "\"intro.select\" = \"Chọn giấy tờ của bạn\";\n"
                                    "\"common.next\" = \"Tiếp nào\";\n");
    ASSERT_EQ(OVIRALocalization::loadStrings(vi, OVIRALanguage::vietnamese()), std::nullopt);
    EXPECT_EQ(OVIRALocalization::text("intro.select"), "Chọn giấy tờ của bạn");
    EXPECT_EQ(localized("common.next"), "Tiếp nào") << "every screen's lookup sees the host's text";
    EXPECT_EQ(OVIRALocalization::text("common.out"), builtIn("vi", "common.out"));
    EXPECT_EQ(codes(OVIRALocalization::availableLanguages()), (std::vector<std::string>{"vi", "en"}))
        << "overriding a built-in language adds none";

    // A second file replaces only the keys it has.
    ASSERT_EQ(
        OVIRALocalization::loadStrings(directory.write("more.strings", "\"common.next\" = \"Đi tiếp\";"),
                                       OVIRALanguage::vietnamese()),
        std::nullopt);
    EXPECT_EQ(OVIRALocalization::text("common.next"), "Đi tiếp");
    EXPECT_EQ(OVIRALocalization::text("intro.select"), "Chọn giấy tờ của bạn");

    // English keeps its own texts.
    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::english()));
    EXPECT_EQ(OVIRALocalization::text("intro.select"), builtIn("en", "intro.select"));
    EXPECT_EQ(OVIRALocalization::text("no.such.key"), "no.such.key");

    OVIRALocalization::resetStrings();
    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
    EXPECT_EQ(OVIRALocalization::text("intro.select"), builtIn("vi", "intro.select"));
}

TEST_F(HostStrings, ANewLanguageBecomesAvailableAndFallsBackToVietnameseForKeysItLacks) {
    const OVIRALanguage french("fr");
    EXPECT_FALSE(OVIRALocalization::isAvailable(french));
    EXPECT_FALSE(OVIRALocalization::setLanguage(french)) << "not loaded yet";

    ASSERT_EQ(OVIRALocalization::loadStrings(
                  directory.write("fr.strings",
                                  "\"intro.select\" = \"Choisissez votre pièce\";\n"
                                  "\"common.noti\" = \"100 %% sûr \\u00e0 \\\"vous\\\"\";\n"),
                  french),
              std::nullopt);
    ASSERT_EQ(OVIRALocalization::loadStrings(directory.write("th.strings", "\"common.out\" = \"ออก\";"),
                                             OVIRALanguage("th")),
              std::nullopt);
    EXPECT_TRUE(OVIRALocalization::isAvailable(french));
    EXPECT_EQ(codes(OVIRALocalization::availableLanguages()),
              (std::vector<std::string>{"vi", "en", "fr", "th"}));
    EXPECT_EQ(OVIRALocalization::text("intro.select"), builtIn("vi", "intro.select")) << "not chosen yet";

    ASSERT_TRUE(OVIRALocalization::setLanguage(french));
    EXPECT_EQ(OVIRALocalization::currentLanguage(), french);
    EXPECT_EQ(storedLanguage(), "fr");
    EXPECT_EQ(OVIRALocalization::text("intro.select"), "Choisissez votre pièce");
    EXPECT_EQ(OVIRALocalization::text("common.noti"), "100 % sûr à \"vous\"") << "%% is one percent sign";
    EXPECT_EQ(OVIRALocalization::text("common.out"), builtIn("vi", "common.out")) << "missing: Vietnamese";

    // The fallback is Vietnamese as the flow shows it, host texts included.
    ASSERT_EQ(OVIRALocalization::loadStrings(directory.write("vi.strings", "\"common.out\" = \"Rời đi\";"),
                                             OVIRALanguage::vietnamese()),
              std::nullopt);
    EXPECT_EQ(OVIRALocalization::text("common.out"), "Rời đi");

    // Forgetting the host's texts forgets its languages and the choice of one.
    OVIRALocalization::resetStrings();
    EXPECT_EQ(codes(OVIRALocalization::availableLanguages()), (std::vector<std::string>{"vi", "en"}));
    EXPECT_FALSE(OVIRALocalization::isAvailable(french));
    EXPECT_EQ(OVIRALocalization::currentLanguage(), OVIRALanguage::vietnamese());
    EXPECT_EQ(OVIRALocalization::text("intro.select"), builtIn("vi", "intro.select"));
}

TEST_F(HostStrings, BadFilesAndCodesAreRefusedWithTheirLineAndChangeNothing) {
    ASSERT_EQ(OVIRALocalization::loadStrings(directory.write("ok.strings", "\"common.next\" = \"Tiếp nào\";"),
                                             OVIRALanguage::vietnamese()),
              std::nullopt);
    const auto before = OVIRALocalization::availableLanguages();
    fs::create_directory(directory / "folder.strings");
    const struct {
        fs::path file;
        const char* language;
        int line;
        std::string reason;
    } cases[] = {
        // The first two texts are good, the third line is not: nothing of the file is taken.
        {directory.write(
             "bad.strings",
             "\"common.next\" = \"Sau\";\n\"intro.select\" = \"Chọn\";\n\"common.out\" = \"x\"\n"),
         "vi", 3, "expected ';' after the text of \"common.out\""},
        {directory.write("fr.strings", "\"intro.select\" = \"Choisir\";\n\"intro.select\" = \"Prendre\";"),
         "fr", 2, "duplicate key \"intro.select\""},
        {directory.write("latin1.strings",
                         "\"intro.select\" = \"Pi\xE8"
                         "ce\";"),
         "fr", 1, "invalid UTF-8"},
        {directory.write("open.strings", "\"intro.select\" = \"Choisir;\n"), "fr", 1,
         "line break inside a string (write \\n)"},
        {directory.write("empty.strings", "/* nothing yet */\n"), "fr", 0, "holds no texts"},
        {directory / "missing.strings", "fr", 0, "no such file"},
        {directory / "folder.strings", "fr", 0, "a folder, not a strings file"},
        {directory.write("big.strings", std::string(4 * 1024 * 1024 + 1, ' ')), "fr", 0,
         "larger than 4 MB: not a strings file"},
    };
    for (const auto& c : cases) {
        const auto error = OVIRALocalization::loadStrings(c.file, OVIRALanguage(c.language));
        ASSERT_TRUE(error) << c.file;
        EXPECT_EQ(error->file, c.file);
        EXPECT_EQ(error->line, c.line) << c.file;
        EXPECT_EQ(error->reason, c.reason) << c.file;
    }
    EXPECT_EQ(OVIRALocalization::text("common.next"), "Tiếp nào") << "the earlier good load stays";
    EXPECT_EQ(OVIRALocalization::text("intro.select"), builtIn("vi", "intro.select"));
    EXPECT_EQ(OVIRALocalization::availableLanguages(), before);

    const auto bad = OVIRALocalization::loadStrings(directory / "bad.strings", OVIRALanguage::vietnamese());
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->message(),
              (directory / "bad.strings").string() + ":3: expected ';' after the text of \"common.out\"");
    const auto missing = OVIRALocalization::loadStrings(directory / "missing.strings", OVIRALanguage("fr"));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->message(), (directory / "missing.strings").string() + ": no such file");

    // Codes that do not look like a language code, with a good file.
    const auto good = directory.write("good.strings", "\"intro.select\" = \"Choisir\";");
    for (const char* code :
         {"", "f", "FR", "fr_FR", "fr-fr", "french", "fr-", "fr-FRA", "../fr", "fr-Latn-"}) {
        const auto error = OVIRALocalization::loadStrings(good, OVIRALanguage(code));
        ASSERT_TRUE(error) << code;
        EXPECT_EQ(error->line, 0);
        EXPECT_NE(error->reason.find("is not a language code"), std::string::npos) << error->reason;
    }
    EXPECT_EQ(OVIRALocalization::availableLanguages(), before);
    for (const char* code : {"fr", "fil", "pt-BR", "es-419", "zh-Hant", "zh-Hant-TW"})
        EXPECT_EQ(OVIRALocalization::loadStrings(good, OVIRALanguage(code)), std::nullopt) << code;
    EXPECT_EQ(
        codes(OVIRALocalization::availableLanguages()),
        (std::vector<std::string>{"vi", "en", "fr", "fil", "pt-BR", "es-419", "zh-Hant", "zh-Hant-TW"}));
}

TEST_F(HostStrings, AKeyTheFlowDoesNotUseIsKeptButNamedInTheLogWithItsLine) {
    test::LogCapture log;
    ASSERT_EQ(OVIRALocalization::loadStrings(directory.write("fr.strings",
                                                             "\"intro.select\" = \"Choisir\";\n"
                                                             "\"intro.selct\" = \"Choisir\";\n"),
                                             OVIRALanguage("fr")),
              std::nullopt);
    EXPECT_NE(log.lineContaining("fr.strings:2: the flow has no text \"intro.selct\""), "") << log.text();
    EXPECT_EQ(log.lineContaining("\"intro.select\""), "") << "a key the flow uses is not named";
    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage("fr")));
    EXPECT_EQ(OVIRALocalization::text("intro.selct"), "Choisir");
}

// A raw write of the stored language after the first lookup changes nothing
// until the next process; the typed choice changes the texts at once.
TEST_F(HostStrings, OnlyTheTypedChoiceSwitchesTheTextsWithinTheProcess) {
    ASSERT_EQ(OVIRALocalization::text("common.stay"), builtIn("vi", "common.stay"));  // a lookup has happened
    UserDefaults::standard().setString(EKYCLocalizationService::currentLanguageKey, "en");
    EXPECT_EQ(EKYCLocalizationService::shared().currentLanguage(), EKYCSupportedLanguage::english);
    EXPECT_EQ(OVIRALocalization::text("common.stay"), builtIn("vi", "common.stay"))
        << "the typed choice of Vietnamese still holds";

    EXPECT_FALSE(OVIRALocalization::setLanguage(OVIRALanguage("xx")));
    EXPECT_FALSE(OVIRALocalization::setLanguage(OVIRALanguage("EN")));
    EXPECT_EQ(storedLanguage(), "en") << "a refused language is not stored";
    EXPECT_EQ(OVIRALocalization::currentLanguage(), OVIRALanguage::vietnamese());

    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::english()));
    EXPECT_EQ(OVIRALocalization::currentLanguage(), OVIRALanguage::english());
    EXPECT_EQ(OVIRALocalization::text("common.stay"), "Stay");
    EXPECT_EQ(localized("intro.check_ìnomation"), "Check your details");
    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
    EXPECT_EQ(storedLanguage(), "vi");
    EXPECT_EQ(OVIRALocalization::text("common.stay"), "Ở lại");
}

// Loads from several threads while the flow looks texts up: every load
// lands, and every lookup sees a whole text.
TEST_F(HostStrings, LoadsFromManyThreadsWhileTextsAreLookedUp) {
    const std::vector<std::string> languages = {"fr", "de", "it", "es"};
    std::vector<fs::path> files;
    for (const auto& code : languages)
        files.push_back(directory.write(code + ".strings", "\"common.next\" = \"next-" + code + "\";"));
    std::vector<std::thread> loaders;
    for (std::size_t i = 0; i < languages.size(); ++i)
        loaders.emplace_back([&, i] {
            for (int round = 0; round < 20; ++round)
                EXPECT_EQ(OVIRALocalization::loadStrings(files[i], OVIRALanguage(languages[i])),
                          std::nullopt);
        });
    int lookups = 0;
    for (int round = 0; round < 200; ++round) {
        const auto text = OVIRALocalization::text("common.next");
        lookups += text == builtIn("vi", "common.next");
    }
    for (auto& loader : loaders) loader.join();
    EXPECT_EQ(lookups, 200);
    EXPECT_EQ(OVIRALocalization::availableLanguages().size(), 6u);
    for (const auto& code : languages) {
        ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage(code)));
        EXPECT_EQ(OVIRALocalization::text("common.next"), "next-" + code);
    }
}

}  // namespace
}  // namespace ovira
