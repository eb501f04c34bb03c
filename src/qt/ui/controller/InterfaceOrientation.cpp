#include "ui/controller/InterfaceOrientation.h"

#include <QGuiApplication>
#include <QScreen>

namespace ovira {

UserInterfaceIdiom currentUserInterfaceIdiom() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return UserInterfaceIdiom::phone;
    const QSize size = screen->size();
    return std::min(size.width(), size.height()) >= 600 ? UserInterfaceIdiom::pad : UserInterfaceIdiom::phone;
}

}  // namespace ovira
