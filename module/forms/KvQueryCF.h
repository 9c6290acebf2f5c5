// TfrmKvQuery: the window of the suite's query programs. Condition pages
// and a result page in pgBody; per condition page the query kind sent to the
// query server, how the page's controls become the condition, the controls
// that must be filled and the result fields' display; date condition fields
// with their enter and leave checks; lookups and code checks for condition
// controls; the query run through the query server and the result grid.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Exceptions.h"
#include "KvCtrls.h"
#include "SingleCF.h"

class TSelectPanel;
class TdmKvQuery;

namespace vcl {
class TField;
class TClientDataSet;
}

// What one condition page of pgBody asks of the query.
// A condition value that cannot be used as typed (a date that is no date).
class EConditionValue : public plat::Exception {
public:
    using plat::Exception::Exception;
};

struct TQueryPageSpec {
    std::string F2Option;             // kind "-" parameter text
    std::string ConditionSpec;        // "control:column;v1,v2|control:column"
    std::string KeyFieldMap;          // "field:column|field:column" from the main dataset's record
    std::string RequiredControls;     // comma list of control names
    std::vector<std::string> ResultControlTypes;   // "field;kind;control" lines
    std::string NumberFields;         // comma list of result fields with the number format
    plat::Variant QueryParams;        // extra parameter of the next query; Null after each run
};

class TfrmKvQuery : public TfrmSingle {
    VCL_DECLARE_CLASS(TfrmKvQuery)
public:
    explicit TfrmKvQuery(vcl::TComponent* owner);
    ~TfrmKvQuery() override;

    // ---- components ----
    vcl::TPageControl* pgBody;
    vcl::TTabSheet* ts01;             // the first condition page, "查询"
    vcl::TTabSheet* tsResult;         // the result page, always the last
    TKvDBGrid* gdMain;
    vcl::TF2Button* btnView2;         // on the active condition page
    vcl::TToolButton* btnView;
    vcl::TMenuItem* mniView;

    // The handlers date fields get on entering and leaving.
    vcl::TNotifyEvent OnDateFieldEnter;
    vcl::TNotifyEvent OnDateFieldExit;

    // ---- state ----
    int StartPage = 0;
    int QueryPage = 0;                // the condition page of the last query
    int CurrentPage = -1;             // the page whose result is loaded
    int HeadMaxHeight = 0;
    std::string DateFields;           // registered date fields, comma list
    std::string YMFields, YMFields2;  // year-month fields: registered, not checked
    std::string ExtraCondition;
    bool UseExtraCondition = true;
    std::string LastKind, LastParamText;
    int CurrencySetting[4] = {0, 0, 0, 0};
    std::vector<std::string> SortableFields;
    // A click on a result column's title sorts the result by it.
    bool ColumnSorting = true;

    // The settings of condition page `index` of pgBody; created for every page
    // at start-up, and on first use for pages added later.
    TQueryPageSpec& Page(int index);
    int PageCount() const { return static_cast<int>(pages_.size()); }

    // ---- operations for derived windows ----
    // Registers the date fields of `names` ("sp02, sp05"); the same list
    // again changes nothing, a new one gives the old fields back their own handlers.
    void RegisterDateFields(const std::string& names);
    // "YYYYMMDD" of a date typed in the user's format: "" for blank text or an
    // untouched mask (or, for empty text with `fillEmpty`, `defaultValue`,
    // tomorrow for "-1"); a text that is not three numbers gives "0", a
    // non-date, never an exception. No calendar check.
    void DisplayDateToDb(const std::string& text, bool fillEmpty, std::string& result,
                         const std::string& defaultValue = {}) const;
    // A date typed as a condition: "" when nothing was typed, "YYYYMMDD" for a
    // real date, nullopt for anything else (fieldfmt::ConditionDate).
    std::optional<std::string> ConditionDate(const std::string& text) const;
    // The same for building a condition: raises EConditionValue for a text
    // that is no date, so that a bound is never dropped without a word.
    std::string ConditionDateValue(const std::string& text) const;
    // The text a date edit starts with: blanks for the parts, separators between.
    std::string BlankDateText() const;
    void OpenLookupWindow(vcl::TWinControl* control, const std::string& table, const plat::Variant& startValues,
                          const std::string& mode);
    void PickDate(vcl::TWinControl* control);
    // False when the host does not know the code (after the message of
    // `level`); true when it does or there was nothing to check.
    bool CheckCodeExists(const std::string& table, const std::string& mode, const std::string& level,
                         plat::Variant& result, const std::vector<plat::Variant>& keys);
    // The enter or leave step of a date field; false when leaving found an
    // invalid date (after message "E" "000005", with the focus in that edit).
    bool CheckDateField(vcl::TWinControl* control, bool entering);
    // The leave step of every registered date field, up to the first invalid
    // one; a query stops when this is false.
    bool CheckDateFields();
    // The 14 elements GetQueryData gets for the active page.
    plat::Variant QueryParameters(const std::string& kind, const std::string& paramText, int pageIndex);
    // "column='value' AND ..." from the page's KeyFieldMap and the main record.
    std::string KeyCondition(int pageIndex) const;

