// The form and the lists against the development service: calls run off the
// main thread, results arrive on it in order, and a closed screen gets nothing.
#include <gtest/gtest.h>

#include "LibraryServiceTest.h"
#include "ovira/OVIRA.h"
#include "ovira/OVIRADelegate.h"
#include "screens/information/EKYCInfomationDocumentViewModel.h"
#include "screens/selection/EKYCSelectionViewModel.h"
#include "sdk/EKYCUserDefault.h"
#include "support/MainLoop.h"

namespace ovira {
namespace {

namespace dev = devserver;
using Events = std::vector<std::string>;

struct Host : OVIRADelegate {
    std::vector<std::string> sessions;
    void didEKYCSuccessWithSessionId(const std::string& sessionId) override { sessions.push_back(sessionId); }
};

class ServiceScreens : public dev::test::LibraryServiceTest {
protected:
    void SetUp() override {
        LibraryServiceTest::SetUp();
        OVIRA::instance().setDelegate(host);
    }

    // A form whose session has had its photographs accepted, recording its events.
    std::shared_ptr<EKYCInfomationDocumentViewModel> openForm() {
        dev::test::acceptIdentityCard(*server, EKYCUserDefault::transactionId().value());
        auto form = makeViewModel<EKYCInfomationDocumentViewModel>();
        auto& subs = form->subscriptions;
        subs.push_back(form->updateDisplay.sink(
            [this](const std::string& name) { events.push_back("display " + name); }));
        subs.push_back(form->nextPublisher.sink([this](Void) { events.push_back("next"); }));
        subs.push_back(
            form->loadingPublisher.sink([this](bool on) { events.push_back(on ? "loading" : "loaded"); }));
        subs.push_back(
            form->unAuthorizedPublisher.sink([this](const auto&) { events.push_back("unauthorized"); }));
        return form;
    }
    bool seen(const std::string& event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    test::MainLoop mainLoop;
    std::shared_ptr<Host> host = std::make_shared<Host>();
    Events events;
};

TEST_F(ServiceScreens, TheFormIsFetchedCorrectedAndSubmittedAndTheHostHearsOfIt) {
    auto form = openForm();
    form->onViewDidLoad();
    EXPECT_TRUE(events.empty()) << "the fetch must not block the main thread";
    ASSERT_TRUE(mainLoop.runUntil([&] { return seen("loaded"); }));
    ASSERT_TRUE(form->document);
    EXPECT_EQ(events, (Events{"display " + form->document->identityName, "loaded"}));
    ASSERT_FALSE(form->items.empty());
    EXPECT_EQ(form->items, form->document->form);

    const auto editable = std::find_if(form->items.begin(), form->items.end(), [](const auto& field) {
        return field.editable && field.fieldType == EKYCInfomationDocument::FieldType::string;
    });
    ASSERT_NE(editable, form->items.end());
    form->updateValue(editable - form->items.begin(), "NGUYỄN VĂN BÌNH");
    events.clear();
    form->submit();
    ASSERT_TRUE(mainLoop.runUntil([&] { return seen("loaded"); }));
    EXPECT_EQ(events, (Events{"next", "loaded"}));
    EXPECT_EQ(host->sessions, std::vector{EKYCUserDefault::transactionId().value()});
    const auto submitted = server->submissions().back().dump();
    EXPECT_NE(submitted.find("NGUYỄN VĂN BÌNH"), std::string::npos) << "the correction reached the service";
}

TEST_F(ServiceScreens, Http401OnFetchOnlyEndsTheSessionAndAClosedScreenHearsNothing) {
    auto form = openForm();
    dev::Fault expired;
    expired.path = "/getInfo";
    expired.httpStatus = 401;
    server->setFault(expired);
    form->fetchDocument();
    ASSERT_TRUE(mainLoop.runUntil([&] { return seen("loaded"); }));
    EXPECT_EQ(events, (Events{"unauthorized", "loaded"}));
    EXPECT_FALSE(form->document);

    server->clearFaults();
    events.clear();
    form->fetchDocument();
    form.reset();  // the screen went away while the service was answering
    mainLoop.runUntil([] { return false; }, std::chrono::milliseconds(1500));
    EXPECT_TRUE(events.empty());
}

TEST_F(ServiceScreens, CountriesLoadOffTheMainThreadAndAreFoundWithoutMarks) {
    auto countries = makeViewModel<SelectionCountryViewModel>("Việt Nam");
    bool reloaded = false, loaded = false;
    countries->subscriptions.push_back(countries->reloadPublisher.sink([&](Void) { reloaded = true; }));
    countries->subscriptions.push_back(countries->loadingPublisher.sink([&](bool on) { loaded = !on; }));
    countries->onViewDidLoad();
    EXPECT_TRUE(countries->items.empty());
    ASSERT_TRUE(mainLoop.runUntil([&] { return loaded; }));
    EXPECT_TRUE(reloaded);
    ASSERT_GT(countries->filterItems.size(), 100u);
    EXPECT_EQ(countries->filterItems, countries->items);

    countries->search("viet");
    ASSERT_FALSE(countries->filterItems.empty());
    EXPECT_TRUE(std::any_of(
        countries->filterItems.begin(), countries->filterItems.end(),
        [](const EKYCSelectionItem& item) { return item.value == "Việt Nam" && item.isSelected; }));
    countries->search("zzzz");
    EXPECT_TRUE(countries->filterItems.empty());

    auto nationalities = makeViewModel<SelectionNationalViewModel>("");
    bool ended = false;
    nationalities->subscriptions.push_back(nationalities->loadingPublisher.sink([&](bool) { ended = true; }));
    dev::Fault expired;
    expired.httpStatus = 401;
    server->setFault(expired);
    bool unauthorized = false;
    nationalities->subscriptions.push_back(
        nationalities->unAuthorizedPublisher.sink([&](const auto&) { unauthorized = true; }));
    nationalities->onViewDidLoad();
    ASSERT_TRUE(mainLoop.runUntil([&] { return ended; }));
    EXPECT_TRUE(unauthorized);
    EXPECT_TRUE(nationalities->items.empty());
}

}  // namespace
}  // namespace ovira
