// The selection panel: its children and their wiring, the published
// properties by which windows, the language controller and the user
// settings document reach it, the layouts of the range input (one row or
// two), the list and the user's choice between them, the list's rows,
// sorting and duplicate removal, and the order in which start and end are
// put when the panel is left.
#include "SelectPnl.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QTreeWidget>
#include <QMouseEvent>
#include <QObject>
#include <QStyle>
#include <algorithm>
#include <climits>
#include <optional>

#include "Forms.h"
#include "StrUtils.h"
#include "controls/SelectPnl_p.h"
#include "data/FieldFormats.h"

using namespace vcl;

// ---- the exchange rules ----

namespace selectpnl {

int64_t ReadInteger(const std::string& text, int64_t fallback) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    }
    if (i >= text.size()) return fallback;
    uint64_t value = 0;
    const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'                ? c - '0'
                    : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
        if (digit < 0) return fallback;
        if (value > (limit - uint64_t(digit)) / uint64_t(base)) return fallback;
        value = value * uint64_t(base) + uint64_t(digit);
    }
    if (negative) return value == uint64_t(INT64_MAX) + 1 ? INT64_MIN : -int64_t(value);
    return int64_t(value);
}

double ReadFloat(const std::string& text) {
    QString t = QString::fromStdString(plat::Trim(text));
    t.remove(QLatin1Char(','));
    bool ok = false;
    double value = t.toDouble(&ok);
    return ok && value == value ? value : 0;
}

int ExchangeDate(const std::string& text, const std::string& blankText, TDateType type, const std::string& sign) {
    std::string t = plat::Trim(text);
    if (t.empty() || t == plat::Trim(blankText) || type == TDateType::dt_NoneCare) return 0;
    const int kind = static_cast<int>(type);
    std::optional<std::string> date = fieldfmt::ConditionDate(t, kind, sign);
    if (!date || date->empty()) {
        // A year and month alone: the day counts as the first.
        std::optional<std::string> month = fieldfmt::ConditionYearMonth(t, kind, sign);
        date = month && !month->empty() ? std::optional<std::string>(*month + "01") : std::nullopt;
    }
    return date ? std::stoi(*date) : 0;
}

bool NeedsExchange(const std::string& start, const std::string& end, const ExchangeRules& rules) {
    if (start.empty() || end.empty()) return false;
    const std::string blank = plat::Trim(rules.BlankText);
    auto skipped = [&](const std::string& text) {
        std::string t = plat::Trim(text);
        return t == blank || (rules.UseDiscard && t == rules.Discard);
    };
    switch (rules.ValueType) {
    case TValueType::vt_Number: return ReadInteger(start, 0) > ReadInteger(end, 0);
    case TValueType::vt_Float: return ReadFloat(start) > ReadFloat(end);
    case TValueType::vt_Date:
        if (!rules.AutoChangeDateSite || skipped(start) || skipped(end)) return false;
        if (rules.DateType == TDateType::dt_NoneCare) return start > end;
        return ExchangeDate(start, rules.BlankText, rules.DateType, rules.DateSign) >
               ExchangeDate(end, rules.BlankText, rules.DateType, rules.DateSign);
    case TValueType::vt_String:
    case TValueType::vt_Time:
        if (skipped(start) || skipped(end)) return false;
        return start > end;
    case TValueType::vt_OtherMask: return false;
    }
    return false;
}

}  // namespace selectpnl

// ---- the panel's own kinds of children ----

const TClassInfo& TOrbMaskEdit::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TOrbMaskEdit>("TOrbMaskEdit", TMaskEdit::StaticClass());
    return info;
}

void TOrbMaskEdit::Change() {
    if (!ChangingMask) TMaskEdit::Change();
}

// Swallows a left button press on the list when the list cannot get the
// focus (an exit handler of the control being left took it elsewhere).
class TOrbListView::ClickGate : public QObject {
public:
    explicit ClickGate(TOrbListView* view) : view_(view) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) return false;
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || !view_->ParentForm()) return false;
        if (!view_->Focused() && view_->CanFocus()) view_->SetFocus();
        return !view_->Focused();
    }

private:
    TOrbListView* view_;
};

const TClassInfo& TOrbListView::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TOrbListView>("TOrbListView", TListView::StaticClass());
    return info;
}

TOrbListView::TOrbListView(TComponent* owner) : TListView(owner), gate_(std::make_unique<ClickGate>(this)) {
    Tree()->viewport()->installEventFilter(gate_.get());
}

TOrbListView::~TOrbListView() {
    if (Tree()) Tree()->viewport()->removeEventFilter(gate_.get());
}

const TClassInfo& TOrbCheckBox::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TOrbCheckBox>("TOrbCheckBox", TBitCheckBox::StaticClass());
    return info;
}

// ---- TSelectPanel ----

