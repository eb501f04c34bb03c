// The host's theme on real screens: colours in palettes, style sheets and
// rendered pixels, the roundness of buttons and cards, and the typeface.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <cmath>

#include "../screens/FlowScreenSupport.h"
#include "ovira/qt/OVIRAFlow.h"
#include "resources/ColorAsset.h"
#include "resources/EKYCTheme.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/guide/EKYCGuideCaptureDocumentViewController.h"
#include "screens/introduce/EKYCIntroduceTableViewCell.h"
#include "screens/photoerror/EKYCPreviewPhotoErrorViewController.h"

namespace ovira {
namespace {

using Rejected = EKYCPreviewPhotoErrorViewController;
using Type = EkycTypeDocument;

const QColor kMagenta(0xC2, 0x18, 0x5B);
const QColor kErrorCard(0xFD, 0xED, 0xED);

// Whether the window shows `expected` `inset` points in from each of the
// widget's corners (see test::cornerPixels).
bool cornersShow(QWidget* window, QWidget* widget, int inset, const QColor& expected) {
    bool all = true;
    for (const QColor& color : test::cornerPixels(window, widget, inset)) all = all && color == expected;
    return all;
}

// A family the system has other than Roboto, or "" when there is none.
QString otherFamily() {
    for (const QString& family : QFontDatabase::families())
        if (!family.startsWith(QLatin1String("Roboto")) && QFontDatabase::isSmoothlyScalable(family))
            return family;
    return {};
}

// The pixel of a widget's own image at a point in its logical coordinates.
QColor pixelOf(const QImage& image, QPoint point) {
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(point.x() * ratio), static_cast<int>(point.y() * ratio));
}

bool near(const QColor& a, const QColor& b, int tolerance = 2) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

class Theme : public testing::Test {
protected:
    void SetUp() override { OVIRAFlow::setTheme({}); }
    void TearDown() override {
        host.reset();
        test::settle();
        OVIRAFlow::setTheme({});
    }

    // The rejected-photograph screen: a filled button, a text button, an error message and a card.
    Rejected* openRejected() {
        host->dismiss(false);
        test::settle();
        auto* screen = test::makeScreen<Rejected>(test::cardPhoto(QColor(0x1E, 0x6F, 0xD9)),
                                                  std::string("Ảnh bị mờ"), EKYCStep::front, Type::idCard);
        test::presentFlowAt(*host, screen);
        test::settle();
        return screen;
    }

