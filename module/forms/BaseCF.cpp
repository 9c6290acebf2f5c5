// The program window base: tool bar, menu and status bar; the rights of
// commands and records; field groups; browse, add, edit, delete and cancel
// with their questions; required fields; the user settings document and the
// per-user input settings; saved grid views; attached documents; lookup
// filling; quick search; conditions on the main dataset.
#include "BaseCF.h"

#include <QString>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>

#include "ClassRegistry.h"
#include "DBClient.h"
#include "Dialogs.h"
#include "Dispatch.h"
#include "Format.h"
#include "IniFile.h"
#include "KvCtrls.h"
#include "KvSearchDialog.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "controls/KvDBGrid.h"
#include "data/BaseCD.h"
#include "data/Brokers.h"
#include "data/FieldFormats.h"
#include "data/SingleCD.h"
#include "export/MT_Doc.h"
#include "lang/CodeConverter.h"
#include "Grids.h"
#include "SafeFile.h"

using plat::Variant;
using vcl::TClientDataSet;
using vcl::TDataSetState;

namespace {

std::string WithoutBlanks(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
    return out;
}

bool SameText(const std::string& a, const std::string& b) { return plat::UpperCase(a) == plat::UpperCase(b); }

// The fields of the dataset a grid shows, as the user settings document
// adjusts them: labels, widths and visibility go to the fields, a field's
// place to its column in the grid (the dataset keeps its own field order).
class GridFields : public IMTGridFields {
public:
    explicit GridFields(TKvDBGrid* grid) : grid_(grid) {}
    std::vector<std::string> FieldNames() const override {
        std::vector<std::string> names;
        if (TClientDataSet* ds = grid_->DataSet())
            for (vcl::TField* f : ds->FieldList()) names.push_back(f->FieldName());
        return names;
    }
    vcl::TObject* FieldObject(const std::string& fieldName) override {
        TClientDataSet* ds = grid_->DataSet();
        return ds ? ds->FindField(fieldName) : nullptr;
    }
    void SetFieldIndex(const std::string& fieldName, int index) override {
        TClientDataSet* ds = grid_->DataSet();
        vcl::TField* field = ds ? ds->FindField(fieldName) : nullptr;
        if (!field || index < 0) throw std::out_of_range("no place " + std::to_string(index) + " for " + fieldName);
        grid_->SetColumnPosition(field, index);
    }

private:
    TKvDBGrid* grid_;
};

}  // namespace

const vcl::TClassInfo& TfrmBase::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TfrmBase>("TfrmBase", TfrmRadical::StaticClass());
    return info;
}

// The window's bars and menu, as its description builds them (BaseCFLayout.cpp).
TfrmBase::TfrmBase(vcl::TComponent* owner) : TfrmRadical(owner) {
    CreateImageList();
    CreateStatusBar();
    CreateToolBar();
    CreateMainMenu();
    Status->SetTag(kMenuTag);
    ToolBar1->SetTag(kMenuTag);
    MainMenu->SetTag(kMenuTag);
    ImageList1->SetTag(kMenuTag);
    CreateSearchDialog();
}

TfrmBase::~TfrmBase() = default;

void TfrmBase::BindHandlers() {
    TfrmRadical::BindHandlers();
    OnCloseQuery = vcl::TCloseQueryEvent([this](vcl::TObject* s, bool& c) { FormCloseQuery(s, c); }, this);
    // Menu items and tool buttons alike: a click calls the form's handler.
    auto bind = [this](auto* clickable, void (TfrmBase::*handler)(vcl::TObject*)) {
        clickable->OnClick = vcl::TNotifyEvent([this, handler](vcl::TObject* s) { (this->*handler)(s); }, this);
    };
    bind(miAdd, &TfrmBase::miAddClick);
    bind(miQuery, &TfrmBase::miQueryClick);
    bind(miEdit, &TfrmBase::miEditClick);
    bind(miDelete, &TfrmBase::miDeleteClick);
    bind(miViewItem, &TfrmBase::miViewItemClick);
    bind(miFirst, &TfrmBase::miFirstClick);
    bind(miPrior, &TfrmBase::miPriorClick);
    bind(miNext, &TfrmBase::miNextClick);
    bind(miLast, &TfrmBase::miLastClick);
    bind(NG, &TfrmBase::NGClick);
    bind(miToolBar, &TfrmBase::miToolBarClick);
    bind(miManager, &TfrmBase::miManagerClick);
    bind(mnSearch, &TfrmBase::mnSearchClick);
    bind(miExit, &TfrmBase::miExitClick);
    bind(MenuItem11, &TfrmBase::MenuItem11Click);
    bind(btnAdd, &TfrmBase::miAddClick);
    bind(btnQuery, &TfrmBase::miQueryClick);
    bind(btnEdit, &TfrmBase::miEditClick);
    bind(btnDelete, &TfrmBase::miDeleteClick);
    bind(btnFirst, &TfrmBase::miFirstClick);
    bind(btnPrior, &TfrmBase::miPriorClick);
    bind(btnNext, &TfrmBase::miNextClick);
    bind(btnLast, &TfrmBase::miLastClick);
    btnPrint->OnClick = vcl::TNotifyEvent([this](vcl::TObject*) { DoPrint(); }, this);
    btnReFresh->OnClick = vcl::TNotifyEvent([this](vcl::TObject*) { ReloadMain(); }, this);

    kvSearchDialog1->OnBeforeSearch = TBeforeSearchEvent(
        [this](vcl::TObject*, bool& abort) {
            if (!kvSearchDialog1->SearchText.empty()) return;
            Brokers->ShowCodedMessage("E", "000032", {ConvertDisplayText(kvSearchDialog1->UserIntl->EmptyValue)});
            abort = true;
        },
        this);
    kvSearchDialog1->OnAfterSearch = TAfterSearchEvent(
        [this](vcl::TObject*, bool found) {
            if (found) return;
            std::string text = plat::Format(ConvertDisplayText(kvSearchDialog1->UserIntl->NotFound).ToString(),
                                            {kvSearchDialog1->SearchText});
            Brokers->ShowCodedMessage("E", "000032", {text});
        },
        this);
    kvSearchDialog1->OnInitDialog = TSearchInitEvent(
        [this](vcl::TObject*, vcl::TForm* dialog) {
            dialog->Font()->Assign(*ToolBar1->Font());
            dialog->SetCaption(ConvertDisplayText(kvSearchDialog1->UserIntl->Caption).ToString());
            for (vcl::TComponent* c : dialog->ComponentList())
                if (auto* control = dynamic_cast<vcl::TControl*>(c); control && !control->Caption().empty())
                    control->SetCaption(ConvertDisplayText(control->Caption()).ToString());
        },
        this);
    kvSearchDialog1->OnSelectField = TSearchFieldEvent(
        [this](vcl::TObject*, std::string& field) {
            if (kvSearchDialog1->Grid) {
                if (vcl::TField* f = kvSearchDialog1->Grid->SelectedField()) field = f->FieldName();
            } else if (kvSearchDialog1->StringGrid) {
                field = kvSearchDialog1->ColumnName(kvSearchDialog1->StringGrid->Col());
            }
        },
        this);
}

