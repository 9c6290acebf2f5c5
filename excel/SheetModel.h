// The spreadsheet application's workbook as it lives in memory: sheets of
// cells, the cell styles (number format and font) shared by the workbook,
// and the texts and numbers, each stored once. The automation objects edit
// this model; the file writer turns it into an .xlsx file as a whole, so that
// every save carries everything written so far.
//
// A cell is 8 bytes: its column, its kind and its style number packed in one
// word, and in the other either the number of a pooled text or number, or a
// truth value. The cells of 256 consecutive rows share one vector, sorted by
// row and column, with the start of each row beside it (two bytes a row
// while the rows are short): an outline of a million short rows costs little
// more than its cells, and writing rows top to bottom, left to right only
// appends.
#pragma once

#include <cstdint>
#include <functional>
#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace excel {

constexpr int kMaxRows = 1048576;       // last row of a sheet
constexpr int kMaxColumns = 16384;      // last column (XFD)
constexpr size_t kMaxTextLength = 32767;  // longest text a cell holds, in UTF-16 code units
constexpr uint32_t kMaxStyles = 32768;    // distinct cell styles of a workbook, the default included

// Font underline kinds, as the file format knows them.
enum class Underline : uint8_t { None, Single, Double, SingleAccounting, DoubleAccounting };

struct FontSpec {
    std::string Name = "Calibri";
    double Size = 11;
    bool Bold = false;
    bool Italic = false;
    bool Strikethrough = false;
    Underline Underlined = Underline::None;
    bool AutoColor = true;      // the sheet's automatic (black) text colour
    uint32_t Rgb = 0;           // 0xRRGGBB, used when !AutoColor

    bool operator==(const FontSpec&) const = default;
};

// A cell style. An empty number format is "General".
struct CellStyle {
    std::string NumberFormat;
    FontSpec Font;

    bool IsText() const { return NumberFormat == "@"; }
    bool operator==(const CellStyle&) const = default;
};

struct CellStyleHash {
    size_t operator()(const CellStyle& s) const;
};

// The styles of a workbook; style 0 is the default (General, default font).
class StyleTable {
public:
    StyleTable();
    // The number of `style`, adding it when it is new. A cell has room for
    // kMaxStyles style numbers: one more distinct style raises
    // std::length_error and leaves the table as it was.
    uint32_t Intern(const CellStyle& style);
    const CellStyle& At(uint32_t id) const { return styles_.at(id); }
    size_t Count() const { return styles_.size(); }

private:
    std::vector<CellStyle> styles_;
    std::unordered_map<CellStyle, uint32_t, CellStyleHash> ids_;
};

// The finding half of a pool that keeps each value once: an open-addressing
// table of the values' numbers (linear probing, kept at most half full so
// that probes stay short). The pool keeps the values and hashes them.
class InternIndex {
public:
    static constexpr uint32_t kFree = UINT32_MAX;   // never the number of a value

    // Whether the table must grow before a value beyond the `count` held is added.
    bool NeedsRoomFor(size_t count) const { return (count + 1) * 2 > slots_.size(); }

    // The slot holding the number of the value for which `holds(number)` is
    // true, or the free slot where that value belongs.
    template <class Holds>
    uint32_t& SlotOf(size_t hash, Holds holds) {
        size_t mask = slots_.size() - 1;
        for (size_t slot = hash & mask;; slot = (slot + 1) & mask)
            if (slots_[slot] == kFree || holds(slots_[slot])) return slots_[slot];
    }

    // Doubles the table and places again every value: `eachValue(place)`
    // calls place(number, hash) once for each value held.
    template <class EachValue>
    void Grow(EachValue eachValue) {
        slots_.assign(slots_.empty() ? 1024 : slots_.size() * 2, kFree);
        size_t mask = slots_.size() - 1;
        eachValue([this, mask](uint32_t number, size_t hash) {
            size_t slot = hash & mask;
            while (slots_[slot] != kFree) slot = (slot + 1) & mask;
            slots_[slot] = number;
        });
    }

private:
    std::vector<uint32_t> slots_;   // value numbers by hash, kFree when empty
};

// Texts of a workbook, each kept once. An export writes millions of cells
// whose texts are mostly short, so a text costs its bytes, a length byte or
// two, a terminating zero and about twelve bytes of index: the texts lie
// back to back in blocks that never move, and the number of a text is where
// it lies (the block in the high bits, the place in it in the low ones), so
// no table of texts by number is needed.
class StringPool {
public:
    StringPool() = default;
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    // The number of `text`, adding it when it is new. Raises
    // std::length_error when the pool's blocks are all used (about 4 GB).
    uint32_t Intern(std::string_view text);
    // The text numbered `id`; its data() ends in a zero byte.
    std::string_view At(uint32_t id) const;
    const char* CStr(uint32_t id) const { return At(id).data(); }
    size_t Count() const { return count_; }

private:
    static constexpr int kPlaceBits = 20;
    static constexpr size_t kBlockSize = size_t{1} << kPlaceBits;       // of full-grown blocks
    static constexpr size_t kMaxBlocks = size_t{1} << (32 - kPlaceBits);

    struct Block {
        std::unique_ptr<char[]> bytes;
        uint32_t size;   // bytes
        uint32_t used;   // bytes taken by texts, from the start
    };

    uint32_t Store(std::string_view text);
    char* Reserve(size_t need, uint32_t& id);
    template <class Visit>
    void ForEachText(Visit visit) const;

