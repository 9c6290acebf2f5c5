// Controls that hold lists and states: tree nodes and the top item, list
// view selection, sorting and column clicks, page changes that can be
// refused, combo box and check box events, radio menu items, grouped
// buttons, the tool bar's layout and the gauge's limits.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QToolButton>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "Buttons.h"
#include "ComCtrls.h"
#include "FormFixture.h"
#include "Forms.h"
#include "Gauges.h"
#include "Grids.h"
#include "Menus.h"
#include "StdCtrls.h"

using namespace vcl;

TEST_F(FormFixture, TreeRebuiltInsideAnUpdateBracketFullyExpandedWithItsRootOnTop) {
    auto* tree = Make<TTreeView>();
    tree->SetBounds(0, 0, 200, 60);   // room for a few lines only
    std::vector<TTreeNode*> changes;
    tree->OnChange = TTVChangedEvent([&](TObject*, TTreeNode* n) { changes.push_back(n); });
    for (int round = 0; round < 2; ++round) {
        tree->Items()->BeginUpdate();
        tree->Items()->Clear();
        TTreeNode* root = tree->Items()->Add(nullptr, "root");
        for (int g = 0; g < 3; ++g) {
            TTreeNode* group = tree->Items()->AddChild(root, "group " + std::to_string(g));
            for (int i = 0; i < 4; ++i) tree->Items()->AddChild(group, "line")->SetSelectedIndex(1000 * (g + 2));
        }
        tree->FullExpand();
        tree->Items()->EndUpdate();
        tree->SetTopItem(tree->Items()->GetFirstNode());
        if (round == 0) tree->SetSelected(tree->Items()->Item(14));   // scrolls the view down
    }
    EXPECT_EQ(tree->Items()->Count(), 16);
    EXPECT_EQ(tree->TopItem(), tree->Items()->GetFirstNode());
    EXPECT_EQ(tree->Items()->Item(6)->Text(), "group 1");
    EXPECT_EQ(tree->Items()->Item(7)->Level(), 2);
    EXPECT_EQ(tree->Items()->Item(7)->SelectedIndex(), 3000);
    EXPECT_EQ(tree->Items()->Item(7)->Parent()->Parent(), tree->Items()->GetFirstNode());
    EXPECT_EQ(tree->Selected(), nullptr);   // clearing dropped the selection without an event
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_THROW(tree->Items()->Item(16), plat::Exception);
}

TEST_F(FormFixture, DeletingTheSelectedNodeReportsTheNewSelection) {
    auto* tree = Make<TTreeView>();
    TTreeNode* a = tree->Items()->Add(nullptr, "a");
    TTreeNode* b = tree->Items()->Add(nullptr, "b");
    tree->Items()->AddChild(a, "a1");
    tree->SetSelected(a);
    std::vector<std::string> seen;
    tree->OnChange = TTVChangedEvent([&](TObject*, TTreeNode* n) { seen.push_back(n ? n->Text() : "none"); });
    a->Delete();
    EXPECT_EQ(tree->Items()->Count(), 1);
    EXPECT_EQ(tree->Items()->GetFirstNode(), b);
    EXPECT_EQ(seen, std::vector<std::string>{tree->Selected() ? tree->Selected()->Text() : "none"});
}

TEST_F(FormFixture, ListViewReportsEachSelectionChangeSortsAndPassesColumnClicks) {
    auto* list = Make<TListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    list->SetMultiSelect(true);
    list->Columns()->Add()->SetCaption("Data");
    for (const char* text : {"b", "C", "a"}) {
        TListItem* item = list->Items()->Add();
        item->SetCaption(text);
        item->SubItems()->Add(std::string("sub ") + text);
    }
    std::vector<std::string> selections;
    list->OnSelectItem = TLVSelectItemEvent(
        [&](TObject*, TListItem* item, bool selected) { selections.push_back(item->Caption() + (selected ? "+" : "-")); });
    list->Items()->Item(0)->SetSelected(true);
    list->Items()->Item(2)->SetSelected(true);
    list->Items()->Item(0)->SetSelected(false);
    EXPECT_EQ(selections, (std::vector<std::string>{"b+", "a+", "b-"}));
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_EQ(list->Selected()->Caption(), "a");

    list->AlphaSort();
    std::vector<std::string> order;
    for (int i = 0; i < list->Items()->Count(); ++i) order.push_back(list->Items()->Item(i)->Caption());
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(list->Tree()->topLevelItem(2)->text(0), "C");
    EXPECT_TRUE(list->Items()->Item(0)->Selected());   // the selection moved with its item
    EXPECT_EQ(list->Items()->Item(0)->SubItems()->Strings(0), "sub a");

    TListColumn* clicked = nullptr;
    list->OnColumnClick = TLVColumnClickEvent([&](TObject*, TListColumn* c) { clicked = c; });
    emit list->Tree()->header()->sectionClicked(0);
    EXPECT_EQ(clicked, list->Columns()->Items(0));
    EXPECT_GT(list->StringWidth("WWW"), list->StringWidth("W"));
}