vcl::TClass TfrmBase::DataModuleClass() const { return &TdmBase::StaticClass(); }

TdmBase* TfrmBase::BaseModule() const { return dynamic_cast<TdmBase*>(DataModule); }

TClientDataSet* TfrmBase::MainDataSet() const {
    TdmBase* dm = BaseModule();
    return dm ? dm->cdsMain : nullptr;
}

// ---- create, show, close ----

void TfrmBase::FormCreate(vcl::TObject* sender) {
    TfrmRadical::FormCreate(sender);
    if (TdmBase* dm = BaseModule()) {
        dm->WindowEditing = [this] { return EditMode != 0; };
        dm->CheckRecord = [this](TClientDataSet* ds) { return CheckRequiredFields(ds); };
        dm->ShowRecord = [this](TClientDataSet* ds) { ShowRecordPosition(ds); };
    }
    ApplyRights();
}

void TfrmBase::FormShow(vcl::TObject* sender) { TfrmRadical::FormShow(sender); }

void TfrmBase::FormClose(vcl::TObject* sender, vcl::TCloseAction& action) {
    TfrmRadical::FormClose(sender, action);
    if (QBEForm && QBEForm->Owner() == this) {
        QBEForm->Free();
        QBEForm = nullptr;
    }
}

void TfrmBase::AfterFormShow() {
    TfrmRadical::AfterFormShow();
    if (ProgramMode != 10) LoadUserSettings();
    LoadView();
    AfterLoadView();
    if (TdmBase* dm = BaseModule()) {
        const plat::TStringList& info = Brokers->UserInfo;
        dm->RegisterTables(info.Values("M11_TABLE"), info.Values("D11_TABLE"), info.Values("H11_TABLE"),
                           info.Values("F11_TABLE"));
    }
    SyncToolBarCheck();
}

// The menu's check mark tells whether the bar is there, whoever hid or showed it.
void TfrmBase::SyncToolBarCheck() { miToolBar->SetChecked(ToolBar1->Visible()); }

void TfrmBase::LoadClientSettings() {
    TfrmRadical::LoadClientSettings();
    ItemDocuments = false;
    if (!ClientIniFileName.empty()) {
        plat::TIniFile ini(ClientIniFileName);
        ItemDocuments = plat::UpperCase(ini.ReadString("Client Components", "ItemDocuments", "N")) == "Y";
    }
}

// ---- rights ----

void TfrmBase::ApplyRights() {
    CanQuery = HasUserRight(rights::kQuery);
    GroupAView = HasUserRight(rights::kGroupAView);
    GroupAReadOnly = HasUserRight(rights::kGroupAReadOnly);
    GroupBView = HasUserRight(rights::kGroupBView);
    GroupBReadOnly = HasUserRight(rights::kGroupBReadOnly);
    CanAdd = HasUserRight(rights::kAdd);
    CanPrint = HasUserRight(rights::kPrint);
    RightC10 = HasUserRight(rights::kC10);
    RightC11 = HasUserRight(rights::kC11);
    if (!HasUserRight(rights::kOtherRecords)) {
        CanEdit = HasUserRight(rights::kEdit);
        CanDelete = HasUserRight(rights::kDelete);
        RightC4 = HasUserRight(rights::kC4);
        RightC5 = HasUserRight(rights::kC5);
        RightC12 = HasUserRight(rights::kC12);
    }
    RefreshButtons();
}

