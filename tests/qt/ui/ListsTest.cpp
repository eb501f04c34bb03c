// Lists, cells, nibs and the view properties.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "resources/HexColor.h"
#include "support/QtTestSupport.h"
#include "ui/lists/EKYCBaseCollectionView.h"
#include "ui/lists/EKYCBaseCollectionViewCell.h"
#include "ui/lists/EKYCBaseTableView.h"
#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ViewLayer.h"
#include "ui/view/ViewProperties.h"

namespace ovira {

class NameCell : public EKYCBaseTableViewCell {
    Q_OBJECT
public:
    explicit NameCell(QWidget* parent = nullptr) : EKYCBaseTableViewCell(parent) { ++created; }
    void configure(const std::any& item) override { name = std::any_cast<QString>(item); }
    QString name;
    static inline int created = 0;
};

class OtherCell : public EKYCBaseTableViewCell {
    Q_OBJECT
};

class TileCell : public EKYCBaseCollectionViewCell {
    Q_OBJECT
public:
    void configure(const std::any& item) override { index = std::any_cast<int>(item); }
    int index = -1;
};

namespace {

class Names : public TableView::DataSource, public TableView::Delegate {
public:
    explicit Names(int count) : count_(count) {}
    int numberOfRows(TableView&, int) override { return count_; }
    TableViewCell* cellForRow(TableView& table, const IndexPath& indexPath) override {
        auto* cell = static_cast<EKYCBaseTableView&>(table).dequeueReusableCell<NameCell>(indexPath);
        cell->configure(QStringLiteral("Row %1").arg(indexPath.row));
        cell->isEnableHighlight = highlight;
        return cell;
    }
    void didSelectRow(TableView&, const IndexPath& indexPath) override { selected.push_back(indexPath.row); }
    bool highlight = true;
    std::vector<int> selected;

private:
    int count_;
};

struct ListsTest : testing::Test {
    EKYCBaseTableView table;
    Names names{200};
    void SetUp() override {
        table.resize(390, 440);
        table.registerCell<NameCell>();
        table.setDataSource(&names);
        table.setDelegate(&names);
        table.show();
        table.reloadData();
        test::settle();
    }
};

// A dequeue that cannot succeed stops the library naming the list and the identifier.
void expectDequeueStops(const std::string& source, const std::string& identifier,
                        const std::function<void()>& attempt) {
    const auto report = test::fatalReportOf(attempt);
    EXPECT_TRUE(report.message.starts_with("<" + source + ": 0x")) << report.message;
    EXPECT_TRUE(report.message.ends_with(" could not dequeue cell with identifier: " + identifier))
        << report.message;
    EXPECT_EQ(report.source, source) << identifier;
}

TEST_F(ListsTest, OnlyRowsInViewHaveCellsAndScrolledAwayCellsAreReused) {
    EXPECT_EQ(table.visibleCells().size(), 10);  // 440 points of 44-point rows
    const int created = NameCell::created;
    table.verticalScrollBar()->setValue(44 * 100);
    test::settle();
    EXPECT_EQ(NameCell::created, created) << "cells leaving the view show the rows entering it";
    auto* cell = static_cast<NameCell*>(table.cellForRow({0, 100}));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->name, "Row 100");
    EXPECT_EQ(cell->reuseIdentifier(), "NameCell");
}

TEST_F(ListsTest, SelectionShowsTheLightBackgroundUnlessHighlightingIsOff) {
    auto* first = table.cellForRow({0, 1});
    QTest::mouseClick(first, Qt::LeftButton);
    EXPECT_EQ(names.selected, std::vector<int>{1});
    EXPECT_TRUE(first->isSelected());
    EXPECT_TRUE(first->selectedBackgroundView()->isVisible());
    EXPECT_EQ(test::pixelAt(&table, first->geometry().center() + QPoint(150, 0)), colorFromHex(u"E9ECF7"));
    EXPECT_EQ(first->tintColor(), colorFromHex(u"0088FF"));
    EXPECT_EQ(first->separatorInset(), QMargins());

    names.highlight = false;
    table.reloadData();
    test::settle();
    auto* plain = table.cellForRow({0, 2});
    QTest::mouseClick(plain, Qt::LeftButton);
    EXPECT_EQ(names.selected, (std::vector<int>{1, 2})) << "the row is still chosen";
    EXPECT_FALSE(plain->isSelected());
    EXPECT_FALSE(plain->selectedBackgroundView()->isVisible());
}

TEST_F(ListsTest, DequeueByClassNameAndFatalMessagesForWhatCannotBeHad) {
    EXPECT_NE(table.dequeueReusableCell<NameCell>({0, 0}), nullptr);
    EXPECT_NE(table.dequeueReusableCell<NameCell>({0, 0}, QString("NameCell")), nullptr);
    EKYCBaseCollectionView collection;
    collection.registerCell<TileCell>();
    EXPECT_NE(collection.dequeueReusableCell<TileCell>({0, 0}), nullptr);
    expectDequeueStops("EKYCBaseTableView", "OtherCell", [&] {
        table.dequeueReusableCell<OtherCell>({0, 0});
    });
    expectDequeueStops("EKYCBaseTableView", "NameCell", [&] {
        table.dequeueReusableCell<OtherCell>({0, 0}, QString("NameCell"));
    });
    expectDequeueStops("EKYCBaseCollectionView", "Tile", [&] {
        collection.dequeueReusableCell<TileCell>({0, 0}, QString("Tile"));
    });
}

TEST(BaseTableView, APlainTableDrawsNoSeparatorsBelowItsRows) {
    Names three(3);
    TableView platform(TableView::Style::plain);
    EKYCBaseTableView library(TableView::Style::plain);
    for (TableView* table : {&platform, static_cast<TableView*>(&library)}) {
        table->registerCell("NameCell", [] { return new NameCell; });
        table->setDataSource(&three);
        table->resize(390, 600);
        table->show();
        table->reloadData();
    }
    EXPECT_GT(platform.separatorPositions().size(), 3) << "the platform lines its empty space";
    EXPECT_EQ(library.separatorPositions(), (QList<int>{43, 87, 131}));
    EXPECT_EQ(library.separatorColor(), colorFromHex(u"CBCBCB"));
    EXPECT_EQ(library.keyboardDismissMode(), TableView::KeyboardDismissMode::interactive);
    EXPECT_EQ(library.sectionHeaderTopPadding(), 0);
    EXPECT_EQ(test::pixelAt(&library, QPoint(200, 300)),
              test::pixelAt(&library, QPoint(200, 200 + 44 * 3 + 10)));
}

TEST(BaseCollectionView, FlowsItemsIntoRowsAndReportsTheTappedOne) {
    struct Tiles : CollectionView::DataSource, CollectionView::Delegate {
        int numberOfItems(CollectionView&, int) override { return 5; }
        CollectionViewCell* cellForItem(CollectionView& collection, const IndexPath& indexPath) override {
            auto* cell =
                static_cast<EKYCBaseCollectionView&>(collection).dequeueReusableCell<TileCell>(indexPath);
            cell->configure(indexPath.item());
            return cell;
        }
        void didSelectItem(CollectionView&, const IndexPath& indexPath) override {
            tapped = indexPath.item();
        }
        int tapped = -1;
    } tiles;
    EKYCBaseCollectionView collection;
    collection.registerCell<TileCell>();
    collection.itemSize = QSize(100, 80);
    collection.sectionInset = QMargins(16, 16, 16, 16);
    collection.setDataSource(&tiles);
    collection.setDelegate(&tiles);
    collection.resize(390, 400);
    collection.show();
    collection.reloadData();
    // Three 100-point items fit in 358 points with 10 between them.
    EXPECT_EQ(collection.cellForItem({0, 2})->geometry(), QRect(236, 16, 100, 80));
    EXPECT_EQ(collection.cellForItem({0, 3})->geometry(), QRect(16, 106, 100, 80));
    QTest::mouseClick(collection.cellForItem({0, 4}), Qt::LeftButton);
    EXPECT_EQ(tiles.tapped, 4);
    EXPECT_TRUE(collection.cellForItem({0, 4})->isSelected());
}

TEST(ViewProperties, CornersBordersAndClipping) {
    QWidget view;
    view.resize(40, 100);
    setFCornerRadius(&view, -1);
    EXPECT_EQ(fCornerRadius(&view), 20) << "-1: half the smaller side";
    EXPECT_TRUE(ViewLayer::find(&view)->masksToBounds());
    EXPECT_FALSE(view.mask().contains(QPoint(0, 0))) << "the corner is clipped";
    EXPECT_TRUE(view.mask().contains(QPoint(20, 50)));
    setFCornerRadius(&view, 6);
    EXPECT_EQ(fCornerRadius(&view), 6);
    setFBorderWidth(&view, 2);
    setFBorderColor(&view, QColor(Qt::red));
    EXPECT_EQ(fBorderWidth(&view), 2);
    EXPECT_EQ(fBorderColor(&view), QColor(Qt::red));
    setFBorderColor(&view, std::nullopt);
    EXPECT_EQ(fBorderColor(&view), std::nullopt);

    QWidget sheet;
    roundCorners(&sheet, {}, 8);
    EXPECT_EQ(ViewLayer::find(&sheet)->maskedCorners(), 15u);
    roundCorners(&sheet, {ViewCorner::topLeft, ViewCorner::topRight}, 8);
    EXPECT_EQ(ViewLayer::find(&sheet)->maskedCorners(), 3u);
    EXPECT_EQ(ViewLayer::find(&sheet)->cornerRadius(), 8);
}

class UnknownPanel : public QWidget {
    Q_OBJECT
};
class KnownPanel : public QWidget {
    Q_OBJECT
};

TEST(Nib, LoadsAViewByItsClassNameOrStops) {
    const auto report = test::fatalReportOf([] { delete loadFromNib<UnknownPanel>(); });
    EXPECT_EQ(report.message, "Can not load nib with name 'UnknownPanel'");
    EXPECT_EQ(report.source, "UIView+Exts");
    Nib::registerNib("KnownPanel", [](QWidget* owner) {
        auto* label = new QLabel("Xin chào", owner);
        label->setObjectName("greeting");
        label->setProperty("fCornerRadius", 4);
    });
    std::unique_ptr<KnownPanel> panel(loadFromNib<KnownPanel>());
    auto* greeting = panel->findChild<QLabel*>("greeting");
    ASSERT_NE(greeting, nullptr);
    EXPECT_EQ(fCornerRadius(greeting), 4) << "view properties from the description are applied";
}

}  // namespace
}  // namespace ovira

#include "ListsTest.moc"
