// The selection panel on a shown window: start and end put in order when
// the panel is left (strings, numbers, dates with one separator, masks that
// keep leading blanks), the list's rows, duplicates, sorting and deleting,
// lookup requests to the form, style changes with the size exchange, and
// the published properties the language controller reaches.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <random>

#include "Forms.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "controls/SelectPnl.h"
#include "controls/SelectPnl_p.h"
#include "lang/LangControls.h"

using namespace vcl;

namespace {

void Pump() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// A left click at `at`, delivered as the window system delivers one.
void LeftClick(QWidget* widget, QPoint at) {
    QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
    Pump();
}

// A window that answers the lookup requests of its controls (WM_KEYF2) and
// records them, as the query frame's DoKeyF2 does.
struct LookupWindow : TForm {
    explicit LookupWindow(TComponent* owner) : TForm(owner) {}
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_KEYF2) {
            requests.push_back(TControl::ControlFromParam(m.LParam));
            log.push_back("lookup");
            if (answer) answer(TControl::ControlFromParam(m.LParam));
            return;
        }
        TForm::WndProc(m);
    }
    std::vector<TControl*> requests;
    std::vector<std::string> log;
    std::function<void(TControl*)> answer;
};

class PanelWindow : public testing::Test {
protected:
    void SetUp() override {
        form = TComponent::Create<LookupWindow>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        panel = TComponent::Create<TSelectPanel>(form);
        panel->SetName("sp01");
        panel->SetParent(form);
        panel->SetBounds(10, 10, 353, 45);
        other = TComponent::Create<TEdit>(form);
        other->SetParent(form);
        other->SetBounds(10, 300, 100, 24);
        form->Show();
    }
    void TearDown() override { form->Free(); }

    // Types start and end as the user would leave them and leaves the panel.
    void Leave(const std::string& start, const std::string& end) {
        panel->BeginEdit->SetFocus();
        panel->BeginEdit->SetText(start);
        panel->FinalEdit->SetText(end);
        other->SetFocus();
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (int i = 0; i < panel->Items()->Count(); ++i) out.push_back(panel->Items()->Item(i)->Caption());
        return out;
    }

    LookupWindow* form = nullptr;
    TSelectPanel* panel = nullptr;
    TEdit* other = nullptr;
};

// ---- leaving the panel ----

struct ExchangeCase {
    const char* name;
    TValueType type;
    TDateType dateType;
    const char* mask;
    const char* start;
    const char* end;
    const char* startAfter;
    const char* endAfter;
};

