#pragma once

#include <QColor>
#include <QString>

namespace ovira {

/// The flow's look: its colours, the roundness of its buttons and cards, and
/// its typeface. A default-constructed theme is the library's own look.
/// Set it with OVIRAFlow::setTheme() before the flow is shown; screens built
/// afterwards take it. Pictures (icons, illustrations, the bar's backdrop)
/// keep their own colours.
///
/// Unsound values are replaced when the theme is set: an invalid colour by
/// the library's own, a corner radius that is not a finite number by 8 and
/// one below zero by 0, a family of blanks by none.
struct OVIRATheme {
    /// Buttons, selected rows, links, the capture window's accents.
    QColor primaryColor{0x0F, 0x80, 0xEC};
    /// The light surfaces behind lists and cards, and text on primary buttons.
    QColor secondaryColor{0xF4, 0xF6, 0xFA};
    /// Titles and body text.
    QColor textColor{0x1C, 0x1F, 0x26};
    /// Hints, captions and other quieter text.
    QColor secondaryTextColor{0x6B, 0x72, 0x80};
    /// Messages about errors (a refused photograph).
    QColor errorColor{0xE5, 0x38, 0x3B};
    /// Buttons that cannot be used yet.
    QColor disabledColor{0xB8, 0xBE, 0xC9};
    /// The corner radius of buttons, in points; cards and panels are 1.5
    /// times as round, and every other rounded surface keeps its proportion
    /// to the buttons of the library's own look. Zero gives square corners.
    /// Dialog buttons, capsules in the library's own look, get squarer with
    /// a smaller radius but no rounder than a capsule.
    qreal cornerRadius = 8;
    /// The typeface of every text. Empty: Roboto, which ships with the
    /// library. A family the system does not have falls back to Roboto.
    QString fontFamily;

    /// Whether every member is the same.
    friend bool operator==(const OVIRATheme&, const OVIRATheme&) = default;
};

}  // namespace ovira
