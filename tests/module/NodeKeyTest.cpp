// Node keys and the programs and conditions that open the documents.
#include <gtest/gtest.h>

#include "ortk41/NodeKey.h"
#include "ortk41/OrderKeys.h"

using namespace ortk41;

namespace {

std::string SlashDateToDb(const std::string& shown) {
    if (shown.size() != 10) return {};
    return shown.substr(0, 4) + shown.substr(5, 2) + shown.substr(8, 2);
}

}  // namespace

TEST(NodeKey, KeyTextComesFromTheNodeOrItsGrandparent) {
    const std::string delivery = "1201-ABCDEFGHIJK-0001 2024/01/20 销:600 赠/备:10 PCS";
    const std::string invoiceLine = "6101-20240100002-0001 2024/02/05";
    EXPECT_EQ(NodeKeyText(DeliveryNode, delivery, ""), "1201-ABCDEFGHIJK-0001");
    EXPECT_EQ(NodeKeyText(RoutingStepNode, "0010 下料(P01) ...", "5101-20240100001 2024/01/19 12 SET"),
              "5101-20240100001 2024");
    EXPECT_EQ(NodeKeyText(WriteOffNode, "6101-20240100002-     2024/02/29", invoiceLine), invoiceLine);
    EXPECT_EQ(NodeKeyText(AdvanceReceiptNode, "6C01-20240100002 20240111", ""), "6C01-20240100002 2024");
    EXPECT_EQ(NodeKeyText(GroupNode, "销货单", "x"), "");
    EXPECT_EQ(NodeKeyText(OrderLineNode, "short", ""), "short");   // a shorter text gives what there is
}

TEST(NodeKey, EveryKindOpensItsProgramOnTheDocumentKey) {
    struct Row { int kind; const char* program; const char* condition; } rows[] = {
        {OrderLineNode, "PGSO01", " COPTC.TC001 + '-' + COPTC.TC002 ='2201-20240100001'"},
        {DeliveryNode, "PGSD01", " COPTG.TG001 + '-' + COPTG.TG002 ='2201-20240100001'"},
        {InvoiceNode, "PGAR01", " ACRTA.TA001 + '-' + ACRTA.TA002 ='2201-20240100001'"},
        {ReceiptNode, "PGAR02", " ACRTK.TK001 + '-' + ACRTK.TK002 ='2201-20240100001'"},
        {AdvanceReceiptNode, "PGAR03", " ACRTK.TK001 + '-' + ACRTK.TK002 ='2201-20240100001'"},
        {ReturnNode, "PGSR01", " COPTI.TI001 + '-' + COPTI.TI002 ='2201-20240100001'"},
        {RequisitionNode, "PGPR01", " PURTA.TA001 + '-' + PURTA.TA002 ='2201-20240100001'"},
        {PurchaseOrderNode, "PGPO01", " PURTC.TC001 + '-' + PURTC.TC002 ='2201-20240100001'"},
        {WorkOrderNode, "PGWO01", " MOCTA.TA001 + '-' + MOCTA.TA002 ='2201-20240100001'"},
        {RoutingStepNode, "PGWR01", " MOCTA.TA001 + '-' + MOCTA.TA002 ='2201-20240100001'"},
    };
    for (const Row& r : rows) {
        auto opening = OpeningFor(r.kind, "2201-20240100001-0001", SlashDateToDb);
        ASSERT_TRUE(opening) << r.kind;
        EXPECT_EQ(opening->ProgramCode, r.program);
        EXPECT_EQ(opening->Condition, r.condition);
    }
    EXPECT_FALSE(OpeningFor(GroupNode, "2201-20240100001-0001", SlashDateToDb));
    EXPECT_FALSE(OpeningFor(12000, "2201-20240100001-0001", SlashDateToDb));
}

TEST(NodeKey, DeliveryOfTypeWithFullNumberAndQuotesDoubled) {
    auto opening = OpeningFor(DeliveryNode, NodeKeyText(DeliveryNode, RowKey("1201", "DQ'24010001", "0001") + " x", ""),
                              SlashDateToDb);
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->Condition, " COPTG.TG001 + '-' + COPTG.TG002 ='1201-DQ''24010001'");
}

TEST(NodeKey, WriteOffOpensOnTheInvoiceLineKeyAndItsDateAsStored) {
    std::string key = NodeKeyText(WriteOffNode, "", "6101-20240100002-0001 2024/02/05");
    auto opening = OpeningFor(WriteOffNode, key, SlashDateToDb);
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->ProgramCode, "PGAR04");
    EXPECT_EQ(opening->Condition,
              " ACRLC.LC003 + '-' + ACRLC.LC004 + '-' + ACRLC.LC005='6101-20240100002-0001' AND ACRLC.LC002='20240205'");
}

TEST(NodeKey, CharactersCountFromOneAndNeverSplitChineseText) {
    EXPECT_EQ(Characters("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Characters("abc", 5, 3), "");
    EXPECT_EQ(Characters("销货单", 2, 5), "货单");
}
