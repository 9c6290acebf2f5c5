// The aligned string grid: per-column alignment, per-cell hints and fonts,
// and the titles of the fixed row and column, all answered to the grid's
// view through the cell looks of the string grid.
#include "AlignGrid.h"

#include <QFont>
#include <QString>

namespace vcl {

namespace {

Qt::Alignment QtAlignment(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case TAlignment::taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    case TAlignment::taLeftJustify: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

const TClassInfo& TAlignedStringGrid::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TAlignedStringGrid>("TAlignedStringGrid", TStringGrid::StaticClass());
        TPropBuilder<TAlignedStringGrid>(c)
            .Obj<TStrings>("ColumnTitles", &TAlignedStringGrid::ColumnTitles)
            .Obj<TStrings>("RowTitles", &TAlignedStringGrid::RowTitles);
        return c;
    }();
    return info;
}

TAlignedStringGrid::TAlignedStringGrid(TComponent* owner)
    : TStringGrid(owner), columnTitles_(std::make_unique<TStrings>()), rowTitles_(std::make_unique<TStrings>()) {
    columnTitles_->Changed = [this] { ShowTitles(); };
    rowTitles_->Changed = [this] { ShowTitles(); };
}

TAlignedStringGrid::~TAlignedStringGrid() = default;

TAlignment TAlignedStringGrid::ColAlignment(int col) const {
    auto it = alignments_.find(col);
    return it == alignments_.end() ? TAlignment::taLeftJustify : it->second;
}

void TAlignedStringGrid::SetColAlignment(int col, TAlignment alignment) {
    alignments_[col] = alignment;
    CellLooksChanged();
}

std::string TAlignedStringGrid::CellHint(int col, int row) const {
    auto it = hints_.find({row, col});
    return it == hints_.end() ? std::string() : it->second;
}

void TAlignedStringGrid::SetCellHint(int col, int row, const std::string& hint) {
    if (hint.empty()) hints_.erase({row, col});
    else hints_[{row, col}] = hint;
}

std::vector<std::pair<int, int>> TAlignedStringGrid::HintedCells() const {
    std::vector<std::pair<int, int>> cells;
    for (const auto& [at, hint] : hints_) cells.emplace_back(at.second, at.first);
    return cells;
}

TFont* TAlignedStringGrid::CellFont(int col, int row) {
    std::unique_ptr<TFont>& font = fonts_[{row, col}];
    if (!font) {
        font = std::make_unique<TFont>();
        font->Assign(*Font());
        font->Changed = [this] { CellLooksChanged(); };
    }
    return font.get();
}

TFont* TAlignedStringGrid::FindCellFont(int col, int row) const {
    auto it = fonts_.find({row, col});
    return it == fonts_.end() ? nullptr : it->second.get();
}

std::vector<std::pair<int, int>> TAlignedStringGrid::CellsWithFont() const {
    std::vector<std::pair<int, int>> cells;
    for (const auto& [at, font] : fonts_) cells.emplace_back(at.second, at.first);
    return cells;
}

// Titles beyond the grid's size are kept for when it grows to them.
void TAlignedStringGrid::ShowTitles() {
    BeginUpdate();
    if (FixedRows() > 0)
        for (int col = 0; col < columnTitles_->Count() && col < ColCount(); ++col)
            SetCell(col, 0, columnTitles_->Strings(col));
    if (FixedCols() > 0)
        for (int row = 0; row < rowTitles_->Count() && row < RowCount(); ++row)
            SetCell(0, row, rowTitles_->Strings(row));
    EndUpdate();
}

QVariant TAlignedStringGrid::CellLook(int col, int row, int role) const {
    switch (role) {
    case Qt::TextAlignmentRole: return QVariant::fromValue(QtAlignment(ColAlignment(col)));
    case Qt::ToolTipRole: {
        std::string hint = CellHint(col, row);
        return hint.empty() ? QVariant() : QVariant(QString::fromStdString(hint));
    }
    case Qt::FontRole:
        if (const TFont* font = FindCellFont(col, row)) return font->ToQFont();
        return {};
    default: return {};
    }
}

}  // namespace vcl
