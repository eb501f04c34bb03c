#include "resources/FontConvertible.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "platform/FatalError.h"
#include "resources/EKYCTheme.h"
#include "resources/ResourceBundle.h"

namespace ovira {
namespace {

QStringList& registered() {
    static QStringList files;
    return files;
}

// One point is one logical pixel.
int pixelSize(qreal size) {
    return std::max(1, static_cast<int>(std::lround(size)));
}

}  // namespace

FontConvertible::FontConvertible(QString name, QString family, QString fileName)
    : name_(std::move(name)), family_(std::move(family)), fileName_(std::move(fileName)) {}

const FontConvertible& FontConvertible::robotoRegular() {
    static const FontConvertible font("Roboto-Regular", "Roboto", "Roboto-Regular.ttf");
    return font;
}

const FontConvertible& FontConvertible::robotoBold() {
    static const FontConvertible font("Roboto-Bold", "Roboto", "Roboto-Bold.ttf");
    return font;
}

QStringList FontConvertible::registeredFiles() {
    return registered();
}

void FontConvertible::registerIfNeeded() const {
    // The bundle's own file is registered even when the system has a font of
    // the same name, so that the library looks the same on every host.
    if (registered().contains(fileName_)) return;
    QFile file(ResourceBundle::fontPath(fileName_));
    if (!file.open(QIODevice::ReadOnly)) return;  // not in the bundle: the check below decides
    if (QFontDatabase::addApplicationFontFromData(file.readAll()) >= 0) registered().append(fileName_);
}

QFont FontConvertible::font(qreal size) const {
    registerIfNeeded();
    const QString style = name_.section(QLatin1Char('-'), 1);
    if (!QFontDatabase::families().contains(family_) ||
        !QFontDatabase::styles(family_).contains(style.isEmpty() ? QStringLiteral("Regular") : style)) {
        fatalError("Unable to initialize font '" + name_.toStdString() + "' (" + family_.toStdString() + ")",
                   "Fonts");
    }
    QFont font = QFontDatabase::font(family_, style.isEmpty() ? QStringLiteral("Regular") : style, 12);
    font.setPixelSize(pixelSize(size));
    return font;
}

qreal textScale() {
    if (!QGuiApplication::instance()) return 1;
    const QFont application = QGuiApplication::font();
    // The platform's font, whatever the application set since.
    const QFont platform = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    qreal scale = 1;
    if (application.pointSizeF() > 0 && platform.pointSizeF() > 0) {
        scale = application.pointSizeF() / platform.pointSizeF();
    } else {
        // A font sized in pixels: compare what both resolve to.
        const int own = QFontInfo(platform).pixelSize();
        if (own > 0) scale = static_cast<qreal>(QFontInfo(application).pixelSize()) / own;
    }
    if (!std::isfinite(scale)) return 1;
    return std::clamp<qreal>(scale, 1, 3);
}

qreal scaledTextSize(qreal size) {
    return size * textScale();
}

QFont systemFont(qreal designSize, QFont::Weight weight) {
    const qreal size = scaledTextSize(designSize);
    if (const QString family = EKYCTheme::availableFontFamily(); !family.isEmpty()) {
        QFont font(family);
        font.setPixelSize(pixelSize(size));
        font.setWeight(weight);
        return font;
    }
    QFont font = weight >= QFont::DemiBold ? FontConvertible::robotoBold().font(size)
                                           : FontConvertible::robotoRegular().font(size);
    font.setWeight(weight);
    return font;
}

QFont boldSystemFont(qreal size) {
    return systemFont(size, QFont::Bold);
}

}  // namespace ovira
