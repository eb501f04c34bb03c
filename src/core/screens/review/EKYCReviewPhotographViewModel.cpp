#include "screens/review/EKYCReviewPhotographViewModel.h"

#include "resources/EKYCTranslationService.h"

namespace ovira {

const char* photographTitleKey(EKYCStep step, EkycTypeDocument type) {
    switch (step) {
        case EKYCStep::front:
            return type == EkycTypeDocument::passport ? "review.passport" : "review.front";
        case EKYCStep::back:
            return "review.back";
        case EKYCStep::face:
            return "capture.face";
    }
    return "review.front";
}

std::string EKYCReviewPhotoViewModel::title() const {
    return localized(photographTitleKey(step, type));
}

EKYCReviewPhotographViewModel::EKYCReviewPhotographViewModel(int index,
                                                             std::vector<EKYCReviewPhotoViewModel> photos)
    : currentIndex(index), items(std::move(photos)) {}

std::optional<std::string> EKYCReviewPhotographViewModel::currentTitle() const {
    if (currentIndex < 0 || currentIndex >= static_cast<int>(items.size())) return std::nullopt;
    return items[static_cast<std::size_t>(currentIndex)].title();
}

void EKYCReviewPhotographViewModel::nextItem() {
    ++currentIndex;
    if (currentIndex >= static_cast<int>(items.size())) currentIndex = 0;
    nextItemPublisher.send({currentIndex, currentTitle()});
}

void EKYCReviewPhotographViewModel::previousItem() {
    --currentIndex;
    if (currentIndex < 0) currentIndex = static_cast<int>(items.size()) - 1;
    nextItemPublisher.send({currentIndex, currentTitle()});
}

}  // namespace ovira
