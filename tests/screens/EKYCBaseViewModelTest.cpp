// The view-model base: its streams, hooks and end of life.
#include <gtest/gtest.h>

#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {
namespace {

// Records hooks in order; onDeinit checks that the object is still whole.
class RecordingViewModel : public EKYCBaseViewModel {
public:
    explicit RecordingViewModel(std::vector<std::string>* journal) : journal_(journal) {}
    ~RecordingViewModel() override { journal_->push_back("destructor"); }

    void onViewDidLoad() override { journal_->push_back("didLoad"); }
    void onViewWillAppear() override { journal_->push_back("willAppear"); }
    void onDeinit() override {
        journal_->push_back("deinit:" + name_);
        loadingPublisher.send(false);  // streams are still alive here
    }

    PassthroughSubject<int> nextPublisher;

private:
    std::vector<std::string>* journal_;
    std::string name_ = "whole";
};

// onDeinit() runs first, on the whole object, whose streams still publish;
// subscriptions stored in the view model end with it. Events reach only the
// subscribers of the moment.
TEST(BaseViewModel, OnDeinitRunsFirstOnTheWholeObjectAndStoredSubscriptionsEndWithIt) {
    std::vector<std::string> journal;
    std::vector<bool> loading;
    AnyCancellable outside;
    auto source = std::make_shared<PassthroughSubject<int>>();
    int received = 0;
    {
        auto viewModel = makeViewModel<RecordingViewModel>(&journal);
        viewModel->loadingPublisher.send(true);  // nobody listens yet: lost
        outside = viewModel->loadingPublisher.sink([&](bool value) { loading.push_back(value); });
        source->sink([&](int) { ++received; }).store(viewModel->subscriptions);
        source->send(1);
        EXPECT_EQ(source->subscriberCount(), 1u);
        viewModel->onViewDidLoad();
        viewModel->onViewWillAppear();
    }
    EXPECT_EQ(journal, (std::vector<std::string>{"didLoad", "willAppear", "deinit:whole", "destructor"}));
    EXPECT_EQ(loading, std::vector<bool>{false});
    outside.cancel();  // the stream is gone; cancelling is harmless
    source->send(2);
    EXPECT_EQ(received, 1);
    EXPECT_EQ(source->subscriberCount(), 0u);
}

class UnauthorisedProbe : public EKYCBaseViewModel {
public:
    using EKYCBaseViewModel::publishIfUnauthorized;
};

TEST(BaseViewModel, OnlyAnHttp401IsUnauthorised) {
    auto viewModel = makeViewModel<UnauthorisedProbe>();
    std::vector<std::optional<std::string>> messages;
    viewModel->unAuthorizedPublisher.sink([&](const auto& message) { messages.push_back(message); })
        .store(viewModel->subscriptions);

    EXPECT_TRUE(viewModel->publishIfUnauthorized(
        EKYCAPIError(EKYCAPIErrorCode::response, EKYCHTTPStatusCode::unauthorized, "Hết phiên")));
    EXPECT_TRUE(viewModel->publishIfUnauthorized(
        EKYCAPIError(EKYCAPIErrorCode::response, EKYCHTTPStatusCode::unauthorized)));
    // An envelope statusCode 401 over HTTP 200 carries no status: not unauthorised.
    EXPECT_FALSE(viewModel->publishIfUnauthorized(EKYCAPIError(401, std::nullopt, "envelope 401")));
    EXPECT_FALSE(viewModel->publishIfUnauthorized(
        EKYCAPIError(EKYCAPIErrorCode::response, EKYCHTTPStatusCode::forbidden, "cấm")));
    EXPECT_EQ(messages, (std::vector<std::optional<std::string>>{"Hết phiên", std::nullopt}));
}

}  // namespace
}  // namespace ovira
