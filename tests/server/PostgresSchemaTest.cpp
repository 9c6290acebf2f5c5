// The PostgreSQL side that needs no server: the schema translated from the
// one schema file, and the server settings as the installation writes them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "DemoData.h"
#include "PostgresSchema.h"
#include "SqlDialect.h"
#include "SqlError.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

TEST(PostgresSchema, EveryTableAndIndexOfTheSchemaFileIsTranslated) {
    std::string source = server::SchemaSql();
    auto count = [&](const char* what) {
        std::regex re(what);
        return std::distance(std::sregex_iterator(source.begin(), source.end(), re), std::sregex_iterator());
    };
    server::PostgresDdl ddl = server::TranslateSchemaToPostgres(source);
    EXPECT_EQ(static_cast<long>(ddl.tables.size()), count("\\nCREATE TABLE "));
    EXPECT_EQ(static_cast<long>(ddl.indexes.size()), count("\\nCREATE INDEX "));
    // The schema's own rows (the data dictionary) go over as they stand.
    EXPECT_EQ(static_cast<long>(ddl.rows.size()), count("\\nINSERT INTO "));
    EXPECT_GE(ddl.rows.size(), 1u);
    for (const auto& statement : ddl.tables) {
        EXPECT_THAT(statement, Not(HasSubstr("RTRIM")));
        EXPECT_THAT(statement, Not(HasSubstr("VARCHAR")));
    }
    bool keyIndex = false;
    for (const auto& statement : ddl.indexes)
        if (statement.find("COPTC_KEY") != std::string::npos) {
            keyIndex = true;
            EXPECT_THAT(statement, HasSubstr(server::PostgresConcatenation({"TC001", "TC002"})));
        }
    EXPECT_TRUE(keyIndex);
}

TEST(PostgresSchema, PaddedAndVaryingTextsKeepTheirMeaning) {
    server::PostgresDdl ddl = server::TranslateSchemaToPostgres(
        "PRAGMA foreign_keys = OFF;\n"
        "-- a comment; with a semicolon\n"
        "CREATE TABLE T (A CHAR(4) COLLATE RTRIM NOT NULL DEFAULT '  ;-', B NVARCHAR(60) COLLATE RTRIM, "
        "C TEXT NOT NULL DEFAULT '', TEXT_GB INTEGER);");
    ASSERT_EQ(ddl.tables.size(), 1u);
    EXPECT_EQ(ddl.tables[0],
              "CREATE TABLE T (A char(4) COLLATE \"C\" NOT NULL DEFAULT '  ;-', B bpchar COLLATE \"C\", "
              "C text COLLATE \"C\" NOT NULL DEFAULT '', TEXT_GB INTEGER)");
}

TEST(PostgresSchema, ConstructsWithoutATranslationAreRefused) {
    EXPECT_THROW(server::TranslateSchemaToPostgres("CREATE VIEW V AS SELECT 1;"), server::SqlError);
    EXPECT_THROW(server::TranslateSchemaToPostgres("CREATE TABLE T (A CHAR(4) COLLATE RTRIM, K AS (A || A));"),
                 server::SqlError);
    EXPECT_THROW(server::TranslateSchemaToPostgres("CREATE INDEX I ON T (A || B);"), server::SqlError);
}

TEST(PostgresSettings, ServerNameGivesHostPortAndDatabase) {
    server::PostgresSettings s;
    ASSERT_TRUE(server::ParsePostgresServerName("db.local:6432/erp", s));
    EXPECT_EQ(s.host, "db.local");
    EXPECT_EQ(s.port, 6432);
    EXPECT_EQ(s.database, "erp");
    server::PostgresSettings defaults;
    ASSERT_TRUE(server::ParsePostgresServerName("10.0.0.5", defaults));
    EXPECT_EQ(defaults.host, "10.0.0.5");
    EXPECT_EQ(defaults.port, 5432);
    EXPECT_EQ(defaults.database, "tamber");
    for (const char* bad : {"", ":5432", "host:", "host:0", "host:65536", "host:54x", "host/", "/erp"}) {
        server::PostgresSettings ignored;
        EXPECT_FALSE(server::ParsePostgresServerName(bad, ignored)) << bad;
    }
}

TEST(PostgresSettings, ConnectionStringKeepsEveryCharacterOfThePassword) {
    server::PostgresSettings s;
    s.host = "127.0.0.1";
    s.port = 5433;
    s.database = "erp";
    s.user = "reader";
    s.password = "it's a \\secret= x";
    server::PostgresSettings back = server::PostgresSettings::FromConnectionInfo(s.ConnectionInfo());
    EXPECT_EQ(back.password, s.password);
    EXPECT_EQ(back.user, "reader");
    EXPECT_EQ(back.port, 5433);
    EXPECT_EQ(back.database, "erp");
    EXPECT_THAT(s.Address(), Not(HasSubstr("secret")));
    EXPECT_THROW(server::PostgresSettings::FromConnectionInfo("host='open"), server::SqlError);
}

}  // namespace
