// Node keys and the programs and conditions that open the documents; the
// conditions of every document in the demo trees find their document on
// SQLite and on PostgreSQL.
#include <gtest/gtest.h>

#include "OrderTestSupport.h"
#include "ortk41/NodeKey.h"
#include "ortk41/OrderKeys.h"
#include "ortk41/OrderTree.h"

using namespace ortk41;

namespace {

// Keys are opened with the date conversion of the order tracking window.
class NodeKeyTest : public testing::Test {
protected:
    std::optional<Opening> Open(int kind, const std::string& key) { return OpeningFor(kind, key, dates_.ToDb()); }

private:
    ordertest::WindowDates dates_;
};

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

TEST_F(NodeKeyTest, EveryKindOpensItsProgramOnTheDocumentKey) {
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
        SCOPED_TRACE(r.program);
        auto opening = Open(r.kind, "2201-20240100001-0001");
        ASSERT_TRUE(opening) << r.kind;
        EXPECT_EQ(opening->ProgramCode, r.program);
        EXPECT_EQ(opening->Condition, r.condition);
    }
    EXPECT_FALSE(Open(GroupNode, "2201-20240100001-0001"));
    EXPECT_FALSE(Open(12000, "2201-20240100001-0001"));
}

TEST_F(NodeKeyTest, DeliveryOfTypeWithFullNumberAndQuotesDoubled) {
    auto opening = Open(DeliveryNode, NodeKeyText(DeliveryNode, RowKey("1201", "DQ'24010001", "0001") + " x", ""));
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->Condition, " COPTG.TG001 + '-' + COPTG.TG002 ='1201-DQ''24010001'");
}

TEST_F(NodeKeyTest, WriteOffOpensOnTheInvoiceLineKeyAndItsDateAsStored) {
    std::string key = NodeKeyText(WriteOffNode, "", "6101-20240100002-0001 2024/02/05");
    auto opening = Open(WriteOffNode, key);
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

// ---------------------------------------------------- opened on the demo database

namespace {

// Records every node with its kind and parent.
class NodeList : public ITreeSink {
public:
    struct Entry {
        std::string text;
        int kind;
        Node parent;
    };
    Node Add(Node parent, const std::string& text, int kind) override {
        nodes.push_back({text, kind, parent});
        return static_cast<Node>(nodes.size() - 1);
    }
    std::string GrandparentText(size_t n) const {
        Node parent = nodes[n].parent;
        if (parent == kTopLevel || nodes[static_cast<size_t>(parent)].parent == kTopLevel) return {};
        return nodes[static_cast<size_t>(nodes[static_cast<size_t>(parent)].parent)].text;
    }
    std::vector<Entry> nodes;
};

class OpeningOnDemo : public ordertest::DemoOnBackend {
protected:
    ordertest::WindowDates dates;
};

INSTANTIATE_TEST_SUITE_P(Backends, OpeningOnDemo, servertest::AllBackends(), servertest::BackendParamName);

}  // namespace

TEST_P(OpeningOnDemo, EveryDocumentOfTheShowcaseTreesOpensOnADocumentThatExists) {
    const char* lines[][3] = {{"2201", "20240100001", "0001"}, {"2201", "20240100001", "0002"},
                              {"2201", "20240100002", "0001"}, {"2201", "20240100003", "0001"},
                              {"2201", "20240100004", "0001"}, {"2201", "20240100005", "0001"},
                              {"2201", "2024'010007", "0001"}, {"2201", "123        ", "0001"},
                              {"2202", "20240100001", "0001"}};
    std::map<std::string, int> opened;   // program code: documents checked
    for (const auto& line : lines) {
        NodeList tree;
        BuildOrderTree({line[0], line[1], line[2], "HEAD", RowKey(line[0], line[1], line[2]) + " LINE"},
                       LabelLines(DefaultTreeLabels()), ordertest::DemoServices(Sql()), tree);
        for (size_t n = 0; n < tree.nodes.size(); ++n) {
            const NodeList::Entry& node = tree.nodes[n];
            // A write-off record opens on its invoice line's key and date, which
            // names the invoice, not the record; the window has it so.
            if (node.kind == WriteOffNode) continue;
            auto opening = OpeningFor(node.kind, NodeKeyText(node.kind, node.text, tree.GrandparentText(n)), dates.ToDb());
            if (!opening) continue;
            std::string table = opening->Condition.substr(1, opening->Condition.find('.') - 1);
            plat::Variant found = Sql().SimpleSql(
                servertest::Params("SELECT count(*) AS N FROM $$" + table + " " + table + " WHERE" + opening->Condition, "N"),
                servertest::Context("PRTest65"));
            EXPECT_GE(found[0][0].ToInt(), 1) << node.text << "\n  " << opening->Condition;
            ++opened[opening->ProgramCode];
        }
    }
    // documents of every program but the write-off records were opened
    for (const char* program : {"PGSO01", "PGSD01", "PGAR01", "PGAR02", "PGAR03", "PGSR01", "PGPR01", "PGPO01",
                                "PGWO01", "PGWR01"})
        EXPECT_GT(opened[program], 0) << program;
}
