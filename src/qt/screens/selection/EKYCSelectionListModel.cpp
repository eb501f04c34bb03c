#include "screens/selection/EKYCSelectionListModel.h"

#include "resources/Localized.h"

namespace ovira {

void EKYCSelectionListModel::setItems(const std::vector<EKYCSelectionItem>& items) {
    beginResetModel();
    items_ = items;
    endResetModel();
}

const EKYCSelectionItem* EKYCSelectionListModel::item(int row) const {
    return row >= 0 && row < static_cast<int>(items_.size()) ? &items_[static_cast<std::size_t>(row)]
                                                             : nullptr;
}

int EKYCSelectionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant EKYCSelectionListModel::data(const QModelIndex& index, int role) const {
    const EKYCSelectionItem* entry = item(index.row());
    if (!entry || index.parent().isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(entry->value);
        case Qt::AccessibleDescriptionRole:
            return entry->isSelected ? accessibleText("a11y.selected") : QString();
        case selectedRole:
            return entry->isSelected;
        default:
            return {};
    }
}

}  // namespace ovira
