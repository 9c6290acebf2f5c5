// The in-memory workbook: style and text pools, rows of cells, and the
// reading of typed numbers.
#include "SheetModel.h"

#include "StrUtils.h"

#include <algorithm>
#include <cassert>

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
    uint32_t id = static_cast<uint32_t>(styles_.size());
    styles_.push_back(style);
    ids_.emplace(style, id);
    return id;
}

uint32_t StringPool::Intern(std::string_view text) {
    auto it = ids_.find(text);
    if (it != ids_.end()) return it->second;
    uint32_t id = static_cast<uint32_t>(texts_.size());
    texts_.emplace_back(text);
    ids_.emplace(std::string_view(texts_.back()), id);
    return id;
}

namespace {
bool ColumnBefore(const Cell& cell, int column) { return cell.Column < column; }
}  // namespace

const Cell* SheetData::Find(int row, int column) const {
    assert(IsValidCell(row, column));
    if (row > LastRow()) return nullptr;
    const std::vector<Cell>& cells = rows_[static_cast<size_t>(row - 1)];
    auto it = std::lower_bound(cells.begin(), cells.end(), column, ColumnBefore);
    return it != cells.end() && it->Column == column ? &*it : nullptr;
}

Cell& SheetData::Ensure(int row, int column) {
    assert(IsValidCell(row, column));
    if (row > LastRow()) rows_.resize(static_cast<size_t>(row));
    std::vector<Cell>& cells = rows_[static_cast<size_t>(row - 1)];
    // Cells are mostly written left to right: appending is the common case.
    auto it = !cells.empty() && cells.back().Column < column
                  ? cells.end()
                  : std::lower_bound(cells.begin(), cells.end(), column, ColumnBefore);
    if (it != cells.end() && it->Column == column) return *it;
    Cell cell;
    cell.Column = static_cast<uint16_t>(column);
    cell.Kind = CellKind::Blank;
    cell.Style = 0;
    cell.Number = 0;
    ++cellCount_;
    return *cells.insert(it, cell);
}

void SheetData::DropIfDefault(int row, int column) {
    if (row > LastRow()) return;
    std::vector<Cell>& cells = rows_[static_cast<size_t>(row - 1)];
    auto it = std::lower_bound(cells.begin(), cells.end(), column, ColumnBefore);
    if (it == cells.end() || it->Column != column || it->Kind != CellKind::Blank || it->Style != 0) return;
    cells.erase(it);
    --cellCount_;
    while (!rows_.empty() && rows_.back().empty()) rows_.pop_back();
}

bool ParseNumberText(std::string_view text, double& value) { return plat::ParseDecimalNumber(text, value); }

}  // namespace excel
