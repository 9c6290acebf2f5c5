// The order-list SQL for the conditions a user sets, the lines it lists
// from the demo company database on SQLite and on PostgreSQL, and the
// per-row labels.
#include <gtest/gtest.h>

#include "OrderTestSupport.h"
#include "StrUtils.h"
#include "ortk41/OrderKeys.h"
#include "ortk41/OrderQuery.h"

using namespace ortk41;

namespace {

const std::string kBase =
    " SELECT TD001,TD002,TD003,TD004,TD005,TC003,MA002,TC004,TD008,TD010,TD013,TD006  FROM $$COPTC COPTC  INNER JOIN "
    "$$COPTD COPTD ON TD001=TC001 AND TD002=TC002  LEFT JOIN $$COPMA COPMA ON MA001=TC004  WHERE TC027='Y' ";

// The SQL is composed with the dates the order tracking window hands it.
class OrderListSqlTest : public testing::Test {
protected:
    std::string Sql(const OrderConditions& c) { return OrderListSql(c, dates_.ToDb()); }

private:
    ordertest::WindowDates dates_;
};

}  // namespace

TEST_F(OrderListSqlTest, NoConditionIsTheBaseTextAndTheOrder) {
    EXPECT_EQ(Sql({}), kBase + " ORDER BY TD001,TD002,TD003 ");
    EXPECT_EQ(std::string(kOrderListFields), "TD001,TD002,TD003,TD004,TD005,TC003,MA002,TC004,TD008,TD010,TD013,TD006 ");
}

TEST_F(OrderListSqlTest, OnlyAnEndDateComparesWithoutBetween) {
    OrderConditions c;
    c.OrderDate.To = "2024/01/31";
    EXPECT_EQ(Sql(c), kBase + " AND ( TC003 <= '20240131')  ORDER BY TD001,TD002,TD003 ");
    c.OrderDate = {"2024/01/01", "    /  /  "};   // an untouched date edit counts as empty
    EXPECT_EQ(Sql(c), kBase + " AND ( TC003 >= '20240101')  ORDER BY TD001,TD002,TD003 ");
}

// A bound that is no date is never dropped: the SQL is not composed at all.
TEST_F(OrderListSqlTest, ADateThatIsNoDateComposesNoList) {
    for (const RangeInput& dates : {RangeInput{"2024/13/01", "2024/01/15"}, RangeInput{"2024/02/30", ""},
                                    RangeInput{"abc", "def"}, RangeInput{"", "2024/1"}}) {
        SCOPED_TRACE(dates.From + ".." + dates.To);
        OrderConditions c;
        c.DeliveryDate = dates;
        EXPECT_THROW(Sql(c), EConditionValue);
    }
}

TEST_F(OrderListSqlTest, CustomerCodeWithAQuoteIsDoubledInsideTheLiteral) {
    OrderConditions c;
    c.Customer = {"O'NEIL", "O'NEIL"};
    EXPECT_EQ(Sql(c),
              kBase + " AND ( TC004 BETWEEN 'O''NEIL' AND 'O''NEIL')  ORDER BY TD001,TD002,TD003 ");
}

TEST_F(OrderListSqlTest, OrderRangeComparesTheConcatenatedKey) {
    OrderConditions c;
    c.Order = {"220120240100001", "220120240199999"};
    EXPECT_EQ(Sql(c),
              kBase + " AND ( (TC001 + TC002) BETWEEN '220120240100001' AND '220120240199999')  ORDER BY TD001,TD002,TD003 ");
}

TEST_F(OrderListSqlTest, ClosedStateAndProjectOnlyWhenProjectsAreEnabled) {
    OrderConditions c;
    c.Closed = 0;
    c.Project = "P-01";
    EXPECT_EQ(Sql(c), kBase + " AND TD016 IN('Y','y')  ORDER BY TD001,TD002,TD003 ");
    c.Closed = 1;
    c.ProjectsEnabled = true;
    EXPECT_EQ(Sql(c), kBase + " AND TD016 ='N'  AND TC077 = 'P-01' ORDER BY TD001,TD002,TD003 ");
}

TEST_F(OrderListSqlTest, ConditionsAppendInTheirOrder) {
    OrderConditions c;
    c.DeliveryDate.From = "2024/02/01";
    c.CustomerOrder.From = "PO-9";
    c.Customer.To = "C100";
    EXPECT_EQ(Sql(c), kBase + " AND ( TC004 <= 'C100')  AND ( TC012 >= 'PO-9')  AND ( TD013 >= '20240201')  "
                                                  "ORDER BY TD001,TD002,TD003 ");
}

TEST(OrderRowLabels, HeadAndLineLabelsOfAListedRow) {
    plat::Variant row = plat::VarArrayOf({"2201", "123        ", "1", "SC-M6-20", "六角螺丝", "20240115", "华东机械",
                                          "C001", 600.0, "PCS", "20240125", "M6x20"});
    ordertest::WindowDates dates;
    auto shown = dates.Shown();
    EXPECT_EQ(OrderHeadText(row, shown), "2201-123         2024/01/15 华东机械(C001)");
    EXPECT_EQ(OrderLineText(row, "预交货日:", shown),
              "2201-123        -1    SC-M6-20(六角螺丝) 600 PCS 预交货日:2024/01/25");
}