void TfrmBase::RefreshButtons() {
    TClientDataSet* ds = MainDataSet();
    const bool editing = ds && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert);
    const bool hasRecords = ds && !editing && !(ds->Bof() && ds->Eof());
    auto both = [](vcl::TToolButton* b, vcl::TMenuItem* m, bool on) {
        if (b) b->SetEnabled(on);
        if (m) m->SetEnabled(on);
    };
    both(btnAdd, miAdd, !editing && CanAdd && (Rights & 1));
    both(btnQuery, miQuery, !editing && CanQuery && (Rights & 4));
    both(btnEdit, miEdit, hasRecords && CanEdit && (Rights & 2));
    both(btnDelete, miDelete, hasRecords && CanDelete && (Rights & 8));
    btnPrint->SetEnabled(hasRecords && CanPrint && (Rights & 16));
    both(btnFirst, miFirst, hasRecords);
    both(btnPrior, miPrior, hasRecords);
    both(btnNext, miNext, hasRecords);
    both(btnLast, miLast, hasRecords);
    miExit->SetEnabled(!editing);
    bool view = ds && ds->Active() && !ds->IsEmpty() && !LookupFields.empty();
    miViewItem->SetVisible(view);
    miViewItem->SetEnabled(view);
    for (int i = 1;; ++i) {
        std::string entry = plat::GetToken(ExtraRights, ";", i);
        if (entry.empty() && plat::GetToken(ExtraRights + ";", ";", i + 1).empty()) break;
        size_t eq = entry.find('=');
        if (eq == std::string::npos) continue;
        vcl::TComponent* c = FindComponent(plat::Trim(entry.substr(0, eq)));
        if (c && vcl::IsPublishedProp(c, "Enabled"))
            vcl::SetPropValue(c, "Enabled", Variant(plat::Trim(entry.substr(eq + 1)) == "Y"));
    }
}

// Who may do what with this record: the creator's own rights, those of a
// creator of one of the user's groups, or those of anybody else's record.
void TfrmBase::ShowRecordPosition(TClientDataSet* dataSet) {
    if (!dataSet) return;
    if (HasUserRight(rights::kOtherRecords) && dataSet->Active()) {
        vcl::TField* creator = dataSet->FindField("CREATOR");
        vcl::TField* group = dataSet->FindField("USR_GROUP");
        std::string who = creator ? plat::Trim(creator->AsString()) : std::string();
        std::string grp = group ? plat::Trim(group->AsString()) : std::string();
        rights::RecordRights elements = rights::kOwnRecords;
        if (!who.empty() && who != Brokers->UserID) {
            bool inGroup = !grp.empty() && (GroupList.find("'" + grp + "'") != std::string::npos ||
                                            GroupList.find("\"" + grp + "\"") != std::string::npos);
            elements = inGroup ? rights::kGroupRecords : rights::kOtherUsersRecords;
        }
        CanEdit = HasUserRight(elements.Edit);
        CanDelete = HasUserRight(elements.Delete);
        RightC4 = HasUserRight(elements.C4);
        RightC5 = HasUserRight(elements.C5);
        CanPrint = HasUserRight(elements.Print);
        RightC12 = HasUserRight(elements.C12);
    }
    // Kept as the suite has it: ApplyRights takes CanPrint from element 42
    // again, so the per-record print flag never survives it.
    ApplyRights();
    int count = dataSet->Active() ? dataSet->RecordCount() : 0;
    int recNo = dataSet->Active() ? dataSet->RecNo() : 0;
    Status->Panels()->Items(3)->SetText(recNo > 0 ? std::to_string(recNo) + "/" + std::to_string(count)
                                                  : std::to_string(count));
}

void TfrmBase::ShowMode(int mode) {
    static const char* const english[] = {"Browse", "Edit", "Insert"};
    static const char* const chinese[] = {"浏览", "更改", "新增"};
    if (mode >= 1 && mode <= 3) {
        std::string text;
        if (UICodePage() != "950" && UICodePage() != "936") text = english[mode - 1];
        else text = Converted ? ConvertDisplayText(std::string(chinese[mode - 1])).ToString() : chinese[mode - 1];
        Status->Panels()->Items(0)->SetText(text);
    }
    RefreshButtons();
}

void TfrmBase::SetEditMode(uint8_t mode) {
    EditMode = mode;
    ShowMode(mode == 0 ? 1 : mode == 1 ? 2 : 3);
}

// ---- start-up ----

void TfrmBase::LoadUserRights() {
    TfrmRadical::LoadUserRights();
    TdmBase* dm = BaseModule();
    if (LogOnRefused || !dm) return;
    FieldManagement = false;
    miManager->SetChecked(false);
    dm->ShowSystemFields(false);
    // Controls bound to a data source of the module's by name get the module's own.
    for (vcl::TComponent* c : ComponentList()) {
        if (!vcl::IsPublishedProp(c, "DataSource") || vcl::PropType(c, "DataSource") != vcl::TTypeKind::Class) continue;
        auto* source = dynamic_cast<vcl::TDataSource*>(vcl::GetObjectProp(c, "DataSource"));
        if (!source || source->Owner() == dm) continue;
        if (auto* own = dynamic_cast<vcl::TDataSource*>(dm->FindComponent(source->Name())))
            vcl::SetObjectProp(c, "DataSource", own);
    }
    dm->OpenData();
    ShowMode(1);
    ShowRecordPosition(dm->cdsMain);
    Status->Panels()->Items(Status->Panels()->Count() - 1)->SetText(dm->MIDAS->Address + " - " +
                                                                   std::to_string(dm->MIDAS->Port));
}

