#pragma once

#include <string>
#include <vector>

#include "screens/base/EKYCBaseViewController.h"
#include "ui/controller/NavigationItem.h"

namespace ovira::test {

// Where the sample screens and view models note what happened to them.
struct Journal {
    std::vector<std::string>* entries = nullptr;
    void note(const std::string& entry) const {
        if (entries) entries->push_back(entry);
    }
};

// Records what its screen tells it.
class SampleViewModel : public EKYCBaseViewModel {
public:
    explicit SampleViewModel(std::vector<std::string>* journal = nullptr) : journal_{journal} {}
    void onViewDidLoad() override { journal_.note("vm.didLoad"); }
    void onViewWillAppear() override { journal_.note("vm.willAppear"); }
    void onViewDidAppear() override { journal_.note("vm.didAppear"); }
    void onViewWillDisappear() override { journal_.note("vm.willDisappear"); }
    void onViewDidDisappear() override { journal_.note("vm.didDisappear"); }

private:
    Journal journal_;
};

// A screen that records its set-up steps and loading changes.
class SampleScreen : public EKYCBaseViewController<SampleViewModel> {
public:
    explicit SampleScreen(QString title = QString(), std::vector<std::string>* journal = nullptr)
        : title_(std::move(title)), journal_{journal} {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }

    void setupUI() override {
        journal_.note("setupUI");
        EKYCBaseViewController::setupUI();
        navigationItem()->setTitle(title_);
    }
    void bindViewModel() override {
        journal_.note("bindViewModel");
        EKYCBaseViewController::bindViewModel();
    }
    void configure() override {
        journal_.note("configure");
        if (!skipsBaseConfigure) EKYCBaseViewController::configure();
    }
    void showLoading() override {
        ++overlaysShown;
        EKYCBaseViewController::showLoading();
    }

    bool skipsBaseConfigure = false;
    int overlaysShown = 0;

protected:
    QString title_;
    Journal journal_;
};

// A screen that keeps the back button instead of the close button.
class BackScreen : public SampleScreen {
public:
    using SampleScreen::SampleScreen;
    void setupUI() override { navigationItem()->setTitle(title_); }
};

}  // namespace ovira::test
