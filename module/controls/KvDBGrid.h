// TKvDBGrid: the data-aware grid of program windows. It shows the records of
// the dataset behind its data source, one column per visible field with the
// field's display label as title, and keeps the current row and the
// dataset's cursor together. The window decides the colours of cells and
// titles, the image of a title, and what a click on a title does; fields
// may be shown as check boxes ("Y;N": checked and unchecked values).
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
    QTableView* view_;
    KvDBGridModel* model_;
    vcl::TDataSource* source_ = nullptr;
    bool readOnly_ = true;
    bool titleButtons_ = false;
    vcl::TImageList* titleImages_ = nullptr;
    std::map<std::string, std::string> checkFields_;   // upper-cased field name -> "Y;N"
    bool syncing_ = false;
};