namespace {

// A lookup button of the panel: the panel decides what pressing it does.
class PanelLookupButton : public TF2Button {
public:
    PanelLookupButton(TComponent* owner, TSelectPanel* panel) : TF2Button(owner), panel_(panel) {}
    void Click() override { panel_->OpenWinClick(this); }

private:
    TSelectPanel* panel_;
};

const std::vector<std::string> kDefaultChildHints = {
    "用户自定输入方式",     "区间选择-起始信息", "区间选择-起始信息开窗", "区间选择-截止信息", "区间选择-截止信息开窗",
    "多选-己选择的信息",    "多选-信息开窗",     "多选-删除一笔信息",     "多选-删除己选信息"};

constexpr int kEditHeight = 24;
constexpr int kListButtonSize = 23;

template <class T>
T* MakeChild(TComponent* owner, TWinControl* parent, const char* name) {
    T* child = TComponent::Create<T>(owner);
    child->SetName(name);
    child->SetParent(parent);
    return child;
}

void SetEnabledTree(TWinControl* container, bool enabled) {
    for (TControl* child : container->ControlList()) {
        child->SetEnabled(enabled);
        if (auto* inner = dynamic_cast<TWinControl*>(child)) SetEnabledTree(inner, enabled);
    }
}

}  // namespace

const TClassInfo& TSelectPanel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TSelectPanel>("TSelectPanel", TGroupBox::StaticClass());
        TPropBuilder<TSelectPanel>(c)
            .Enum<TSelectStyle>("Style", &TSelectPanel::Style, &TSelectPanel::SetStyle,
                                {"sp_Range", "sp_Discrete", "sp_UserChoice"})
            .Bool("UserChoice", &TSelectPanel::UserChoice, &TSelectPanel::SetUserChoice)
            .Str("HintWord", &TSelectPanel::HintWord, &TSelectPanel::SetHintWord)
            .Obj<TStrings>("BeginWords", &TSelectPanel::BeginWords,
                           [](TSelectPanel& p, TStrings* s) { p.SetBeginWords(s); })
            .Obj<TStrings>("FinalWords", &TSelectPanel::FinalWords,
                           [](TSelectPanel& p, TStrings* s) { p.SetFinalWords(s); })
            .Obj<TStrings>("ChildHints", &TSelectPanel::ChildHints,
                           [](TSelectPanel& p, TStrings* s) { p.SetChildHints(s); })
            .Str("EditMask", &TSelectPanel::EditMask, &TSelectPanel::SetEditMask)
            .Enum<TValueType>("ValueType", &TSelectPanel::ValueType, &TSelectPanel::SetValueType,
                              {"vt_String", "vt_Number", "vt_Date", "vt_Time", "vt_Float", "vt_OtherMask"})
            .Enum<TDateType>("DateType", &TSelectPanel::DateType, &TSelectPanel::SetDateType,
                             {"dt_NoneCare", "dt_YYYYMMDD", "dt_MMDDYYYY", "dt_DDMMYYYY", "dt_YYMMDD", "dt_YYYMMDD"})
            .Str("DateSign", &TSelectPanel::DateSign, &TSelectPanel::SetDateSign)
            .Bool("AutoChangeDateSite", &TSelectPanel::AutoChangeDateSite, &TSelectPanel::SetAutoChangeDateSite)
            .Bool("UseDiscard", &TSelectPanel::UseDiscard, &TSelectPanel::SetUseDiscard)
            .Str("Discard", &TSelectPanel::Discard, &TSelectPanel::SetDiscard)
            .Bool("CanOpenWin", &TSelectPanel::CanOpenWin, &TSelectPanel::SetCanOpenWin)
            .Int("GlyphIndex", &TSelectPanel::GlyphIndex, &TSelectPanel::SetGlyphIndex)
            .Bool("UseVertical", &TSelectPanel::UseVertical, &TSelectPanel::SetUseVertical)
            .Int("OtherWidth", &TSelectPanel::OtherWidth, &TSelectPanel::SetOtherWidth)
            .Int("OtherHeight", &TSelectPanel::OtherHeight, &TSelectPanel::SetOtherHeight)
            .Obj<TListItems>("Items", &TSelectPanel::Items)
            .Obj<TListColumns>("Columns", &TSelectPanel::Columns)
            .Obj<TStrings>("ColumnCaptions", &TSelectPanel::ColumnCaptions,
                           [](TSelectPanel& p, TStrings* s) { p.SetColumnCaptions(s); })
            .Bool("ShowColumnHeader", &TSelectPanel::ShowColumnHeader, &TSelectPanel::SetShowColumnHeader)
            .Bool("ColumnsAutoSize", &TSelectPanel::ColumnsAutoSize, &TSelectPanel::SetColumnsAutoSize)
            .Bool("HideSelection", &TSelectPanel::HideSelection, &TSelectPanel::SetHideSelection)
            .Bool("SortListBox", &TSelectPanel::SortListBox, &TSelectPanel::SetSortListBox)
            .Enum<TCheckDuplicate>("CheckDuplicate", &TSelectPanel::CheckDuplicate, &TSelectPanel::SetCheckDuplicate,
                                   {"cd_None", "cd_CheckCase", "cd_CaseInsensitive"})
            .Event("OnOpenWinClick")
            .Event("OnClearClick")
            .Event("OnDeleteClick")
            .Event("OnTypeClick")
            .Event("OnStyleChanging")
            .Event("OnStyleChange")
            .Event("OnItemSelect")
            .Event("OnItemChange")
            .Event("OnItemChanging");
        return c;
    }();
    return info;
}

