// Standard controls over QLabel, QLineEdit, QPlainTextEdit, QComboBox,
// QPushButton, QCheckBox and QGroupBox. The string lists behind Items and
// Lines are the controls' own; a change of either side is carried to the
// other, so that a list changed by name (a translated line, a replaced item)
// shows at once and text the user typed reads back through the list.
#include "StdCtrls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextBlock>
#include <QTextOption>
#include <algorithm>

#include "Forms.h"
#include "QtText.h"

namespace vcl {

const std::vector<std::string>& AlignmentNames() {
    static const std::vector<std::string> names = {"taLeftJustify", "taRightJustify", "taCenter"};
    return names;
}

std::string StripAccelerator(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

namespace {

Qt::Alignment HorizontalOf(TAlignment a) {
    switch (a) {
    case TAlignment::taRightJustify: return Qt::AlignRight;
    case TAlignment::taCenter: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

}  // namespace

// ---- TLabel ----

const TClassInfo& TLabel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TLabel>("TLabel", TGraphicControl::StaticClass());
        TPropBuilder<TLabel>(c)
            .Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
            .Enum<TAlignment>("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, AlignmentNames())
            .Enum<TTextLayout>("Layout", &TLabel::Layout, &TLabel::SetLayout, {"tlTop", "tlCenter", "tlBottom"})
            .Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
            .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
            .Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar)
            .Obj<TWinControl>("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
        return c;
    }();
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner), label_(new QLabel) {
    label_->setTextFormat(Qt::PlainText);
    SetWidget(label_);
    label_->resize(65, 13);
}

void TLabel::CaptionChanged() {
    label_->setText(Q(showAccelChar_ ? StripAccelerator(Caption()) : Caption()));
    Adjust();
}

void TLabel::ApplyFont() {
    TGraphicControl::ApplyFont();
    Adjust();
}

void TLabel::ApplyColor() {
    TGraphicControl::ApplyColor();
    if (transparent_) label_->setAutoFillBackground(false);
}

// An auto-sized label takes the size of its text (the width stays with
// word wrap); its left edge stays put.
void TLabel::Adjust() {
    label_->setAlignment(HorizontalOf(alignment_) | (layout_ == TTextLayout::tlCenter   ? Qt::AlignVCenter
                                                     : layout_ == TTextLayout::tlBottom ? Qt::AlignBottom
                                                                                        : Qt::AlignTop));
    label_->setWordWrap(wordWrap_);
    if (!autoSize_) return;
    QSize hint = label_->sizeHint();
    if (wordWrap_) SetBounds(Left(), Top(), Width(), label_->heightForWidth(Width()));
    else SetBounds(Left(), Top(), hint.width(), hint.height());
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    Adjust();
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Adjust();
}

void TLabel::SetLayout(TTextLayout layout) {
    layout_ = layout;
    Adjust();
}

void TLabel::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    Adjust();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    ApplyColor();
}

void TLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    CaptionChanged();
}

// ---- TCustomEdit ----

const TClassInfo& TCustomEdit::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TCustomEdit", &TWinControl::StaticClass(), {}, nullptr};
        TPropBuilder<TCustomEdit>(c)
            .Str("Text", &TCustomEdit::Text, &TCustomEdit::SetText)
            .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength)
            .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
            .Int("PasswordChar", [](const TCustomEdit& e) { return static_cast<int>(e.PasswordChar()); },
                 [](TCustomEdit& e, int ch) { e.SetPasswordChar(static_cast<char32_t>(ch)); })
            .Enum<TEditCharCase>("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase,
                                 {"ecNormal", "ecUpperCase", "ecLowerCase"})
            .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect)
            .Str("ImeName", &TCustomEdit::ImeName, &TCustomEdit::SetImeName)
            .Str("DataField", &TCustomEdit::DataField, &TCustomEdit::SetDataField)
            .Obj<TDataSource>("DataSource", &TCustomEdit::DataSource, &TCustomEdit::SetDataSource)
            .Event("OnChange");
        return c;
    }();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner)
    : TWinControl(owner), link_([this](const std::string& t) { SetText(t); modified_ = false; }), edit_(new QLineEdit) {
    SetWidget(edit_);
    Init();
}

