// The in-memory workbook: style, text and number pools, the packing of a
// cell, rows of cells, and the reading of typed numbers.
#include "SheetModel.h"

#include "StrUtils.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <stdexcept>
#include <string>

namespace excel {

namespace {
void HashMix(size_t& seed, size_t value) { seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2); }
}  // namespace

size_t CellStyleHash::operator()(const CellStyle& s) const {
    size_t h = std::hash<std::string>()(s.NumberFormat);
    const FontSpec& f = s.Font;
    HashMix(h, std::hash<std::string>()(f.Name));
    HashMix(h, std::hash<double>()(f.Size));
    HashMix(h, static_cast<size_t>(f.Bold) | static_cast<size_t>(f.Italic) << 1 | static_cast<size_t>(f.Strikethrough) << 2 |
                   static_cast<size_t>(f.AutoColor) << 3 | static_cast<size_t>(f.Underlined) << 4);
    HashMix(h, f.Rgb);
    return h;
}

StyleTable::StyleTable() { Intern(CellStyle{}); }

uint32_t StyleTable::Intern(const CellStyle& style) {
    auto it = ids_.find(style);
    if (it != ids_.end()) return it->second;
    if (styles_.size() >= kMaxStyles)
        throw std::length_error("a workbook holds at most " + std::to_string(kMaxStyles) + " distinct cell styles");
    uint32_t id = static_cast<uint32_t>(styles_.size());
    styles_.push_back(style);
    ids_.emplace(style, id);
    return id;
}

// A text lies in its block as its length (seven bits a byte, low bits
// first, the top bit saying that more follow), its bytes and a zero byte.
namespace {
size_t LengthBytes(size_t length) {
    size_t bytes = 1;
    while (length >= 0x80) length >>= 7, ++bytes;
    return bytes;
}

char* PutLength(char* at, size_t length) {
    for (; length >= 0x80; length >>= 7) *at++ = static_cast<char>(0x80 | (length & 0x7f));
    *at++ = static_cast<char>(length);
    return at;
}

// The text whose length starts at `at`.
std::string_view TextAt(const char* at) {
    size_t length = 0;
    for (int shift = 0;; shift += 7) {
        auto byte = static_cast<unsigned char>(*at++);
        length |= static_cast<size_t>(byte & 0x7f) << shift;
        if (byte < 0x80) break;
    }
    return {at, length};
}
}  // namespace

uint32_t StringPool::Intern(std::string_view text) {
    if (index_.NeedsRoomFor(count_))
        index_.Grow([this](auto place) {
            ForEachText([&](uint32_t id, std::string_view held) { place(id, std::hash<std::string_view>()(held)); });
        });
    uint32_t& slot = index_.SlotOf(std::hash<std::string_view>()(text), [&](uint32_t id) { return At(id) == text; });
    if (slot != InternIndex::kFree) return slot;
    slot = Store(text);
    ++count_;
    return slot;
}

std::string_view StringPool::At(uint32_t id) const {
    const Block& block = blocks_.at(id >> kPlaceBits);
    uint32_t place = id & static_cast<uint32_t>(kBlockSize - 1);
    if (place >= block.used) throw std::out_of_range("no text numbered " + std::to_string(id));
    return TextAt(block.bytes.get() + place);
}

// Copies the text with its length and terminating zero into the last
// block, and answers its number.
uint32_t StringPool::Store(std::string_view text) {
    uint32_t id;
    char* at = Reserve(LengthBytes(text.size()) + text.size() + 1, id);
    at = PutLength(at, text.size());
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = '\0';
    return id;
}

// Room for `need` bytes at the end of the last block, or in a new one when
// they do not fit; blocks grow from 4 KB to 1 MB so that a small workbook
// stays small, and a text longer than a block has one of its own. A text
// always starts within the first megabyte of its block, so that its place
// fits the low bits of its number.
char* StringPool::Reserve(size_t need, uint32_t& id) {
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < need) {
        if (blocks_.size() >= kMaxBlocks) throw std::length_error("the texts of a workbook take at most 4 GB");
        if (need > UINT32_MAX) throw std::length_error("a text of " + std::to_string(need) + " bytes is too long to keep");
        size_t size = std::max(need, std::min(kBlockSize, size_t{4096} << std::min<size_t>(blocks_.size(), 8)));
        blocks_.push_back({std::make_unique<char[]>(size), static_cast<uint32_t>(size), 0});
    }
    Block& block = blocks_.back();
    id = static_cast<uint32_t>((blocks_.size() - 1) << kPlaceBits | block.used);
    // The last place of a full-grown block has no room for a text, and a
    // longer block holds one text at its start: no text is numbered kFree.
    assert(id != InternIndex::kFree);
    char* at = block.bytes.get() + block.used;
    block.used += static_cast<uint32_t>(need);
    return at;
}

// Calls visit(number, text) for every text held, block by block.
template <class Visit>
void StringPool::ForEachText(Visit visit) const {
    for (size_t b = 0; b < blocks_.size(); ++b) {
        const char* bytes = blocks_[b].bytes.get();
        for (uint32_t place = 0; place < blocks_[b].used;) {
            std::string_view text = TextAt(bytes + place);
            visit(static_cast<uint32_t>(b << kPlaceBits | place), text);
            place = static_cast<uint32_t>(text.data() + text.size() + 1 - bytes);
        }
    }
}