TSelectPanel::TSelectPanel(TComponent* owner)
    : TGroupBox(owner), beginWords_(std::make_unique<TStrings>()), finalWords_(std::make_unique<TStrings>()),
      childHints_(std::make_unique<TStrings>()), columnCaptions_(std::make_unique<TStrings>()) {
    SetBounds(Left(), Top(), 353, 45);
    hintWord_ = "区间选择";
    beginWords_->Assign(std::vector<std::string>{"起", "起"});
    finalWords_->Assign(std::vector<std::string>{"止", "止"});
    childHints_->Assign(kDefaultChildHints);

    CheckBox = MakeChild<TOrbCheckBox>(this, this, "CheckBox");
    CheckBox->SetBounds(16, 17, CheckBox->Width(), CheckBox->Height());
    CheckBox->SetCaption(hintWord_);
    CheckBox->SetChecked(userChoice_);
    CheckBox->SetVisible(false);

    RangePanel = MakeChild<TPanel>(this, this, "RangePanel");
    RangePanel->SetBevelOuter(TPanelBevel::bvNone);
    RangePanel->SetBevelInner(TPanelBevel::bvNone);
    RangePanel->SetCaption(" ");
    BeginLabel = MakeChild<TLabel>(this, RangePanel, "BeginLabel");
    BeginLabel->SetAutoSize(true);
    BeginEdit = MakeChild<TOrbMaskEdit>(this, RangePanel, "BeginEdit");
    BeginEdit->SetHeight(kEditHeight);
    BeginButton = TComponent::Create<PanelLookupButton>(this, this);
    BeginButton->SetName("BeginButton");
    BeginButton->SetParent(RangePanel);
    BeginButton->SetF2Control(BeginEdit);
    BeginButton->SetAutoAlign(true);
    FinalLabel = MakeChild<TLabel>(this, RangePanel, "FinalLabel");
    FinalLabel->SetAutoSize(true);
    FinalEdit = MakeChild<TOrbMaskEdit>(this, RangePanel, "FinalEdit");
    FinalEdit->SetHeight(BeginEdit->Height());
    FinalButton = TComponent::Create<PanelLookupButton>(this, this);
    FinalButton->SetName("FinalButton");
    FinalButton->SetParent(RangePanel);
    FinalButton->SetF2Control(FinalEdit);
    FinalButton->SetAutoAlign(true);

    ListPanel = MakeChild<TPanel>(this, this, "ListPanel");
    ListPanel->SetBevelOuter(TPanelBevel::bvNone);
    ListPanel->SetBevelInner(TPanelBevel::bvNone);
    ListPanel->SetCaption(" ");
    ListPanel->SetVisible(false);
    ListButton = TComponent::Create<PanelLookupButton>(this, this);
    ListButton->SetName("ListButton");
    ListButton->SetParent(ListPanel);
    ListButton->SetBounds(0, 0, kListButtonSize, kListButtonSize);
    DeleteButton = MakeChild<TGSpeedButton>(this, ListPanel, "DeleteButton");
    DeleteButton->SetFlat(true);
    DeleteButton->SetBounds(0, 0, kListButtonSize, kListButtonSize);
    DeleteButton->SetGlyphIndex(47);
    DeleteButton->SetNumGlyphs(1);
    ClearButton = MakeChild<TGSpeedButton>(this, ListPanel, "ClearButton");
    ClearButton->SetFlat(true);
    ClearButton->SetBounds(0, 0, kListButtonSize, kListButtonSize);
    ClearButton->SetGlyphIndex(4);
    ClearButton->SetNumGlyphs(2);
    ListView = MakeChild<TOrbListView>(this, ListPanel, "ListView");
    ListView->SetViewStyle(TViewStyle::vsReport);
    ListView->SetMultiSelect(true);
    ListView->SetRowSelect(true);
    ListView->SetReadOnly(true);
    ListView->SetCursor(crHandPoint);
    ListView->SetParentFont(true);
    ListView->SetSortType(TSortType::stNone);
    ListView->SetShowColumnHeaders(false);
    ListView->SetHideSelection(false);
    {
        TStrings data;
        data.Add("Data");
        SetColumnCaptions(&data);
    }

    SetGlyphIndex(glyphIndex_);
    ApplyChildHints();
    WireChildren();
    built_ = true;
    Layout();
}

