#pragma once

#include <any>

#include "ui/lists/CollectionViewCell.h"

namespace ovira {

// The library's collection items; each item type overrides configure.
class EKYCBaseCollectionViewCell : public CollectionViewCell {
    Q_OBJECT
public:
    using CollectionViewCell::CollectionViewCell;
    virtual void configure(const std::any& item) { (void)item; }
};

}  // namespace ovira