namespace {
uint64_t BitsOf(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The bits of whole numbers differ only high up, and std::hash of an
// integer is the integer itself: the table's low bits would all collide.
// This mixes every bit into every other (the splitmix64 finaliser).
size_t HashOfBits(uint64_t bits) {
    bits = (bits ^ (bits >> 30)) * 0xbf58476d1ce4e5b9ULL;
    bits = (bits ^ (bits >> 27)) * 0x94d049bb133111ebULL;
    return static_cast<size_t>(bits ^ (bits >> 31));
}
}  // namespace

uint32_t NumberPool::Intern(double value) {
    if (index_.NeedsRoomFor(values_.size()))
        index_.Grow([this](auto place) {
            for (uint32_t id = 0; id < values_.size(); ++id) place(id, HashOfBits(BitsOf(values_[id])));
        });
    uint64_t bits = BitsOf(value);
    uint32_t& slot = index_.SlotOf(HashOfBits(bits), [&](uint32_t id) { return BitsOf(values_[id]) == bits; });
    if (slot != InternIndex::kFree) return slot;
    if (values_.size() >= InternIndex::kFree) throw std::length_error("a workbook holds at most 4294967294 distinct numbers");
    slot = static_cast<uint32_t>(values_.size());
    values_.push_back(value);
    return slot;
}

Cell::Cell(int column) : head_(static_cast<uint32_t>(column)), value_(0) {
    assert(column >= 1 && column <= kMaxColumns);
}

void Cell::SetStyle(uint32_t style) {
    if (style >= kMaxStyles) throw std::length_error("cell style " + std::to_string(style) + " is past the last a cell can hold");
    head_ = (head_ & ~(~uint32_t{0} << kStyleShift)) | style << kStyleShift;
}

void Cell::Hold(CellKind kind, uint32_t value) {
    head_ = (head_ & ~(kKindMask << kKindShift)) | static_cast<uint32_t>(kind) << kKindShift;
    value_ = value;
}

namespace {
bool ColumnBefore(const Cell& cell, int column) { return cell.Column() < column; }
}  // namespace

const Cell* SheetData::Find(int row, int column) const {
    assert(IsValidCell(row, column));
    if (row > LastRow()) return nullptr;
    std::span<const Cell> cells = RowCells(row);
    auto it = std::lower_bound(cells.begin(), cells.end(), column, ColumnBefore);
    return it != cells.end() && it->Column() == column ? &*it : nullptr;
}

std::span<const Cell> SheetData::RowCells(int row) const {
    assert(row >= 1 && row <= LastRow());
    const RowBlock* block = blocks_[static_cast<size_t>(row - 1) / kRowsPerBlock].get();
    if (!block) return {};
    size_t i = static_cast<size_t>(row - 1) % kRowsPerBlock;
    return {block->cells.data() + block->start[i], block->start[i + 1] - block->start[i]};
}

// The block of `row`, made when the row lies past the last one. A block
// left behind is trimmed to its cells: rows are mostly written top to
// bottom, so it seldom grows again.
SheetData::Place SheetData::PlaceOf(int row) {
    size_t index = static_cast<size_t>(row - 1) / kRowsPerBlock;
    if (index >= blocks_.size()) {
        if (!blocks_.empty() && blocks_.back()) blocks_.back()->cells.shrink_to_fit();
        blocks_.resize(index + 1);
    }
    if (!blocks_[index]) blocks_[index] = std::make_unique<RowBlock>();
    lastRow_ = std::max(lastRow_, row);
    return {blocks_[index].get(), static_cast<size_t>(row - 1) % kRowsPerBlock};
}

void SheetData::RowStarts::Shift(size_t row, std::ptrdiff_t delta, size_t cells) {
    if (!wide_ && cells > UINT16_MAX) {
        wide_ = std::make_unique<std::array<uint32_t, kRowsPerBlock + 1>>();
        std::copy(narrow_.begin(), narrow_.end(), wide_->begin());
    }
    if (wide_) {
        for (size_t i = row + 1; i < wide_->size(); ++i) (*wide_)[i] = static_cast<uint32_t>((*wide_)[i] + delta);
    } else {
        for (size_t i = row + 1; i < narrow_.size(); ++i) narrow_[i] = static_cast<uint16_t>(narrow_[i] + delta);
    }
}

// Moves the starts of the rows after `row` by the cells inserted (or removed) in it.
void SheetData::CountInserted(RowBlock& block, size_t row, int delta) {
    block.start.Shift(row, delta, block.cells.size());
    cellCount_ = static_cast<size_t>(static_cast<std::ptrdiff_t>(cellCount_) + delta);
}

Cell& SheetData::Ensure(int row, int column) {
    assert(IsValidCell(row, column));
    Place place = PlaceOf(row);
    std::vector<Cell>& cells = place.block->cells;
    auto first = cells.begin() + place.block->start[place.row];
    auto end = cells.begin() + place.block->start[place.row + 1];
    // Cells are mostly written left to right: appending is the common case.
    auto it = first != end && (end - 1)->Column() < column ? end : std::lower_bound(first, end, column, ColumnBefore);
    if (it != end && it->Column() == column) return *it;
    it = cells.insert(it, Cell(column));
    CountInserted(*place.block, place.row, 1);
    return *it;
}

void SheetData::DropIfDefault(int row, int column) {
    if (row > LastRow()) return;
    const Cell* found = Find(row, column);
    if (!found || found->Kind() != CellKind::Blank || found->Style() != 0) return;
    Place place = PlaceOf(row);
    std::vector<Cell>& cells = place.block->cells;
    cells.erase(cells.begin() + (found - cells.data()));
    CountInserted(*place.block, place.row, -1);
    while (lastRow_ > 0 && RowCells(lastRow_).empty()) --lastRow_;
    blocks_.resize(static_cast<size_t>(lastRow_ + kRowsPerBlock - 1) / kRowsPerBlock);
}

bool ParseNumberText(std::string_view text, double& value) { return plat::ParseDecimalNumber(text, value); }

}  // namespace excel
