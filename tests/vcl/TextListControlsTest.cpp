// Controls whose texts the code converter reaches by class: the list box
// (sorted or not), the tab set with a change the user may be refused, the
// aligned string grid's alignments, hints, fonts and titles as its view
// reads them; and a list view sorted by text that keeps its order while
// captions change, asks before a change and reports mouse moves.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QFont>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabBar>
#include <QTableView>
#include <QTreeWidget>

#include "AlignGrid.h"
#include "ComCtrls.h"
#include "FormFixture.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "Tabs.h"

using namespace vcl;

namespace {

struct TextListForm : FormFixture {};

std::vector<std::string> Shown(QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

std::vector<std::string> Captions(TListView* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->Items()->Count(); ++i) out.push_back(list->Items()->Item(i)->Caption());
    return out;
}

}  // namespace

TEST_F(TextListForm, SortedListBoxKeepsItsItemsInTextOrderWhateverTheProgramPutsIn) {
    auto* box = Make<TListBox>();
    box->Items()->SetText("b\nC\na\n");
    EXPECT_EQ(Shown(box->List()), (std::vector<std::string>{"b", "C", "a"}));
    box->SetItemIndex(1);
    box->SetSorted(true);
    EXPECT_EQ(box->Items()->ToVector(), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(Shown(box->List()), (std::vector<std::string>{"a", "b", "C"}));
    box->Items()->Put(0, "d");
    EXPECT_EQ(Shown(box->List()), (std::vector<std::string>{"b", "C", "d"}));
    EXPECT_EQ(box->ItemIndex(), 1);
    box->SetItemIndex(7);
    EXPECT_EQ(box->ItemIndex(), -1);
    int clicks = 0;
    box->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    box->List()->setCurrentRow(2);   // as the user's choice arrives
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box->ItemIndex(), 2);
    EXPECT_EQ(GetPropText(box, "Style"), "lbStandard");
    SetPropValue(box, "Style", plat::Variant("lbOwnerDrawFixed"));
    EXPECT_EQ(box->Style(), TListBoxStyle::lbOwnerDrawFixed);
}

