// The order tracking window: its layout, the conditions and the order list,
// expanding a line into its document tree, and opening a document. The SQL,
// the tree and the key rules live in units that need no window (OrderQuery,
// OrderTree, NodeKey); this unit wires the controls to them.
#include "ORTK41CF.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "Buttons.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Grids.h"
#include "KvCtrls.h"
#include "Mask.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "controls/SelectPnl.h"
#include "data/Brokers.h"
#include "data/FieldFormats.h"
#include "ORTK41CD.h"
#include "ORTK41DF.h"
#include "Format.h"
#include "LongCall.h"
#include "SystemInfo.h"
#include "data/SingleCD.h"
#include "export/OleExcel.h"
#include "forms/ExportScope.h"
#include "forms/StatusForm.h"
#include "lang/CodeConverter.h"
#include "ortk41/OutlineSheet.h"
#include "ortk41/NodeKey.h"
#include "ortk41/OrderQuery.h"
#include "ortk41/OrderTree.h"

using namespace vcl;

namespace {

constexpr int kRowHeight = 20;
constexpr int kQueryCaptionWidth = 90;   // "展开订单信息:"
constexpr int kViewCaptionWidth = 70;    // "开启作业:"
const int kColumnWidths[6] = {60, 90, 30, 150, 150, 300};
const char* const kOrderMask = "!cccc-ccccccccccc;0; ";

template <class T>
T* Make(TfrmORTK41* form, TWinControl* parent, const std::string& name) {
    T* control = TComponent::Create<T>(form);
    control->SetName(name);
    control->SetParent(parent);
    return control;
}

// Adds tree nodes to a tree view: the sink of the tree builder.
class TreeViewSink : public ortk41::ITreeSink {
public:
    explicit TreeViewSink(TTreeView* view) : view_(view) {}
    Node Add(Node parent, const std::string& text, int kind) override {
        TTreeNode* node = parent == kTopLevel ? view_->Items()->Add(nullptr, text)
                                              : view_->Items()->AddChild(nodes_.at(static_cast<size_t>(parent)), text);
        node->SetSelectedIndex(kind);   // the tree has no images: the index carries the kind code
        nodes_.push_back(node);
        return static_cast<Node>(nodes_.size() - 1);
    }

private:
    TTreeView* view_;
    std::vector<TTreeNode*> nodes_;
};

// Keeps the tree's update bracket balanced on every path, errors included.
class TreeUpdate {
public:
    explicit TreeUpdate(TTreeNodes* nodes) : nodes_(nodes) { nodes_->BeginUpdate(); }
    ~TreeUpdate() { nodes_->EndUpdate(); }

private:
    TTreeNodes* nodes_;
};

void SetLines(TMemo* memo, const std::vector<std::string>& lines) {
    memo->Lines()->Clear();
    for (const std::string& line : lines) memo->Lines()->Add(line);
}

}  // namespace

const TClassInfo& TfrmORTK41::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TfrmORTK41>("TfrmORTK41", TfrmKvQuery::StaticClass());
    return info;
}

TfrmORTK41::TfrmORTK41(TComponent* owner) : TfrmKvQuery(owner) {}

TClass TfrmORTK41::DataModuleClass() const { return &TdmORTK41::StaticClass(); }

void TfrmORTK41::FormCreate(TObject* sender) {
    TfrmKvQuery::FormCreate(sender);
    SetCaption("订单追踪查询");
    SetBounds(Left(), Top(), 960, 600);
    // The frame's head panel becomes the client area that holds the pages;
    // its own page control stays hidden behind them.
    pgHead->SetVisible(false);
    pnlHead->SetAlign(TAlign::alClient);
    PageControl1 = Make<TPageControl>(this, pnlHead, "PageControl1");
    PageControl1->SetAlign(TAlign::alClient);
    TabSheet1 = Make<TTabSheet>(this, PageControl1, "TabSheet1");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet1->SetCaption("查询条件");
    TabSheet2 = Make<TTabSheet>(this, PageControl1, "TabSheet2");
    TabSheet2->SetPageControl(PageControl1);
    TabSheet2->SetCaption("查询结果");
    CreateConditionPage();
    CreateResultPage();
    CreateVocabulary();
    WireHandlers();
    ExportDialog = TComponent::Create<TfrmORTK41DF>(this);
}

