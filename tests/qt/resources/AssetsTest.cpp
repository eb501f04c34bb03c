// The library's colours, images and fonts, and their fatal messages.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include "resources/ColorAsset.h"
#include "resources/EKYCImage.h"
#include "resources/FontConvertible.h"
#include "resources/HexColor.h"
#include "support/QtTestSupport.h"

namespace ovira {
namespace {

const QStringList kImageNames = {
    "bg_nav",      "ic_back",          "ic_close",          "ic_disconnect",       "ic_idCard",
    "ic_passport", "ic_licenseDriver", "img_sun",           "img_person_ glasses", "img_person_face_mask",
    "ic_verify",   "ic_ unverified",   "ic_arrow_down",     "ic_calendar",         "ic_edit",
    "ic_flash_on", "ic_flash_off",     "ic_capture_enable", "ic_capture_disable"};

// How many pixels of the image are not fully transparent.
int paintedPixels(const QImage& image) {
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
    return painted;
}

TEST(ColorAsset, EveryNamedColourResolvesOnceAndAMissingOneIsFatal) {
    const struct {
        const ColorAsset& asset;
        const char* name;
        QColor expected;
    } cases[] = {
        {ColorAsset::blackAAA(), "BlackAAA", QColor(0x1C, 0x1F, 0x26)},
        {ColorAsset::disable(), "Disable", QColor(0xB8, 0xBE, 0xC9)},
        {ColorAsset::primary(), "Primary", QColor(0x0D, 0x6B, 0xC6)},
        {ColorAsset::red(), "Red", QColor(0xCD, 0x32, 0x35)},
        {ColorAsset::secondText(), "SecondText", QColor(0x68, 0x6F, 0x7D)},
        {ColorAsset::whiteA(), "WhiteA", QColor(0xF4, 0xF6, 0xFA)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.asset.name(), c.name);
        EXPECT_EQ(c.asset.color(), c.expected) << c.name;
        EXPECT_EQ(&ColorAsset::named(c.name), &c.asset) << "one shared instance per name";
    }
    const auto report = test::fatalReportOf([] { ColorAsset::named("Primary ").color(); });
    EXPECT_EQ(report.message, "Unable to load color asset named Primary .");
    EXPECT_EQ(report.source, "Colors");
}

TEST(ImageAsset, EveryImageLoadsByItsExactNameAndDrawsCrisplyAtAnyDensity) {
    for (const QString& name : kImageNames) {
        const EKYCImage image = ImageAsset::image(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_GE(image.size().width(), 20) << name.toStdString();
        // Drawn at three times the density, the artwork has three times the pixels, all of them painted from
        // vectors.
        const QPixmap dense = image.pixmap(QSize(24, 24), 3);
        EXPECT_EQ(dense.size(), QSize(72, 72));
        EXPECT_EQ(dense.devicePixelRatio(), 3);
        EXPECT_GT(paintedPixels(dense.toImage()), 72 * 72 / 20) << name.toStdString();
        EXPECT_FALSE(image.icon().pixmap(QSize(24, 24), 2.0).isNull());
    }
    // The names with a space are looked up with the space, and only so.
    for (const char* missing : {"ic_unverified", "img_person_glasses", "ic_Back"}) {
        const auto report = test::fatalReportOf([&] { ImageAsset::image(missing); });
        EXPECT_EQ(report.message, std::string("Unable to load image asset named ") + missing + ".");
        EXPECT_EQ(report.source, "Images");
    }
}

TEST(FontConvertible, RegistersItsFileOnceAndGivesRobotoAtThePointSize) {
    const QFont bold = FontConvertible::robotoBold().font(16);
    const QFont boldAgain = FontConvertible::robotoBold().font(20);
    const QFont regular = FontConvertible::robotoRegular().font(16);
    const QStringList files = FontConvertible::registeredFiles();
    EXPECT_EQ(files.count("Roboto-Bold.ttf"), 1);
    EXPECT_EQ(files.count("Roboto-Regular.ttf"), 1);
    EXPECT_EQ(QFontInfo(bold).family(), "Roboto");
    EXPECT_EQ(QFontInfo(regular).family(), "Roboto");
    EXPECT_TRUE(QFontInfo(bold).bold());
    EXPECT_FALSE(QFontInfo(regular).bold());
    EXPECT_EQ(bold.pixelSize(), 16);
    EXPECT_EQ(boldAgain.pixelSize(), 20);

    const auto report =
        test::fatalReportOf([] { FontConvertible("Nope-Regular", "Nope", "Nope.ttf").font(12); });
    EXPECT_EQ(report.message, "Unable to initialize font 'Nope-Regular' (Nope)");
    EXPECT_EQ(report.source, "Fonts");
}

TEST(HexColor, ReadsTheDigitsLikeAScanner) {
    const struct {
        const char16_t* text;
        QColor expected;
    } cases[] = {
        {u"0088FF", QColor(0, 0x88, 0xFF)},
        {u"#0088FF", QColor(0, 0x88, 0xFF)},
        {u"##00#88FF", QColor(0, 0x88, 0xFF)},
        {u"cbcbcb", QColor(0xCB, 0xCB, 0xCB)},
        {u"0x0F80EC", QColor(15, 128, 236)},
        {u"  E9ECF7", QColor(0xE9, 0xEC, 0xF7)},
        {u"FF", QColor(0, 0, 0xFF)},
        {u"12FFxx", QColor(0, 0x12, 0xFF)},
        {u"zz", QColor(Qt::black)},
        {u"", QColor(Qt::black)},
        {u"80FF0000", QColor(0xFF, 0, 0)},
    };
    for (const auto& c : cases) {
        const QColor color = colorFromHex(QStringView(c.text));
        EXPECT_EQ(color, c.expected) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(color.alpha(), 255);
    }
    EXPECT_EQ(hexColorValue(u"FFFFFFFFFFFFFFFFFF"), ~std::uint64_t{0}) << "too many digits saturate";
}

}  // namespace
}  // namespace ovira