std::vector<std::pair<std::string, std::vector<std::string>>> TfrmBase::ParseFieldList(const std::string& list) {
    std::vector<std::pair<std::string, std::vector<std::string>>> out;
    std::string text = WithoutBlanks(list);
    std::stringstream entries(text);
    std::string entry;
    while (std::getline(entries, entry, ';')) {
        size_t colon = entry.find(':');
        if (colon == std::string::npos) continue;
        std::vector<std::string> fields;
        std::stringstream names(entry.substr(colon + 1));
        std::string name;
        while (std::getline(names, name, ','))
            if (!name.empty()) fields.push_back(name);
        out.emplace_back(entry.substr(0, colon), fields);
    }
    return out;
}

// Runs `onField` on every listed field ("dataset:field,field;...") that
// exists, and `onControl` on every control of the window bound to it.
void TfrmBase::ForEachListedField(const std::string& list, const std::function<void(vcl::TField*)>& onField,
                                  const std::function<void(vcl::TComponent*)>& onControl) {
    if (!DataModule) return;
    for (const auto& [dsName, fields] : ParseFieldList(list)) {
        auto* ds = dynamic_cast<TClientDataSet*>(DataModule->FindComponent(dsName));
        if (!ds) continue;
        for (const std::string& name : fields) {
            vcl::TField* field = ds->FindField(name);
            if (!field) continue;
            onField(field);
            for (vcl::TComponent* c : ComponentList())
                if (vcl::IsPublishedProp(c, "DataField") && SameText(vcl::GetPropValue(c, "DataField").ToString(), name))
                    onControl(c);
        }
    }
}

void TfrmBase::MakeFieldsReadOnly(const std::string& list) {
    ForEachListedField(
        list, [](vcl::TField* field) { field->SetReadOnly(true); },
        [this](vcl::TComponent* c) {
            if (vcl::IsPublishedProp(c, "ReadOnly")) vcl::SetPropValue(c, "ReadOnly", Variant(true));
            if (auto* w = dynamic_cast<vcl::TWinControl*>(c)) {
                w->SetTabStop(false);
                w->SetColor(Color());
            }
        });
}

void TfrmBase::HideFields(const std::string& list) {
    ForEachListedField(
        list, [](vcl::TField* field) { field->SetVisible(false); },
        [this](vcl::TComponent* c) {
            vcl::SetPropValue(c, "DataField", Variant(std::string()));
            if (auto* control = dynamic_cast<vcl::TControl*>(c)) {
                control->SetEnabled(false);
                control->SetColor(Color());
            }
        });
}

void TfrmBase::PrepareForm() {
    TfrmRadical::PrepareForm();
    if (!DataModule) return;
    if (HasUserRight(rights::kGroupAReadOnly)) MakeFieldsReadOnly(GroupAFields);
    else if (!HasUserRight(rights::kGroupAView)) HideFields(GroupAFields);
    if (HasUserRight(rights::kGroupBReadOnly)) MakeFieldsReadOnly(GroupBFields);
    else if (!HasUserRight(rights::kGroupBView)) HideFields(GroupBFields);
    std::string sys024 = plat::Trim(Brokers->GetSysParam("SYS024"));
    if (sys024 == "1" || sys024 == "3") HideFields(Sys024Fields1);
    if (sys024 == "1" || sys024 == "2") HideFields(Sys024Fields2);
    // A hint with only a long part would show an empty tip: a blank keeps it a hint.
    for (vcl::TControl* child : ControlList()) {
        const std::string& hint = child->Hint();
        if (!hint.empty() && plat::Trim(plat::GetToken(hint, "|", 1)).empty()) child->SetHint(" " + hint);
    }
    if (auto* single = dynamic_cast<TdmSingle*>(DataModule); single && single->cdsMain->Active())
        single->ApplyCurrencyFormats(single->cdsMain);
    IsFocusPageOne = UserSetting("InputSettings001", "IsFocusPageOne", true);
    IsKeepOnAdd = UserSetting("InputSettings002", "IsKeepOnAdd", true);
}

bool TfrmBase::UserSetting(const std::string& section, const std::string& name, bool fallback) {
    Variant arg = plat::VarArrayOf({Brokers->CompanyID, Brokers->UserID, Brokers->ProgramCode, section});
    if (CallServerFunction("GetUserDefine", arg) != 0 || !arg.IsString()) return fallback;
    pugi::xml_document doc;
    if (!doc.load_string(arg.ToString().c_str())) return fallback;
    pugi::xml_node node = doc.document_element().child(name.c_str());
    if (!node || node.type() != pugi::node_element) return fallback;
    return std::string(node.text().get()) == "True";
}

// ---- user settings document ----

TMT_Doc* TfrmBase::UserSettings() {
    if (!userSettings_) {
        Variant answer;
        if (DataModule && DataModule->AppServer.IsDispatch()) {
            try {
                answer = plat::CallMethod(DataModule->AppServer, "GetFormat",
                                          {plat::ByVal(Brokers->CompanyID), plat::ByVal(Brokers->ProgramCode)});
            } catch (const std::exception&) {
                // a server without the user's formats: the built-in settings apply
                answer = Variant();
            }
        }
        userSettings_ = UserSettingsFromAnswer(answer, KvConverter());
    }
    return userSettings_.get();
}

