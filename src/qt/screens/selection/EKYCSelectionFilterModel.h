#pragma once

#include <QSortFilterProxyModel>
#include <string>

namespace ovira {

// The entries of a selection list that contain the search keyword, compared
// folded (no case, no marks, "đ" as "d"); every entry for an empty keyword.
class EKYCSelectionFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setKeyword(const QString& keyword);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::string keyword_;
};

}  // namespace ovira