void TfrmORTK41::CreateConditionPage() {
    // `lookup` names the lookup in the hints of the start and end edits ("[F2]"
    // and the name) and of their buttons (the name); sp04 keeps the panel's hints.
    struct PanelSpec { TSelectPanel** panel; const char* name; const char* caption; int top; const char* lookup; };
    const PanelSpec specs[] = {
        {&sp01, "sp01", "选择订单单号", 12, "订单信息查询"}, {&sp02, "sp02", "订单日期", 62, "日期快手"},
        {&sp03, "sp03", "客户编号", 112, "客户信息查询"},   {&sp04, "sp04", "客户单号", 162, nullptr},
        {&sp05, "sp05", "预交货日", 212, "日期快手"},
    };
    for (const PanelSpec& s : specs) {
        *s.panel = Make<TSelectPanel>(this, TabSheet1, s.name);
        (*s.panel)->SetCaption(s.caption);
        (*s.panel)->SetBounds(16, s.top, 520, 46);
        if (s.lookup) {
            TStrings* hints = (*s.panel)->ChildHints();
            for (int i : {1, 3}) hints->Put(i, std::string("[F2]") + s.lookup);
            for (int i : {2, 4}) hints->Put(i, s.lookup);
        }
    }
    lbl06 = Make<TLabel>(this, TabSheet1, "lbl06");
    lbl06->SetCaption("结束");
    lbl06->SetBounds(24, 272, 60, 20);
    cbo06 = Make<TComboBox>(this, TabSheet1, "cbo06");
    cbo06->SetStyle(TComboBoxStyle::csDropDownList);
    for (const char* item : {"1:已结束", "2:未结束", "3:全部"}) cbo06->Items()->Add(item);
    cbo06->SetBounds(96, 268, 140, 24);
    lblProject = Make<TLabel>(this, TabSheet1, "lblProject");
    lblProject->SetCaption("项目编号");
    lblProject->SetBounds(24, 306, 60, 20);
    ed07 = Make<TKvBtnEdit>(this, TabSheet1, "ed07");
    ed07->SetHint("[F2]项目编号查询");
    ed07->SetShowHint(true);
    ed07->SetBounds(96, 302, 180, 24);
    lbl07 = Make<TLabel>(this, TabSheet1, "lbl07");
    lbl07->SetCaption("");
    lbl07->SetBounds(288, 306, 240, 20);
    btnQuery1 = Make<TButton>(this, TabSheet1, "btnQuery1");
    btnQuery1->SetCaption("查询");
    btnQuery1->SetBounds(560, 20, 90, 30);
    btnExit = Make<TButton>(this, TabSheet1, "btnExit");
    btnExit->SetCaption("离开");
    btnExit->SetBounds(560, 60, 90, 30);
}

void TfrmORTK41::CreateResultPage() {
    Panel3 = Make<TPanel>(this, TabSheet2, "Panel3");
    Panel3->SetCaption("");
    Panel3->SetAlign(TAlign::alLeft);
    Panel3->SetWidth(350);
    Splitter1 = Make<TSplitter>(this, TabSheet2, "Splitter1");
    Splitter1->SetAlign(TAlign::alLeft);
    Splitter1->SetMinSize(100);
    pnlQueryBar = Make<TPanel>(this, Panel3, "pnlQueryBar");
    pnlQueryBar->SetCaption("");
    pnlQueryBar->SetAlign(TAlign::alBottom);
    pnlQueryBar->SetHeight(36);
    StringGrid1 = Make<TStringGrid>(this, Panel3, "StringGrid1");
    StringGrid1->SetAlign(TAlign::alClient);
    lblQuery1 = Make<TLabel>(this, pnlQueryBar, "lblQuery1");
    lblQuery1->SetCaption("展开订单信息:");
    lblQuery1->SetBounds(4, 10, kQueryCaptionWidth, 18);
    lblQuery2 = Make<TLabel>(this, pnlQueryBar, "lblQuery2");
    lblQuery2->SetCaption("");
    lblQuery2->SetBounds(96, 10, 150, 18);
    BitBtn1 = Make<TBitBtn>(this, pnlQueryBar, "BitBtn1");
    BitBtn1->SetCaption("展开");
    BitBtn1->SetBounds(250, 4, 46, 28);
    btnExport = Make<TBitBtn>(this, pnlQueryBar, "btnExport");
    btnExport->SetCaption("汇出");
    btnExport->SetBounds(300, 4, 46, 28);
    pnlQueryBar->OnResize = TNotifyEvent([this](TObject*) { PlaceQueryBar(); }, this);
    PlaceQueryBar();

    pnlTree = Make<TPanel>(this, TabSheet2, "pnlTree");
    pnlTree->SetCaption("");
    pnlTree->SetAlign(TAlign::alClient);
    pnlViewBar = Make<TPanel>(this, pnlTree, "pnlViewBar");
    pnlViewBar->SetCaption("");
    pnlViewBar->SetAlign(TAlign::alBottom);
    pnlViewBar->SetHeight(36);
    TreeView = Make<TTreeView>(this, pnlTree, "TreeView");
    TreeView->SetAlign(TAlign::alClient);
    TreeView->SetReadOnly(true);
    TreeView->SetHideSelection(false);
    TreeView->SetIndent(19);
    TreeView->SetDragMode(TDragMode::dmAutomatic);
    lblView1 = Make<TLabel>(this, pnlViewBar, "lblView1");
    lblView1->SetCaption("开启作业:");
    lblView1->SetBounds(4, 10, kViewCaptionWidth, 18);
    lblView2 = Make<TLabel>(this, pnlViewBar, "lblView2");
    lblView2->SetCaption("");
    lblView2->SetBounds(76, 10, 300, 18);
    BitBtn2 = Make<TBitBtn>(this, pnlViewBar, "BitBtn2");
    BitBtn2->SetCaption("开启");
    BitBtn2->SetBounds(380, 4, 56, 28);
    pnlViewBar->OnResize = TNotifyEvent([this](TObject*) { PlaceViewBar(); }, this);
    PlaceViewBar();
}

