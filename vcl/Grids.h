// The string grid: ColCount x RowCount cells of text, the first FixedRows
// rows and FixedCols columns drawn as headings and never current, with row
// heights, column widths, grid options and a current cell (Col, Row). A
// change of the current cell, by the user or by the program, is a click.
#pragma once

#include <string>

#include <QVariant>

#include "Controls.h"

class QTableView;

namespace vcl {

// Grid options: a set (bit i is element i of GridOptionNames()).
enum TGridOption {
    goFixedVertLine = 1 << 0, goFixedHorzLine = 1 << 1, goVertLine = 1 << 2, goHorzLine = 1 << 3,
    goRangeSelect = 1 << 4, goDrawFocusSelected = 1 << 5, goRowSizing = 1 << 6, goColSizing = 1 << 7,
    goRowMoving = 1 << 8, goColMoving = 1 << 9, goEditing = 1 << 10, goTabs = 1 << 11, goRowSelect = 1 << 12,
    goAlwaysShowEditor = 1 << 13, goThumbTracking = 1 << 14,
};
const std::vector<std::string>& GridOptionNames();

using TSelectCellEvent = TEvent<TObject*, int, int, bool&>;

class StringGridModel;

class TStringGrid : public TWinControl {
    VCL_DECLARE_CLASS(TStringGrid)
public:
    explicit TStringGrid(TComponent* owner);

    int ColCount() const;
    void SetColCount(int count);
    int RowCount() const;
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);
    // The text of cell (col, row); empty outside the grid.
    std::string Cells(int col, int row) const;
    // Raises plat::Exception outside the grid.
    void SetCell(int col, int row, std::string text);
    // Between BeginUpdate and EndUpdate the view hears of changed cells once,
    // at the outermost EndUpdate, as one rectangle around all of them; the
    // cells themselves change at once. Calls nest.
    void BeginUpdate();
    void EndUpdate();
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidth(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeight(int row, int height);
    int Options() const { return options_; }
    void SetOptions(int options);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    // The current cell; never in a fixed row or column.
    int Col() const;
    void SetCol(int col);
    int Row() const;
    void SetRow(int row);
    int TopRow() const;
    void SetTopRow(int row);
    // Clears the text of every cell.
    void ClearCells();

    TSelectCellEvent OnSelectCell;
    bool WantsTab() const override { return options_ & goTabs; }

    // The view that draws the grid, and the text it shows for cell (col, row)
    // as read through its model (empty outside the grid).
    QTableView* View() const { return view_; }
    std::string DisplayText(int col, int row) const;

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    bool ClickOnMouse() const override { return false; }
    // What a cell shows beyond its text (Qt's alignment, tool-tip and font
    // roles) for a cell inside the grid; nothing in the plain grid.
    virtual QVariant CellLook(int col, int row, int role) const { return {}; }
    // Redraws the cells after what CellLook answers changed.
    void CellLooksChanged();

private:
    friend class StringGridModel;
    bool IsFixed(int col, int row) const { return row < fixedRows_ || col < fixedCols_; }
    void UpdateFixed();
    void ApplyOptions();
    void MoveTo(int col, int row);
    StringGridModel* model_;   // the cells; owned by view_
    QTableView* view_;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TColor fixedColor_ = clBtnFace;
    bool moving_ = false;
    int sizingCol_ = -1;
    int sizingStart_ = 0;
    int sizingWidth_ = 0;
};

}  // namespace vcl
