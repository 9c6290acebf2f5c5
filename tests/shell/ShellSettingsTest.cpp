// The host shell's choice of company database from the server settings
// (CorvaneS.ini, [DBE Setting]): SQLite folder or PostgreSQL server with
// user, encoded password and time-out; unusable settings named as a
// problem; the password tool; and, with the PostgreSQL test server, a
// settings change alone switching the shell to the shared database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include "ServerTestSupport.h"
#include "ShellSettings.h"
#include "SqlError.h"
#include "TempEnvironment.h"
#include "host/CorvaneIni.h"

using ::testing::HasSubstr;
using ::testing::Not;

using shell::LoadShellSettings;
using shell::ShellSettings;

namespace {

// An installation whose registry names <temp>/client/ and <temp>/server/;
// tests write the server settings.
class ShellSettingsTest : public testing::Test {
protected:
    ShellSettingsTest() {
        folder.Write("registry.reg", "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\n"
                                     "\"ClientPath\"=\"" + folder.Path() + "client/\"\n\"ServerPath\"=\"" +
                                         folder.Path() + "server/\"\n");
        folder.Write("client/CorvaneC.ini", "[CodePage]\nUICodePage=936\n");
    }
    ShellSettings Load(const std::string& dbeSetting) {
        folder.Write("server/CorvaneS.ini", "[DBE Setting]\n" + dbeSetting);
        return LoadShellSettings();
    }