    std::vector<Block> blocks_;
    size_t count_ = 0;
    InternIndex index_;   // text numbers by hash
};

// Numbers of a workbook's cells, each distinct value kept once, told apart
// by their bits: -0 is not 0, and every number comes back exactly.
class NumberPool {
public:
    NumberPool() = default;
    NumberPool(const NumberPool&) = delete;
    NumberPool& operator=(const NumberPool&) = delete;

    // The number of `value`, adding it when it is new. Raises
    // std::length_error past 4294967294 distinct values.
    uint32_t Intern(double value);
    double At(uint32_t id) const { return values_.at(id); }
    size_t Count() const { return values_.size(); }

private:
    std::vector<double> values_;   // by number
    InternIndex index_;            // value numbers by hash
};

enum class CellKind : uint8_t { Blank, Number, Text, Boolean };

// A cell: its column, kind and style, and what it holds. Texts and
// numbers live in the workbook's pools; the cell keeps their numbers.
class Cell {
public:
    // A blank cell in the default style at `column` (1-based).
    explicit Cell(int column);

    int Column() const { return static_cast<int>(head_ & kColumnMask); }
    CellKind Kind() const { return static_cast<CellKind>((head_ >> kKindShift) & kKindMask); }
    uint32_t Style() const { return head_ >> kStyleShift; }   // into the workbook's StyleTable
    uint32_t TextId() const { return value_; }                 // into the StringPool, for a Text cell
    uint32_t NumberId() const { return value_; }               // into the NumberPool, for a Number cell
    bool Boolean() const { return value_ != 0; }               // for a Boolean cell

    // Raises std::length_error for a style number a cell has no room for.
    void SetStyle(uint32_t style);
    void SetBlank() { Hold(CellKind::Blank, 0); }
    void SetText(uint32_t textId) { Hold(CellKind::Text, textId); }
    void SetNumber(uint32_t numberId) { Hold(CellKind::Number, numberId); }
    void SetBoolean(bool value) { Hold(CellKind::Boolean, value ? 1 : 0); }

private:
    static constexpr uint32_t kColumnMask = 0x7fff;   // bits 0-14
    static constexpr int kKindShift = 15;             // bits 15-16
    static constexpr uint32_t kKindMask = 0x3;
    static constexpr int kStyleShift = 17;            // bits 17-31

    void Hold(CellKind kind, uint32_t value);

    uint32_t head_;    // column, kind and style
    uint32_t value_;   // text or number id, or 0/1 for a truth value; 0 when blank
};
static_assert(sizeof(Cell) == 8, "cells are meant to stay compact");
static_assert(kMaxColumns <= 0x7fff && kMaxStyles == (uint32_t{1} << 15), "a cell's head word holds column, kind and style");

class SheetData {
public:
    explicit SheetData(std::string name) : Name(std::move(name)) {}

    std::string Name;

    // The cell at (row, column), nullptr when nothing was ever written or
    // formatted there. Rows and columns are 1-based and must be valid.
    const Cell* Find(int row, int column) const;
    // The cell at (row, column), created blank in style 0 when absent.
    Cell& Ensure(int row, int column);
    // Forgets a blank cell in the default style (a cleared cell).
    void DropIfDefault(int row, int column);

    // The last row that holds a cell, 0 for an empty sheet.
    int LastRow() const { return lastRow_; }
    // The cells of a row, by column; valid until the sheet next changes.
    std::span<const Cell> RowCells(int row) const;
    size_t CellCount() const { return cellCount_; }

private:
    static constexpr int kRowsPerBlock = 256;
    // The starts of a block's rows in its cells, the last being the end. A
    // block of short rows counts them in 16 bits; one that comes to hold
    // more than 16 bits can count takes 32-bit starts from then on.
    class RowStarts {
    public:
        size_t operator[](size_t row) const { return wide_ ? (*wide_)[row] : narrow_[row]; }
        // Moves the starts after `row` by `delta` cells, the block now holding `cells`.
        void Shift(size_t row, std::ptrdiff_t delta, size_t cells);

    private:
        std::array<uint16_t, kRowsPerBlock + 1> narrow_{};
        std::unique_ptr<std::array<uint32_t, kRowsPerBlock + 1>> wide_;   // null while narrow
    };
    struct RowBlock {
        std::vector<Cell> cells;   // by row, then column
        RowStarts start;
    };
    struct Place {
        RowBlock* block;
        size_t row;   // within the block
    };
    Place PlaceOf(int row);
    void CountInserted(RowBlock& block, size_t row, int delta);

    std::vector<std::unique_ptr<RowBlock>> blocks_;   // index (row - 1) / kRowsPerBlock; null while empty
    int lastRow_ = 0;
    size_t cellCount_ = 0;
};

struct BookData {
    std::vector<std::shared_ptr<SheetData>> Sheets;
    size_t ActiveSheet = 0;
    StyleTable Styles;
    StringPool Strings;
    NumberPool Numbers;
};

// Whether (row, column) lies on a sheet.
inline bool IsValidCell(int row, int column) {
    return row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns;
}

// Reads text the way a cell in General or a number format takes typed
// input: a decimal number, with optional sign, point, exponent and blanks
// around it, becomes that number ("0001" gives 1). False for anything else,
// including numbers too large for a double.
bool ParseNumberText(std::string_view text, double& value);

}  // namespace excel
