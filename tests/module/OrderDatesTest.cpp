// Dates in the order tracking window under every company date format: what
// the window shows is typed back through its real date edits and becomes
// the same condition; a date that is no date stops the query with its
// message and changes nothing; write-off records open on their invoice's
// date; the host's order lookup shows dates as the window does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTest>
#include <functional>

#include "Buttons.h"
#include "CompanyDates.h"
#include "ComCtrls.h"
#include "FormTestSupport.h"
#include "Grids.h"
#include "Mask.h"
#include "StdCtrls.h"
#include "controls/SelectPnl.h"
#include "data/FieldFormats.h"
#include "ortk41/ORTK41CF.h"
#include "ortk41/OrderKeys.h"

using ::testing::HasSubstr;

using formtest::DemoWorld;

namespace {

const std::vector<std::string> kSeparators = {"/", "-", ".", "", "/ ", "年"};

std::string Label(const std::string& separator) { return separator.empty() ? "(none)" : separator; }

// The order tracking window of a company whose date format is `kind` and
// `separator`, started as the host starts it over the demo database.
class DatesWindow : public testing::Test {
protected:
    void Open(int kind, const std::string& separator) {
        Close();
        SetCompanyDates(kind, separator);
        form = world.Start<TfrmORTK41>();
        ASSERT_NE(form, nullptr);
        form->Show();
        world.dialogs->Shown.clear();
    }
    void Close() {
        if (form) form->Free();
        form = nullptr;
    }
    void TearDown() override { Close(); }

    void SetCompanyDates(int kind, const std::string& separator) {
        ortktest::SetCompanyDates(world.install.DatabaseFile(), std::to_string(kind), separator);
    }

