// TfrmRadical: the program window as the host sees it. It holds the fields
// the host sets and reads through the controller (rights, mode, condition,
// return value), knows whether it runs hosted and which program it is, owns
// the broker to the host's services and the data module, starts up with the
// host's parameter array (sign-on, user rights, conversion and translation,
// caption), and handles the function keys, help, Enter and the lookup
// parameter exchange that every program window shares.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "KVForm.h"
#include "Variant.h"
#include "data/BrokerOwner.h"

class TBrokers;
class TdmRadical;

namespace vcl {
class TWinControl;
}

// Host messages: act as if F2, F3, F4 or F11 were pressed in the control
// passed as the second parameter.
inline constexpr uint32_t WM_HOST_KEYF2 = 0x040A, WM_HOST_KEYF3 = 0x040B, WM_HOST_KEYF4 = 0x040C,
                          WM_HOST_KEYF11 = 0x040D;

class TfrmRadical : public TKVForm, public IBrokerOwner {
    VCL_DECLARE_CLASS(TfrmRadical)
public:
    explicit TfrmRadical(vcl::TComponent* owner);

    // ---- fields that cross the host boundary ----
    TBrokers* Brokers = nullptr;
    TdmRadical* DataModule = nullptr;
    uint16_t Rights = 511;               // bit 0 add, 1 edit, 2 query, 3 delete, 4 print
    uint8_t ProgramMode = 0;
    std::string ConditionText;
    plat::Variant ConditionData;
    plat::Variant ModeData;
    plat::Variant ReturnValue;
    int32_t ReturnKind = 0;
    std::string HostText;
    std::string ModuleFileName;
    intptr_t HostWindow = 0;
    plat::Variant LaunchParam;

    // ---- further window state ----
    uint64_t UserRights = 0;             // elements 0..63
    int DateFormatKind = 1;              // "SYS001"
    std::string DateSeparator;           // "SYS002"
    int SqlType = 0;                     // the server's "SQLTYPE"
    std::string GroupList;               // user information "GROUP_LIST"
    std::string ExtraRights;             // user information "EX_POWER"
    std::string DatabaseName;
    std::string SignOnText;              // the user the broker signed on, trimmed (kept when blank)
    bool CloseOnPaint = false;           // the start failed: close at the first paint
    uint8_t ParamState = 0;              // 0 idle, 1 building lookup parameters, 2 taking a lookup value
    plat::Variant LookupData;            // prepared by DoKeyF2 while ParamState is 1
    plat::Variant LookupReturn;          // handed back by the lookup while ParamState is 2
    std::string ClientPath;              // from the client settings
    std::string ClientIniFileName;
    std::string ProfilePath;
    // The server refused the log-on during the last start.
    bool LogOnRefused = false;

    // Elements of the user rights at create: all but 15..21.
    static constexpr uint64_t kInitialUserRights = 0x0FFFFFFFFFC07FFFull;
    // Elements 15..29: what a window keeps when the rights string is empty.
    static constexpr uint64_t kNoPowerRights = 0x3FFF8000ull;
    bool HasUserRight(int element) const override;

    // The user rights of a rights string ("POWER_DATA"): items split at ","
    // (item 0 is the program), characters counted from 1; missing items or
    // characters count as empty. An empty string answers kNoPowerRights.
    static uint64_t ParseRights(const std::string& powerData);

    // True when the window runs inside the host shell (a module that is not
    // an executable, or a process whose name contains "TAMBER").
    bool IsHosted();
    // The program code derived from the module file name ("ORTK41C.so" → "ORTK41").
    void GetProgramID(std::string& id) const;
    static std::string ProgramIDFromFileName(const std::string& moduleFileName);

    // ---- the chain's operations ----
    virtual void DoKeyF2(uint16_t& key, vcl::TWinControl* control);
    virtual void DoKeyF3(uint16_t& key, vcl::TWinControl* control);
    virtual void DoKeyF4(uint16_t& key, vcl::TWinControl* control);
    virtual void DoKeyF11(uint16_t& key, vcl::TWinControl* control);
    virtual void AfterFormShow() {}
    virtual void BeforeStart() {}
    virtual void PrepareForm() {}
    // Date settings, log-on, user group and rights (see the .cpp).
    virtual void LoadUserRights();
    virtual void LoadClientSettings();
    // Runs a member of the application server with `arg` and puts its answer
    // into `arg`; 0 on success, -1 without a server or when it raised.
    virtual int CallServerFunction(const std::string& name, plat::Variant& arg);
    virtual void GetProgramName(const std::string& programID, std::string& name);
    virtual void LoadUserSettings() {}
    virtual void AfterRightsLoaded() {}
    // Starts the window with the host's parameter array [user, company,
    // database, host window, launch data]; false when the start failed (a
    // short array, a refused log-on). Connection failures raise.
    virtual bool StartProgram(const plat::Variant& params);
    // Re-evaluates which commands are enabled after Rights changed.
    virtual void RefreshButtons() {}
    // The class of the window's data module.
    virtual vcl::TClass DataModuleClass() const;
    // The help topic of `prefix` for the active control (see the .cpp).
    virtual void GetHelpTopic(const std::string& prefix, std::string& topic);

