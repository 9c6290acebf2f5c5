// The batch mode under bad and unusual input, through the real host shell
// binary on a demo installation: condition texts of every kind reach the
// SQL quoted and unchanged (the trace of the "SimpleSQL" calls shows it),
// control characters and texts an edit cannot take are refused, every
// failure of settings, files and database ends in a message and exit status
// 1, and the text and JSON outputs cannot be forged or broken by stored data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "BatchInstallation.h"
#include "BatchMode.h"
#include "TextFile.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// A value as one word of a shell command line.
std::string Quoted(const std::string& value) {
    std::string out = "'";
    for (char c : value) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The order-list statement of the last run's trace ("" when none ran).
std::string OrderListSql(const shelltest::BatchInstallation& demo) {
    std::string trace = demo.Read("trace.txt");
    size_t at = trace.find("FROM $$COPTC COPTC  INNER JOIN");
    if (at == std::string::npos) return {};
    size_t begin = trace.rfind('\t', at), end = trace.find('\n', at);
    return trace.substr(begin + 1, end - begin - 1);
}

class BatchConditions : public testing::Test {
protected:
    static void SetUpTestSuite() {
        demo = new shelltest::BatchInstallation;
        // Stored values that only the exact condition text finds.
        demo->WriteDatabase(
            "UPDATE COPTC SET TC012 = '客户订单甲' WHERE TC001 = '2201' AND TC002 = '20240100001';"
            "UPDATE COPTC SET TC012 = '$$COPTC' WHERE TC001 = '2201' AND TC002 = '20240100002';"
            "INSERT INTO CMSNO (NO001, NO002) VALUES ('项目甲', '项目甲的名称');");
    }
    static void TearDownTestSuite() {
        delete demo;
        demo = nullptr;
    }

    // Runs the batch with `options` and a trace; answers the exit status.
    int Run(const std::string& options, std::string& out) {
        std::filesystem::remove(demo->Folder() + "trace.txt");
        return demo->Run("ortk41 --trace-sql " + demo->Folder() + "trace.txt " + options, out);
    }

    static shelltest::BatchInstallation* demo;
};
shelltest::BatchInstallation* BatchConditions::demo = nullptr;

}  // namespace

