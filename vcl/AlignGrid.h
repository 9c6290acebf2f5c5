// The aligned string grid: a string grid whose columns each have their own
// alignment, whose cells may carry a hint (shown as the cell's tool tip) and
// a font of their own, and whose fixed row and fixed column take their
// texts from two lists, the column titles and the row titles.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "Graphics.h"
#include "Grids.h"
#include "StdCtrls.h"

namespace vcl {

class TAlignedStringGrid : public TStringGrid {
    VCL_DECLARE_CLASS(TAlignedStringGrid)
public:
    explicit TAlignedStringGrid(TComponent* owner);
    ~TAlignedStringGrid() override;

    // taLeftJustify for a column never given one.
    TAlignment ColAlignment(int col) const;
    void SetColAlignment(int col, TAlignment alignment);
    // Empty for a cell without a hint.
    std::string CellHint(int col, int row) const;
    void SetCellHint(int col, int row, const std::string& hint);
    // The cells that have a hint, as (col, row), in row-major order.
    std::vector<std::pair<int, int>> HintedCells() const;
    // The cell's own font, created on first use; nullptr from FindCellFont
    // for a cell that has none (it is drawn in the grid's font).
    TFont* CellFont(int col, int row);
    TFont* FindCellFont(int col, int row) const;
    std::vector<std::pair<int, int>> CellsWithFont() const;
    // Line i is the text of column i in the first fixed row; line i of
    // RowTitles that of row i in the first fixed column. A fixed cell
    // without a line keeps its own text.
    TStrings* ColumnTitles() const { return columnTitles_.get(); }
    TStrings* RowTitles() const { return rowTitles_.get(); }

protected:
    QVariant CellLook(int col, int row, int role) const override;

private:
    void ShowTitles();
    std::map<int, TAlignment> alignments_;
    std::map<std::pair<int, int>, std::string> hints_;        // keyed (row, col): row-major order
    std::map<std::pair<int, int>, std::unique_ptr<TFont>> fonts_;
    std::unique_ptr<TStrings> columnTitles_;
    std::unique_ptr<TStrings> rowTitles_;
};

}  // namespace vcl