TCustomEdit::TCustomEdit(TComponent* owner, QWidget* outer, QLineEdit* edit)
    : TWinControl(owner), link_([this](const std::string& t) { SetText(t); modified_ = false; }), edit_(edit) {
    SetWidget(outer);
    outer->setFocusProxy(edit);
    Init();
}

void TCustomEdit::Init() {
    Widget()->resize(121, 21);
    SetTabStop(true);
    SetColor(clWindow);
    QObject::connect(edit_, &QLineEdit::textEdited, [this](const QString& t) {
        modified_ = true;
        if (charCase_ != TEditCharCase::ecNormal) {
            QString cased = charCase_ == TEditCharCase::ecUpperCase ? t.toUpper() : t.toLower();
            if (cased != t) {
                int at = edit_->cursorPosition();
                edit_->setText(cased);
                edit_->setCursorPosition(at);
            }
        }
    });
    QObject::connect(edit_, &QLineEdit::textChanged, [this] {
        if (!settingText_) Guarded([this] { Change(); });
    });
}

void TCustomEdit::ApplyColor() {
    TWinControl::ApplyColor();
    if (Widget() != edit_) {
        QPalette p = edit_->palette();
        p.setColor(QPalette::Base, ColorToQColor(Color()));
        edit_->setPalette(p);
    }
}

std::string TCustomEdit::Text() const { return edit_->text().toStdString(); }

void TCustomEdit::SetText(const std::string& text) {
    QString t = Q(text);
    if (charCase_ == TEditCharCase::ecUpperCase) t = t.toUpper();
    if (charCase_ == TEditCharCase::ecLowerCase) t = t.toLower();
    if (maxLength_ > 0 && t.size() > maxLength_) t.truncate(maxLength_);
    if (t == edit_->text()) return;
    edit_->setText(t);
}

void TCustomEdit::Change() { OnChange(this); }

void TCustomEdit::SetMaxLength(int length) {
    maxLength_ = std::max(0, length);
    edit_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

bool TCustomEdit::ReadOnly() const { return edit_->isReadOnly(); }
void TCustomEdit::SetReadOnly(bool readOnly) { edit_->setReadOnly(readOnly); }

void TCustomEdit::SetPasswordChar(char32_t ch) {
    passwordChar_ = ch;
    edit_->setEchoMode(ch ? QLineEdit::Password : QLineEdit::Normal);
}

void TCustomEdit::SetCharCase(TEditCharCase charCase) {
    charCase_ = charCase;
    SetText(Text());
}

int TCustomEdit::SelStart() const {
    return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
}
void TCustomEdit::SetSelStart(int start) { edit_->setCursorPosition(start); }
int TCustomEdit::SelLength() const { return static_cast<int>(edit_->selectedText().size()); }
void TCustomEdit::SetSelLength(int length) { edit_->setSelection(SelStart(), length); }
std::string TCustomEdit::SelText() const { return edit_->selectedText().toStdString(); }
void TCustomEdit::SelectAll() { edit_->selectAll(); }

void TCustomEdit::DoEnter() {
    if (autoSelect_) edit_->selectAll();
    TWinControl::DoEnter();
}

// A bound edit writes what the user typed into its field when it is left.
void TCustomEdit::DoExit() {
    if (modified_ && link_.Active()) {
        link_.Store(Text());
        modified_ = false;
    }
    TWinControl::DoExit();
}

const TClassInfo& TEdit::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TEdit>("TEdit", TCustomEdit::StaticClass());
    return info;
}

// ---- TMemo ----

