// The export outline of listed order lines, written from the demo company
// database through the real "SimpleSQL" service, on SQLite and on
// PostgreSQL, into a recording sheet.
#include <gtest/gtest.h>

#include "OrderTestSupport.h"
#include "ortk41/OrderOutline.h"

using namespace ortk41;
using ordertest::RecordingSheet;

namespace {

class OrderOutlineTest : public ordertest::DemoOnBackend {
protected:
    void SetUp() override {
        DemoOnBackend::SetUp();
        if (IsSkipped()) return;
        services = ordertest::DemoServices(Sql());
        services.ConvertRow = [](const plat::Variant&) -> plat::Variant {
            ADD_FAILURE() << "the outline uses rows as stored";
            return {};
        };
    }

    OrderOutline Outline() {
        return OrderOutline(LabelLines(DefaultOutlineLabels()), LabelLines(DefaultTreeLabels()), services,
                            [](const std::string& t) { return "«" + t + "»"; }, sheet);
    }

    static OutlineOrder Order(const std::string& type, const std::string& number, const std::string& seq) {
        return OutlineOrder{{type, number, seq, "ITEM", "NAME"}, "HEAD", "LINE"};
    }

    ListingServices services;
    RecordingSheet sheet;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Backends, OrderOutlineTest, servertest::AllBackends(), servertest::BackendParamName);

TEST_P(OrderOutlineTest, LineWithNothingDownstreamWritesEveryGroupWord) {
    OrderOutline outline = Outline();
    outline.WriteOrder(Order("2201", "20240100006", "0001"));
    std::vector<std::string> rows;
    for (int r = 2; r <= sheet.LastRow(); ++r) rows.push_back(sheet.Row(r));
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "1:2201 | 2:20240100006 | 3:0001 | 4:ITEM | 5:NAME | 6:客户订单:HEAD",
                        "6:LINE", "6:销货单", "7:销货结帐单", "8:销货收款单", "6:销退单", "7:销退结帐单", "8:销退收款单",
                        "6:预收结帐单", "7:预收待抵单", "7:预收结帐收款单", "6:请购单", "6:采购单", "6:工单", "7:工单工艺"}));
    EXPECT_EQ(sheet.cells.count({1, 1}), 0u);   // row 1 is the heading row, written by the export
}

TEST_P(OrderOutlineTest, OrdersFollowEachOtherWithoutEmptyRows) {
    OrderOutline outline = Outline();
    outline.WriteOrder(Order("2201", "20240100006", "0001"));
    int firstEnd = outline.Row();
    outline.WriteOrder(Order("2201", "20240100009", "0001"));
    EXPECT_EQ(sheet.Row(firstEnd + 1).substr(0, 7), "1:2201 ");
    for (int r = 2; r <= sheet.LastRow(); ++r) EXPECT_FALSE(sheet.Row(r).empty()) << "row " << r;
}

TEST_P(OrderOutlineTest, DeliveryLinesAsComposedReturnLinesConverted) {
    OrderOutline outline = Outline();
    outline.WriteOrder(Order("2201", "20240100001", "0001"));
    EXPECT_EQ(sheet.Row(5), "6:2301-20240100001-0001 2024/01/20 销:600 赠/备:10 PCS");
    EXPECT_EQ(sheet.Row(6), "7:销货结帐单");
    EXPECT_EQ(sheet.Row(7), "7:6101-20240100001-0001 2024/01/31");
    EXPECT_EQ(sheet.Row(8), "8:销货收款单");
    EXPECT_EQ(sheet.Row(9), "8:6302-20240100001-0001 2024/02/16");

    OrderOutline returns = Outline();
    sheet.cells.clear();
    returns.WriteOrder(Order("2201", "20240100002", "0001"));
    bool sawReturn = false;
    for (const auto& [at, text] : sheet.cells)
        if (text.rfind("«2401-20240100001-0001 2024/02/05", 0) == 0) sawReturn = at.second == 6;
    EXPECT_TRUE(sawReturn);
}

TEST_P(OrderOutlineTest, AdvanceSettlementWithOffsetAndThreeReceipts) {
    OrderOutline outline = Outline();
    outline.WriteOrder(Order("2201", "20240100003", "0001"));
    int settlement = 0;
    for (const auto& [at, text] : sheet.cells)
        if (text == "«6101-20240100005-0001 2024/01/13»") settlement = at.first;
    ASSERT_GT(settlement, 0);
    EXPECT_EQ(sheet.Row(settlement + 1), "7:预收待抵单");
    EXPECT_EQ(sheet.Row(settlement + 2), "7:«6101-20240100007-0001 2024/03/01»");
    EXPECT_EQ(sheet.Row(settlement + 3), "7:预收结帐收款单");
    EXPECT_EQ(sheet.Row(settlement + 4), "7:«6302-20240100002-0001 2024/01/19»");
    EXPECT_EQ(sheet.Row(settlement + 5), "7:«6302-20240100005-0001 2024/01/21»");
    EXPECT_EQ(sheet.Row(settlement + 6), "7:«6302-20240100006-0001 2024/01/23»");
    EXPECT_EQ(sheet.Row(settlement + 7), "6:«6101-20240100006-0001 2024/01/14»");   // the next settlement
}

TEST_P(OrderOutlineTest, RequisitionsShowTheStoredPurchasedQuantity) {
    OrderOutline outline = Outline();
    outline.WriteOrder(Order("2201", "20240100004", "0001"));
    bool found = false;
    for (const auto& [at, text] : sheet.cells)
        found |= text == "«3101-20240100001-0001 2024/01/16 20 PCS 已采:16 PCS»";
    EXPECT_TRUE(found);
}

TEST_P(OrderOutlineTest, EmptyKeysExportLikeAnyOtherRow) {
    OrderOutline outline = Outline();
    outline.WriteOrder(Order("", "", ""));
    EXPECT_EQ(sheet.LastRow(), 16);   // the order texts and every group word
    EXPECT_EQ(sheet.Row(16), "7:工单工艺");
}

TEST(OrderOutlineAnswers, OnlyEmptyOrNullCountsAsNoResult) {
    // An answer with no rows writes nothing, not even the placeholders.
    ListingServices services;
    services.CallServer = [](const std::string&, const plat::Variant&) { return plat::Variant(plat::VarArray(0, -1)); };
    services.DisplayDate = ordertest::SlashDate;
    RecordingSheet sheet;
    OrderOutline outline(LabelLines(DefaultOutlineLabels()), LabelLines(DefaultTreeLabels()), services,
                         [](const std::string& t) { return t; }, sheet);
    outline.WriteOrder(OutlineOrder{{"2201", "X", "0001", "ITEM", "NAME"}, "HEAD", "LINE"});
    EXPECT_EQ(sheet.Row(5), "6:销退单");     // no M11/M12 under the delivery group
    EXPECT_EQ(sheet.Row(6), "6:预收结帐单");
    EXPECT_EQ(sheet.Row(7), "6:请购单");     // no M17/M18 under the advance group
    EXPECT_EQ(sheet.LastRow(), 9);
}
