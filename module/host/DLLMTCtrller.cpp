// The module's controller: window creation and start, the host version
// check, the event hooks that report to the host, modes and rights,
// condition hand-over, modal showing and closing.
#include "DLLMTCtrller.h"

#include <QString>

#include "Dialogs.h"
#include "Dispatch.h"
#include "QtLanguage.h"
#include "SystemInfo.h"
#include "data/Brokers.h"
#include "forms/RadicalCF.h"

TControllerFactory DLLControllerClass = nullptr;
vcl::TClass frmRadicalClass = nullptr;

namespace {

const char* const kHostTooOld = "TamberWorkCenter version too old,please update.";
const char* const kHostTooOldOrMissing = "TamberWorkCenter version too old,please update!";
const char* const kModuleTooOld = "This program's version is too old, please update.";

// The version check's failures are shown once, then raised.
[[noreturn]] void ShowAndRaise(const std::string& shown, const std::string& raised) {
    plat::ShowMessage(shown);
    throw plat::Exception(raised);
}

}  // namespace

std::string InternalErrorText(const std::string& variableName) {
    return "KVX DLL Internal Error :\rNot Assign \"" + variableName + "\" varible";
}

TDLLMTCtrller::~TDLLMTCtrller() {
    if (Form) CloseForm(0);
}

void TDLLMTCtrller::GetFormText(std::u16string& text) {
    if (Form) text = QString::fromStdString(Form->HostText).toStdU16String();
}

int32_t TDLLMTCtrller::IsFormVisible() { return Form && Form->Visible() ? -1 : 0; }

void TDLLMTCtrller::SetFormVisible(int16_t visible) {
    if (!Form) return;
    Form->SetVisible(visible != 0);
    if (visible != 0 && Form) {
        if (Form->WindowState() == vcl::TWindowState::wsMinimized) Form->SetWindowState(vcl::TWindowState::wsNormal);
        Form->BringToFront();
    }
}

intptr_t TDLLMTCtrller::GetFormHandle() { return Form ? Form->Handle() : 0; }

int32_t TDLLMTCtrller::OpenForm(const plat::Variant& params) {
    const plat::Variant keptParams = params;   // the caller's array stays alive for the whole call
    int32_t status = -1;
    if (!Form) {
        CreateForm();
        CheckHostVersion();
        Form->Brokers->HostObject = HostObject;
        DoAfterCreate();
    }
    HookFormEvents();
    // Qt's standard buttons and dialogs (message boxes, the folder browser)
    // speak the language of the window's interface.
    plat::UseQtLanguage(Form->UICodePage());
    if (Form->StartProgram(keptParams)) status = 0;
    return status;
}

void TDLLMTCtrller::CreateForm() {
    if (!frmRadicalClass) throw plat::Exception(InternalErrorText("frmRadicalClass"));
    Form = static_cast<TfrmRadical*>(frmRadicalClass->Create(nullptr));
    // From here on the window counts as hosted and knows its program code.
    Form->ModuleFileName = plat::ModuleFileNameOf(reinterpret_cast<const void*>(&InternalErrorText));
}

// The host's version is compared as it is given: 8000.5 is above 8000.
void TDLLMTCtrller::CheckHostVersion() {
    double version = 0;
    try {
        version = plat::GetProperty(HostObject, "DependencyVersion").ToDouble();
    } catch (const std::exception& e) {
        ShowAndRaise(kHostTooOldOrMissing, std::string(kHostTooOldOrMissing) + e.what());
    }
    if (version > kDependencyVersion) ShowAndRaise(kModuleTooOld, kModuleTooOld);
    if (version < kDependencyVersion) ShowAndRaise(kHostTooOld, kHostTooOld);
}

// Saves the window's own handlers and installs this controller's. A handler
// that is already this controller's own (a second OpenForm on the same
// window) is never saved: chaining to it would call the hook again without end.
void TDLLMTCtrller::HookFormEvents() {
    if (!Form->OnShow.BelongsTo(this)) SavedOnShow = Form->OnShow;
    Form->OnShow = vcl::TNotifyEvent([this](vcl::TObject* s) { DoFormShow(s); }, this);
    if (!Form->OnHide.BelongsTo(this)) SavedOnHide = Form->OnHide;
    Form->OnHide = vcl::TNotifyEvent([this](vcl::TObject* s) { DoFormHide(s); }, this);
    if (!Form->OnDestroy.BelongsTo(this)) SavedOnDestroy = Form->OnDestroy;
    Form->OnDestroy = vcl::TNotifyEvent([this](vcl::TObject* s) { DoFormDestroy(s); }, this);
    if (!Form->OnClose.BelongsTo(this)) SavedOnClose = Form->OnClose;
    Form->OnClose = vcl::TCloseEvent(
        [this](vcl::TObject* s, vcl::TCloseAction& a) {
            int action = static_cast<int>(a);
            DoFormClose(s, action);
            a = static_cast<vcl::TCloseAction>(action);
        },
        this);
}