// The tree cuts the keys off the front of these texts, so they must start
// with exactly what DocumentKey and RowKey write, whatever the row holds.
TEST(OrderRowLabels, KeysOfOddRowsMatchTheKeyTexts) {
    auto shown = [](const std::string& d) { return "<" + d + ">"; };
    const std::vector<plat::Variant> rows = {
        plat::VarArrayOf({"销售", "编号一二三", "12345", "A", plat::Variant::Null(), "20240115", int32_t(7), 1.5}),
        plat::VarArrayOf({"22010", "123456789012", int32_t(3), plat::Variant(), "x", plat::Variant::Null()}),
        plat::VarArrayOf({"", "", ""}),
        plat::Variant("not a row"),
        plat::Variant(plat::VarArray(1, 3)),   // not 0-based: value 0 is missing
    };
    for (const plat::Variant& row : rows) {
        const std::string head = DocumentKey(Value(row, 0), Value(row, 1)) + " " + shown(Value(row, 5)) + " " +
                                 Value(row, 6) + "(" + Value(row, 7) + ")";
        const std::string line = RowKey(Value(row, 0), Value(row, 1), plat::PadRight(Value(row, 2), 4)) + " " +
                                 Value(row, 3) + "(" + Value(row, 4) + ") " + Value(row, 8) + " " + Value(row, 9) +
                                 " 交:" + shown(Value(row, 10));
        EXPECT_EQ(OrderHeadText(row, shown), head) << head;
        EXPECT_EQ(OrderLineText(row, "交:", shown), line) << line;
    }
    EXPECT_EQ(OrderHeadText(rows[0], shown), "销售  -编号一二三       <20240115> 7(1.5)");
    EXPECT_EQ(OrderLineText(rows[1], "", shown), "22010-123456789012-3    (x)   <>");
}

// ---------------------------------------------------- listed from the demo database

namespace {

class OrderListOnDemo : public ordertest::DemoOnBackend {
protected:
    // The listed lines as "type-number-sequence", the number without its padding.
    std::vector<std::string> Listed(const OrderConditions& c) {
        plat::Variant rows = Sql().SimpleSql(servertest::Params(OrderListSql(c, dates_.ToDb()), kOrderListFields),
                                             servertest::Context("PRTest65"));
        std::vector<std::string> keys;
        for (int r = 0; r < servertest::RowCount(rows); ++r)
            keys.push_back(rows[r][0].ToString() + "-" + plat::TrimRight(rows[r][1].ToString()) + "-" +
                           rows[r][2].ToString());
        return keys;
    }
    using Keys = std::vector<std::string>;

private:
    ordertest::WindowDates dates_;
};

INSTANTIATE_TEST_SUITE_P(Backends, OrderListOnDemo, servertest::AllBackends(), servertest::BackendParamName);

}  // namespace

TEST_P(OrderListOnDemo, NoConditionListsEveryConfirmedLineInKeyOrder) {
    // the unconfirmed order 2201-20240100009 is never listed; "2024'..." sorts before "20240..."
    EXPECT_EQ(Listed({}), (Keys{"2201-123-0001", "2201-123-0002", "2201-2024'010007-0001", "2201-20240100001-0001",
                                "2201-20240100001-0002", "2201-20240100002-0001", "2201-20240100003-0001",
                                "2201-20240100003-0002", "2201-20240100004-0001", "2201-20240100004-0002",
                                "2201-20240100005-0001", "2201-20240100006-0001", "2201-20240100010-0001",
                                "2202-20240100001-0001"}));
}

TEST_P(OrderListOnDemo, OrderRangeMatchesTheShortNumberThroughItsPadding) {
    OrderConditions c;
    c.Order = {"2201123", "2201123"};   // TC001 + TC002 is "2201123" and eight blanks
    EXPECT_EQ(Listed(c), (Keys{"2201-123-0001", "2201-123-0002"}));
    c.Order = {"2202", "2202z"};
    EXPECT_EQ(Listed(c), (Keys{"2202-20240100001-0001"}));
}

TEST_P(OrderListOnDemo, DateRangesIncludeBothEnds) {
    OrderConditions c;
    c.OrderDate = {"2024/01/10", "2024/01/15"};
    EXPECT_EQ(Listed(c), (Keys{"2201-20240100002-0001", "2201-20240100003-0001", "2201-20240100003-0002",
                               "2201-20240100004-0001", "2201-20240100004-0002"}));
    OrderConditions due;
    due.DeliveryDate.From = "2024/03/01";
    EXPECT_EQ(Listed(due), (Keys{"2201-20240100003-0001", "2201-20240100003-0002", "2201-20240100005-0001",
                                 "2202-20240100001-0001"}));
}

TEST_P(OrderListOnDemo, CustomerRangeAndClosedState) {
    OrderConditions c;
    c.Customer = {"C001", "C002"};
    EXPECT_EQ(Listed(c), (Keys{"2201-20240100001-0001", "2201-20240100001-0002", "2201-20240100002-0001"}));
    OrderConditions closed;
    closed.Closed = 0;   // "Y" and "y" both count as closed
    EXPECT_EQ(Listed(closed), (Keys{"2201-123-0001", "2201-123-0002"}));
    closed.Closed = 1;
    EXPECT_EQ(Listed(closed).size(), 12u);
}

TEST_P(OrderListOnDemo, QuotesInConditionsFindTheirRowsAndBreakNothing) {
    OrderConditions c;
    c.CustomerOrder = {"DH'24-07", "DH'24-07"};
    EXPECT_EQ(Listed(c), (Keys{"2201-2024'010007-0001"}));
    OrderConditions none;
    none.Customer = {"O'NEIL", "O'NEIL'; DELETE FROM COPTC; --"};
    EXPECT_EQ(Listed(none), Keys{});
    EXPECT_EQ(Listed({}).size(), 14u);
}
