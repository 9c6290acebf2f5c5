// The main dataset, its events and the currency digit cache.
#include "BaseCD.h"

#include "Brokers.h"
#include "Format.h"
#include "StrUtils.h"

using plat::Variant;
using vcl::TClientDataSet;

const vcl::TClassInfo& TdmBase::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TdmBase>("TdmBase", TdmRadical::StaticClass());
    return info;
}

TdmBase::TdmBase(vcl::TComponent* owner) : TdmRadical(owner) {
    cdsMain = TComponent::Create<TClientDataSet>(this);
    cdsMain->SetName("cdsMain");
    cdsMain->SetRemoteServer(MIDAS);
    cdsMain->PacketRecords = 20;
    cdsMain->FetchOnDemand = false;
    dsMain = TComponent::Create<vcl::TDataSource>(this);
    dsMain->SetName("dsMain");
    dsMain->SetDataSet(cdsMain);
    cdsMainColor = TComponent::Create<TClientDataSet>(this);
    cdsMainColor->SetName("cdsMainColor");
    cdsMainColor->SetProviderName("pvdColor");
    cdsMainColor->SetRemoteServer(MIDAS);
    dsMainColor = TComponent::Create<vcl::TDataSource>(this);
    dsMainColor->SetName("dsMainColor");
    dsMainColor->SetDataSet(cdsMainColor);

    cdsMain->OnNewRecord = vcl::TDataSetNotifyEvent([this](TClientDataSet* d) { cdsMainNewRecord(d); }, this);
    cdsMain->AfterEdit = vcl::TDataSetNotifyEvent([this](TClientDataSet* d) { cdsMainAfterEdit(d); }, this);
    cdsMain->BeforePost = vcl::TDataSetNotifyEvent([this](TClientDataSet* d) { cdsMainBeforePost(d); }, this);
    cdsMain->AfterScroll = vcl::TDataSetNotifyEvent([this](TClientDataSet* d) { cdsMainAfterScroll(d); }, this);
}

void TdmBase::cdsMainNewRecord(TClientDataSet* dataSet) {
    StampSystemFields(dataSet);
    NewRecordHook(dataSet);
    InitNullFields(dataSet);
}

void TdmBase::cdsMainAfterEdit(TClientDataSet* dataSet) {
    if (WindowEditing && WindowEditing()) StampSystemFields(dataSet);
}

void TdmBase::cdsMainBeforePost(TClientDataSet* dataSet) {
    if (CheckRecord && !CheckRecord(dataSet)) throw plat::EAbort();
}

void TdmBase::cdsMainAfterScroll(TClientDataSet* dataSet) {
    if (!ShowRecord) return;
    try {
        ShowRecord(dataSet);
    } catch (const std::exception&) {
        // the record display is a courtesy; moving on must not fail because of it
    }
}

void TdmBase::SetDataSetCondition(TClientDataSet* dataSet, const std::string& where, const std::string& order) {
    if (dataSet != cdsMain) return;
    MainCondition = where;
    MainOrder = order;
    cdsMain->CommandText = MainStatement();
}

std::string TdmBase::MainStatement() const {
    std::string sql = !MainSelect.empty() ? MainSelect
                      : MainTable.empty() ? std::string()
                                          : "SELECT * FROM $$" + MainTable + " " + MainTable;
    if (sql.empty()) return {};
    if (!plat::Trim(MainCondition).empty()) sql += " WHERE " + MainCondition;
    if (!plat::Trim(MainOrder).empty()) sql += " ORDER BY " + MainOrder;
    return sql;
}

