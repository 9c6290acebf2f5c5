// The query program frame: condition and result pages, date fields, lookups
// and code checks for condition controls, the condition built from the
// page's controls, the query run through the query server, the result's
// field display, painting and sorting, and the page and key handling.
#include "KvQueryCF.h"

#include <QApplication>
#include <algorithm>
#include <ctime>

#include "DBClient.h"
#include "Dialogs.h"
#include "Dispatch.h"
#include "Format.h"
#include "Mask.h"
#include "NumberFormat.h"
#include "StrUtils.h"
#include "ToolBarImages.h"
#include "controls/KvDBGrid.h"
#include "controls/SelectPnl.h"
#include "data/Brokers.h"
#include "data/FieldFormats.h"
#include "data/KvQueryCD.h"
#include "lang/CodeConverter.h"

using plat::Variant;
using vcl::TClientDataSet;

namespace {

constexpr vcl::TColor kRequiredColor = vcl::RGB(255, 255, 175);
constexpr vcl::TColor kGridBackground = 15532027;

// The pieces of `list` cut at `separator`, trimmed; empty pieces kept out.
std::vector<std::string> Pieces(const std::string& list, char separator) {
    std::vector<std::string> out;
    std::string piece;
    for (char c : list + separator) {
        if (c != separator) {
            piece += c;
            continue;
        }
        piece = plat::Trim(piece);
        if (!piece.empty()) out.push_back(piece);
        piece.clear();
    }
    return out;
}

bool SameText(const std::string& a, const std::string& b) { return plat::UpperCase(a) == plat::UpperCase(b); }

bool InList(const std::string& list, const std::string& name) {
    for (const std::string& p : Pieces(list, ','))
        if (SameText(p, name)) return true;
    return false;
}

std::string Tomorrow() {
    std::time_t t = std::time(nullptr) + 24 * 3600;
    std::tm local{};
    localtime_r(&t, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &local);
    return buf;
}

// The panel a control is, or is a child of; nullptr when none.
TSelectPanel* PanelOf(vcl::TControl* control) {
    for (vcl::TControl* c = control; c; c = c->Parent())
        if (auto* panel = dynamic_cast<TSelectPanel*>(c)) return panel;
    return nullptr;
}

std::string TextOf(vcl::TWinControl* control) {
    if (auto* edit = dynamic_cast<vcl::TCustomEdit*>(control)) return edit->Text();
    if (auto* combo = dynamic_cast<vcl::TComboBox*>(control)) return combo->Text();
    return {};
}

void SetTextOf(vcl::TWinControl* control, const std::string& text) {
    if (auto* edit = dynamic_cast<vcl::TCustomEdit*>(control)) edit->SetText(text);
    else if (auto* combo = dynamic_cast<vcl::TComboBox*>(control)) combo->SetText(text);
}

}  // namespace

std::string QueryLanguageCode(const std::string& codePage) {
    if (codePage == "950") return "CHT";
    if (codePage == "437") return "ENG";
    return "CHS";
}

const vcl::TClassInfo& TfrmKvQuery::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TfrmKvQuery>("TfrmKvQuery", TfrmSingle::StaticClass());
    return info;
}

TfrmKvQuery::TfrmKvQuery(vcl::TComponent* owner) : TfrmSingle(owner) {
    pgBody = vcl::TComponent::Create<vcl::TPageControl>(this);
    pgBody->SetName("pgBody");
    pgBody->SetParent(this);
    pgBody->SetAlign(vcl::TAlign::alClient);
    ts01 = vcl::TComponent::Create<vcl::TTabSheet>(this);
    ts01->SetName("ts01");
    ts01->SetCaption("查询");
    ts01->SetPageControl(pgBody);
    tsResult = vcl::TComponent::Create<vcl::TTabSheet>(this);
    tsResult->SetName("tsResult");
    tsResult->SetCaption("查询结果");
    tsResult->SetPageControl(pgBody);
    gdMain = vcl::TComponent::Create<TKvDBGrid>(this);
    gdMain->SetName("gdMain");
    gdMain->SetParent(tsResult);
    gdMain->SetAlign(vcl::TAlign::alClient);
    gdMain->SetReadOnly(true);
    gdMain->SetTitleButtons(true);
    gdMain->SetTitleImageList(SortMapList);
    gdMain->SetColor(kGridBackground);

    btnView2 = vcl::TComponent::Create<vcl::TF2Button>(this);
    btnView2->SetName("btnView2");
    btnView2->SetGlyphIndex(81);
    btnView2->SetHint("开始查询");
    btnView2->SetParent(ts01);
    btnView2->SetBounds(0, 5, 25, 25);
    btnView = vcl::TComponent::Create<vcl::TToolButton>(this);
    btnView->SetName("btnView");
    btnView->SetHint("开始查询");
    btnView->SetImageIndex(toolimages::kRun);
    btnView->SetParent(ToolBar1);
    mniView = vcl::TComponent::Create<vcl::TMenuItem>(this);
    mniView->SetName("mniView");
    mniView->SetCaption("开始查询(&L)");
    mniView->SetShortCut(vcl::ShortCut(vcl::VK_F9, 0));
    MenuItem1->Insert(0, mniView);
    // The browse grid of the main dataset only shows it, like the result grid.
    gdHead->SetReadOnly(true);
}

TfrmKvQuery::~TfrmKvQuery() = default;

