// The program window's host contract: create, hosted or stand-alone start,
// program identity, start-up with the host's parameters.
#include "RadicalCF.h"

#include <cctype>
#include <filesystem>
#include <strings.h>

#include "ClassRegistry.h"
#include "Dialogs.h"
#include "Dispatch.h"
#include "SystemInfo.h"
#include "data/Brokers.h"
#include "data/RadicalCD.h"
#include "host/CorvaneIni.h"

namespace {

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string UpperCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

const vcl::TClassInfo& TfrmRadical::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TfrmRadical>("TfrmRadical", TKVForm::StaticClass());
    return info;
}

TfrmRadical::TfrmRadical(vcl::TComponent* owner) : TKVForm(owner) {}

void TfrmRadical::BindHandlers() {
    TKVForm::BindHandlers();
    OnDestroy = vcl::TNotifyEvent([this](vcl::TObject* s) { FormDestroy(s); }, this);
    OnClose = vcl::TCloseEvent([this](vcl::TObject* s, vcl::TCloseAction& a) { FormClose(s, a); }, this);
}

vcl::TClass TfrmRadical::DataModuleClass() const { return &TdmRadical::StaticClass(); }

bool TfrmRadical::HasUserRight(int element) const {
    return element >= 0 && element < 64 && (UserRights >> element & 1u) != 0;
}

void TfrmRadical::FormCreate(vcl::TObject* sender) {
    // The data module comes first: the window's own set-up may use it.
    if (!DataModule) {
        vcl::TClass cls = DataModuleClass();
        DataModule = static_cast<TdmRadical*>(cls->Create(this));
    }
    TKVForm::FormCreate(sender);
    Brokers = vcl::TComponent::Create<TBrokers>(this, this);
    TranslateOnShow = false;
    UserRights = kInitialUserRights;
    Rights = 511;
    ConditionText.clear();
    ProgramMode = 0;
    if (!IsHosted()) StartStandAlone();
    vcl::TApplication::Instance().HintPause = 100;
    vcl::TApplication::Instance().HintHidePause = 500000;
    ParamState = 0;
}

// A window started on its own, outside the host shell (a developer's test
// run): sign on to a host object created by name with the test identity.
void TfrmRadical::StartStandAlone() {
    try {
        Brokers->HostObject = plat::CreateOleObject("TamberWorkCenter.Manager");
        plat::CallMethod(Brokers->HostObject, "Connect");
        plat::Variant params(plat::VarArray::Of({"KV", "PRTest65", "PRTest65", int32_t(0), plat::Variant()}));
        CloseOnPaint = !StartProgram(params);
    } catch (const std::exception& e) {
        plat::MessageBox(e.what(), "Error!!", plat::MsgDlgType::Error);
        CloseOnPaint = true;
    }
}

void TfrmRadical::FormDestroy(vcl::TObject*) {}

void TfrmRadical::FormClose(vcl::TObject*, vcl::TCloseAction&) {}

bool TfrmRadical::IsHosted() {
    if (!ModuleFileName.empty()) {
        std::string ext = std::filesystem::path(ModuleFileName).extension().string();
        return strcasecmp(ext.c_str(), ".exe") != 0 && !ext.empty();
    }
    std::string exe = plat::ExecutablePath();
    if (UpperCase(BaseName(exe)).find("TAMBER") != std::string::npos) return true;
    ModuleFileName = exe;
    return false;
}

std::string TfrmRadical::ProgramIDFromFileName(const std::string& moduleFileName) {
    if (moduleFileName.empty()) return {};
    std::string name = BaseName(moduleFileName);
    size_t pos = name.find('.');
    if (pos == std::string::npos) pos = name.size();
    // Step back from the first "." to the last digit before it.
    while (pos > 0 && !std::isdigit(static_cast<unsigned char>(name[pos - 1]))) --pos;
    return UpperCase(name.substr(0, pos));
}

void TfrmRadical::GetProgramID(std::string& id) const { id = ProgramIDFromFileName(ModuleFileName); }

void TfrmRadical::LoadClientSettings() {
    TCorvaneIniC settings;
    ClientPath = settings.ClientPath;
    ClientIniFileName = settings.IniFileName;
}

bool TfrmRadical::StartProgram(const plat::Variant& params) {
    Hide();
    bool hosted = IsHosted();
    if (hosted) {
        if (!params.IsArray() || plat::VarArrayHighBound(params) < 4) {
            // Without the full identity there is nothing to start with; reading
            // the missing elements would only fail later.
            Brokers->ShowCodedMessage("E", "000038", {}, 936, 1, 2);
            PostClose();
            return false;
        }
        LaunchParam = params[4];
    } else {
        LaunchParam = plat::Variant(plat::VarArray(0, -1));
    }
    LoadClientSettings();
    Brokers->UserID = params[0].ToString();
    Brokers->CompanyID = params[1].ToString();
    Brokers->DatabaseName = params[2].ToString();
    std::string id;
    GetProgramID(id);
    Brokers->ProgramCode = UpperCase(id);
    Brokers->BindServices();
    Brokers->LoadSysParams();
    LoadUserRights();
    if (DataModule) DataModule->Brokers = Brokers;
    SetCaption(Brokers->GetProgramTitle() + "[" + Brokers->GetSysParam("KVX002") + "]");
    PrepareForm();
    HostWindow = static_cast<intptr_t>(params[3].ToInt64());
    DatabaseName = Brokers->DatabaseName;
    return true;
}