bool TdmBase::OpenData() {
    if (Brokers) {
        cdsMain->PacketRecords = Brokers->GetMaxRecord();
        MainTable = plat::Trim(Brokers->UserInfo.Values("M11_TABLE"));
        MainKey = plat::Trim(Brokers->UserInfo.Values("M11_KEY"));
        if (plat::UpperCase(Brokers->GetSysParam("SYS150")).rfind("Y", 0) == 0) {
            MainSelect = Brokers->UserInfo.Values("M11_SELECT");
            DetailSelect = Brokers->UserInfo.Values("D11_SELECT");
        }
        if (cdsMain->Params.IndexOfName("DATABASE") < 0) cdsMain->Params.SetValue("DATABASE", Brokers->DatabaseName);
    }
    cdsMain->Close();
    cdsMain->CommandText = MainStatement();
    cdsMain->Open();
    LabelSystemFields(cdsMain);
    // The fields exist only now: hiding them before the open would hide nothing.
    SetSystemFieldsVisible(cdsMain, systemFieldsShown_);
    return cdsMain->Active();
}

// One CMSMF row [MF001, MF003, MF004, MF005, MF006] under its trimmed,
// upper-cased MF001; a value that is no number counts as 0 digits.
void TdmBase::StoreCurrencyRow(const Variant& row) {
    if (!row.IsArray()) return;
    const int low = row.Array().LowBound();
    auto digits = [&](int i) {
        const Variant& v = row[low + i];
        try {
            return v.IsEmptyOrNull() ? 0 : v.ToInt();
        } catch (const plat::Exception&) {
            return 0;
        }
    };
    auto setting = std::make_unique<TCurrencySetting>();
    setting->CurrencyCode = plat::Trim(row[low].IsEmptyOrNull() ? std::string() : row[low].ToString());
    setting->Kind0Digits = digits(1);
    setting->Kind1Digits = digits(2);
    setting->Kind2Digits = digits(3);
    setting->Kind3Digits = digits(4);
    std::string key = plat::UpperCase(setting->CurrencyCode);
    if (!key.empty()) CurrencySettings[key] = std::move(setting);
}

void TdmBase::ShowSystemFields(bool show) {
    systemFieldsShown_ = show;
    if (cdsMain->Active()) SetSystemFieldsVisible(cdsMain, show);
}

void TdmBase::RegisterTables(const std::string& main, const std::string& detail, const std::string& head,
                             const std::string& foot) {
    RegisteredTables = {plat::Trim(main), plat::Trim(detail), plat::Trim(head), plat::Trim(foot)};
}

// The currency is looked up under its trimmed, upper-cased code: the server
// compares codes without regard to case, so "ntd" and "NTD" are one
// currency and one server call. An answer is stored under its row's MF001
// (trimmed, upper-cased), an empty answer under the code asked; the code
// goes into the statement as a quoted literal.
int TdmBase::GetCurrencyDigits(const std::string& currencyCode, int kind) {
    const std::string asked = plat::Trim(currencyCode);
    const std::string key = plat::UpperCase(asked);
    if (asked.empty() || !Brokers) return -1;
    auto it = CurrencySettings.find(key);
    if (it == CurrencySettings.end()) {
        std::string sql = "select top 1 MF001,MF003,MF004,MF005,MF006 from $$CMSMF CMSMF where MF001=" + plat::QuotedStr(asked);
        Variant answer = Brokers->CallServer(
            "SimpleSql", plat::VarArrayOf({sql, "MF001,MF003,MF004,MF005,MF006", Brokers->DatabaseName, "N"}));
        if (plat::HasRows(answer))
            for (int r = answer.Array().LowBound(); r <= plat::VarArrayHighBound(answer); ++r) StoreCurrencyRow(answer[r]);
        it = CurrencySettings.find(key);
        // Nothing under the code asked: it is remembered as a currency without digits.
        if (it == CurrencySettings.end()) it = CurrencySettings.emplace(key, std::make_unique<TCurrencySetting>()).first;
    }
    switch (kind) {
        case 0: return it->second->Kind0Digits;
        case 1: return it->second->Kind1Digits;
        case 2: return it->second->Kind2Digits;
        case 3: return it->second->Kind3Digits;
        default: return -1;
    }
}