void TfrmKvQuery::BindHandlers() {
    TfrmSingle::BindHandlers();
    pgBody->OnChanging = vcl::TTabChangingEvent([this](vcl::TObject* s, bool& a) { pgBodyChanging(s, a); }, this);
    pgBody->OnChange = vcl::TNotifyEvent([this](vcl::TObject* s) { pgBodyChange(s); }, this);
    auto run = vcl::TNotifyEvent([this](vcl::TObject*) { RunQuery(); }, this);
    btnView2->OnClick = run;
    btnView->OnClick = run;
    mniView->OnClick = run;
    gdMain->OnCalcCellColors = TCalcCellColorsEvent(
        [this](vcl::TObject* s, vcl::TField* f, int r, bool a, vcl::TColor& b, vcl::TColor& c) {
            gdMainCalcCellColors(s, f, r, a, b, c);
        },
        this);
    gdMain->OnCalcTitleAttributes = TCalcTitleAttributesEvent(
        [this](vcl::TObject* s, vcl::TField* f, vcl::TColor& b) { gdMainCalcTitleAttributes(s, f, b); }, this);
    gdMain->OnCalcTitleImage =
        TCalcTitleImageEvent([this](vcl::TObject* s, vcl::TField* f, int& i) { gdMainCalcTitleImage(s, f, i); }, this);
    gdMain->OnTitleButtonClick = TTitleButtonClickEvent(
        [this](vcl::TObject* s, const std::string& f) { gdMainTitleButtonClick(s, f); }, this);
    gdMain->OnDblClick = vcl::TNotifyEvent([this](vcl::TObject* s) { gdMainDblClick(s); }, this);
}

vcl::TClass TfrmKvQuery::DataModuleClass() const { return &TdmKvQuery::StaticClass(); }

TdmKvQuery* TfrmKvQuery::QueryModule() const { return dynamic_cast<TdmKvQuery*>(DataModule); }

TQueryPageSpec& TfrmKvQuery::Page(int index) {
    if (index < 0) index = 0;
    while (static_cast<int>(pages_.size()) <= index) pages_.push_back(std::make_unique<TQueryPageSpec>());
    return *pages_[static_cast<size_t>(index)];
}

vcl::TClientDataSet* TfrmKvQuery::ExportDataSet() const {
    TdmKvQuery* dm = QueryModule();
    return dm ? dm->cdsBody : nullptr;
}

// ---- life cycle ----

void TfrmKvQuery::FormCreate(vcl::TObject* sender) {
    TfrmSingle::FormCreate(sender);
    if (TdmKvQuery* dm = QueryModule()) {
        gdMain->SetDataSource(dm->dsBody);
        dm->AllowColumnSort = [this] { return ColumnSorting; };
    }
    Variant row;
    std::string currency = Brokers->GetSysParam("Sys003");
    if (CheckCodeExists("CMSMF", "01", "N", row, {Variant(currency)}) && row.IsArray()) {
        const int low = plat::VarArrayLowBound(row);
        for (int i = 0; i < 4; ++i) {
            if (low + 1 + i > plat::VarArrayHighBound(row)) break;
            try {
                CurrencySetting[i] = row[low + 1 + i].IsEmptyOrNull() ? 0 : row[low + 1 + i].ToInt();
            } catch (const std::exception&) {
                CurrencySetting[i] = 0;
            }
        }
    }
    HeadMaxHeight = pgHead->Height();
}

void TfrmKvQuery::LoadClientSettings() {
    TfrmSingle::LoadClientSettings();
    for (int i = 0; i < pgBody->PageCount(); ++i) Page(i);
    DateFields.clear();
    YMFields.clear();
    YMFields2.clear();
    savedEvents_.clear();
    OnDateFieldEnter = vcl::TNotifyEvent([this](vcl::TObject* s) { DateFieldEnter(s); }, &savedEvents_);
    OnDateFieldExit = vcl::TNotifyEvent([this](vcl::TObject* s) { DateFieldExit(s); }, &savedEvents_);
    UseExtraCondition = true;
}

void TfrmKvQuery::PrepareForm() {
    TfrmSingle::PrepareForm();
    for (int p = 0; p < PageCount(); ++p)
        for (const std::string& name : Pieces(Page(p).RequiredControls, ',')) {
            vcl::TComponent* c = FindComponent(name);
            if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
                if (panel->Style() == TSelectStyle::sp_Discrete) panel->ListView->SetColor(kRequiredColor);
                else {
                    panel->BeginEdit->SetColor(kRequiredColor);
                    panel->FinalEdit->SetColor(kRequiredColor);
                }
            } else if (auto* edit = dynamic_cast<vcl::TCustomEdit*>(c)) {
                edit->SetColor(kRequiredColor);
            }
        }
}

void TfrmKvQuery::FormShow(vcl::TObject* sender) {
    TfrmSingle::FormShow(sender);
    if (ProgramMode != 9 && StartPage >= 0 && StartPage < pgBody->PageCount()) {
        pgBody->SetActivePageIndex(StartPage);
        PlaceViewButton();
    }
    RefreshButtons();
}

void TfrmKvQuery::AfterFormShow() {
    TfrmSingle::AfterFormShow();
    if (ProgramMode == 9) RunQuery();
}

void TfrmKvQuery::FormDestroy(vcl::TObject* sender) {
    savedEvents_.clear();
    pages_.clear();
    TfrmSingle::FormDestroy(sender);
}

