// The string grid over its own cell model: cells kept through changes of
// the row and column counts, fixed cells that cannot become current or be
// selected, editing through the view, long grids sized by the default row
// height, and column sizing by the edge of a heading.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include "Forms.h"
#include "Grids.h"

using namespace vcl;

namespace {

struct GridFixture : ::testing::Test {
    void SetUp() override {
        form = TComponent::Create<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        grid = TComponent::Create<TStringGrid>(form);
        grid->SetParent(form);
        grid->SetBounds(0, 0, 400, 300);
        form->Show();
    }
    void TearDown() override { form->Free(); }
    // Fills cell (c, r) with "c,r" over the whole grid.
    void Number() {
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c) grid->SetCell(c, r, std::to_string(c) + "," + std::to_string(r));
    }
    Qt::ItemFlags Flags(int col, int row) const { return grid->View()->model()->index(row, col).flags(); }
    QPoint Centre(int col, int row) const {
        return grid->View()->visualRect(grid->View()->model()->index(row, col)).center();
    }
    TForm* form = nullptr;
    TStringGrid* grid = nullptr;
};

TEST_F(GridFixture, CellsStayInPlaceWhenColumnsAreAddedAndRemoved) {
    grid->SetColCount(3);
    grid->SetRowCount(3);
    Number();
    grid->SetColCount(5);
    EXPECT_EQ(grid->Cells(2, 2), "2,2");
    EXPECT_EQ(grid->Cells(1, 2), "1,2");
    EXPECT_EQ(grid->Cells(3, 1), "");
    EXPECT_EQ(grid->DisplayText(2, 1), "2,1");
    EXPECT_EQ(grid->ColWidths(4), grid->DefaultColWidth());
    grid->SetColCount(2);
    EXPECT_EQ(grid->Cells(1, 2), "1,2");
    EXPECT_EQ(grid->Cells(2, 2), "");   // outside the grid
    grid->SetColCount(3);
    EXPECT_EQ(grid->Cells(2, 2), "");   // a removed column comes back empty
    EXPECT_EQ(grid->Cells(1, 1), "1,1");
    EXPECT_EQ(grid->View()->model()->columnCount(), 3);
}

TEST_F(GridFixture, RemovedRowsComeBackEmptyWithTheDefaultHeight) {
    grid->SetColCount(2);
    grid->SetRowCount(5);
    Number();
    grid->SetRowHeight(3, 40);
    grid->SetRowCount(2);
    EXPECT_EQ(grid->Cells(1, 3), "");
    grid->SetRowCount(5);
    EXPECT_EQ(grid->Cells(1, 1), "1,1");
    EXPECT_EQ(grid->Cells(1, 3), "");
    EXPECT_EQ(grid->DisplayText(1, 3), "");
    EXPECT_EQ(grid->RowHeights(3), grid->DefaultRowHeight());
    grid->ClearCells();
    EXPECT_EQ(grid->Cells(1, 1), "");
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->Cells(-1, 0), "");
    EXPECT_THROW(grid->SetCell(0, 5, "x"), plat::Exception);
    EXPECT_THROW(grid->SetCell(-1, 0, "x"), plat::Exception);
}

TEST_F(GridFixture, LongGridTakesTheDefaultRowHeightAndOnlyChangedRowsDiffer) {
    grid->SetColCount(6);
    grid->SetDefaultRowHeight(18);
    grid->SetRowCount(200000);
    grid->SetCell(5, 199999, "末行");
    EXPECT_EQ(grid->Cells(5, 199999), "末行");
    EXPECT_EQ(grid->RowHeights(150000), 18);
    grid->SetRowHeight(150000, 30);
    EXPECT_EQ(grid->RowHeights(150000), 30);
    EXPECT_EQ(grid->RowHeights(150001), 18);
    grid->SetDefaultRowHeight(20);   // every row again, the changed one too
    EXPECT_EQ(grid->RowHeights(150000), 20);
    EXPECT_EQ(grid->RowHeights(7), 20);
    grid->SetTopRow(100000);
    EXPECT_EQ(grid->TopRow(), 100000);
    grid->SetRow(100001);
    EXPECT_EQ(grid->View()->currentIndex().row(), 100001);
}