const ExchangeCase kExchangeCases[] = {
    {"strings_in_wrong_order", TValueType::vt_String, TDateType::dt_NoneCare, "", "B", "A", "A", "B"},
    {"strings_are_trimmed", TValueType::vt_String, TDateType::dt_NoneCare, "", "  B ", " A", "A", "B"},
    {"string_10_before_9", TValueType::vt_String, TDateType::dt_NoneCare, "", "10", "9", "10", "9"},
    {"number_10_after_9", TValueType::vt_Number, TDateType::dt_NoneCare, "", "10", "9", "9", "10"},
    {"number_text_counts_as_0", TValueType::vt_Number, TDateType::dt_NoneCare, "", "abc", "5", "abc", "5"},
    {"number_beyond_32_bits", TValueType::vt_Number, TDateType::dt_NoneCare, "", "99999999999", "3000000000",
     "3000000000", "99999999999"},
    {"float_compared_as_number", TValueType::vt_Float, TDateType::dt_NoneCare, "", "1,000.5", "999", "999",
     "1,000.5"},
    {"other_mask_never_exchanged", TValueType::vt_OtherMask, TDateType::dt_NoneCare, "", "B", "A", "B", "A"},
    {"date_only_start", TValueType::vt_Date, TDateType::dt_YYYYMMDD, "", "2026/02/01", "", "2026/02/01", ""},
    {"date_month_counts_as_first", TValueType::vt_Date, TDateType::dt_YYYYMMDD, "", "2026/02", "2026/01/15",
     "2026/01/15", "2026/02"},
    {"date_first_of_month_not_after", TValueType::vt_Date, TDateType::dt_YYYYMMDD, "", "2026/01", "2026/01/15",
     "2026/01", "2026/01/15"},
    {"date_mmddyyyy_one_separator", TValueType::vt_Date, TDateType::dt_MMDDYYYY, "", "02/2026", "01/15/2026",
     "01/15/2026", "02/2026"},
    {"date_ddmmyyyy_one_separator", TValueType::vt_Date, TDateType::dt_DDMMYYYY, "", "02/2026", "15/01/2026",
     "15/01/2026", "02/2026"},
    // Year 1 is 1912, a leap year: 29 February is a date.
    {"date_yymmdd_counts_from_1912", TValueType::vt_Date, TDateType::dt_YYMMDD, "", "01/02/29", "01/02/28",
     "01/02/28", "01/02/29"},
    {"date_yymmdd_compared_as_dates", TValueType::vt_Date, TDateType::dt_YYMMDD, "", "99/02", "100/01/01", "99/02",
     "100/01/01"},
    {"date_impossible_is_no_date", TValueType::vt_Date, TDateType::dt_YYYYMMDD, "", "2026/02/30", "2026/01/01",
     "2026/02/30", "2026/01/01"},
    {"date_as_text_without_order", TValueType::vt_Date, TDateType::dt_NoneCare, "", "2026/2/1", "2026/10/1",
     "2026/10/1", "2026/2/1"},
    {"date_mask_blank_end", TValueType::vt_Date, TDateType::dt_YYYYMMDD, "9999/99/99;1; ", "20260301", "",
     "2026/03/01", "    /  /  "},
    {"bang_mask_text_not_trimmed", TValueType::vt_String, TDateType::dt_NoneCare, "!cccc-ccccccccccc;0; ",
     "A1  0000007    ", "B1  0000001    ", "A1  0000007    ", "B1  0000001    "},
    {"bang_mask_exchanged_as_typed", TValueType::vt_String, TDateType::dt_NoneCare, "!cccc-ccccccccccc;0; ",
     "B1  0000001    ", "A1  0000007    ", "A1  0000007    ", "B1  0000001    "},
    {"bang_mask_keeps_leading_blanks", TValueType::vt_String, TDateType::dt_NoneCare, "!cccc-ccccccccccc;0; ", "B",
     "A", "              A", "              B"},
};

void PrintTo(const ExchangeCase& c, std::ostream* os) { *os << c.name; }

class SelectPanelExchange : public PanelWindow, public testing::WithParamInterface<ExchangeCase> {};