void TfrmBase::ApplyUserSettingsToGrid(TKvDBGrid* grid) {
    if (!grid || !grid->DataSet() || !grid->DataSet()->Active()) return;
    GridFields fields(grid);
    UserSettings()->ApplyToGrid(fields, grid->Name());
}

void TfrmBase::LoadUserSettings() {
    TMT_Doc* doc = UserSettings();
    doc->ApplyToForm(this);
    for (vcl::TComponent* c : ComponentList())
        if (auto* grid = dynamic_cast<TKvDBGrid*>(c)) ApplyUserSettingsToGrid(grid);
    std::string required = doc->ListIDs("Components/*[Required='-1']");
    if (required.empty()) return;
    std::vector<std::string> names;
    for (int i = 1;; ++i) {
        std::string name = plat::GetToken(required, ",", i);
        if (name.empty()) break;
        names.push_back(name);
    }
    // Into the "cdsMain" entry, each name once.
    auto entries = ParseFieldList(RequiredFields);
    auto main = std::find_if(entries.begin(), entries.end(), [](const auto& e) { return SameText(e.first, "cdsMain"); });
    if (main == entries.end()) {
        entries.emplace_back("cdsMain", std::vector<std::string>());
        main = entries.end() - 1;
    }
    for (const std::string& n : names)
        if (std::none_of(main->second.begin(), main->second.end(), [&](const std::string& f) { return SameText(f, n); }))
            main->second.push_back(n);
    std::string text;
    for (const auto& [ds, fields] : entries) {
        if (!text.empty()) text += ";";
        text += ds + ":";
        for (size_t i = 0; i < fields.size(); ++i) text += (i ? "," : "") + fields[i];
    }
    RequiredFields = text;
}

// ---- add, edit, delete, cancel, close ----

bool TfrmBase::DoAdd() {
    TClientDataSet* ds = MainDataSet();
    if (!ds) return false;
    TdmBase* dm = BaseModule();
    SetDataSetCondition(ds, "1=2", dm->MainOrder);
    if (!ds->ProviderName().empty() && ds->RemoteServer()) ReloadMain();
    else if (ds->Active()) ds->EmptyDataSet();
    else ds->CreateDataSet();
    SetEditMode(2);
    ds->Append();
    RefreshButtons();
    return true;
}

bool TfrmBase::DoEdit() {
    TClientDataSet* ds = MainDataSet();
    if (!ds || !ds->Active() || ds->IsEmpty()) return false;
    SetEditMode(1);
    ds->Edit();
    RefreshButtons();
    return true;
}

bool TfrmBase::DoDelete(bool confirm) {
    TClientDataSet* ds = MainDataSet();
    if (!ds || !ds->Active() || ds->IsEmpty() || !CanDelete || !(Rights & 8)) return false;
    if (confirm && Brokers->ShowCodedMessage("C", "000001", {}) != plat::mrOk) return false;
    bool ok = true;
    try {
        ds->Delete();
        if (!ds->ProviderName().empty() && ds->RemoteServer()) ok = DataModule->ApplyDataSet(ds);
    } catch (const std::exception& e) {
        TdmRadical::WriteAlertLog("BaseCF-484", e.what(), "D");
        Brokers->ShowCodedMessage("E", "000007", {});
        ok = false;
    }
    SetEditMode(0);
    ShowRecordPosition(ds);
    return ok;
}

bool TfrmBase::SaveChanges() {
    TClientDataSet* ds = MainDataSet();
    if (!ds) return false;
    if (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert) ds->Post();
    if (!ds->ProviderName().empty() && ds->RemoteServer() && !DataModule->ApplyDataSet(ds)) return false;
    SetEditMode(0);
    return true;
}

bool TfrmBase::CancelChanges(bool confirm) { return CancelOrKeep(confirm); }

bool TfrmBase::CancelOrKeep(bool confirm) {
    TClientDataSet* ds = MainDataSet();
    if (!ds) return true;
    bool pending = ds->Modified() || ds->ChangeCount() > 0;
    if (pending && confirm) {
        const char* code = EditMode == 2 ? "000004" : "000002";
        if (Brokers->ShowCodedMessage("C", code, {}) != plat::mrOk) return false;
    }
    if (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert) ds->Cancel();
    if (ds->Active()) ds->CancelUpdates();
    SetEditMode(0);
    if (CloseOnCancel) {
        if (TdmBase* dm = BaseModule()) dm->SetDataSetCondition(ds, "", dm->MainOrder);
        ds->Close();
    }
    ShowRecordPosition(ds);
    return true;
}

void TfrmBase::CloseProgram() { Close(); }

void TfrmBase::FormCloseQuery(vcl::TObject*, bool& canClose) {
    if (Exporting) {
        canClose = false;   // the export still reads the window; it ends on its own
        return;
    }
    if (EditMode == 0) return;
    int answer = Brokers->ShowCodedMessage("D", EditMode == 1 ? "000002" : "000001", {});
    switch (answer) {
    case plat::mrYes: canClose = SaveChanges(); break;
    case plat::mrNo: canClose = CancelChanges(false); break;
    default: canClose = false; break;
    }
}

void TfrmBase::FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) {
    TfrmRadical::FormKeyDown(sender, key, shift);
    if (key != vcl::VK_ESCAPE || shift != 0 || !DataModule) return;
    key = 0;
    if (EditMode == 0) CloseProgram();
    else CancelChanges(true);
}