int32_t TDLLMTCtrller::SetCondition(const plat::Variant& param) {
    if (!Form || !param.IsArray()) return -1;
    try {
        const plat::Variant& condition = param[1];
        if (condition.IsArray()) {
            Form->ConditionText = condition[0].ToString();
            Form->ConditionData = condition[1];
        } else {
            Form->ConditionText = condition.ToString();
        }
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

uint16_t TDLLMTCtrller::ApplyFunctions(uint16_t rights, int32_t functions) {
    // Host numbering: add, delete, query, edit; window numbering: add, edit, query, delete.
    static constexpr struct { int32_t function; uint16_t right; } kMap[] = {
        {0x01, 0x01}, {0x02, 0x08}, {0x04, 0x04}, {0x08, 0x02},
        {0x10, 0x10}, {0x20, 0x20}, {0x40, 0x40}, {0x80, 0x80},
    };
    for (const auto& m : kMap)
        if ((functions & m.function) == 0) rights = static_cast<uint16_t>(rights & ~m.right);
    return rights;
}

int32_t TDLLMTCtrller::SetMode(int32_t mode, int32_t functions, const plat::Variant& data) {
    if (!Form) return -1;
    Form->Rights = ApplyFunctions(Form->Rights, functions);
    Form->RefreshButtons();
    switch (mode) {
    case 1: case 2: case 3: case 4: case 5:
        Form->ProgramMode = static_cast<uint8_t>(mode);
        break;
    case 7: case 8:
        Form->ProgramMode = static_cast<uint8_t>(mode);
        Form->ModeData = data;
        break;
    case 10:
        Form->ProgramMode = 9;
        Form->ModeData = data;
        break;
    case 12: Form->ProgramMode = 10; break;
    case 13: Form->ProgramMode = 11; break;
    default: Form->ProgramMode = 0; break;
    }
    return 0;
}

void TDLLMTCtrller::ShowModalForm(plat::Variant& result) {
    if (!Form) return;
    Form->ShowModal();
    if (!Form) return;   // the window went away during its modal run
    result = Form->ReturnValue;
    CloseForm(0);
}

void TDLLMTCtrller::CloseForm(int32_t quiet) {
    if (!Form || Form->Destroying()) return;
    if (quiet == 0) {
        int action = static_cast<int>(vcl::TCloseAction::caNone);
        DoFormClose(Form, action);
    }
    if (!Form) return;
    TfrmRadical* closing = Form;
    // The destroy hook forgets the window; a window that was never hooked (its
    // start stopped at the version check) must be forgotten here, or the
    // controller would keep a freed window.
    closing->Free();
    if (Form == closing) ForgetForm();
}

int32_t TDLLMTCtrller::GetSessionInfo(plat::Variant& info) {
    if (!Form) return -1;
    TBrokers* b = Form->Brokers;
    info = plat::VarArrayOf({b->UserID, b->CompanyID, b->ProgramCode, b->GetProgramTitle()});
    return 0;
}

uint8_t TDLLMTCtrller::IsFormNil() { return Form ? 0 : 1; }

void TDLLMTCtrller::DoFormShow(void* sender) {
    SavedOnShow(static_cast<vcl::TObject*>(sender));
    TDLLBaseController::DoFormShow(sender);
}

void TDLLMTCtrller::DoFormHide(void* sender) {
    SavedOnHide(static_cast<vcl::TObject*>(sender));
    TDLLBaseController::DoFormHide(sender);
}

void TDLLMTCtrller::DoFormDestroy(void* sender) {
    if (Form) {
        ReturnKind = Form->ReturnKind;
        ReturnValue = Form->ReturnValue;
        SavedOnDestroy(static_cast<vcl::TObject*>(sender));
        TDLLBaseController::DoFormDestroy(sender);
    }
    ForgetForm();
}

void TDLLMTCtrller::ForgetForm() {
    Form = nullptr;
    SavedOnShow = {};
    SavedOnHide = {};
    SavedOnDestroy = {};
    SavedOnClose = {};
}

void TDLLMTCtrller::DoFormClose(void* sender, int& action) {
    auto closeAction = static_cast<vcl::TCloseAction>(action);
    SavedOnClose(static_cast<vcl::TObject*>(sender), closeAction);
    action = static_cast<int>(closeAction);
    TDLLBaseController::DoFormClose(sender, action);
}
