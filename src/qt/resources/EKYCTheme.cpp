#include "resources/EKYCTheme.h"

#include <QFontDatabase>
#include <cmath>
#include <mutex>

namespace ovira {
namespace {

std::mutex& themeMutex() {
    static std::mutex mutex;
    return mutex;
}

OVIRATheme& kept() {
    static OVIRATheme theme;
    return theme;
}

// The theme's colour fields by the bundle colour each one replaces.
struct ColorField {
    const char* assetName;
    QColor OVIRATheme::*field;
};
constexpr ColorField colorFields[] = {
    {"Primary", &OVIRATheme::primaryColor}, {"WhiteA", &OVIRATheme::secondaryColor},
    {"BlackAAA", &OVIRATheme::textColor},   {"SecondText", &OVIRATheme::secondaryTextColor},
    {"Red", &OVIRATheme::errorColor},       {"Disable", &OVIRATheme::disabledColor},
};

}  // namespace

void EKYCTheme::set(const OVIRATheme& theme) {
    const OVIRATheme own;
    OVIRATheme sound = theme;
    for (const auto& [name, field] : colorFields)
        if (!(sound.*field).isValid()) sound.*field = own.*field;
    if (!std::isfinite(sound.cornerRadius)) sound.cornerRadius = own.cornerRadius;
    sound.cornerRadius = std::max<qreal>(0, sound.cornerRadius);
    sound.fontFamily = sound.fontFamily.trimmed();
    std::lock_guard lock(themeMutex());
    kept() = sound;
}

OVIRATheme EKYCTheme::current() {
    std::lock_guard lock(themeMutex());
    return kept();
}

std::optional<QColor> EKYCTheme::color(const QString& assetName) {
    static const OVIRATheme own;
    for (const auto& [name, field] : colorFields) {
        if (assetName != QLatin1String(name)) continue;
        std::lock_guard lock(themeMutex());
        // A colour left as it is keeps the bundle's own.
        if (kept().*field == own.*field) return std::nullopt;
        return kept().*field;
    }
    return std::nullopt;
}

qreal EKYCTheme::radius(qreal ownRadius) {
    std::lock_guard lock(themeMutex());
    return ownRadius * kept().cornerRadius / ownButtonRadius;
}

int EKYCTheme::pixelRadius(qreal ownRadius) {
    return static_cast<int>(std::lround(radius(ownRadius)));
}

QString EKYCTheme::availableFontFamily() {
    const QString family = current().fontFamily;
    if (family.isEmpty()) return {};
    const QStringList families = QFontDatabase::families();
    const auto known = std::find_if(families.begin(), families.end(), [&](const QString& candidate) {
        return candidate.compare(family, Qt::CaseInsensitive) == 0;
    });
    return known == families.end() ? QString() : *known;
}

QColor EKYCTheme::primaryTint() {
    const auto primary = color(QStringLiteral("Primary"));
    if (!primary) return QColor(0xEA, 0xF3, 0xFD);
    // About a tenth of the primary colour over white.
    const auto mix = [](int channel) { return 255 - (255 - channel) * 9 / 100; };
    return QColor(mix(primary->red()), mix(primary->green()), mix(primary->blue()));
}

}  // namespace ovira
