// The window's single gateway to the host shell's services: server calls,
// system parameters, message texts and coded message dialogs, the lookup
// (F2) window, code checks and the start of other programs of the suite.
// It also carries the signed-in identity that every call passes along.
//
// Every service is an automation object held in a variant. A service that is
// not an automation object (never bound, or the host has none) makes each
// operation a no-op with its "empty" answer: empty text, false, Unassigned
// or -1. No operation raises because a service is missing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "BrokerOwner.h"
#include "Classes.h"
#include "DBClient.h"
#include "StringList.h"
#include "Variant.h"

class TBrokers : public vcl::TComponent {
    VCL_DECLARE_CLASS(TBrokers)
public:
    // `window` supplies handle, caption, code pages, display conversion,
    // user rights and the after-message hook; it may be nullptr (then the
    // broker behaves as for a window without caption, handle or rights).
    TBrokers(vcl::TComponent* owner, IBrokerOwner* window);
    ~TBrokers() override;

    // Bits of `Services`: which host services BindServices fetches.
    static constexpr uint8_t kBindValidator = 1 << 1;
    static constexpr uint8_t kBindLookup = 1 << 2;
    static constexpr uint8_t kBindCounter = 1 << 3;

    // Reads the current value, as text, of a field of the caller's dataset.
    using FieldReader = std::function<std::string(const std::string& fieldName)>;

    std::string ProgramCode;
    std::string UserID;
    std::string UserGroup;
    std::string CompanyID;
    std::string DatabaseName;
    // Program registry attributes (LoadProgramInfo).
    std::string ProgramTitle;
    std::string PrintProgram;
    std::string ProgramAttributes[5];   // registry attributes 2..6, stored unchanged
    plat::TStringList SysParams;
    uint8_t Services = 15;
    plat::Variant HostObject;
    plat::Variant LookupService;
    plat::Variant ValidatorService;
    plat::Variant CounterService;
    plat::TStringList UserInfo;
    bool ProgramFlagY = false;
    uint8_t ProgramKind = 0;            // "W" 1, "E" 2, "Z" 3, else 0

    // Fetches the validator, lookup and counter services (as `Services`
    // asks) from the host object and loads the program attributes. False
    // (after three beeps) when the host object is no automation object or
    // the host raises.
    bool BindServices();
    // Fills SysParams from the counter's "GetSysInfo"; false when there is
    // no counter or its answer is empty.
    bool LoadSysParams();
    // Empty for an empty or unknown name.
    std::string GetSysParam(const std::string& name) const;
    // Ignored for an empty name; an empty value removes the parameter.
    void SetSysParam(const std::string& name, const std::string& value);

    // Runs a server method ("SimpleSQL", "UnitConvert") through the counter
    // service for the user's company and database. Unassigned without the
    // counter; host errors pass to the caller.
    plat::Variant CallServer(const std::string& methodName, const plat::Variant& params);
    // Code checks through the validator; false without it or on any error.
    bool CheckValue(const std::string& table, const std::string& kind, const plat::Variant& key,
                    plat::Variant& answer);
    bool QueryData(const std::string& table, const std::string& kind, const plat::Variant& key,
                   plat::Variant& answer);
    // Next sequence number of `table` for the key fields named in `fieldList`
    // (comma-separated; a final comma is optional) read from the dataset.
    // `result` is "unKnow" when the host declines or fails.
    void QueryMaxSeq(const FieldReader& dataSet, const std::string& table, std::string& result,
                     const plat::Variant& extra, const std::string& fieldList);
    // The same with the values of the dataset's active record; a field the
    // dataset lacks makes the result "unKnow".
    void QueryMaxSeq(vcl::TClientDataSet& dataSet, const std::string& table, std::string& result,
                     const plat::Variant& extra, const std::string& fieldList);

