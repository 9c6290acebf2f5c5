// The in-memory workbook under the spreadsheet application: every cell
// written comes back with its kind and value wherever and in whatever order
// it was written, every text comes back byte for byte, and an outline of
// many short rows costs little more than its cells.
#include <gtest/gtest.h>

#include <malloc.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "SheetModel.h"

using excel::Cell;
using excel::CellKind;
using excel::SheetData;
using excel::StringPool;

namespace {

// What a cell was given, to compare the sheet against.
struct Expected {
    CellKind Kind;
    double Number;
};

void Store(SheetData& sheet, int row, int column, CellKind kind, double number) {
    Cell& cell = sheet.Ensure(row, column);
    cell.Kind = kind;
    cell.Number = number;
}

void ExpectSheetHolds(const SheetData& sheet, const std::map<std::pair<int, int>, Expected>& expected) {
    ASSERT_EQ(sheet.CellCount(), expected.size());
    int lastRow = expected.empty() ? 0 : expected.rbegin()->first.first;
    ASSERT_EQ(sheet.LastRow(), lastRow);
    auto next = expected.begin();
    for (int row = 1; row <= sheet.LastRow(); ++row)
        for (const Cell& cell : sheet.RowCells(row)) {
            ASSERT_NE(next, expected.end());
            ASSERT_EQ(std::make_pair(row, static_cast<int>(cell.Column)), next->first) << "cells out of order";
            EXPECT_EQ(cell.Kind, next->second.Kind);
            EXPECT_EQ(cell.Number, next->second.Number);
            const Cell* found = sheet.Find(row, cell.Column);
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->Number, next->second.Number);
            ++next;
        }
    EXPECT_EQ(next, expected.end());
}

}  // namespace

// ---- cells ----------------------------------------------------------------

TEST(SheetCells, CellsWrittenInAnyOrderAcrossManyRowsComeBackSortedWithTheirValues) {
    SheetData sheet("Sheet1");
    std::map<std::pair<int, int>, Expected> expected;
    std::mt19937 random(41);
    // Top to bottom first, as an outline is written, then back into earlier
    // rows, right to left within a row, and far below.
    for (int row = 1; row <= 1500; ++row) {
        int column = 1 + row % 7;
        Store(sheet, row, column, CellKind::Number, row * 10.0 + column);
        expected[{row, column}] = {CellKind::Number, row * 10.0 + column};
    }
    for (int i = 0; i < 3000; ++i) {
        int row = 1 + static_cast<int>(random() % 2000), column = 1 + static_cast<int>(random() % 40);
        double value = static_cast<double>(random() % 100000);
        Store(sheet, row, column, CellKind::Number, value);
        expected[{row, column}] = {CellKind::Number, value};
    }
    Store(sheet, excel::kMaxRows, excel::kMaxColumns, CellKind::Boolean, 1);
    expected[{excel::kMaxRows, excel::kMaxColumns}] = {CellKind::Boolean, 1};
    Store(sheet, 700, 3, CellKind::Text, 0);   // an existing cell takes a new kind and value
    expected[{700, 3}] = {CellKind::Text, 0};
    ExpectSheetHolds(sheet, expected);
    EXPECT_EQ(sheet.Find(2001, 1), nullptr);
    EXPECT_EQ(sheet.Find(1, 41), nullptr);
}

TEST(SheetCells, ClearedCellsAreForgottenAndTheLastRowFollowsAcrossRowBlocks) {
    SheetData sheet("Sheet1");
    std::map<std::pair<int, int>, Expected> expected;
    for (int row : {1, 255, 256, 257, 600, 1000}) {
        Store(sheet, row, 2, CellKind::Number, row);
        expected[{row, 2}] = {CellKind::Number, static_cast<double>(row)};
    }
    sheet.Ensure(1000, 1);   // formatted or cleared: blank in the default style
    sheet.DropIfDefault(1000, 1);
    ExpectSheetHolds(sheet, expected);

    sheet.Ensure(600, 2).Kind = CellKind::Blank;   // a number cleared
    sheet.DropIfDefault(600, 2);
    sheet.Ensure(1000, 2).Kind = CellKind::Blank;
    sheet.DropIfDefault(1000, 2);
    expected.erase({600, 2});
    expected.erase({1000, 2});
    ExpectSheetHolds(sheet, expected);   // the last row is now 257

    Cell& styled = sheet.Ensure(257, 5);  // a blank cell with a style stays
    styled.Style = 3;
    sheet.DropIfDefault(257, 5);
    expected[{257, 5}] = {CellKind::Blank, 0};
    ExpectSheetHolds(sheet, expected);

    for (auto [key, value] : std::map(expected)) {
        sheet.Ensure(key.first, key.second) = Cell{static_cast<uint16_t>(key.second), CellKind::Blank, 0, {}};
        sheet.DropIfDefault(key.first, key.second);
        expected.erase(key);
    }
    ExpectSheetHolds(sheet, expected);
    Store(sheet, 300, 1, CellKind::Number, 7);   // an emptied sheet takes cells again
    ExpectSheetHolds(sheet, {{{300, 1}, {CellKind::Number, 7}}});
}

// An export outline is mostly rows of one or two cells: such a row must not
// carry a container of its own.
TEST(SheetCells, ManyOneCellRowsCostLittleMoreThanTheirCells) {
    constexpr int kRows = 200000;
    size_t before = mallinfo2().uordblks;
    {
        SheetData sheet("Sheet1");
        for (int row = 1; row <= kRows; ++row) Store(sheet, row, 1 + row % 5, CellKind::Number, row);
        size_t used = mallinfo2().uordblks - before;
        EXPECT_LT(used, kRows * (sizeof(Cell) + 8)) << used / kRows << " bytes a row";
        EXPECT_EQ(sheet.CellCount(), static_cast<size_t>(kRows));
    }
}

// ---- texts ----------------------------------------------------------------

TEST(SheetTexts, EveryTextComesBackByteForByteOnceNumberedAndZeroTerminated) {
    StringPool pool;
    std::vector<std::string> texts = {"", "订单单别", std::string("a\0b", 3), std::string(98000, 'x'), "x"};
    for (int i = 0; i < 20000; ++i) texts.push_back("2201-" + std::to_string(20250000000LL + i) + " 螺丝 M" + std::to_string(i % 30));
    std::vector<uint32_t> ids;
    for (const std::string& text : texts) ids.push_back(pool.Intern(text));
    // Asked again after the pool has grown many times, each text keeps its number.
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(pool.Intern(texts[i]), ids[i]) << i;
    EXPECT_EQ(pool.Count(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(pool.At(ids[i]), texts[i]) << i;
        EXPECT_EQ(pool.CStr(ids[i])[texts[i].size()], '\0');
    }
    EXPECT_NE(ids[2], ids[1]);   // a text is not cut at an inner zero byte
    EXPECT_EQ(pool.Intern("a"), static_cast<uint32_t>(texts.size()));
}
