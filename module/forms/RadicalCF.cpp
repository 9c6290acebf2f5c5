// The program window's host contract and start-up: create, hosted or
// stand-alone start, program identity, the start with the host's parameters
// (identity, services, log-on and rights, conversion, translation, caption),
// function keys and host key messages, Enter, help, the lookup parameter
// exchange and the value conversion wrappers.
#include "RadicalCF.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cctype>
#include <filesystem>
#include <functional>
#include <strings.h>

#include "ClassRegistry.h"
#include "Dialogs.h"
#include "Dispatch.h"
#include "Fields.h"
#include "Grids.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "controls/KvDBGrid.h"
#include "data/Brokers.h"
#include "data/RadicalCD.h"
#include "host/CorvaneIni.h"
#include "lang/CodeConverter.h"

namespace {

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Calls `paint` at the first paint of the watched widget.
class PaintWatcher : public QObject {
public:
    PaintWatcher(QObject* parent, std::function<void()> paint) : QObject(parent), paint_(std::move(paint)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && paint_) paint_();
        return false;
    }

private:
    std::function<void()> paint_;
};


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
    OnKeyDown = vcl::TKeyEvent([this](vcl::TObject* s, uint16_t& k, vcl::TShiftState sh) { FormKeyDown(s, k, sh); }, this);
    OnKeyPress = vcl::TKeyPressEvent([this](vcl::TObject* s, char32_t& k) { FormKeyPress(s, k); }, this);
    OnResize = vcl::TNotifyEvent([this](vcl::TObject* s) { FormResize(s); }, this);
    WatchPaint();
}

void TfrmRadical::WatchPaint() {
    if (QWidget* w = Widget()) w->installEventFilter(new PaintWatcher(w, [this] { FormPaint(this); }));
}

vcl::TClass TfrmRadical::DataModuleClass() const { return &TdmRadical::StaticClass(); }

bool TfrmRadical::HasUserRight(int element) const {
    return element >= 0 && element < 64 && (UserRights >> element & 1u) != 0;
}

std::string TfrmRadical::ToDisplayText(const std::string& text) const {
    return KvConverter()->ToDisplay(plat::Variant(text)).ToString();
}

// ---- create ----

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
    for (vcl::TComponent* component : ComponentList())
        if (vcl::IsPublishedProp(component, "ImeName")) {
            try {
                vcl::SetPropValue(component, "ImeName", plat::Variant(std::string()));
            } catch (const std::exception&) {
            }
        }
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

// ---- identity ----

bool TfrmRadical::IsHosted() {
    if (!ModuleFileName.empty()) {
        std::string ext = std::filesystem::path(ModuleFileName).extension().string();
        return strcasecmp(ext.c_str(), ".exe") != 0 && !ext.empty();
    }
    std::string exe = plat::ExecutablePath();
    if (plat::UpperCase(BaseName(exe)).find("TAMBER") != std::string::npos) return true;
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
    return plat::UpperCase(name.substr(0, pos));
}

void TfrmRadical::GetProgramID(std::string& id) const { id = ProgramIDFromFileName(ModuleFileName); }

void TfrmRadical::GetProgramName(const std::string& programID, std::string& name) {
    name = Brokers->GetProgramName(programID);
}

// ---- start ----

void TfrmRadical::LoadClientSettings() {
    TCorvaneIniC settings;
    ClientPath = settings.ClientPath;
    ClientIniFileName = settings.IniFileName;
    ProfilePath = settings.ProfilePath;
}