TSelectPanel::~TSelectPanel() = default;

// Every connection between the children and the panel is made here.
void TSelectPanel::WireChildren() {
    beginWords_->Changed = [this] { WordsChanged(beginWords_.get()); };
    finalWords_->Changed = [this] { WordsChanged(finalWords_.get()); };
    childHints_->Changed = [this] { ApplyChildHints(); };

    // The user's toggle is also a click on the panel.
    CheckBox->OnClick = TNotifyEvent([this](TObject*) {
        if (settingChoice_ || Destroying()) return;
        TypeToggled();
        OnClick(this);
    }, this);
    DeleteButton->OnClick = TNotifyEvent([this](TObject*) { DeleteSelected(); }, this);
    ClearButton->OnClick = TNotifyEvent([this](TObject*) { ClearList(); }, this);

    ListView->OnSelectItem = TLVSelectItemEvent([this](TObject*, TListItem* item, bool selected) {
        if (!Destroying()) OnItemSelect(this, item, selected, item ? item->Index() : -1);
    }, this);
    ListView->OnChange = TLVChangeEvent([this](TObject*, TListItem* item, TItemChange change) {
        if (!addingRow_) listStateKnown_ = false;
        if (!Destroying()) OnItemChange(this, item, change);
    }, this);
    ListView->OnChanging = TLVChangingEvent([this](TObject*, TListItem* item, TItemChange change, bool& allow) {
        if (!Destroying()) OnItemChanging(this, item, change, allow);
    }, this);
    ListView->OnColumnClick = TLVColumnClickEvent([this](TObject*, TListColumn* column) {
        if (column) SortByColumn(column->Index());
    }, this);

    // Keys of the edits, the list and the check box are the panel's keys.
    for (TWinControl* c : std::vector<TWinControl*>{BeginEdit, FinalEdit, ListView, CheckBox}) {
        c->OnKeyDown = TKeyEvent([this](TObject*, uint16_t& key, TShiftState shift) { OnKeyDown(this, key, shift); }, this);
        c->OnKeyUp = TKeyEvent([this](TObject*, uint16_t& key, TShiftState shift) { OnKeyUp(this, key, shift); }, this);
        c->OnKeyPress = TKeyPressEvent([this](TObject*, char32_t& key) { OnKeyPress(this, key); }, this);
    }

    // Mouse events of the children are the panel's, in its coordinates;
    // a click names the edit or the list when it came from one of them.
    auto forwardMouse = [this](TControl* c) {
        auto at = [this, c](int x, int y) { return c->Widget()->mapTo(Widget(), QPoint(x, y)); };
        c->OnMouseDown = TMouseEvent([this, at](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            QPoint p = at(x, y);
            OnMouseDown(this, b, s, p.x(), p.y());
        }, this);
        c->OnMouseUp = TMouseEvent([this, at](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            QPoint p = at(x, y);
            OnMouseUp(this, b, s, p.x(), p.y());
        }, this);
        c->OnMouseMove = TMouseMoveEvent([this, at](TObject*, TShiftState s, int x, int y) {
            QPoint p = at(x, y);
            OnMouseMove(this, s, p.x(), p.y());
        }, this);
    };
    for (TControl* c : std::vector<TControl*>{BeginEdit, FinalEdit, ListView}) {
        forwardMouse(c);
        c->OnClick = TNotifyEvent([this](TObject* sender) { OnClick(sender); }, this);
        c->OnDblClick = TNotifyEvent([this](TObject* sender) { OnDblClick(sender); }, this);
    }
    for (TControl* c : std::vector<TControl*>{BeginLabel, FinalLabel, RangePanel, ListPanel}) {
        forwardMouse(c);
        c->OnClick = TNotifyEvent([this](TObject*) { OnClick(this); }, this);
        c->OnDblClick = TNotifyEvent([this](TObject*) { OnDblClick(this); }, this);
    }
    forwardMouse(CheckBox);
}

// ---- style and layout ----

bool TSelectPanel::IsRangeShown() const {
    return style_ == TSelectStyle::sp_Range || (style_ == TSelectStyle::sp_UserChoice && CheckBox->Checked());
}

void TSelectPanel::SetStyle(TSelectStyle style) {
    if (style == style_) return;   // the same style again changes nothing, the size least of all
    const TSelectStyle old = style_;
    bool allow = true;
    TSelectStyle target = style;
    OnStyleChanging(this, old, allow, target);
    if (!allow || target == old) return;
    ShowInputs(target);
    if ((old == TSelectStyle::sp_Range || target == TSelectStyle::sp_Range) && !useVertical_ && !loading_)
        ExchangeSize();
    LayoutFor(target);
    OnStyleChange(this, old, target);
    style_ = target;
}

