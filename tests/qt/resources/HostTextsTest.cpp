// The host's texts and languages on a real screen: overrides in labels and in
// the rendered pixels, a third language with Vietnamese where it has no text,
// refused files and languages leaving the library's own texts.
#include <gtest/gtest.h>

#include <QLabel>

#include "../screens/FlowScreenSupport.h"
#include "ovira/OVIRALocalization.h"
#include "resources/EKYCStringBundle.h"
#include "resources/Localized.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "support/TemporaryDirectory.h"
#include "ui/controller/NavigationBar.h"

namespace ovira {
namespace {

namespace fs = std::filesystem;
using Cell = EKYCIntroduceTableViewCell;

QString builtIn(const char* language, const char* key) {
    return QString::fromStdString(
        EKYCStringBundle::library().localization(language)->localizedString(key, "Localizable"));
}

// The label as it is drawn with `text` in its place, everything else alike,
// over the background its own grab shows (what lies behind it on screen).
QImage drawnWithText(QLabel* label, const QString& text) {
    QWidget parent;
    parent.setAttribute(Qt::WA_DontShowOnScreen);
    QPalette background = parent.palette();
    background.setColor(QPalette::Window, label->grab().toImage().pixelColor(0, 0));
    parent.setPalette(background);
    auto* copy = new QLabel(&parent);
    copy->setFont(label->font());
    copy->setPalette(label->palette());
    copy->setAlignment(label->alignment());
    copy->setWordWrap(label->wordWrap());
    copy->setContentsMargins(label->contentsMargins());
    copy->setText(text);
    copy->resize(label->size());
    return copy->grab().toImage();
}

class HostTexts : public testing::Test {
protected:
    void SetUp() override { restore(); }
    void TearDown() override {
        host.reset();
        test::settle();
        restore();
    }
    static void restore() {
        OVIRALocalization::resetStrings();
        ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::vietnamese()));
    }

    EKYCIntroduceViewController* openIntroduce() {
        host = test::makeHostWindow();
        screen = test::makeScreen<EKYCIntroduceViewController>();
        navigation = test::presentFlow(*host, screen);
        return screen;
    }

    // The labels of the first screen and the key of each.
    std::vector<std::pair<QLabel*, const char*>> stepLabels() const {
        return {{screen->lbStep, "intro.step"},
                {screen->lbSelectDocument, "intro.select"},
                {screen->lbCaptureDocument, "intro.capture_document"},
                {screen->lbCaptrueFace, "intro.capture_face"},
                {screen->lbCheckInfomation, "intro.check_ìnomation"}};
    }

    test::TemporaryDirectory directory;
    std::unique_ptr<ViewController> host;
    EKYCIntroduceViewController* screen = nullptr;
    EKYCBaseNavigationViewController* navigation = nullptr;
};

TEST_F(HostTexts, AnOverrideIsWhatTheScreenShowsAndDraws) {
    const QString override = QStringLiteral("Ba bước ngắn gọn");
    ASSERT_EQ(OVIRALocalization::loadStrings(directory.write("vi.strings",
                                                             "/* the bank's wording */\n"
                                                             "\"intro.step\" = \"Ba bước ngắn gọn\";\n"
                                                             "\"intro.idCard\" = \"CCCD gắn chip\";\n"),
                                             OVIRALanguage::vietnamese()),
              std::nullopt);
    openIntroduce();
    EXPECT_EQ(screen->lbStep->text(), override);
    EXPECT_EQ(screen->lbCaptureDocument->text(), builtIn("vi", "intro.capture_document"));
    const auto rows = test::rowsOf<Cell>(screen->tableView);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0]->lbDocument->text(), QStringLiteral("CCCD gắn chip"));
    EXPECT_EQ(rows[1]->lbDocument->text(), builtIn("vi", "intro.license_driver"));

    // The pixels on screen are those of the override, not of the library's text.
    const QImage shown = screen->lbStep->grab().toImage();
    EXPECT_EQ(shown, drawnWithText(screen->lbStep, override));
    EXPECT_NE(shown, drawnWithText(screen->lbStep, builtIn("vi", "intro.step")));
    test::saveScreenshot(host.get(), "host_texts_override");
}

