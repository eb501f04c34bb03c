#include "ui/view/AccessibleStatus.h"

#include <QAccessible>

#include "ui/view/AccessibleInterfaces.h"

namespace ovira {

AccessibleStatus::AccessibleStatus(QWidget* parent) : QWidget(parent) {
    installAccessibleInterfaces();
}

bool AccessibleStatus::announce(const QString& status, const QString& detail) {
    if (status == status_ && detail == detail_) return false;
    const bool detailChanged = detail != detail_;
    status_ = status;
    detail_ = detail;
    if (detailChanged) {
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
    // The name last: readers speak the new name with the new description.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    return true;
}

void AccessibleStatus::clear() {
    status_.clear();
    detail_.clear();
}

}  // namespace ovira
