#pragma once

#include <string>

namespace ovira {

// One entry of a selection list.
struct EKYCSelectionItem {
    std::string value;
    bool isSelected = false;  // the field's current value, or just picked

    friend bool operator==(const EKYCSelectionItem&, const EKYCSelectionItem&) = default;
};

}  // namespace ovira
