// Lists, cells, the selection list's model and filter, and the view properties.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "resources/HexColor.h"
#include "screens/selection/EKYCSelectionFilterModel.h"
#include "screens/selection/EKYCSelectionListModel.h"
#include "support/QtTestSupport.h"
#include "ui/lists/EKYCBaseCollectionView.h"
#include "ui/lists/EKYCBaseCollectionViewCell.h"
#include "ui/lists/EKYCBaseTableView.h"
#include "ui/lists/EKYCBaseTableViewCell.h"
#include "ui/view/ImageView.h"

namespace ovira {
namespace {

// A row with a button of its own, as most of the library's rows have.
class ButtonCell : public EKYCBaseTableViewCell {
public:
    explicit ButtonCell(QWidget* parent = nullptr)
        : EKYCBaseTableViewCell(parent), button(new QPushButton(this)) {
        button->setGeometry(16, 8, 120, 28);
    }
    QPushButton* button;
};

struct Table : testing::Test {
    EKYCBaseTableView table;
    QList<QPointer<ButtonCell>> cells;
    void SetUp() override {
        table.resize(390, 200);
        for (int row = 0; row < 10; ++row) {
            cells.append(table.addRow<ButtonCell>(44));
            cells.last()->button->setText(QStringLiteral("Row %1").arg(row));
        }
        table.show();
        test::settle();
    }
};

TEST_F(Table, RowsStackInOrderAtTheirHeightAcrossTheWholeWidth) {
    ASSERT_EQ(table.rows().size(), 10);
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(table.rows()[row], cells[row]);
        EXPECT_EQ(cells[row]->geometry(), QRect(0, 44 * row, table.viewport()->width(), 44)) << row;
    }
    table.clear();
    test::settle();
    EXPECT_EQ(table.rows().size(), 0);
    EXPECT_TRUE(table.rows().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(cells.first().isNull()) << "the list deletes its rows";
}

TEST_F(Table, SeparatorsLieBetweenRowsNotBelowTheLastNorAcrossHeaders) {
    EKYCBaseTableView list;
    list.resize(390, 400);
    list.addRow(new QWidget, 44);
    list.addRow(new QWidget, 44);
    auto* header = new QWidget;
    list.addHeader(header, 30);
    list.addRow(new QWidget, 44);
    list.show();
    test::settle();
    const QColor separator = colorFromHex(u"CBCBCB");
    EXPECT_EQ(list.tableSeparator, separator);
    EXPECT_EQ(test::pixelAt(&list, QPoint(200, 43)), separator) << "between the first two rows";
    EXPECT_NE(test::pixelAt(&list, QPoint(200, 87)), separator) << "the header ends the group";
    EXPECT_NE(test::pixelAt(&list, QPoint(200, 117 + 43)), separator) << "nothing under the last row";
    EXPECT_NE(test::pixelAt(&list, QPoint(200, 300)), separator) << "nothing in the empty space";
    list.setSeparatorColor(Qt::transparent);
    test::settle();
    EXPECT_NE(test::pixelAt(&list, QPoint(200, 43)), separator);
}

TEST_F(Table, ArrowKeysMoveTheFocusFromRowToRowAndScrollItIntoView) {
    cells[0]->button->setFocus();
    for (int row = 1; row < 10; ++row) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        ASSERT_EQ(QApplication::focusWidget(), cells[row]->button) << row;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), cells[9]->button) << "the last row keeps the focus";
    test::settle();
    EXPECT_GT(table.verticalScrollBar()->value(), 0) << "the focused row was scrolled into view";
    const QRect shown(cells[9]->button->mapTo(table.viewport(), QPoint()), cells[9]->button->size());
    EXPECT_TRUE(table.viewport()->rect().contains(shown)) << "the focused control is whole in view";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), cells[8]->button);
    // A row without a control is skipped.
    cells[7]->button->hide();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), cells[6]->button);
}

TEST(BaseTableViewCell, ARowShowsItsStyleSheetBackgroundAndAPressOnItChangesNothing) {
    EKYCBaseTableView table;
    table.resize(390, 200);
    auto* row = table.addRow<ButtonCell>(44);
    row->setObjectName(QStringLiteral("row"));
    row->setStyleSheet(QStringLiteral("#row { background: #123456; }"));
    table.show();
    test::settle();
    EXPECT_EQ(row->selectedColor, colorFromHex(u"E9ECF7")) << "the colour rows give their pressed controls";
    const QPoint beside = row->geometry().topLeft() + QPoint(200, 20);  // right of the button
    EXPECT_EQ(test::pixelAt(&table, beside), colorFromHex(u"123456"));
    QTest::mousePress(row, Qt::LeftButton, {}, QPoint(200, 20));
    test::settle();
    EXPECT_EQ(test::pixelAt(&table, beside), colorFromHex(u"123456")) << "the row itself shows no press";
    QTest::mouseRelease(row, Qt::LeftButton, {}, QPoint(200, 20));
}