// Order of effects: hide; launch data; client settings; identity, services
// and system parameters; log-on and rights; conversion and translation; the
// data module's labels; caption; PrepareForm; host window and database.
bool TfrmRadical::StartProgram(const plat::Variant& params) {
    Hide();
    LogOnRefused = false;
    bool hosted = IsHosted();
    if (hosted) {
        if (!params.IsArray() || plat::VarArrayHighBound(params) < 4) {
            // Without the full identity there is nothing to start with; reading
            // the missing elements would only fail later.
            Brokers->ShowCodedMessage("E", "000038", {});
            PostClose();
            return false;
        }
        LaunchParam = params[4];
    } else {
        LaunchParam = plat::Variant(plat::VarArray(0, -1));
    }
    BeforeStart();
    LoadClientSettings();
    Brokers->UserID = plat::VarToStr(params[0]);
    Brokers->CompanyID = plat::VarToStr(params[1]);
    Brokers->DatabaseName = plat::VarToStr(params[2]);
    std::string id;
    GetProgramID(id);
    Brokers->ProgramCode = plat::UpperCase(id);
    Brokers->BindServices();
    Brokers->LoadSysParams();

    LoadUserRights();
    if (LogOnRefused) {
        // Nobody works on with rights the server did not grant.
        UserRights = 0;
        Brokers->ShowCodedMessage("E", "000004", {});
        return false;
    }
    AfterRightsLoaded();

    ConvertForm();
    TranslateForm();
    vcl::TScreen& screen = vcl::TScreen::Instance();
    TCodeConverter::AdjustFont(UIConversion(), &screen.IconFont());
    TCodeConverter::AdjustFont(UIConversion(), &screen.HintFont());
    TCodeConverter::AdjustFont(UIConversion(), &screen.MenuFont());
    // Hints off and on again: the hint window takes the new font.
    vcl::TApplication::Instance().ShowHint = false;
    vcl::TApplication::Instance().ShowHint = true;

    if (DataModule) {
        DataModule->FromDisplayText = [this](const std::string& text) { return FromDisplay(plat::Variant(text)).ToString(); };
        DataModule->TranslateLabels();
        ApplyOwnLanguage(DataModule, true);
    }

    SetCaption(Brokers->GetProgramTitle() + "[" + Brokers->GetSysParam("KVX002") + "]");
    if (SystemCodePage() == "950") KvConverter()->ConvertFormCaption(this, UIConversion());
    PrepareForm();
    HostWindow = static_cast<intptr_t>(params[3].IsEmptyOrNull() ? 0 : params[3].ToInt64());
    if (std::string signOn = plat::Trim(Brokers->UserID); !signOn.empty()) SignOnText = signOn;
    DatabaseName = Brokers->DatabaseName;
    return true;
}

void TfrmRadical::LoadUserRights() {
    DateFormatKind = plat::StrToIntDef(Brokers->GetSysParam("SYS001"), 1);
    DateSeparator = Brokers->GetSysParam("SYS002");
    if (!DataModule) return;
    DataModule->Brokers = Brokers;
    if (!DataModule->ConnectServer()) {
        LogOnRefused = true;
        return;
    }
    Brokers->UserGroup = Brokers->UserInfo.Values("USER_GROUP");
    GroupList = Brokers->UserInfo.Values("GROUP_LIST");
    ExtraRights = Brokers->UserInfo.Values("EX_POWER");
    std::string power = Brokers->UserInfo.Values("POWER_DATA");
    UserRights = ParseRights(power);
    if (power.empty()) Brokers->ShowCodedMessage("E", "000004", {});
    DataModule->DateFormatKind = DateFormatKind;
    DataModule->DateSeparator = DateSeparator;
    DataModule->LoadServerDate();
    try {
        SqlType = plat::CallMethod(DataModule->AppServer, "Whatis", {plat::ByVal(std::string("SQLTYPE"))}).ToInt();
    } catch (const std::exception&) {
        SqlType = 0;
    }
}

uint64_t TfrmRadical::ParseRights(const std::string& powerData) {
    if (powerData.empty()) return kNoPowerRights;
    auto item = [&](int n) { return plat::GetToken(powerData, ",", n + 1); };
    auto at = [](const std::string& text, int position) { return position <= static_cast<int>(text.size()) ? text[position - 1] : '\0'; };
    uint64_t set = 0x7FFFull;   // 0..14
    auto add = [&set](int element) { set |= 1ull << element; };
    char c1 = at(item(1), 1), c2 = at(item(2), 1);
    if (c1 == 'Y' || c1 == 'y') add(30);
    if (c2 == 'Y' || c2 == 'y') add(31);
    add(37);
    const std::string i3 = item(3), i4 = item(4), i5 = item(5);
    for (int c = 2; c <= 6; ++c)
        if (at(i3, c) == 'Y') add(36 + c);   // 38..42
    if (at(i3, 7) == 'Y') add(32);
    if (at(i3, 7) == 'R') add(34);
    if (at(i3, 8) == 'Y') add(33);
    if (at(i3, 8) == 'R') add(35);
    const int tail[] = {36, 43, 44, 45};
    for (int c = 9; c <= 12; ++c)
        if (at(i3, c) == 'Y') add(tail[c - 9]);
    for (int c = 1; c <= 7; ++c) {
        if (at(i4, c) == 'Y') add(45 + c);   // 46..52
        if (at(i5, c) == 'Y') add(52 + c);   // 53..59
    }
    return set;
}

