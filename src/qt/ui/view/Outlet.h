#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "platform/FatalError.h"
#include "ui/view/Nib.h"

namespace ovira {

// The view named `name` among the owner's descendants, as built from its
// interface description. A missing one is a packaging fault: the library
// stops naming the outlet and the owner.
template <class T>
T* outlet(const QWidget* owner, const char* name) {
    auto* view = owner->findChild<T*>(QString::fromLatin1(name));
    if (!view)
        fatalError(std::string("Missing outlet '") + name + "' of " +
                       unqualifiedClassName(*owner->metaObject()).toStdString(),
                   "Nib");
    return view;
}

}  // namespace ovira