TEST_F(GridFixture, CellsChangedInAnUpdateAreReportedOnceAsOneRectangle) {
    grid->SetColCount(4);
    grid->SetRowCount(6);
    QAbstractItemModel* model = grid->View()->model();
    std::vector<std::pair<QModelIndex, QModelIndex>> reports;
    QObject::connect(model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) { reports.emplace_back(from, to); });
    grid->BeginUpdate();
    grid->SetCell(2, 1, "a");
    grid->BeginUpdate();
    grid->SetCell(1, 4, "b");
    grid->EndUpdate();
    grid->SetCell(3, 2, "c");
    EXPECT_EQ(grid->Cells(1, 4), "b");   // the cell changes at once
    EXPECT_TRUE(reports.empty());
    grid->EndUpdate();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, model->index(1, 1));
    EXPECT_EQ(reports[0].second, model->index(4, 3));
    EXPECT_EQ(grid->DisplayText(3, 2), "c");

    reports.clear();
    grid->BeginUpdate();
    grid->SetCell(2, 1, "a");   // unchanged
    grid->EndUpdate();
    EXPECT_TRUE(reports.empty());

    // Rows removed inside the update are not reported; an extra EndUpdate is harmless.
    grid->BeginUpdate();
    grid->SetCell(1, 1, "d");
    grid->SetCell(2, 5, "e");
    grid->SetRowCount(3);
    grid->EndUpdate();
    grid->EndUpdate();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, model->index(1, 1));
    EXPECT_EQ(reports[0].second, model->index(2, 2));

    reports.clear();
    grid->SetCell(0, 2, "f");   // outside an update: at once
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, model->index(2, 0));
}

TEST_F(GridFixture, FixedCellsAreNeitherSelectableNorEditable) {
    grid->SetColCount(4);
    grid->SetRowCount(4);
    EXPECT_EQ(Flags(0, 2), Qt::ItemIsEnabled);   // fixed column
    EXPECT_EQ(Flags(2, 0), Qt::ItemIsEnabled);   // fixed row
    EXPECT_EQ(Flags(2, 2), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grid->SetOptions(grid->Options() | goEditing);
    EXPECT_EQ(Flags(2, 2), Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    EXPECT_EQ(Flags(0, 2), Qt::ItemIsEnabled);
    grid->SetFixedCols(0);
    EXPECT_TRUE(Flags(0, 2) & Qt::ItemIsSelectable);
    grid->SetFixedRows(2);
    EXPECT_EQ(Flags(2, 1), Qt::ItemIsEnabled);
    EXPECT_EQ(grid->Row(), 2);   // the current row left the fixed rows
}

TEST_F(GridFixture, AnEditInTheViewIsTheCellsText) {
    grid->SetColCount(3);
    grid->SetRowCount(3);
    grid->SetOptions(grid->Options() | goEditing);
    QAbstractItemModel* model = grid->View()->model();
    EXPECT_TRUE(model->setData(model->index(2, 1), QString::fromUtf8("数量"), Qt::EditRole));
    EXPECT_EQ(grid->Cells(1, 2), "数量");
    EXPECT_EQ(model->index(2, 1).data(Qt::EditRole).toString(), QString::fromUtf8("数量"));
    EXPECT_FALSE(model->setData(model->index(3, 1), "x", Qt::EditRole));   // outside the grid
    EXPECT_FALSE(model->setData(model->index(2, 1), "x", Qt::ToolTipRole));
    EXPECT_EQ(grid->Cells(1, 2), "数量");
}

TEST_F(GridFixture, ClicksOnCellsMoveTheCurrentCellButNotOntoAHeading) {
    grid->SetColCount(4);
    grid->SetRowCount(6);
    int clicks = 0;
    std::vector<std::pair<int, int>> asked;
    grid->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    grid->OnSelectCell = TSelectCellEvent([&](TObject*, int col, int row, bool&) { asked.emplace_back(col, row); });
    QWidget* viewport = grid->View()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(2, 3));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{2, 3}}));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(2, 0));   // the heading row
    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(0, 4));   // the heading column
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(clicks, 1);
    grid->SetOptions(grid->Options() | goRowSelect);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(3, 5));
    EXPECT_EQ(grid->Row(), 5);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(grid->View()->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(grid->View()->selectionModel()->isRowSelected(5, QModelIndex()));
}

TEST_F(GridFixture, DraggingAHeadingEdgeSizesItsColumn) {
    grid->SetColCount(4);
    grid->SetRowCount(4);
    grid->SetColWidth(1, 80);
    QWidget* viewport = grid->View()->viewport();
    const int edge = grid->View()->columnViewportPosition(1) + 80;
    const int y = Centre(1, 0).y();
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(viewport, QPoint(edge + 25, y));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(edge + 25, y));
    EXPECT_EQ(grid->ColWidths(1), 80);   // without goColSizing nothing moves
    grid->SetOptions(grid->Options() | goColSizing);
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(viewport, QPoint(edge + 25, y));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(edge + 25, y));
    EXPECT_EQ(grid->ColWidths(1), 105);
    EXPECT_EQ(grid->View()->columnWidth(1), 105);
}

}  // namespace