TEST_F(TextListForm, TabSetFollowsItsTabsAndTheUsersChangeCanBeRefused) {
    auto* tabs = Make<TTabSet>();
    tabs->Tabs()->SetText("订单\n销货\n发票\n");
    ASSERT_EQ(tabs->Bar()->count(), 3);
    tabs->SetTabIndex(2);
    EXPECT_EQ(tabs->Bar()->currentIndex(), 2);
    tabs->Tabs()->SetText("订单\n销货\n發票\n");
    EXPECT_EQ(tabs->Bar()->tabText(2).toStdString(), "發票");
    EXPECT_EQ(tabs->TabIndex(), 2);
    tabs->Tabs()->SetText("订单\n");
    EXPECT_EQ(tabs->Bar()->count(), 1);
    EXPECT_EQ(tabs->TabIndex(), -1);

    tabs->Tabs()->SetText("a\nb\nc\n");
    tabs->SetTabIndex(0);
    bool allow = false;
    std::vector<int> asked;
    int clicks = 0;
    tabs->OnChange = TTabSetChangeEvent([&](TObject*, int index, bool& allowed) {
        asked.push_back(index);
        allowed = allow;
    });
    tabs->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    tabs->Bar()->setCurrentIndex(1);   // as a click on the tab does
    EXPECT_EQ(asked, (std::vector<int>{1}));
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(tabs->Bar()->currentIndex(), 0);
    allow = true;
    tabs->Bar()->setCurrentIndex(2);
    EXPECT_EQ(tabs->TabIndex(), 2);
    EXPECT_EQ(clicks, 1);
    tabs->SetTabIndex(1);   // the program's change asks nobody
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(TextListForm, AlignedGridShowsAlignmentsHintsFontsAndTitlesThroughItsView) {
    auto* grid = Make<TAlignedStringGrid>();
    grid->SetColCount(3);
    grid->SetRowCount(4);
    grid->ColumnTitles()->SetText("\nItem\nQty\nbeyond\n");
    grid->RowTitles()->SetText("\n1\n2\n");
    grid->SetColAlignment(2, TAlignment::taRightJustify);
    grid->SetCellHint(1, 2, "the item's name");
    grid->CellFont(2, 3)->SetSize(20);
    grid->CellFont(2, 3)->SetStyle(fsBold);
    QAbstractItemModel* model = grid->View()->model();
    auto look = [&](int col, int row, int role) { return model->data(model->index(row, col), role); };
    EXPECT_EQ(grid->DisplayText(1, 0), "Item");
    EXPECT_EQ(grid->DisplayText(2, 0), "Qty");
    EXPECT_EQ(grid->DisplayText(0, 2), "2");
    EXPECT_EQ(grid->DisplayText(0, 3), "");
    EXPECT_EQ(look(2, 1, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(look(1, 1, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(look(1, 2, Qt::ToolTipRole).toString().toStdString(), "the item's name");
    EXPECT_FALSE(look(1, 1, Qt::ToolTipRole).isValid());
    EXPECT_EQ(look(2, 3, Qt::FontRole).value<QFont>().pointSize(), 20);
    EXPECT_TRUE(look(2, 3, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(look(2, 2, Qt::FontRole).isValid());
    EXPECT_EQ(grid->HintedCells(), (std::vector<std::pair<int, int>>{{1, 2}}));
    grid->SetCellHint(1, 2, "");
    EXPECT_TRUE(grid->HintedCells().empty());
}

TEST_F(TextListForm, TextSortedListViewPlacesAChangedCaptionAndAsksFirst) {
    auto* list = Make<TListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    list->SetSortType(TSortType::stText);
    for (const char* text : {"d", "b", "f"}) list->Items()->Add()->SetCaption(text);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"b", "d", "f"}));
    list->Items()->Item(2)->SetSelected(true);
    list->Items()->Item(2)->SetCaption("a");   // "f" moves to the front, selected still
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_TRUE(list->Items()->Item(0)->Selected());
    EXPECT_EQ(list->Tree()->topLevelItem(0)->text(0).toStdString(), "a");
    EXPECT_EQ(list->Tree()->topLevelItem(2)->text(0).toStdString(), "d");
    // Two items put in without captions, then captioned one after the other.
    TListItem* first = list->Items()->Insert(1);
    TListItem* second = list->Items()->Add();
    second->SetCaption("c");
    first->SetCaption("e");
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list->Tree()->topLevelItem(i)->text(0).toStdString(), Captions(list)[i]);

    bool allow = false;
    list->OnChanging = TLVChangingEvent([&](TObject*, TListItem*, TItemChange change, bool& allowed) {
        EXPECT_EQ(change, TItemChange::ctText);
        allowed = allow;
    });
    list->Items()->Item(0)->SetCaption("z");
    EXPECT_EQ(Captions(list).front(), "a");
    allow = true;
    list->Items()->Item(0)->SetCaption("z");
    EXPECT_EQ(Captions(list).back(), "z");
}

TEST_F(TextListForm, MouseMovesReachTheControlInItsCoordinates) {
    auto* list = Make<TListView>();
    list->SetBounds(20, 30, 200, 100);
    std::vector<std::pair<int, int>> moves;
    list->OnMouseMove = TMouseMoveEvent([&](TObject* sender, TShiftState, int x, int y) {
        EXPECT_EQ(sender, list);
        moves.emplace_back(x, y);
    });
    QWidget* viewport = list->Tree()->viewport();
    EXPECT_TRUE(viewport->hasMouseTracking());
    QPoint at(10, 12);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QPoint expected = viewport->mapTo(list->Widget(), at);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{expected.x(), expected.y()}}));
}
