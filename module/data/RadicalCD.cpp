// The root data module: connection and log-on, server date, system fields,
// writing changes back, key conditions, labels and the alert log. The field
// handlers are in RadicalCDFields.cpp.
#include "RadicalCD.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "Brokers.h"
#include "ClassRegistry.h"
#include "DateUtils.h"
#include "Dispatch.h"
#include "Format.h"
#include "RegistryKey.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "host/CorvaneIni.h"
#include "lang/LanguageController.h"

using plat::Variant;
using vcl::TClientDataSet;
using vcl::TDataSetField;
using vcl::TDataSetState;
using vcl::TField;
using vcl::TFieldType;

namespace {

const char* const kSystemFields[] = {"COMPANY", "CREATOR", "USR_GROUP", "CREATE_DATE", "MODIFIER", "MODI_DATE", "FLAG"};

// FLAG as a number; text that is no whole number counts as 0.
long long FlagValue(TField* flag) {
    if (!flag || flag->IsNull()) return 0;
    std::string text = plat::Trim(flag->AsString());
    try {
        size_t used = 0;
        long long v = std::stoll(text, &used);
        return used == text.size() ? v : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

const vcl::TClassInfo& TdmRadical::StaticClass() {
    static const vcl::TClassInfo info =
        vcl::MakeComponentClass<TdmRadical>("TdmRadical", vcl::TDataModule::StaticClass());
    return info;
}

TdmRadical::TdmRadical(vcl::TComponent* owner) : vcl::TDataModule(owner) {
    SOB = TComponent::Create<vcl::TSimpleObjectBroker>(this);
    SOB->SetName("SOB");
    MIDAS = TComponent::Create<vcl::TSocketConnection>(this);
    MIDAS->SetName("MIDAS");
    MIDAS->SupportCallbacks = false;
    cdsSaveCondition = TComponent::Create<TClientDataSet>(this);
    cdsSaveCondition->SetName("cdsSaveCondition");
    cdsSaveCondition->SetProviderName("pvdConSave");
    cdsSaveCondition->SetRemoteServer(MIDAS);
    cdsSaveCondition->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
    cdsSaveCondition->SetIndexName("Index1");
    scLookUpData = TComponent::Create<vcl::TSocketConnection>(this);
    scLookUpData->SetName("scLookUpData");
    scLookUpData->ServerName = "PickerS.Class1";
    scLookUpData->Address = "127.0.0.1";
    scLookUpData->SupportCallbacks = false;
}

TdmRadical::~TdmRadical() { ShutDown(); }

// Freeing a module frees its owned components before the object itself
// goes, so the shutting down happens here, while they are all there; a
// module deleted directly still shuts down in its destructor.
void TdmRadical::BeforeDestruction() {
    ShutDown();
    vcl::TDataModule::BeforeDestruction();
}

void TdmRadical::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    for (TClientDataSet* ds : DataSets()) {
        try {
            ds->Close();
        } catch (const std::exception&) {
            // a handler failing while the module goes away changes nothing
        }
    }
    // The derived modules' disconnect handlers refer to parts already gone.
    MIDAS->AfterDisconnect = {};
    if (MIDAS->Connected()) MIDAS->Close();
    AppServer = Variant();
}

std::vector<TClientDataSet*> TdmRadical::DataSets() const {
    std::vector<TClientDataSet*> out;
    for (vcl::TComponent* c : ComponentList())
        if (auto* ds = dynamic_cast<TClientDataSet*>(c)) out.push_back(ds);
    return out;
}

// ---- connection ----

// Address and port: the first entry of the client settings' server list,
// port 211 without one; no address at all when the settings carry an error
// code. "127.0.0.1" creates the server in process; any other address goes
// through the socket connection, which raises naming address and port when
// it cannot reach them.
bool TdmRadical::ConnectServer() {
    TCorvaneIniC settings;
    std::string address;
    int port = 211;
    if (settings.ErrorCode.empty() && settings.ServerList.IsArray()) {
        const plat::VarArray& list = settings.ServerList.Array();
        if (list.DimCount() == 2 && list.Count(2) > 0) {
            const Variant& a = list.At(list.LowBound(1), list.LowBound(2));
            const Variant& p = list.At(list.LowBound(1) + 1, list.LowBound(2));
            address = a.IsEmptyOrNull() ? std::string() : plat::Trim(a.ToString());
            if (!p.IsEmptyOrNull()) port = p.ToInt();
        }
    }
    MIDAS->Close();
    MIDAS->Address = address;
    MIDAS->ObjectBroker = nullptr;
    MIDAS->Port = port;
    if (!MIDAS->Connected()) {
        if (address == "127.0.0.1") {
            Variant server = plat::CreateOleObject(MIDAS->ServerName);
            MIDAS->SetAppServer(server);
            AppServer = server;
        } else {
            try {
                MIDAS->Open();
            } catch (const vcl::ESocketConnectionError& e) {
                if (settings.ErrorCode.empty()) throw;
                throw vcl::ESocketConnectionError(e.Message() + " (client settings: error " + settings.ErrorCode + ")",
                                                  e.Address, e.Port);
            }
            AppServer = MIDAS->AppServer();
        }
    }
    if (!AppServer.IsDispatch()) return false;
    auto flag = [](bool b) { return std::string(b ? "True" : "False"); };
    Variant params = plat::VarArrayOf({Brokers ? Brokers->ProgramCode : "", Brokers ? Brokers->UserID : "",
                                       Brokers ? Brokers->CompanyID : "", Brokers ? Brokers->DatabaseName : "",
                                       flag(ConnectFlag), flag(Brokers && Brokers->ProgramFlagY)});
    Variant code = plat::CallMethod(AppServer, "Connect", {plat::ByRef(params)});
    Variant info = plat::CallMethod(AppServer, "SvrData");
    if (Brokers) Brokers->UserInfo.SetText(info.IsString() ? info.ToString() : std::string());
    bool accepted = !code.IsEmptyOrNull() && code.ToInt() == 0;
    // A refused log-on opens nothing: the providers would refuse the session anyway.
    if (!accepted) return false;
    AfterConnect();
    OpenProviderDataSets();
    return true;
}

void TdmRadical::OpenProviderDataSets() {
    for (TClientDataSet* ds : DataSets()) {
        if (ds->Active() || ds->ProviderName().empty() || !ds->RemoteServer() || !ds->RemoteServer()->Connected())
            continue;
        if (Brokers && ds->Params.IndexOfName("DATABASE") < 0) ds->Params.SetValue("DATABASE", Brokers->DatabaseName);
        ds->Open();
    }
}

bool TdmRadical::ConnectLookupServer() {
    if (scLookUpData->Connected()) return true;
    scLookUpData->Address = MIDAS->Address;
    scLookUpData->Port = MIDAS->Port;
    if (MIDAS->Address == "127.0.0.1") scLookUpData->SetAppServer(plat::CreateOleObject(scLookUpData->ServerName));
    else scLookUpData->Open();
    return scLookUpData->Connected();
}

void TdmRadical::LoadServerDate() {
    try {
        if (!AppServer.IsDispatch()) throw plat::Exception("no application server");
        Variant today = plat::CallMethod(AppServer, "Whatis", {plat::ByVal(std::string("TODAY"))});
        ServerDate = plat::Trim(today.ToString());
    } catch (const std::exception&) {
        ServerDate = vcl::DateToYMD(vcl::Date());
    }
}

// ---- system fields ----

void TdmRadical::WriteField(TField* field, const std::string& text) {
    if (!field) return;
    bool readOnly = field->ReadOnly();
    field->SetReadOnly(false);
    try {
        field->SetAsString(text);
    } catch (...) {
        field->SetReadOnly(readOnly);
        throw;
    }
    field->SetReadOnly(readOnly);
}

// Insert, FLAG >= 0: company, creator, creation date, group; FLAG -1.
// Edit, FLAG >= 0: modifier, change date; FLAG (not FLAG) mod 1000, which
// is always negative, so that a second stamp in the same edit does nothing.
// Each value goes only to a field that exists.
void TdmRadical::StampSystemFields(TClientDataSet* dataSet) {
    if (!dataSet) return;
    TField* flag = dataSet->FindField("FLAG");
    long long value = FlagValue(flag);
    if (value < 0) return;
    std::string user = Brokers ? Brokers->UserID : "";
    if (dataSet->State() == TDataSetState::dsInsert) {
        WriteField(dataSet->FindField("COMPANY"), Brokers ? Brokers->CompanyID : "");
        WriteField(dataSet->FindField("CREATOR"), user);
        WriteField(dataSet->FindField("CREATE_DATE"), ServerDate);
        WriteField(dataSet->FindField("USR_GROUP"), Brokers ? Brokers->UserGroup : "");
        WriteField(flag, "-1");
    } else if (dataSet->State() == TDataSetState::dsEdit) {
        WriteField(dataSet->FindField("MODIFIER"), user);
        WriteField(dataSet->FindField("MODI_DATE"), ServerDate);
        WriteField(flag, std::to_string((~value) % 1000));
    }
}

void TdmRadical::InitNullFields(TClientDataSet* dataSet) {
    for (TField* f : dataSet->FieldList()) {
        if (!f->IsNull()) continue;
        std::string value;
        switch (f->DataType()) {
            case TFieldType::ftString: case TFieldType::ftWideString: case TFieldType::ftFixedChar:
                value = "";
                break;
            case TFieldType::ftSmallint: case TFieldType::ftInteger: case TFieldType::ftFloat:
                value = "0";
                break;
            default:
                continue;
        }
        vcl::TFieldNotifyEvent validate = f->OnValidate, change = f->OnChange;
        f->OnValidate = {};
        f->OnChange = {};
        try {
            WriteField(f, value);
        } catch (...) {
            f->OnValidate = validate;
            f->OnChange = change;
            throw;
        }
        f->OnValidate = validate;
        f->OnChange = change;
    }
}

bool TdmRadical::IsSystemField(const std::string& name) {
    std::string upper = plat::UpperCase(plat::Trim(name));
    for (const char* s : kSystemFields)
        if (upper == s) return true;
    return false;
}

void TdmRadical::SetSystemFieldsVisible(TClientDataSet* dataSet, bool visible) {
    for (TField* f : dataSet->FieldList())
        if (IsSystemField(f->FieldName())) {
            f->SetVisible(visible);
            f->SetReadOnly(visible);
        }
}

std::string TdmRadical::LangText(const std::string& className, const std::string& key,
                                 const std::string& defaultText) const {
    std::string shown = defaultText;
    if (Brokers && Brokers->Window()) shown = Brokers->Window()->ToDisplayText(defaultText);
    std::string text;
    GetLangMessage(TDesignType::dtClient, className, key, text, shown);
    return text;
}

void TdmRadical::LabelSystemFields(TClientDataSet* dataSet) {
    struct Label {
        const char* field;
        const char* key;
        const char* text;
    };
    static const Label labels[] = {
        {"COMPANY", "sCompany", "公司编号"},   {"CREATOR", "sCreator", "录入者"},
        {"USR_GROUP", "sUsrGroup", "组编号"},  {"CREATE_DATE", "sCreateDate", "录入日期"},
        {"MODIFIER", "sModifier", "更改者"},   {"MODI_DATE", "sModiDate", "更改日期"},
        {"FLAG", "sFlag", "标识"},
    };
    for (const Label& l : labels)
        if (TField* f = dataSet->FindField(l.field)) {
            f->SetDisplayLabel(LangText("TdmRadical", l.key, l.text));
            if (std::string(l.field) == "CREATE_DATE" || std::string(l.field) == "MODI_DATE")
                f->OnGetText = GetTextHandler(&TdmRadical::DateTimeFieldGetText);
        }
}

void TdmRadical::TranslateLabels() {
    bool converting = Brokers && Brokers->Window() && Brokers->Window()->UIConversionMode() != 0;
    for (TClientDataSet* ds : DataSets()) {
        std::vector<TField*> fields = ds->FieldList();
        for (TField* f : fields) {
            std::string text;
            if (GetLangMessage(TDesignType::dtClient, ClassName(), f->FieldName(), text, f->DisplayLabel()))
                f->SetDisplayLabel(text);
            bool isString = f->DataType() == TFieldType::ftString || f->DataType() == TFieldType::ftWideString ||
                            f->DataType() == TFieldType::ftFixedChar || f->DataType() == TFieldType::ftMemo;
            if (converting && isString) {
                if (!f->OnGetText) f->OnGetText = GetTextHandler(&TdmRadical::DOGetText);
                if (!f->OnSetText) f->OnSetText = SetTextHandler(&TdmRadical::DOSetText);
            }
        }
    }
}

// ---- writing changes back ----

void TdmRadical::NormaliseRecord(TClientDataSet* dataSet) {
    TField* flag = dataSet->FindField("FLAG");
    if (!flag || (dataSet->State() == TDataSetState::dsBrowse && dataSet->IsEmpty())) return;
    long long value = FlagValue(flag);
    if (value >= 0) return;
    if (dataSet->State() == TDataSetState::dsBrowse) dataSet->Edit();
    bool readOnly = flag->ReadOnly();
    flag->SetReadOnly(false);
    try {
        flag->SetText(std::to_string(-value));
    } catch (...) {
        flag->SetReadOnly(readOnly);
        throw;
    }
    flag->SetReadOnly(readOnly);
    dataSet->Post();
}

// A nested dataset is walked from its last record to its first, each
// record's own details first; its edit, post, open and scroll handlers are
// detached and its controls disabled meanwhile. A top-level dataset only has
// its active record normalised, after its details.
void TdmRadical::NormaliseFlags(TClientDataSet* dataSet) {
    std::vector<TClientDataSet*> nested;
    for (TField* f : dataSet->FieldList())
        if (auto* df = dynamic_cast<TDataSetField*>(f))
            if (df->NestedDataSet()->Active()) nested.push_back(df->NestedDataSet());
    if (!dataSet->DataSetField()) {
        for (TClientDataSet* n : nested) NormaliseFlags(n);
        NormaliseRecord(dataSet);
        return;
    }
    struct Saved {
        vcl::TDataSetNotifyEvent beforeEdit, afterEdit, beforePost, afterPost, beforeOpen, afterOpen, beforeScroll,
            afterScroll;
    } saved{dataSet->BeforeEdit,  dataSet->AfterEdit,  dataSet->BeforePost,   dataSet->AfterPost,
            dataSet->BeforeOpen,  dataSet->AfterOpen,  dataSet->BeforeScroll, dataSet->AfterScroll};
    auto restore = [&] {
        dataSet->BeforeEdit = saved.beforeEdit;
        dataSet->AfterEdit = saved.afterEdit;
        dataSet->BeforePost = saved.beforePost;
        dataSet->AfterPost = saved.afterPost;
        dataSet->BeforeOpen = saved.beforeOpen;
        dataSet->AfterOpen = saved.afterOpen;
        dataSet->BeforeScroll = saved.beforeScroll;
        dataSet->AfterScroll = saved.afterScroll;
        dataSet->EnableControls();
    };
    dataSet->BeforeEdit = dataSet->AfterEdit = dataSet->BeforePost = dataSet->AfterPost = {};
    dataSet->BeforeOpen = dataSet->AfterOpen = dataSet->BeforeScroll = dataSet->AfterScroll = {};
    dataSet->DisableControls();
    try {
        dataSet->CheckBrowseMode();
        if (!dataSet->IsEmpty()) {
            dataSet->Last();
            while (true) {
                for (TClientDataSet* n : nested) NormaliseFlags(n);
                NormaliseRecord(dataSet);
                if (dataSet->RecNo() <= 1) break;
                dataSet->Prior();
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

bool TdmRadical::ApplyDataSet(TClientDataSet* dataSet) {
    try {
        NormaliseFlags(dataSet);
        if (dataSet->State() == TDataSetState::dsEdit || dataSet->State() == TDataSetState::dsInsert) dataSet->Post();
        return dataSet->ApplyUpdates(0) == 0;
    } catch (const std::exception& e) {
        WriteAlertLog("Class knlRadical-311", e.what(), "D");
        throw;
    }
}

// ---- key conditions ----

// Both lists are walked in step. A source name may carry "prefix." (dropped
// to find the field); names without a field are skipped. A target keeps its
// own prefix, else gets DefaultPrefix. Numbers go unquoted; every other
// value (texts, booleans, memos, and dates, times and bytes, which SQL only
// takes as texts) is quoted. A null number is written "col IS NULL".
void TdmRadical::BuildKeyCondition(TClientDataSet* dataSet, const std::string& fieldList, std::string& condition,
                                   const std::string& defaultPrefix, const std::string& targetList) {
    condition.clear();
    auto split = [](const std::string& list) {
        std::vector<std::string> names;
        if (plat::Trim(list).empty()) return names;
        size_t start = 0;
        while (true) {
            size_t comma = list.find(',', start);
            names.push_back(plat::Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        return names;
    };
    std::vector<std::string> sources = split(fieldList);
    std::vector<std::string> targets = split(targetList.empty() ? fieldList : targetList);
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::string& source = sources[i];
        std::string name = source.substr(source.find('.') == std::string::npos ? 0 : source.find('.') + 1);
        TField* field = name.empty() ? nullptr : dataSet->FindField(name);
        if (!field) continue;
        std::string target = i < targets.size() ? targets[i] : std::string();
        if (target.empty()) target = name;
        if (target.find('.') == std::string::npos && !defaultPrefix.empty()) target = defaultPrefix + "." + target;
        std::string term;
        switch (field->DataType()) {
            case TFieldType::ftSmallint: case TFieldType::ftInteger: case TFieldType::ftWord: case TFieldType::ftFloat:
            case TFieldType::ftCurrency: case TFieldType::ftBCD: case TFieldType::ftAutoInc: case TFieldType::ftLargeint:
                term = field->IsNull() ? target + " IS NULL" : target + "=" + field->Text();
                break;
            default:
                term = target + "=" + plat::QuotedStr(field->Text());
                break;
        }
        condition = plat::Format("%s%s%s", {condition, condition.empty() ? "" : " and ", term});
    }
}

// ---- alert log ----

// Folder: the client path of the installation's registry key, else its
// server path, else the running program's folder; then "Log". File:
// "Alert_" + name + "_" + date (+ ".log" unless the name has a dot), the date
// "YYYYMM" for period "M", "YYYY" for "Y", "YYYYMMDD" otherwise.
bool TdmRadical::WriteAlertLog(const std::string& name, const std::string& text, const std::string& period) {
    try {
        std::string folder;
        plat::TRegistry registry;
        registry.SetRootKey(plat::HKEY_LOCAL_MACHINE);
        if (registry.OpenKeyReadOnly(kCorvaneRegistryKey)) {
            folder = registry.ReadString("ClientPath");
            if (plat::Trim(folder).empty()) folder = registry.ReadString("ServerPath");
        }
        folder = plat::Trim(folder).empty()
                     ? std::filesystem::path(plat::ExecutablePath()).parent_path().string()
                     : plat::NativePath(folder);
        std::filesystem::path logFolder = std::filesystem::path(plat::IncludeTrailingPathDelimiter(folder)) / "Log";
        std::filesystem::create_directories(logFolder);

        auto now = std::chrono::system_clock::now();
        std::time_t t = std::chrono::system_clock::to_time_t(now);
        std::tm local{};
        localtime_r(&t, &local);
        int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
        char date[16], stamp[64];
        if (period == "M") std::strftime(date, sizeof date, "%Y%m", &local);
        else if (period == "Y") std::strftime(date, sizeof date, "%Y", &local);
        else std::strftime(date, sizeof date, "%Y%m%d", &local);
        std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d:%02d:%03d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, ms);
        std::string file = "Alert_" + name + "_" + date + (name.find('.') == std::string::npos ? ".log" : "");
        std::ofstream out(logFolder / file, std::ios::app | std::ios::binary);
        if (!out) return false;
        out << "[" << stamp << "] " << text << "\n";
        out.flush();
        return static_cast<bool>(out);
    } catch (const std::exception&) {
        return false;
    }
}
