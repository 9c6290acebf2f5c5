// The document tree of an order line, built from the demo company database
// through the real "SimpleSQL" service, on SQLite and on PostgreSQL, and
// compared node by node.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "OrderTestSupport.h"
#include "StrUtils.h"
#include "ortk41/OrderTree.h"

using ::testing::HasSubstr;

using namespace ortk41;
using ordertest::RecordingTree;

namespace {

class OrderTree : public ordertest::DemoOnBackend {
protected:
    void SetUp() override {
        DemoOnBackend::SetUp();
        if (IsSkipped()) return;
        services = ordertest::DemoServices(Sql(), &calls);
    }

    std::string Build(const std::string& type, const std::string& number, const std::string& seq) {
        RecordingTree tree;
        BuildOrderTree({type, number, seq, "HEAD", "LINE"}, LabelLines(DefaultTreeLabels()), services, tree);
        return tree.Text();
    }

    ListingServices services;
    std::vector<std::string> calls;
};

INSTANTIATE_TEST_SUITE_P(Backends, OrderTree, servertest::AllBackends(), servertest::BackendParamName);

// Failures of the server, which need no database.
class OrderTreeFailure : public testing::Test {
protected:
    ListingServices services = {nullptr, [](const plat::Variant& row) { return row; }, ordertest::SlashDate};
};

}  // namespace

TEST_P(OrderTree, LineWithNothingDownstreamKeepsEveryGroupAndPlaceholder) {
    EXPECT_EQ(Build("2201", "20240100006", "0001"),
              "客户订单 : HEAD\t0\n"
              "  LINE\t1000\n"
              "  销货单\t0\n"
              "    销售发票\t0\n"
              "      销货收款单\t0\n"
              "      销货退款单\t0\n"
              "      销货多对多核销记录\t0\n"
              "  销退单\t0\n"
              "    销售发票\t0\n"
              "      销退收款单\t0\n"
              "      销退退款单\t0\n"
              "      销退多对多核销记录\t0\n"
              "  预开发票\t0\n"
              "    预开发票收款单\t0\n"
              "  预收款单\t0\n"
              "  请购单\t0\n"
              "  采购单\t0\n"
              "  工单\t0\n"
              "    工单工艺\t0\n");
}

TEST_P(OrderTree, LineWithEveryKindOfDownstreamDocumentNodeByNode) {
    EXPECT_EQ(Build("2201", "20240100010", "0001"),
              "客户订单 : HEAD\t0\n"
              "  LINE\t1000\n"
              "  销货单\t0\n"
              "    2301-20240100010-0001 2024/02/10 销:10 赠/备:1 SET\t2000\n"
              "      销售发票\t0\n"
              "        6101-20240100010-0001 2024/02/12\t3000\n"
              "          销货收款单\t0\n"
              "            6301-20240100010-0001 2024/02/14\t4000\n"
              "          销货退款单\t0\n"
              "            6D01-20240100010-0001 2024/02/15\t4000\n"
              "          销货多对多核销记录\t0\n"
              "            6101-20240100010-0001 2024/02/16\t10000\n"
              "  销退单\t0\n"
              "    2401-20240100010-0001 2024/02/18 1 0 SET\t5000\n"
              "      销售发票\t0\n"
              "        6101-20240100011-0001 2024/02/19\t3000\n"
              "          销退收款单\t0\n"
              "            6301-20240100011-0001 2024/02/20\t4000\n"
              "          销退退款单\t0\n"
              "          销退多对多核销记录\t0\n"
              "  预开发票\t0\n"
              "    6101-20240100012-0001 2024/01/28\t3000\n"
              "      预开发票收款单\t0\n"
              "        6C01-20240100010-0001 2024/01/28\t11000\n"
              "  预收款单\t0\n"
              "    6C01-20240100010 20240128\t11000\n"
              "  请购单\t0\n"
              "    3101-20240100010-0001 GB-200(齿轮减速箱) 2024/01/29 10 SET 已采:10 SET\t6000\n"
              "  采购单\t0\n"
              "    3301-20240100010-0001 GB-200(齿轮减速箱) 2024/01/31 10 SET 已交:10 预交货日:2024/02/20\t7000\n"
              "  工单\t0\n"
              "    5101-20240100010 2024/01/30 10 SET 已生产:4 状态:生产中\t8000\n"
              "      工单工艺\t0\n"
              "        0010 下料(P01) 下料车间(WC-01) 预计开工:2024/01/31 预计完工:2024/02/01 投入:10完成:4 报废:1返工投入:0 返工完成:0 拨转:4 待转:0完工码:6 完工码:N 实际开工:2024/01/31 实际完工:\t9000\n"
              "        0020 机加工(P02) 机加车间(WC-02) 预计开工:2024/02/02 预计完工:2024/02/03 投入:10完成:4 报废:0返工投入:0 返工完成:0 拨转:4 待转:0完工码:6 完工码:N 实际开工:2024/02/02 实际完工:\t9000\n");
}

