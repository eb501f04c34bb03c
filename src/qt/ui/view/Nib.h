#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/FatalError.h"

namespace ovira {

// Interface descriptions (.ui files of the resource bundle, compiled in),
// found by name: a screen or cell named like its class loads the
// description of that name onto itself, and finds its outlets by object
// name.
class Nib {
public:
    using Setup = std::function<void(QWidget* owner)>;

    static bool exists(const QString& name);
    // Builds the description's widgets onto `owner` and applies their view
    // properties. Returns false when there is no such description.
    static bool instantiate(const QString& name, QWidget* owner);
    // Adds a description (the library's own are built in; hosts and tests
    // may add theirs). GUI thread.
    static void registerNib(const QString& name, Setup setup);

    Nib() = delete;
};

// The class name without namespaces: "ovira::QXAlertViewController" →
// "QXAlertViewController".
QString unqualifiedClassName(const QMetaObject& metaObject);

// A new T built from the description named like T. Stops the library with
// "Can not load nib with name '<T>'" when there is none.
template <class T>
T* loadFromNib() {
    const QString name = unqualifiedClassName(T::staticMetaObject);
    if (!Nib::exists(name))
        fatalError("Can not load nib with name '" + name.toStdString() + "'", "UIView+Exts");
    auto* view = new T;
    Nib::instantiate(name, view);
    return view;
}

}  // namespace ovira
