// TfrmSingle: the single-table maintenance window, as far as query programs
// stand on it: the head area (pnlHead with the page control pgHead and its
// browse page and grid), the save and cancel buttons, the export menu items,
// the lookup pop-up menu, the sort images and the condition menu. A closed
// window of this kind is freed and tells the host how it ended.
#pragma once

#include "BaseCF.h"
#include "ExtCtrls.h"

class TKvDBGrid;

class TfrmSingle : public TfrmBase {
    VCL_DECLARE_CLASS(TfrmSingle)
public:
    explicit TfrmSingle(vcl::TComponent* owner);

    vcl::TPanel* pnlHead;
    vcl::TPageControl* pgHead;
    vcl::TTabSheet* tbsBrowse;
    TKvDBGrid* gdHead;
    vcl::TToolButton *btnOK, *btnCancel;
    vcl::TMenuItem* miExport;                         // "汇出(&E)"
    vcl::TMenuItem *miTable2Excel, *miTable2Excel2;   // dataset to Excel with and without formats (Ctrl+F1, Ctrl+F2)
    vcl::TPopupMenu* popOpenPicker;
    vcl::TImageList* SortMapList;                     // 0 ascending, 1 descending
    vcl::TPopupMenu* mnCondition;

    // Sets the height of the head area (pgHead and the panel holding it).
    void SetHeadHeight(int height);

    vcl::TClass DataModuleClass() const override;
    void DoKeyF2(uint16_t& key, vcl::TWinControl* control) override;
    void PrepareForm() override;
    void LoadClientSettings() override;
    void RefreshButtons() override;

    void FormCreate(vcl::TObject* sender) override;
    void FormShow(vcl::TObject* sender) override;
    void FormClose(vcl::TObject* sender, vcl::TCloseAction& action) override;
    void FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) override;
    void FormKeyPress(vcl::TObject* sender, char32_t& key) override;
    virtual void pgHeadChange(vcl::TObject* sender);
    // The exports of the current result set.
    virtual void miTable2ExcelClick(vcl::TObject* sender);
    virtual void miTable2Excel2Click(vcl::TObject* sender);
    // The result set the export menu writes: the main dataset.
    virtual vcl::TClientDataSet* ExportDataSet() const;

protected:
    void BindHandlers() override;
};