// The bars' buttons keep their place against the bar's right edge whatever
// the splitter and the window do; the labels take the room left of them and
// no more. The margins are small enough that both buttons of the list's bar
// still fit when the splitter leaves the list its least width.
namespace {
constexpr int kBarMargin = 2, kBarGap = 2;

void FitLabelBefore(TLabel* label, int width, const TControl* next) {
    label->SetWidth(std::clamp(next->Left() - kBarGap - label->Left(), 0, width));
}
}  // namespace

void TfrmORTK41::PlaceQueryBar() {
    btnExport->SetLeft(pnlQueryBar->ClientWidth() - kBarMargin - btnExport->Width());
    BitBtn1->SetLeft(btnExport->Left() - kBarGap - BitBtn1->Width());
    FitLabelBefore(lblQuery1, kQueryCaptionWidth, BitBtn1);
    FitLabelBefore(lblQuery2, std::numeric_limits<int>::max(), BitBtn1);
}

void TfrmORTK41::PlaceViewBar() {
    BitBtn2->SetLeft(pnlViewBar->ClientWidth() - kBarMargin - BitBtn2->Width());
    FitLabelBefore(lblView1, kViewCaptionWidth, BitBtn2);
    FitLabelBefore(lblView2, std::numeric_limits<int>::max(), BitBtn2);
}

// The hidden vocabulary memos: part of the form, so that language packages
// translate them with it, and read by line number.
void TfrmORTK41::CreateVocabulary() {
    memolng = Make<TMemo>(this, pnlHead, "memolng");
    SetLines(memolng, ortk41::DefaultTreeLabels());
    Memo1 = Make<TMemo>(this, pnlHead, "Memo1");
    SetLines(Memo1, ortk41::DefaultOutlineLabels());
    Memo2 = Make<TMemo>(this, pnlHead, "Memo2");
    SetLines(Memo2, {"规格"});
    for (TMemo* memo : {memolng, Memo1, Memo2}) memo->SetVisible(false);
}

void TfrmORTK41::WireHandlers() {
    btnQuery1->OnClick = TNotifyEvent([this](TObject* s) { btnQuery1Click(s); }, this);
    btnExit->OnClick = TNotifyEvent([this](TObject* s) { btnExitClick(s); }, this);
    StringGrid1->OnClick = TNotifyEvent([this](TObject* s) { StringGrid1Click(s); }, this);
    StringGrid1->OnDblClick = TNotifyEvent([this](TObject* s) { btn03Click(s); }, this);
    BitBtn1->OnClick = TNotifyEvent([this](TObject* s) { btn03Click(s); }, this);
    TreeView->OnClick = TNotifyEvent([this](TObject* s) { TreeViewClick(s); }, this);
    TreeView->OnDblClick = TNotifyEvent([this](TObject* s) { btn02Click(s); }, this);
    BitBtn2->OnClick = TNotifyEvent([this](TObject* s) { btn02Click(s); }, this);
    btnExport->OnClick = TNotifyEvent([this](TObject* s) { btnExportClick(s); }, this);
    ed07->OnExit = TNotifyEvent([this](TObject* s) { ed07Exit(s); }, this);
    ed07->OnButtonClick = TNotifyEvent([this](TObject*) {
        uint16_t key = 0x71;   // F2
        DoKeyF2(key, ed07);
    }, this);
}

