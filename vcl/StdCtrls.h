// Standard controls: label, edit, memo, combo box, button, check box and
// group box, each over the matching Qt widget. Edits, memos, combo boxes and
// check boxes can be bound to a data field (DataSource, DataField).
#pragma once

#include <memory>
#include <string>

#include "Controls.h"
#include "Db.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QListWidget;
class QPushButton;
class QCheckBox;
class QGroupBox;

namespace vcl {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

const std::vector<std::string>& AlignmentNames();

// A text with an optional accelerator ("&File") as Qt shows it without one:
// a single "&" disappears, "&&" shows one.
std::string StripAccelerator(const std::string& caption);

class TLabel : public TGraphicControl {
    VCL_DECLARE_CLASS(TLabel)
public:
    explicit TLabel(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control) { focusControl_ = control; }

    QLabel* Label() const { return label_; }

protected:
    void CaptionChanged() override;
    void ApplyFont() override;
    void ApplyColor() override;

private:
    void Adjust();
    QLabel* label_;
    bool autoSize_ = true;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

// The single-line edit and the base of the mask edit and the button edit.
class TCustomEdit : public TWinControl {
    VCL_DECLARE_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* owner);

    virtual std::string Text() const;
    virtual void SetText(const std::string& text);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    char32_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char32_t ch);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase charCase);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);
    std::string SelText() const;
    void SelectAll();
    void Clear() { SetText(""); }
    const std::string& ImeName() const { return imeName_; }
    void SetImeName(const std::string& name) { imeName_ = name; }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    std::string DataField() const { return link_.DataField(); }
    void SetDataField(const std::string& field) { link_.SetDataField(field); }

    TNotifyEvent OnChange;
    void DoEnter() override;
    void DoExit() override;

    QLineEdit* LineEdit() const { return edit_; }

protected:
    // For descendants that use another widget (the button edit's frame):
    // `edit` is the line edit inside `outer`.
    TCustomEdit(TComponent* owner, QWidget* outer, QLineEdit* edit);
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    bool ClickOnMouse() const override { return true; }
    virtual void Change();
    void ApplyColor() override;

    TFieldLink link_;

private:
    void Init();
    QLineEdit* edit_;
    int maxLength_ = 0;
    char32_t passwordChar_ = 0;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    bool autoSelect_ = true;
    bool modified_ = false;
    bool settingText_ = false;
    std::string imeName_;
};

class TEdit : public TCustomEdit {
    VCL_DECLARE_CLASS(TEdit)
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TMemo : public TWinControl {
    VCL_DECLARE_CLASS(TMemo)
public:
    explicit TMemo(TComponent* owner);

    TStrings* Lines() const { return lines_.get(); }
    std::string Text() const;
    void SetText(const std::string& text);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length) { maxLength_ = length; }
    bool WantReturns() const { return wantReturns_; }
    bool WantsReturn() const override { return wantReturns_; }
    void SetWantReturns(bool want) { wantReturns_ = want; }
    bool WantsTab() const override { return wantTabs_; }
    void SetWantTabs(bool want) { wantTabs_ = want; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    const std::string& ImeName() const { return imeName_; }
    void SetImeName(const std::string& name) { imeName_ = name; }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    std::string DataField() const { return link_.DataField(); }
    void SetDataField(const std::string& field) { link_.SetDataField(field); }
    void Clear() { lines_->Clear(); }

    TNotifyEvent OnChange;
    void DoExit() override;

    QPlainTextEdit* TextEdit() const { return edit_; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }

private:
    void LinesChanged();
    void WidgetChanged();
    QPlainTextEdit* edit_;
    std::unique_ptr<TStrings> lines_;
    TFieldLink link_;
    bool syncing_ = false;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    int maxLength_ = 0;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    bool modified_ = false;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    std::string imeName_;
};

class TComboBox : public TWinControl {
    VCL_DECLARE_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* owner);

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    TStrings* Items() const { return items_.get(); }
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Text() const;
    void SetText(const std::string& text);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height) { itemHeight_ = height; }
    bool DroppedDown() const;
    void SetDroppedDown(bool down);
    const std::string& ImeName() const { return imeName_; }
    void SetImeName(const std::string& name) { imeName_ = name; }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    std::string DataField() const { return link_.DataField(); }
    void SetDataField(const std::string& field) { link_.SetDataField(field); }
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    void DoExit() override;

    QComboBox* Combo() const { return combo_; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    bool ClickOnMouse() const override { return false; }

private:
    void ItemsChanged();
    QComboBox* combo_;
    std::unique_ptr<TStrings> items_;
    TFieldLink link_;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int dropDownCount_ = 8;
    bool sorted_ = false;
    int maxLength_ = 0;
    int itemHeight_ = 13;
    bool syncing_ = false;
    bool modified_ = false;
    std::string imeName_;
};

// A list of texts, one of them selected (ItemIndex). A sorted list box
// keeps its items in text order (compared without case), also when the
// program changes them. The owner-drawn styles draw as the standard one.
class TListBox : public TWinControl {
    VCL_DECLARE_CLASS(TListBox)
public:
    explicit TListBox(TComponent* owner);

    TStrings* Items() const { return items_.get(); }
    // -1 when none is selected; an index outside the items selects none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style) { style_ = style; }
    void Clear() { items_->Clear(); }

    QListWidget* List() const { return list_; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    bool ClickOnMouse() const override { return false; }

private:
    void ItemsChanged();
    QListWidget* list_;
    std::unique_ptr<TStrings> items_;
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    bool sorted_ = false;
    bool syncing_ = false;
};

// A push button. Clicking it sets its ModalResult as the form's.
class TButton : public TWinControl {
    VCL_DECLARE_CLASS(TButton)
public:
    explicit TButton(TComponent* owner);

    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void Click() override;

    QPushButton* Button() const { return button_; }

protected:
    TButton(TComponent* owner, QPushButton* button);
    void CaptionChanged() override;
    bool ClickOnMouse() const override { return false; }

private:
    void Init();
    QPushButton* button_;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

class TCheckBox : public TWinControl {
    VCL_DECLARE_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* owner);

    bool Checked() const { return State() == TCheckBoxState::cbChecked; }
    void SetChecked(bool checked) { SetState(checked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const;
    void SetState(TCheckBoxState state);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool allow);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    std::string DataField() const { return link_.DataField(); }
    void SetDataField(const std::string& field) { link_.SetDataField(field); }
    // The field texts that stand for checked and unchecked ("Y", "N").
    std::string ValueChecked = "Y";
    std::string ValueUnchecked = "N";

    QCheckBox* CheckBox() const { return box_; }

protected:
    // For check boxes that draw themselves: `box` is their own QCheckBox.
    TCheckBox(TComponent* owner, QCheckBox* box);
    void CaptionChanged() override;
    bool ClickOnMouse() const override { return false; }

private:
    QCheckBox* box_;
    TFieldLink link_;
    bool allowGrayed_ = false;
    bool syncing_ = false;
    TAlignment alignment_ = TAlignment::taRightJustify;
};

class TGroupBox : public TWinControl {
    VCL_DECLARE_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner);
    QGroupBox* GroupBox() const { return box_; }

protected:
    void CaptionChanged() override;
    QRect AlignRect() const override;

private:
    QGroupBox* box_;
};

}  // namespace vcl
