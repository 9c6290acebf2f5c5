// The service runs the statements of the order tracking query with the
// literals their conditions compare against bound as parameters, so that a
// statement of each shape is translated and prepared once. Every statement
// the query sends for the demo company database (the order list under each
// kind of condition, the tree of every showcase line, the export outline of
// all of them) must answer exactly what it answers with its literals written
// into the text, on SQLite and on PostgreSQL.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "OrderTestSupport.h"
#include "SqlDialect.h"
#include "ortk41/OrderOutline.h"
#include "ortk41/OrderQuery.h"
#include "ortk41/OrderTree.h"

using namespace ortk41;

namespace {

class ModuleStatements : public ordertest::DemoOnBackend {
protected:
    // The order lists of every kind of condition, quotes and dates included.
    std::vector<std::string> OrderLists() {
        std::vector<OrderConditions> all(12);
        all[1].Order = {"220120240100001", "220120240100005"};
        all[2].Order = {"2201-2024'010007", ""};
        all[3].Order = {"", "2201123"};
        all[4].OrderDate = {"2024/01/01", "2024/01/31"};
        all[5].Customer = {"C001", "C003"};
        all[6].CustomerOrder = {"", "PO-9"};
        all[7].DeliveryDate = {"2024/01/15", ""};
        all[8].Closed = 0;
        all[9].Closed = 1;
        all[10].ProjectsEnabled = true;
        all[10].Project = "P-01";
        all[11].Customer = {"O'NEIL", "O'NEIL"};
        std::vector<std::string> texts;
        for (const OrderConditions& c : all) texts.push_back(OrderListSql(c, dates_.ToDb()));
        return texts;
    }

    // The statements of the trees and the outline of every listed line.
    std::vector<std::string> TreesAndOutline() {
        std::vector<std::string> calls;
        ListingServices services = ordertest::DemoServices(Sql(), &calls);
        plat::Variant rows = Sql().SimpleSql(servertest::Params(OrderListSql({}, dates_.ToDb()), kOrderListFields),
                                             servertest::Context("PRTest65"));
        ordertest::RecordingSheet sheet;
        OrderOutline outline(LabelLines(DefaultOutlineLabels()), LabelLines(DefaultTreeLabels()), services,
                             [](const std::string& t) { return t; }, sheet);
        for (int r = 0; r < servertest::RowCount(rows); ++r) {
            const plat::Variant& row = rows[r];
            std::array<std::string, 5> cells;
            for (int c = 0; c < 5; ++c) cells[static_cast<size_t>(c)] = row[c].ToString();
            ordertest::RecordingTree tree;
            BuildOrderTree({cells[0], cells[1], cells[2], "HEAD", "LINE"}, LabelLines(DefaultTreeLabels()), services,
                           tree);
            outline.WriteOrder({cells, "HEAD", "LINE"});
        }
        std::vector<std::string> statements;
        for (const std::string& call : calls)
            if (call != "UnitConvert") statements.push_back(call);
        return statements;
    }

private:
    ordertest::WindowDates dates_;
};

INSTANTIATE_TEST_SUITE_P(Backends, ModuleStatements, servertest::AllBackends(), servertest::BackendParamName);

TEST_P(ModuleStatements, AnswerWithBoundLiteralsAsWithLiteralsInTheText) {
    std::vector<std::string> sent = OrderLists();
    for (const std::string& sql : TreesAndOutline()) sent.push_back(sql);
    std::set<std::string> statements(sent.begin(), sent.end()), shapes;
    server::CompanyDatabase& db = Sql().Database("PRTest65");
    size_t answered = 0;
    for (const std::string& sql : statements) {
        server::ParameterisedStatement bound = server::Parameterise(sql);
        // every listing compares against at least the confirmation flag or a key
        EXPECT_FALSE(bound.parameters.empty()) << sql;
        shapes.insert(bound.shape);
        server::ResultTable withParameters = db.Query(sql), withLiterals = db.QueryNative(db.Translate(sql));
        EXPECT_EQ(withParameters.columns, withLiterals.columns) << sql;
        EXPECT_EQ(withParameters.rows, withLiterals.rows) << sql;
        answered += withLiterals.rows.empty() ? 0 : 1;
    }
    // Real answers were compared, and the many statements come in few shapes.
    EXPECT_GT(answered, 50u);
    EXPECT_GT(statements.size(), 200u);
    EXPECT_LE(shapes.size(), 40u) << statements.size() << " statements";
}

}  // namespace