void TfrmKvQuery::RefreshButtons() {
    TfrmSingle::RefreshButtons();
    // Last, after the extra rights, which may name any of them.
    for (vcl::TToolButton* b : {btnAdd, btnEdit, btnDelete, btnOK, btnCancel}) b->SetEnabled(false);
    for (vcl::TMenuItem* m : {miAdd, miEdit, miDelete}) m->SetEnabled(false);
    if (!pgBody) return;
    TClientDataSet* ds = MainDataSet();
    bool editing = ds && (ds->State() == vcl::TDataSetState::dsEdit || ds->State() == vcl::TDataSetState::dsInsert);
    pgBody->SetEnabled(!editing);
    btnReFresh->SetEnabled(false);
    bool conditionPage = pgBody->ActivePage() != tsResult;
    EnableQueryCommands(conditionPage);
    miTable2Excel->SetEnabled(false);
    miTable2Excel2->SetEnabled(false);
}

void TfrmKvQuery::ApplyRights() {
    TfrmSingle::ApplyRights();
    CanAdd = CanEdit = CanDelete = false;
}

bool TfrmKvQuery::CancelChanges(bool) { return TfrmSingle::CancelChanges(false); }

// Nothing is ever saved from here, so closing asks nothing: a dataset left in
// edit or insert state is cancelled. A running export still keeps the window.
void TfrmKvQuery::FormCloseQuery(vcl::TObject*, bool& canClose) {
    if (Exporting) {
        canClose = false;   // the export still reads the window; it ends on its own
        return;
    }
    if (EditMode != 0) CancelChanges(false);
}

void TfrmKvQuery::EnableQueryCommands(bool enabled) {
    btnView->SetEnabled(enabled);
    btnView2->SetEnabled(enabled);
    mniView->SetEnabled(enabled);
}

void TfrmKvQuery::PlaceViewButton() {
    vcl::TTabSheet* page = pgBody->ActivePage();
    if (!page || page == tsResult) return;
    btnView2->SetParent(page);
    btnView2->SetBounds(page->ClientWidth() - btnView2->Width() - 5, 5, btnView2->Width(), btnView2->Height());
}

void TfrmKvQuery::pgBodyChanging(vcl::TObject*, bool&) { leavingPage_ = pgBody->ActivePageIndex(); }

void TfrmKvQuery::pgBodyChange(vcl::TObject*) {
    const int resultIndex = tsResult->PageIndex();
    if (leavingPage_ == resultIndex && pgBody->ActivePage() != tsResult) SetHeadHeight(HeadMaxHeight);
    TdmKvQuery* dm = QueryModule();
    bool loaded = dm && dm->cdsBody->Active() && !dm->cdsBody->IsEmpty();
    if (pgBody->ActivePage() == tsResult && !loaded && leavingPage_ >= 0 && leavingPage_ != resultIndex) {
        pgBody->SetActivePageIndex(leavingPage_);
    }
    bool onResult = pgBody->ActivePage() == tsResult;
    EnableQueryCommands(!onResult);
    pgHead->SetEnabled(!onResult);
    for (vcl::TToolButton* b : {btnFirst, btnPrior, btnNext, btnLast}) b->SetEnabled(!onResult);
    miTable2Excel->SetEnabled(onResult);
    miTable2Excel2->SetEnabled(onResult);
    PlaceViewButton();
}

void TfrmKvQuery::FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) {
    const bool ctrlOnly = shift == vcl::ssCtrl;
    if (ctrlOnly && (key == vcl::VK_PRIOR || key == vcl::VK_NEXT) && pgBody->ActivePage() == tsResult) {
        int height = pgHead->Height();
        if (key == vcl::VK_PRIOR && height > 30) SetHeadHeight(height - 5);
        if (key == vcl::VK_NEXT && height < HeadMaxHeight) SetHeadHeight(height + 5);
        key = 0;
        return;
    }
    if (key == 'S' && shift == (vcl::ssCtrl | vcl::ssAlt | vcl::ssShift)) {
        std::string version;
        if (TdmKvQuery* dm = QueryModule(); dm && dm->QueryServer.IsDispatch()) {
            try {
                version = plat::VarToStr(plat::GetProperty(dm->QueryServer, "ProgVerS"));
            } catch (const std::exception&) {
            }
        }
        Brokers->ShowCodedMessage("I", "000001", {plat::GetToken(version, ";", 1), "KvQueryS.Class1"});
        key = 0;
        return;
    }
    TfrmSingle::FormKeyDown(sender, key, shift);
}

// ---- date fields ----

void TfrmKvQuery::SaveHandlers(vcl::TWinControl* control, const std::string& name) {
    // Empty handlers are kept as empty; the frame's own are never taken for the control's.
    auto keep = [this](const std::string& key, const vcl::TNotifyEvent& handler) {
        savedEvents_[key] = handler.BelongsTo(&savedEvents_) ? vcl::TNotifyEvent() : handler;
    };
    keep(name + ".OnEnter", control->OnEnter);
    keep(name + ".OnExit", control->OnExit);
    control->OnEnter = OnDateFieldEnter;
    control->OnExit = OnDateFieldExit;
}

