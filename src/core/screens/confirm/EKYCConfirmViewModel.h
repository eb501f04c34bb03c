#pragma once

#include <string>
#include <vector>

#include "capture/EKYCBaseDetectionViewModel.h"
#include "screens/base/EKYCBaseViewModel.h"
#include "screens/review/EKYCReviewPhotoViewModel.h"

namespace ovira {

// The accepted photographs in two groups: the document's, then the face.
class EKYCConfirmViewModel : public EKYCBaseViewModel {
public:
    EKYCConfirmViewModel(EkycTypeDocument type, EKYCImages accepted)
        : typeDocument(type), images(std::move(accepted)) {}

    const EkycTypeDocument typeDocument;
    const EKYCImages images;
    std::vector<EKYCReviewPhotoViewModel> items;

    void onViewDidLoad() override { items = makeItems(); }
    // Front (or passport page), back where the document has one, then face.
    // Photographs missing from `images` are left out rather than invented.
    std::vector<EKYCReviewPhotoViewModel> makeItems() const;

    // Rows of the document group (1 for a passport, 2 otherwise) and its header key.
    int documentRowCount() const { return typeDocument == EkycTypeDocument::passport ? 1 : 2; }
    const char* documentHeaderKey() const {
        return items.size() < 3 ? "verify.passport" : "verify.image_document";
    }
    // The index in `items` of the photograph at a row of a group; -1 when there is none.
    int itemIndex(int section, int row) const;
};

}  // namespace ovira
