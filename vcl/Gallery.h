// The gallery: one form with a control of every kind the windows are built
// from, captioned in Chinese, laid out as a query window is (conditions on
// the first page, results on the second). Used to look at the controls and
// to test them through one realistic form.
#pragma once

#include "Buttons.h"
#include "ComCtrls.h"
#include "Db.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Gauges.h"
#include "Grids.h"
#include "ImgList.h"
#include "KvCtrls.h"
#include "Mask.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace vcl {

class TGalleryForm : public TForm {
    VCL_DECLARE_CLASS(TGalleryForm)
public:
    explicit TGalleryForm(TComponent* owner);

    TImageList* ImageList1;
    TMainMenu* MainMenu;
    TMenuItem *MenuItem1, *miAdd, *miQuery, *miLine, *miToolBar, *miExit;
    TPopupMenu* popMemo;
    TMenuItem *miCopy, *miPaste;
    TToolBar* ToolBar1;
    TToolButton *btnAdd, *btnQuery, *btnSep, *btnFirst;
    TStatusBar* Status;
    TPageControl* PageControl1;
    TTabSheet *TabSheet1, *TabSheet2;
    TGroupBox* sp01;
    TLabel *lblBegin, *lblEnd;
    TMaskEdit *edBegin, *edEnd;
    TF2Button *btnBegin, *btnEnd;
    TLabel* lbl02;
    TMaskEdit* ed02;
    TLabel* lbl06;
    TComboBox* cbo06;
    TLabel* lbl07;
    TKvBtnEdit* ed07;
    TEdit* ed08;
    TCheckBox* chkClosed;
    TBitCheckBox* chkRange;
    TMemo* memolng;
    TButton* btnQuery1;
    TBitBtn* btnExit;
    TSpeedButton* sbClear;
    TBevel* Bevel1;
    TGauge* StatusGauge;
    TPanel* pnlNote;
    TPanel* Panel3;
    TStringGrid* StringGrid1;
    TSplitter* Splitter1;
    TTreeView* TreeView;
    TListView* ListView1;
    TDataSource* dsMain;
};

}  // namespace vcl