void TSelectPanel::ShowInputs(TSelectStyle style) {
    const bool range = style == TSelectStyle::sp_Range || (style == TSelectStyle::sp_UserChoice && CheckBox->Checked());
    CheckBox->SetVisible(style == TSelectStyle::sp_UserChoice);
    RangePanel->SetVisible(range);
    ListPanel->SetVisible(!range);
    (range ? RangePanel : ListPanel)->BringToFront();
}

void TSelectPanel::ExchangeSize() {
    const int width = Width(), height = Height();
    SetBounds(Left(), Top(), otherWidth_, otherHeight_);
    otherWidth_ = width;
    otherHeight_ = height;
}

void TSelectPanel::SetUseVertical(bool on) {
    if (on == useVertical_ || style_ != TSelectStyle::sp_Range) return;
    useVertical_ = on;
    if (!loading_) ExchangeSize();
    Layout();
}

void TSelectPanel::SetUserChoice(bool choice) {
    userChoice_ = choice;
    settingChoice_ = true;
    CheckBox->SetChecked(choice);
    settingChoice_ = false;
    if (style_ == TSelectStyle::sp_UserChoice) TypeToggled();
}

void TSelectPanel::TypeToggled() {
    userChoice_ = CheckBox->Checked();
    Layout();
    ShowInputs(style_);
    OnTypeClick(this);
}

void TSelectPanel::AlignControls() {
    TGroupBox::AlignControls();
    Layout();
}

void TSelectPanel::ApplyFont() {
    TGroupBox::ApplyFont();
    // Column widths are measured in the font.
    listStateKnown_ = false;
    Layout();
}

void TSelectPanel::Layout() { LayoutFor(style_); }

void TSelectPanel::LayoutFor(TSelectStyle style) {
    if (!built_ || Destroying()) return;
    const int textHeight = GroupBox()->fontMetrics().height();
    int top = textHeight + 3;
    if (style == TSelectStyle::sp_UserChoice) {
        QFontMetrics metrics(CheckBox->Widget()->font());
        const int checkHeight = metrics.height();
        CheckBox->SetBounds(16, textHeight + 1, metrics.horizontalAdvance(QString::fromStdString(hintWord_)) + 24,
                            checkHeight + 2);
        top = CheckBox->Top() + checkHeight + 2;
    }
    const int width = std::max(0, Width() - 4), height = std::max(0, Height() - top - 2);
    RangePanel->SetBounds(2, top, width, height);
    ListPanel->SetBounds(2, top, width, height);
    LayoutRange(width, height, useVertical_ || style == TSelectStyle::sp_UserChoice);
    LayoutList(width, height);
}

std::string TSelectPanel::WordFor(const TStrings* words, int line) const {
    if (words->Count() == 0) return {};
    return words->Strings(std::min(line, words->Count() - 1));
}

void TSelectPanel::LayoutRange(int width, int height, bool vertical) {
    const int line = vertical ? 1 : 0;
    // An empty list of words leaves the label as it is.
    if (beginWords_->Count() > 0) BeginLabel->SetCaption(WordFor(beginWords_.get(), line));
    if (finalWords_->Count() > 0) FinalLabel->SetCaption(WordFor(finalWords_.get(), line));
    const int editHeight = BeginEdit->Height();
    const int buttonWidth = canOpenWin_ ? editHeight : 0;
    const int beginWidth = BeginLabel->Width(), finalWidth = FinalLabel->Width();
    auto placeButton = [&](TF2Button* button, TControl* edit) {
        button->SetBounds(edit->Left() + edit->Width() + 2, edit->Top(), editHeight, editHeight);
    };
    if (!vertical) {
        const int editWidth = canOpenWin_ ? (width - beginWidth - finalWidth - 2 * buttonWidth - 8) / 2
                                          : (width - beginWidth - finalWidth - 4) / 2;
        const int editTop = (height - editHeight) / 2;
        BeginLabel->SetBounds(0, (height - BeginLabel->Height()) / 2, beginWidth, BeginLabel->Height());
        BeginEdit->SetBounds(beginWidth + 1, editTop, editWidth, editHeight);
        placeButton(BeginButton, BeginEdit);
        const int finalLeft = canOpenWin_ ? BeginButton->Left() + BeginButton->Width() + 2
                                          : BeginEdit->Left() + BeginEdit->Width() + 4;
        FinalLabel->SetBounds(finalLeft, (height - FinalLabel->Height()) / 2, finalWidth, FinalLabel->Height());
        FinalEdit->SetBounds(finalLeft + finalWidth + 2, editTop, editWidth, editHeight);
        placeButton(FinalButton, FinalEdit);
        return;
    }
    const int gap = (height - 2 * editHeight) / 3;
    const int beginTop = gap, finalTop = gap + beginTop + editHeight;
    const int editLeft = std::max(beginWidth, finalWidth) + 1;
    const int editWidth = width - editLeft - (canOpenWin_ ? buttonWidth + 4 : 2);
    BeginLabel->SetBounds(0, beginTop + (editHeight - BeginLabel->Height()) / 2, beginWidth, BeginLabel->Height());
    FinalLabel->SetBounds(0, finalTop + (editHeight - FinalLabel->Height()) / 2, finalWidth, FinalLabel->Height());
    BeginEdit->SetBounds(editLeft, beginTop, editWidth, editHeight);
    FinalEdit->SetBounds(editLeft, finalTop, editWidth, editHeight);
    placeButton(BeginButton, BeginEdit);
    placeButton(FinalButton, FinalEdit);
}