TEST_F(FormFixture, PageChangesByTheUserCanBeRefusedAndProgramChangesFireNoChangeEvent) {
    auto* pages = Make<TPageControl>();
    pages->SetBounds(0, 0, 300, 200);
    auto* first = TComponent::Create<TTabSheet>(form);
    first->SetCaption("查询");
    first->SetPageControl(pages);
    auto* second = TComponent::Create<TTabSheet>(form);
    second->SetCaption("查询结果");
    second->SetPageControl(pages);
    auto* edit = TComponent::Create<TEdit>(form);
    edit->SetParent(second);
    int changes = 0;
    bool allow = false;
    pages->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    pages->OnChanging = TTabChangingEvent([&](TObject*, bool& a) { a = allow; });
    QApplication::processEvents();
    QTabBar* bar = pages->Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    EXPECT_EQ(pages->ActivePage(), first);
    allow = true;
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    EXPECT_EQ(pages->ActivePage(), second);
    EXPECT_EQ(changes, 1);
    pages->SetActivePage(first);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(second->Visible());
    EXPECT_FALSE(edit->CanFocus());   // on a page not shown
    second->SetTabVisible(false);
    EXPECT_EQ(pages->FindNextPage(first, true), first);
    second->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), second);
    EXPECT_EQ(pages->Tabs()->widget(0), second->Widget());
}

TEST_F(FormFixture, ComboBoxEventsAndItemIndexAcrossItemChanges) {
    auto* combo = Make<TComboBox>();
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    int changes = 0;
    combo->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    combo->Items()->Assign(std::vector<std::string>{"1:已结束", "2:未结束", "3:全部"});
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(2);
    EXPECT_EQ(changes, 0);   // the program's choice is no change by the user
    combo->Items()->Add("4:其他");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->Items()->Delete(0);
    EXPECT_EQ(combo->Combo()->count(), 3);
    combo->Items()->Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->Items()->SetText("a\nb");
    emit combo->Combo()->activated(1);   // what a choice in the list does
    EXPECT_EQ(changes, 1);
    combo->SetText("a");
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->SetText("zzz");   // a drop-down list has no such item
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(FormFixture, CheckBoxClicksOnEveryChangeAndGraysOnlyWhenAllowed) {
    auto* box = Make<TCheckBox>();
    int clicks = 0;
    box->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    box->SetChecked(true);
    box->SetChecked(true);
    box->SetState(TCheckBoxState::cbGrayed);
    EXPECT_EQ(box->State(), TCheckBoxState::cbUnchecked);
    box->SetAllowGrayed(true);
    box->SetState(TCheckBoxState::cbGrayed);
    EXPECT_EQ(box->State(), TCheckBoxState::cbGrayed);
    EXPECT_EQ(clicks, 3);
}

TEST_F(FormFixture, RadioMenuItemsOfOneGroupExcludeEachOtherAndShortcutsRunItems) {
    auto* menu = TComponent::Create<TMainMenu>(form);
    form->SetMenu(menu);
    auto* parent = TComponent::Create<TMenuItem>(form);
    parent->SetCaption("功能(&F)");
    menu->Items()->Add(parent);
    std::vector<TMenuItem*> radios;
    for (int i = 0; i < 3; ++i) {
        auto* item = TComponent::Create<TMenuItem>(form);
        item->SetRadioItem(true);
        item->SetGroupIndex(i < 2 ? 1 : 2);
        parent->Add(item);
        radios.push_back(item);
    }
    radios[0]->SetChecked(true);
    radios[2]->SetChecked(true);
    radios[1]->SetChecked(true);
    EXPECT_FALSE(radios[0]->Checked());
    EXPECT_TRUE(radios[2]->Checked());   // another group
    EXPECT_FALSE(radios[0]->Action()->isChecked());

    int opened = 0, ran = 0;
    parent->OnClick = TNotifyEvent([&](TObject*) { ++opened; });
    radios[2]->SetShortCut(TextToShortCut("Ctrl+M"));
    radios[2]->OnClick = TNotifyEvent([&](TObject*) { ++ran; });
    emit parent->SubMenu()->aboutToShow();   // opening the sub-menu is a click on its item
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(menu->IsShortCut(ShortCut('M', ssCtrl)));
    radios[2]->SetEnabled(false);
    EXPECT_FALSE(menu->IsShortCut(ShortCut('M', ssCtrl)));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(TextToShortCut("F9"), VK_F9);
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, ssShift)), "Shift+Del");
    EXPECT_EQ(TextToShortCut("Ctrl+NoSuchKey"), 0);
    // Freeing an item takes it out of its menu; freeing the parent takes the rest.
    radios[0]->Free();
    EXPECT_EQ(parent->Count(), 2);
    parent->Free();
    EXPECT_EQ(menu->Items()->Count(), 0);
    EXPECT_EQ(form->ComponentCount(), 1);
}

