// The single-table window's head area, buttons and menus, and its close.
#include "SingleCF.h"

#include <QColor>
#include <QImage>

#include "DBClient.h"
#include "KvCtrls.h"
#include "ToolBarImages.h"
#include "controls/KvDBGrid.h"
#include "data/SingleCD.h"

const vcl::TClassInfo& TfrmSingle::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TfrmSingle>("TfrmSingle", TfrmBase::StaticClass());
    return info;
}

TfrmSingle::TfrmSingle(vcl::TComponent* owner) : TfrmBase(owner) {
    SetClientWidth(640);
    SetClientHeight(480);
    pnlHead = vcl::TComponent::Create<vcl::TPanel>(this);
    pnlHead->SetName("pnlHead");
    pnlHead->SetCaption("");
    pnlHead->SetBevelOuter(vcl::TPanelBevel::bvNone);
    pnlHead->SetParent(this);
    pnlHead->SetAlign(vcl::TAlign::alTop);
    pgHead = vcl::TComponent::Create<vcl::TPageControl>(this);
    pgHead->SetName("pgHead");
    pgHead->SetParent(pnlHead);
    pgHead->SetAlign(vcl::TAlign::alClient);
    tbsBrowse = vcl::TComponent::Create<vcl::TTabSheet>(this);
    tbsBrowse->SetName("tbsBrowse");
    tbsBrowse->SetCaption("浏览");
    tbsBrowse->SetPageControl(pgHead);
    gdHead = vcl::TComponent::Create<TKvDBGrid>(this);
    gdHead->SetName("gdHead");
    gdHead->SetParent(tbsBrowse);
    gdHead->SetAlign(vcl::TAlign::alClient);
    SetHeadHeight(150);

    auto tool = [this](const char* name, const char* hint) {
        auto* b = vcl::TComponent::Create<vcl::TToolButton>(this);
        b->SetName(name);
        b->SetHint(hint);
        b->SetParent(ToolBar1);
        return b;
    };
    btnOK = tool("btnOK", "保存");
    btnOK->SetImageIndex(toolimages::kSave);
    btnCancel = tool("btnCancel", "取消");
    btnCancel->SetImageIndex(toolimages::kCancel);
    btnOK->SetEnabled(false);
    btnCancel->SetEnabled(false);

    // "汇出(&E)": the current result set to a spreadsheet, with formats
    // (through the spreadsheet application) or without (straight to a file).
    miExport = vcl::TComponent::Create<vcl::TMenuItem>(this);
    miExport->SetName("miExport");
    miExport->SetCaption("汇出(&E)");
    MainMenu->Items()->Add(miExport);
    auto item = [this](const char* name, const char* caption, uint16_t key) {
        auto* m = vcl::TComponent::Create<vcl::TMenuItem>(this);
        m->SetName(name);
        m->SetCaption(caption);
        m->SetShortCut(vcl::ShortCut(key, vcl::ssCtrl));
        miExport->Add(m);
        return m;
    };
    miTable2Excel = item("miTable2Excel", "资料转Excel(含格式)", vcl::VK_F1);
    miTable2Excel2 = item("miTable2Excel2", "资料转Excel(不含格式)", vcl::VK_F2);

    popOpenPicker = vcl::TComponent::Create<vcl::TPopupMenu>(this);
    popOpenPicker->SetName("popOpenPicker");
    mnCondition = vcl::TComponent::Create<vcl::TPopupMenu>(this);
    mnCondition->SetName("mnCondition");
    SortMapList = vcl::TComponent::Create<vcl::TImageList>(this);
    SortMapList->SetName("SortMapList");
    SortMapList->SetWidth(10);
    SortMapList->SetHeight(10);
    // Two small triangles: up for ascending, down for descending.
    for (bool down : {false, true}) {
        QImage image(10, 10, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int y = 2; y < 8; ++y) {
            int row = down ? 7 - y : y - 2;
            for (int x = 4 - row / 2; x <= 5 + row / 2; ++x) image.setPixelColor(x, y, QColor(64, 64, 64));
        }
        SortMapList->Add(image);
    }
}

vcl::TClass TfrmSingle::DataModuleClass() const { return &TdmSingle::StaticClass(); }

void TfrmSingle::BindHandlers() {
    TfrmBase::BindHandlers();
    pgHead->OnChange = vcl::TNotifyEvent([this](vcl::TObject* s) { pgHeadChange(s); }, this);
    btnOK->OnClick = vcl::TNotifyEvent([this](vcl::TObject*) { SaveChanges(); }, this);
    btnCancel->OnClick = vcl::TNotifyEvent([this](vcl::TObject*) { CancelChanges(true); }, this);
    miTable2Excel->OnClick = vcl::TNotifyEvent([this](vcl::TObject* s) { miTable2ExcelClick(s); }, this);
    miTable2Excel2->OnClick = vcl::TNotifyEvent([this](vcl::TObject* s) { miTable2Excel2Click(s); }, this);
}

vcl::TClientDataSet* TfrmSingle::ExportDataSet() const {
    TdmBase* dm = BaseModule();
    return dm ? dm->cdsMain : nullptr;
}

void TfrmSingle::miTable2ExcelClick(vcl::TObject*) {
    if (auto* dm = dynamic_cast<TdmSingle*>(BaseModule())) dm->ExportToExcel(ExportDataSet(), this, true);
}

void TfrmSingle::miTable2Excel2Click(vcl::TObject*) {
    if (auto* dm = dynamic_cast<TdmSingle*>(BaseModule())) dm->ExportToXlsFile(ExportDataSet(), this);
}

void TfrmSingle::SetHeadHeight(int height) {
    pnlHead->SetHeight(height);
    pgHead->SetHeight(height);
}

void TfrmSingle::FormCreate(vcl::TObject* sender) {
    TfrmBase::FormCreate(sender);
    if (TdmBase* dm = BaseModule()) gdHead->SetDataSource(dm->dsMain);
}

void TfrmSingle::FormShow(vcl::TObject* sender) { TfrmBase::FormShow(sender); }

// A closed program window is freed and tells the host how it ended: 1 after
// a picking run (modes 7 and 8), 2 otherwise.
void TfrmSingle::FormClose(vcl::TObject* sender, vcl::TCloseAction& action) {
    TfrmBase::FormClose(sender, action);
    action = vcl::TCloseAction::caFree;
    ReturnKind = (ProgramMode == 7 || ProgramMode == 8) ? 1 : 2;
}

void TfrmSingle::FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) {
    TfrmBase::FormKeyDown(sender, key, shift);
}

void TfrmSingle::FormKeyPress(vcl::TObject* sender, char32_t& key) { TfrmBase::FormKeyPress(sender, key); }

void TfrmSingle::pgHeadChange(vcl::TObject*) { RefreshButtons(); }

void TfrmSingle::DoKeyF2(uint16_t& key, vcl::TWinControl* control) { TfrmBase::DoKeyF2(key, control); }

void TfrmSingle::PrepareForm() { TfrmBase::PrepareForm(); }

void TfrmSingle::LoadClientSettings() { TfrmBase::LoadClientSettings(); }

void TfrmSingle::RefreshButtons() {
    TfrmBase::RefreshButtons();
    bool editing = EditMode != 0;
    btnOK->SetEnabled(editing);
    btnCancel->SetEnabled(editing);
}
