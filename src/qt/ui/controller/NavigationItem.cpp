#include "ui/controller/NavigationItem.h"

namespace ovira {

void NavigationItem::setTitle(const QString& title) {
    title_ = title;
    Q_EMIT changed();
}

void NavigationItem::setLeftBarButtonItem(std::optional<BarButtonItem> item) {
    left_ = std::move(item);
    Q_EMIT changed();
}

void NavigationItem::setBackButtonTitle(std::optional<QString> title) {
    backTitle_ = std::move(title);
    Q_EMIT changed();
}

}  // namespace ovira
