// TSelectPanel: the condition control of the query programs. A group box
// whose caption names the condition and which holds a range input (start
// and end edit, each with a lookup button), a multi-value list (filled
// through the lookup window, with buttons to delete entries), or both with
// a check box that lets the user choose. The panel builds no SQL: the
// program that owns it reads the edits or the list. The lookup itself is
// run by the owning form when the panel asks for it (WM_KEYF2).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "KvCtrls.h"
#include "Mask.h"
#include "StdCtrls.h"

class TSelectPanel;

enum class TSelectStyle { sp_Range, sp_Discrete, sp_UserChoice };
// How start and end are compared when the panel is left.
enum class TValueType { vt_String, vt_Number, vt_Date, vt_Time, vt_Float, vt_OtherMask };
// Order of the date parts; the codes 1-5 are the suite's date format kinds
// (4 and 5 count the year from 1912).
enum class TDateType { dt_NoneCare, dt_YYYYMMDD, dt_MMDDYYYY, dt_DDMMYYYY, dt_YYMMDD, dt_YYYMMDD };
enum class TCheckDuplicate { cd_None, cd_CheckCase, cd_CaseInsensitive };

using TOpenWinClickEvent = vcl::TEvent<vcl::TObject*, vcl::TWinControl*>;
using TDeleteClickEvent = vcl::TEvent<vcl::TObject*, bool&>;
using TStyleChangingEvent = vcl::TEvent<vcl::TObject*, TSelectStyle, bool&, TSelectStyle&>;
using TStyleChangeEvent = vcl::TEvent<vcl::TObject*, TSelectStyle, TSelectStyle>;
// The list view's selection event with the item's index added.
using TPanelSelectItemEvent = vcl::TEvent<vcl::TObject*, vcl::TListItem*, bool, int>;

// The panel's start and end edits. While the panel changes their mask the
// edit keeps quiet about the text it loses and regains.
class TOrbMaskEdit : public vcl::TMaskEdit {
    VCL_DECLARE_CLASS(TOrbMaskEdit)
public:
    explicit TOrbMaskEdit(vcl::TComponent* owner) : vcl::TMaskEdit(owner) {}
    bool ChangingMask = false;

protected:
    void Change() override;
};

// The panel's list. A left click first takes the focus and is only handled
// further when the list then has it (an exit handler elsewhere may refuse).
class TOrbListView : public vcl::TListView {
    VCL_DECLARE_CLASS(TOrbListView)
public:
    explicit TOrbListView(vcl::TComponent* owner);
    ~TOrbListView() override;
    bool ColumnsAutoSize = true;

private:
    class ClickGate;
    std::unique_ptr<ClickGate> gate_;
};

class TOrbCheckBox : public vcl::TBitCheckBox {
    VCL_DECLARE_CLASS(TOrbCheckBox)
public:
    explicit TOrbCheckBox(vcl::TComponent* owner) : vcl::TBitCheckBox(owner) {}
};

class TSelectPanel : public vcl::TGroupBox {
    VCL_DECLARE_CLASS(TSelectPanel)
public:
    explicit TSelectPanel(vcl::TComponent* owner);
    ~TSelectPanel() override;

    // ---- children (owned by the panel) ----
    TOrbCheckBox* CheckBox = nullptr;
    vcl::TPanel* RangePanel = nullptr;
    vcl::TLabel* BeginLabel = nullptr;
    TOrbMaskEdit* BeginEdit = nullptr;
    vcl::TF2Button* BeginButton = nullptr;
    vcl::TLabel* FinalLabel = nullptr;
    TOrbMaskEdit* FinalEdit = nullptr;
    vcl::TF2Button* FinalButton = nullptr;
    vcl::TPanel* ListPanel = nullptr;
    vcl::TF2Button* ListButton = nullptr;
    vcl::TGSpeedButton* DeleteButton = nullptr;
    vcl::TGSpeedButton* ClearButton = nullptr;
    TOrbListView* ListView = nullptr;

