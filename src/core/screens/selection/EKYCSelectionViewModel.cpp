#include "screens/selection/EKYCSelectionViewModel.h"

#include <cmath>

#include "api/EKYCGender.h"
#include "api/EKYCRepoImpl.h"
#include "platform/Background.h"
#include "resources/EKYCTranslationService.h"
#include "screens/selection/FoldForSearch.h"

namespace ovira {

EKYCSelectionViewModel::EKYCSelectionViewModel(std::string selected) : selectedItem(std::move(selected)) {}

void EKYCSelectionViewModel::loadItems() {
    reloadPublisher.send(Void{});
}

void EKYCSelectionViewModel::onViewDidLoad() {
    loadItems();
    filterItems = items;
}

void EKYCSelectionViewModel::search(const std::string& keyword) {
    keyword_ = keyword;
    if (keyword.empty()) {
        filterItems = items;
    } else {
        filterItems.clear();
        for (const auto& item : items)
            if (matchesSearch(item.value, keyword)) filterItems.push_back(item);
    }
    reloadPublisher.send(Void{});
}

double EKYCSelectionViewModel::listHeight(double screenHeight) const {
    return listHeight(screenHeight, rowHeight, headerHeight, searchHeight);
}

double EKYCSelectionViewModel::listHeight(double screenHeight, double row, double header, double search) const {
    if (!(row > 0)) return 0;
    const double wanted = visibleRowCount() * row;
    const double available = 0.9 * screenHeight - header - search;
    if (wanted <= available) return wanted;
    return std::max(0.0, std::trunc(available / row)) * row;
}

void EKYCSelectionViewModel::setValues(const std::vector<std::string>& values) {
    items.clear();
    for (const auto& value : values) items.push_back({value, value == selectedItem});
    search(keyword_);
}

EKYCLocationSelectionViewModel::EKYCLocationSelectionViewModel(std::string selected,
                                                               std::shared_ptr<IEKYCRepo> repo,
                                                               bool nationalities)
    : EKYCSelectionViewModel(std::move(selected)),
      repo_(repo ? std::move(repo) : std::make_shared<EKYCRepoImpl>()),
      nationalities_(nationalities) {}

void EKYCLocationSelectionViewModel::loadItems() {
    runInBackground([self = weakSelf<EKYCLocationSelectionViewModel>(), repo = repo_,
                     nationalities = nationalities_]() -> MainQueue::Task {
        std::vector<std::string> names;
        std::optional<EKYCAPIError> failure;
        try {
            for (const auto& location : nationalities ? repo->listNational() : repo->listCountry())
                names.push_back(location.name);
        } catch (const EKYCAPIError& error) {
            failure = error;
        } catch (...) {
            // Any other failure shows an empty list, without a message.
        }
        return [self, names = std::move(names), failure] {
            const auto viewModel = self.lock();
            if (!viewModel) return;
            if (failure) viewModel->publishIfUnauthorized(*failure);
            viewModel->setValues(names);
            viewModel->loadingPublisher.send(false);
        };
    });
}

std::string SelectionCountryViewModel::title() const {
    return localized("info.choose_country");
}
std::string SelectionNationalViewModel::title() const {
    return localized("info.choose_national");
}
std::string SelectionGenderViewModel::title() const {
    return localized("info.choose_gender");
}

void SelectionGenderViewModel::loadItems() {
    std::vector<std::string> values;
    for (const auto gender : kAllGenders) values.emplace_back(text(gender));
    setValues(values);
}

}  // namespace ovira