// Every condition a user can type, pasted into its edit: the statement holds it quoted.
TEST_F(BatchConditions, typed_text_reaches_the_sql_quoted) {
    std::string longest;   // twenty Chinese characters: the customer-order edit's length
    for (int i = 0; i < 20; ++i) longest += "单";
    struct Case {
        const char* name;
        std::string option;
        std::string value;
        std::string sql;   // the condition the statement must hold
    };
    const std::vector<Case> cases = {
        {"chinese from", "--customer-order", "客户..", "TC012 >= '客户'"},
        {"chinese to", "--customer-order", "..客户订单", "TC012 <= '客户订单'"},
        {"chinese range", "--customer-order", "客户A..客户Z", "TC012 BETWEEN '客户A' AND '客户Z'"},
        {"quote doubled", "--customer-order", "O'Brien..", "TC012 >= 'O''Brien'"},
        {"statement in a value", "--customer-order", "';DROP TABLE COPTC--..", "TC012 >= ''';DROP TABLE COPTC--'"},
        {"latin accents and euro", "--customer-order", "é..€", "TC012 BETWEEN 'é' AND '€'"},
        {"edit's full length", "--customer-order", longest + "..", "TC012 >= '" + longest + "'"},
        {"backslash", "--customer-order", "a\\b..", "TC012 >= 'a\\b'"},
        {"outside the basic plane", "--customer-order", "😀..", "TC012 >= '😀'"},
        {"wildcards are plain text", "--customer-order", "%_..", "TC012 >= '%_'"},
        {"ideographic blank inside", "--customer-order", "全角　空格..", "TC012 >= '全角　空格'"},
        {"double quote", "--customer-order", "say \"hi\"..", "TC012 >= 'say \"hi\"'"},
        {"dollar signs", "--customer-order", "$$COPTC..$$COPTC", "TC012 BETWEEN '$$COPTC' AND '$$COPTC'"},
        {"customer chinese", "--customer", "客户01..", "TC004 >= '客户01'"},
        {"customer umlauts", "--customer", "..ÄÖÜ", "TC004 <= 'ÄÖÜ'"},
        {"customer quote", "--customer", "'..'", "TC004 BETWEEN '''' AND ''''"},
        {"order key", "--order", "2201-20240100001..2201-20240100001",
         "(TC001 + TC002) BETWEEN '220120240100001' AND '220120240100001'"},
        // The order key's mask fills the type to 4 and the number to 11 with
        // blanks, as typing does; the comparison ignores trailing blanks.
        {"order key chinese", "--order", "订单-单号..", "(TC001 + TC002) >= '订单  单号         ')"},
        {"order key quote", "--order", "..A'B-1'2", "(TC001 + TC002) <= 'A''B 1''2        ')"},
        {"order date", "--order-date", "2024/01/01..2024/01/31", "TC003 BETWEEN '20240101' AND '20240131'"},
        {"delivery date", "--delivery-date", "..2024/02/01", "TD013 <= '20240201'"},
        {"project chinese", "--project", "项目甲", "TC077 = '项目甲'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        EXPECT_EQ(Run(c.option + " " + Quoted(c.value), out), 0) << demo->LastErrors();
        std::string sql = OrderListSql(*demo);
        EXPECT_THAT(sql, HasSubstr(c.sql));
    }
}

// The values stored above are found by exactly their text.
TEST_F(BatchConditions, stored_text_is_found_by_its_exact_condition) {
    std::string out;
    ASSERT_EQ(Run("--customer-order '客户订单甲..客户订单甲'", out), 0) << demo->LastErrors();
    EXPECT_THAT(out, HasSubstr("\n2201\t20240100001\t0001\t"));
    EXPECT_THAT(out, Not(HasSubstr("\n2201\t20240100002\t")));
    ASSERT_EQ(Run("--customer-order '$$COPTC..$$COPTC'", out), 0) << demo->LastErrors();
    EXPECT_THAT(out, HasSubstr("\n2201\t20240100002\t"));
    EXPECT_THAT(out, Not(HasSubstr("\n2201\t20240100001\t")));
}

TEST_F(BatchConditions, control_characters_and_texts_an_edit_cannot_take_are_refused) {
    std::string tooLong;
    for (int i = 0; i < 21; ++i) tooLong += "单";
    struct Case {
        const char* name;
        std::string options;
        const char* message;
    };
    for (const Case& c : std::vector<Case>{
             {"tab", "--customer-order " + Quoted("ab\tcd.."), "control character U+0009"},
             {"line break", "--project " + Quoted("a\nb"), "control character U+000A"},
             {"backspace", "--customer " + Quoted("ab\bc.."), "control character U+0008"},
             {"delete", "--customer-order " + Quoted("a\x7f.."), "control character U+007F"},
             {"next line (C1)", "--customer-order " + Quoted("a\xC2\x85.."), "control character U+0085"},
             {"invalid UTF-8", "--customer-order " + Quoted("\xB0\xA1.."), "not valid UTF-8"},
             {"longer than the edit", "--customer-order " + Quoted(tooLong + ".."), "longer than the 20 characters"},
             {"customer longer than 10", "--customer " + Quoted("ABCDEFGHIJK.."), "longer than the 10 characters"},
             {"order type longer than 4", "--order " + Quoted("22011-1.."), "does not fit an order key"},
             {"order number longer than 11", "--order " + Quoted("..2201-202401000011"), "does not fit an order key"},
             {"unwritable trace", "--trace-sql /nonexistent-folder/trace.txt", "--trace-sql"},
         }) {
        SCOPED_TRACE(c.name);
        std::string out;
        EXPECT_EQ(demo->Run("ortk41 " + c.options, out), 2);
        EXPECT_EQ(out, "");
        EXPECT_THAT(demo->LastErrors(), HasSubstr(c.message)) << demo->LastErrors();
    }
}

// A project that does not exist is refused by the window's own check: the
// run fails instead of listing without it.
TEST_F(BatchConditions, a_condition_the_window_refuses_fails_the_run) {
    std::string out;
    EXPECT_EQ(Run("--project 不存在的项目", out), 1);
    EXPECT_EQ(out, "");
    EXPECT_THAT(demo->LastErrors(), HasSubstr("the conditions")) << demo->LastErrors();
}

// ---- start-up and listings that fail ----

TEST(BatchFailures, sign_on_failures_name_their_cause_and_exit_1) {
    struct Case {
        const char* name;
        std::function<void(shelltest::BatchInstallation&)> setUp;
        std::string options;
        const char* message;
    };
    const std::string longName(300, 'D');
    for (const Case& c : std::vector<Case>{
             {"300-character database name", [](auto&) {}, "--database " + longName, "File name too long"},
             {"data folder is a file",
              [](shelltest::BatchInstallation& d) {
                  d.SetDatabaseSetting("DatabaseType=SQLITE\nDatabaseName=PRTest65\nServerName=Data/PRTest65.db\n");
              },
              "", "cannot be"},
             {"100 KB server name",
              [](shelltest::BatchInstallation& d) {
                  d.SetDatabaseSetting("DatabaseType=SQLITE\nDatabaseName=PRTest65\nServerName=" +
                                       std::string(100000, 'x') + "\n");
              },
              "", "cannot be"},
             {"missing USERS table", [](shelltest::BatchInstallation& d) { d.WriteDatabase("DROP TABLE USERS"); }, "",
              "users of database \"PRTest65\" cannot be read"},
         }) {
        SCOPED_TRACE(c.name);
        shelltest::BatchInstallation demo;
        c.setUp(demo);
        std::string out;
        EXPECT_EQ(demo.Run("ortk41 " + c.options, out), 1);
        EXPECT_EQ(out, "");
        EXPECT_THAT(demo.LastErrors(), HasSubstr(c.message)) << demo.LastErrors().substr(0, 2000);
    }
}

// Unreadable for an ordinary user; root reads every folder, so the case
// only means something when the tests do not run as root.
TEST(BatchFailures, unreadable_data_folder_ends_the_run_with_exit_1) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: a folder without permissions is still readable";
    shelltest::BatchInstallation demo;
    std::string data = demo.Folder() + "server/Data";
    ASSERT_EQ(chmod(data.c_str(), 0), 0);
    std::string out;
    EXPECT_EQ(demo.Run("ortk41", out), 1);
    chmod(data.c_str(), 0755);
    EXPECT_THAT(demo.LastErrors(), HasSubstr("cannot be")) << demo.LastErrors();
}

