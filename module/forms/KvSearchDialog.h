// The quick search of program windows: a small dialog that finds a value in
// one field of the dataset a grid shows and moves the grid to the record,
// or in one column of the listed lines of a string grid and moves the grid
// to the line.
// Its texts are a component of their own (TKvUserIntl) so that the
// window's language package and converter reach them like any caption.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

namespace vcl {
class TForm;
class TEdit;
class TComboBox;
class TCheckBox;
class TStringGrid;
class TRadioButton;
}
class TKvDBGrid;

class TKvUserIntl : public vcl::TComponent {
    VCL_DECLARE_CLASS(TKvUserIntl)
public:
    explicit TKvUserIntl(vcl::TComponent* owner) : vcl::TComponent(owner) {}
    std::string Caption = "快速定位";
    std::string EmptyValue = "查找的值不可为空。";
    std::string NotFound = "\"%s\"没有找到";
    std::string CloseButton = "关闭(&O)";
    std::string NextButton = "下一个(&N)";
    std::string CaseSensitive = "区分大小写(&C)";
    std::string WholeWord = "全字匹配(&W)";
    std::string Direction = "方向";
    std::string Field = "字段(&S)";
    std::string Options = "选项";
    std::string Scope = "区域";
    std::string SearchValue = "查找的值(&T)";
    std::string Up = "向上(&B)";
    std::string Down = "向下(&D)";
    std::string FromCursor = "从当前位置查找(&F)";
    std::string FromStart = "从头开始查找(&E)";
    // Every text, in the order above, for conversion and translation.
    std::vector<std::string*> Texts();
};

using TSearchFieldEvent = vcl::TEvent<vcl::TObject*, std::string&>;
using TSearchInitEvent = vcl::TEvent<vcl::TObject*, vcl::TForm*>;
using TBeforeSearchEvent = vcl::TEvent<vcl::TObject*, bool&>;
using TAfterSearchEvent = vcl::TEvent<vcl::TObject*, bool>;

class TkvSearchDialog : public vcl::TComponent {
    VCL_DECLARE_CLASS(TkvSearchDialog)
public:
    explicit TkvSearchDialog(vcl::TComponent* owner);

    TKvUserIntl* UserIntl = nullptr;
    TKvDBGrid* Grid = nullptr;            // the grid searched in
    vcl::TStringGrid* StringGrid = nullptr;   // or the string grid (when Grid is not set)
    std::string SearchText;
    std::string FieldName;                // the field searched
    bool CaseSensitive = false;
    bool Forward = true;
    bool SortFields = true;               // the field list sorted by name
    bool FromCursor = true;               // else from the first (last) record
    bool WholeWord = false;               // the whole value must match
    vcl::TFont Font;

    // Names of the grid's fields as the dialog lists them; for a string
    // grid its column names (see ColumnName).
    std::vector<std::string> FieldNames() const;
    // A string grid column's name: its title in the first row when the grid
    // has a fixed row and the title is not blank, else "#" and its number (from 1).
    std::string ColumnName(int col) const;
    // One search step: OnBeforeSearch (which may abort), the search itself
    // from the record after (before) the current one, the move, then
    // OnAfterSearch with the outcome. True when a record was found.
    bool FindNext();
    // Shows the dialog modally until it is closed.
    void Execute();
    // The dialog window, built for Execute (and for tests, which show it
    // without a modal loop). Owned by `owner`.
    vcl::TForm* CreateDialogForm(vcl::TComponent* owner);

    TSearchFieldEvent OnSelectField;
    TSearchInitEvent OnInitDialog;
    TBeforeSearchEvent OnBeforeSearch;
    TAfterSearchEvent OnAfterSearch;

private:
    bool Matches(const std::string& value) const;
    bool FindInDataGrid();
    bool FindInStringGrid();
};
