#include "screens/confirm/EKYCConfirmViewModel.h"

namespace ovira {

std::vector<EKYCReviewPhotoViewModel> EKYCConfirmViewModel::makeItems() const {
    const bool passport = typeDocument == EkycTypeDocument::passport;
    const std::vector<EKYCStep> steps = passport
                                            ? std::vector{EKYCStep::front, EKYCStep::face}
                                            : std::vector{EKYCStep::front, EKYCStep::back, EKYCStep::face};
    std::vector<EKYCReviewPhotoViewModel> result;
    for (std::size_t i = 0; i < steps.size() && i < images.size(); ++i)
        result.push_back({images[i], typeDocument, steps[i]});
    return result;
}

int EKYCConfirmViewModel::itemIndex(int section, int row) const {
    const int count = static_cast<int>(items.size());
    const int index = section == 0 ? row : (section == 1 ? count - 1 : -1);
    return index >= 0 && index < count ? index : -1;
}

}  // namespace ovira