void TSelectPanel::LayoutList(int width, int height) {
    const int column = kListButtonSize + 3;
    ListView->SetBounds(0, 0, std::max(0, width - column), height);
    int top = 0;
    for (TControl* button : std::vector<TControl*>{ListButton, DeleteButton, ClearButton}) {
        if (!button->Visible()) continue;
        button->SetBounds(width - kListButtonSize, top, kListButtonSize, kListButtonSize);
        top += button->Height();
    }
}

// ---- texts ----

void TSelectPanel::SetHintWord(const std::string& word) {
    hintWord_ = word;
    CheckBox->SetCaption(word);
    Layout();
}

namespace {

// One line serves both layouts; of more, lines 0 and 1 are kept.
void StoreWords(TStrings& target, const TStrings* words) {
    std::vector<std::string> lines = words ? words->ToVector() : std::vector<std::string>{};
    if (lines.size() == 1) lines.push_back(lines[0]);
    if (lines.size() > 2) lines.resize(2);
    target.Assign(lines);
}

}  // namespace

void TSelectPanel::SetBeginWords(const TStrings* words) { StoreWords(*beginWords_, words); }
void TSelectPanel::SetFinalWords(const TStrings* words) { StoreWords(*finalWords_, words); }

void TSelectPanel::WordsChanged(TStrings*) { Layout(); }

void TSelectPanel::SetChildHints(const TStrings* hints) {
    if (hints == childHints_.get()) return ApplyChildHints();
    childHints_->Assign(hints ? hints->ToVector() : std::vector<std::string>{});
}

void TSelectPanel::ApplyChildHints() {
    if (!ListView) return;
    TControl* children[] = {CheckBox,  BeginEdit,  BeginButton,  FinalEdit,  FinalButton,
                            ListView,  ListButton, DeleteButton, ClearButton};
    const int count = std::min<int>(childHints_->Count(), 9);
    for (int i = 0; i < count; ++i) children[i]->SetHint(childHints_->Strings(i));
}

// ---- the edits ----

void TSelectPanel::SetEditMask(const std::string& mask) {
    editMask_ = mask;
    BeginEdit->ChangingMask = FinalEdit->ChangingMask = true;
    const std::string text = BeginEdit->Text();
    BeginEdit->SetEditMask("");
    BeginEdit->SetText("");
    BeginEdit->SetEditMask(mask);
    FinalEdit->SetEditMask(mask);
    blankText_ = BeginEdit->Text();
    BeginEdit->SetText(text);
    BeginEdit->ChangingMask = FinalEdit->ChangingMask = false;
}

void TSelectPanel::DoExit() {
    if (!built_ || Destroying()) return TGroupBox::DoExit();
    const std::string& mask = BeginEdit->EditMask();
    if (mask.empty() || mask[0] != '!') {
        BeginEdit->SetText(plat::Trim(BeginEdit->Text()));
        FinalEdit->SetText(plat::Trim(FinalEdit->Text()));
    }
    const std::string start = BeginEdit->Text(), end = FinalEdit->Text();
    selectpnl::ExchangeRules rules;
    rules.ValueType = valueType_;
    rules.DateType = dateType_;
    rules.DateSign = dateSign_;
    rules.BlankText = blankText_;
    rules.AutoChangeDateSite = autoChangeDateSite_;
    rules.UseDiscard = useDiscard_;
    rules.Discard = discard_;
    if (selectpnl::NeedsExchange(start, end, rules)) {
        BeginEdit->SetText(end);
        FinalEdit->SetText(start);
    }
    TGroupBox::DoExit();
}

// ---- buttons ----

void TSelectPanel::SetCanOpenWin(bool on) {
    canOpenWin_ = on;
    BeginButton->SetVisible(on);
    FinalButton->SetVisible(on);
    ListButton->SetVisible(on);
    Layout();
}

void TSelectPanel::SetGlyphIndex(int index) {
    const bool valid = BeginButton->IsValidGlyph(index);
    if (valid) glyphIndex_ = index;
    for (TF2Button* button : {BeginButton, FinalButton, ListButton}) button->SetGlyphIndex(valid ? index : 0);
}

void TSelectPanel::OpenWinClick(TF2Button* button) {
    TWinControl* control = button == BeginButton ? static_cast<TWinControl*>(BeginEdit)
                           : button == FinalButton ? static_cast<TWinControl*>(FinalEdit)
                                                   : static_cast<TWinControl*>(ListView);
    if (control->CanFocus()) control->SetFocus();
    // The form answers the request before the program hears of the press.
    if (TForm* form = ParentForm()) form->Perform(WM_KEYF2, 0, control->AsParam());
    OnOpenWinClick(this, control);
}

