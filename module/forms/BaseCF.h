// TfrmBase: the program window with a main dataset. It adds the tool bar,
// the main menu and the status bar; browse, add, edit and delete of the data
// module's main dataset with their coded questions; rights per command and
// per record; field groups that the user may only see or not see at all;
// per-user input settings and the user settings document; saved grid views;
// attached documents; filling fields from the host lookup; quick search in
// grids.
#pragma once

#include <functional>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ComCtrls.h"
#include "ImgList.h"
#include "Menus.h"
#include "RadicalCF.h"

class TMT_Doc;
class TdmBase;
class TkvSearchDialog;
class TKvDBGrid;

namespace vcl {
class TClientDataSet;
class TField;
class TStringGrid;
}

class TfrmBase : public TfrmRadical {
    VCL_DECLARE_CLASS(TfrmBase)
public:
    explicit TfrmBase(vcl::TComponent* owner);
    ~TfrmBase() override;

    // ---- components ----
    vcl::TStatusBar* Status;
    vcl::TToolBar* ToolBar1;
    vcl::TMainMenu* MainMenu;
    vcl::TImageList* ImageList1;
    TkvSearchDialog* kvSearchDialog1;
    vcl::TToolButton *btnAdd, *btnQuery, *btnEdit, *btnDelete, *btnPrint, *btnFirst, *btnPrior, *btnNext, *btnLast,
        *btnReFresh;
    vcl::TMenuItem *MenuItem1, *miAdd, *miQuery, *miEdit, *miDelete, *miViewItem, *miFirst, *miPrior, *miNext,
        *miLast, *NG;
    vcl::TMenuItem *MenuItem11, *miToolBar, *miManager, *mnSearch;
    vcl::TMenuItem *MenuItem16, *miExit;

    // ---- state ----
    uint8_t EditMode = 0;                // 0 browse, 1 edit, 2 insert
    bool CanAdd = false, CanQuery = false, CanEdit = false, CanDelete = false, CanPrint = false;
    bool RightC4 = false, RightC5 = false, RightC10 = false, RightC11 = false, RightC12 = false;
    bool GroupAView = false, GroupAReadOnly = false, GroupBView = false, GroupBReadOnly = false;
    // Field lists: "dataset:field,field;dataset:field", filled by the program.
    std::string RequiredFields, GroupAFields, GroupBFields, Sys024Fields1, Sys024Fields2, LookupFields;
    bool IsFocusPageOne = true;          // "InputSettings001"
    bool IsKeepOnAdd = true;             // "InputSettings002"
    vcl::TForm* QBEForm = nullptr;       // the query-by-example window, when the program has one
    std::string QBECondition, QBEOrder;  // what the query-by-example window hands over
    std::string KeyCondition;            // set by ReloadCurrentRecord
    bool ItemDocuments = false;          // attached documents are item documents
    bool CloseOnCancel = false;
    bool Exporting = false;              // an export runs: the window refuses to close
    bool FieldManagement = false;        // the data module shows its system fields

    // The per-user settings document, asked from the server on first use.
    TMT_Doc* UserSettings();
    // Relabels, hides, widens and places the grid's columns as the user
    // settings document's section named after the grid says.
    void ApplyUserSettingsToGrid(TKvDBGrid* grid);

    // ---- the chain's operations ----
    vcl::TClass DataModuleClass() const override;
    void DoKeyF2(uint16_t& key, vcl::TWinControl* control) override;
    void DoKeyF3(uint16_t& key, vcl::TWinControl* control) override;
    void DoKeyF4(uint16_t& key, vcl::TWinControl* control) override;
    void DoKeyF11(uint16_t& key, vcl::TWinControl* control) override;
    void AfterFormShow() override;
    void PrepareForm() override;
    void LoadUserRights() override;
    void LoadClientSettings() override;
    void LoadUserSettings() override;
    void RefreshButtons() override;
    void GetHelpTopic(const std::string& prefix, std::string& topic) override;