void TfrmORTK41::PrepareForm() {
    TfrmKvQuery::PrepareForm();
    for (const char* frame : {"pgBody", "pgHead", "ToolBar1", "gdMain", "gdHead"})
        if (auto* control = dynamic_cast<TControl*>(FindComponent(frame))) control->SetVisible(false);
    pnlHead->SetEnabled(true);
    for (TOrbMaskEdit* edit : {sp01->BeginEdit, sp01->FinalEdit}) edit->SetEditMask(kOrderMask);
    for (TSelectPanel* panel : {sp03, sp04})
        for (TOrbMaskEdit* edit : {panel->BeginEdit, panel->FinalEdit}) edit->SetMaxLength(panel == sp03 ? 10 : 20);
    sp04->SetCanOpenWin(false);
    RegisterDateFields("sp02,sp05");
    cbo06->SetItemIndex(2);
    PageControl1->SetActivePageIndex(0);
    PrepareGrid();
    listed_ = plat::Variant();
    ed07->SetMaxLength(20);
    bool projects = Brokers->GetSysParam("SYS180") == "Y";
    for (TControl* control : {static_cast<TControl*>(ed07), static_cast<TControl*>(lbl07),
                              static_cast<TControl*>(lblProject)})
        control->SetVisible(projects);
}

void TfrmORTK41::PrepareGrid() {
    StringGrid1->SetFixedCols(0);
    StringGrid1->SetColCount(6);
    StringGrid1->SetRowCount(2);
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetDefaultRowHeight(kRowHeight);
    for (int c = 0; c < 6; ++c) StringGrid1->SetColWidth(c, kColumnWidths[c]);
    ortk41::LabelLines words = TreeLabels();
    for (int c = 0; c < 5; ++c) StringGrid1->SetCell(c, 0, words(c));
    StringGrid1->SetCell(5, 0, Memo2->Lines()->Count() > 0 ? (*Memo2->Lines())[0] : std::string());
    StringGrid1->SetOptions(StringGrid1->Options() | goRowSelect | goColSizing);
}

void TfrmORTK41::FormShow(TObject* sender) {
    std::string handedIn = ConditionText;
    TfrmKvQuery::FormShow(sender);
    if (!handedIn.empty()) {
        sp01->BeginEdit->SetText(handedIn);
        sp01->FinalEdit->SetText(handedIn);
    }
}

// ---- labels and services ----

ortk41::LabelLines TfrmORTK41::TreeLabels() const {
    std::vector<std::string> lines;
    for (int i = 0; i < memolng->Lines()->Count(); ++i) lines.push_back((*memolng->Lines())[i]);
    return ortk41::LabelLines(std::move(lines));
}

ortk41::LabelLines TfrmORTK41::OutlineLabels() const {
    std::vector<std::string> lines;
    for (int i = 0; i < Memo1->Lines()->Count(); ++i) lines.push_back((*Memo1->Lines())[i]);
    return ortk41::LabelLines(std::move(lines));
}

std::string TfrmORTK41::DbDateToDisplay(const std::string& dbDate) const {
    return fieldfmt::DbDateToDisplay(DateFormatKind, DateSeparator, dbDate);
}

std::string TfrmORTK41::DateToDb(const std::string& shown) const { return ConditionDateValue(shown); }

ortk41::ListingServices TfrmORTK41::Services() {
    ortk41::ListingServices services;
    services.CallServer = [this](const std::string& method, const plat::Variant& params) {
        return Brokers->CallServer(method, params);
    };
    services.ConvertRow = [this](const plat::Variant& row) { return ConvertText(row); };
    services.DisplayDate = [this](const std::string& d) { return DbDateToDisplay(d); };
    return services;
}

// ---- conditions and the order list ----

void TfrmORTK41::AddRangeCondition(TSelectPanel* panel, const std::string& column, std::string& sql, bool isDate) {
    ortk41::AddRangeCondition({panel->BeginEdit->Text(), panel->FinalEdit->Text()}, column, sql, isDate,
                              [this](const std::string& d) { return DateToDb(d); });
}

void TfrmORTK41::AddPairRangeCondition(TSelectPanel* panel, const std::string& columnA, std::string& sql,
                                       const std::string& columnB) {
    ortk41::AddPairRangeCondition({panel->BeginEdit->Text(), panel->FinalEdit->Text()}, columnA, sql, columnB);
}

