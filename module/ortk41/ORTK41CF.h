// TfrmORTK41: the order tracking window. The conditions page lists the
// confirmed sales-order lines the user asks for; the results page shows them,
// expands one into the tree of its downstream documents and opens a document
// in the program that maintains it.
#pragma once

#include <string>
#include <vector>

#include "StringList.h"
#include "forms/KvQueryCF.h"
#include "ortk41/Listing.h"
#include "ortk41/OrderOutline.h"

namespace vcl {
class TBitBtn;
class TButton;
class TComboBox;
class TKvBtnEdit;
class TLabel;
class TMemo;
class TPageControl;
class TPanel;
class TSplitter;
class TStringGrid;
class TTabSheet;
class TTreeView;
}  // namespace vcl
class TSelectPanel;
class TfrmORTK41DF;
class TfrmStatus;
class TOLEExcel;

class TfrmORTK41 : public TfrmKvQuery {
    VCL_DECLARE_CLASS(TfrmORTK41)
public:
    explicit TfrmORTK41(vcl::TComponent* owner);

    vcl::TClass DataModuleClass() const override;

    // ---- layout ----
    vcl::TPageControl* PageControl1 = nullptr;
    vcl::TTabSheet* TabSheet1 = nullptr;   // conditions
    vcl::TTabSheet* TabSheet2 = nullptr;   // results
    TSelectPanel* sp01 = nullptr;          // order type and number
    TSelectPanel* sp02 = nullptr;          // order date
    TSelectPanel* sp03 = nullptr;          // customer
    TSelectPanel* sp04 = nullptr;          // customer's order number
    TSelectPanel* sp05 = nullptr;          // planned delivery date
    vcl::TLabel* lbl06 = nullptr;
    vcl::TComboBox* cbo06 = nullptr;       // closed / open / all
    vcl::TLabel* lblProject = nullptr;
    vcl::TKvBtnEdit* ed07 = nullptr;       // project number
    vcl::TLabel* lbl07 = nullptr;          // the project's name
    vcl::TButton* btnQuery1 = nullptr;
    vcl::TButton* btnExit = nullptr;
    vcl::TPanel* Panel3 = nullptr;
    vcl::TStringGrid* StringGrid1 = nullptr;
    vcl::TPanel* pnlQueryBar = nullptr;
    vcl::TLabel* lblQuery1 = nullptr;
    vcl::TLabel* lblQuery2 = nullptr;
    vcl::TBitBtn* BitBtn1 = nullptr;       // expand
    vcl::TBitBtn* btnExport = nullptr;
    vcl::TSplitter* Splitter1 = nullptr;
    vcl::TPanel* pnlTree = nullptr;
    vcl::TTreeView* TreeView = nullptr;
    vcl::TPanel* pnlViewBar = nullptr;
    vcl::TLabel* lblView1 = nullptr;
    vcl::TLabel* lblView2 = nullptr;
    vcl::TBitBtn* BitBtn2 = nullptr;       // open
    vcl::TMemo* memolng = nullptr;         // vocabulary of the list and the tree
    vcl::TMemo* Memo1 = nullptr;           // vocabulary of the export outline
    vcl::TMemo* Memo2 = nullptr;           // heading of the item details column (规格)

    // The labels of the listed rows: row i of the last list belongs to grid
    // row i + 1. They are composed when asked for (a click, an expansion, an
    // export) from the listed values kept as answered, not for every row of
    // a long list as it is shown; "" outside the list.
    int ListedLineCount() const;
    std::string OrderHeadText(int i) const;
    std::string OrderLineText(int i) const;

    // ---- export ----
    std::string ExportFolder;                 // proposed to the export dialog: the client folder
    TfrmORTK41DF* ExportDialog = nullptr;     // created with the window, reused for every export

    // ---- operations ----
    virtual void ExpandOrder();
    // Writes the outline of every listed order line into a new workbook at
    // the dialog's path, with a progress window, and opens the file.
    virtual void ExportOrders();
    void AddRangeCondition(TSelectPanel* panel, const std::string& column, std::string& sql, bool isDate);
    void AddPairRangeCondition(TSelectPanel* panel, const std::string& columnA, std::string& sql,
                               const std::string& columnB);
    // The order-list SQL for the conditions on the page.
    std::string OrderListSql();

    void PrepareForm() override;
    void DoKeyF2(uint16_t& key, vcl::TWinControl* control) override;
    void RunQuery() override;
    void ShowRecordPosition(vcl::TClientDataSet* dataSet) override;

    // ---- published handlers ----
    void FormCreate(vcl::TObject* sender) override;
    void FormShow(vcl::TObject* sender) override;
    void btnQuery1Click(vcl::TObject* sender);
    void btnExitClick(vcl::TObject* sender);
    void StringGrid1Click(vcl::TObject* sender);
    void btn03Click(vcl::TObject* sender);
    void TreeViewClick(vcl::TObject* sender);
    void btn02Click(vcl::TObject* sender);
    void btnExportClick(vcl::TObject* sender);
    void ed07Exit(vcl::TObject* sender);

    // Label line n of memolng / Memo1 ("" beyond the last line).
    ortk41::LabelLines TreeLabels() const;
    ortk41::LabelLines OutlineLabels() const;
    // What listings need from this window: the server, row conversion, dates.
    ortk41::ListingServices Services();
    std::string DbDateToDisplay(const std::string& dbDate) const;
    // A date as the window shows it, stored: "" for none; raises
    // EConditionValue for a text that is no date.
    std::string DateToDb(const std::string& shown) const;

private:
    // RunQuery; false when a date condition stopped it before it ran.
    bool RunOrderQuery();
    void CreateConditionPage();
    void CreateResultPage();
    void CreateVocabulary();
    void WireHandlers();
    void PrepareGrid();
    void PlaceQueryBar();
    void PlaceViewBar();
    void ClearResults();
    // Writes one answer row into grid row `gridRow`.
    void AddOrderRow(int gridRow, const plat::Variant& row);
    // Row i of the last list, nullptr outside it.
    const plat::Variant* ListedRow(int i) const;
    TSelectPanel* PanelOf(vcl::TWinControl* control) const;
    std::vector<std::string> GridHeading() const;
    ortk41::OutlineOrder GridOrder(int row) const;
    void WriteOutline(TOLEExcel& excel, TfrmStatus& status);
    // The steps of ExportOrders; each false when the export stops there.
    bool ExportPath(std::string& path);
    bool StartExcel(TOLEExcel& excel);
    bool ClaimExportFile(TOLEExcel& excel, const std::string& path);
    bool FillExportFile(TOLEExcel& excel, TfrmStatus& status, const std::string& path);
    void SaveExportFile(TOLEExcel& excel, TfrmStatus& status);
    void RemoveUnfinishedExport(const std::string& path);
    void ExportFailed(const std::string& path, const std::string& where, const std::string& reason, bool nameTaken);

    plat::Variant listed_;        // the rows of the last order list, converted as shown; Empty before one
    std::string deliveryLabel_;   // memolng line 5 as it read when the list was made
};