void TSelectPanel::DeleteSelected() {
    bool canDelete = true;
    OnDeleteClick(this, canDelete);
    if (!canDelete) return;
    TListItems* items = Items();
    items->BeginUpdate();
    for (int i = 0; i < items->Count();) {
        if (items->Item(i)->Selected()) items->Delete(i);
        else ++i;
    }
    items->EndUpdate();
}

void TSelectPanel::ClearList() {
    Items()->Clear();
    if (ListView->CanFocus()) ListView->SetFocus();
    OnClearClick(this);
}

void TSelectPanel::SetFocus() {
    TGroupBox::SetFocus();
    if (!IsRangeShown() && ListView->CanFocus()) ListView->SetFocus();
}

void TSelectPanel::SetEnabled(bool enabled) {
    TGroupBox::SetEnabled(enabled);
    childrenEnabled_ = enabled;
    SetEnabledTree(this, enabled);
}

// ---- the list ----

TStrings* TSelectPanel::ColumnCaptions() const {
    columnCaptions_->Clear();
    for (int i = 0; i < Columns()->Count(); ++i) columnCaptions_->Add(Columns()->Items(i)->Caption());
    return columnCaptions_.get();
}

void TSelectPanel::SetColumnCaptions(const TStrings* captions) {
    listStateKnown_ = false;
    const std::vector<std::string> lines = captions ? captions->ToVector() : std::vector<std::string>{};
    TListColumns* columns = Columns();
    columns->Clear();
    for (const std::string& caption : lines) {
        TListColumn* column = columns->Add();
        column->SetCaption(caption);
        column->SetAutoSize(true);
        column->SetWidth(ListView->StringWidth(caption) + 16);
    }
}

void TSelectPanel::SetSortListBox(bool sort) {
    sortListBox_ = sort;
    listStateKnown_ = false;
    UseTextOrder();
    ListView->SetSortType(sort ? TSortType::stText : TSortType::stNone);
}

void TSelectPanel::SetCheckDuplicate(TCheckDuplicate check) {
    checkDuplicate_ = check;
    listStateKnown_ = false;
    UseTextOrder();
    if (check == TCheckDuplicate::cd_None) return;
    SetSortListBox(true);
    if (ListPanel->Visible()) RemoveDuplicates();
}

void TSelectPanel::AddListRow(const std::vector<std::string>& values) {
    if (values.empty()) return;
    const int count = static_cast<int>(values.size());
    TListColumns* columns = Columns();
    while (columns->Count() < count) columns->Add()->SetCaption("Data" + std::to_string(columns->Count()));
    TListItems* items = Items();
    items->BeginUpdate();
    if (!ListStateKnown()) RebuildListState();
    addingRow_ = true;
    TListItem* item = items->Add();
    item->SetCaption(values[0]);   // a sorted list puts the item in its place here
    item->SubItems()->BeginUpdate();
    for (int i = 1; i < count && i < columns->Count(); ++i) item->SubItems()->Add(values[static_cast<size_t>(i)]);
    item->SubItems()->EndUpdate();
    PadSubItems(item);
    DropIfDuplicate(item);
    if (item) WidenColumns(item);
    addingRow_ = false;
    items->EndUpdate();
    knownItemCount_ = items->Count();
    listStateKnown_ = true;
    if (ListView->ColumnsAutoSize) ApplyColumnWidths();
}

// Sorted by text the list compares without case, and keeps the order in
// which equal texts came. When case counts for duplicates, texts that differ
// only in case are ordered as well, so that exactly equal ones meet.
void TSelectPanel::UseTextOrder() {
    const bool byCase = checkDuplicate_ == TCheckDuplicate::cd_CheckCase;
    ListView->SetTextCompare([byCase](const TListItem* a, const TListItem* b) {
        const QString x = QString::fromStdString(a->Caption()), y = QString::fromStdString(b->Caption());
        const int result = x.compare(y, Qt::CaseInsensitive);
        return result != 0 || !byCase ? result : x.compare(y, Qt::CaseSensitive);
    });
}

void TSelectPanel::SortByText() { ListView->AlphaSort(); }

bool TSelectPanel::IsDuplicate(const TListItem* a, const TListItem* b) const {
    const QString x = QString::fromStdString(a->Caption()), y = QString::fromStdString(b->Caption());
    if (checkDuplicate_ == TCheckDuplicate::cd_CaseInsensitive) return x.toUpper() == y.toUpper();
    return x == y;
}

// Deletes every entry whose caption equals that of the entry before it.
void TSelectPanel::RemoveDuplicates() {
    if (checkDuplicate_ == TCheckDuplicate::cd_None) return;
    if (sortListBox_) SortByText();
    TListItems* items = Items();
    for (int i = items->Count() - 1; i >= 1; --i)
        if (IsDuplicate(items->Item(i), items->Item(i - 1))) items->Delete(i);
}