std::string TfrmORTK41::OrderListSql() {
    ortk41::OrderConditions c;
    c.Order = {sp01->BeginEdit->Text(), sp01->FinalEdit->Text()};
    c.OrderDate = {sp02->BeginEdit->Text(), sp02->FinalEdit->Text()};
    c.Customer = {sp03->BeginEdit->Text(), sp03->FinalEdit->Text()};
    c.CustomerOrder = {sp04->BeginEdit->Text(), sp04->FinalEdit->Text()};
    c.DeliveryDate = {sp05->BeginEdit->Text(), sp05->FinalEdit->Text()};
    c.Closed = cbo06->ItemIndex() < 0 ? 2 : cbo06->ItemIndex();
    c.ProjectsEnabled = Brokers->GetSysParam("SYS180") == "Y";
    c.Project = ed07->Text();
    return ortk41::OrderListSql(c, [this](const std::string& d) { return DateToDb(d); });
}

void TfrmORTK41::ClearResults() {
    TreeView->Items()->Clear();
    lblQuery2->SetCaption("");
    lblView2->SetCaption("");
    listed_ = plat::Variant();
    StringGrid1->SetRowCount(2);
    for (int c = 0; c < StringGrid1->ColCount(); ++c) StringGrid1->SetCell(c, 1, "");
}

// F9 ("开始查询") and "查询" alike: the results page once the query ran.
void TfrmORTK41::RunQuery() {
    if (RunOrderQuery()) PageControl1->SetActivePageIndex(1);
}

// A date condition that is no date stops the query before anything changes:
// the message, the focus in that edit, the list and the tree as they were.
bool TfrmORTK41::RunOrderQuery() {
    if (!CheckDateFields()) return false;
    const std::string sql = OrderListSql();   // raises before the results are touched
    ClearResults();
    plat::Variant result = Brokers->CallServer("SimpleSQL", plat::VarArrayOf({sql, ortk41::kOrderListFields}));
    if (plat::HasRows(result)) {
        listed_ = ConvertText(result);
        deliveryLabel_ = TreeLabels()(5);
        int high = plat::VarArrayHighBound(listed_);
        StringGrid1->SetRowCount(high + 2);
        // The view hears of the new rows once, not once per cell.
        struct GridUpdate {
            vcl::TStringGrid* grid;
            explicit GridUpdate(vcl::TStringGrid* g) : grid(g) { grid->BeginUpdate(); }
            ~GridUpdate() { grid->EndUpdate(); }
        } update(StringGrid1);
        const plat::VarArray& rows = listed_.Array();
        for (int i = 0; i <= high; ++i)
            if (rows.At(i).IsArray()) AddOrderRow(i + 1, rows.At(i));
    }
    StringGrid1Click(StringGrid1);
    ShowRecordPosition(nullptr);
    return true;
}

void TfrmORTK41::AddOrderRow(int gridRow, const plat::Variant& row) {
    StringGrid1->SetRowHeight(gridRow, kRowHeight);
    for (int c = 0; c < 5; ++c) StringGrid1->SetCell(c, gridRow, ortk41::Value(row, c));
    StringGrid1->SetCell(5, gridRow, ortk41::Value(row, ortk41::OrderListCol::ItemSpecs));
}

const plat::Variant* TfrmORTK41::ListedRow(int i) const {
    if (!listed_.IsArray() || i < 0 || i > plat::VarArrayHighBound(listed_)) return nullptr;
    const plat::Variant& row = listed_.Array().At(i);
    return row.IsArray() ? &row : nullptr;
}

int TfrmORTK41::ListedLineCount() const { return listed_.IsArray() ? plat::VarArrayHighBound(listed_) + 1 : 0; }

std::string TfrmORTK41::OrderHeadText(int i) const {
    const plat::Variant* row = ListedRow(i);
    return row ? ortk41::OrderHeadText(*row, [this](const std::string& d) { return DbDateToDisplay(d); })
               : std::string();
}

std::string TfrmORTK41::OrderLineText(int i) const {
    const plat::Variant* row = ListedRow(i);
    return row ? ortk41::OrderLineText(*row, deliveryLabel_, [this](const std::string& d) { return DbDateToDisplay(d); })
               : std::string();
}

void TfrmORTK41::btnQuery1Click(TObject*) { RunQuery(); }

void TfrmORTK41::btnExitClick(TObject*) { Close(); }