TEST_P(SelectPanelExchange, LeavingPutsStartAndEndInOrder) {
    const ExchangeCase& c = GetParam();
    panel->SetValueType(c.type);
    panel->SetDateType(c.dateType);
    if (*c.mask) panel->SetEditMask(c.mask);
    Leave(c.start, c.end);
    EXPECT_EQ(panel->BeginEdit->Text(), c.startAfter);
    EXPECT_EQ(panel->FinalEdit->Text(), c.endAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectPanelExchange, testing::ValuesIn(kExchangeCases),
                         [](const testing::TestParamInfo<ExchangeCase>& info) { return std::string(info.param.name); });

TEST_F(PanelWindow, SelectPanelDateExchangeCanBeSwitchedOffAndDiscarded) {
    panel->SetValueType(TValueType::vt_Date);
    panel->SetAutoChangeDateSite(false);
    Leave("B", "A");
    EXPECT_EQ(panel->BeginEdit->Text(), "B");
    panel->SetAutoChangeDateSite(true);
    panel->SetUseDiscard(true);
    panel->SetDiscard("ALL");
    Leave("ALL", "A");
    EXPECT_EQ(panel->BeginEdit->Text(), "ALL");
    panel->SetValueType(TValueType::vt_String);
    Leave("Z", " ALL ");
    EXPECT_EQ(panel->BeginEdit->Text(), "Z");
    panel->SetUseDiscard(false);
    Leave("Z", "ALL");
    EXPECT_EQ(panel->BeginEdit->Text(), "ALL");
}

TEST_F(PanelWindow, SelectPanelOnExitComesAfterTheExchange) {
    std::vector<std::string> seen;
    panel->OnExit = TNotifyEvent([&](TObject* sender) {
        EXPECT_EQ(sender, panel);
        seen.push_back(panel->BeginEdit->Text() + ".." + panel->FinalEdit->Text());
    });
    panel->BeginEdit->SetFocus();
    panel->BeginEdit->SetText("B");
    panel->FinalEdit->SetText("A");
    panel->FinalEdit->SetFocus();   // moving inside the panel is no leaving
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(panel->BeginEdit->Text(), "B");
    other->SetFocus();
    EXPECT_EQ(seen, (std::vector<std::string>{"A..B"}));
}

TEST(SelectPanelRules, TextsThatAreNoDatesOrNumbersCountAsNothing) {
    using selectpnl::ExchangeDate;
    using selectpnl::ReadInteger;
    EXPECT_EQ(ExchangeDate("2024-02-29", "", TDateType::dt_YYYYMMDD, "-"), 20240229);
    EXPECT_EQ(ExchangeDate("2023-02-29", "", TDateType::dt_YYYYMMDD, "-"), 0);
    EXPECT_EQ(ExchangeDate("2026", "", TDateType::dt_YYYYMMDD, "/"), 0);           // no separator
    EXPECT_EQ(ExchangeDate("2026/1/2/3", "", TDateType::dt_YYYYMMDD, "/"), 0);     // three
    EXPECT_EQ(ExchangeDate("2026/ab/01", "", TDateType::dt_YYYYMMDD, "/"), 0);
    EXPECT_EQ(ExchangeDate("2026/01/01", "", TDateType::dt_YYYYMMDD, ""), 0);
    EXPECT_EQ(ReadInteger("  -12", 0), -12);
    EXPECT_EQ(ReadInteger("$1F", 0), 31);
    EXPECT_EQ(ReadInteger("12 ", -1), -1);
    EXPECT_EQ(ReadInteger("9223372036854775808", -1), -1);
}

// ---- the list ----

TEST_F(PanelWindow, SelectPanelAddListRowCreatesDataColumnsAndPadsRows) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->AddListRow({"C001"});
    panel->AddListRow({"C002", "Acme", "Taipei"});
    ASSERT_EQ(panel->Columns()->Count(), 3);
    EXPECT_EQ(panel->ColumnCaptions()->ToVector(), (std::vector<std::string>{"Data", "Data2", "Data3"}));
    EXPECT_EQ(panel->Items()->Item(0)->SubItems()->ToVector(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(panel->Items()->Item(1)->SubItems()->ToVector(), (std::vector<std::string>{"Acme", "Taipei"}));
    // Each column holds its widest text, caption included, with little to spare.
    const QFontMetrics metrics(panel->ListView->Tree()->font());
    const char* widest[] = {"Data", "Data2", "Taipei"};
    for (int c = 0; c < 3; ++c) {
        const int needed = metrics.horizontalAdvance(QString::fromUtf8(widest[c]));
        EXPECT_GE(panel->Columns()->Items(c)->Width(), needed) << widest[c];
        EXPECT_LE(panel->Columns()->Items(c)->Width(), needed + 16) << widest[c];
    }
    panel->AddListRow({});
    EXPECT_EQ(panel->Items()->Count(), 2);
}

TEST_F(PanelWindow, SelectPanelDuplicatesGoOnceCheckingIsOn) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    for (const char* code : {"b", "A", "a", "b"}) panel->AddListRow({code});
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "A", "a", "b"}));
    panel->SetCheckDuplicate(TCheckDuplicate::cd_CheckCase);   // sorts and removes at once
    EXPECT_TRUE(panel->SortListBox());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "a", "b"}));
    panel->AddListRow({"a"});
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "a", "b"}));
    panel->SetCheckDuplicate(TCheckDuplicate::cd_CaseInsensitive);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "b"}));
    panel->AddListRow({"B"});   // the entry that was there first stays
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "b"}));
}

// The width a text needs is measured in the list's font: a Chinese text is
// wider than as many "W" in most fonts, and a counted width cut it.
TEST_F(PanelWindow, SelectPanelColumnsFitChineseTextInTheListFont) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    TFont font;
    font.Assign(*panel->Font());
    font.SetSize(14);
    panel->SetFont(font);
    const std::string text = "销货单据编号甲乙丙丁";
    panel->AddListRow({text, "W"});
    const QFontMetrics metrics(panel->ListView->Tree()->font());
    EXPECT_GE(panel->Columns()->Items(0)->Width(), metrics.horizontalAdvance(QString::fromStdString(text)));
}