bool TfrmBase::CheckRequiredFields(TClientDataSet* dataSet) {
    if (EditMode == 0 || !dataSet) return true;
    for (const auto& [dsName, fields] : ParseFieldList(RequiredFields)) {
        if (!SameText(dsName, dataSet->Name())) continue;
        for (const std::string& name : fields) {
            vcl::TField* field = dataSet->FindField(name);
            if (!field || !plat::Trim(field->AsString()).empty()) continue;
            Brokers->ShowCodedMessage("E", "000003", {field->DisplayLabel()});
            for (vcl::TComponent* c : ComponentList()) {
                auto* control = dynamic_cast<vcl::TWinControl*>(c);
                if (!control || !vcl::IsPublishedProp(c, "DataField") ||
                    !SameText(vcl::GetPropValue(c, "DataField").ToString(), name))
                    continue;
                // The page that holds the control comes to the front first.
                for (vcl::TControl* p = control->Parent(); p; p = p->Parent()) {
                    auto* sheet = dynamic_cast<vcl::TTabSheet*>(p);
                    if (!sheet || !sheet->PageControl()) continue;
                    vcl::TPageControl* pages = sheet->PageControl();
                    if (!pages->Visible() || !pages->Enabled()) break;
                    pages->SetActivePage(sheet);
                }
                if (control->CanFocus()) control->SetFocus();
                break;
            }
            return false;
        }
    }
    return true;
}

// ---- function keys ----

namespace {
bool IsReadOnlyControl(vcl::TWinControl* control) {
    return control && vcl::IsPublishedProp(control, "ReadOnly") && vcl::GetPropValue(control, "ReadOnly").ToBool();
}

// F2, F3 and F4 on a read-only control are swallowed (the key cleared);
// true when the key was, so that the window's own handling is skipped.
bool SwallowedOnReadOnly(uint16_t& key, vcl::TWinControl* control) {
    if (!IsReadOnlyControl(control)) return false;
    key = 0;
    return true;
}
}  // namespace

void TfrmBase::DoKeyF2(uint16_t& key, vcl::TWinControl* control) {
    if (!SwallowedOnReadOnly(key, control)) TfrmRadical::DoKeyF2(key, control);
}

void TfrmBase::DoKeyF3(uint16_t& key, vcl::TWinControl* control) {
    if (!SwallowedOnReadOnly(key, control)) TfrmRadical::DoKeyF3(key, control);
}

void TfrmBase::DoKeyF4(uint16_t& key, vcl::TWinControl* control) {
    if (!SwallowedOnReadOnly(key, control)) TfrmRadical::DoKeyF4(key, control);
}

void TfrmBase::DoKeyF11(uint16_t& key, vcl::TWinControl* control) {
    TfrmRadical::DoKeyF11(key, control);
    FillFromLookup(control, LookupFields, false);
    key = 0;
}

void TfrmBase::GetHelpTopic(const std::string& prefix, std::string& topic) {
    if (EditMode == 0) {
        topic = prefix + "0000";
        return;
    }
    TfrmRadical::GetHelpTopic(prefix, topic);
}

TKvDBGrid* TfrmBase::GridOf(vcl::TControl* control) {
    for (vcl::TControl* c = control; c; c = c->Parent())
        if (auto* grid = dynamic_cast<TKvDBGrid*>(c)) return grid;
    return nullptr;
}

void TfrmBase::FillFromLookup(vcl::TWinControl* control, const std::string& fieldList, bool force) {
    if (ProgramMode == 10 || !DataModule || WithoutBlanks(fieldList).empty() || !control) return;
    if (control->Is<vcl::TKvBtnEdit>() && static_cast<vcl::TKvBtnEdit*>(control)->ReadOnly()) return;
    TClientDataSet* ds = nullptr;
    vcl::TField* field = nullptr;
    if (TKvDBGrid* grid = GridOf(control)) {
        ds = grid->DataSet();
        field = grid->SelectedField();
    } else if (vcl::IsPublishedProp(control, "DataSource") && vcl::IsPublishedProp(control, "DataField")) {
        auto* source = dynamic_cast<vcl::TDataSource*>(vcl::GetObjectProp(control, "DataSource"));
        ds = source ? dynamic_cast<TClientDataSet*>(source->DataSet()) : nullptr;
        if (ds) field = ds->FindField(vcl::GetPropValue(control, "DataField").ToString());
    }
    if (!ds || !ds->Active() || !field) return;
    bool listed = false;
    for (const auto& [dsName, fields] : ParseFieldList(fieldList))
        if (SameText(dsName, ds->Name()))
            for (const std::string& f : fields) listed = listed || SameText(f, field->FieldName());
    if (!listed || (field->ReadOnly() && !force)) return;
    Variant answer;
    Brokers->F2GetData(field->FieldName(), "2", answer);
    if (!answer.IsArray() || EditMode == 0) return;
    if (ds->State() == TDataSetState::dsBrowse) ds->Edit();
    field->SetValue(answer[plat::VarArrayLowBound(answer)]);
}

// ---- browsing ----

void TfrmBase::miFirstClick(vcl::TObject*) {
    if (TClientDataSet* ds = MainDataSet(); ds && ds->Active()) ds->First();
}

void TfrmBase::miPriorClick(vcl::TObject*) {
    if (TClientDataSet* ds = MainDataSet(); ds && ds->Active() && !ds->Bof()) ds->Prior();
}

