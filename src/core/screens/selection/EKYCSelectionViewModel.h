#pragma once

#include <memory>
#include <string>
#include <vector>

#include "api/IEKYCRepo.h"
#include "screens/base/EKYCBaseViewModel.h"
#include "screens/selection/EKYCSelectionItem.h"

namespace ovira {

// A list to pick a field's value from, with a search over it. Events arrive
// on the main queue.
class EKYCSelectionViewModel : public EKYCBaseViewModel {
public:
    static constexpr double rowHeight = 56;
    static constexpr double headerHeight = 70;
    static constexpr double searchHeight = 52;

    explicit EKYCSelectionViewModel(std::string current);

    // The shown entries may have changed.
    PassthroughSubject<Void> reloadPublisher;
    std::vector<EKYCSelectionItem> items;
    std::vector<EKYCSelectionItem> filterItems;
    const std::string selectedItem;

    virtual std::string title() const { return {}; }
    virtual int visibleRowCount() const { return 6; }
    virtual bool isSearchHidden() const { return false; }
    virtual void loadItems();
    // Whether loadItems() finishes later, with `false` on loadingPublisher;
    // the screen shows its loading overlay meanwhile.
    virtual bool loadsInBackground() const { return false; }

    void onViewDidLoad() override;
    // Keeps the entries that contain the keyword (folded, any case); all for an empty one.
    void search(const std::string& keyword);

    // The list's height: the visible rows, or as many whole rows as fit in
    // 90% of the screen under the header and the search bar.
    double listHeight(double screenHeight) const;
    // The same for a row, header and search bar of the heights the screen
    // gives them (larger text makes them taller than the design's).
    double listHeight(double screenHeight, double row, double header, double search) const;

protected:
    // Fills the list with `values`, marking the current value, and shows it
    // under the current keyword.
    void setValues(const std::vector<std::string>& values);

private:
    std::string keyword_;
};

// Countries or nationalities from the service. Loading runs off the main
// thread; the list arrives on the main queue with `false` on loadingPublisher.
class EKYCLocationSelectionViewModel : public EKYCSelectionViewModel {
public:
    void loadItems() override;
    bool loadsInBackground() const override { return true; }

protected:
    EKYCLocationSelectionViewModel(std::string selectedItem, std::shared_ptr<IEKYCRepo> repo,
                                   bool nationalities);

private:
    std::shared_ptr<IEKYCRepo> repo_;
    bool nationalities_;
};

class SelectionCountryViewModel : public EKYCLocationSelectionViewModel {
public:
    explicit SelectionCountryViewModel(std::string current, std::shared_ptr<IEKYCRepo> repo = nullptr)
        : EKYCLocationSelectionViewModel(std::move(current), std::move(repo), false) {}
    std::string title() const override;
};

class SelectionNationalViewModel : public EKYCLocationSelectionViewModel {
public:
    explicit SelectionNationalViewModel(std::string current, std::shared_ptr<IEKYCRepo> repo = nullptr)
        : EKYCLocationSelectionViewModel(std::move(current), std::move(repo), true) {}
    std::string title() const override;
};

// The two gender texts, male first; no search.
class SelectionGenderViewModel : public EKYCSelectionViewModel {
public:
    using EKYCSelectionViewModel::EKYCSelectionViewModel;
    std::string title() const override;
    int visibleRowCount() const override { return 2; }
    bool isSearchHidden() const override { return true; }
    void loadItems() override;
};

}  // namespace ovira
