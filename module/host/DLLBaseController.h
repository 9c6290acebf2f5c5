// The controller a host shell drives a program module through. The host
// gets one from the module's exported GetController and calls its virtual
// operations by position, so the order of the virtual operations below and
// the width of every argument are the contract between host and module.
// A host includes this header (and the platform's Variant) and nothing else.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Variant.h"

// Notifications the controller sends to the host.
enum TNotifyCode : int32_t {
    ncAfterCreate = 0x100,
    ncFormShow = 0x110,
    ncFormHide = 0x120,
    ncFormDestroy = 0x130,
    ncFormClose = 0x140,
};

// The module's dependency version, compared with the host's "DependencyVersion".
constexpr int32_t kDependencyVersion = 8000;

class TDLLBaseController;
using TNotifyCallback = std::function<void(int32_t code, TDLLBaseController* sender)>;

class TDLLBaseController {
public:
    // The destructor takes the first slots of the table; the operations
    // follow in this order.
    virtual ~TDLLBaseController() = default;

    // 1-11: implemented by the module's controller.
    virtual void GetFormText(std::u16string& text) = 0;
    virtual int32_t IsFormVisible() = 0;                    // -1 true, 0 false
    virtual void SetFormVisible(int16_t visible) = 0;       // non-zero shows
    virtual intptr_t GetFormHandle() = 0;
    virtual int32_t OpenForm(const plat::Variant& params) = 0;
    virtual int32_t SetCondition(const plat::Variant& param) = 0;
    virtual int32_t SetMode(int32_t mode, int32_t functions, const plat::Variant& data) = 0;
    virtual void ShowModalForm(plat::Variant& result) = 0;
    virtual void CloseForm(int32_t quiet) = 0;
    virtual int32_t GetSessionInfo(plat::Variant& info) = 0;
    virtual uint8_t IsFormNil() = 0;                        // 1 true, 0 false

    // 12-18: implemented here. The four form hooks tell the host what
    // happened; a module's controller overrides them to run the window's own
    // handlers first and then calls these.
    virtual void DoAfterCreate() { Notify(ncAfterCreate); }
    virtual void DoFormShow(void* sender) { Notify(ncFormShow); }
    virtual void DoFormHide(void* sender) { Notify(ncFormHide); }
    virtual void DoFormDestroy(void* sender) { Notify(ncFormDestroy); }
    virtual void DoFormClose(void* sender, int& action) { Notify(ncFormClose); }
    virtual void Notify(int32_t code) {
        if (OnNotify) OnNotify(code, this);
    }
    virtual void Reserved() {}

    plat::Variant HostObject;      // the host's automation object
    int32_t ReturnKind = 0;        // copied from the window when it is destroyed
    plat::Variant ReturnValue;     // copied from the window when it is destroyed
    TNotifyCallback OnNotify;      // set by the host; may be empty
};

// The module's single export.
extern "C" TDLLBaseController* GetController();
using TGetControllerProc = TDLLBaseController* (*)();