// At the end one more step: a dataset that fetches in packets brings the next one.
void TfrmBase::miNextClick(vcl::TObject*) {
    TClientDataSet* ds = MainDataSet();
    if (!ds || !ds->Active()) return;
    ds->Next();
    if (ds->Eof()) ds->Next();
}

void TfrmBase::miLastClick(vcl::TObject*) {
    if (TClientDataSet* ds = MainDataSet(); ds && ds->Active()) ds->Last();
}

void TfrmBase::miToolBarClick(vcl::TObject*) {
    ToolBar1->SetVisible(!ToolBar1->Visible());
    SyncToolBarCheck();
}

void TfrmBase::miManagerClick(vcl::TObject*) {
    miManager->SetChecked(!miManager->Checked());
    FieldManagement = miManager->Checked();
    if (TdmBase* dm = BaseModule()) dm->ShowSystemFields(FieldManagement);
}

void TfrmBase::MenuItem11Click(vcl::TObject*) {
    SyncToolBarCheck();
    mnSearch->SetEnabled(GridOf(ActiveControl()) || StringGridOf(ActiveControl()));
}

vcl::TStringGrid* TfrmBase::StringGridOf(vcl::TControl* control) {
    for (vcl::TControl* c = control; c; c = c->Parent())
        if (auto* grid = dynamic_cast<vcl::TStringGrid*>(c)) return grid;
    return nullptr;
}

void TfrmBase::mnSearchClick(vcl::TObject*) {
    TKvDBGrid* grid = GridOf(ActiveControl());
    vcl::TStringGrid* strings = grid ? nullptr : StringGridOf(ActiveControl());
    if (!grid && !strings) return;
    kvSearchDialog1->Grid = grid;
    kvSearchDialog1->StringGrid = strings;
    // The body stays where the search puts it: moving in the main dataset would empty it.
    TdmBase* dm = BaseModule();
    std::function<void(TClientDataSet*)> saved;
    if (dm) std::swap(saved, dm->ShowRecord);
    kvSearchDialog1->Execute();
    if (dm) std::swap(saved, dm->ShowRecord);
}

void TfrmBase::DateFieldDBComboDlgExit(vcl::TObject* sender) {
    auto* control = dynamic_cast<vcl::TControl*>(sender);
    if (!control || !vcl::IsPublishedProp(control, "DataField") || !vcl::IsPublishedProp(control, "DataSource")) return;
    std::string text = vcl::IsPublishedProp(control, "Text") ? vcl::GetPropValue(control, "Text").ToString() : "";
    bool onlySeparators =
        fieldfmt::NothingTyped(text, DateSeparator) || text.find_first_not_of(" /-.") == std::string::npos;
    auto* source = dynamic_cast<vcl::TDataSource*>(vcl::GetObjectProp(control, "DataSource"));
    auto* ds = source ? dynamic_cast<TClientDataSet*>(source->DataSet()) : nullptr;
    vcl::TField* field = ds ? ds->FindField(vcl::GetPropValue(control, "DataField").ToString()) : nullptr;
    if (!onlySeparators || !field || !DataModule) return;
    if (field->AsString() == DataModule->DateFieldEditMask() && ds->State() != TDataSetState::dsBrowse) field->Clear();
}

// ---- conditions ----

void TfrmBase::SetDataSetCondition(TClientDataSet* dataSet, const std::string& where, const std::string& order) {
    if (TdmBase* dm = BaseModule()) dm->SetDataSetCondition(dataSet, where, order);
}

void TfrmBase::ReloadMain() {
    TClientDataSet* ds = MainDataSet();
    TdmBase* dm = BaseModule();
    if (!ds || !dm || ds->ProviderName().empty() || !ds->RemoteServer()) return;
    ds->Close();
    ds->CommandText = dm->MainStatement();
    ds->Open();
    dm->ShowSystemFields(dm->SystemFieldsShown());
    ShowRecordPosition(ds);
}

bool TfrmBase::ApplyCondition(const std::string& where, const std::string& order) {
    try {
        SetDataSetCondition(MainDataSet(), where, order);
        ReloadMain();
        return true;
    } catch (const std::exception& e) {
        // the caller learns of it from the answer; the reason goes to the log
        TdmRadical::WriteAlertLog("BaseCF-ApplyCondition", e.what(), "D");
        return false;
    }
}

// Numbers stand as they are; everything else as a quoted SQL string.
bool TfrmBase::ReloadCurrentRecord() {
    TClientDataSet* ds = MainDataSet();
    TdmBase* dm = BaseModule();
    if (!ds || !dm) return false;
    std::string table = plat::Trim(Brokers->UserInfo.Values("M11_TABLE"));
    std::string condition;
    for (int i = 1;; ++i) {
        std::string name = plat::Trim(plat::GetToken(dm->MainKey, ",", i));
        if (name.empty()) break;
        vcl::TField* field = ds->Active() ? ds->FindField(name) : nullptr;
        if (!field) continue;
        vcl::TFieldType t = field->DataType();
        bool numeric = t == vcl::TFieldType::ftSmallint || t == vcl::TFieldType::ftInteger ||
                       t == vcl::TFieldType::ftWord || t == vcl::TFieldType::ftFloat;
        std::string value = numeric ? field->Text() : plat::QuotedStr(field->Text());
        if (!condition.empty()) condition += " and ";
        condition += (table.empty() ? "" : table + ".") + field->FieldName() + "=" + value;
    }
    KeyCondition = condition;
    SetDataSetCondition(ds, condition, "");
    ReloadMain();
    return true;
}