const TClassInfo& TMemo::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TMemo>("TMemo", TWinControl::StaticClass());
        TPropBuilder<TMemo>(c)
            .Obj<TStrings>("Lines", &TMemo::Lines)
            .Str("Text", &TMemo::Text, &TMemo::SetText)
            .Bool("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly)
            .Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
            .Enum<TScrollStyle>("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars,
                                {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"})
            .Int("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength)
            .Bool("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns)
            .Bool("WantTabs", &TMemo::WantsTab, &TMemo::SetWantTabs)
            .Enum<TAlignment>("Alignment", &TMemo::Alignment, &TMemo::SetAlignment, AlignmentNames())
            .Str("ImeName", &TMemo::ImeName, &TMemo::SetImeName)
            .Str("DataField", &TMemo::DataField, &TMemo::SetDataField)
            .Obj<TDataSource>("DataSource", &TMemo::DataSource, &TMemo::SetDataSource)
            .Event("OnChange");
        return c;
    }();
    return info;
}

TMemo::TMemo(TComponent* owner) : TWinControl(owner), edit_(new QPlainTextEdit), lines_(std::make_unique<TStrings>()),
    link_([this](const std::string& t) { SetText(t); modified_ = false; }) {
    SetWidget(edit_);
    edit_->resize(185, 89);
    edit_->setTabChangesFocus(true);
    SetTabStop(true);
    SetColor(clWindow);
    lines_->Changed = [this] { LinesChanged(); };
    QObject::connect(edit_, &QPlainTextEdit::textChanged, [this] { Guarded([this] { WidgetChanged(); }); });
}

void TMemo::LinesChanged() {
    if (syncing_) return;
    syncing_ = true;
    // Lines are joined without a final line break, as the widget holds them.
    std::string text;
    for (int i = 0; i < lines_->Count(); ++i) text += (i ? "\n" : "") + (*lines_)[i];
    edit_->setPlainText(Q(text));
    syncing_ = false;
    OnChange(this);
}

void TMemo::WidgetChanged() {
    if (syncing_) return;
    syncing_ = true;
    modified_ = true;
    std::vector<std::string> lines;
    for (QTextBlock b = edit_->document()->begin(); b.isValid(); b = b.next()) lines.push_back(b.text().toStdString());
    if (lines.size() == 1 && lines[0].empty()) lines.clear();
    lines_->Assign(lines);
    syncing_ = false;
    OnChange(this);
}

std::string TMemo::Text() const { return lines_->Text(); }

void TMemo::SetText(const std::string& text) {
    std::string t = text;
    if (maxLength_ > 0 && static_cast<int>(QString::fromStdString(t).size()) > maxLength_)
        t = QString::fromStdString(t).left(maxLength_).toStdString();
    lines_->SetText(t);
}

bool TMemo::ReadOnly() const { return edit_->isReadOnly(); }
void TMemo::SetReadOnly(bool readOnly) { edit_->setReadOnly(readOnly); }

void TMemo::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    edit_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle style) {
    scrollBars_ = style;
    bool h = style == TScrollStyle::ssHorizontal || style == TScrollStyle::ssBoth;
    bool v = style == TScrollStyle::ssVertical || style == TScrollStyle::ssBoth;
    edit_->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit_->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    QTextOption option = edit_->document()->defaultTextOption();
    option.setAlignment(HorizontalOf(alignment));
    edit_->document()->setDefaultTextOption(option);
}

void TMemo::DoExit() {
    if (modified_ && link_.Active()) {
        link_.Store(Text());
        modified_ = false;
    }
    TWinControl::DoExit();
}

// ---- TComboBox ----

const TClassInfo& TComboBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TComboBox>("TComboBox", TWinControl::StaticClass());
        TPropBuilder<TComboBox>(c)
            .Enum<TComboBoxStyle>("Style", &TComboBox::Style, &TComboBox::SetStyle,
                                  {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                   "csOwnerDrawVariable"})
            .Obj<TStrings>("Items", &TComboBox::Items)
            .Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
            .Str("Text", &TComboBox::Text, &TComboBox::SetText)
            .Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
            .Bool("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted)
            .Int("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength)
            .Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight)
            .Str("ImeName", &TComboBox::ImeName, &TComboBox::SetImeName)
            .Str("DataField", &TComboBox::DataField, &TComboBox::SetDataField)
            .Obj<TDataSource>("DataSource", &TComboBox::DataSource, &TComboBox::SetDataSource)
            .Event("OnChange")
            .Event("OnDropDown");
        return c;
    }();
    return info;
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner), combo_(new QComboBox), items_(std::make_unique<TStrings>()),
    link_([this](const std::string& t) { SetText(t); modified_ = false; }) {
    SetWidget(combo_);
    combo_->resize(145, 21);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    SetTabStop(true);
    SetColor(clWindow);
    SetStyle(TComboBoxStyle::csDropDown);
    items_->Changed = [this] { ItemsChanged(); };
    // A choice made by the user is a click and a change; a change of the
    // typed text only a change.
    QObject::connect(combo_, qOverload<int>(&QComboBox::activated), [this](int) {
        if (syncing_) return;
        modified_ = true;
        Guarded([this] {
            Click();
            OnChange(this);
        });
    });
    QObject::connect(combo_, &QComboBox::editTextChanged, [this](const QString&) {
        if (syncing_ || !combo_->isEditable() || !combo_->lineEdit() || !combo_->lineEdit()->isModified()) return;
        modified_ = true;
        Guarded([this] { OnChange(this); });
    });
}

// The widget follows the list: texts replaced in place keep the selected
// item; a list that grew at its end keeps it too; anything else rebuilds the
// list and keeps the selected position while it still exists.
void TComboBox::ItemsChanged() {
    if (syncing_) return;
    syncing_ = true;
    if (sorted_) {
        std::vector<std::string> v = items_->ToVector();
        std::vector<std::string> s = v;
        std::stable_sort(s.begin(), s.end(), [](const std::string& a, const std::string& b) {
            return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
        });
        if (s != v) items_->Assign(s);
    }
    int count = items_->Count();
    int shown = combo_->count();
    QString text = combo_->currentText();
    int index = combo_->currentIndex();
    bool prefix = shown <= count;
    for (int i = 0; prefix && i < shown; ++i)
        if (combo_->itemText(i) != Q((*items_)[i])) prefix = false;
    if (count == shown) {
        for (int i = 0; i < count; ++i) combo_->setItemText(i, Q((*items_)[i]));
    } else if (prefix) {
        for (int i = shown; i < count; ++i) combo_->addItem(Q((*items_)[i]));
        if (shown == 0) combo_->setCurrentIndex(-1);
    } else {
        combo_->clear();
        for (int i = 0; i < count; ++i) combo_->addItem(Q((*items_)[i]));
        combo_->setCurrentIndex(index < count ? index : -1);
    }
    if (combo_->isEditable() && combo_->currentIndex() < 0) combo_->setEditText(count == 0 ? QString() : text);
    syncing_ = false;
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    int index = combo_->currentIndex();
    QString text = combo_->currentText();
    style_ = style;
    syncing_ = true;
    bool editable = style == TComboBoxStyle::csDropDown || style == TComboBoxStyle::csSimple;
    combo_->setEditable(editable);
    combo_->setCurrentIndex(index);
    if (editable && index < 0) combo_->setEditText(text);
    if (editable && maxLength_ > 0) combo_->lineEdit()->setMaxLength(maxLength_);
    syncing_ = false;
    ApplyColor();
}

int TComboBox::ItemIndex() const { return combo_->currentIndex(); }

void TComboBox::SetItemIndex(int index) {
    syncing_ = true;
    combo_->setCurrentIndex(index >= 0 && index < combo_->count() ? index : -1);
    if (index < 0 && combo_->isEditable()) combo_->setEditText(QString());
    syncing_ = false;
}

std::string TComboBox::Text() const { return combo_->currentText().toStdString(); }

// A drop-down list shows only its items: the text selects the item that has
// it (none when no item has). An editable combo box takes any text and
// selects the item with that text when there is one.
void TComboBox::SetText(const std::string& text) {
    syncing_ = true;
    int index = items_->IndexOf(text);
    if (combo_->isEditable()) {
        combo_->setCurrentIndex(index);
        combo_->setEditText(Q(text));
    } else {
        combo_->setCurrentIndex(index);
    }
    syncing_ = false;
    OnChange(this);
}

void TComboBox::SetDropDownCount(int count) {
    dropDownCount_ = count;
    combo_->setMaxVisibleItems(std::max(1, count));
}

void TComboBox::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted) ItemsChanged();
}

