// The layout of the program window base: its image list, status bar, tool
// bar, main menu and quick search, each built as the window's description
// has it (names, captions, hints, short cuts, images in button order).
#include "BaseCF.h"

#include <string>
#include <utility>

#include "KvSearchDialog.h"
#include "ToolBarImages.h"

void TfrmBase::CreateImageList() {
    ImageList1 = vcl::TComponent::Create<vcl::TImageList>(this);
    ImageList1->SetName("ImageList1");
    ImageList1->SetWidth(18);
    ImageList1->SetHeight(18);
    FillToolBarImages(ImageList1);
}

void TfrmBase::CreateStatusBar() {
    Status = vcl::TComponent::Create<vcl::TStatusBar>(this);
    Status->SetName("Status");
    Status->SetParent(this);
    Status->SetAlign(vcl::TAlign::alBottom);
    const std::pair<const char*, int> panels[] = {{"浏览", 40}, {"", 400}, {"单据笔数", 50}, {"0/0", 50}, {"", 60}};
    for (const auto& [text, width] : panels) {
        vcl::TStatusPanel* p = Status->Panels()->Add();
        p->SetText(text);
        p->SetWidth(width);
    }
}

// Buttons take the list's images in the order they are made.
void TfrmBase::CreateToolBar() {
    ToolBar1 = vcl::TComponent::Create<vcl::TToolBar>(this);
    ToolBar1->SetName("ToolBar1");
    ToolBar1->SetParent(this);
    ToolBar1->SetAlign(vcl::TAlign::alTop);
    ToolBar1->SetFlat(true);
    ToolBar1->SetButtonWidth(25);
    ToolBar1->SetButtonHeight(25);
    ToolBar1->SetShowHint(true);
    ToolBar1->SetImages(ImageList1);
    int image = 0, separators = 0;
    auto button = [&](const char* name, const char* hint) {
        auto* b = vcl::TComponent::Create<vcl::TToolButton>(this);
        b->SetName(name);
        b->SetHint(hint);
        b->SetImageIndex(image++);
        b->SetParent(ToolBar1);
        return b;
    };
    auto separator = [&] {
        auto* s = vcl::TComponent::Create<vcl::TToolButton>(this);
        s->SetName("ToolButton" + std::to_string(++separators));
        s->SetStyle(vcl::TToolButtonStyle::tbsSeparator);
        s->SetParent(ToolBar1);
    };
    btnAdd = button("btnAdd", "新增");
    btnAdd->SetEnabled(false);
    btnQuery = button("btnQuery", "查询");
    btnEdit = button("btnEdit", "更改");
    btnDelete = button("btnDelete", "删除");
    btnPrint = button("btnPrint", "打印");
    separator();
    btnFirst = button("btnFirst", "第一个");
    btnPrior = button("btnPrior", "上一个");
    btnNext = button("btnNext", "下一个");
    btnLast = button("btnLast", "最后一个");
    btnReFresh = button("btnReFresh", "重取");
    separator();
}

void TfrmBase::CreateMainMenu() {
    MainMenu = vcl::TComponent::Create<vcl::TMainMenu>(this);
    MainMenu->SetName("MainMenu");
    MainMenu->SetOwnerDraw(true);
    MainMenu->SetImages(ImageList1);
    auto item = [&](vcl::TMenuItem* parent, const char* name, const char* caption, vcl::TShortCut shortCut, int tag) {
        auto* m = vcl::TComponent::Create<vcl::TMenuItem>(this);
        m->SetName(name);
        m->SetCaption(caption);
        if (shortCut) m->SetShortCut(shortCut);
        m->SetTag(tag);
        (parent ? parent : MainMenu->Items())->Add(m);
        return m;
    };
    using vcl::ShortCut;
    MenuItem1 = item(nullptr, "MenuItem1", "资料(&D)", 0, kMenuTag);
    MenuItem1->SetGroupIndex(11);
    miAdd = item(MenuItem1, "miAdd", "新增(&A)", ShortCut(vcl::VK_F5, 0), kMenuTag);
    miQuery = item(MenuItem1, "miQuery", "查询(&Q)", ShortCut(vcl::VK_F6, 0), kMenuTag);
    miEdit = item(MenuItem1, "miEdit", "更改(&E)", ShortCut(vcl::VK_F7, 0), kMenuTag);
    miDelete = item(MenuItem1, "miDelete", "删除(&D)", ShortCut(vcl::VK_F8, 0), kMenuTag);
    miViewItem = item(MenuItem1, "miViewItem", "查看文档(&V)", ShortCut(vcl::VK_F10, 0), kMenuTag);
    miViewItem->SetVisible(false);
    miFirst = item(MenuItem1, "miFirst", "第一个(&F)", ShortCut('H', vcl::ssCtrl), kMenuTag);
    miPrior = item(MenuItem1, "miPrior", "上一个(&P)", 0, kMenuTag);
    miNext = item(MenuItem1, "miNext", "下一个(&N)", 0, kMenuTag);
    miLast = item(MenuItem1, "miLast", "最后一个(&L)", ShortCut('E', vcl::ssCtrl), kMenuTag);
    item(MenuItem1, "N1", "-", 0, 0);
    NG = item(MenuItem1, "NG", "保存视图(&G)", 0, 0);
    MenuItem11 = item(nullptr, "MenuItem11", "功能(&F)", 0, kMenuTag);
    MenuItem11->SetGroupIndex(12);
    miToolBar = item(MenuItem11, "miToolBar", "工具栏(&S)", ShortCut('S', vcl::ssCtrl), kMenuTag);
    miToolBar->SetChecked(true);
    miManager = item(MenuItem11, "miManager", "管理字段(&M)", ShortCut('M', vcl::ssCtrl), kMenuTag);
    item(MenuItem11, "N2", "-", 0, 0);
    mnSearch = item(MenuItem11, "mnSearch", "快速定位(&F)", ShortCut('F', vcl::ssCtrl), 0);
    MenuItem16 = item(nullptr, "MenuItem16", "退出(&X)", 0, kMenuTag);
    MenuItem16->SetGroupIndex(100);
    miExit = item(MenuItem16, "miExit", "退出(&X)", 0, kMenuTag);
    SetMenu(MainMenu);
}

void TfrmBase::CreateSearchDialog() {
    kvSearchDialog1 = vcl::TComponent::Create<TkvSearchDialog>(this);
    kvSearchDialog1->SetName("kvSearchDialog1");
    auto* intl = vcl::TComponent::Create<TKvUserIntl>(this);
    intl->SetName("KvUserIntl1");
    kvSearchDialog1->UserIntl = intl;
}