    std::unique_ptr<ViewController> host = test::makeHostWindow();
};

TEST_F(Theme, TheDefaultThemeIsTheLibrarysOwnLookEvenAfterAnotherWasSet) {
    EXPECT_EQ(OVIRAFlow::theme(), OVIRATheme{});
    OVIRATheme magenta;
    magenta.primaryColor = kMagenta;
    magenta.cornerRadius = 20;
    OVIRAFlow::setTheme(magenta);
    EXPECT_EQ(ColorAsset::primary().color(), kMagenta);
    OVIRAFlow::setTheme({});

    const std::pair<const ColorAsset&, QColor> own[] = {
        {ColorAsset::primary(), QColor(0x0D, 0x6B, 0xC6)},
        {ColorAsset::whiteA(), QColor(0xF4, 0xF6, 0xFA)},
        {ColorAsset::blackAAA(), QColor(0x1C, 0x1F, 0x26)},
        {ColorAsset::secondText(), QColor(0x68, 0x6F, 0x7D)},
        {ColorAsset::red(), QColor(0xCD, 0x32, 0x35)},
        {ColorAsset::disable(), QColor(0xB8, 0xBE, 0xC9)},
    };
    for (const auto& [asset, color] : own) EXPECT_EQ(asset.color(), color) << asset.name().toStdString();
    EXPECT_EQ(EKYCTheme::primaryTint(), QColor(0xEA, 0xF3, 0xFD));
    EXPECT_EQ(QFontInfo(systemFont(14)).family(), "Roboto");

    auto* screen = openRejected();
    const QString sheet = screen->btnRetakePhoto->styleSheet();
    EXPECT_TRUE(sheet.contains("background: #ff0d6bc6")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("border-radius: 8px")) << sheet.toStdString();
    // The error card is rounded by 12 points: the page shows 2 points in along
    // each corner's diagonal, the card 5 points in.
    EXPECT_TRUE(cornersShow(host.get(), screen->vError, 2, Qt::white));
    EXPECT_TRUE(cornersShow(host.get(), screen->vError, 5, kErrorCard));
    EXPECT_EQ(screen->imgUnverified->cornerRadius(), 12);
    EXPECT_EQ(screen->lbError->palette().color(QPalette::WindowText), QColor(0xCD, 0x32, 0x35));
    const QImage button = screen->btnRetakePhoto->grab().toImage();
    EXPECT_EQ(pixelOf(button, {10, button.height() / 4}), QColor(0x0D, 0x6B, 0xC6));
}

TEST_F(Theme, ColoursReachPalettesStyleSheetsAndRenderedPixelsOfScreensMadeAfterwards) {
    auto* before = openRejected();
    const QString ownSheet = before->btnRetakePhoto->styleSheet();

    OVIRATheme theme;
    theme.primaryColor = kMagenta;
    theme.errorColor = QColor(0x8E, 0x24, 0xAA);
    theme.textColor = QColor(0x10, 0x40, 0x20);
    OVIRAFlow::setTheme(theme);
    EXPECT_EQ(before->btnRetakePhoto->styleSheet(), ownSheet) << "a screen already built keeps its look";

    auto* screen = openRejected();
    auto* retake = screen->btnRetakePhoto;
    EXPECT_EQ(retake->palette().color(QPalette::Button), kMagenta);
    EXPECT_TRUE(retake->styleSheet().contains("background: #ffc2185b")) << retake->styleSheet().toStdString();
    EXPECT_EQ(screen->btnGuide->palette().color(QPalette::ButtonText), kMagenta);
    EXPECT_EQ(screen->lbError->palette().color(QPalette::WindowText), theme.errorColor);
    EXPECT_EQ(screen->lbTitle->palette().color(QPalette::WindowText), theme.textColor);

    // On screen: the button's face is magenta, the page around it is not.
    const QImage window = host->grab().toImage();
    const QPoint face = retake->mapTo(host.get(), QPoint(10, retake->height() / 4));
    EXPECT_EQ(pixelOf(window, face), kMagenta);
    const QPoint beside = retake->mapTo(host.get(), QPoint(-6, retake->height() / 2));
    EXPECT_NE(pixelOf(window, beside), kMagenta);
    test::saveScreenshot(host.get(), "theme_photo_error_magenta");

    // The document guide's filled button.
    auto* guide = EKYCGuideCaptureDocumentViewController::show(*host);
    test::settle();
    const QImage guideButton = guide->btnOke->grab().toImage();
    EXPECT_EQ(pixelOf(guideButton, {12, guideButton.height() / 4}), kMagenta);
    EXPECT_NE(EKYCTheme::primaryTint(), QColor(0xEA, 0xF3, 0xFD));
    EXPECT_GT(EKYCTheme::primaryTint().lightness(), 230) << "a pale tint of the primary colour";
}

TEST_F(Theme, AlertButtonsTakeThePrimaryColourAndTheThemesRoundness) {
    OVIRATheme theme;
    theme.primaryColor = kMagenta;
    theme.cornerRadius = 4;
    OVIRAFlow::setTheme(theme);
    host = test::makeHostWindow();
    auto* screen = test::makeScreen<EKYCIntroduceViewController>();
    test::presentFlow(*host, screen);
    screen->didTapClose();
    test::settle();
    auto* alert = test::presentedAlert(screen);
    auto* dialog = test::dialogContent(alert);
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(dialog->actionButtons().isEmpty());
    for (auto* button : dialog->actionButtons()) {
        const QString sheet = button->styleSheet();
        EXPECT_TRUE(sheet.contains(kMagenta.name())) << sheet.toStdString();
        EXPECT_TRUE(sheet.contains("border-radius: 11px")) << "22 × 4 / 8: " << sheet.toStdString();
    }
    test::saveScreenshot(host.get(), "theme_dialog_magenta");
    test::tap(test::dialogButton(alert, localizedText("common.stay")));

    // Rounder than the library's own: the dialog's buttons stay capsules, not beyond.
    theme.cornerRadius = 30;
    OVIRAFlow::setTheme(theme);
    screen->didTapClose();
    test::settle();
    for (auto* button : test::dialogContent(test::presentedAlert(screen))->actionButtons())
        EXPECT_TRUE(button->styleSheet().contains("border-radius: 22px"))
            << button->styleSheet().toStdString();
}

TEST_F(Theme, TheCornerRadiusRoundsButtonsAndCardsOneAndAHalfTimesAsMuch) {
    OVIRATheme theme;
    theme.cornerRadius = 16;
    OVIRAFlow::setTheme(theme);
    auto* screen = openRejected();
    EXPECT_TRUE(screen->btnRetakePhoto->styleSheet().contains("border-radius: 16px"));
    // Cards round by 24 points: the page shows 6 points in along the diagonal, the card 9 points in.
    EXPECT_TRUE(cornersShow(host.get(), screen->vError, 6, Qt::white));
    EXPECT_TRUE(cornersShow(host.get(), screen->vError, 9, kErrorCard));
    EXPECT_EQ(screen->imgUnverified->cornerRadius(), 24);

    auto* introduce = test::makeScreen<EKYCIntroduceViewController>();
    host->dismiss(false);
    test::settle();
    test::presentFlow(*host, introduce);
    EXPECT_TRUE(cornersShow(host.get(), introduce->vSteps, 6, ColorAsset::whiteA().color()));
    EXPECT_TRUE(cornersShow(host.get(), introduce->vSteps, 9, Qt::white));
    const auto rows = test::rowsOf<EKYCIntroduceTableViewCell>(introduce->tableView);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_TRUE(rows[0]->btnDocument->styleSheet().contains("border-radius: 24px"));

    // A sheet's panel rounds its top corners only, as much as buttons: the
    // dimmed page shows 3 points in, the white panel 6 points in and in its bottom corners.
    auto* guide = EKYCGuideCaptureDocumentViewController::show(*introduce);
    test::settle();
    const auto at3 = test::cornerPixels(host.get(), guide->sheetView, 3);
    const auto at6 = test::cornerPixels(host.get(), guide->sheetView, 6);
    const auto at0 = test::cornerPixels(host.get(), guide->sheetView, 0);
    EXPECT_NE(at3[0], QColor(Qt::white));
    EXPECT_NE(at3[1], QColor(Qt::white));
    EXPECT_EQ(at6[0], QColor(Qt::white));
    EXPECT_EQ(at6[1], QColor(Qt::white));
    EXPECT_EQ(at0[2], QColor(Qt::white));
    EXPECT_EQ(at0[3], QColor(Qt::white));
    test::saveScreenshot(host.get(), "theme_round_sheet");

    // Square corners: the button's very corner is painted; in the library's own look it is not.
    const auto cornerOfRetake = [&] {
        auto* rejected = openRejected();
        return test::pixelAt(host.get(), rejected->btnRetakePhoto->mapTo(host.get(), QPoint(0, 0)));
    };
    theme.cornerRadius = 0;
    OVIRAFlow::setTheme(theme);
    EXPECT_EQ(cornerOfRetake(), QColor(0x0D, 0x6B, 0xC6));
    test::saveScreenshot(host.get(), "theme_square_corners");
    OVIRAFlow::setTheme({});
    EXPECT_FALSE(near(cornerOfRetake(), QColor(0x0D, 0x6B, 0xC6), 40)) << "rounded: the corner is background";
}

TEST_F(Theme, TheFontFamilyIsUsedWhenTheSystemHasItAndRobotoOtherwise) {
    const QString family = otherFamily();
    if (family.isEmpty()) GTEST_SKIP() << "no font family besides Roboto on this system";
    OVIRATheme theme;
    theme.fontFamily = family;
    OVIRAFlow::setTheme(theme);
    EXPECT_EQ(QFontInfo(systemFont(15)).family(), family);
    EXPECT_TRUE(QFontInfo(boldSystemFont(15)).bold());
    EXPECT_EQ(systemFont(15).pixelSize(), 15);
    auto* screen = openRejected();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{screen->lbTitle, screen->lbError, screen->btnRetakePhoto})
        EXPECT_EQ(QFontInfo(widget->font()).family(), family) << widget->objectName().toStdString();
    EXPECT_TRUE(QFontInfo(screen->lbTitle->font()).bold());