TEST_F(HostTexts, AThirdLanguageFromAFileShowsWithVietnameseForWhatItLacks) {
    const auto french = directory.write("fr.strings",
                                        "// Texts of the flow in French; the rest stays Vietnamese.\n"
                                        "\"intro.select\" = \"Choisissez votre pièce d'identité\";\n"
                                        "\"intro.step\" = \"Trois étapes\";\n"
                                        "\"intro.idCard\" = \"Carte d'identité\";\n"
                                        "\"intro.passport\" = \"Passeport\";\n");
    ASSERT_EQ(OVIRALocalization::loadStrings(french, OVIRALanguage("fr")), std::nullopt);
    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage("fr")));
    openIntroduce();

    EXPECT_EQ(navigation->navigationBar()->titleLabel()->text(),
              QStringLiteral("Choisissez votre pièce d'identité"));
    EXPECT_EQ(screen->lbStep->text(), QStringLiteral("Trois étapes"));
    EXPECT_EQ(screen->lbSubTitleSelect->text(), QStringLiteral("Choisissez votre pièce d'identité"));
    for (const auto& [label, key] : stepLabels()) {
        if (std::string(key) == "intro.step" || std::string(key) == "intro.select") continue;
        EXPECT_EQ(label->text(), builtIn("vi", key)) << key << ": Vietnamese where French has no text";
    }
    const auto rows = test::rowsOf<Cell>(screen->tableView);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0]->lbDocument->text(), QStringLiteral("Carte d'identité"));
    EXPECT_EQ(rows[1]->lbDocument->text(), builtIn("vi", "intro.license_driver"));
    EXPECT_EQ(rows[2]->lbDocument->text(), QStringLiteral("Passeport"));
    test::saveScreenshot(host.get(), "host_texts_french");

    // The close dialog speaks French where it can, Vietnamese elsewhere.
    screen->didTapClose();
    test::settle();
    EXPECT_NE(test::dialogButton(test::presentedAlert(screen), builtIn("vi", "common.stay")), nullptr);
}

TEST_F(HostTexts, AMalformedFileIsRefusedWithItsLineAndTheScreenKeepsTheLibrarysTexts) {
    const auto broken = directory.write("vi.strings",
                                        "\"intro.step\" = \"Ba bước\";\n"
                                        "\"intro.select\" = \"Chọn giấy tờ\";\n"
                                        "\"intro.idCard\" = \"Căn cước\"\n"
                                        "\"intro.passport\" = \"Hộ chiếu\";\n");
    const auto error = OVIRALocalization::loadStrings(broken, OVIRALanguage::vietnamese());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 3) << "the line whose text lacks its ';'";
    EXPECT_EQ(error->message(), broken.string() + ":3: expected ';' after the text of \"intro.idCard\"");

    openIntroduce();
    for (const auto& [label, key] : stepLabels()) EXPECT_EQ(label->text(), builtIn("vi", key)) << key;
    const auto rows = test::rowsOf<Cell>(screen->tableView);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0]->lbDocument->text(), builtIn("vi", "intro.idCard"));
    EXPECT_EQ(screen->lbStep->grab().toImage(), drawnWithText(screen->lbStep, builtIn("vi", "intro.step")));
}

TEST_F(HostTexts, AnUnknownLanguageIsRefusedAndAKnownOneSwitchesTheNextScreenAtOnce) {
    openIntroduce();  // texts have been looked up: a raw write would no longer change them
    for (const char* code : {"fr", "de", "EN", "english", ""})
        EXPECT_FALSE(OVIRALocalization::setLanguage(OVIRALanguage(code))) << code;
    EXPECT_EQ(OVIRALocalization::currentLanguage(), OVIRALanguage::vietnamese());
    openIntroduce();
    EXPECT_EQ(screen->lbStep->text(), builtIn("vi", "intro.step"));

    ASSERT_TRUE(OVIRALocalization::setLanguage(OVIRALanguage::english()));
    openIntroduce();
    EXPECT_EQ(screen->lbStep->text(), builtIn("en", "intro.step"));
    EXPECT_EQ(navigation->navigationBar()->titleLabel()->text(), builtIn("en", "intro.select"));
    const auto rows = test::rowsOf<Cell>(screen->tableView);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2]->lbDocument->text(), builtIn("en", "intro.passport"));
    test::saveScreenshot(host.get(), "host_texts_english");
}

}  // namespace
}  // namespace ovira
