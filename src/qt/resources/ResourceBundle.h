#pragma once

#include <QString>

namespace ovira {

// The library's own resource bundle, compiled into ovira: colour and image
// assets, the Roboto fonts. Never the host application's resources.
class ResourceBundle {
public:
    // Makes the compiled resources reachable; once per process, thread-safe.
    // Every lookup below calls it.
    static void load();

    static QString colorsPath();                       // ":/ovira/colors.json"
    static QString imagePath(const QString& name);     // ":/ovira/images/<name>.svg"
    static QString fontPath(const QString& fileName);  // ":/ovira/fonts/<file>"

    ResourceBundle() = delete;
};

}  // namespace ovira