void TComboBox::SetMaxLength(int length) {
    maxLength_ = std::max(0, length);
    if (combo_->lineEdit()) combo_->lineEdit()->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

bool TComboBox::DroppedDown() const { return combo_->view() && combo_->view()->isVisible(); }

void TComboBox::SetDroppedDown(bool down) {
    if (down) {
        OnDropDown(this);
        combo_->showPopup();
    } else {
        combo_->hidePopup();
    }
}

void TComboBox::Clear() {
    items_->Clear();
    SetItemIndex(-1);
}

void TComboBox::DoExit() {
    if (modified_ && link_.Active()) {
        link_.Store(Text());
        modified_ = false;
    }
    TWinControl::DoExit();
}

// ---- TButton ----

// ---- TListBox ----

const TClassInfo& TListBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TListBox>("TListBox", TWinControl::StaticClass());
        TPropBuilder<TListBox>(c)
            .Obj<TStrings>("Items", &TListBox::Items)
            .Int("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex)
            .Bool("Sorted", &TListBox::Sorted, &TListBox::SetSorted)
            .Enum<TListBoxStyle>("Style", &TListBox::Style, &TListBox::SetStyle,
                                 {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"});
        return c;
    }();
    return info;
}

TListBox::TListBox(TComponent* owner) : TWinControl(owner), list_(new QListWidget), items_(std::make_unique<TStrings>()) {
    SetWidget(list_);
    WatchMouse(list_->viewport());
    list_->resize(121, 97);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    SetTabStop(true);
    SetColor(clWindow);
    items_->Changed = [this] { ItemsChanged(); };
    // A choice of the user is a click.
    QObject::connect(list_, &QListWidget::currentRowChanged, [this](int) {
        if (!syncing_) Guarded([this] { Click(); });
    });
}

// The widget is filled again from the list; the selected position stays
// while it still exists.
void TListBox::ItemsChanged() {
    if (syncing_) return;
    syncing_ = true;
    if (sorted_) {
        std::vector<std::string> lines = items_->ToVector();
        std::vector<std::string> ordered = lines;
        std::stable_sort(ordered.begin(), ordered.end(), [](const std::string& a, const std::string& b) {
            return Q(a).compare(Q(b), Qt::CaseInsensitive) < 0;
        });
        if (ordered != lines) items_->Assign(ordered);
    }
    const int index = list_->currentRow();
    list_->clear();
    for (int i = 0; i < items_->Count(); ++i) list_->addItem(Q(items_->Strings(i)));
    list_->setCurrentRow(index < items_->Count() ? index : -1);
    syncing_ = false;
}

int TListBox::ItemIndex() const { return list_->currentRow(); }

void TListBox::SetItemIndex(int index) {
    syncing_ = true;
    list_->setCurrentRow(index >= 0 && index < list_->count() ? index : -1);
    syncing_ = false;
}

void TListBox::SetSorted(bool sorted) {
    sorted_ = sorted;
    ItemsChanged();
}

const TClassInfo& TButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TButton>("TButton", TWinControl::StaticClass());
        TPropBuilder<TButton>(c)
            .Bool("Default", &TButton::Default, &TButton::SetDefault)
            .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel)
            .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
        return c;
    }();
    return info;
}

