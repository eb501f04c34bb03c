#pragma once

#include <QAbstractListModel>
#include <QList>
#include <vector>

#include "screens/selection/EKYCSelectionItem.h"

namespace ovira {

// The entries of a selection list as a Qt model: the value as its display
// and accessible text, and whether it is the field's current value.
class EKYCSelectionListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int selectedRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    void setItems(const std::vector<EKYCSelectionItem>& items);
    const EKYCSelectionItem* item(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<EKYCSelectionItem> items_;
};

}  // namespace ovira