TEST(BatchFailures, a_failed_listing_fails_the_run_and_says_which) {
    struct Case {
        const char* name;
        const char* drop;
        std::string options;
        const char* listing;
    };
    for (const Case& c : std::vector<Case>{
             {"dropped COPTG, every tree", "DROP TABLE COPTG", "--order 2201-20240100001..2201-20240100001 --tree all",
              "the tree of row 1 failed"},
             {"dropped MOCTA", "DROP TABLE MOCTA", "--order 2201-20240100001..2201-20240100001 --tree 1",
              "the tree of row 1 failed"},
             {"dropped customers of the list", "DROP TABLE COPMA", "", "the order list failed"},
         }) {
        SCOPED_TRACE(c.name);
        shelltest::BatchInstallation demo;
        demo.WriteDatabase(c.drop);
        std::string out;
        EXPECT_EQ(demo.Run("ortk41 " + c.options, out), 1);
        EXPECT_EQ(out, "");
        EXPECT_THAT(demo.LastErrors(), HasSubstr(c.listing)) << demo.LastErrors();
        if (c.options.find("--tree") != std::string::npos)   // the window's own message about the tree
            EXPECT_THAT(demo.LastErrors(), HasSubstr("message: ")) << demo.LastErrors();
    }
}

// ---- outputs ----