    // ---- published properties ----
    TSelectStyle Style() const { return style_; }
    // Raises OnStyleChanging (which may refuse or redirect the change),
    // shows the input of the new style, exchanges the size with the other
    // size when the change goes from or to the one-row range, lays out,
    // raises OnStyleChange, and only then stores the style.
    void SetStyle(TSelectStyle style);
    bool UserChoice() const { return userChoice_; }
    void SetUserChoice(bool choice);
    const std::string& HintWord() const { return hintWord_; }
    void SetHintWord(const std::string& word);
    // Line 0 is the word of the one-row range, line 1 that of the two-row
    // range and of the user's choice. A list of one line serves both; an
    // empty list leaves the labels as they are.
    vcl::TStrings* BeginWords() const { return beginWords_.get(); }
    void SetBeginWords(const vcl::TStrings* words);
    vcl::TStrings* FinalWords() const { return finalWords_.get(); }
    void SetFinalWords(const vcl::TStrings* words);
    // Hints of the children by index (0 check box, 1 start edit, 2 its
    // button, 3 end edit, 4 its button, 5 list, 6 list button, 7 delete,
    // 8 clear). A shorter list leaves the remaining hints as they are.
    vcl::TStrings* ChildHints() const { return childHints_.get(); }
    void SetChildHints(const vcl::TStrings* hints);
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask);
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType type) { valueType_ = type; }
    TDateType DateType() const { return dateType_; }
    void SetDateType(TDateType type) { dateType_ = type; }
    const std::string& DateSign() const { return dateSign_; }
    void SetDateSign(const std::string& sign) { dateSign_ = sign; }
    bool AutoChangeDateSite() const { return autoChangeDateSite_; }
    void SetAutoChangeDateSite(bool on) { autoChangeDateSite_ = on; }
    bool UseDiscard() const { return useDiscard_; }
    void SetUseDiscard(bool on) { useDiscard_ = on; }
    const std::string& Discard() const { return discard_; }
    void SetDiscard(const std::string& text) { discard_ = text; }
    bool CanOpenWin() const { return canOpenWin_; }
    void SetCanOpenWin(bool on);
    int GlyphIndex() const { return glyphIndex_; }
    void SetGlyphIndex(int index);
    bool UseVertical() const { return useVertical_; }
    void SetUseVertical(bool on);
    int OtherWidth() const { return otherWidth_; }
    void SetOtherWidth(int width) { otherWidth_ = width; }
    int OtherHeight() const { return otherHeight_; }
    void SetOtherHeight(int height) { otherHeight_ = height; }
    vcl::TListItems* Items() const { return ListView->Items(); }
    vcl::TListColumns* Columns() const { return ListView->Columns(); }
    // Reading answers the current column captions (a list of the panel's
    // that is refilled on every read); setting replaces all columns.
    vcl::TStrings* ColumnCaptions() const;
    void SetColumnCaptions(const vcl::TStrings* captions);
    bool ShowColumnHeader() const { return ListView->ShowColumnHeaders(); }
    void SetShowColumnHeader(bool show) { ListView->SetShowColumnHeaders(show); }
    bool ColumnsAutoSize() const { return ListView->ColumnsAutoSize; }
    void SetColumnsAutoSize(bool on) { ListView->ColumnsAutoSize = on; }
    bool HideSelection() const { return ListView->HideSelection(); }
    void SetHideSelection(bool hide) { ListView->SetHideSelection(hide); }
    bool SortListBox() const { return sortListBox_; }
    void SetSortListBox(bool sort);
    TCheckDuplicate CheckDuplicate() const { return checkDuplicate_; }
    void SetCheckDuplicate(TCheckDuplicate check);

    // While a window builds the panel from its description, style and
    // orientation changes keep the size the description gives.
    bool Loading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }

    // ---- reading and filling ----
    // True in sp_Range, and in sp_UserChoice while the check box is ticked.
    bool IsRangeShown() const;
    // The text of an empty start edit under the current mask.
    const std::string& BlankText() const { return blankText_; }
    // Adds one row to the list: missing columns are added as "Data2",
    // "Data3"..., every row is padded to the same number of sub-items,
    // duplicates are removed and the columns sized when asked for. Nothing
    // happens for an empty row. A row costs a binary search in a sorted
    // list and a look at its neighbours for duplicates; the whole list is
    // only gone through again after it was changed from outside the panel.
    void AddListRow(const std::vector<std::string>& values);
    // Sorts the list by a column as a click on its header does.
    void SortByColumn(int column);
    int SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return sortDescending_; }

    // The lookup buttons: focus the control they serve, ask the form for
    // its F2 lookup on it (WM_KEYF2, answered before this returns), then
    // raise OnOpenWinClick.
    void OpenWinClick(vcl::TF2Button* button);
    // DeleteButton: removes the selected entries unless OnDeleteClick refuses.
    void DeleteSelected();
    // ClearButton: empties the list, focuses it and raises OnClearClick.
    void ClearList();

    void SetFocus() override;
    // Sets the panel and, recursively, every child control.
    void SetEnabled(bool enabled) override;
    // Trims (unless the mask starts with "!"), puts start and end in order
    // by ValueType, then raises OnExit.
    void DoExit() override;
    // Places the children for the current style.
    void Layout();

    // ---- events ----
    TOpenWinClickEvent OnOpenWinClick;
    vcl::TNotifyEvent OnClearClick;
    TDeleteClickEvent OnDeleteClick;
    vcl::TNotifyEvent OnTypeClick;
    TStyleChangingEvent OnStyleChanging;
    TStyleChangeEvent OnStyleChange;
    TPanelSelectItemEvent OnItemSelect;
    vcl::TLVChangeEvent OnItemChange;
    vcl::TLVChangingEvent OnItemChanging;