TEST(BaseCollectionView, ItemsLineUpSidewaysAsPagesOrAtTheSizeGiven) {
    EKYCBaseCollectionView collection;
    collection.resize(390, 300);
    for (int item = 0; item < 3; ++item) collection.addItem<EKYCBaseCollectionViewCell>();
    collection.show();
    test::settle();
    // By default each item is a page of the visible area.
    const auto items = collection.items();
    ASSERT_EQ(items.size(), 3);
    for (int item = 0; item < 3; ++item)
        EXPECT_EQ(items[item]->geometry(), QRect(390 * item, 0, 390, collection.viewport()->height()));
    collection.horizontalScrollBar()->setValue(390 * 2);
    EXPECT_EQ(collection.horizontalScrollBar()->value(), 780) << "the last page can be scrolled to";

    collection.setInsets(QMargins(16, 20, 16, 0));
    collection.setSpacing(12);
    collection.setItemSize([](const QSize& visible) { return QSize((visible.width() - 56) / 3, 200); });
    test::settle();
    EXPECT_EQ(items[0]->geometry(), QRect(16, 20, 111, 200));
    EXPECT_EQ(items[1]->geometry(), QRect(139, 20, 111, 200));
    EXPECT_EQ(items[2]->geometry(), QRect(262, 20, 111, 200));
    collection.resize(480, 300);
    test::settle();
    EXPECT_EQ(items[2]->width(), 141) << "the size follows the visible area";
    collection.clear();
    EXPECT_TRUE(collection.items().isEmpty());
}

TEST(ImageViewTest, APhotographIsScaledByTheContentModeAndClippedToTheCorners) {
    QWidget window;
    window.setObjectName(QStringLiteral("w"));
    window.setStyleSheet(QStringLiteral("#w { background: white; }"));
    window.resize(100, 100);
    auto* view = new ImageView(&window);
    view->setGeometry(window.rect());
    QImage photo(40, 20, QImage::Format_RGB32);
    photo.fill(Qt::red);
    view->setPhoto(photo);
    window.show();
    test::settle();
    const auto red = [&](QPoint point) { return test::pixelAt(&window, point) == QColor(Qt::red); };
    ASSERT_TRUE(view->hasHeightForWidth());
    EXPECT_EQ(view->heightForWidth(300), 150);
    // Fit (the default): 100 by 50, centred.
    EXPECT_TRUE(red(QPoint(2, 30)));
    EXPECT_FALSE(red(QPoint(50, 20)));
    view->setContentMode(ImageView::ContentMode::scaleAspectFill);
    test::settle();
    EXPECT_TRUE(red(QPoint(50, 2)));
    EXPECT_TRUE(red(QPoint(2, 97)));
    view->setCornerRadius(20);
    test::settle();
    EXPECT_FALSE(red(QPoint(1, 1))) << "the corner is rounded off";
    EXPECT_TRUE(red(QPoint(50, 1)));
    view->setCornerRadius(0);
    view->setContentMode(ImageView::ContentMode::center);
    test::settle();
    EXPECT_TRUE(red(QPoint(32, 42)));
    EXPECT_FALSE(red(QPoint(28, 42))) << "at its own size";
    EXPECT_FALSE(red(QPoint(50, 38)));
    view->clear();
    test::settle();
    EXPECT_TRUE(view->photo().isNull());
    EXPECT_FALSE(view->hasHeightForWidth());
    EXPECT_FALSE(red(QPoint(50, 50)));
}

TEST(SelectionModels, TheFilterKeepsEntriesContainingTheKeywordFoldedAndMapsBackToTheEntry) {
    EKYCSelectionListModel model;
    model.setItems({{"Việt Nam", false},
                    {"Nhật", true},
                    {"Các Tiểu Vương Quốc A-rập Thống Nhất", false},
                    {"Đan Mạch", false}});
    EKYCSelectionFilterModel filter;
    filter.setSourceModel(&model);
    const auto shown = [&] {
        QStringList texts;
        for (int row = 0; row < filter.rowCount(); ++row)
            texts.append(filter.index(row, 0).data().toString());
        return texts;
    };
    EXPECT_EQ(filter.rowCount(), 4);
    filter.setKeyword(QStringLiteral("NHAT"));
    EXPECT_EQ(shown(), QStringList({"Nhật", "Các Tiểu Vương Quốc A-rập Thống Nhất"}));
    filter.setKeyword(QStringLiteral("dan"));
    EXPECT_EQ(shown(), QStringList({"Đan Mạch"})) << "đ folds to d";
    filter.setKeyword(QStringLiteral("zz"));
    EXPECT_EQ(filter.rowCount(), 0);
    filter.setKeyword(QString());
    EXPECT_EQ(filter.rowCount(), 4);

    filter.setKeyword(QStringLiteral("nhat"));
    const QModelIndex japan = filter.index(0, 0);
    EXPECT_TRUE(japan.data(EKYCSelectionListModel::selectedRole).toBool());
    EXPECT_EQ(japan.data(Qt::AccessibleTextRole).toString(), "Nhật");
    EXPECT_FALSE(japan.data(Qt::AccessibleDescriptionRole).toString().isEmpty())
        << "read as the current value";
    EXPECT_EQ(model.item(filter.mapToSource(filter.index(1, 0)).row())->value,
              "Các Tiểu Vương Quốc A-rập Thống Nhất");
    EXPECT_EQ(model.item(7), nullptr);
    // New entries keep the keyword.
    model.setItems({{"Nhật Bản", false}, {"Hàn Quốc", false}});
    EXPECT_EQ(shown(), QStringList({"Nhật Bản"}));
}

}  // namespace
}  // namespace ovira