    // The base of the help topics of a program: the digit of its fourth
    // character ("I"/"Q" 1, "A" 6, "M" 8), "1" for "I" else "4", and its last
    // two characters; "" when the fourth character has no help.
    static std::string HelpBase(const std::string& programID);
    // F1: asks the host to show the topic of the active control.
    void ShowHelp();

    // ---- values through the window's converter ----
    plat::Variant Convert(int kind, const plat::Variant& value) const;
    plat::Variant ConvertText(const plat::Variant& value) const;          // to the database script
    plat::Variant ConvertDisplayText(const plat::Variant& value) const;   // to the display script
    plat::Variant FromDisplay(const plat::Variant& value) const;

    // ---- published handlers ----
    void FormCreate(vcl::TObject* sender) override;
    void FormShow(vcl::TObject* sender) override;
    virtual void FormDestroy(vcl::TObject* sender);
    virtual void FormClose(vcl::TObject* sender, vcl::TCloseAction& action);
    virtual void FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift);
    virtual void FormKeyPress(vcl::TObject* sender, char32_t& key);
    virtual void FormResize(vcl::TObject* sender);
    virtual void FormPaint(vcl::TObject* sender);
    // A lookup control asks for its open parameters; `param` receives them
    // as [LookupData, DateFormatKind, DateSeparator, group A visible, group B
    // visible, flag, to-display, from-display, caption, database code page].
    // The two conversions are call-backs: automation objects whose
    // "Convert"(text) answers the text in the display script and back.
    void GetBaseClassParam(vcl::TObject* sender, plat::Variant& param);
    // A lookup control hands back the chosen value.
    void SetReturn(vcl::TObject* sender, const plat::Variant& param);
    // The flag GetBaseClassParam hands on beside the group rights.
    virtual bool LookupFlag() const { return false; }

    // WM_MOVE repaints the host's window; the host's F-key messages run the keys.
    void WndProc(vcl::TMessage& message) override;
    // Asks the host's window (HostWindow) to repaint; nothing without one.
    void RepaintHost();

    // ---- IBrokerOwner ----
    intptr_t OwnerHandle() override { return Handle(); }
    std::string OwnerCaption() const override { return Caption(); }
    std::string UICodePage() const override { return TKVForm::UICodePage(); }
    std::string DBCodePage() const override { return TKVForm::DBCodePage(); }
    int UIConversionMode() const override { return UIConversion(); }
    std::string ToDisplayText(const std::string& text) const override;
    void AfterMessage() override {}

protected:
    void BindHandlers() override;
    // The data control the window's active control is, or sits in: the
    // control itself for a data-bound edit, its grid for a cell.
    static bool IsGridControl(const vcl::TControl* control);

private:
    void StartStandAlone();
    // Lives as long as the window: call-backs handed out hold it weakly.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    void WatchPaint();
};

// Rights elements of the rights string, as ApplyRights reads them.
namespace rights {
inline constexpr int kGroupAView = 32, kGroupBView = 33, kGroupAReadOnly = 34, kGroupBReadOnly = 35, kAdd = 36,
                     kQuery = 37, kEdit = 38, kDelete = 39, kC4 = 40, kC5 = 41, kPrint = 42, kC10 = 43, kC11 = 44,
                     kC12 = 45, kOtherRecords = 31;

// The elements that decide what the user may do with one record, read when
// kOtherRecords is granted: one set for the user's own records, one for
// records of a creator in one of the user's groups, one for anybody else's.
struct RecordRights {
    int Edit, Delete, C4, C5, Print, C12;
};
inline constexpr RecordRights kOwnRecords{kEdit, kDelete, kC4, kC5, kPrint, kC12};
inline constexpr RecordRights kGroupRecords{47, 48, 49, 50, 51, 52};
inline constexpr RecordRights kOtherUsersRecords{54, 55, 56, 57, 58, 59};
}
