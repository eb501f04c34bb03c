#include "ui/lists/EKYCBaseCollectionView.h"

namespace ovira {

QString EKYCBaseCollectionView::description() const {
    return QStringLiteral("<%1: 0x%2; frame = (%3 %4; %5 %6)>")
        .arg(unqualifiedClassName(*metaObject()))
        .arg(reinterpret_cast<quintptr>(this), 0, 16)
        .arg(x())
        .arg(y())
        .arg(width())
        .arg(height());
}

}  // namespace ovira
