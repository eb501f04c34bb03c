#pragma once

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "resources/ColorAsset.h"
#include "resources/EKYCImage.h"
#include "resources/FontConvertible.h"
#include "resources/Localized.h"
#include "screens/base/EKYCBaseViewController.h"
#include "ui/controller/NavigationItem.h"
#include "ui/lists/EKYCBaseTableView.h"
#include "ui/lists/EKYCBaseTableViewCell.h"

namespace ovira::test {

// Records what its screen tells it.
class SampleViewModel : public EKYCBaseViewModel {
public:
    explicit SampleViewModel(std::vector<std::string>* journal = nullptr) : journal_(journal) {}
    void onViewDidLoad() override { note("vm.didLoad"); }
    void onViewWillAppear() override { note("vm.willAppear"); }
    void onViewDidAppear() override { note("vm.didAppear"); }
    void onViewWillDisappear() override { note("vm.willDisappear"); }
    void onViewDidDisappear() override { note("vm.didDisappear"); }

private:
    void note(const std::string& entry) {
        if (journal_) journal_->push_back(entry);
    }
    std::vector<std::string>* journal_;
};

// A screen that records its set-up steps and loading changes.
class SampleScreen : public EKYCBaseViewController<SampleViewModel> {
public:
    explicit SampleScreen(QString title = QString(), std::vector<std::string>* journal = nullptr)
        : title_(std::move(title)), journal_(journal) {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }

    void setupUI() override {
        note("setupUI");
        EKYCBaseViewController::setupUI();
        navigationItem()->setTitle(title_);
    }
    void bindViewModel() override {
        note("bindViewModel");
        EKYCBaseViewController::bindViewModel();
    }
    void configure() override {
        note("configure");
        if (!skipsBaseConfigure) EKYCBaseViewController::configure();
    }
    void showLoading() override {
        ++overlaysShown;
        EKYCBaseViewController::showLoading();
    }
    void backToRoot() override {
        ++backToRootCalls;
        EKYCBaseViewController::backToRoot();
    }

    bool skipsBaseConfigure = false;
    int overlaysShown = 0;
    int backToRootCalls = 0;

protected:
    void note(const std::string& entry) {
        if (journal_) journal_->push_back(entry);
    }
    QString title_;
    std::vector<std::string>* journal_;
};

// A screen that keeps the back button instead of the close button.
class BackScreen : public SampleScreen {
public:
    using SampleScreen::SampleScreen;
    void setupUI() override { navigationItem()->setTitle(title_); }
};

// A row of the document list: icon, name and a chevron.
class DocumentCell : public EKYCBaseTableViewCell {
    Q_OBJECT
public:
    DocumentCell() {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(16, 0, 16, 0);
        row->setSpacing(14);
        icon_ = new QLabel;
        icon_->setFixedSize(40, 40);
        name_ = new QLabel;
        name_->setFont(systemFont(16, QFont::Medium));
        QPalette palette = name_->palette();
        palette.setColor(QPalette::WindowText, ColorAsset::blackAAA().color());
        name_->setPalette(palette);
        auto* chevron = new QLabel;
        chevron->setPixmap(
            ImageAsset::image("ic_back").pixmap(QSize(18, 18), 2).transformed(QTransform().scale(-1, 1)));
        chevron->setFixedSize(18, 18);
        chevron->setStyleSheet("background: #B8BEC9; border-radius: 9px;");
        row->addWidget(icon_);
        row->addWidget(name_, 1);
        row->addWidget(chevron);
    }
    void configure(const std::any& item) override {
        const auto [image, key] = std::any_cast<std::pair<const char*, const char*>>(item);
        icon_->setPixmap(ImageAsset::image(image).pixmap(QSize(40, 40), devicePixelRatioF()));
        name_->setText(localizedText(key));
    }

private:
    QLabel* icon_;
    QLabel* name_;
};

// A finished-looking screen: heading, the three documents, and the steps.
class DocumentListScreen : public SampleScreen, TableView::DataSource, TableView::Delegate {
public:
    DocumentListScreen() : SampleScreen(localizedText("intro.select")) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 20, 0, 0);
        layout->setSpacing(8);
        auto* heading = new QLabel(localizedText("intro.select"));
        heading->setFont(boldSystemFont(18));
        heading->setContentsMargins(16, 0, 16, 4);
        layout->addWidget(heading);
        table_ = new EKYCBaseTableView;
        table_->setRowHeight(68);
        table_->registerCell<DocumentCell>();
        table_->setDataSource(this);
        table_->setDelegate(this);
        layout->addWidget(table_, 1);
    }
    int numberOfRows(TableView&, int) override { return 3; }
    TableViewCell* cellForRow(TableView& table, const IndexPath& indexPath) override {
        static const std::pair<const char*, const char*> documents[] = {
            {"ic_idCard", "intro.idCard"},
            {"ic_licenseDriver", "intro.license_driver"},
            {"ic_passport", "intro.passport"}};
        auto* cell = static_cast<EKYCBaseTableView&>(table).dequeueReusableCell<DocumentCell>(indexPath);
        cell->configure(documents[indexPath.row]);
        return cell;
    }
    void viewDidLoad() override {
        SampleScreen::viewDidLoad();
        table_->reloadData();
    }
    EKYCBaseTableView* table() const { return table_; }

private:
    EKYCBaseTableView* table_;
};

}  // namespace ovira::test