    // The host's message text of a kind letter and a six-digit code; empty
    // without the host object. Host errors pass to the caller.
    std::string GetMessageText(const std::string& kind, const std::string& code);
    // Shows the host message `kind`/`code` with `args` in its placeholders
    // and answers the dialog's modal result. `codePage` is accepted for the
    // callers' sake; the text's script follows the window. `defaultButton`
    // indexes Yes, No, OK, Cancel, Abort, Retry, Ignore, All, No to all,
    // Yes to all, Help. Kind "W" answered other than OK with
    // `abortOnCancel` raises plat::EAbort to end the calling action silently.
    int ShowCodedMessage(const std::string& kind, const std::string& code, const std::vector<plat::Variant>& args,
                         int codePage = 936, bool abortOnCancel = true, int defaultButton = 2);

    // Opens the host lookup window. `answer` is the host's answer, Unassigned
    // without the lookup service. `handle` 0 means the owner window. `spare`
    // is not used. Host errors pass to the caller.
    void F2GetData(const std::string& table, const std::string& mode, plat::Variant& answer,
                   const std::string& text13 = {}, const std::string& text12 = {}, const std::string& text11 = {},
                   intptr_t handle = 0, const std::string& spare = {}, bool flag9 = false, bool flag3 = false,
                   const std::string& text4 = {}, const plat::Variant& start = {});
    // The host's date picker; `shiftedYears` for the year-1911 date kinds.
    // Empty without the lookup service.
    std::string ShowInputDay(bool shiftedYears, const plat::Variant& value);
    // The user's phrase chosen in the host's phrase window, starting from
    // `text`; empty when the host answers a negative code or has no service.
    std::string GetPhrase(const std::string& text);
    // The host calculator's value of `expression`; a failing call shows
    // message E000032 asking for the lookup component update and answers "".
    std::string GetCalcValue(const std::string& expression);
    // The host's character map. Empty texts stand for the user, the company
    // and the owner window's handle. Unassigned without the lookup service.
    plat::Variant ShowCharacters(int number, bool flag, const std::string& text1 = {},
                                 const std::string& text2 = {}, const std::string& text3 = {});

    // Starts another program of the suite through the host and answers the
    // host's code (-1 without the host object). `options` Empty or Null
    // means [0, 4, Unassigned]. With `showErrors`, a negative code shows
    // message E000032 naming the program.
    int ExecWork(const std::string& programCode, const plat::Variant& param, bool showErrors,
                 plat::Variant& answer, const plat::Variant& options = {});

    // Reads this program's registry attributes (title, print program, flags).
    void LoadProgramInfo();
    std::string GetProgramTitle() const { return ProgramTitle; }
    std::string GetPrintProgram() const { return PrintProgram; }
    // Name of any program of the suite (English name under code page "437");
    // the code itself when the registry does not answer.
    std::string GetProgramName(const std::string& programCode);
    // Records fetched per request: user information "MAX_RECORD", 0 when it
    // is not a whole number, at most 40.
    int GetMaxRecord() const;

    IBrokerOwner* Window() const { return window_; }
    void SetWindow(IBrokerOwner* window) { window_ = window; }

private:
    bool Validate(const std::string& member, const std::string& table, const std::string& kind,
                  const plat::Variant& key, plat::Variant& answer);
    plat::Variant ProductID();
    // The text for a failed start of another program, with "%s" for its
    // name, in the display script; empty for a code without one.
    std::string ExecWorkErrorText(int code) const;
    // A text of the broker's own: message `key` of the language package
    // "TBrokers" when the installation's language has one, else the designed
    // (simplified Chinese) text in the display script.
    std::string OwnText(const std::string& key, const std::string& designed) const;

    // What the owner window tells; neutral values without a window.
    intptr_t OwnerHandle() const;
    std::string UICodePage() const;
    std::string DBCodePage() const;
    int ConversionMode() const;
    std::string ToDisplay(const std::string& text) const;
    bool HasUserRight(int element) const;

    IBrokerOwner* window_ = nullptr;
};