void TfrmKvQuery::RestoreHandlers(const std::string& names) {
    for (const std::string& name : Pieces(names, ',')) {
        auto* control = dynamic_cast<vcl::TWinControl*>(FindComponent(name));
        if (!control) continue;
        if (auto it = savedEvents_.find(name + ".OnEnter"); it != savedEvents_.end()) {
            control->OnEnter = it->second;
            savedEvents_.erase(it);
        }
        if (auto it = savedEvents_.find(name + ".OnExit"); it != savedEvents_.end()) {
            control->OnExit = it->second;
            savedEvents_.erase(it);
        }
    }
}

void TfrmKvQuery::RegisterDateFields(const std::string& names) {
    std::string list = plat::Trim(names);
    if (list == DateFields) return;
    if (!DateFields.empty()) RestoreHandlers(DateFields);
    DateFields = list;
    for (const std::string& name : Pieces(list, ',')) {
        auto* control = dynamic_cast<vcl::TWinControl*>(FindComponent(name));
        if (!control) continue;
        SaveHandlers(control, name);
        if (auto* panel = dynamic_cast<TSelectPanel*>(control)) {
            panel->SetValueType(TValueType::vt_Date);
            panel->SetDateSign(Brokers->GetSysParam("SYS002"));
            if (panel->DateType() == TDateType::dt_NoneCare) {
                int kind = 0;
                try {
                    kind = std::stoi(plat::Trim(Brokers->GetSysParam("SYS001")));
                } catch (const std::exception&) {
                    kind = 1;
                }
                panel->SetDateType(kind >= 1 && kind <= 5 ? static_cast<TDateType>(kind) : TDateType::dt_NoneCare);
            }
        }
    }
}

void TfrmKvQuery::DateFieldEnter(vcl::TObject* sender) {
    auto* control = dynamic_cast<vcl::TWinControl*>(sender);
    if (!control) return;
    if (auto it = savedEvents_.find(control->Name() + ".OnEnter"); it != savedEvents_.end() && it->second)
        it->second(sender);
    if (InList(DateFields, control->Name())) CheckDateField(control, true);
}

void TfrmKvQuery::DateFieldExit(vcl::TObject* sender) {
    auto* control = dynamic_cast<vcl::TWinControl*>(sender);
    if (!control) return;
    if (auto it = savedEvents_.find(control->Name() + ".OnExit"); it != savedEvents_.end() && it->second)
        it->second(sender);
    if (InList(DateFields, control->Name())) CheckDateField(control, false);
}

std::string TfrmKvQuery::BlankDateText() const { return fieldfmt::BlankDateText(DateFormatKind, DateSeparator); }

void TfrmKvQuery::DisplayDateToDb(const std::string& text, bool fillEmpty, std::string& result,
                                  const std::string& defaultValue) const {
    std::string trimmed = plat::Trim(text);   // before `result`, which may be `text` itself
    result.clear();
    if (trimmed.empty()) {
        if (fillEmpty) result = defaultValue == "-1" ? Tomorrow() : defaultValue;
        return;
    }
    if (fieldfmt::NothingTyped(trimmed, DateSeparator)) return;
    result = fieldfmt::DisplayDateToDb(trimmed, DateFormatKind, DateSeparator);
}

std::optional<std::string> TfrmKvQuery::ConditionDate(const std::string& text) const {
    return fieldfmt::ConditionDate(text, DateFormatKind, DateSeparator);
}

std::string TfrmKvQuery::ConditionDateValue(const std::string& text) const {
    std::optional<std::string> date = ConditionDate(text);
    if (!date) throw EConditionValue("\"" + plat::Trim(text) + "\" is no date");
    return *date;
}

bool TfrmKvQuery::CheckDateField(vcl::TWinControl* control, bool entering) {
    auto* panel = dynamic_cast<TSelectPanel*>(control);
    auto* maskEdit = dynamic_cast<vcl::TMaskEdit*>(control);
    auto* edit = dynamic_cast<vcl::TCustomEdit*>(control);
    if (!panel && !edit) {
        std::string text;
        GetLangText("TfrmKvQuery", "sDefine11", text, true, "判断日期的函数第一个参数错误, 只能传下列三种物件:");
        plat::MessageBox(text + "TSelectPanel, TMaskedit, TEdit", Caption(), plat::MsgDlgType::Warning);
        return false;
    }
    std::string mask = DataModule ? DataModule->DateFieldEditMask() : std::string();
    if (entering) {
        if (panel) panel->SetEditMask(mask);
        else if (maskEdit) maskEdit->SetEditMask(mask);
        else if (plat::Trim(edit->Text()).empty()) edit->SetText(BlankDateText());
        return true;
    }
    std::vector<vcl::TCustomEdit*> edits;
    if (panel) edits = {panel->BeginEdit, panel->FinalEdit};
    else edits = {edit};
    for (vcl::TCustomEdit* e : edits) {
        if (!ConditionDate(e->Text())) {
            Brokers->ShowCodedMessage("E", "000005", {});
            if (e->CanFocus()) e->SetFocus();
            return false;
        }
    }
    return true;
}

bool TfrmKvQuery::CheckDateFields() {
    for (const std::string& name : Pieces(DateFields, ',')) {
        auto* control = dynamic_cast<vcl::TWinControl*>(FindComponent(name));
        if (control && !CheckDateField(control, false)) return false;
    }
    return true;
}

// ---- lookups and checks ----

