#pragma once

#include <QColor>
#include <QString>
#include <mutex>

namespace ovira {

// A named colour of the library's resource bundle. One shared instance per
// name; the bundle's colour is resolved on first use and kept, and the
// host's theme (EKYCTheme) replaces it from the moment it is set.
class ColorAsset {
public:
    static const ColorAsset& blackAAA();
    static const ColorAsset& disable();
    static const ColorAsset& primary();
    static const ColorAsset& red();
    static const ColorAsset& secondText();
    static const ColorAsset& whiteA();

    // The shared instance for any name (thread-safe).
    static const ColorAsset& named(const QString& name);

    const QString& name() const { return name_; }
    // The theme's colour for this name, else the bundle's. Stops the library
    // with "Unable to load color asset named <name>." when the bundle has no
    // such colour.
    QColor color() const;

    explicit ColorAsset(QString name) : name_(std::move(name)) {}
    ColorAsset(const ColorAsset&) = delete;
    ColorAsset& operator=(const ColorAsset&) = delete;

private:
    QString name_;
    mutable std::once_flag resolved_;
    mutable QColor color_;
};

}  // namespace ovira