TEST(BatchOutput, values_cannot_forge_rows_and_json_stays_utf8) {
    shelltest::BatchInstallation demo;
    // A product name with a tab, a line break and a backslash; a customer
    // name in GBK bytes; an item description with a byte that decodes in no code page.
    demo.WriteDatabase("UPDATE COPTD SET TD005 = 'A' || char(9) || 'B' || char(10) || 'C\\D' "
                       "WHERE TD001 = '2201' AND TD002 = '20240100001' AND TD003 = '0001';"
                       "UPDATE COPMA SET MA002 = CAST(X'BFCDBBA7' AS TEXT) "
                       "WHERE MA001 = (SELECT TC004 FROM COPTC WHERE TC001 = '2201' AND TC002 = '20240100001');"
                       "UPDATE COPTD SET TD006 = CAST(X'41FF42' AS TEXT) "
                       "WHERE TD001 = '2201' AND TD002 = '20240100001' AND TD003 = '0002';");
    std::string out;
    ASSERT_EQ(demo.Run("ortk41 --order 2201-20240100001..2201-20240100001 --tree 1", out), 0) << demo.LastErrors();
    EXPECT_THAT(out, HasSubstr("\t0001\tSC-M6-20\tA\\tB\\nC\\\\D\t"));
    EXPECT_THAT(out, Not(HasSubstr("\nB")));   // no row of its own
    EXPECT_THAT(out, HasSubstr("客户"));   // the GBK name, read as GB
    EXPECT_THAT(out, HasSubstr("A\xEF\xBF\xBD" "B"));
    EXPECT_TRUE(plat::IsValidUtf8(out));

    ASSERT_EQ(demo.Run("ortk41 --order 2201-20240100001..2201-20240100001 --tree 1 --json", out), 0);
    EXPECT_TRUE(plat::IsValidUtf8(out));
    EXPECT_THAT(out, HasSubstr("\"A\\tB\\nC\\\\D\""));
}

TEST(BatchOutput, json_of_broken_bytes_is_valid_utf8) {
    shell::BatchResult r;
    r.Grid = {{"head"}, {std::string("\xB0") + "0A", std::string("\xC3"), "ok"}};
    std::string json = shell::FormatJson(r);
    EXPECT_TRUE(plat::IsValidUtf8(json)) << json;
    EXPECT_THAT(json, HasSubstr("\"\xEF\xBF\xBD" "0A\""));
    std::string text = shell::FormatText(r);
    EXPECT_TRUE(plat::IsValidUtf8(text)) << text;
}

// ---- language packages ----

// The folder the user starts from holds a broken package named after the
// window; the installation has no package folder. The window starts with
// its own texts.
TEST(BatchPackages, a_package_in_the_working_directory_is_never_read) {
    shelltest::BatchInstallation demo;
    std::filesystem::create_directories(demo.Folder() + "cwd");
    for (const char* name : {"TfrmORTK41.Lng", "TfrmBase.Lng", "TfrmKvQuery.Lng"})
        std::ofstream(demo.Folder() + "cwd/" + name) << "<not a package";
    std::string out;
    std::string command = "cd " + demo.Folder() + "cwd && ";
    // Run from that folder: BatchInstallation::Run takes the arguments after the program name.
    FILE* pipe = popen((command + "ORTK_REGISTRY_FILE=" + demo.Folder() + "registry.reg QT_QPA_PLATFORM=offscreen " +
                        ORTK_BIN_DIR + "/tamber-workcenter ortk41 --order 2201-20240100001..2201-20240100001 2>/dev/null")
                           .c_str(),
                       "r");
    ASSERT_TRUE(pipe);
    char buffer[4096];
    out.clear();
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_EQ(out.substr(0, out.find('\n')), "订单单别\t单号\t序号\t品号\t品名\t规格") << out;
}
