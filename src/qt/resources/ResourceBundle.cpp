#include "resources/ResourceBundle.h"

#include <QtCore/qglobal.h>

#include <mutex>

// Q_INIT_RESOURCE may not be used inside a namespace. The resources live in
// a static library, so they must be pulled in explicitly.
static void initOviraResources() {
    Q_INIT_RESOURCE(ovira);
    Q_INIT_RESOURCE(ovira_fonts);
}

namespace ovira {

void ResourceBundle::load() {
    static std::once_flag once;
    std::call_once(once, initOviraResources);
}

QString ResourceBundle::colorsPath() {
    load();
    return QStringLiteral(":/ovira/colors.json");
}

QString ResourceBundle::imagePath(const QString& name) {
    load();
    return QStringLiteral(":/ovira/images/%1.svg").arg(name);
}

QString ResourceBundle::fontPath(const QString& fileName) {
    load();
    return QStringLiteral(":/ovira/fonts/") + fileName;
}

}  // namespace ovira