namespace {

// What the list must hold after `codes` were added one by one: sorted by
// text without case (the first of equal texts first) and, for duplicates
// without case, each text once, the first one that came.
std::vector<std::string> SortedWithoutDuplicates(std::vector<std::string> codes) {
    std::stable_sort(codes.begin(), codes.end(), [](const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
    });
    codes.erase(std::unique(codes.begin(), codes.end(),
                            [](const std::string& a, const std::string& b) {
                                return QString::fromStdString(a).compare(QString::fromStdString(b),
                                                                         Qt::CaseInsensitive) == 0;
                            }),
                codes.end());
    return codes;
}

}  // namespace

TEST_F(PanelWindow, SelectPanelRowsAddedOneByOneStaySortedAndUnique) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->SetCheckDuplicate(TCheckDuplicate::cd_CaseInsensitive);
    std::mt19937 random(7);
    std::vector<std::string> added;
    for (int i = 0; i < 300; ++i) {
        std::string code = std::string(1, "abcAB"[random() % 5]) + std::to_string(random() % 60);
        added.push_back(code);
        panel->AddListRow({code, "row " + std::to_string(i)});
    }
    EXPECT_EQ(Captions(), SortedWithoutDuplicates(added));
    // The Qt items stand in the same order.
    QTreeWidget* tree = panel->ListView->Tree();
    for (int i = 0; i < panel->Items()->Count(); ++i)
        ASSERT_EQ(tree->topLevelItem(i)->text(0).toStdString(), panel->Items()->Item(i)->Caption()) << i;

    // Changes from outside the panel: an entry deleted, and one the program
    // put in itself with a caption already there; the next row sets both right.
    const std::vector<std::string> before = Captions();
    panel->Items()->Item(0)->SetSelected(true);
    panel->DeleteButton->Button()->click();
    panel->Items()->Add()->SetCaption(before.back());
    panel->AddListRow({"zz"});
    std::vector<std::string> expected(before.begin() + 1, before.end());
    expected.push_back("zz");
    EXPECT_EQ(Captions(), expected);
}

// The old panel sorted and rebuilt the whole list for every row (2,000 rows
// took half a minute); a row now costs a search.
TEST_F(PanelWindow, SelectPanelManyRowsAddedToASortedUniqueListQuickly) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->SetCheckDuplicate(TCheckDuplicate::cd_CheckCase);
    std::mt19937 random(11);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 3000; ++i) panel->AddListRow({"C" + std::to_string(random() % 2500), "客户", "x"});
    EXPECT_LT(timer.elapsed(), 10000);
    std::vector<std::string> captions = Captions();
    EXPECT_TRUE(std::is_sorted(captions.begin(), captions.end()));
    EXPECT_EQ(std::adjacent_find(captions.begin(), captions.end()), captions.end());
}

