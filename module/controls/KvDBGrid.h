// TKvDBGrid: the data-aware grid of program windows. It shows the records of
// the dataset behind its data source, one column per visible field with the
// field's display label as title, and keeps the current row and the
// dataset's cursor together. The window decides the colours of cells and
// titles, the image of a title, and what a click on a title does; fields
// may be shown as check boxes ("Y;N": checked and unchecked values).
// A column is as wide as its field's display width in characters of the
// grid's font (and at least its title); the user may widen it and move it,
// and the grid keeps a column's place across the dataset's re-layouts.
#pragma once

#include <map>
#include <string>

#include "Controls.h"
#include "Db.h"
#include "Graphics.h"

class QTableView;
class KvDBGridModel;

namespace vcl {
class TField;
class TClientDataSet;
class TImageList;
}

// (grid, field, record number (1-based; 0 when unknown), active row, background, font colour)
using TCalcCellColorsEvent = vcl::TEvent<vcl::TObject*, vcl::TField*, int, bool, vcl::TColor&, vcl::TColor&>;
// (grid, field, title background)
using TCalcTitleAttributesEvent = vcl::TEvent<vcl::TObject*, vcl::TField*, vcl::TColor&>;
// (grid, field, image index; -1 shows none)
using TCalcTitleImageEvent = vcl::TEvent<vcl::TObject*, vcl::TField*, int&>;
using TTitleButtonClickEvent = vcl::TEvent<vcl::TObject*, const std::string&>;

class TKvDBGrid : public vcl::TWinControl {
    VCL_DECLARE_CLASS(TKvDBGrid)
public:
    explicit TKvDBGrid(vcl::TComponent* owner);
    ~TKvDBGrid() override;

    vcl::TDataSource* DataSource() const { return source_; }
    void SetDataSource(vcl::TDataSource* source);
    vcl::TClientDataSet* DataSet() const;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool TitleButtons() const { return titleButtons_; }
    void SetTitleButtons(bool on) { titleButtons_ = on; }
    vcl::TImageList* TitleImageList() const { return titleImages_; }
    void SetTitleImageList(vcl::TImageList* images) { titleImages_ = images; }

    // The field of the current column; nullptr without columns.
    vcl::TField* SelectedField() const;
    void SetSelectedField(vcl::TField* field);
    int ColumnCount() const;
    vcl::TField* ColumnField(int column) const;
    // Shows `fieldName` as a check box: `values` "checked;unchecked".
    void SetCheckBoxField(const std::string& fieldName, const std::string& values);
    std::string CheckBoxValues(const std::string& fieldName) const;
    void ClearCheckBoxFields() { checkFields_.clear(); }

    // ---- column widths and places ----
    // Width in pixels of a column of `displayWidth` characters: the width of
    // "0" in the grid's font per character, plus 4 for the cell's margins.
    int PixelsOfDisplayWidth(int displayWidth) const;
    // The display width (characters, at least 1) that `pixels` amount to.
    int DisplayWidthOfPixels(int pixels) const;
    // The width in pixels a column has on the screen.
    int ColumnWidth(int column) const;
    // Sets a column's width in pixels, as the user does by dragging its border.
    void SetColumnWidth(int column, int pixels);
    // Writes the widths the user gave columns into their fields' display
    // widths, so that a saved view keeps them; columns the user left alone
    // keep their fields' widths.
    void KeepColumnWidths();
    // The place (0-based, left to right) at which `field`'s column is shown;
    // -1 when the field has no column.
    int ColumnPosition(const vcl::TField* field) const;
    // Shows `field`'s column at `position`, now and after every re-layout.
    void SetColumnPosition(const vcl::TField* field, int position);

    // The colours a cell is painted with (row 0-based in the grid).
    void CellColors(int row, int column, vcl::TColor& background, vcl::TColor& font) const;
    vcl::TColor TitleColor(int column) const;
    int TitleImage(int column) const;
    // A click on the title of `column` (as the user makes it).
    void TitleClick(int column);

    TCalcCellColorsEvent OnCalcCellColors;
    TCalcTitleAttributesEvent OnCalcTitleAttributes;
    TCalcTitleImageEvent OnCalcTitleImage;
    TTitleButtonClickEvent OnTitleButtonClick;

    QTableView* View() const { return view_; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    bool ClickOnMouse() const override { return false; }

private:
    friend class ::KvDBGridModel;
    void FollowCursor(int row);
    void ApplyColumnLayout();
    int ColumnOf(const vcl::TField* field) const;
    QTableView* view_;
    KvDBGridModel* model_;
    vcl::TDataSource* source_ = nullptr;
    bool readOnly_ = true;
    bool titleButtons_ = false;
    vcl::TImageList* titleImages_ = nullptr;
    std::map<std::string, std::string> checkFields_;   // upper-cased field name -> "Y;N"
    bool syncing_ = false;
    bool laying_ = false;                              // the grid itself sizes or moves columns
    std::map<std::string, int> userWidths_;            // upper-cased field name -> pixels the user gave
    std::map<std::string, int> positions_;             // upper-cased field name -> place asked for
};
