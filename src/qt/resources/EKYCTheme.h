#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

#include "ovira/qt/OVIRATheme.h"

namespace ovira {

// The look the host chose (OVIRAFlow::setTheme()), read by the screens as
// they are built: colours through ColorAsset, corner radii through
// radius(), the typeface through systemFont(). With the default theme every
// value is the library's own, exactly.
class EKYCTheme {
public:
    // The roundness of the library's own buttons; every other radius of its
    // own look keeps its proportion to it.
    static constexpr qreal ownButtonRadius = 8;

    // Keeps `theme` for screens made from now on, made sound first: an
    // invalid colour is the library's own, a radius that is not a finite
    // number is the library's own and one below zero is zero. Any thread.
    static void set(const OVIRATheme& theme);
    // The theme kept, as made sound. Any thread.
    static OVIRATheme current();

    // The theme's colour for the bundle colour `assetName` ("Primary",
    // "WhiteA", "BlackAAA", "SecondText", "Red", "Disable") when the theme
    // changes it; nothing for a colour the theme leaves alone.
    static std::optional<QColor> color(const QString& assetName);

    // A radius of the library's own look in the theme's roundness: buttons
    // (8) get the theme's radius, cards (12) one and a half times it.
    static qreal radius(qreal ownRadius);
    // The same rounded to whole points, for style sheets.
    static int pixelRadius(qreal ownRadius);

    // The host's typeface when the system has it; empty otherwise. GUI thread.
    static QString availableFontFamily();

    // The pale tint of the primary colour behind a pressed outline button.
    static QColor primaryTint();
};

}  // namespace ovira