void TfrmKvQuery::OpenLookupWindow(vcl::TWinControl* control, const std::string& table, const Variant& startValues,
                                   const std::string& mode) {
    TSelectPanel* panel = PanelOf(control);
    if (panel && control == panel->ListView) {
        int columns = panel->ShowColumnHeader() ? panel->ColumnCaptions()->Count() : 1;
        if (columns == 0) {
            ShowLangMessage("sDefine10", "TO PR: 请先设置 SelectPanel 的 ColumnCaptions");
            return;
        }
        Variant answer;
        Brokers->F2GetData(table, mode, answer, {}, {}, {}, 0, {}, false, true, {}, startValues);
        answer = ConvertText(answer);
        if (!answer.IsArray()) return;
        for (int r = plat::VarArrayLowBound(answer); r <= plat::VarArrayHighBound(answer); ++r) {
            const Variant& row = answer[r];
            std::vector<std::string> values;
            if (row.IsArray()) {
                int low = plat::VarArrayLowBound(row);
                for (int c = 0; c < columns && low + c <= plat::VarArrayHighBound(row); ++c)
                    values.push_back(plat::VarToStr(row[low + c]));
            } else {
                values.push_back(plat::VarToStr(row));
            }
            panel->AddListRow(values);
        }
        return;
    }
    Variant start = startValues;
    if (panel && (control == panel->BeginEdit || control == panel->FinalEdit)) {
        if (panel->Style() == TSelectStyle::sp_Range ||
            (panel->Style() == TSelectStyle::sp_UserChoice && panel->UserChoice()))
            start = TextOf(control);
    } else if (dynamic_cast<vcl::TCustomEdit*>(control)) {
        start = TextOf(control);
    }
    Variant answer;
    Brokers->F2GetData(table, mode, answer, {}, {}, {}, 0, {}, false, false, {}, start);
    answer = ConvertText(answer);
    if (!answer.IsArray() || answer.Array().Count() == 0) return;
    const Variant& row = answer[plat::VarArrayLowBound(answer)];
    Variant value = row.IsArray() ? (row.Array().Count() > 0 ? row[plat::VarArrayLowBound(row)] : Variant()) : row;
    if (!value.IsEmptyOrNull()) SetTextOf(control, plat::VarToStr(value));
}

void TfrmKvQuery::PickDate(vcl::TWinControl* control) {
    std::string date;
    DisplayDateToDb(TextOf(control), true, date);
    std::string picked = Brokers->ShowInputDay(DateFormatKind > 3, Variant(date));
    if (plat::Trim(picked).empty()) return;
    SetTextOf(control, fieldfmt::DbDateToDisplay(DateFormatKind, DateSeparator, plat::Trim(picked)));
}

bool TfrmKvQuery::CheckCodeExists(const std::string& table, const std::string& mode, const std::string& level,
                                  Variant& result, const std::vector<Variant>& keys) {
    bool anything = false;
    for (const Variant& k : keys) anything = anything || (!k.IsEmptyOrNull() && !plat::Trim(plat::VarToStr(k)).empty());
    Variant answer;
    if (anything) {
        if (!Brokers->CheckValue(table, mode, plat::VarArrayOf(keys), answer)) {
            if (level == "E" || level == "W") {
                std::string word;
                GetLangText("TfrmKvQuery", "sDefine0", word, false, "字段");
                word = ConvertDisplayText(word).ToString();
                if (level == "E") Brokers->ShowCodedMessage("E", "000001", {word});
                else Brokers->ShowCodedMessage("W", "000004", {word}, 936, false, 2);
            }
            return false;
        }
    }
    result = ConvertText(answer);
    return true;
}

void TfrmKvQuery::ShowLangMessage(const std::string& key, const std::string& defaultText, const std::string& argument) {
    std::string text;
    GetLangText("TfrmKvQuery", key, text, true, defaultText);
    if (!argument.empty()) text = plat::Format(text, {argument});
    KvConverter()->ShowMessageBox(text, plat::MsgDlgType::Warning, {plat::MsgDlgBtn::OK});
}

// ---- the condition ----

