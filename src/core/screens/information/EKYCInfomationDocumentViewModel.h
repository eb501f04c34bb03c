#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/IEKYCRepo.h"
#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {

// The identity data the service read from the photographs, corrected by the
// user and submitted. Service calls run off the main thread; every event
// arrives on the main queue, each call ending with `false` on loadingPublisher.
class EKYCInfomationDocumentViewModel : public EKYCBaseViewModel {
public:
    explicit EKYCInfomationDocumentViewModel(std::shared_ptr<IEKYCRepo> repo = nullptr);

    // The document's name, once it has been fetched.
    PassthroughSubject<std::string> updateDisplay;
    // The form was submitted: the flow closes.
    PassthroughSubject<Void> nextPublisher;
    // After every edit: whether the value just entered is non-empty.
    PassthroughSubject<bool> enableSubmitPublisher;

    std::optional<EKYCIdentityDocument> document;
    std::vector<EKYCInfomationDocument> items;  // what the rows show; follows document->form

    void onViewDidLoad() override { fetchDocument(); }

    void fetchDocument();
    // Records a field's new value; an index outside the form is ignored.
    void updateValue(long index, const std::string& value);
    // Sends the form; on success tells the host's delegate the session's
    // transaction identifier. Without a document nothing is sent.
    void submit();

private:
    std::shared_ptr<IEKYCRepo> repo_;
};

}  // namespace ovira
