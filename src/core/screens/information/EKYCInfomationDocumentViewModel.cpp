#include "screens/information/EKYCInfomationDocumentViewModel.h"

#include "api/EKYCRepoImpl.h"
#include "platform/Background.h"
#include "sdk/EKYCFlowReport.h"
#include "sdk/EKYCUserDefault.h"

namespace ovira {

EKYCInfomationDocumentViewModel::EKYCInfomationDocumentViewModel(std::shared_ptr<IEKYCRepo> repo)
    : repo_(repo ? std::move(repo) : std::make_shared<EKYCRepoImpl>()) {}

void EKYCInfomationDocumentViewModel::fetchDocument() {
    runInBackground([self = weakSelf<EKYCInfomationDocumentViewModel>(), repo = repo_]() -> MainQueue::Task {
        std::optional<EKYCIdentityDocument> fetched;
        std::optional<EKYCAPIError> failure;
        try {
            fetched = repo->getInfo();
        } catch (const EKYCAPIError& error) {
            failure = error;
        } catch (...) {
            // Any other failure: the form stays hidden, without a message.
            failure = EKYCAPIError(EKYCAPIErrorCode::unknow);
        }
        return [self, fetched = std::move(fetched), failure] {
            const auto viewModel = self.lock();
            if (!viewModel) return;
            if (fetched) {
                viewModel->document = fetched;
                viewModel->items = fetched->form;
                viewModel->updateDisplay.send(fetched->identityName);
                EKYCFlowReport::shared().recovered();
            } else if (failure) {
                // Without the identity data the form has nothing to show or send:
                // should the user leave now, the host hears why.
                if (!viewModel->publishIfUnauthorized(*failure)) EKYCFlowReport::shared().failed(*failure);
            }
            viewModel->loadingPublisher.send(false);
        };
    });
}

void EKYCInfomationDocumentViewModel::updateValue(long index, const std::string& value) {
    if (index < 0 || index >= static_cast<long>(items.size())) return;
    const auto position = static_cast<std::size_t>(index);
    items[position].fieldValue = value;
    if (document && position < document->form.size()) document->form[position].fieldValue = value;
    enableSubmitPublisher.send(!value.empty());
}

void EKYCInfomationDocumentViewModel::submit() {
    if (!document) {
        loadingPublisher.send(false);
        return;
    }
    runInBackground([self = weakSelf<EKYCInfomationDocumentViewModel>(), repo = repo_,
                     form = document->form]() -> MainQueue::Task {
        bool submitted = false;
        std::optional<EKYCAPIError> failure;
        try {
            repo->submitInfo(form);  // the answer's boolean does not matter, only that it came
            submitted = true;
        } catch (const EKYCAPIError& error) {
            failure = error;
        } catch (...) {
            // Any other failure: the form keeps its values; the user may try again.
        }
        return [self, submitted, failure] {
            const auto viewModel = self.lock();
            if (!viewModel) return;
            if (submitted) {
                // The session is read now: closing the flow clears it.
                EKYCFlowReport::shared().succeeded(EKYCUserDefault::transactionId().value_or(""));
                viewModel->nextPublisher.send(Void{});
            } else if (failure) {
                viewModel->publishIfUnauthorized(*failure);
            }
            viewModel->loadingPublisher.send(false);
        };
    });
}

}  // namespace ovira