    virtual bool DoAdd();
    virtual bool DoEdit();
    virtual bool DoDelete(bool confirm);
    virtual void DoQuery() {}
    virtual void DoPrint() {}
    // Posts and sends the main dataset's changes; the base has nothing to save.
    virtual bool SaveChanges();
    // False when the user declines to give up the changes.
    virtual bool CancelChanges(bool confirm);
    virtual void CloseProgram();
    virtual void ViewDocument();
    virtual void ApplyRights();
    virtual void ApplyQBECondition();
    virtual bool KeepEditOnCancel() { return false; }
    // False (after E000003 and focusing the field) when a required field of
    // `dataSet` is empty in edit or insert mode.
    virtual bool CheckRequiredFields(vcl::TClientDataSet* dataSet);
    virtual void ShowMode(int mode);
    virtual void ShowRecordPosition(vcl::TClientDataSet* dataSet);
    virtual void SaveView();
    virtual void LoadView();
    virtual void AfterLoadView() {}
    virtual void TranslateFieldName(const std::string& name, std::string& result) { result = name; }
    // False when setting the condition or reloading raised.
    virtual bool ApplyCondition(const std::string& where, const std::string& order);
    virtual bool ReloadCurrentRecord();
    virtual void ReloadMain();
    virtual void SetDataSetCondition(vcl::TClientDataSet* dataSet, const std::string& where, const std::string& order);

    // Sets EditMode and shows mode 1 browse, 2 edit, 3 insert.
    void SetEditMode(uint8_t mode);
    // Fills the control's field from the host lookup when `fieldList` allows it.
    void FillFromLookup(vcl::TWinControl* control, const std::string& fieldList, bool force);
    // A per-user input setting: element `name` of section `section`'s
    // document is "True"; `fallback` when the server has none or it does not parse.
    bool UserSetting(const std::string& section, const std::string& name, bool fallback);
    // The ".ugs" file SaveView writes (and LoadView reads first).
    std::string ViewFileName() const;
    std::string GridPath() const;

    vcl::TClientDataSet* MainDataSet() const;
    TdmBase* BaseModule() const;

    // ---- published handlers ----
    void FormCreate(vcl::TObject* sender) override;
    void FormShow(vcl::TObject* sender) override;
    void FormClose(vcl::TObject* sender, vcl::TCloseAction& action) override;
    void FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) override;
    virtual void FormCloseQuery(vcl::TObject* sender, bool& canClose);
    virtual void FormActivate(vcl::TObject*) {}
    void miAddClick(vcl::TObject*) { DoAdd(); }
    void miQueryClick(vcl::TObject*) { DoQuery(); }
    void miEditClick(vcl::TObject*) { DoEdit(); }
    void miDeleteClick(vcl::TObject*) { DoDelete(true); }
    void miFirstClick(vcl::TObject*);
    void miPriorClick(vcl::TObject*);
    void miNextClick(vcl::TObject*);
    void miLastClick(vcl::TObject*);
    void miExitClick(vcl::TObject*) { Close(); }
    void miToolBarClick(vcl::TObject*);
    void miManagerClick(vcl::TObject*);
    void miViewItemClick(vcl::TObject*) { ViewDocument(); }
    void NGClick(vcl::TObject*) { SaveView(); }
    void mnSearchClick(vcl::TObject*);
    void MenuItem11Click(vcl::TObject*);
    void DateFieldDBComboDlgExit(vcl::TObject* sender);

protected:
    void BindHandlers() override;
    // Entry "dataset:f1,f2" lists of a field list; blanks removed.
    static std::vector<std::pair<std::string, std::vector<std::string>>> ParseFieldList(const std::string& list);
    void MakeFieldsReadOnly(const std::string& list);
    void HideFields(const std::string& list);
    void ForEachListedField(const std::string& list, const std::function<void(vcl::TField*)>& onField,
                            const std::function<void(vcl::TComponent*)>& onControl);
    // The grid the control is, or sits in; nullptr when none.
    static TKvDBGrid* GridOf(vcl::TControl* control);
    // The string grid the control is, or sits in; nullptr when none.
    static vcl::TStringGrid* StringGridOf(vcl::TControl* control);
    void SyncToolBarCheck();
    // The window's data grid that shows `dataSet`; nullptr when none does.
    TKvDBGrid* GridShowing(const vcl::TClientDataSet* dataSet) const;

private:
    // The tag the window's description gives its bars, its menu and most menu items.
    static constexpr int kMenuTag = 2000;
    // Layout (BaseCFLayout.cpp), in the order the constructor calls them.
    void CreateImageList();
    void CreateStatusBar();
    void CreateToolBar();
    void CreateMainMenu();
    void CreateSearchDialog();

    bool CancelOrKeep(bool confirm);
    std::unique_ptr<TMT_Doc> userSettings_;
};