void TfrmBase::ApplyQBECondition() { SetDataSetCondition(MainDataSet(), QBECondition, QBEOrder); }

// ---- grid views ----

std::string TfrmBase::GridPath() const {
    std::string path;
    if (!ClientIniFileName.empty()) {
        plat::TIniFile ini(ClientIniFileName);
        path = ini.ReadString("Client Components", "GridViewDataPath", "");
    }
    path = path.empty() ? ClientPath + "c_Data/" : plat::NativePath(path, ClientPath);
    return plat::IncludeTrailingPathDelimiter(path);
}

std::string TfrmBase::ViewFileName() const {
    std::string id;
    GetProgramID(id);
    return GridPath() + Brokers->UserID + "/" + id + "C.ugs";
}

TKvDBGrid* TfrmBase::GridShowing(const TClientDataSet* dataSet) const {
    for (vcl::TComponent* c : ComponentList())
        if (auto* grid = dynamic_cast<TKvDBGrid*>(c); grid && grid->DataSet() == dataSet) return grid;
    return nullptr;
}

// One line per field of every dataset: "dataset.field=place;width;visible".
// The place is where the user sees the field's column (its place in the
// dataset when no grid shows it); the width is the display width, with the
// widths the user dragged columns to taken in first. The file appears whole
// or not at all; it replaces the user's earlier view.
void TfrmBase::SaveView() {
    if (!DataModule) return;
    std::string file = ViewFileName();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    std::ostringstream out;
    out << "[GridView]\n";
    for (vcl::TComponent* c : DataModule->ComponentList()) {
        auto* ds = dynamic_cast<TClientDataSet*>(c);
        if (!ds) continue;
        TKvDBGrid* grid = GridShowing(ds);
        if (grid) grid->KeepColumnWidths();
        for (vcl::TField* f : ds->FieldList()) {
            int place = grid ? grid->ColumnPosition(f) : -1;
            out << ds->Name() << "." << f->FieldName() << "=" << (place >= 0 ? place : f->Index()) << ";"
                << f->DisplayWidth() << ";" << (f->Visible() ? 1 : 0) << "\n";
        }
    }
    try {
        plat::PendingFile pending(file);
        std::ofstream(pending.Path(), std::ios::binary | std::ios::trunc) << out.str();
        pending.PublishReplacing();
    } catch (const plat::FileError& e) {
        TdmRadical::WriteAlertLog("BaseCF-1203", "SaveView " + file + ": " + e.what(), "D");
    }
}

// Widths and visibility first (each lays the grid out again), then the
// columns go to their saved places, leftmost first.
void TfrmBase::LoadView() {
    if (!DataModule) return;
    std::string file = ViewFileName();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        std::string id;
        GetProgramID(id);
        file = GridPath() + id + "C.ugs";
        if (!std::filesystem::exists(file, ec)) return;
    }
    plat::TIniFile ini(file);
    for (vcl::TComponent* c : DataModule->ComponentList()) {
        auto* ds = dynamic_cast<TClientDataSet*>(c);
        if (!ds) continue;
        std::vector<std::pair<int, vcl::TField*>> places;
        for (vcl::TField* f : ds->FieldList()) {
            std::string value = ini.ReadString("GridView", ds->Name() + "." + f->FieldName(), "");
            if (value.empty()) continue;
            int place = plat::StrToIntDef(plat::GetToken(value, ";", 1), -1);
            int width = plat::StrToIntDef(plat::GetToken(value, ";", 2), 0);
            if (width > 0) f->SetDisplayWidth(width);
            f->SetVisible(plat::GetToken(value, ";", 3) != "0");
            if (place >= 0) places.emplace_back(place, f);
        }
        TKvDBGrid* grid = GridShowing(ds);
        if (!grid) continue;
        std::stable_sort(places.begin(), places.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [place, field] : places)
            if (field->Visible()) grid->SetColumnPosition(field, place);
    }
}

// ---- attached documents ----

void TfrmBase::ViewDocument() {
    auto entries = ParseFieldList(LookupFields);
    if (entries.empty() || entries[0].second.empty() || !DataModule) return;
    auto* ds = dynamic_cast<TClientDataSet*>(DataModule->FindComponent(entries[0].first));
    vcl::TField* key = ds && ds->Active() ? ds->FindField(entries[0].second[0]) : nullptr;
    if (!key) return;
    Variant answer;
    bool found = ItemDocuments ? Brokers->CheckValue("INVMB", "12", Variant(plat::Trim(key->AsString())), answer)
                               : Brokers->CheckValue("CMSMV", "07", Variant(plat::Trim(key->AsString())), answer);
    if (!found || !answer.IsArray() || answer.Array().Count() < 2) return;
    int low = plat::VarArrayLowBound(answer);
    Variant dms = plat::CreateOleObject("DmsC.DMSClass1");
    Variant request = plat::VarArrayOf({Brokers->UserID, "R", answer[low], answer[low + 1], std::string()});
    Variant result = plat::CallMethod(dms, "CheckOut", {plat::ByRef(request)});
    if (!result.IsEmptyOrNull() && result.ToInt() == 0) plat::ShellExecute("open", plat::VarToStr(request[4]));
}
