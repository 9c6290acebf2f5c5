// The answer of "SimpleSQL" when the field list names one selected column
// more than once: every name gets the column's value (the answer takes the
// statement's values over, so a name may not find its value already gone).
#include <gtest/gtest.h>

#include "DemoData.h"
#include "SimpleSql.h"
#include "TempEnvironment.h"

namespace {

plat::Variant Select(server::SimpleSqlService& service, const std::string& sql, const std::string& fields) {
    return service.SimpleSql(plat::VarArrayOf({sql, fields}), plat::VarArrayOf({"PRTest65", "PRTest65"}));
}

}  // namespace

TEST(SimpleSqlAnswer, ColumnSelectedOnceAndNamedTwiceGivesItsValueBothTimes) {
    ortktest::TempFolder folder;
    server::CreateDemoDatabase(folder.Path() + "PRTest65.db");
    server::SimpleSqlService service(folder.Path());
    // As the requisition listing names TB007 twice.
    plat::Variant answer = Select(service, "SELECT TD004, TD010 FROM $$COPTD WHERE TD002='20240100001' ORDER BY TD003",
                                  "TD010,TD004,TD010");
    ASSERT_TRUE(answer.IsArray());
    ASSERT_GE(answer.Array().Count(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_FALSE(answer[r][0].IsEmptyOrNull()) << r;
        EXPECT_EQ(answer[r][0].ToString(), answer[r][2].ToString()) << r;
        EXPECT_NE(answer[r][1].ToString(), answer[r][0].ToString()) << r;
    }
    EXPECT_EQ(answer[0][1].ToString().substr(0, 8), "SC-M6-20");
}