TEST_P(OrderTree, DeliveryWithTwoInvoicesAndTheirFollowUps) {
    std::string tree = Build("2201", "20240100001", "0001");
    EXPECT_THAT(tree, HasSubstr("  销货单\t0\n"
                        "    2301-20240100001-0001 2024/01/20 销:600 赠/备:10 PCS\t2000\n"
                        "      销售发票\t0\n"
                        "        6101-20240100001-0001 2024/01/31\t3000\n"
                        "          销货收款单\t0\n"
                        "            6301-20240100001-0001 2024/02/15\t4000\n"
                        "          销货退款单\t0\n"
                        "            6D01-20240100001-0001 2024/02/25\t4000\n"
                        "          销货多对多核销记录\t0\n"
                        "            6101-20240100001-0001 2024/02/28\t10000\n"
                        "        6101-20240100002-0001 2024/02/05\t3000\n"
                        "          销货收款单\t0\n"
                        "            6301-20240100002-0001 2024/02/20\t4000\n"
                        "          销货退款单\t0\n"
                        "          销货多对多核销记录\t0\n"
                        "            6101-20240100002-     2024/02/29\t10000\n"
                        "    2301-20240100002-0001 2024/01/25 销:400 赠/备:0 PCS\t2000\n"))
        << tree;
}

TEST_P(OrderTree, ReceiptWithoutLineSequenceHangsUnderEveryInvoiceLineOfItsInvoice) {
    // Receipt 6301-20240100002 names invoice 6101-20240100002 without a line:
    // it shows under the invoice's line 0001 (order line 0001) and line 0002 (order line 0002).
    EXPECT_THAT(Build("2201", "20240100001", "0001"), HasSubstr("        6101-20240100002-0001 2024/02/05\t3000\n          销货收款单\t0\n"
                        "            6301-20240100002-0001 2024/02/20\t4000\n"));
    EXPECT_THAT(Build("2201", "20240100001", "0002"), HasSubstr("        6101-20240100002-0002 2024/02/05\t3000\n          销货收款单\t0\n"
                        "            6301-20240100002-0001 2024/02/20\t4000\n"));
}

TEST_P(OrderTree, AdvanceInvoiceReceiptsHangUnderTheirOwnGroup) {
    std::string tree = Build("2201", "20240100003", "0001");
    EXPECT_NE(tree.find("  预开发票\t0\n"
                        "    6101-20240100005-0001 2024/01/13\t3000\n"
                        "      预开发票收款单\t0\n"
                        "        6C01-20240100001-0001 2024/01/18\t11000\n"
                        "  预收款单\t0\n"
                        "    6C01-20240100002 20240111\t11000\n"),   // advance receipts keep the stored date
              std::string::npos)
        << tree;
}

TEST_P(OrderTree, RequisitionPurchasedPartlyInAnotherUnitIsSummedInItsOwnUnit) {
    std::string tree = Build("2201", "20240100004", "0001");
    EXPECT_THAT(tree, HasSubstr("    3101-20240100001-0001 SC-M6-20(六角螺丝) 2024/01/16 20 PCS 已采:16 PCS\t6000\n"));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "UnitConvert"), 1);   // only the record in another unit
    EXPECT_THAT(tree, HasSubstr("    3301-20240100001-0001 SC-M6-20(六角螺丝) 2024/01/18 16 PCS 已交:10 预交货日:2024/01/25\t7000\n"));
}