void TfrmORTK41::StringGrid1Click(TObject*) {
    int row = StringGrid1->Row();
    ShowRecordPosition(nullptr);
    if (plat::Trim(StringGrid1->Cells(0, row)).empty()) return;
    lblQuery2->SetCaption(ortk41::RowKey(StringGrid1->Cells(0, row), StringGrid1->Cells(1, row),
                                         plat::PadRight(StringGrid1->Cells(2, row), 4)));
}

void TfrmORTK41::btn03Click(TObject*) {
    if (!plat::Trim(StringGrid1->Cells(0, StringGrid1->Row())).empty()) ExpandOrder();
}

// ---- the document tree ----

void TfrmORTK41::ExpandOrder() {
    int row = StringGrid1->Row();
    if (row < 1 || row > ListedLineCount()) return;
    ortk41::SelectedOrderLine line{StringGrid1->Cells(0, row), StringGrid1->Cells(1, row), StringGrid1->Cells(2, row),
                                   OrderHeadText(row - 1), OrderLineText(row - 1)};
    TTreeNodes* nodes = TreeView->Items();
    try {
        TreeUpdate bracket(nodes);
        nodes->Clear();
        TreeViewSink sink(TreeView);
        ortk41::BuildOrderTree(line, TreeLabels(), Services(), sink);
        TreeView->FullExpand();
    } catch (const plat::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        // The tree keeps what was built and stays usable; the user is told why it stopped.
        TreeView->FullExpand();
        plat::MessageBox(e.what(), Caption(), plat::MsgDlgType::Error);
    }
    if (nodes->GetFirstNode()) TreeView->SetTopItem(nodes->GetFirstNode());
}

void TfrmORTK41::TreeViewClick(TObject*) {
    TTreeNode* node = TreeView->Selected();
    if (!node) return;
    lblView2->SetCaption("");
    TTreeNode* grandparent = node->Parent() ? node->Parent()->Parent() : nullptr;
    lblView2->SetCaption(ortk41::NodeKeyText(node->SelectedIndex(), node->Text(), grandparent ? grandparent->Text() : ""));
}

void TfrmORTK41::btn02Click(TObject*) {
    TTreeNode* node = TreeView->Selected();
    if (!node || node->SelectedIndex() == 0) return;
    std::optional<ortk41::Opening> opening = ortk41::OpeningFor(node->SelectedIndex(), lblView2->Caption(),
                                                                [this](const std::string& d) { return DateToDb(d); });
    if (!opening) return;
    plat::Variant answer;
    plat::Variant options(plat::VarArray(0, 2));
    options[0] = int32_t(0);
    options[1] = int32_t(255);
    Brokers->ExecWork(opening->ProgramCode, plat::Variant(opening->Condition), true, answer, options);
}

// ---- export ----


void TfrmORTK41::btnExportClick(TObject*) {
    if (plat::Trim(StringGrid1->Cells(0, StringGrid1->Row())).empty()) return;
    ExportFolder = ProfilePath;
    if (ExportDialog->ShowModal() == plat::mrOk) ExportOrders();
}

// The heading and the outline of every listed order line, with the progress
// window counting. The outline keeps the sheet row from one order to the next.
void TfrmORTK41::WriteOutline(TOLEExcel& excel, TfrmStatus& status) {
    ortk41::ExcelOutlineSheet sheet(excel, GridHeading(), excel.SheetRowCount());
    sheet.WriteHeading();
    int rows = StringGrid1->RowCount();
    status.ShowProgress("", "Convert to EXCEL....", 0, rows);
    ortk41::OrderOutline outline(OutlineLabels(), TreeLabels(), Services(),
                                 [this](const std::string& t) { return ConvertDisplayText(plat::Variant(t)).ToString(); },
                                 sheet);
    for (int a = 1; a < rows; ++a) {
        status.StepProgress();
        outline.WriteOrder(GridOrder(a));
    }
}

// The file saved at the start of a run that did not finish holds only part
// of the outline: it goes, so that no half export is left under the name.
// The name was taken by this run, so the file is its own.
void TfrmORTK41::RemoveUnfinishedExport(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) TdmRadical::WriteAlertLog("ORTK41", "ORTK41CF-3: " + path + ": " + error.message(), "D");
}