// Pieces join with " AND "; selection panels' clauses with " and " (or
// "Where " when they come first, which is cut off at the end). Every value
// stands as a quoted SQL string.
void TfrmKvQuery::BuildCondition() {
    ExtraCondition.clear();
    int pageIndex = std::max(0, pgBody->ActivePageIndex());
    std::string& cond = ExtraCondition;
    auto addPiece = [&cond](const std::string& piece) { cond += cond.empty() ? piece : " AND " + piece; };
    auto addPanelClause = [&cond](const std::string& clause) { cond += cond.empty() ? "Where " + clause : " and " + clause; };
    for (const std::string& entry : Pieces(Page(pageIndex).ConditionSpec, '|')) {
        size_t colon = entry.find(':');
        if (colon == std::string::npos) continue;
        vcl::TComponent* component = FindComponent(plat::Trim(entry.substr(0, colon)));
        if (!component) continue;
        std::string rest = entry.substr(colon + 1);
        std::string column = plat::Trim(plat::GetToken(rest, ";", 1));
        size_t semi = rest.find(';');
        std::vector<std::string> values;
        if (semi != std::string::npos)
            for (const std::string& v : Pieces(rest.substr(semi + 1), ',')) values.push_back(v);

        if (auto* panel = dynamic_cast<TSelectPanel*>(component)) {
            if (panel->IsRangeShown()) {
                // A value that cannot be used stops the condition instead of widening it.
                auto convert = [&](const std::string& text) {
                    if (panel->ValueType() == TValueType::vt_Date) return ConditionDateValue(text);
                    if (panel->ValueType() != TValueType::vt_OtherMask) return text;
                    std::optional<std::string> ym = fieldfmt::ConditionYearMonth(text, DateFormatKind, DateSeparator);
                    if (!ym) throw EConditionValue("\"" + plat::Trim(text) + "\" is no year and month");
                    return *ym;
                };
                std::string start = convert(panel->BeginEdit->Text()), end = convert(panel->FinalEdit->Text());
                bool hasStart = !plat::Trim(start).empty(), hasEnd = !plat::Trim(end).empty();
                std::string s = plat::QuotedStr(start), e = plat::QuotedStr(end);
                if (hasStart && hasEnd && start != end)
                    addPanelClause(" (" + column + " Between " + s + " and " + e + ") ");
                else if (hasStart && hasEnd)
                    addPanelClause(" (" + column + "=" + s + ") ");
                else if (hasStart)
                    addPanelClause(" (" + column + ">= " + s + ")");
                else if (hasEnd)
                    addPanelClause(" (" + column + "<= " + e + " OR " + column + " IS NULL )");
            } else {
                std::string list;
                for (int i = 0; i < panel->Items()->Count(); ++i) {
                    std::string caption = panel->Items()->Item(i)->Caption();
                    if (caption.empty()) continue;
                    list += (list.empty() ? "" : ", ") + plat::QuotedStr(caption);
                }
                if (!list.empty()) addPanelClause("(" + column + " IN (" + list + "))");
            }
        } else if (auto* check = dynamic_cast<vcl::TBitCheckBox*>(component)) {
            if (values.empty() || SameText(values[0], "ALL")) continue;
            std::string value = check->Checked() ? values[0] : (values.size() > 1 ? values[1] : std::string());
            addPiece(column + "=" + plat::QuotedStr(value));
        } else if (auto* combo = dynamic_cast<vcl::TComboBox*>(component)) {
            int index = combo->ItemIndex();
            if (index < 0 || index >= static_cast<int>(values.size())) continue;
            if (SameText(values[static_cast<size_t>(index)], "ALL")) continue;
            addPiece(column + "=" + plat::QuotedStr(values[static_cast<size_t>(index)]));
        } else if (auto* edit = dynamic_cast<vcl::TCustomEdit*>(component)) {
            std::string text = edit->Text();
            if (text.empty()) continue;
            if (InList(DateFields, edit->Name())) text = ConditionDateValue(text);
            if (!text.empty()) addPiece(column + "=" + plat::QuotedStr(text));
        }
    }
    size_t where = cond.find("Where");
    if (where != std::string::npos) cond = cond.substr(where + 5);
}

bool TfrmKvQuery::CheckRequiredConditions() {
    bool ok = true;
    int pageIndex = std::max(0, pgBody->ActivePageIndex());
    for (const std::string& name : Pieces(Page(pageIndex).RequiredControls, ',')) {
        auto* edit = dynamic_cast<vcl::TCustomEdit*>(FindComponent(name));
        if (!edit || !plat::Trim(edit->Text()).empty()) continue;
        std::string caption = edit->Parent() ? edit->Parent()->Caption() : std::string();
        Brokers->ShowCodedMessage("E", "000003", {caption});
        if (edit->CanFocus()) edit->SetFocus();
        ok = false;
    }
    return ok;
}

std::string TfrmKvQuery::KeyCondition(int pageIndex) const {
    TClientDataSet* ds = MainDataSet();
    std::string out;
    if (!ds || !ds->Active() || pageIndex < 0 || pageIndex >= PageCount()) return out;
    for (const std::string& entry : Pieces(pages_[static_cast<size_t>(pageIndex)]->KeyFieldMap, '|')) {
        vcl::TField* field = ds->FindField(plat::Trim(plat::GetToken(entry, ":", 1)));
        std::string column = plat::Trim(plat::GetToken(entry, ":", 2));
        if (!field || column.empty() || field->AsString().empty()) continue;
        out += (out.empty() ? "" : " AND ") + column + "=" + plat::QuotedStr(field->AsString());
    }
    return out;
}

Variant TfrmKvQuery::QueryParameters(const std::string& kind, const std::string& paramText, int pageIndex) {
    std::string key = KeyCondition(pageIndex);
    std::string condition;
    if (UseExtraCondition && !ExtraCondition.empty()) condition = ExtraCondition + (key.empty() ? "" : " AND " + key);
    else condition = key;
    plat::VarArray params(0, 13);
    params.At(0) = kind;
    params.At(1) = paramText;
    params.At(2) = std::string();
    params.At(3) = int32_t(1);
    params.At(4) = std::string();
    params.At(5) = Brokers->DatabaseName;
    params.At(6) = Brokers->CompanyID;
    params.At(11) = condition;
    params.At(12) = Page(pageIndex).QueryParams;
    params.At(13) = QueryLanguageCode(UICodePage());
    return Variant(std::move(params));
}

