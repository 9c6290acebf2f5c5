// TDLLMTCtrller: the module's controller. It creates the main window of the
// registered class, checks the host's version, hooks the window's show,
// hide, close and destroy events to report them to the host, maps the
// host's modes and permitted functions onto the window and hands back the
// window's return value.
#pragma once

#include "DLLBaseController.h"
#include "Forms.h"

class TfrmRadical;

class TDLLMTCtrller : public TDLLBaseController {
public:
    TDLLMTCtrller() = default;
    ~TDLLMTCtrller() override;

    void GetFormText(std::u16string& text) override;
    int32_t IsFormVisible() override;
    void SetFormVisible(int16_t visible) override;
    intptr_t GetFormHandle() override;
    int32_t OpenForm(const plat::Variant& params) override;
    int32_t SetCondition(const plat::Variant& param) override;
    int32_t SetMode(int32_t mode, int32_t functions, const plat::Variant& data) override;
    void ShowModalForm(plat::Variant& result) override;
    void CloseForm(int32_t quiet) override;
    int32_t GetSessionInfo(plat::Variant& info) override;
    uint8_t IsFormNil() override;

    void DoFormShow(void* sender) override;
    void DoFormHide(void* sender) override;
    void DoFormDestroy(void* sender) override;
    void DoFormClose(void* sender, int& action) override;

    TfrmRadical* Form = nullptr;
    vcl::TNotifyEvent SavedOnShow;
    vcl::TNotifyEvent SavedOnHide;
    vcl::TNotifyEvent SavedOnDestroy;
    vcl::TCloseEvent SavedOnClose;

    // Maps the host's permitted-function bits onto the window's rights word:
    // a 0 bit clears the matching right, a 1 bit changes nothing.
    static uint16_t ApplyFunctions(uint16_t rights, int32_t functions);

private:
    void CreateForm();
    void CheckHostVersion();
    void HookFormEvents();
    void ForgetForm();
};

// Class references set when the library loads.
using TControllerFactory = TDLLBaseController* (*)();
extern TControllerFactory DLLControllerClass;
extern vcl::TClass frmRadicalClass;

// "KVX DLL Internal Error :" followed by the missing class reference's name.
std::string InternalErrorText(const std::string& variableName);
