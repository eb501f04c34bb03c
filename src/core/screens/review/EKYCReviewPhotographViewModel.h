#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "screens/base/EKYCBaseViewModel.h"
#include "screens/review/EKYCReviewPhotoViewModel.h"

namespace ovira {

// Pages through the accepted photographs, wrapping at both ends.
class EKYCReviewPhotographViewModel : public EKYCBaseViewModel {
public:
    EKYCReviewPhotographViewModel(int currentIndex, std::vector<EKYCReviewPhotoViewModel> items);

    // The photograph now shown and its title (absent when there is none).
    PassthroughSubject<std::pair<int, std::optional<std::string>>> nextItemPublisher;
    int currentIndex;
    const std::vector<EKYCReviewPhotoViewModel> items;

    void nextItem();
    void previousItem();
    // The title of the current photograph; absent for an index outside the list.
    std::optional<std::string> currentTitle() const;
};

}  // namespace ovira