TEST_F(PanelWindow, SelectPanelForwardsItemChangingMouseMovesAndTheCheckBoxClick) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->AddListRow({"A"});
    std::vector<std::string> changing;
    panel->OnItemChanging = TLVChangingEvent([&](TObject* sender, TListItem* item, TItemChange, bool& allow) {
        EXPECT_EQ(sender, panel);
        changing.push_back(item->Caption());
        allow = false;
    });
    panel->Items()->Item(0)->SetCaption("B");
    EXPECT_EQ(changing, (std::vector<std::string>{"A"}));
    EXPECT_EQ(panel->Items()->Item(0)->Caption(), "A");   // refused

    std::vector<QPoint> moves;
    panel->OnMouseMove = TMouseMoveEvent([&](TObject* sender, TShiftState, int x, int y) {
        EXPECT_EQ(sender, panel);
        moves.emplace_back(x, y);
    });
    QWidget* viewport = panel->ListView->Tree()->viewport();
    QPoint at(5, 5);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], viewport->mapTo(panel->Widget(), at));

    panel->SetStyle(TSelectStyle::sp_UserChoice);
    std::vector<TObject*> clicks;
    panel->OnClick = TNotifyEvent([&](TObject* sender) { clicks.push_back(sender); });
    panel->CheckBox->CheckBox()->click();
    EXPECT_EQ(clicks, (std::vector<TObject*>{panel}));
    panel->SetUserChoice(true);   // the program's change is no click
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(PanelWindow, SelectPanelDeleteVetoedByTheEventLeavesTheList) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    for (const char* code : {"1", "2", "3", "4"}) panel->AddListRow({code});
    panel->Items()->Item(0)->SetSelected(true);
    panel->Items()->Item(1)->SetSelected(true);   // neighbours: the walk must not skip one
    panel->Items()->Item(3)->SetSelected(true);
    bool allow = false;
    int asked = 0;
    panel->OnDeleteClick = TDeleteClickEvent([&](TObject* sender, bool& canDelete) {
        EXPECT_EQ(sender, panel);
        EXPECT_TRUE(canDelete);
        ++asked;
        canDelete = allow;
    });
    panel->DeleteButton->Button()->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"1", "2", "3", "4"}));
    allow = true;
    panel->DeleteButton->Button()->click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"3"}));

    int cleared = 0;
    panel->OnClearClick = TNotifyEvent([&](TObject*) { ++cleared; });
    panel->ClearButton->Button()->click();
    EXPECT_EQ(panel->Items()->Count(), 0);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(form->ActiveControl(), panel->ListView);
}

TEST_F(PanelWindow, SelectPanelHeaderClicksSortByColumnAndReverse) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->SetShowColumnHeader(true);
    panel->AddListRow({"b", "x"});
    panel->AddListRow({"A", "y"});
    panel->AddListRow({"c", "x"});
    QHeaderView* header = panel->ListView->Tree()->header();
    emit header->sectionClicked(1);   // another column: ascending, ties by caption
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "c", "A"}));
    emit header->sectionClicked(1);   // same column again: descending
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "c", "b"}));
    emit header->sectionClicked(0);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "b", "c"}));
}

TEST_F(PanelWindow, SelectPanelListClickIsDroppedWhenTheFocusIsRefused) {
    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->AddListRow({"1"});
    panel->AddListRow({"2"});
    other->SetFocus();
    other->OnExit = TNotifyEvent([&](TObject*) { other->SetFocus(); });   // e.g. a failed date check
    QTreeWidget* tree = panel->ListView->Tree();
    QPoint at = tree->visualItemRect(tree->topLevelItem(1)).center();
    LeftClick(tree->viewport(), at);
    EXPECT_EQ(form->ActiveControl(), other);
    EXPECT_FALSE(panel->Items()->Item(1)->Selected());
    other->OnExit = TNotifyEvent();
    LeftClick(tree->viewport(), at);
    EXPECT_EQ(form->ActiveControl(), panel->ListView);
    EXPECT_TRUE(panel->Items()->Item(1)->Selected());
}

// ---- lookups ----

TEST_F(PanelWindow, SelectPanelLookupButtonsAskTheFormBeforeTellingTheProgram) {
    panel->OnOpenWinClick = TOpenWinClickEvent([&](TObject* sender, TWinControl* control) {
        EXPECT_EQ(sender, panel);
        form->log.push_back("open " + control->Name());
    });
    other->SetFocus();
    panel->FinalButton->Button()->click();
    EXPECT_EQ(form->ActiveControl(), panel->FinalEdit);
    ASSERT_EQ(form->requests.size(), 1u);
    EXPECT_EQ(form->requests[0], panel->FinalEdit);
    EXPECT_EQ(form->log, (std::vector<std::string>{"lookup", "open FinalEdit"}));

    // The list's lookup fills the list through AddListRow, as the query frame does.
    panel->SetStyle(TSelectStyle::sp_Discrete);
    form->answer = [&](TControl* c) {
        if (c == panel->ListView) panel->AddListRow({"C001", "Acme"});
    };
    panel->ListButton->Button()->click();
    Pump();   // nothing further is posted
    EXPECT_EQ(form->requests.size(), 2u);
    EXPECT_EQ(form->ActiveControl(), panel->ListView);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"C001"}));
    EXPECT_EQ(form->log.back(), "open ListView");
}

// ---- style, size and choice ----