void TfrmKvQuery::BindResultControls() {
    TdmKvQuery* dm = QueryModule();
    if (!dm) return;
    gdMain->ClearCheckBoxFields();
    int pageIndex = std::max(0, pgBody->ActivePageIndex());
    for (const std::string& line : Page(pageIndex).ResultControlTypes) {
        std::string field = plat::Trim(plat::GetToken(line, ";", 1));
        std::string kind = plat::UpperCase(plat::Trim(plat::GetToken(line, ";", 2)));
        if (kind == "CHECKBOX" && !field.empty()) gdMain->SetCheckBoxField(field, "Y;N");
    }
}

// ---- the query ----

void TfrmKvQuery::RunQuery() {
    TdmKvQuery* dm = QueryModule();
    vcl::TScreen::Instance().SetCursor(vcl::crHourGlass);
    struct CursorBack {
        ~CursorBack() { vcl::TScreen::Instance().SetCursor(vcl::crDefault); }
    } cursorBack;
    if (!dm || !CanRunQuery()) return;
    if (pgBody->CanFocus()) pgBody->SetFocus();
    if (ActiveControl() != pgBody) return;   // a field refused to be left

    int pageIndex = pgBody->ActivePageIndex();
    std::string kind, paramText;
    if (pgBody->ActivePage() == tsResult) {
        kind = LastKind;
        paramText = LastParamText;
        pageIndex = QueryPage;
        if (kind.empty()) return;
    } else {
        if (!CheckRequiredConditions() || !CheckDateFields()) return;
        const std::string option = Page(pageIndex).F2Option;
        if (option.empty()) {
            ShowLangMessage("sDefine2", "To PR:请先设置 F2Option[%s]的开窗值!!", std::to_string(pageIndex));
            return;
        }
        size_t dash = option.find('-');
        kind = plat::UpperCase(plat::Trim(option.substr(0, dash)));
        paramText = dash == std::string::npos ? std::string() : plat::Trim(option.substr(dash + 1));
        if (kind.empty() || paramText.empty()) {
            ShowLangMessage("sDefine4", "To PR:F2Option[%s]的开窗值设置错误!!", std::to_string(pageIndex));
            return;
        }
        LastKind = kind;
        LastParamText = paramText;
        if (UseExtraCondition) BuildCondition();
    }

    Variant params = QueryParameters(kind, paramText, pageIndex);
    ExtraCondition.clear();
    UseExtraCondition = true;
    Page(pageIndex).QueryParams = Variant::Null();
    BindResultControls();
    CurrentPage = pageIndex;

    Variant data;
    bool answered = false;
    try {
        if (!dm->QueryServer.IsDispatch()) dm->ConnectQueryServer();
        answered = plat::CallMethod(dm->QueryServer, "GetQueryData", {plat::ByRef(params), plat::ByRef(data)}).ToBool();
    } catch (const std::exception&) {
        answered = false;
    }
    dm->RefreshAfterQuery();
    if (!answered) {
        ShowLangMessage("sDefine7", "开窗种类指定错误");
        return;
    }
    bool loaded = LoadResult(data);
    if (!loaded) {
        std::string version;
        try {
            version = plat::VarToStr(plat::GetProperty(dm->QueryServer, "ProgVerS"));
        } catch (const std::exception&) {
        }
        std::string detail = plat::GetToken(version, ";", 2);
        if (!detail.empty()) {
            std::string text;
            GetLangText("TfrmKvQuery", "sDefine8", text, true, "后端运行失败.");
            KvConverter()->ShowMessageBox(text + "\n" + detail, plat::MsgDlgType::Warning, {plat::MsgDlgBtn::OK});
        } else {
            ShowLangMessage("sDefine9", "没有任何符合的信息.");
        }
    }
    // The grid lays its columns out again.
    if (WindowState() == vcl::TWindowState::wsMaximized) {
        gdHead->SetWidth(gdHead->Width() - 1);
        gdHead->SetWidth(gdHead->Width() + 1);
    } else {
        SetWidth(Width() - 1);
        SetWidth(Width() + 1);
    }
    if (!loaded) return;
    QueryPage = pageIndex;
    leavingPage_ = pageIndex;
    pgBody->SetActivePage(tsResult);
    pgBodyChange(pgBody);
    setSelfFormOption();
    TClientDataSet* body = dm->cdsBody;
    body->DisableControls();
    vcl::TBookmark mark = body->GetBookmark();
    for (body->First(); !body->Eof(); body->Next()) {
    }
    if (body->BookmarkValid(mark)) body->GotoBookmark(mark);
    body->EnableControls();
    if (gdMain->CanFocus()) gdMain->SetFocus();
}

bool TfrmKvQuery::LoadResult(const Variant& data) {
    TdmKvQuery* dm = QueryModule();
    TClientDataSet* body = dm->cdsBody;
    body->Close();
    auto text = [&](const char* member) {
        try {
            return plat::VarToStr(plat::GetProperty(dm->QueryServer, member));
        } catch (const std::exception&) {
            return std::string();
        }
    };
    std::string sql = text("SQLCommand");
    std::string labels = text("DisplayLabels");
    std::string order = text("OrderBy");
    labels.erase(std::remove_if(labels.begin(), labels.end(), [](char c) { return c == '\r' || c == '\n'; }),
                 labels.end());
    // The answer carries the rows; without them the body asks its provider
    // for the statement the server ran. A body that cannot open is not loaded.
    try {
        if (data.IsArray()) {
            body->SetData(data);
        } else {
            if (plat::Trim(sql).empty()) return false;
            body->CommandText = sql + (plat::Trim(order).empty() ? "" : " ORDER BY " + order);
            body->Open();
        }
    } catch (const std::exception&) {
        return false;
    }
    for (const std::string& name : Pieces(Page(CurrentPage).NumberFields, ','))
        if (vcl::TField* f = body->FindField(name)) f->SetDisplayFormat(dm->NumberFieldDisplayFormat(CurrencySetting[1]));
    if (!body->Active()) body->Open();
    resultLoaded_ = !body->IsEmpty();
    if (!resultLoaded_) return false;
    ApplyDisplayLabels(labels);
    ApplyUserSettingsToGrid(gdMain);
    PrepareForm();
    LoadView();
    dm->TranslateLabels();
    return true;
}