// Tells the user in the interface's language that the export failed, and
// keeps the reason (the spreadsheet's or the system's words) in the log.
// `nameTaken`: another export or program took the name since the dialog
// checked it.
void TfrmORTK41::ExportFailed(const std::string& path, const std::string& where, const std::string& reason,
                              bool nameTaken) {
    TdmRadical::WriteAlertLog("ORTK41", where + ": " + reason, "D");
    if (nameTaken && ExportDialog->memolng->Lines()->Count() > 0) {
        plat::ShowMessage((*ExportDialog->memolng->Lines())[0]);
        return;
    }
    std::string text;
    GetLangText("TdmSingle", "sSaveAsError", text, true, "保存为----> %s 失败!");
    KvConverter()->ShowMessageBox(plat::Format(text, {plat::Variant(path)}), plat::MsgDlgType::Error,
                                  {plat::MsgDlgBtn::OK});
}

std::vector<std::string> TfrmORTK41::GridHeading() const {
    std::vector<std::string> heading;
    for (int c = 0; c < 6; ++c) heading.push_back(StringGrid1->Cells(c, 0));
    return heading;
}

ortk41::OutlineOrder TfrmORTK41::GridOrder(int row) const {
    ortk41::OutlineOrder order;
    for (int c = 0; c < 5; ++c) order.Cells[static_cast<size_t>(c)] = StringGrid1->Cells(c, row);
    order.HeadText = OrderHeadText(row - 1);
    order.LineText = OrderLineText(row - 1);
    return order;
}

namespace {

// What one export holds and lets go when it ends, also after an error: the
// progress window and the spreadsheet component. The next export starts
// with a fresh component; this one stays owned by the window until it
// closes, but lets its application and workbook go (the saved file is what
// the user opens), so that exports do not pile up workbooks in memory.
class ExportRun {
public:
    ExportRun(TdmSingle& dm, TfrmStatus& status) : dm_(dm), status_(status) {}
    ~ExportRun() {
        if (TOLEExcel* excel = dm_.OLEExcel1) {
            try {
                excel->Connect(false);
            } catch (const std::exception&) {
                // an application that cannot quit cleanly is dropped all the same
            }
        }
        dm_.OLEExcel1 = nullptr;
        status_.Free();
    }
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;

    // The data module's spreadsheet component, made (owned by `owner`) when there is none.
    TOLEExcel& Excel(vcl::TComponent* owner) {
        if (!dm_.OLEExcel1) dm_.OLEExcel1 = vcl::TComponent::Create<TOLEExcel>(owner);
        dm_.OLEExcel1->SetAutoCloseExcel(true);
        return *dm_.OLEExcel1;
    }
    TfrmStatus& Status() const { return status_; }

private:
    TdmSingle& dm_;
    TfrmStatus& status_;
};

}  // namespace

void TfrmORTK41::ExportOrders() {
    auto* dm = dynamic_cast<TdmSingle*>(BaseModule());
    if (!dm) return;
    auto* status = TComponent::Create<TfrmStatus>(this);
    ExportScope scope(this);
    ExportRun run(*dm, *status);
    std::string path;
    if (!ExportPath(path)) return;
    TOLEExcel& excel = run.Excel(this);
    if (!StartExcel(excel) || !ClaimExportFile(excel, path) || !FillExportFile(excel, run.Status(), path)) return;
    OpenExportedFile(this, path);
}

// The dialog's file as an absolute path; false (the user told) when the
// current folder cannot be read to make one.
bool TfrmORTK41::ExportPath(std::string& path) {
    std::error_code error;
    path = std::filesystem::absolute(plat::NativePath(ExportDialog->ExportFileName), error).string();
    if (!error) return true;
    ExportFailed(ExportDialog->ExportFileName, "ORTK41CF-1", error.message(), false);
    return false;
}

// Connects the spreadsheet application; false (the user told) when it cannot start.
bool TfrmORTK41::StartExcel(TOLEExcel& excel) {
    try {
        if (!excel.Connected()) excel.Connect(true);
    } catch (const std::exception& e) {
        TdmRadical::WriteAlertLog("ORTK41", std::string("ORTK41CF-4: ") + e.what(), "D");
        std::string text;
        GetLangText("TdmSingle", "sFailedCreateExcell", text, true, "创建新的 EXCEL 文件");
        KvConverter()->ShowMessageBox(text, plat::MsgDlgType::Error, {plat::MsgDlgBtn::OK});
        return false;
    }
    return excel.Connected();
}

// The file is saved at once, empty: the name is taken for this export,
// exclusively, before any order is read. False (the user told) when it
// cannot be saved.
bool TfrmORTK41::ClaimExportFile(TOLEExcel& excel, const std::string& path) {
    try {
        excel.NewWorkbook();
        excel.SaveWorkbookAs(path);
    } catch (const plat::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        std::error_code ignored;   // a name that cannot be checked counts as not taken
        ExportFailed(path, "ORTK41CF-1", e.what(), std::filesystem::exists(path, ignored));
        return false;
    }
    return true;
}

