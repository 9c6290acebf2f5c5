// The gallery form: every control kind, with its published properties set
// by name as the language controller and the user settings set them, read
// back by name, and seen in the Qt widget that shows it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

#include "Gallery.h"
#include "QtText.h"

using namespace vcl;

namespace {

struct GalleryFixture : ::testing::Test {
    void SetUp() override {
        form = TComponent::Create<TGalleryForm>(nullptr);
        form->Show();
        QApplication::processEvents();
    }
    void TearDown() override { form->Free(); }
    TComponent* C(const char* name) const {
        TComponent* c = form->FindComponent(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    TGalleryForm* form = nullptr;
};

}  // namespace

TEST_F(GalleryFixture, EveryControlKindIsOnTheFormAndReachableByName) {
    const char* kinds[][2] = {
        {"lbl02", "TLabel"}, {"ed08", "TEdit"}, {"ed02", "TMaskEdit"}, {"cbo06", "TComboBox"},
        {"memolng", "TMemo"}, {"chkClosed", "TCheckBox"}, {"chkRange", "TBitCheckBox"}, {"btnQuery1", "TButton"},
        {"btnExit", "TBitBtn"}, {"sbClear", "TSpeedButton"}, {"btnBegin", "TF2Button"}, {"ed07", "TKvBtnEdit"},
        {"pnlNote", "TPanel"}, {"sp01", "TGroupBox"}, {"PageControl1", "TPageControl"}, {"TabSheet2", "TTabSheet"},
        {"StringGrid1", "TStringGrid"}, {"TreeView", "TTreeView"}, {"ListView1", "TListView"},
        {"Status", "TStatusBar"}, {"ToolBar1", "TToolBar"}, {"btnSep", "TToolButton"}, {"MainMenu", "TMainMenu"},
        {"popMemo", "TPopupMenu"}, {"miAdd", "TMenuItem"}, {"Splitter1", "TSplitter"}, {"Bevel1", "TBevel"},
        {"StatusGauge", "TGauge"}, {"ImageList1", "TImageList"}, {"dsMain", "TDataSource"},
    };
    for (auto& [name, cls] : kinds) {
        SCOPED_TRACE(name);
        TComponent* c = C(name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->ClassName(), cls) << name;
        EXPECT_EQ(c->Owner(), form) << name;
    }
}

TEST_F(GalleryFixture, CaptionsTextsAndHintsSetByNameShowInTheWidgets) {
    SetPropValue(C("lbl02"), "Caption", "交货日期");
    EXPECT_EQ(form->lbl02->Label()->text(), Q("交货日期"));
    SetPropValue(C("btnQuery1"), "Caption", "开始查询");
    EXPECT_EQ(form->btnQuery1->Button()->text(), Q("开始查询"));
    SetPropValue(C("chkClosed"), "Caption", "已结束");
    EXPECT_EQ(form->chkClosed->CheckBox()->text(), Q("已结束"));
    SetPropValue(C("sp01"), "Caption", "订单");
    EXPECT_EQ(form->sp01->GroupBox()->title(), Q("订单"));
    SetPropValue(C("pnlNote"), "Caption", "进度");
    EXPECT_EQ(form->pnlNote->CaptionLabel()->text(), Q("进度"));
    SetPropValue(C("TabSheet2"), "Caption", "结果");
    EXPECT_EQ(form->PageControl1->Tabs()->tabText(1), Q("结果"));
    SetPropValue(form, "Caption", "订单追踪");
    EXPECT_EQ(form->Widget()->windowTitle(), Q("订单追踪"));
    SetPropValue(C("ed08"), "Text", "C001");
    EXPECT_EQ(form->ed08->LineEdit()->text(), Q("C001"));
    EXPECT_EQ(GetPropValue(C("ed08"), "Text").ToString(), "C001");
    SetPropValue(C("ed07"), "Hint", "[F2]项目编号查询|查询项目");
    EXPECT_EQ(form->ed07->Widget()->toolTip(), Q("[F2]项目编号查询"));   // the short part
    SetPropValue(C("ed07"), "ShowHint", false);
    EXPECT_TRUE(form->ed07->Widget()->toolTip().isEmpty());
    EXPECT_EQ(GetPropValue(C("ed07"), "Hint").ToString(), "[F2]项目编号查询|查询项目");
    SetPropValue(C("miAdd"), "Caption", "增加(&A)");
    EXPECT_EQ(form->miAdd->Action()->text(), Q("增加(&A)"));
    SetPropValue(C("Status"), "SimpleText", "就绪");
    EXPECT_EQ(form->Status->SimpleLabel()->text(), Q("就绪"));
}

TEST_F(GalleryFixture, VisibilityEnabledStateAndTabVisibilityByName) {
    SetPropValue(C("ed07"), "Visible", false);
    EXPECT_TRUE(form->ed07->Widget()->isHidden());
    EXPECT_FALSE(GetPropValue(C("ed07"), "Visible").ToBool());
    SetPropValue(C("ed07"), "Visible", "True");
    EXPECT_FALSE(form->ed07->Widget()->isHidden());
    SetPropValue(C("btnQuery1"), "Enabled", false);
    EXPECT_FALSE(form->btnQuery1->Widget()->isEnabled());
    // A disabled container disables what is in it, which keeps its own state.
    SetPropValue(C("sp01"), "Enabled", false);
    EXPECT_FALSE(form->edBegin->Widget()->isEnabled());
    EXPECT_TRUE(form->edBegin->Enabled());
    SetPropValue(C("sp01"), "Enabled", true);
    EXPECT_TRUE(form->edBegin->Widget()->isEnabled());
    SetPropValue(C("TabSheet2"), "TabVisible", false);
    EXPECT_FALSE(form->PageControl1->Tabs()->isTabVisible(1));
    EXPECT_FALSE(GetPropValue(C("TabSheet2"), "TabVisible").ToBool());
    SetPropValue(C("miToolBar"), "Checked", false);
    EXPECT_FALSE(form->miToolBar->Action()->isChecked());
    SetPropValue(C("miExit"), "Visible", false);
    EXPECT_FALSE(form->miExit->Action()->isVisible());
}

TEST_F(GalleryFixture, FontsByDottedNameAndParentFont) {
    SetPropValue(C("lbl02"), "Font.Name", "宋体");
    SetPropValue(C("lbl02"), "Font.Size", 12);
    SetPropValue(C("lbl02"), "Font.Style", "[fsBold, fsUnderline]");
    SetPropValue(C("lbl02"), "Font.Charset", "GB2312_CHARSET");
    QFont f = form->lbl02->Widget()->font();
    EXPECT_EQ(f.family(), Q("宋体"));
    EXPECT_EQ(f.pointSize(), 12);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.underline());
    EXPECT_FALSE(f.italic());
    EXPECT_EQ(GetPropValue(C("lbl02"), "Font.Charset").ToInt(), 134);
    EXPECT_EQ(GetPropText(C("lbl02"), "Font.Charset"), "GB2312_CHARSET");
    EXPECT_EQ(GetPropText(C("lbl02"), "Font.Style"), "[fsBold,fsUnderline]");
    EXPECT_FALSE(GetPropValue(C("lbl02"), "ParentFont").ToBool());
    // Height and size are two views of one value.
    SetPropValue(C("lbl02"), "Font.Height", -16);
    EXPECT_EQ(GetPropValue(C("lbl02"), "Font.Size").ToInt(), 12);
    // Controls that keep their parent's font follow a change of it.
    SetPropValue(form, "Font.Name", "Tahoma");
    SetPropValue(form, "Font.Size", 11);
    EXPECT_EQ(form->ed08->Widget()->font().family(), Q("Tahoma"));
    EXPECT_EQ(form->edBegin->Widget()->font().pointSize(), 11);          // through the group box
    EXPECT_EQ(form->lbl02->Widget()->font().family(), Q("宋体"));        // its own font stays
    SetPropValue(C("lbl02"), "ParentFont", true);
    EXPECT_EQ(form->lbl02->Widget()->font().family(), Q("Tahoma"));
}

TEST_F(GalleryFixture, ColoursAndCursorsTakeTheirIdentifiers) {
    SetPropValue(C("ed08"), "Color", "clYellow");
    EXPECT_EQ(form->ed08->Widget()->palette().color(QPalette::Base), QColor(255, 255, 0));
    SetPropValue(C("ed08"), "Color", 11534335);   // light yellow as a number
    EXPECT_EQ(form->ed08->Widget()->palette().color(QPalette::Base), QColor(255, 255, 175));
    EXPECT_EQ(GetPropText(C("ed08"), "Color"), "11534335");   // no identifier: the number
    EXPECT_EQ(ColorToString(GetPropValue(C("ed08"), "Color").ToInt()), "$00AFFFFF");
    EXPECT_EQ(StringToColor("$00AFFFFF"), 11534335);
    SetPropValue(C("pnlNote"), "Color", "clBtnFace");
    EXPECT_EQ(GetPropValue(C("pnlNote"), "Color").ToInt(), clBtnFace);
    EXPECT_EQ(form->pnlNote->Widget()->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    SetPropValue(C("ListView1"), "Cursor", "crHandPoint");
    EXPECT_EQ(form->ListView1->Widget()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(GetPropText(C("ListView1"), "Cursor"), "crHandPoint");
    EXPECT_THROW(SetPropValue(C("ed08"), "Color", "clNoSuchColour"), plat::Exception);
}

TEST_F(GalleryFixture, BoundsAndAlignmentByName) {
    SetPropValue(C("ed08"), "Left", 250);
    SetPropValue(C("ed08"), "Width", 90);
    EXPECT_EQ(form->ed08->Widget()->geometry(), QRect(250, 104, 90, 22));
    SetPropValue(C("pnlNote"), "Align", "alBottom");
    EXPECT_EQ(GetPropValue(C("pnlNote"), "Align").ToInt(), static_cast<int>(TAlign::alBottom));
    EXPECT_EQ(GetPropText(C("pnlNote"), "Align"), "alBottom");
    QWidget* page = form->TabSheet1->Widget();
    EXPECT_EQ(form->pnlNote->Widget()->geometry(), QRect(0, page->height() - 40, page->width(), 40));
}

TEST_F(GalleryFixture, ListsByNameKeepTheSelectedItemAndShowInTheWidgets) {
    auto* items = static_cast<TStrings*>(GetObjectProp(C("cbo06"), "Items"));
    items->Put(2, "3:全部订单");   // a translated item
    EXPECT_EQ(form->cbo06->Combo()->itemText(2), Q("3:全部订单"));
    EXPECT_EQ(GetPropValue(C("cbo06"), "ItemIndex").ToInt(), 2);
    EXPECT_EQ(form->cbo06->Combo()->currentText(), Q("3:全部订单"));
    SetPropValue(C("cbo06"), "ItemIndex", 0);
    EXPECT_EQ(GetPropValue(C("cbo06"), "Text").ToString(), "1:已结束");
    // Style 2 becomes 3 under a converted interface, keeping the item index.
    SetPropValue(C("cbo06"), "Style", 3);
    EXPECT_EQ(GetPropValue(C("cbo06"), "ItemIndex").ToInt(), 0);
    EXPECT_FALSE(form->cbo06->Combo()->isEditable());
    SetPropValue(C("cbo06"), "Style", "csDropDown");
    EXPECT_TRUE(form->cbo06->Combo()->isEditable());
    EXPECT_EQ(form->cbo06->Combo()->currentText(), Q("1:已结束"));

    auto* lines = static_cast<TStrings*>(GetObjectProp(C("memolng"), "Lines"));
    lines->Put(1, "单据号码");
    EXPECT_EQ(form->memolng->TextEdit()->toPlainText(), Q("订单单别\n单据号码\n序号\n品号\n品名"));
    SetPropValue(C("memolng"), "Text", "甲\r\n乙");
    EXPECT_EQ(lines->Count(), 2);
    EXPECT_EQ(form->memolng->TextEdit()->toPlainText(), Q("甲\n乙"));

    auto* panels = static_cast<TStatusPanels*>(GetObjectProp(C("Status"), "Panels"));
    SetPropValue(panels->Items(0), "Text", "更改");
    EXPECT_EQ(panels->Items(0)->Label()->text(), Q("更改"));
    EXPECT_EQ(panels->Items(3)->Label()->geometry().x(), 40 + 400 + 50);

    auto* columns = static_cast<TListColumns*>(GetObjectProp(C("ListView1"), "Columns"));
    SetPropValue(columns->Items(1), "Caption", "单据号码");
    EXPECT_EQ(form->ListView1->Tree()->headerItem()->text(1), Q("单据号码"));
    auto* lvItems = static_cast<TListItems*>(GetObjectProp(C("ListView1"), "Items"));
    SetPropValue(lvItems->Item(0), "Caption", "2302");
    lvItems->Item(0)->SubItems()->Put(1, "2026/03/06");
    EXPECT_EQ(form->ListView1->Tree()->topLevelItem(0)->text(0), Q("2302"));
    EXPECT_EQ(form->ListView1->Tree()->topLevelItem(0)->text(2), Q("2026/03/06"));
}

TEST_F(GalleryFixture, GridCellsSizesAndOptions) {
    TStringGrid* grid = form->StringGrid1;
    EXPECT_EQ(grid->DisplayText(1, 0), "单号");
    grid->SetCell(5, 2, "Φ8");
    EXPECT_EQ(grid->DisplayText(5, 2), "Φ8");
    SetPropValue(grid, "RowCount", 4);
    EXPECT_EQ(grid->View()->model()->rowCount(), 4);
    EXPECT_EQ(grid->Cells(0, 3), "");
    EXPECT_EQ(grid->RowHeights(3), grid->DefaultRowHeight());
    grid->SetColWidth(3, 120);
    EXPECT_EQ(grid->View()->columnWidth(3), 120);
    SetPropValue(grid, "Options", "[goFixedVertLine,goVertLine,goRowSelect]");
    EXPECT_EQ(grid->Options(), goFixedVertLine | goVertLine | goRowSelect);
    EXPECT_EQ(grid->View()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(GetPropText(grid, "Options"), "[goFixedVertLine,goVertLine,goRowSelect]");
    SetPropValue(grid, "Row", 2);
    EXPECT_EQ(grid->View()->currentIndex().row(), 2);
    EXPECT_THROW(SetPropValue(grid, "Row", 0), plat::Exception);   // the heading row is never current
}

TEST_F(GalleryFixture, TreeNodesByAbsoluteIndex) {
    TTreeNodes* nodes = static_cast<TTreeNodes*>(GetObjectProp(C("TreeView"), "Items"));
    ASSERT_EQ(nodes->Count(), 5);
    SetPropValue(nodes->Item(4), "Text", "请购单 (0)");
    EXPECT_EQ(form->TreeView->Tree()->topLevelItem(0)->child(2)->text(0), Q("请购单 (0)"));
    EXPECT_EQ(nodes->Item(3)->SelectedIndex(), 2000);
    EXPECT_EQ(nodes->Item(3)->Parent()->Text(), "销货单");
    EXPECT_EQ(nodes->Item(3)->AbsoluteIndex(), 3);
    EXPECT_TRUE(nodes->Item(2)->Expanded());
    EXPECT_TRUE(form->TreeView->Tree()->topLevelItem(0)->child(1)->isExpanded());
    EXPECT_EQ(form->TreeView->Indent(), 19);
}

TEST_F(GalleryFixture, PropertyKindsAreReportedAsTheRuntimeReportsThem) {
    struct Case {
        const char* component;
        const char* property;
        TTypeKind kind;
    } cases[] = {
        {"ed08", "Left", TTypeKind::Integer},        {"ed08", "Text", TTypeKind::LString},
        {"ed08", "Visible", TTypeKind::Enumeration}, {"ed08", "Align", TTypeKind::Enumeration},
        {"ed08", "Font", TTypeKind::Class},          {"ed08", "Font.Style", TTypeKind::Set},
        {"ed08", "Font.Charset", TTypeKind::Integer}, {"ed08", "Color", TTypeKind::Integer},
        {"ed08", "OnChange", TTypeKind::Method},     {"ed08", "DataSource", TTypeKind::Class},
        {"cbo06", "Items", TTypeKind::Class},        {"cbo06", "Style", TTypeKind::Enumeration},
        {"memolng", "Lines", TTypeKind::Class},      {"ListView1", "Columns", TTypeKind::Class},
        {"Status", "Panels", TTypeKind::Class},      {"StringGrid1", "Options", TTypeKind::Set},
        {"TabSheet1", "TabVisible", TTypeKind::Enumeration}, {"btnBegin", "F2Control", TTypeKind::Class},
        {"miAdd", "ShortCut", TTypeKind::Integer},   {"ed02", "EditMask", TTypeKind::LString},
    };
    for (const Case& c : cases) EXPECT_EQ(PropType(C(c.component), c.property), c.kind) << c.component << "." << c.property;
    // The Windows input method name is published where the platform has it, and only there.
    for (const char* name : {"ed08", "ed02", "ed07", "memolng", "cbo06"}) EXPECT_TRUE(IsPublishedProp(C(name), "ImeName")) << name;
    for (const char* name : {"lbl02", "btnQuery1", "pnlNote", "TreeView"}) EXPECT_FALSE(IsPublishedProp(C(name), "ImeName")) << name;
    EXPECT_FALSE(IsPublishedProp(C("lbl02"), "Text"));
    EXPECT_TRUE(IsPublishedProp(C("ed08"), "Font.Name"));
    EXPECT_THROW(SetPropValue(C("cbo06"), "Style", "csNoSuchStyle"), plat::Exception);
    EXPECT_THROW(SetPropValue(C("ListView1"), "Columns", "x"), plat::Exception);   // a list is no text
}

TEST_F(GalleryFixture, ObjectPropertiesCanBeAssignedByName) {
    auto* other = TComponent::Create<TDataSource>(form);
    SetObjectProp(C("ed08"), "DataSource", other);
    EXPECT_EQ(form->ed08->DataSource(), other);
    SetObjectProp(C("btnBegin"), "F2Control", form->ed08);
    EXPECT_EQ(form->btnBegin->F2Control(), form->ed08);
    EXPECT_THROW(SetObjectProp(C("ed08"), "DataSource", form->ed07), plat::Exception);   // not a data source
    EXPECT_THROW(SetObjectProp(C("ed08"), "Font", nullptr), plat::Exception);            // not assignable
}

TEST_F(GalleryFixture, MenuShortcutsChecksAndImages) {
    EXPECT_EQ(form->miAdd->Action()->shortcut(), QKeySequence(Qt::Key_F5));
    SetPropValue(C("miQuery"), "ShortCut", "Ctrl+Q");
    EXPECT_EQ(form->miQuery->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(ShortCutToText(static_cast<TShortCut>(GetPropValue(C("miQuery"), "ShortCut").ToInt())), "Ctrl+Q");
    EXPECT_FALSE(form->miAdd->Action()->icon().isNull());
    EXPECT_TRUE(form->miLine->Action()->isSeparator());
    EXPECT_EQ(form->MainMenu->MenuBar()->actions().size(), 2);
    EXPECT_EQ(form->MenuItem1->SubMenu()->actions().size(), 4);
    ASSERT_NE(form->MainMenu->MenuBar()->parentWidget(), nullptr);
    EXPECT_EQ(form->MainMenu->MenuBar()->window(), form->Widget());
}
