#include "resources/ColorAsset.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>
#include <memory>

#include "platform/FatalError.h"
#include "resources/EKYCTheme.h"
#include "resources/HexColor.h"
#include "resources/ResourceBundle.h"

namespace ovira {
namespace {

// The bundle's colour catalogue: name → "#RRGGBB", read once.
const QHash<QString, QColor>& catalogue() {
    static const QHash<QString, QColor> colors = [] {
        QHash<QString, QColor> result;
        QFile file(ResourceBundle::colorsPath());
        if (!file.open(QIODevice::ReadOnly)) return result;
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        for (auto it = object.begin(); it != object.end(); ++it)
            if (it.value().isString()) result.insert(it.key(), colorFromHex(it.value().toString()));
        return result;
    }();
    return colors;
}

}  // namespace

const ColorAsset& ColorAsset::named(const QString& name) {
    static std::mutex mutex;
    static std::map<QString, std::unique_ptr<ColorAsset>> assets;
    std::lock_guard lock(mutex);
    auto& asset = assets[name];
    if (!asset) asset = std::make_unique<ColorAsset>(name);
    return *asset;
}

const ColorAsset& ColorAsset::blackAAA() {
    return named(QStringLiteral("BlackAAA"));
}
const ColorAsset& ColorAsset::disable() {
    return named(QStringLiteral("Disable"));
}
const ColorAsset& ColorAsset::primary() {
    return named(QStringLiteral("Primary"));
}
const ColorAsset& ColorAsset::red() {
    return named(QStringLiteral("Red"));
}
const ColorAsset& ColorAsset::secondText() {
    return named(QStringLiteral("SecondText"));
}
const ColorAsset& ColorAsset::whiteA() {
    return named(QStringLiteral("WhiteA"));
}

QColor ColorAsset::color() const {
    std::call_once(resolved_, [this] {
        const auto& colors = catalogue();
        const auto it = colors.find(name_);
        if (it == colors.end())
            fatalError("Unable to load color asset named " + name_.toStdString() + ".", "Colors");
        color_ = *it;
    });
    // The host's theme wins over the bundle, for whatever is built after it was set.
    return EKYCTheme::color(name_).value_or(color_);
}

}  // namespace ovira
