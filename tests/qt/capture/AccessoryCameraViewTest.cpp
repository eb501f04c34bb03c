// The capture controls: the guide box, the buttons' actions and images,
// and the flash rules on document and face screens.
#include <gtest/gtest.h>

#include <QTest>

#include "CameraTestSupport.h"
#include "resources/EKYCImage.h"
#include "resources/Localized.h"

namespace ovira::test {
namespace {

QImage iconImage(const QIcon& icon, int side, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(side, side), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage assetImage(const char* name, int side) {
    return ImageAsset::image(QString::fromLatin1(name))
        .pixmap(QSize(side, side), 1.0)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

struct Controls : WithApplication {
    Controls() {
        view.resize(390, 800);
        view.show();
    }
    void click(std::initializer_list<QPushButton*> buttons) {
        for (auto* button : buttons) QTest::mouseClick(button, Qt::LeftButton);
    }
    // Whether the flash button shows the image asset `name`.
    bool flashShows(const char* name) { return iconImage(view.btnFlash->icon(), 44) == assetImage(name, 44); }
    EKYCAccessoryCameraView view;
};

TEST(AccessoryCameraView, GuideBoxFollowsTheDelegate) {
    Controls untouched;
    EXPECT_TRUE(untouched.view.vGuide->isHidden()) << "no delegate ever set";
    EXPECT_EQ(untouched.view.lbTitle->font().pixelSize(), 24);
    EXPECT_TRUE(untouched.view.lbTitle->font().bold());
    EXPECT_EQ(untouched.view.lbGuide->font().pixelSize(), 15);

    struct Case {
        const char* name;
        bool card;
        std::optional<QString> title;
        const char* guideKey;
    } cases[] = {
        {"document", true, QStringLiteral("Front"), "guide.document"},
        {"face", false, QStringLiteral("Face"), "guide.face"},
        {"no title", true, std::nullopt, "guide.document"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Controls controls;
        RecordingControlsDelegate delegate(c.card, c.title);
        controls.view.setDelegate(&delegate);
        EXPECT_FALSE(controls.view.vGuide->isHidden());
        EXPECT_EQ(controls.view.lbTitle->text(), c.title.value_or(QString()));
        EXPECT_EQ(controls.view.lbGuide->text(), localizedText(c.guideKey));
        EXPECT_NE(controls.view.lbGuide->text(), QString::fromLatin1(c.guideKey)) << "a text, not its key";
    }
}

TEST(AccessoryCameraView, ButtonsReachTheDelegateAndNothingWithoutOne) {
    Controls controls;
    RecordingControlsDelegate delegate(true, QStringLiteral("Front"));
    controls.view.setDelegate(&delegate);
    const auto& view = controls.view;
    controls.click({view.btnGuide, view.btnClose, view.btnCapture, view.btnSwitchCamera, view.btnFlash});
    EXPECT_EQ(delegate.calls, (QStringList{"guide", "close", "capture", "switch", "flash 1"}));

    Controls orphan;
    {
        RecordingControlsDelegate gone(true, std::nullopt);
        orphan.view.setDelegate(&gone);
    }
    EXPECT_EQ(orphan.view.delegate(), nullptr) << "held weakly";
    orphan.click({orphan.view.btnCapture, orphan.view.btnFlash});
    EXPECT_TRUE(orphan.view.isTorchAvailable()) << "the flag flips all the same";
}

TEST(AccessoryCameraView, CaptureButtonHasItsOwnDisabledImage) {
    Controls controls;
    const QIcon icon = controls.view.btnCapture->icon();
    EXPECT_TRUE(controls.view.btnCapture->isEnabled());
    EXPECT_EQ(iconImage(icon, 72), assetImage("ic_capture_enable", 72));
    EXPECT_EQ(iconImage(icon, 72, QIcon::Disabled), assetImage("ic_capture_disable", 72));
    EXPECT_NE(assetImage("ic_capture_enable", 72), assetImage("ic_capture_disable", 72));
}

TEST(AccessoryCameraView, FlashTogglesTheTorchOnDocumentScreensOnly) {
    Controls card;
    RecordingControlsDelegate document(true, std::nullopt);
    card.view.setDelegate(&document);
    EXPECT_TRUE(card.flashShows("ic_flash_off"));
    card.view.toggleFlash();
    EXPECT_TRUE(card.view.isTorchAvailable());
    EXPECT_TRUE(card.flashShows("ic_flash_on"));
    card.view.toggleFlash();
    EXPECT_TRUE(card.flashShows("ic_flash_off"));
    EXPECT_EQ(document.calls, (QStringList{"flash 1", "flash 0"}));

    Controls face;
    RecordingControlsDelegate selfie(false, std::nullopt);
    face.view.setDelegate(&selfie);
    face.view.toggleFlash();
    EXPECT_TRUE(face.view.isTorchAvailable()) << "the flag flips";
    EXPECT_TRUE(selfie.calls.isEmpty()) << "but the face screen has no torch";
    EXPECT_TRUE(face.flashShows("ic_flash_off"));
    EXPECT_TRUE(face.view.btnFlash->isHidden());
}

}  // namespace
}  // namespace ovira::test