TButton::TButton(TComponent* owner) : TButton(owner, new QPushButton) {}

TButton::TButton(TComponent* owner, QPushButton* button) : TWinControl(owner), button_(button) {
    SetWidget(button_);
    Init();
}

void TButton::Init() {
    button_->resize(75, 25);
    button_->setAutoDefault(false);
    SetTabStop(true);
    SetColor(clBtnFace);
    SetParentColor(false);
    QObject::connect(button_, &QPushButton::clicked, [this] { Guarded([this] { Click(); }); });
}

void TButton::CaptionChanged() { button_->setText(Q(Caption())); }

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    button_->setDefault(isDefault);
}

void TButton::Click() {
    if (TForm* form = ParentForm(); form && modalResult_ != 0) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

// ---- TCheckBox ----

const TClassInfo& TCheckBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TCheckBox>("TCheckBox", TWinControl::StaticClass());
        TPropBuilder<TCheckBox>(c)
            .Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
            .Enum<TCheckBoxState>("State", &TCheckBox::State, &TCheckBox::SetState,
                                  {"cbUnchecked", "cbChecked", "cbGrayed"})
            .Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
            .Enum<TAlignment>("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment, AlignmentNames())
            .Str("DataField", &TCheckBox::DataField, &TCheckBox::SetDataField)
            .Obj<TDataSource>("DataSource", &TCheckBox::DataSource, &TCheckBox::SetDataSource);
        return c;
    }();
    return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TCheckBox(owner, new QCheckBox) {}

TCheckBox::TCheckBox(TComponent* owner, QCheckBox* box) : TWinControl(owner), box_(box),
    link_([this](const std::string& t) {
        syncing_ = true;
        SetChecked(t == ValueChecked);
        syncing_ = false;
    }) {
    SetWidget(box_);
    box_->resize(97, 17);
    SetTabStop(true);
    // The check box reports every change of its state as a click, whoever made it.
    QObject::connect(box_, &QCheckBox::stateChanged, [this](int) {
        Guarded([this] {
            if (!syncing_ && link_.Active()) link_.Store(Checked() ? ValueChecked : ValueUnchecked);
            Click();
        });
    });
}

TCheckBoxState TCheckBox::State() const {
    switch (box_->checkState()) {
    case Qt::Checked: return TCheckBoxState::cbChecked;
    case Qt::PartiallyChecked: return TCheckBoxState::cbGrayed;
    default: return TCheckBoxState::cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState state) {
    if (state == TCheckBoxState::cbGrayed && !allowGrayed_) state = TCheckBoxState::cbUnchecked;
    box_->setCheckState(state == TCheckBoxState::cbChecked   ? Qt::Checked
                        : state == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                            : Qt::Unchecked);
}

void TCheckBox::SetAllowGrayed(bool allow) {
    allowGrayed_ = allow;
    box_->setTristate(allow);
    if (!allow && State() == TCheckBoxState::cbGrayed) SetState(TCheckBoxState::cbUnchecked);
}

void TCheckBox::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    box_->setLayoutDirection(alignment == TAlignment::taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCheckBox::CaptionChanged() { box_->setText(Q(Caption())); }

// ---- TGroupBox ----

const TClassInfo& TGroupBox::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TGroupBox>("TGroupBox", TWinControl::StaticClass());
    return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner), box_(new QGroupBox) {
    SetWidget(box_);
    box_->setFocusPolicy(Qt::NoFocus);
    box_->resize(185, 105);
}

void TGroupBox::CaptionChanged() { box_->setTitle(Q(StripAccelerator(Caption()))); }

// Aligned children stay clear of the frame and the caption.
QRect TGroupBox::AlignRect() const {
    int top = box_->fontMetrics().height() + 2;
    return QRect(2, top, std::max(0, Width() - 4), std::max(0, Height() - top - 2));
}

}  // namespace vcl