int TfrmRadical::CallServerFunction(const std::string& name, plat::Variant& arg) {
    if (!DataModule || !DataModule->AppServer.IsDispatch()) return -1;
    try {
        arg = plat::CallMethod(DataModule->AppServer, name, {plat::ByVal(arg)});
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

// ---- keys ----

bool TfrmRadical::IsGridControl(const vcl::TControl* control) {
    return control && (control->Is<vcl::TStringGrid>() || control->Is<TKvDBGrid>());
}

void TfrmRadical::FormKeyDown(vcl::TObject*, uint16_t& key, vcl::TShiftState shift) {
    vcl::TWinControl* active = ActiveControl();
    switch (key) {
    case vcl::VK_F1:
        if (shift == 0) ShowHelp();
        break;
    case vcl::VK_F2:
        ParamState = 0;
        DoKeyF2(key, active);
        break;
    case vcl::VK_F3: DoKeyF3(key, active); break;
    case vcl::VK_F4: DoKeyF4(key, active); break;
    case vcl::VK_F11: DoKeyF11(key, active); break;
    case 'V':
        if ((shift & vcl::ssCtrl) && (shift & vcl::ssAlt)) {
            plat::ShellExecute("properties", ModuleFileName);
            key = 0;
        }
        break;
    default: break;
    }
}

// Enter moves on like Tab, except inside a grid.
void TfrmRadical::FormKeyPress(vcl::TObject*, char32_t& key) {
    if (key != 13) return;
    vcl::TWinControl* active = ActiveControl();
    if (!active || IsGridControl(active) || IsGridControl(active->Parent())) return;
    key = 0;
    SelectNext(active, true, true);
}

static void FocusUnlessInGrid(vcl::TWinControl* control) {
    if (!control) return;
    for (vcl::TControl* c = control; c; c = c->Parent())
        if (c->Is<vcl::TStringGrid>() || c->Is<TKvDBGrid>()) return;
    if (control->CanFocus()) control->SetFocus();
}

void TfrmRadical::DoKeyF2(uint16_t&, vcl::TWinControl* control) { FocusUnlessInGrid(control); }
void TfrmRadical::DoKeyF3(uint16_t&, vcl::TWinControl* control) { FocusUnlessInGrid(control); }
void TfrmRadical::DoKeyF4(uint16_t&, vcl::TWinControl* control) { FocusUnlessInGrid(control); }
void TfrmRadical::DoKeyF11(uint16_t&, vcl::TWinControl* control) { FocusUnlessInGrid(control); }

void TfrmRadical::WndProc(vcl::TMessage& message) {
    if (message.Msg == vcl::WM_MOVE) {
        RepaintHost();
        return;
    }
    if (message.Msg >= WM_HOST_KEYF2 && message.Msg <= WM_HOST_KEYF11) {
        auto* control = dynamic_cast<vcl::TWinControl*>(vcl::TControl::ControlFromParam(message.LParam));
        uint16_t key = 0;
        switch (message.Msg) {
        case WM_HOST_KEYF2: key = vcl::VK_F2; DoKeyF2(key, control); break;
        case WM_HOST_KEYF3: key = vcl::VK_F3; DoKeyF3(key, control); break;
        case WM_HOST_KEYF4: key = vcl::VK_F4; DoKeyF4(key, control); break;
        default: key = vcl::VK_F11; DoKeyF11(key, control); break;
        }
        return;
    }
    TKVForm::WndProc(message);
}

// ---- help ----

std::string TfrmRadical::HelpBase(const std::string& programID) {
    if (programID.size() < 4) return {};
    char fourth = static_cast<char>(std::toupper(static_cast<unsigned char>(programID[3])));
    char digit = fourth == 'I' || fourth == 'Q' ? '1' : fourth == 'A' ? '6' : fourth == 'M' ? '8' : '\0';
    if (!digit) return {};
    return std::string(1, digit) + (fourth == 'I' ? "1" : "4") + programID.substr(programID.size() - 2);
}

// A data control bound to a field of "cdsMain" adds "1" and three characters
// of the field name from its third; a grid adds "2" and the same of its
// selected field.
void TfrmRadical::GetHelpTopic(const std::string& prefix, std::string& topic) {
    topic = prefix + "0000";
    vcl::TWinControl* active = ActiveControl();
    if (!Visible() || !active) return;
    auto part = [](const std::string& field) { return field.size() > 2 ? field.substr(2, 3) : std::string(); };
    for (vcl::TControl* c = active; c; c = c->Parent())
        if (auto* grid = dynamic_cast<TKvDBGrid*>(c)) {
            if (vcl::TField* field = grid->SelectedField()) topic = prefix + "2" + part(field->FieldName());
            return;
        }
    if (!vcl::IsPublishedProp(active, "DataField") || !vcl::IsPublishedProp(active, "DataSource")) return;
    auto* source = dynamic_cast<vcl::TDataSource*>(vcl::GetObjectProp(active, "DataSource"));
    std::string field = vcl::GetPropValue(active, "DataField").ToString();
    if (source && source->DataSet() && source->DataSet()->Name() == "cdsMain" && !field.empty())
        topic = prefix + "1" + part(field);
}

void TfrmRadical::ShowHelp() {
    std::string id;
    GetProgramID(id);
    std::string base = HelpBase(id);
    if (base.empty()) return;
    std::string topic;
    GetHelpTopic(base, topic);
    try {
        plat::Variant request = plat::VarArrayOf({id.substr(0, 3), topic});
        plat::CallMethod(Brokers->HostObject, "CallHelp", {plat::ByVal(request)});
    } catch (const std::exception&) {
        // a host without help shows nothing
    }
}

// ---- lookup parameters ----

namespace {

// A text conversion handed to a lookup window: it calls "Convert"(text)
// and gets the text in the other script. A lookup window may keep it
// longer than the window lives; then the text comes back unchanged.
class ConversionCallBack : public plat::AutomationObject {
public:
    ConversionCallBack(std::weak_ptr<bool> windowAlive, std::function<std::string(const std::string&)> convert) {
        Method("Convert", [windowAlive, convert](plat::Args& args) {
            std::string text = plat::VarToStr(plat::ArgAt(args, 0));
            return plat::Variant(windowAlive.expired() ? text : convert(text));
        });
    }
};

plat::Variant CallBack(std::weak_ptr<bool> windowAlive, std::function<std::string(const std::string&)> convert) {
    return plat::Variant(plat::DispatchRef(std::make_shared<ConversionCallBack>(std::move(windowAlive), std::move(convert))));
}

}  // namespace

void TfrmRadical::GetBaseClassParam(vcl::TObject* sender, plat::Variant& param) {
    ParamState = 1;
    LookupData = plat::Variant();
    uint16_t key = vcl::VK_F2;
    DoKeyF2(key, dynamic_cast<vcl::TWinControl*>(sender));
    std::string caption = Caption();
    plat::Variant toDisplay =
        CallBack(alive_, [this](const std::string& text) { return ConvertDisplayText(plat::Variant(text)).ToString(); });
    plat::Variant fromDisplay =
        CallBack(alive_, [this](const std::string& text) { return FromDisplay(plat::Variant(text)).ToString(); });
    param = plat::VarArrayOf({LookupData, int32_t(DateFormatKind), DateSeparator,
                              HasUserRight(rights::kGroupAView) || HasUserRight(rights::kGroupAReadOnly),
                              HasUserRight(rights::kGroupBView) || HasUserRight(rights::kGroupBReadOnly), LookupFlag(),
                              toDisplay, fromDisplay, caption, DBCodePage()});
    ParamState = 0;
}

void TfrmRadical::SetReturn(vcl::TObject* sender, const plat::Variant& param) {
    ParamState = 2;
    LookupReturn = param;
    uint16_t key = vcl::VK_F2;
    DoKeyF2(key, dynamic_cast<vcl::TWinControl*>(sender));
    ParamState = 0;
}

// ---- conversion ----

plat::Variant TfrmRadical::Convert(int kind, const plat::Variant& value) const { return KvConverter()->Convert(kind, value); }
plat::Variant TfrmRadical::ConvertText(const plat::Variant& value) const { return KvConverter()->ToDatabase(value); }
plat::Variant TfrmRadical::ConvertDisplayText(const plat::Variant& value) const { return KvConverter()->ToDisplay(value); }
plat::Variant TfrmRadical::FromDisplay(const plat::Variant& value) const { return KvConverter()->FromDisplay(value); }

// ---- show, close, resize, paint ----

void TfrmRadical::FormShow(vcl::TObject* sender) {
    TKVForm::FormShow(sender);
    if (WindowState() == vcl::TWindowState::wsMinimized) SetWindowState(vcl::TWindowState::wsNormal);
    AfterFormShow();
    BringToFront();
}

void TfrmRadical::FormClose(vcl::TObject*, vcl::TCloseAction&) {
    if (DataModule && DataModule->MIDAS->Connected()) DataModule->MIDAS->Close();
}

// The host's window is repainted when this one moves or changes size. There
// is no foreign window to repaint here: the host repaints its own.
void TfrmRadical::FormResize(vcl::TObject*) { RepaintHost(); }

void TfrmRadical::RepaintHost() {
    if (HostWindow == 0) return;
    if (QWidget* host = QWidget::find(static_cast<WId>(HostWindow))) host->update();
}

void TfrmRadical::FormPaint(vcl::TObject*) {
    if (!CloseOnPaint) return;
    CloseOnPaint = false;
    PostClose();
}