    // ---- the frame's operations ----
    virtual void BuildCondition();
    virtual bool CheckRequiredConditions();
    virtual bool CanRunQuery() { return true; }
    virtual void EnableQueryCommands(bool enabled);
    virtual void RunQuery();
    virtual void BindResultControls();

    vcl::TClass DataModuleClass() const override;
    void PrepareForm() override;
    void LoadClientSettings() override;
    // Add, edit, delete and save stay disabled whatever the rights, the
    // host's functions or the extra rights say.
    void RefreshButtons() override;
    void ApplyRights() override;

    // A query window only reads: whatever the rights and the host allow,
    // adding, editing and deleting do nothing and there is nothing to save;
    // cancelling or closing drops whatever a dataset holds, without a question.
    bool DoAdd() override { return false; }
    bool DoEdit() override { return false; }
    bool DoDelete(bool) override { return false; }
    bool SaveChanges() override { return false; }
    bool CancelChanges(bool confirm) override;
    void AfterFormShow() override;
    void ShowRecordPosition(vcl::TClientDataSet* dataSet) override;

    // ---- published handlers ----
    void FormCreate(vcl::TObject* sender) override;
    void FormShow(vcl::TObject* sender) override;
    void FormDestroy(vcl::TObject* sender) override;
    void FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) override;
    void FormCloseQuery(vcl::TObject* sender, bool& canClose) override;
    void pgBodyChanging(vcl::TObject* sender, bool& allow);
    virtual void pgBodyChange(vcl::TObject* sender);
    void DateFieldEnter(vcl::TObject* sender);
    void DateFieldExit(vcl::TObject* sender);
    void gdMainCalcCellColors(vcl::TObject* sender, vcl::TField* field, int recNo, bool active, vcl::TColor& background,
                              vcl::TColor& font);
    void gdMainCalcTitleAttributes(vcl::TObject* sender, vcl::TField* field, vcl::TColor& background);
    void gdMainTitleButtonClick(vcl::TObject* sender, const std::string& fieldName);
    void gdMainCalcTitleImage(vcl::TObject* sender, vcl::TField* field, int& image);
    void gdMainDblClick(vcl::TObject*) {}
    // The caption with the page of the last query.
    void setSelfFormOption();

    TdmKvQuery* QueryModule() const;
    // The export menu writes the query's result set.
    vcl::TClientDataSet* ExportDataSet() const override;

protected:
    void BindHandlers() override;
    // Loads the query server's answer into the body; false when it holds no record.
    virtual bool LoadResult(const plat::Variant& data);
    void ApplyDisplayLabels(const std::string& labels);
    // Shows a language text of this class through the window's message box.
    void ShowLangMessage(const std::string& key, const std::string& defaultText, const std::string& argument = {});

private:
    void SaveHandlers(vcl::TWinControl* control, const std::string& name);
    void RestoreHandlers(const std::string& names);
    void PlaceViewButton();
    std::vector<std::unique_ptr<TQueryPageSpec>> pages_;
    // Saved own handlers of date fields: "name.OnEnter" / "name.OnExit".
    std::map<std::string, vcl::TNotifyEvent> savedEvents_;
    int leavingPage_ = -1;
    bool resultLoaded_ = false;
};

// Language code of a code page for the query server: "CHS" 936, "CHT" 950, "ENG" 437.
std::string QueryLanguageCode(const std::string& codePage);
