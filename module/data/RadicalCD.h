// TdmRadical: the root of the data module chain that every program window
// owns. It connects to the application server and logs on, reads the
// server's date, stamps and normalises the system fields of maintained
// tables, writes changes back through the providers, builds key conditions
// from field values, labels fields, and publishes the field handlers with
// which stored dates, times and the like are shown and typed in the
// company's formats (FieldFormats.h).
#pragma once

#include <functional>
#include <string>

#include "Connections.h"
#include "DBClient.h"
#include "Forms.h"
#include "Variant.h"

class TBrokers;

class TdmRadical : public vcl::TDataModule {
    VCL_DECLARE_CLASS(TdmRadical)
public:
    explicit TdmRadical(vcl::TComponent* owner);
    ~TdmRadical() override;

    // ---- components ----
    vcl::TSimpleObjectBroker* SOB;
    vcl::TSocketConnection* MIDAS;            // the application server ("SOSRV01S.Class1" in programs)
    vcl::TClientDataSet* cdsSaveCondition;    // saved condition schemes, provider "pvdConSave"
    vcl::TSocketConnection* scLookUpData;     // the lookup server "PickerS.Class1"

    // ---- state ----
    TBrokers* Brokers = nullptr;    // the owning window's broker, set at start-up
    int DateFormatKind = 1;         // "SYS001"
    std::string DateSeparator;      // "SYS002"
    bool ConnectFlag = true;        // sent with "Connect"
    std::string ServerDate;         // "YYYYMMDD", the server's "TODAY"
    plat::Variant AppServer;        // the application server's automation interface
    std::string ScannerMode;        // "2": items are typed as bar codes (BarCodeFieldSetText)

    // Text from the window's display script back to storage (DOSetText);
    // identity until the window sets it.
    std::function<std::string(const std::string&)> FromDisplayText;

    // ---- the chain's operations ----
    virtual void NewRecordHook(vcl::TClientDataSet* dataSet) {}
    // Fills the system fields before a post (see the .cpp for the rules).
    virtual void StampSystemFields(vcl::TClientDataSet* dataSet);
    // 0 in the base; what a program does once logged on.
    virtual int AfterConnect() { return 0; }
    // Connects and logs on; true when the server accepted the log-on.
    // Connection failures raise (vcl::ESocketConnectionError).
    virtual bool ConnectServer();
    // Normalises the flags, posts and sends the changes (no error allowed);
    // true when all were applied. Failures are logged and raised again.
    virtual bool ApplyDataSet(vcl::TClientDataSet* dataSet);
    // Opens every closed dataset of the module that names a provider.
    virtual void OpenProviderDataSets();
    // Connects scLookUpData like the query connection: in process when the
    // main connection's address is 127.0.0.1. True when connected.
    bool ConnectLookupServer();

    // ---- services ----
    void InitNullFields(vcl::TClientDataSet* dataSet);
    static bool IsSystemField(const std::string& name);
    void SetSystemFieldsVisible(vcl::TClientDataSet* dataSet, bool visible);
    void LabelSystemFields(vcl::TClientDataSet* dataSet);
    void LoadServerDate();
    // Display labels from the module's language package (key: the field
    // name) and, while the window converts its texts, the code conversion
    // handlers on string fields that have none of their own.
    void TranslateLabels();
    // "t.a='x' and t.b=3" from the values of the active record; see the .cpp.
    static void BuildKeyCondition(vcl::TClientDataSet* dataSet, const std::string& fieldList, std::string& condition,
                                  const std::string& defaultPrefix = {}, const std::string& targetList = {});
    // Appends "[time] text" to the alert log; false on any file error.
    static bool WriteAlertLog(const std::string& name, const std::string& text, const std::string& period);
    // A language text of `className` (default when the package has none),
    // in the window's display script.
    std::string LangText(const std::string& className, const std::string& key, const std::string& defaultText) const;

    // ---- field handlers (attached to fields by the program's data modules) ----
    std::string DateFieldEditMask() const;
    void DateFieldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void DateFieldSetText(vcl::TField* sender, const std::string& text);
    void DateFieldValidate(vcl::TField* sender);
    std::string YMFieldEditMask() const;
    void YMFieldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void YMFieldSetText(vcl::TField* sender, const std::string& text);
    void YMFieldValidate(vcl::TField* sender);
    std::string MDFieldEditMask() const;
    void MDFieldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void MDFieldSetText(vcl::TField* sender, const std::string& text);
    void MDFieldValidate(vcl::TField* sender);
    std::string YearFieldEditMask() const;
    void YearFieldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void YearFieldSetText(vcl::TField* sender, const std::string& text);
    std::string TimeFieldEditMask() const;
    void TimeFieldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void TimeFieldSetText(vcl::TField* sender, const std::string& text);
    void TimeFieldValidate(vcl::TField* sender);
    std::string SecondFieldEditMask() const;
    void SecondFldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void SecondFldSetText(vcl::TField* sender, const std::string& text);
    std::string DayFieldEditMask() const;
    std::string MonthFieldEditMask() const;
    void DayFieldSetText(vcl::TField* sender, const std::string& text);
    void MonthFieldSetText(vcl::TField* sender, const std::string& text);
    void DayFieldValidate(vcl::TField* sender);
    void MonthFieldValidate(vcl::TField* sender);
    std::string PercentFieldEditMask() const;
    void PercentFieldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void PercentFieldSetText(vcl::TField* sender, const std::string& text);
    std::string NumberFieldDisplayFormat(int decimals) const;
    std::string NumberFieldEditFormat() const;
    void DateTimeFieldGetText(vcl::TField* sender, std::string& text, bool displayText);
    void DOGetText(vcl::TField* sender, std::string& text, bool displayText);
    void DOSetText(vcl::TField* sender, const std::string& text);
    void CustomerFieldSetText(vcl::TField* sender, const std::string& text);
    void ProviderFieldSetText(vcl::TField* sender, const std::string& text);
    void CostFieldSetText(vcl::TField* sender, const std::string& text);
    void BarCodeFieldSetText(vcl::TField* sender, const std::string& text);

    // Handler objects bound to this module, for attaching to field events.
    vcl::TFieldGetTextEvent GetTextHandler(void (TdmRadical::*handler)(vcl::TField*, std::string&, bool));
    vcl::TFieldSetTextEvent SetTextHandler(void (TdmRadical::*handler)(vcl::TField*, const std::string&));
    vcl::TFieldNotifyEvent NotifyHandler(void (TdmRadical::*handler)(vcl::TField*));

protected:
    // Closes datasets and connections while the owned parts still exist.
    void BeforeDestruction() override;

    // Normalises negative FLAG values before sending (the flag pass).
    void NormaliseFlags(vcl::TClientDataSet* dataSet);
    // Shows the coded message through the broker and ends the action silently.
    [[noreturn]] void RejectInput(const std::string& code) const;
    // Writes a field whatever its read-only state.
    static void WriteField(vcl::TField* field, const std::string& text);
    // Completes a typed code through the host lookup when `sysParam` asks for it.
    void CompleteCode(vcl::TField* sender, const std::string& text, const std::string& sysParam,
                      const std::string& table, const std::vector<std::string>& kinds);
    // Every client dataset owned by this module.
    std::vector<vcl::TClientDataSet*> DataSets() const;
    // The address the application server was reached at ("127.0.0.1" in process).
    std::string ServerAddress() const { return MIDAS->Address; }

private:
    void NormaliseRecord(vcl::TClientDataSet* dataSet);

private:
    void ShutDown();
    bool shutDown_ = false;
};