// Writes the outline into the claimed file and saves it. When it fails or
// is aborted the file, which holds only part of the outline, is removed.
bool TfrmORTK41::FillExportFile(TOLEExcel& excel, TfrmStatus& status, const std::string& path) {
    try {
        WriteOutline(excel, status);
        excel.ActivateSheet(1);   // a long outline fills several sheets; the file opens on the first
        SaveExportFile(excel, status);
        status.HideProgress();
    } catch (const plat::EAbort&) {
        RemoveUnfinishedExport(path);
        throw;
    } catch (const std::exception& e) {
        RemoveUnfinishedExport(path);
        ExportFailed(path, "ORTK41CF-2", e.what(), false);
        return false;
    }
    return true;
}

// Saving a long outline takes seconds: the progress window follows the
// rows the spreadsheet writes and packs into the file, and the windows keep
// repainting meanwhile (the export scope keeps them from input).
void TfrmORTK41::SaveExportFile(TOLEExcel& excel, TfrmStatus& status) {
    constexpr int kSaveSteps = 1000;
    status.ShowProgress("", "Save EXCEL file....", 0, kSaveSteps);
    plat::CallWaitScope waiting([&status](const plat::CallProgress& progress) {
        uint64_t done = progress.Total > 0 ? kSaveSteps * progress.Done / progress.Total : 0;
        status.SetProgressPosition(static_cast<int>(done));
    });
    excel.SaveWorkbook();
}

// ---- lookups ----

TSelectPanel* TfrmORTK41::PanelOf(TWinControl* control) const {
    for (TSelectPanel* panel : {sp01, sp02, sp03, sp04, sp05})
        if (control && (control == panel->BeginEdit || control == panel->FinalEdit)) return panel;
    return nullptr;
}

void TfrmORTK41::DoKeyF2(uint16_t& key, TWinControl* control) {
    TfrmKvQuery::DoKeyF2(key, control);
    TSelectPanel* panel = PanelOf(control);
    if (panel == sp01) {
        auto* edit = static_cast<TOrbMaskEdit*>(control);
        std::string text = edit->EditText();
        std::string type = plat::GetToken(text, "-", 1), number = text.find('-') == std::string::npos ? "" : text.substr(text.find('-') + 1);
        plat::Variant answer;
        Brokers->F2GetData("COPTC", "02", answer, {}, {}, {}, 0, {}, false, false, {},
                           plat::VarArrayOf({plat::Trim(type), plat::Trim(number)}));
        if (answer.IsEmptyOrNull()) return;
        plat::Variant chosen = answer.IsArray() && plat::HasRows(answer) ? answer[0] : answer;
        if (chosen.IsArray())
            edit->SetText(plat::PadRight(ortk41::Value(chosen, 0), 4) + "-" + plat::PadRight(ortk41::Value(chosen, 1), 11));
    } else if (panel == sp02 || panel == sp05) {
        PickDate(control);
    } else if (panel == sp03) {
        OpenLookupWindow(control, "COPMA", plat::Variant(), "01");
    } else if (control == ed07) {
        OpenLookupWindow(control, "CMSNO", plat::Variant(), "01");
        ed07Exit(ed07);
    }
}

void TfrmORTK41::ed07Exit(TObject*) {
    if (ed07->Text().empty()) {
        lbl07->SetCaption("");
        return;
    }
    plat::Variant found;
    if (!CheckCodeExists("CMSNO", "01", "E", found, {plat::Variant(ed07->Text())})) {
        ed07->SetFocus();
        return;
    }
    if (!found.IsEmptyOrNull()) lbl07->SetCaption(found.IsArray() ? ortk41::Value(found, 0) : plat::VarToStr(found));
}

// The window's records are the listed order lines, not the frame's hidden
// data set: the position is the current line of the list and the count the
// number of lines the last query listed ("0" before any).
void TfrmORTK41::ShowRecordPosition(TClientDataSet*) {
    ApplyRights();
    if (!StringGrid1) return;   // the frame's data set reports before the list exists
    int count = ListedLineCount();
    int line = count > 0 ? StringGrid1->Row() : 0;
    std::string text = std::to_string(count);
    if (line > 0 && line <= count) text = std::to_string(line) + "/" + text;
    Status->Panels()->Items(3)->SetText(text);
}