TEST_F(FormFixture, GroupedSpeedButtonsStayDownOneAtATime) {
    auto* a = Make<TSpeedButton>();
    auto* b = Make<TSpeedButton>();
    for (auto* s : {a, b}) s->SetGroupIndex(1);
    a->Click();
    EXPECT_TRUE(a->Down());
    b->Click();
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    b->Click();
    EXPECT_TRUE(b->Down());   // without AllowAllUp the last one stays down
    b->SetAllowAllUp(true);
    b->Click();
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(b->Button()->isChecked());
}

TEST_F(FormFixture, ToolButtonsStandInOrderAndSeparatorsKeepTheirWidth) {
    auto* bar = Make<TToolBar>();
    bar->SetButtonWidth(25);
    bar->SetButtonHeight(25);
    std::vector<TToolButton*> buttons;
    for (int i = 0; i < 4; ++i) {
        auto* b = TComponent::Create<TToolButton>(form);
        b->SetParent(bar);
        buttons.push_back(b);
    }
    buttons[2]->SetStyle(TToolButtonStyle::tbsSeparator);
    EXPECT_EQ(buttons[1]->Left(), 25);
    EXPECT_EQ(buttons[2]->Width(), 8);
    EXPECT_EQ(buttons[3]->Left(), 58);
    EXPECT_EQ(buttons[3]->Height(), 25);
    buttons[1]->SetVisible(false);
    EXPECT_EQ(buttons[3]->Left(), 33);
    EXPECT_EQ(bar->Align(), TAlign::alTop);
    EXPECT_EQ(bar->Width(), form->ClientWidth());
    EXPECT_EQ(bar->ButtonCount(), 4);
}

TEST_F(FormFixture, TheGaugeKeepsItsProgressInsideItsRange) {
    auto* gauge = Make<TGauge>();
    gauge->SetMinValue(0);
    gauge->SetMaxValue(3);
    for (int i = 0; i < 5; ++i) gauge->AddProgress(1);
    EXPECT_EQ(gauge->Progress(), 3);
    EXPECT_EQ(gauge->Bar()->value(), 3);
    EXPECT_EQ(gauge->PercentDone(), 100);
    gauge->SetMaxValue(1);
    EXPECT_EQ(gauge->Progress(), 1);
    gauge->SetMaxValue(gauge->MinValue());
    EXPECT_EQ(gauge->PercentDone(), 0);
}

TEST_F(FormFixture, GridCurrentCellChangesAreClicksAndCanBeRefused) {
    auto* grid = Make<TStringGrid>();
    grid->SetColCount(6);
    grid->SetRowCount(4);
    int clicks = 0;
    grid->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    grid->OnSelectCell = TSelectCellEvent([](TObject*, int, int row, bool& can) { can = row != 3; });
    grid->SetRow(2);
    EXPECT_EQ(clicks, 1);
    grid->SetRow(3);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(clicks, 1);
    grid->SetRowCount(2);   // the current row shrinks with the grid
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_THROW(grid->SetCell(6, 0, "x"), plat::Exception);
    EXPECT_THROW(grid->SetFixedRows(2), plat::Exception);
}