    theme.fontFamily = "No Such Typeface 12345";
    OVIRAFlow::setTheme(theme);
    EXPECT_EQ(QFontInfo(systemFont(15)).family(), "Roboto");
    screen = openRejected();
    EXPECT_EQ(QFontInfo(screen->lbTitle->font()).family(), "Roboto");
    EXPECT_TRUE(QFontInfo(screen->lbTitle->font()).bold());
}

TEST_F(Theme, UnsoundValuesAreReplacedByTheLibrarysOwn) {
    OVIRATheme theme;
    theme.primaryColor = QColor();  // invalid
    theme.textColor = QColor(0x20, 0x20, 0x20);
    theme.cornerRadius = std::nan("");
    theme.fontFamily = "  ";
    OVIRAFlow::setTheme(theme);
    const OVIRATheme kept = OVIRAFlow::theme();
    EXPECT_EQ(kept.primaryColor, OVIRATheme{}.primaryColor);
    EXPECT_EQ(kept.textColor, QColor(0x20, 0x20, 0x20));
    EXPECT_EQ(kept.cornerRadius, 8);
    EXPECT_EQ(kept.fontFamily, "");
    EXPECT_EQ(ColorAsset::primary().color(), QColor(0x0D, 0x6B, 0xC6));
    EXPECT_EQ(ColorAsset::blackAAA().color(), QColor(0x20, 0x20, 0x20));

    theme.cornerRadius = -5;
    OVIRAFlow::setTheme(theme);
    EXPECT_EQ(OVIRAFlow::theme().cornerRadius, 0);
    EXPECT_EQ(EKYCTheme::radius(12), 0);
    theme.cornerRadius = std::numeric_limits<qreal>::infinity();
    OVIRAFlow::setTheme(theme);
    EXPECT_EQ(OVIRAFlow::theme().cornerRadius, 8);
}

}  // namespace
}  // namespace ovira
