// TfrmRadical: the program window as the host sees it. It holds the fields
// the host sets and reads through the controller (rights, mode, condition,
// return value), knows whether it runs hosted and which program it is, owns
// the broker to the host's services and the data module, and starts up with
// the host's parameter array.
#pragma once

#include <cstdint>
#include <string>

#include "KVForm.h"
#include "Variant.h"
#include "data/BrokerOwner.h"

class TBrokers;
class TdmRadical;

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
    int DateFormatKind = 1;
    std::string DateSeparator;
    std::string DatabaseName;
    bool CloseOnPaint = false;
    uint8_t ParamState = 0;

    // Elements of the user rights at create: all but 15..21.
    static constexpr uint64_t kInitialUserRights = 0x0FFFFFFFFFC07FFFull;
    bool HasUserRight(int element) const override;

    // True when the window runs inside the host shell (a module that is not
    // an executable, or a process whose name contains "TAMBER").
    bool IsHosted();
    // The program code derived from the module file name ("ORTK41C.so" → "ORTK41").
    void GetProgramID(std::string& id) const;
    static std::string ProgramIDFromFileName(const std::string& moduleFileName);

    // Starts the window with the host's parameter array [user, company,
    // database, host window, launch data]; false when the start failed.
    virtual bool StartProgram(const plat::Variant& params);
    // Re-evaluates which commands are enabled after Rights changed.
    virtual void RefreshButtons() {}
    // The class of the window's data module.
    virtual vcl::TClass DataModuleClass() const;

    virtual void LoadClientSettings();
    virtual void LoadUserRights() {}
    virtual void PrepareForm() {}

    // Published handlers.
    void FormCreate(vcl::TObject* sender) override;
    virtual void FormDestroy(vcl::TObject* sender);
    virtual void FormClose(vcl::TObject* sender, vcl::TCloseAction& action);

    // ---- IBrokerOwner ----
    intptr_t OwnerHandle() override { return Handle(); }
    std::string OwnerCaption() const override { return Caption(); }
    std::string UICodePage() const override { return TKVForm::UICodePage(); }
    std::string DBCodePage() const override { return TKVForm::DBCodePage(); }
    int UIConversionMode() const override { return UIConversion(); }
    std::string ToDisplayText(const std::string& text) const override { return text; }
    void AfterMessage() override {}

    std::string ClientPath;          // from the client settings
    std::string ClientIniFileName;

protected:
    void BindHandlers() override;

private:
    void StartStandAlone();
};