TEST_P(OrderTree, RequisitionUnitsAreComparedAsStoredWhateverTheDisplayConversion) {
    // A database conversion that changes unit names must not change which
    // purchase records count as the same unit, nor what UnitConvert receives.
    services.ConvertRow = [](const plat::Variant& row) {
        plat::Variant converted = row;
        for (int i = 0; i <= converted.Array().HighBound(); ++i)
            if (converted[i].IsString() && plat::Trim(converted[i].ToString()) == "PCS") converted[i] = "件";
        return converted;
    };
    std::string tree = Build("2201", "20240100004", "0001");
    EXPECT_THAT(tree, HasSubstr(" 已采:16 件\t6000\n"));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "UnitConvert"), 1);
}

TEST_P(OrderTree, PurchaseRecordKeysAreQuotedLiterals) {
    Build("2201", "20240100004", "0001");
    auto purchase = std::find_if(calls.begin(), calls.end(), [](const std::string& s) { return s.find("PURTR") != std::string::npos; });
    ASSERT_NE(purchase, calls.end());
    EXPECT_THAT(*purchase, HasSubstr("where TR001='3101' and TR002='20240100001' and TR003='0001' and TR017='Y' "));
}

TEST_P(OrderTree, WorkOrderStatesAndRoutingSteps) {
    std::string tree = Build("2201", "20240100005", "0001");
    for (const char* state : {"状态:未生产\t8000", "状态:已发料\t8000", "状态:生产中\t8000", "状态:已完工\t8000",
                              "状态:指定完工\t8000"})
        EXPECT_THAT(tree, HasSubstr(state)) << state;
    EXPECT_THAT(tree, HasSubstr("      工单工艺\t0\n        0010 下料(P01) 下料车间(WC-01) 预计开工:2024/01/20 预计完工:2024/01/21 "
                        "投入:0完成:0 报废:0返工投入:0 返工完成:0 拨转:0 待转:0完工码:0 完工码:N 实际开工: 实际完工:\t9000\n"))
        << tree;
}

TEST_P(OrderTree, ShortDocumentNumbersAreFilledToElevenCharacters) {
    EXPECT_THAT(Build("2201", "123", "0001"), HasSubstr("2301-20240100006-0001"));
    EXPECT_EQ(RowKey("0001", "123", "0001"), "0001-123        -0001");
    EXPECT_EQ(RowKey("LONGER", "123456789012", "1"), "LONGER-123456789012-1");   // never shortened
}

TEST_P(OrderTree, QuotesInKeysAreDoubledInTheListings) {
    std::string tree = Build("2201", "2024'010007", "0001");
    EXPECT_THAT(tree, HasSubstr("    2301-DQ'24010001-0001 2024/01/31 销:300 赠/备:0 PCS\t2000\n"));
    EXPECT_THAT(tree, HasSubstr("        6101-20240100008-0001 2024/02/03\t3000\n"));
}

TEST_F(OrderTreeFailure, ServerFailureMidwayStopsTheBuildAndKeepsWhatWasAdded) {
    int allowed = 3;
    services.CallServer = [&](const std::string&, const plat::Variant&) -> plat::Variant {
        if (--allowed < 0) throw plat::Exception("server gone");
        return {};
    };
    RecordingTree tree;
    EXPECT_THROW(BuildOrderTree({"2201", "20240100006", "0001", "HEAD", "LINE"}, LabelLines(DefaultTreeLabels()),
                                services, tree),
                 plat::Exception);
    EXPECT_GT(tree.lines.size(), 2u);
    EXPECT_EQ(tree.lines[0], "客户订单 : HEAD\t0");
}

TEST_P(OrderTree, UnitConvertAnswerThatIsNoArrayIsAnError) {
    auto real = services.CallServer;
    services.CallServer = [&](const std::string& method, const plat::Variant& params) {
        return method == "UnitConvert" ? plat::Variant(16.0) : real(method, params);
    };
    RecordingTree tree;
    EXPECT_THROW(BuildOrderTree({"2201", "20240100004", "0001", "HEAD", "LINE"}, LabelLines(DefaultTreeLabels()),
                                services, tree),
                 plat::Exception);
}

TEST(OrderTreeLabels, LinesBeyondTheListReadEmpty) {
    LabelLines labels(DefaultTreeLabels());
    EXPECT_EQ(DefaultTreeLabels().size(), 52u);
    EXPECT_EQ(labels(6), "客户订单 : ");
    EXPECT_EQ(labels(51), "预收款单");
    EXPECT_EQ(labels(52), "");
    EXPECT_EQ(labels(-1), "");
}