protected:
    void AlignControls() override;
    void ApplyFont() override;

private:
    void WireChildren();
    void LayoutFor(TSelectStyle style);
    void LayoutRange(int width, int height, bool vertical);
    void LayoutList(int width, int height);
    void ShowInputs(TSelectStyle style);
    void ExchangeSize();
    void TypeToggled();
    void WordsChanged(vcl::TStrings* words);
    void ApplyChildHints();
    void RemoveDuplicates();
    void SortByText();
    void UseTextOrder();
    bool IsDuplicate(const vcl::TListItem* a, const vcl::TListItem* b) const;
    // The list as AddListRow left it: sorted and without duplicates as
    // asked, its widest sub-item count and its column widths known.
    bool ListStateKnown() const;
    void RebuildListState();
    void PadSubItems(vcl::TListItem* added);
    void DropIfDuplicate(vcl::TListItem*& added);
    int TextWidth(const std::string& text) const;
    void WidenColumns(const vcl::TListItem* item);
    void ApplyColumnWidths();
    std::string WordFor(const vcl::TStrings* words, int line) const;

    TSelectStyle style_ = TSelectStyle::sp_Range;
    bool userChoice_ = true;
    std::string hintWord_;
    std::unique_ptr<vcl::TStrings> beginWords_;
    std::unique_ptr<vcl::TStrings> finalWords_;
    std::unique_ptr<vcl::TStrings> childHints_;
    std::unique_ptr<vcl::TStrings> columnCaptions_;     // refilled on every read
    std::string editMask_;
    std::string blankText_;                             // text of an empty start edit under the mask
    TValueType valueType_ = TValueType::vt_String;
    TDateType dateType_ = TDateType::dt_NoneCare;
    std::string dateSign_ = "/";
    bool autoChangeDateSite_ = true;
    bool useDiscard_ = false;
    std::string discard_;
    bool canOpenWin_ = true;
    int glyphIndex_ = 8;
    bool useVertical_ = false;
    int otherWidth_ = 200;
    int otherHeight_ = 105;
    bool sortListBox_ = false;
    TCheckDuplicate checkDuplicate_ = TCheckDuplicate::cd_None;
    int sortColumn_ = 0;
    bool sortDescending_ = false;
    bool childrenEnabled_ = true;                       // the state SetEnabled gave the children
    bool loading_ = false;
    bool built_ = false;                                // children exist: layout may run
    bool settingChoice_ = false;                        // the program ticks the check box
    bool normalizingWords_ = false;
    // What AddListRow knows about the list between rows.
    bool addingRow_ = false;                            // changes of the list are the panel's own
    bool listStateKnown_ = false;                       // false after any change from outside
    int knownItemCount_ = 0;
    int widestSubItems_ = 0;
    std::vector<int> textWidths_;                       // per column: its widest text in pixels
};