// "label$kind$n;..." one entry per field in field order.
void TfrmKvQuery::ApplyDisplayLabels(const std::string& labels) {
    TdmKvQuery* dm = QueryModule();
    TClientDataSet* body = dm->cdsBody;
    SortableFields.clear();
    const int kind = DateFormatKind;
    const std::string sep = DateSeparator;
    for (int i = 0; i < body->FieldCount(); ++i) {
        vcl::TField* f = body->Fields(i);
        std::string entry = plat::GetToken(labels, ";", i + 1);
        std::string label = plat::GetToken(entry, "$", 1);
        std::string type = plat::UpperCase(plat::Trim(plat::GetToken(entry, "$", 2)));
        std::string n = plat::Trim(plat::GetToken(entry, "$", 3));
        if (label.empty() || (ProgramMode == 5 && n == "5")) {
            f->SetVisible(false);
            continue;
        }
        f->SetDisplayLabel(label);
        if (f->Size() == 255) f->SetDisplayWidth(20);
        if (type == "D") {
            f->OnGetText = vcl::TFieldGetTextEvent([kind, sep](vcl::TField* field, std::string& text, bool) {
                text = fieldfmt::DbDateToDisplay(kind, sep, plat::Trim(field->AsString()));
            });
        } else if (type == "Y") {
            f->OnGetText = vcl::TFieldGetTextEvent([kind](vcl::TField* field, std::string& text, bool) {
                text = fieldfmt::YearToDisplay(kind, plat::Trim(field->AsString()));
            });
        } else if (type == "YM") {
            f->OnGetText = vcl::TFieldGetTextEvent([kind, sep](vcl::TField* field, std::string& text, bool) {
                text = fieldfmt::YMToDisplay(kind, sep, plat::Trim(field->AsString()));
            });
        } else if (type == "C") {
            SortableFields.push_back(f->FieldName());
        } else if (type == "L") {
            gdMain->SetCheckBoxField(f->FieldName(), "Y;N");
        } else if (type == "S") {
            if (f->DisplayWidth() < 10) f->SetDisplayWidth(10);
            f->OnGetText = vcl::TFieldGetTextEvent([](vcl::TField* field, std::string& text, bool) {
                std::string raw = plat::Trim(field->AsString());
                try {
                    size_t used = 0;
                    double value = std::stod(raw, &used);
                    if (used != raw.size()) throw std::invalid_argument(raw);
                    size_t dot = raw.find('.');
                    int decimals = dot == std::string::npos ? 0 : static_cast<int>(raw.size() - dot - 1);
                    text = vcl::FormatFloat(fieldfmt::NumberFieldDisplayFormat(decimals), value);
                } catch (const std::exception&) {
                    text = raw;
                }
            });
        }
    }
}

void TfrmKvQuery::setSelfFormOption() {
    std::string page;
    if (QueryPage >= 0 && QueryPage < pgBody->PageCount()) page = pgBody->Pages(QueryPage)->Caption();
    SetCaption(Brokers->GetProgramTitle() + "[" + Brokers->GetSysParam("KVX002") + "]-" +
               ConvertDisplayText(page).ToString());
    if (UIConversion() != 0) KvConverter()->ConvertComponentTree(this, false, true);
}

// ---- the result grid ----

void TfrmKvQuery::gdMainCalcCellColors(vcl::TObject*, vcl::TField*, int recNo, bool active, vcl::TColor& background,
                                       vcl::TColor& font) {
    if (active) {
        background = vcl::RGB(0, 128, 128);
        font = vcl::clHighlightText;
        return;
    }
    background = recNo > 0 && recNo % 2 == 0 ? vcl::RGB(206, 249, 231) : vcl::RGB(251, 255, 236);
    font = vcl::clBlack;
}

void TfrmKvQuery::gdMainCalcTitleAttributes(vcl::TObject*, vcl::TField* field, vcl::TColor& background) {
    for (const std::string& name : SortableFields)
        if (SameText(name, field->FieldName())) background = vcl::RGB(0, 200, 200);
}

void TfrmKvQuery::gdMainTitleButtonClick(vcl::TObject*, const std::string& fieldName) {
    if (TdmKvQuery* dm = QueryModule()) dm->SortBodyBy(fieldName);
}

void TfrmKvQuery::gdMainCalcTitleImage(vcl::TObject*, vcl::TField* field, int& image) {
    TdmKvQuery* dm = QueryModule();
    if (dm && !dm->SortField().empty() && SameText(dm->SortField(), field->FieldName()))
        image = dm->SortDescending() ? 1 : 0;
}

void TfrmKvQuery::ShowRecordPosition(vcl::TClientDataSet* dataSet) { TfrmSingle::ShowRecordPosition(dataSet); }