bool TSelectPanel::ListStateKnown() const {
    return listStateKnown_ && knownItemCount_ == Items()->Count() &&
           static_cast<int>(textWidths_.size()) == Columns()->Count();
}

// Goes through the whole list once, after it changed outside AddListRow:
// order and duplicates, the sub-item padding and the widest texts.
void TSelectPanel::RebuildListState() {
    addingRow_ = true;
    if (checkDuplicate_ != TCheckDuplicate::cd_None) RemoveDuplicates();
    else if (sortListBox_) SortByText();
    TListItems* items = Items();
    widestSubItems_ = 0;
    for (int i = 0; i < items->Count(); ++i) widestSubItems_ = std::max(widestSubItems_, items->Item(i)->SubItems()->Count());
    for (int i = 0; i < items->Count(); ++i) PadSubItems(items->Item(i));
    textWidths_.assign(static_cast<size_t>(Columns()->Count()), 0);
    for (int c = 0; c < Columns()->Count(); ++c) textWidths_[static_cast<size_t>(c)] = TextWidth(Columns()->Items(c)->Caption());
    for (int i = 0; i < items->Count(); ++i) WidenColumns(items->Item(i));
    addingRow_ = false;
    knownItemCount_ = items->Count();
    listStateKnown_ = true;
}

// Every row has as many sub-items as the widest: a shorter one is padded
// with empty texts, a wider one pads all the others.
void TSelectPanel::PadSubItems(TListItem* added) {
    auto pad = [](TStrings* subItems, int count) {
        if (subItems->Count() >= count) return;
        subItems->BeginUpdate();
        while (subItems->Count() < count) subItems->Add("");
        subItems->EndUpdate();
    };
    if (added->SubItems()->Count() <= widestSubItems_) return pad(added->SubItems(), widestSubItems_);
    widestSubItems_ = added->SubItems()->Count();
    TListItems* items = Items();
    for (int i = 0; i < items->Count(); ++i) pad(items->Item(i)->SubItems(), widestSubItems_);
}

// The list had no duplicates before the row came, so only the entry before
// the new one can equal it; the new one goes (the walk from the end deletes
// the later of two equal entries).
void TSelectPanel::DropIfDuplicate(TListItem*& added) {
    if (checkDuplicate_ == TCheckDuplicate::cd_None) return;
    const int index = added->Index();
    if (index <= 0 || !IsDuplicate(Items()->Item(index - 1), added)) return;
    Items()->Delete(index);
    added = nullptr;
}

int TSelectPanel::TextWidth(const std::string& text) const { return text.empty() ? 0 : ListView->StringWidth(text); }

void TSelectPanel::WidenColumns(const TListItem* item) {
    for (size_t c = 0; c < textWidths_.size(); ++c) {
        if (c == 0) textWidths_[0] = std::max(textWidths_[0], TextWidth(item->Caption()));
        else if (static_cast<int>(c) - 1 < item->SubItems()->Count())
            textWidths_[c] = std::max(textWidths_[c], TextWidth(item->SubItems()->Strings(static_cast<int>(c) - 1)));
    }
}

// A column is as wide as its widest text in the list's font, plus the
// margins the view keeps around a cell's text, plus the check box in the
// first column when the list shows them.
void TSelectPanel::ApplyColumnWidths() {
    QWidget* view = ListView->Tree();
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    TListColumns* columns = Columns();
    for (int c = 0; c < columns->Count() && c < static_cast<int>(textWidths_.size()); ++c) {
        const int check = c == 0 && ListView->Checkboxes() ? 24 : 0;
        columns->Items(c)->SetWidth(check + textWidths_[static_cast<size_t>(c)] + margins);
    }
}

// A click on a column header: the same column again reverses the order,
// another starts ascending. The state starts at column 0 ascending, so the
// first click on column 0 sorts it descending; kept as the list always did.
void TSelectPanel::SortByColumn(int column) {
    if (column == sortColumn_) {
        sortDescending_ = !sortDescending_;
    } else {
        sortColumn_ = column;
        sortDescending_ = false;
    }
    auto value = [](TListItem* item, int index) {
        if (index == 0) return QString::fromStdString(item->Caption());
        TStrings* sub = item->SubItems();
        return index - 1 < sub->Count() ? QString::fromStdString(sub->Strings(index - 1)) : QString();
    };
    const int by = sortColumn_;
    const bool descending = sortDescending_;
    ListView->CustomSort([value, by, descending](TListItem* a, TListItem* b) {
        int result = value(a, by).compare(value(b, by), Qt::CaseInsensitive);
        if (result == 0) result = value(a, by == 0 ? 1 : 0).compare(value(b, by == 0 ? 1 : 0), Qt::CaseInsensitive);
        return descending ? -result : result;
    });
}
