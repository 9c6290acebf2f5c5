// Saving errors and currency formats of single-table programs.
#include "SingleCD.h"

#include "Brokers.h"
#include "Dialogs.h"
#include "StrUtils.h"
#include "export/OleExcel.h"

using vcl::TClientDataSet;

const vcl::TClassInfo& TdmSingle::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TdmSingle>("TdmSingle", TdmBase::StaticClass());
    return info;
}

TdmSingle::TdmSingle(vcl::TComponent* owner) : TdmBase(owner) {
    OLEExcel1 = vcl::TComponent::Create<TOLEExcel>(this);
    OLEExcel1->SetName("OLEExcel1");
    OLEExcel1->SetAutoCloseExcel(true);
    OLEExcel1->SetThousandSign(",");
    cdsMain->OnReconcileError = vcl::TReconcileErrorEvent(
        [this](TClientDataSet* d, vcl::EReconcileError& e, vcl::TUpdateKind k, vcl::TReconcileAction& a) {
            cdsMainReconcileError(d, e, k, a);
        },
        this);
}

bool TdmSingle::OpenData() {
    bool open = TdmBase::OpenData();
    if (open) ApplyCurrencyFormats(cdsMain);
    return open;
}

void TdmSingle::ApplyCurrencyFormats(TClientDataSet* dataSet) {
    if (!Brokers) return;
    std::string currency = Brokers->GetSysParam("SYS003");
    for (int kind = 0; kind < 4; ++kind) {
        if (plat::Trim(CurrencyFields[kind]).empty()) continue;
        int digits = GetCurrencyDigits(currency, kind);
        if (digits < 0) continue;
        for (int i = 1;; ++i) {
            std::string piece = plat::GetToken(CurrencyFields[kind], ",", i);
            if (piece.empty() && plat::GetToken(CurrencyFields[kind] + ",", ",", i + 1).empty()) break;
            std::string name = plat::Trim(piece);
            if (name.empty()) continue;
            if (vcl::TField* f = dataSet->FindField(name)) {
                f->SetDisplayFormat(NumberFieldDisplayFormat(digits));
                decimals_[plat::UpperCase(name)] = digits;
            }
        }
    }
}

int TdmSingle::FieldDecimals(const std::string& fieldName) const {
    auto it = decimals_.find(plat::UpperCase(plat::Trim(fieldName)));
    return it == decimals_.end() ? -1 : it->second;
}

void TdmSingle::cdsMainReconcileError(TClientDataSet*, vcl::EReconcileError& error, vcl::TUpdateKind,
                                      vcl::TReconcileAction&) {
    std::string message = error.Message();
    if (Brokers && Brokers->Window()) message = Brokers->Window()->ToDisplayText(message);
    plat::MessageBox(message, "Error", plat::MsgDlgType::Error);
    try {
        std::string program = Brokers ? Brokers->ProgramCode : std::string();
        std::string failed = LangText("TdmSingle", "sFailedSave", "保存失败");
        WriteAlertLog(program, "Single" + failed + "Context :" + error.Context, "D");
        WriteAlertLog(program, "Single" + failed + "PreviousError :" + std::to_string(error.PreviousError), "D");
    } catch (const std::exception&) {
        // the error was shown; a log that cannot be written changes nothing
    }
}
