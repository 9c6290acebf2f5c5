// The demo company database tracks the same on SQLite and on PostgreSQL:
// every showcase order line, its complete tree node by node and the export
// outline of all of them cell by cell, with the labels the order list gives
// the lines. Needs the PostgreSQL test server (ORTK_TEST_PG); skipped,
// saying so, without it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "OrderTestSupport.h"
#include "StrUtils.h"
#include "ortk41/OrderOutline.h"
#include "ortk41/OrderQuery.h"
#include "ortk41/OrderTree.h"

using ::testing::HasSubstr;

using namespace ortk41;
using servertest::Backend;

namespace {

// Every order line of the showcase orders, confirmed or not, with the
// fields and labels of the order list.
struct ShowcaseLine {
    std::array<std::string, 5> cells;   // type, number, sequence, item, item name as answered
    std::string headText, lineText;
};

std::vector<ShowcaseLine> ShowcaseLines(server::SimpleSqlService& sql) {
    std::string text = std::string(" SELECT ") + kOrderListFields +
                       " FROM $$COPTC COPTC INNER JOIN $$COPTD COPTD ON TD001=TC001 AND TD002=TC002"
                       " LEFT JOIN $$COPMA COPMA ON MA001=TC004 ORDER BY TD001,TD002,TD003 ";
    plat::Variant rows = sql.SimpleSql(servertest::Params(text, kOrderListFields), servertest::Context("PRTest65"));
    std::vector<ShowcaseLine> lines;
    for (int r = 0; r < servertest::RowCount(rows); ++r) {
        const plat::Variant& row = rows[r];
        ShowcaseLine line;
        for (int c = 0; c < 5; ++c) line.cells[static_cast<size_t>(c)] = row[c].ToString();
        line.headText = OrderHeadText(row, ordertest::SlashDate);
        line.lineText = OrderLineText(row, "预交货日:", ordertest::SlashDate);
        lines.push_back(line);
    }
    return lines;
}

std::string KeyOf(const ShowcaseLine& line) {
    return line.cells[0] + "-" + plat::TrimRight(line.cells[1]) + "-" + line.cells[2];
}

std::vector<std::string> TreeOf(const ShowcaseLine& line, server::SimpleSqlService& sql) {
    ordertest::RecordingTree tree;
    BuildOrderTree({line.cells[0], line.cells[1], line.cells[2], line.headText, line.lineText},
                   LabelLines(DefaultTreeLabels()), ordertest::DemoServices(sql), tree);
    return tree.lines;
}

// The outline of all lines, one after the other, as the export writes the list.
std::map<std::pair<int, int>, std::string> OutlineOf(const std::vector<ShowcaseLine>& lines,
                                                      server::SimpleSqlService& sql) {
    ordertest::RecordingSheet sheet;
    OrderOutline outline(LabelLines(DefaultOutlineLabels()), LabelLines(DefaultTreeLabels()),
                         ordertest::DemoServices(sql), [](const std::string& t) { return t; }, sheet);
    for (const ShowcaseLine& line : lines) outline.WriteOrder({line.cells, line.headText, line.lineText});
    return sheet.cells;
}

class SameOnBothBackends : public testing::Test {
protected:
    void SetUp() override {
        if (servertest::TestServer().empty())
            GTEST_SKIP() << "ORTK_TEST_PG is not set: no PostgreSQL test server, nothing to compare with";
    }
    static void TearDownTestSuite() { demo_.Release(); }

    server::SimpleSqlService& Lite() { return demo_.Sql(Backend::SQLite); }
    server::SimpleSqlService& Pg() { return demo_.Sql(Backend::PostgreSQL); }

    static inline servertest::SuiteDemo demo_;
};

}  // namespace