    ortktest::TempFolder folder;
    ortktest::ScopedEnv registry{"ORTK_REGISTRY_FILE", folder.Path() + "registry.reg"};
    ortktest::ScopedEnv dataFolder{"ORTK_DATA_FOLDER", std::nullopt};
};

// Runs `command` with `input` on its standard input; answers the exit status
// and the first line it printed.
int RunWithInput(const std::string& command, const std::string& input, std::string& firstLine) {
    ortktest::TempFolder scratch;
    std::string in = scratch.Write("in.txt", input);
    FILE* pipe = popen((command + " < " + in).c_str(), "r");
    char buffer[4096];
    std::string out;
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    int status = pclose(pipe);
    firstLine = out.substr(0, out.find('\n'));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// ---------------------------------------------------- the PostgreSQL choice

TEST_F(ShellSettingsTest, PostgresChoiceWithEncodedPasswordIsReadWhole) {
    const std::string password = "p@ss 'w;=\\";
    ShellSettings s = Load("DatabaseType=PostgreSQL\nDatabaseName=PRTest65\nServerName=db.example:6543/erp\n"
                           "UserName=kv\nPassword=" + EncodePassword(password) + "\nTimeOut=7\n");
    EXPECT_EQ(s.Problem, "");
    EXPECT_EQ(s.DatabaseType, "POSTGRESQL");   // the type is matched without regard to case
    EXPECT_EQ(s.DefaultDatabase, "PRTest65");
    EXPECT_EQ(s.Postgres.host, "db.example");
    EXPECT_EQ(s.Postgres.port, 6543);
    EXPECT_EQ(s.Postgres.database, "erp");
    EXPECT_EQ(s.Postgres.user, "kv");
    EXPECT_EQ(s.Postgres.password, password);
    EXPECT_EQ(s.Postgres.connectTimeout, 7);
    EXPECT_EQ(s.DocumentFolder, folder.Path() + "server/Documents/");
    // the password reaches libpq whole, quotes and backslash escaped
    EXPECT_EQ(server::PostgresSettings::FromConnectionInfo(s.Postgres.ConnectionInfo()).password, password);
    EXPECT_THAT(shell::DatabaseSourceOf(s)->Describe(), Not(HasSubstr(password)));
}

TEST_F(ShellSettingsTest, ServerNameDefaultsPlainPasswordAndTimeOutFallback) {
    ShellSettings s = Load("DatabaseType=POSTGRESQL\nServerName=dbhost\nUserName=kv\nPassword=plain-secret\nTimeOut=0\n");
    EXPECT_EQ(s.Problem, "");
    EXPECT_EQ(s.Postgres.host, "dbhost");
    EXPECT_EQ(s.Postgres.port, 5432);
    EXPECT_EQ(s.Postgres.database, "tamber");
    EXPECT_EQ(s.Postgres.password, "plain-secret");   // plain-text entries keep working
    EXPECT_EQ(s.Postgres.connectTimeout, 30);
    EXPECT_EQ(Load("DatabaseType=POSTGRESQL\nServerName=dbhost\nTimeOut=-5\n").Postgres.connectTimeout, 30);
    EXPECT_EQ(Load("DatabaseType=POSTGRESQL\nServerName=dbhost\n").Postgres.connectTimeout, 30);
}

// "TimeOut" bounds every statement on either backend; the source the
// settings make hands the limit to every database it opens.
TEST_F(ShellSettingsTest, TimeOutIsTheStatementTimeLimitOfEitherBackend) {
    struct Case {
        const char* settings;
        int seconds;
    };
    for (const Case& c : {Case{"ServerName=Data\nTimeOut=7\n", 7}, Case{"ServerName=Data\nTimeOut=0\n", 30},
                          Case{"ServerName=Data\n", 30}, Case{"DatabaseType=POSTGRESQL\nServerName=db\nTimeOut=12\n", 12}}) {
        SCOPED_TRACE(c.settings);
        ShellSettings s = Load(c.settings);
        EXPECT_EQ(s.StatementTimeLimit, c.seconds);
        EXPECT_EQ(shell::DatabaseSourceOf(s)->TimeLimit(), std::chrono::seconds(c.seconds));
    }
}

TEST_F(ShellSettingsTest, SqliteIsTheDefaultAndReadsItsFolder) {
    ShellSettings s = Load("DatabaseName=PRTest65\nServerName=Data\n");
    EXPECT_EQ(s.Problem, "");
    EXPECT_EQ(s.DatabaseType, "SQLITE");
    EXPECT_EQ(s.DataFolder, folder.Path() + "server/Data/");
    // a damaged password is no concern of a SQLite installation, which uses none
    EXPECT_EQ(Load("DatabaseType=sqlite\nServerName=Data\nPassword=ENC1:%%%\n").Problem, "");
}

// ---------------------------------------------------- unusable settings

TEST_F(ShellSettingsTest, UnusableSettingsAreNamedAsTheProblem) {
    struct Case {
        const char* name;
        std::string dbeSetting;
        std::vector<std::string> mentions;   // what the problem text must name
    } cases[] = {
        {"unknown type", "DatabaseType=MSSQL\nServerName=db1\n", {"MSSQL", "not supported", "POSTGRESQL"}},
        {"no server", "DatabaseType=POSTGRESQL\nUserName=kv\n", {"ServerName", "host[:port][/database]"}},
        {"port not a number", "DatabaseType=POSTGRESQL\nServerName=db1:54x2/erp\n", {"\"db1:54x2/erp\""}},
        {"port out of range", "DatabaseType=POSTGRESQL\nServerName=db1:70000\n", {"\"db1:70000\""}},
        {"empty database", "DatabaseType=POSTGRESQL\nServerName=db1:5432/\n", {"\"db1:5432/\""}},
        {"undecodable password", "DatabaseType=POSTGRESQL\nServerName=db1\nPassword=ENC1:not base64!\n",
         {"damaged password", "ENC1:", "ortk-encode-password"}},
        {"no SQLite folder", "DatabaseType=SQLITE\n", {"ServerName", "CorvaneS.ini"}},
    };
    for (const Case& c : cases) {
        ShellSettings s = Load(c.dbeSetting);
        EXPECT_FALSE(s.Problem.empty()) << c.name;
        for (const std::string& word : c.mentions)
            EXPECT_THAT(s.Problem, HasSubstr(word)) << c.name << ": " << s.Problem;
    }
}

// ---------------------------------------------------- the password tool

TEST(EncodePasswordTool, PrintsWhatTheSettingsDecode) {
    const std::string tool = std::string(ORTK_BIN_DIR) + "/ortk-encode-password";
    ASSERT_TRUE(std::filesystem::exists(tool)) << tool << " is not built (the full build makes it)";
    std::string line;
    ASSERT_EQ(RunWithInput(tool, " sp ace;='\"\n", line), 0);
    EXPECT_EQ(line.rfind("ENC1:", 0), 0u) << line;
    EXPECT_EQ(DecodePassword(line), " sp ace;='\"");   // blanks and quotes kept, the line end dropped
    ASSERT_EQ(RunWithInput(tool, "crlf\r\n", line), 0);
    EXPECT_EQ(DecodePassword(line), "crlf");
    EXPECT_EQ(RunWithInput(tool + " 2>/dev/null", "", line), 2);   // no line at all is a usage error
}

// ---------------------------------------------------- on the test server

TEST_F(ShellSettingsTest, SettingsAloneSwitchTheShellToThePostgresDatabase) {
    if (servertest::TestServer().empty())
        GTEST_SKIP() << "ORTK_TEST_PG is not set: no PostgreSQL test server, PostgreSQL case skipped";
    servertest::TestDatabases pg(servertest::Backend::PostgreSQL);
    pg.CreateDemo("PRTest65");
    const server::PostgresSettings& at = pg.Server();
    std::string dbe = "DatabaseType=POSTGRESQL\nDatabaseName=PRTest65\nServerName=" + at.host + ":" +
                      std::to_string(at.port) + "/" + at.database + "\nUserName=" + at.user + "\nTimeOut=5\n";

    ShellSettings s = Load(dbe + "Password=" + EncodePassword(at.password) + "\n");
    ASSERT_EQ(s.Problem, "");
    server::SimpleSqlService sql(shell::DatabaseSourceOf(s));
    plat::Variant lines = sql.SimpleSql(servertest::Params("SELECT count(*) AS N FROM $$COPTD", "N"),
                                        servertest::Context(s.DefaultDatabase));
    EXPECT_EQ(lines[0][0].ToInt(), 15);   // the order lines of the showcase orders

    // a wrong password is refused by the server, and the message never shows it
    ShellSettings wrong = Load(dbe + "Password=" + EncodePassword("not-" + at.password) + "\n");
    ASSERT_EQ(wrong.Problem, "");
    try {
        shell::DatabaseSourceOf(wrong)->Open("PRTest65");
        ADD_FAILURE() << "signed on with a wrong password";
    } catch (const server::SqlError& e) {
        std::string message = e.what();
        EXPECT_THAT(message, HasSubstr("password authentication failed"));
        EXPECT_THAT(message, Not(HasSubstr("not-" + at.password)));
    }
}