TEST_F(PanelWindow, SelectPanelStyleChangesExchangeTheSizeWithTheRangeOnly) {
    std::vector<std::string> log;
    panel->OnStyleChange = TStyleChangeEvent([&](TObject*, TSelectStyle from, TSelectStyle to) {
        // Raised before the new style is stored.
        EXPECT_EQ(panel->Style(), from);
        log.push_back(std::to_string(int(from)) + ">" + std::to_string(int(to)));
    });
    panel->SetStyle(TSelectStyle::sp_Discrete);
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_EQ(panel->Height(), 105);
    EXPECT_EQ(panel->OtherWidth(), 353);
    EXPECT_TRUE(panel->ListPanel->Visible());
    EXPECT_FALSE(panel->RangePanel->Visible());
    panel->SetStyle(TSelectStyle::sp_UserChoice);   // neither side is the range: size kept
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_TRUE(panel->CheckBox->Visible());
    EXPECT_TRUE(panel->RangePanel->Visible());      // UserChoice starts ticked
    panel->SetStyle(TSelectStyle::sp_UserChoice);   // the same style again: nothing
    panel->SetStyle(TSelectStyle::sp_Range);
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->Height(), 45);
    EXPECT_FALSE(panel->CheckBox->Visible());
    EXPECT_EQ(log, (std::vector<std::string>{"0>1", "1>2", "2>0"}));

    panel->SetLoading(true);   // as built from a window description
    panel->SetStyle(TSelectStyle::sp_Discrete);
    EXPECT_EQ(panel->Width(), 353);
    panel->SetLoading(false);
}

TEST_F(PanelWindow, SelectPanelStyleChangingMayRefuseOrRedirect) {
    panel->OnStyleChanging = TStyleChangingEvent([](TObject*, TSelectStyle, bool& allow, TSelectStyle& to) {
        if (to == TSelectStyle::sp_Discrete) allow = false;
        if (to == TSelectStyle::sp_UserChoice) to = TSelectStyle::sp_Discrete;
    });
    panel->SetStyle(TSelectStyle::sp_Discrete);
    EXPECT_EQ(panel->Style(), TSelectStyle::sp_Range);
    EXPECT_EQ(panel->Width(), 353);
    panel->OnStyleChanging = TStyleChangingEvent([](TObject*, TSelectStyle, bool&, TSelectStyle& to) {
        to = TSelectStyle::sp_Discrete;
    });
    panel->SetStyle(TSelectStyle::sp_UserChoice);
    EXPECT_EQ(panel->Style(), TSelectStyle::sp_Discrete);
    EXPECT_FALSE(panel->CheckBox->Visible());
}

TEST_F(PanelWindow, SelectPanelVerticalRangeOnlyInRangeStyle) {
    panel->SetUseVertical(true);
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_EQ(panel->Height(), 105);
    EXPECT_GT(panel->FinalEdit->Top(), panel->BeginEdit->Top() + panel->BeginEdit->Height() - 1);
    EXPECT_EQ(panel->FinalEdit->Left(), panel->BeginEdit->Left());
    panel->SetUseVertical(true);   // unchanged: no second exchange
    EXPECT_EQ(panel->Width(), 200);
    panel->SetUseVertical(false);
    EXPECT_EQ(panel->Width(), 353);
    EXPECT_EQ(panel->FinalEdit->Top(), panel->BeginEdit->Top());
    EXPECT_GT(panel->FinalEdit->Left(), panel->BeginButton->Left());
    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->SetUseVertical(true);
    EXPECT_FALSE(panel->UseVertical());
}

TEST_F(PanelWindow, SelectPanelUserToggleChoosesTheInput) {
    panel->SetStyle(TSelectStyle::sp_UserChoice);
    int toggles = 0;
    panel->OnTypeClick = TNotifyEvent([&](TObject*) { ++toggles; });
    panel->CheckBox->CheckBox()->click();
    EXPECT_EQ(toggles, 1);
    EXPECT_FALSE(panel->UserChoice());
    EXPECT_FALSE(panel->IsRangeShown());
    EXPECT_TRUE(panel->ListPanel->Visible());
    panel->SetUserChoice(true);
    EXPECT_EQ(toggles, 2);
    EXPECT_TRUE(panel->IsRangeShown());
    EXPECT_TRUE(panel->RangePanel->Visible());
    // The words of the two-row layout serve the user's choice.
    EXPECT_EQ(panel->BeginLabel->Caption(), "起");
    EXPECT_GT(panel->FinalEdit->Top(), panel->BeginEdit->Top());
}