TEST_F(SameOnBothBackends, ShowcaseOrderLinesAndTheirLabels) {
    std::vector<ShowcaseLine> lite = ShowcaseLines(Lite()), pg = ShowcaseLines(Pg());
    std::vector<std::string> keys;
    for (const ShowcaseLine& line : lite) keys.push_back(KeyOf(line));
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "2201-123-0001", "2201-123-0002", "2201-2024'010007-0001", "2201-20240100001-0001",
                        "2201-20240100001-0002", "2201-20240100002-0001", "2201-20240100003-0001",
                        "2201-20240100003-0002", "2201-20240100004-0001", "2201-20240100004-0002",
                        "2201-20240100005-0001", "2201-20240100006-0001", "2201-20240100009-0001",
                        "2201-20240100010-0001", "2202-20240100001-0001"}));
    ASSERT_EQ(pg.size(), lite.size());
    for (size_t i = 0; i < lite.size(); ++i) {
        EXPECT_EQ(pg[i].cells, lite[i].cells) << KeyOf(lite[i]);
        EXPECT_EQ(pg[i].headText, lite[i].headText) << KeyOf(lite[i]);
        EXPECT_EQ(pg[i].lineText, lite[i].lineText) << KeyOf(lite[i]);
    }
    // the number comes back padded to its width, the decimal quantity whole
    EXPECT_EQ(lite[0].cells[1], "123        ");
    EXPECT_THAT(lite.back().lineText, HasSubstr(" 1500.5 ")) << lite.back().lineText;
}

TEST_F(SameOnBothBackends, CompleteTreeOfEveryShowcaseLineNodeByNode) {
    std::vector<ShowcaseLine> lines = ShowcaseLines(Lite());
    ASSERT_EQ(lines.size(), 15u);
    size_t documents = 0;
    for (const ShowcaseLine& line : lines) {
        std::vector<std::string> lite = TreeOf(line, Lite()), pg = TreeOf(line, Pg());
        EXPECT_GE(lite.size(), 18u) << KeyOf(line);   // the line and every group word at least
        for (size_t n = 0; n < std::max(lite.size(), pg.size()); ++n) {
            std::string l = n < lite.size() ? lite[n] : "<no node>", p = n < pg.size() ? pg[n] : "<no node>";
            if (l != p) {
                ADD_FAILURE() << KeyOf(line) << " node " << n << "\n  SQLite:     " << l << "\n  PostgreSQL: " << p;
                break;
            }
        }
        for (const std::string& node : lite) documents += std::stoi(node.substr(node.rfind('\t') + 1)) >= 2000 ? 1 : 0;
    }
    // kinds from 2000 on are downstream documents: the trees carry real ones
    EXPECT_GT(documents, 40u);
}

TEST_F(SameOnBothBackends, ExportOutlineOfAllShowcaseLinesCellByCell) {
    std::vector<ShowcaseLine> lines = ShowcaseLines(Lite());
    ASSERT_EQ(lines.size(), 15u);
    auto lite = OutlineOf(lines, Lite()), pg = OutlineOf(lines, Pg());
    EXPECT_GT(lite.size(), 15u * 16u);   // each line's texts and group words, and the documents
    auto l = lite.begin(), p = pg.begin();
    int differences = 0;
    while ((l != lite.end() || p != pg.end()) && differences < 10) {
        if (p == pg.end() || (l != lite.end() && l->first < p->first)) {
            ADD_FAILURE() << "cell " << l->first.first << "," << l->first.second << " only on SQLite: " << l->second;
            ++l, ++differences;
        } else if (l == lite.end() || p->first < l->first) {
            ADD_FAILURE() << "cell " << p->first.first << "," << p->first.second << " only on PostgreSQL: " << p->second;
            ++p, ++differences;
        } else {
            if (l->second != p->second) {
                ADD_FAILURE() << "cell " << l->first.first << "," << l->first.second << "\n  SQLite:     " << l->second
                              << "\n  PostgreSQL: " << p->second;
                ++differences;
            }
            ++l, ++p;
        }
    }
    EXPECT_EQ(differences, 0);
}
