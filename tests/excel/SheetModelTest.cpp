// The in-memory workbook under the spreadsheet application: every cell
// written comes back with its kind and value wherever and in whatever order
// it was written, every text comes back byte for byte, and an outline of
// many short rows costs little more than its cells.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

#include "SheetModel.h"

using excel::Cell;
using excel::CellKind;
using excel::NumberPool;
using excel::SheetData;
using excel::StringPool;

namespace {

// What a cell was given, to compare the sheet against.
struct Expected {
    CellKind Kind;
    double Number;
};

// The numbers of the cells these tests write; a truth value or a text
// number is held as the number itself.
NumberPool numbers;

// Stores `number` as a value of `kind`: a text cell takes it as its text number.
void Store(SheetData& sheet, int row, int column, CellKind kind, double number) {
    Cell& cell = sheet.Ensure(row, column);
    switch (kind) {
    case CellKind::Blank: cell.SetBlank(); break;
    case CellKind::Number: cell.SetNumber(numbers.Intern(number)); break;
    case CellKind::Text: cell.SetText(static_cast<uint32_t>(number)); break;
    case CellKind::Boolean: cell.SetBoolean(number != 0); break;
    }
}

double ValueOf(const Cell& cell) {
    switch (cell.Kind()) {
    case CellKind::Blank: return 0;
    case CellKind::Number: return numbers.At(cell.NumberId());
    case CellKind::Text: return cell.TextId();
    case CellKind::Boolean: return cell.Boolean();
    }
    return -1;
}

void ExpectSheetHolds(const SheetData& sheet, const std::map<std::pair<int, int>, Expected>& expected) {
    ASSERT_EQ(sheet.CellCount(), expected.size());
    int lastRow = expected.empty() ? 0 : expected.rbegin()->first.first;
    ASSERT_EQ(sheet.LastRow(), lastRow);
    auto next = expected.begin();
    for (int row = 1; row <= sheet.LastRow(); ++row)
        for (const Cell& cell : sheet.RowCells(row)) {
            ASSERT_NE(next, expected.end());
            ASSERT_EQ(std::make_pair(row, cell.Column()), next->first) << "cells out of order";
            EXPECT_EQ(cell.Kind(), next->second.Kind);
            EXPECT_EQ(ValueOf(cell), next->second.Number);
            const Cell* found = sheet.Find(row, cell.Column());
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(ValueOf(*found), next->second.Number);
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

    sheet.Ensure(600, 2).SetBlank();   // a number cleared
    sheet.DropIfDefault(600, 2);
    sheet.Ensure(1000, 2).SetBlank();
    sheet.DropIfDefault(1000, 2);
    expected.erase({600, 2});
    expected.erase({1000, 2});
    ExpectSheetHolds(sheet, expected);   // the last row is now 257

    Cell& styled = sheet.Ensure(257, 5);  // a blank cell with a style stays
    styled.SetStyle(3);
    sheet.DropIfDefault(257, 5);
    expected[{257, 5}] = {CellKind::Blank, 0};
    ExpectSheetHolds(sheet, expected);

    for (auto [key, value] : std::map(expected)) {
        Cell& cell = sheet.Ensure(key.first, key.second);
        cell.SetBlank();
        cell.SetStyle(0);
        sheet.DropIfDefault(key.first, key.second);
        expected.erase(key);
    }
    ExpectSheetHolds(sheet, expected);
    Store(sheet, 300, 1, CellKind::Number, 7);   // an emptied sheet takes cells again
    ExpectSheetHolds(sheet, {{{300, 1}, {CellKind::Number, 7}}});
}

// A cell packs column, kind and style into one word: each keeps its value
// beside the largest and smallest of the others.
TEST(SheetCells, ColumnKindStyleAndValueStayApartAtTheirLimits) {
    struct Row { int column; CellKind kind; uint32_t style; uint32_t value; };
    const uint32_t lastStyle = excel::kMaxStyles - 1, lastValue = UINT32_MAX - 1;
    const Row rows[] = {
        {1, CellKind::Text, 0, 0},
        {1, CellKind::Boolean, lastStyle, 1},
        {excel::kMaxColumns, CellKind::Text, lastStyle, lastValue},
        {excel::kMaxColumns, CellKind::Number, 0, lastValue},
        {excel::kMaxColumns, CellKind::Blank, lastStyle, 0},
        {excel::kMaxColumns - 1, CellKind::Number, 1, 1},
        {2, CellKind::Text, lastStyle - 1, UINT32_MAX},
    };
    for (const Row& r : rows) {
        Cell cell(r.column);
        cell.SetStyle(r.style);
        if (r.kind == CellKind::Text) cell.SetText(r.value);
        if (r.kind == CellKind::Number) cell.SetNumber(r.value);
        if (r.kind == CellKind::Boolean) cell.SetBoolean(r.value != 0);
        EXPECT_EQ(cell.Column(), r.column);
        EXPECT_EQ(cell.Kind(), r.kind) << r.column;
        EXPECT_EQ(cell.Style(), r.style) << r.column;
        switch (r.kind) {
        case CellKind::Blank: break;
        case CellKind::Text: EXPECT_EQ(cell.TextId(), r.value); break;
        case CellKind::Number: EXPECT_EQ(cell.NumberId(), r.value); break;
        case CellKind::Boolean: EXPECT_EQ(cell.Boolean(), r.value != 0); break;
        }

        // A style number past the last is refused, not wrapped into the column.
        EXPECT_THROW(cell.SetStyle(excel::kMaxStyles), std::length_error);
        EXPECT_EQ(cell.Style(), r.style);
        EXPECT_EQ(cell.Column(), r.column);
        EXPECT_EQ(cell.Kind(), r.kind);
    }
}

// 256 rows share one block: rows of thousands of cells take it past what
// two bytes can count, and it must keep every cell in place there and on
// the way back.
TEST(SheetCells, ABlockOfWideRowsKeepsEveryCellPastSixtyFiveThousand) {
    SheetData sheet("Sheet1");
    std::map<std::pair<int, int>, Expected> expected;
    for (int row : {3, 1, 2, 200, 256}) {   // the rows of the first block, out of order
        for (int column = 1; column <= excel::kMaxColumns; column += row == 200 ? 2 : 1) {
            Store(sheet, row, column, CellKind::Text, row * 100000.0 + column);
            expected[{row, column}] = {CellKind::Text, row * 100000.0 + column};
        }
    }
    Store(sheet, 257, 1, CellKind::Boolean, 1);   // the next block
    expected[{257, 1}] = {CellKind::Boolean, 1};
    Store(sheet, 2, 2, CellKind::Text, 7);        // into a row in the middle
    expected[{2, 2}] = {CellKind::Text, 7};
    ASSERT_GT(sheet.CellCount(), 65536u);
    ExpectSheetHolds(sheet, expected);

    for (int column = 1; column <= excel::kMaxColumns; ++column) {   // back below
        sheet.Ensure(256, column).SetBlank();
        sheet.DropIfDefault(256, column);
        expected.erase({256, column});
    }
    ExpectSheetHolds(sheet, expected);
    EXPECT_EQ(sheet.RowCells(256).size(), 0u);
}

// An export outline is mostly rows of one or two cells: such a row must not
// carry a container of its own.
TEST(SheetCells, ManyOneCellRowsCostLittleMoreThanTheirCells) {
    constexpr int kRows = 200000;
    size_t before = mallinfo2().uordblks;
    {
        SheetData sheet("Sheet1");
        for (int row = 1; row <= kRows; ++row) Store(sheet, row, 1 + row % 5, CellKind::Text, row);
        size_t used = mallinfo2().uordblks - before;
        EXPECT_LT(used, kRows * (sizeof(Cell) + 3)) << used / kRows << " bytes a row";
        EXPECT_EQ(sheet.CellCount(), static_cast<size_t>(kRows));
    }
}

// ---- texts ----------------------------------------------------------------

TEST(SheetTexts, EveryTextComesBackByteForByteOnceNumberedAndZeroTerminated) {
    StringPool pool;
    std::vector<std::string> texts = {"", "订单单别", std::string("a\0b", 3), std::string(98000, 'x'), "x",
                                      std::string(127, 'p'), std::string(128, 'q'), std::string(16383, 'r'),
                                      std::string(16384, 's'), std::string(3 << 20, 'L')};
    // Enough texts to fill several full-grown blocks, with texts longer than
    // a block among them.
    for (int i = 0; i < 120000; ++i) {
        texts.push_back("2201-" + std::to_string(20250000000LL + i) + " 螺丝 M" + std::to_string(i % 30));
        if (i % 40000 == 39999) texts.push_back(std::string((1 << 20) + i % 7, static_cast<char>('a' + i % 26)));
    }
    std::vector<uint32_t> ids;
    for (const std::string& text : texts) ids.push_back(pool.Intern(text));
    // Asked again after the pool has grown many times, each text keeps its number.
    for (size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(pool.Intern(texts[i]), ids[i]) << i;
    EXPECT_EQ(pool.Count(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(pool.At(ids[i]), texts[i]) << i;
        ASSERT_EQ(pool.CStr(ids[i])[texts[i].size()], '\0') << i;
    }
    EXPECT_NE(ids[2], ids[1]);   // a text is not cut at an inner zero byte
    uint32_t added = pool.Intern("a");
    EXPECT_EQ(std::count(ids.begin(), ids.end(), added), 0);
    EXPECT_EQ(pool.At(added), "a");
    EXPECT_EQ(pool.Count(), texts.size() + 1);
    EXPECT_THROW(pool.At(UINT32_MAX), std::out_of_range);
    EXPECT_THROW(pool.At(added + 64), std::out_of_range);   // past the last text
}

// An export keeps hundreds of thousands of short distinct texts: each must
// cost little more than its bytes.
TEST(SheetTexts, ManyShortTextsCostLittleMoreThanTheirBytes) {
    constexpr int kTexts = 200000;
    size_t before = mallinfo2().uordblks;
    {
        StringPool pool;
        size_t bytes = 0;
        for (int i = 0; i < kTexts; ++i) {
            std::string text = "M" + std::to_string(1000000 + i);
            bytes += text.size();
            pool.Intern(text);
        }
        size_t used = mallinfo2().uordblks - before;
        EXPECT_LT(used, bytes + kTexts * 18) << (used - bytes) / kTexts << " bytes a text beside its own";
    }
}

// ---- numbers --------------------------------------------------------------

TEST(SheetNumbers, EveryNumberComesBackExactlyAndEachValueIsKeptOnce) {
    NumberPool pool;
    const double values[] = {0.0, -0.0, 1e308, -1e308, std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(), std::numeric_limits<double>::denorm_min(),
                             0.1 + 0.2, 0.3, 45000.5, std::nan(""), 1.0, -1.0};
    std::vector<uint32_t> ids;
    for (double v : values) ids.push_back(pool.Intern(v));
    EXPECT_EQ(pool.Count(), std::size(values));
    for (size_t i = 0; i < std::size(values); ++i) {
        double back = pool.At(ids[i]);
        if (std::isnan(values[i])) {
            EXPECT_TRUE(std::isnan(back));
        } else {
            EXPECT_EQ(back, values[i]) << i;
            EXPECT_EQ(std::signbit(back), std::signbit(values[i])) << i;
        }
        EXPECT_EQ(pool.Intern(values[i]), ids[i]) << i;   // asked again: the same number
    }
    EXPECT_NE(ids[0], ids[1]);   // -0 is kept apart from 0
    EXPECT_THROW(pool.At(static_cast<uint32_t>(pool.Count())), std::out_of_range);
}

// Whole numbers differ only in their high bits: the index must spread them,
// or interning a column of row numbers takes quadratic time.
TEST(SheetNumbers, ManyWholeNumbersAreInternedQuickly) {
    NumberPool pool;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200000; ++i) ASSERT_EQ(pool.Intern(i), static_cast<uint32_t>(i));
    for (int i = 0; i < 200000; i += 997) ASSERT_EQ(pool.At(pool.Intern(i)), i);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
}
