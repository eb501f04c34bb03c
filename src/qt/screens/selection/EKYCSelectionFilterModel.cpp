#include "screens/selection/EKYCSelectionFilterModel.h"

#include "screens/selection/FoldForSearch.h"

namespace ovira {

void EKYCSelectionFilterModel::setKeyword(const QString& keyword) {
    keyword_ = keyword.toStdString();
    invalidateFilter();
}

bool EKYCSelectionFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (keyword_.empty()) return true;
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    return matchesSearch(index.data(Qt::DisplayRole).toString().toStdString(), keyword_);
}

}  // namespace ovira
