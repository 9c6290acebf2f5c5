// The read-only guard of "SimpleSQL" against statements that read but reach
// further than a listing should: functions outside the listing's allow-list,
// the FTS3 tokenizer, statements that never end; and stored text that is not
// UTF-8. Each case runs through the real service on each backend it applies to.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "ServerTestSupport.h"
#include "TextFile.h"

using ::testing::HasSubstr;

using servertest::Backend;

namespace {

plat::Variant Ask(server::SimpleSqlService& sql, const std::string& text, const std::string& fields = "") {
    return sql.SimpleSql(servertest::Params(text, fields), servertest::Context("PRTest65"));
}

// A never-ending statement that produces no row (it counts forever).
const char* const kEndlessCount =
    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c";
// One that produces rows forever.
const char* const kEndlessRows = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c";

class StatementGuard : public testing::TestWithParam<Backend> {
protected:
    static void TearDownTestSuite() { demo.Release(); }
    server::SimpleSqlService& Sql() { return demo.Sql(GetParam()); }
    static servertest::SuiteDemo demo;
};
servertest::SuiteDemo StatementGuard::demo;

}  // namespace

TEST_P(StatementGuard, never_ending_statement_is_interrupted_at_the_time_limit) {
    ORTK_SKIP_WITHOUT(GetParam());
    server::SimpleSqlService& sql = Sql();
    sql.SetTimeLimit(std::chrono::milliseconds(1000));
    for (const char* statement : {kEndlessCount, kEndlessRows}) {
        SCOPED_TRACE(statement);
        auto start = std::chrono::steady_clock::now();
        try {
            Ask(sql, statement);
            ADD_FAILURE() << "the statement came back";
        } catch (const server::SqlError& e) {
            EXPECT_THAT(std::string(e.what()), HasSubstr("time limit of 1 s")) << e.what();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
    // The connection is usable again at once.
    EXPECT_EQ(servertest::RowCount(Ask(sql, "SELECT TC001 FROM $$COPTC COPTC WHERE TC027='Y'", "TC001")) > 0, true);
    sql.SetTimeLimit(std::chrono::seconds(30));
}

TEST_P(StatementGuard, listing_functions_still_answer) {
    ORTK_SKIP_WITHOUT(GetParam());
    plat::Variant answer = Ask(Sql(),
                               "SELECT TOP 1 LEN(MA001), LEFT(MA001, 2), RIGHT(MA001, 1), CHARINDEX('0', MA001), "
                               "ISNULL(MA002, ''), UPPER(MA001), LOWER(MA001), RTRIM(MA001), SUBSTRING(MA001, 1, 2) "
                               "FROM $$COPMA COPMA WHERE MA001 LIKE '%' ORDER BY MA001");
    ASSERT_EQ(servertest::RowCount(answer), 1);
    plat::Variant counts = Ask(Sql(), "SELECT COUNT(*), SUM(TD008), MAX(TD001), MIN(TD001), AVG(TD008), "
                                      "ABS(-1), ROUND(TD008, 0), COALESCE(TD001, '') FROM $$COPTD COPTD GROUP BY TD001, TD008");
    EXPECT_GT(servertest::RowCount(counts), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, StatementGuard, servertest::AllBackends(), servertest::BackendParamName);

// SQLite only: the functions SQLite offers beyond a listing are refused
// while the statement is prepared.
TEST(SqliteStatementGuard, functions_outside_the_allow_list_are_refused) {
    servertest::TestDatabases databases(Backend::SQLite);
    databases.CreateDemo("PRTest65");
    auto sql = databases.Service();
    struct Case {
        const char* name;
        const char* statement;
    };
    for (const Case& c : std::vector<Case>{
             {"fts3_tokenizer hands out a library address", "SELECT fts3_tokenizer('simple')"},
             {"fts3_tokenizer with two arguments registers a pointer", "SELECT fts3_tokenizer('x', X'0000000000000000')"},
             {"load_extension", "SELECT load_extension('/lib/x86_64-linux-gnu/libc.so.6')"},
             {"zeroblob fills memory", "SELECT zeroblob(1000000000)"},
             {"randomblob", "SELECT randomblob(16)"},
             {"sqlite_version", "SELECT sqlite_version()"},
             {"printf", "SELECT printf('%s', TC001) FROM COPTC"},
             {"inside a subquery", "SELECT TC001 FROM COPTC WHERE TC001 IN (SELECT hex(randomblob(4)))"},
             {"readfile", "SELECT readfile('/etc/passwd')"},
         }) {
        SCOPED_TRACE(c.name);
        try {
            Ask(*sql, c.statement);
            ADD_FAILURE() << "answered";
        } catch (const server::SqlRefused& e) {
            EXPECT_THAT(std::string(e.what()), HasSubstr("is not one a listing uses")) << e.what();
        } catch (const server::SqlError& e) {
            // A function this SQLite does not have at all fails as unknown; it is not run either.
            EXPECT_THAT(std::string(e.what()), HasSubstr("no such function")) << e.what();
        }
    }
}

// Text written by another program in the company's code page, or broken
// bytes, reaches callers as valid UTF-8.
TEST(StoredText, text_that_is_not_utf8_is_read_in_the_database_code_page) {
    servertest::TestDatabases databases(Backend::SQLite);
    databases.CreateDemo("PRTest65");
    // 客户 in GBK, 客戶 in Big5, and bytes that are neither.
    databases.Write("PRTest65", "UPDATE COPMA SET MA002 = CAST(X'BFCDBBA7' AS TEXT) WHERE MA001 = (SELECT MIN(MA001) FROM COPMA);"
                                "UPDATE COPMA SET MA003 = CAST(X'ABC8A4E1' AS TEXT) WHERE MA001 = (SELECT MIN(MA001) FROM COPMA);"
                                "UPDATE COPMA SET CREATOR = CAST(X'41FF42' AS TEXT) WHERE MA001 = (SELECT MIN(MA001) FROM COPMA);");
    const std::string read = "SELECT TOP 1 MA002, MA003, CREATOR FROM $$COPMA COPMA ORDER BY MA001";
    struct Case {
        int codePage;
        const char* ma002;
        const char* ma003;
    };
    // Big5 bytes that do not decode as GB keep what is valid UTF-8 (C8 A4 is
    // U+0224) and mark every other byte; GB bytes happen to decode as Big5
    // (other characters), which is what the rule asks.
    for (const Case& c : {Case{936, "客户", "\uFFFD\u0224\uFFFD"}, Case{950, "諦誧", "客戶"}}) {
        SCOPED_TRACE(c.codePage);
        auto sql = databases.Service();
        sql->SetCodePage(c.codePage);
        plat::Variant answer = Ask(*sql, read, "MA002,MA003,CREATOR");
        ASSERT_EQ(servertest::RowCount(answer), 1);
        for (int column : {0, 1, 2}) EXPECT_TRUE(plat::IsValidUtf8(answer[0][column].ToString())) << column;
        if (c.ma002) {
            EXPECT_EQ(answer[0][0].ToString(), c.ma002);
        }
        if (c.ma003) {
            EXPECT_EQ(answer[0][1].ToString(), c.ma003);
        }
        EXPECT_EQ(answer[0][2].ToString(), "A\xEF\xBF\xBD" "B");   // 0xFF decodes in neither: U+FFFD
    }
}
