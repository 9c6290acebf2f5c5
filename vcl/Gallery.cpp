// The gallery form: every control kind, owned by the form and placed on
// panels and pages, with the captions, masks and lists of a query window.
#include "Gallery.h"

#include <QPainter>

namespace vcl {

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int height) {
    T* c = TComponent::Create<T>(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

QImage ToolImage(QColor color, int shape) {
    QImage image(18, 18, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(color.darker());
    if (shape == 0) p.drawRect(3, 3, 12, 12);
    else if (shape == 1) p.drawEllipse(3, 3, 12, 12);
    else p.drawPolygon(QPolygon({QPoint(3, 9), QPoint(15, 3), QPoint(15, 15)}));
    return image;
}

}  // namespace

const TClassInfo& TGalleryForm::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TGalleryForm>("TGalleryForm", TForm::StaticClass());
    return info;
}

TGalleryForm::TGalleryForm(TComponent* owner) : TForm(owner) {
    SetName("frmGallery");
    SetCaption("订单追踪查询 - 控件一览");
    Font()->SetName("宋体");
    Font()->SetHeight(-13);
    SetShowHint(true);
    SetKeyPreview(true);
    SetBounds(0, 0, 800, 560);

    ImageList1 = TComponent::Create<TImageList>(this);
    ImageList1->SetName("ImageList1");
    ImageList1->SetWidth(18);
    ImageList1->SetHeight(18);
    ImageList1->Add(ToolImage(QColor(0, 128, 0), 0));
    ImageList1->Add(ToolImage(QColor(0, 0, 160), 1));
    ImageList1->Add(ToolImage(QColor(160, 0, 0), 2));

    MainMenu = TComponent::Create<TMainMenu>(this);
    MainMenu->SetName("MainMenu");
    MainMenu->SetImages(ImageList1);
    auto item = [this](TMenuItem* parent, const char* name, const char* caption, const char* shortcut) {
        TMenuItem* i = TComponent::Create<TMenuItem>(this);
        i->SetName(name);
        i->SetCaption(caption);
        if (*shortcut) i->SetShortCut(TextToShortCut(shortcut));
        parent->Add(i);
        return i;
    };
    MenuItem1 = item(MainMenu->Items(), "MenuItem1", "资料(&D)", "");
    miAdd = item(MenuItem1, "miAdd", "新增(&A)", "F5");
    miAdd->SetImageIndex(0);
    miQuery = item(MenuItem1, "miQuery", "查询(&Q)", "F6");
    miQuery->SetImageIndex(1);
    miLine = item(MenuItem1, "miLine", "-", "");
    miToolBar = item(MenuItem1, "miToolBar", "工具栏(&S)", "Ctrl+S");
    miToolBar->SetChecked(true);
    miExit = item(MainMenu->Items(), "miExit", "退出(&X)", "");
    SetMenu(MainMenu);

    popMemo = TComponent::Create<TPopupMenu>(this);
    popMemo->SetName("popMemo");
    miCopy = item(popMemo->Items(), "miCopy", "复制(&C)", "Ctrl+C");
    miPaste = item(popMemo->Items(), "miPaste", "粘贴(&V)", "Ctrl+V");

    ToolBar1 = Make<TToolBar>(this, this, "ToolBar1", 0, 0, 800, 29);
    ToolBar1->SetFlat(true);
    ToolBar1->SetImages(ImageList1);
    ToolBar1->SetButtonWidth(25);
    ToolBar1->SetButtonHeight(25);
    auto tool = [this](const char* name, const char* hint, int image) {
        TToolButton* b = TComponent::Create<TToolButton>(this);
        b->SetName(name);
        b->SetParent(ToolBar1);
        b->SetHint(hint);
        b->SetImageIndex(image);
        return b;
    };
    btnAdd = tool("btnAdd", "新增", 0);
    btnQuery = tool("btnQuery", "查询", 1);
    btnSep = tool("btnSep", "", -1);
    btnSep->SetStyle(TToolButtonStyle::tbsSeparator);
    btnFirst = tool("btnFirst", "第一个", 2);

    Status = Make<TStatusBar>(this, this, "Status", 0, 500, 800, 19);
    for (auto [text, width] : {std::pair{"浏览", 40}, {"", 400}, {"单据笔数", 50}, {"0/0", 50}}) {
        TStatusPanel* p = Status->Panels()->Add();
        p->SetText(text);
        p->SetWidth(width);
    }

    PageControl1 = Make<TPageControl>(this, this, "PageControl1", 0, 29, 800, 470);
    PageControl1->SetAlign(TAlign::alClient);
    TabSheet1 = TComponent::Create<TTabSheet>(this);
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetCaption("查询条件");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet2 = TComponent::Create<TTabSheet>(this);
    TabSheet2->SetName("TabSheet2");
    TabSheet2->SetCaption("查询结果");
    TabSheet2->SetPageControl(PageControl1);

    // ---- conditions ----
    sp01 = Make<TGroupBox>(this, TabSheet1, "sp01", 10, 8, 420, 52);
    sp01->SetCaption("选择订单单号");
    lblBegin = Make<TLabel>(this, sp01, "lblBegin", 8, 24, 20, 16);
    lblBegin->SetCaption("起");
    edBegin = Make<TMaskEdit>(this, sp01, "edBegin", 28, 20, 150, 22);
    edBegin->SetEditMask("!cccc-ccccccccccc;0; ");
    edBegin->SetHint("[F2]订单信息查询|订单信息查询");
    btnBegin = Make<TF2Button>(this, sp01, "btnBegin", 180, 20, 22, 22);
    btnBegin->SetF2Control(edBegin);
    lblEnd = Make<TLabel>(this, sp01, "lblEnd", 210, 24, 20, 16);
    lblEnd->SetCaption("止");
    edEnd = Make<TMaskEdit>(this, sp01, "edEnd", 230, 20, 150, 22);
    edEnd->SetEditMask("!cccc-ccccccccccc;0; ");
    btnEnd = Make<TF2Button>(this, sp01, "btnEnd", 382, 20, 22, 22);
    btnEnd->SetF2Control(edEnd);

    lbl02 = Make<TLabel>(this, TabSheet1, "lbl02", 10, 74, 60, 16);
    lbl02->SetCaption("订单日期");
    ed02 = Make<TMaskEdit>(this, TabSheet1, "ed02", 80, 70, 100, 22);
    ed02->SetEditMask("9999/99/99;1; ");
    lbl06 = Make<TLabel>(this, TabSheet1, "lbl06", 200, 74, 30, 16);
    lbl06->SetCaption("结束");
    cbo06 = Make<TComboBox>(this, TabSheet1, "cbo06", 240, 70, 110, 22);
    cbo06->SetStyle(TComboBoxStyle::csDropDownList);
    cbo06->Items()->SetText("1:已结束\n2:未结束\n3:全部");
    cbo06->SetItemIndex(2);
    lbl07 = Make<TLabel>(this, TabSheet1, "lbl07", 10, 108, 60, 16);
    lbl07->SetCaption("项目编号");
    ed07 = Make<TKvBtnEdit>(this, TabSheet1, "ed07", 80, 104, 150, 22);
    ed07->SetMaxLength(20);
    ed07->SetHint("[F2]项目编号查询");
    ed08 = Make<TEdit>(this, TabSheet1, "ed08", 240, 104, 110, 22);
    ed08->SetText("客户单号");
    chkClosed = Make<TCheckBox>(this, TabSheet1, "chkClosed", 10, 140, 120, 20);
    chkClosed->SetCaption("包含已结案");
    chkRange = Make<TBitCheckBox>(this, TabSheet1, "chkRange", 140, 140, 120, 20);
    chkRange->SetCaption("区间选择");
    chkRange->SetChecked(true);
    memolng = Make<TMemo>(this, TabSheet1, "memolng", 450, 8, 200, 90);
    memolng->Lines()->SetText("订单单别\n单号\n序号\n品号\n品名");
    memolng->SetPopupMenu(popMemo);
    btnQuery1 = Make<TButton>(this, TabSheet1, "btnQuery1", 10, 176, 75, 25);
    btnQuery1->SetCaption("查询");
    btnQuery1->SetDefault(true);
    btnExit = Make<TBitBtn>(this, TabSheet1, "btnExit", 95, 176, 75, 25);
    btnExit->SetCaption("离开");
    btnExit->SetCancel(true);
    sbClear = Make<TSpeedButton>(this, TabSheet1, "sbClear", 180, 177, 23, 23);
    sbClear->SetFlat(true);
    sbClear->SetHint("清除");
    Bevel1 = Make<TBevel>(this, TabSheet1, "Bevel1", 10, 214, 405, 37);
    StatusGauge = Make<TGauge>(this, TabSheet1, "StatusGauge", 17, 226, 389, 18);
    StatusGauge->SetForeColor(clBlue);
    StatusGauge->SetBackColor(clWindow);
    StatusGauge->SetProgress(40);
    pnlNote = Make<TPanel>(this, TabSheet1, "pnlNote", 450, 110, 200, 40);
    pnlNote->SetCaption("批处理处理进度");
    pnlNote->SetColor(RGB(255, 255, 175));

    // ---- results ----
    Panel3 = Make<TPanel>(this, TabSheet2, "Panel3", 0, 0, 350, 400);
    Panel3->SetAlign(TAlign::alLeft);
    Panel3->SetBevelOuter(TPanelBevel::bvNone);
    StringGrid1 = Make<TStringGrid>(this, Panel3, "StringGrid1", 0, 0, 350, 400);
    StringGrid1->SetAlign(TAlign::alClient);
    StringGrid1->SetColCount(6);
    StringGrid1->SetRowCount(3);
    StringGrid1->SetFixedCols(0);
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetOptions(StringGrid1->Options() | goRowSelect | goColSizing);
    const char* headings[] = {"订单单别", "单号", "序号", "品号", "品名", "规格"};
    const int widths[] = {60, 90, 30, 150, 150, 300};
    for (int c = 0; c < 6; ++c) {
        StringGrid1->SetCell(c, 0, headings[c]);
        StringGrid1->SetColWidth(c, widths[c]);
    }
    const char* row1[] = {"2201", "20260301001", "0001", "A-100", "螺丝", "M6×20"};
    const char* row2[] = {"2201", "20260301002", "0001", "B-200", "垫圈", "Φ6"};
    for (int c = 0; c < 6; ++c) {
        StringGrid1->SetCell(c, 1, row1[c]);
        StringGrid1->SetCell(c, 2, row2[c]);
    }
    for (int r = 0; r < StringGrid1->RowCount(); ++r) StringGrid1->SetRowHeight(r, 20);
    Splitter1 = Make<TSplitter>(this, TabSheet2, "Splitter1", 350, 0, 3, 400);
    Splitter1->SetMinSize(100);
    ListView1 = Make<TListView>(this, TabSheet2, "ListView1", 353, 310, 440, 90);
    ListView1->SetAlign(TAlign::alBottom);
    ListView1->SetViewStyle(TViewStyle::vsReport);
    ListView1->SetMultiSelect(true);
    ListView1->SetRowSelect(true);
    for (const char* caption : {"单别", "单号", "日期"}) ListView1->Columns()->Add()->SetCaption(caption);
    TListItem* li = ListView1->Items()->Add();
    li->SetCaption("2301");
    li->SubItems()->SetText("20260305001\n2026/03/05");
    TreeView = Make<TTreeView>(this, TabSheet2, "TreeView", 353, 0, 440, 310);
    TreeView->SetAlign(TAlign::alClient);
    TreeView->SetReadOnly(true);
    TreeView->SetHideSelection(false);
    TreeView->SetIndent(19);
    TreeView->Items()->BeginUpdate();
    TTreeNode* root = TreeView->Items()->Add(nullptr, "客户订单 : 2201-20260301001 2026/03/01 东方五金(C001)");
    TTreeNode* line = TreeView->Items()->AddChild(root, "2201-20260301001-0001 A-100(螺丝) 100 PCS 预交货日:2026/03/20");
    line->SetSelectedIndex(1000);
    TTreeNode* group = TreeView->Items()->AddChild(root, "销货单");
    TreeView->Items()->AddChild(group, "2301-20260305001-0001 2026/03/05 销:60 赠/备:0")->SetSelectedIndex(2000);
    TreeView->Items()->AddChild(root, "请购单");
    TreeView->FullExpand();
    TreeView->Items()->EndUpdate();

    dsMain = TComponent::Create<TDataSource>(this);
    dsMain->SetName("dsMain");
    PageControl1->SetActivePage(TabSheet1);
}

}  // namespace vcl