    // Types into an edit key by key, as a user does, and leaves it. A
    // character without a key of its own ("年") comes as an input method
    // sends it: a key event that carries only the text.
    void Type(vcl::TWinControl* edit, const std::string& text) {
        edit->SetFocus();
        for (QChar ch : QString::fromStdString(text)) {
            if (ch.unicode() < 0x80) QTest::keyClick(edit->Widget(), ch.toLatin1());
            else QTest::sendKeyEvent(QTest::Click, edit->Widget(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
        form->btnQuery1->SetFocus();
    }
    void TypeRange(TSelectPanel* panel, const std::string& from, const std::string& to) {
        if (!from.empty()) Type(panel->BeginEdit, from);
        if (!to.empty()) Type(panel->FinalEdit, to);
    }
    void ClearRange(TSelectPanel* panel) {
        panel->BeginEdit->SetText("");
        panel->FinalEdit->SetText("");
    }
    // Lists one order by its conditions page, as the user does.
    void ListOrder(const std::string& typeAndNumber) {
        form->PageControl1->SetActivePageIndex(0);
        ClearRange(form->sp01);
        TypeRange(form->sp01, typeAndNumber, typeAndNumber);
        form->btnQuery1->Click();
    }
    std::vector<std::string> ListedNumbers() {
        std::vector<std::string> numbers;
        for (int r = 1; r < form->StringGrid1->RowCount(); ++r)
            if (!form->StringGrid1->Cells(0, r).empty())
                numbers.push_back(form->StringGrid1->Cells(1, r) + "-" + form->StringGrid1->Cells(2, r));
        return numbers;
    }
    // The order date as the head label of the first listed line shows it.
    std::string ShownOrderDate() {
        std::string head = form->OrderHeadText(0);
        size_t from = 17;   // after "TYPE-NUMBER " (4 + 1 + 11 + 1)
        return head.size() > from ? head.substr(from, head.find(' ', from) - from) : std::string();
    }
    // The statements of the order list the server was sent since the trace began.
    int OrderListStatements() { return ortktest::OrderListStatementsIn(trace); }
    void TraceStatements() {
        trace = world.install.Folder() + "trace.txt";
        world.install.Sql().SetTraceFile(trace);
    }

    DemoWorld world;
    TfrmORTK41* form = nullptr;
    std::string trace;
};

}  // namespace

// Kinds 1-5 and every separator: the date the list shows for order
// 2201-20240100002 (stored 20240110), typed back into both ends of the order
// date, gives the BETWEEN condition on the stored date and lists that order.
TEST_F(DatesWindow, every_kind_and_separator_types_a_shown_date_back_to_the_same_condition) {
    for (int kind = 1; kind <= 5; ++kind) {
        for (const std::string& separator : kSeparators) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " separator " + Label(separator));
            Open(kind, separator);
            ListOrder("220120240100002");
            const std::string shown = ShownOrderDate();
            EXPECT_EQ(shown, form->DbDateToDisplay("20240110"));
            form->PageControl1->SetActivePageIndex(0);
            ClearRange(form->sp01);
            TypeRange(form->sp02, shown, shown);
            EXPECT_EQ(form->sp02->BeginEdit->Text(), shown) << "the edit holds what was typed";
            EXPECT_THAT(form->OrderListSql(), HasSubstr(" AND ( TC003 BETWEEN '20240110' AND '20240110') "))
                << form->OrderListSql();
            form->btnQuery1->Click();
            EXPECT_EQ(ListedNumbers(), std::vector<std::string>{"20240100002-0001"});
            EXPECT_EQ(formtest::ShownTexts(world.dialogs), std::vector<std::string>{});
        }
    }
}

// Kind 4 shows 1999 as 88 and 2024 as 113: its edit takes both as shown.
TEST_F(DatesWindow, kind_4_takes_two_and_three_digit_years_as_they_are_shown) {
    struct Case { const char* separator; const char* from; const char* to; const char* condition; } cases[] = {
        {"/", "88/01/01", "113/1/15", " AND ( TC003 BETWEEN '19990101' AND '20240115') "},
        {"", "880101", "1130115", " AND ( TC003 BETWEEN '19990101' AND '20240115') "},
        {"年", "99年12年31", "100年1年1", " AND ( TC003 BETWEEN '20101231' AND '20110101') "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Label(c.separator));
        Open(4, c.separator);
        TypeRange(form->sp02, c.from, c.to);
        EXPECT_THAT(form->OrderListSql(), HasSubstr(c.condition)) << form->OrderListSql();
        EXPECT_TRUE(world.dialogs->Shown.empty());
    }
}

TEST_F(DatesWindow, a_range_with_one_end_compares_with_that_end_only) {
    Open(1, "/");
    TypeRange(form->sp02, "2024/01/10", "");
    EXPECT_THAT(form->OrderListSql(), HasSubstr(" AND ( TC003 >= '20240110') "));
    form->btnQuery1->Click();
    EXPECT_EQ(ListedNumbers().size(), 12u);
    form->PageControl1->SetActivePageIndex(0);
    ClearRange(form->sp02);
    TypeRange(form->sp02, "", "2024/01/10");
    EXPECT_THAT(form->OrderListSql(), HasSubstr(" AND ( TC003 <= '20240110') "));
}

// A date that is no date stops the query: the message, the focus back in
// that edit, no order-list statement sent, the list and tree as they were.
TEST_F(DatesWindow, a_date_that_is_no_date_stops_the_query_and_changes_nothing) {
    Open(1, "/");
    form->btnQuery1->Click();
    const int rows = form->StringGrid1->RowCount();
    ASSERT_GT(rows, 2);
    form->BitBtn1->Click();
    const int nodes = form->TreeView->Items()->Count();
    ASSERT_GT(nodes, 0);
    TraceStatements();

    struct Case { const char* name; std::function<vcl::TCustomEdit*()> enter; } cases[] = {
        // Letters cannot be typed into the date mask; set before the panel was
        // ever entered they reach the query as they stand.
        {"letters", [&] { form->sp05->BeginEdit->SetText("abc"); return form->sp05->BeginEdit; }},
        {"impossible day", [&] { Type(form->sp02->BeginEdit, "2024/02/30"); return form->sp02->BeginEdit; }},
        {"month 13 at the end", [&] { Type(form->sp05->FinalEdit, "2024/13/01"); return form->sp05->FinalEdit; }},
        {"half typed", [&] { Type(form->sp02->FinalEdit, "2024/01"); return form->sp02->FinalEdit; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form->PageControl1->SetActivePageIndex(0);
        for (TSelectPanel* panel : {form->sp02, form->sp05}) ClearRange(panel);
        vcl::TCustomEdit* bad = c.enter();
        ASSERT_FALSE(fieldfmt::ConditionDate(bad->Text(), 1, "/").has_value()) << bad->Text();
        EXPECT_THROW(form->OrderListSql(), EConditionValue) << "no path builds the list without the bound";
        world.dialogs->Shown.clear();
        form->btnQuery1->Click();
        ASSERT_EQ(world.dialogs->Shown.size(), 1u);
        EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("日期格式错误"));   // E000005
        EXPECT_EQ(form->ActiveControl(), bad);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
        EXPECT_EQ(form->StringGrid1->RowCount(), rows);
        EXPECT_EQ(form->TreeView->Items()->Count(), nodes);
        EXPECT_EQ(OrderListStatements(), 0);
    }
}

// Leaving a date edit with a date that is no date says so at once.
TEST_F(DatesWindow, leaving_a_date_edit_with_no_date_complains_and_stays) {
    Open(5, "年");
    Type(form->sp02->BeginEdit, "113年02年30");
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(form->ActiveControl(), form->sp02->BeginEdit);
    form->sp02->BeginEdit->SetText("");
    Type(form->sp02->BeginEdit, "113年02年29");
    EXPECT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(form->ActiveControl(), form->btnQuery1);
}

// The write-off record opens on its invoice line's key and the invoice's
// date as stored, whatever the separator the tree shows it with.
TEST_F(DatesWindow, write_off_records_open_on_the_stored_invoice_date_for_every_separator) {
    std::vector<std::pair<std::string, std::string>> opened;
    world.env->ExecWork = [&opened](const std::string& program, const std::string& condition) {
        opened.emplace_back(program, condition);
        return 0;
    };
    for (size_t i = 0; i < kSeparators.size(); ++i) {
        const int kind = static_cast<int>(i % 5) + 1;
        SCOPED_TRACE("kind " + std::to_string(kind) + " separator " + Label(kSeparators[i]));
        Open(kind, kSeparators[i]);
        ListOrder("220120240100001");
        form->BitBtn1->Click();
        vcl::TTreeNode* writeOff = nullptr;
        for (int n = 0; n < form->TreeView->Items()->Count() && !writeOff; ++n)
            if (form->TreeView->Items()->Item(n)->SelectedIndex() == ortk41::WriteOffNode)
                writeOff = form->TreeView->Items()->Item(n);
        ASSERT_NE(writeOff, nullptr);
        form->TreeView->SetSelected(writeOff);
        form->TreeView->Click();
        EXPECT_EQ(form->lblView2->Caption(), "6101-20240100001-0001 " + form->DbDateToDisplay("20240131"));
        opened.clear();
        form->BitBtn2->Click();
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].first, "PGAR04");
        EXPECT_EQ(opened[0].second, " ACRLC.LC003 + '-' + ACRLC.LC004 + '-' + ACRLC.LC005='6101-20240100001-0001'"
                                    " AND ACRLC.LC002='20240131'");
    }
}

// The host's order lookup (F2 in the order edit) shows order dates as the
// list does, not as stored.
TEST_F(DatesWindow, the_order_lookup_shows_dates_in_the_company_format) {
    Open(5, "年");
    form->sp01->BeginEdit->SetFocus();
    formtest::Press(form, Qt::Key_F2);
    ASSERT_EQ(world.shellDialogs.Lookups.size(), 1u);
    const shell::LookupList& list = world.shellDialogs.Lookups[0];
    ASSERT_EQ(list.Captions.at(2), "订单日期");
    bool found = false;
    for (const auto& row : list.Rows)
        if (row.at(1) == "20240100002") found = row.at(2) == "113年01年10";
    EXPECT_TRUE(found);
}