// ---- properties ----

TEST_F(PanelWindow, SelectPanelPublishedPropertiesByName) {
    EXPECT_TRUE(panel->InheritsFrom(TGroupBox::StaticClass()));
    EXPECT_EQ(panel->ClassName(), "TSelectPanel");
    EXPECT_EQ(panel->BeginEdit->Owner(), panel);   // a panel's edit is told by its owner
    SetPropValue(panel, "ValueType", plat::Variant(std::string("vt_Number")));
    EXPECT_EQ(panel->ValueType(), TValueType::vt_Number);
    SetPropValue(panel, "CanOpenWin", plat::Variant(false));
    EXPECT_FALSE(panel->BeginButton->Visible());
    EXPECT_EQ(panel->FinalLabel->Left(), panel->BeginEdit->Left() + panel->BeginEdit->Width() + 4);
    EXPECT_EQ(GetPropText(panel, "Style"), "sp_Range");
    EXPECT_EQ(GetPropValue(panel, "HintWord").ToString(), "区间选择");
    EXPECT_EQ(dynamic_cast<TListItems*>(GetObjectProp(panel, "Items")), panel->Items());

    // An invalid glyph shows glyph 0 and is not stored.
    panel->SetGlyphIndex(999);
    EXPECT_EQ(panel->GlyphIndex(), 8);
    EXPECT_EQ(panel->ListButton->GlyphIndex(), 0);

    TStrings hints;
    hints.Add("choose");
    hints.Add("[F2]订单信息查询");
    SetObjectProp(panel, "ChildHints", &hints);
    EXPECT_EQ(panel->BeginEdit->Hint(), "[F2]订单信息查询");
    EXPECT_EQ(panel->FinalEdit->Hint(), "区间选择-截止信息");   // beyond the list: unchanged

    panel->SetEnabled(false);
    EXPECT_FALSE(panel->BeginEdit->Enabled());
    EXPECT_FALSE(panel->DeleteButton->Enabled());
}

TEST_F(PanelWindow, SelectPanelWordsFollowTheLanguageController) {
    TStrings one;
    one.Add("From");
    panel->SetBeginWords(&one);
    EXPECT_EQ(panel->BeginWords()->ToVector(), (std::vector<std::string>{"From", "From"}));
    EXPECT_EQ(panel->BeginLabel->Caption(), "From");
    TStrings none;
    panel->SetFinalWords(&none);
    EXPECT_EQ(panel->FinalLabel->Caption(), "止");   // an empty list leaves the label

    panel->SetStyle(TSelectStyle::sp_Discrete);
    panel->AddListRow({"abc"});
    langcontrols::ConvertClassTexts(panel, false, [](const std::string& s) { return "[" + s + "]"; });
    EXPECT_EQ(panel->Items()->Item(0)->Caption(), "[abc]");
    EXPECT_EQ(panel->HintWord(), "[区间选择]");
    EXPECT_EQ(panel->CheckBox->Caption(), "[区间选择]");
    panel->SetStyle(TSelectStyle::sp_Range);
    EXPECT_EQ(panel->BeginLabel->Caption(), "[From]");
}

TEST_F(PanelWindow, SelectPanelEditMaskKeepsTheTextAndStaysQuiet) {
    panel->BeginEdit->SetText("A1");
    int changes = 0;
    panel->BeginEdit->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    panel->SetEditMask("!cccc-ccccccccccc;0; ");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(panel->BlankText(), "");
    EXPECT_EQ(panel->FinalEdit->EditMask(), "!cccc-ccccccccccc;0; ");
    EXPECT_EQ(plat::Trim(panel->BeginEdit->Text()), "A1");
    panel->SetEditMask("9999/99/99;1; ");
    EXPECT_EQ(panel->BlankText(), "    /  /  ");
    panel->BeginEdit->SetText("2026");
    EXPECT_EQ(changes, 1);
}

}  // namespace
