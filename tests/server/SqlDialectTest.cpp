// Translation of SQL Server text: what must reach SQLite untouched (quoted
// texts, comments, numeric arithmetic) and what must not (the dialect's own
// forms), and the forms that are refused rather than guessed at.
#include <gtest/gtest.h>

#include "SqlDialect.h"
#include "SqlError.h"

using server::ColumnCatalogue;
using server::SqlDialect;
using server::ValueKind;

namespace {

SqlDialect Dialect() {
    ColumnCatalogue catalogue;
    catalogue.Add("COPTC", "TC001", ValueKind::Text);
    catalogue.Add("COPTC", "TC002", ValueKind::Text);
    catalogue.Add("COPTD", "TD008", ValueKind::Number);
    catalogue.Add("COPTD", "TD009", ValueKind::Number);
    catalogue.Add("MOCTA", "TA003", ValueKind::Text);   // a date in one table ...
    catalogue.Add("SFCTA", "TA010", ValueKind::Number);  // ... a quantity column in another
    return SqlDialect(catalogue);
}

std::string T(const std::string& sql) { return Dialect().Translate(sql); }

TEST(SqlDialect, QuotedTextsAndCommentsAreNotRewritten) {
    EXPECT_EQ(T("SELECT 'a + b $$X TOP 1' FROM COPTC"), "SELECT 'a + b $$X TOP 1' FROM COPTC");
    EXPECT_EQ(T("SELECT 'it''s' FROM COPTC"), "SELECT 'it''s' FROM COPTC");
    EXPECT_EQ(T("SELECT TC001 -- + TC002\nFROM COPTC"), "SELECT TC001  \nFROM COPTC");
}

TEST(SqlDialect, DollarsBeforeTableNamesDisappear) {
    EXPECT_EQ(T("SELECT * FROM $$COPTC COPTC INNER JOIN $$COPTD ON 1=1"),
              "SELECT * FROM COPTC COPTC INNER JOIN COPTD ON 1=1");
    EXPECT_THROW(T("SELECT * FROM $$ COPTC"), server::SqlError);
}

TEST(SqlDialect, PlusConcatenatesTextsButAddsNumbers) {
    EXPECT_EQ(T("SELECT TC001 + TC002 FROM COPTC"), "SELECT (TC001 || TC002) COLLATE RTRIM FROM COPTC");
    EXPECT_EQ(T("SELECT TD008 + TD009 FROM COPTD"), "SELECT TD008 + TD009 FROM COPTD");
    EXPECT_EQ(T("SELECT TD008 * 2 + 1 FROM COPTD"), "SELECT TD008 * 2 + 1 FROM COPTD");
    // a text and a number: SQL Server converts the text, so it stays an addition
    EXPECT_EQ(T("SELECT TD008 + '1' FROM COPTD"), "SELECT TD008 + '1' FROM COPTD");
}

TEST(SqlDialect, ColumnKindsFollowTheTablesOfTheStatement) {
    EXPECT_EQ(T("SELECT TA003 + 'x' FROM MOCTA"), "SELECT (TA003 || 'x') COLLATE RTRIM FROM MOCTA");
    EXPECT_EQ(T("SELECT M.TA003 + 'x' FROM MOCTA M"), "SELECT (M.TA003 || 'x') COLLATE RTRIM FROM MOCTA M");
    EXPECT_EQ(T("SELECT TA010 + 1 FROM SFCTA"), "SELECT TA010 + 1 FROM SFCTA");
}

TEST(SqlDialect, GroupsAndStringFunctionsAreTexts) {
    EXPECT_EQ(T("SELECT (TC001 + TC002) + '-' FROM COPTC"),
              "SELECT (((TC001 || TC002) COLLATE RTRIM) || '-') COLLATE RTRIM FROM COPTC");
    EXPECT_EQ(T("SELECT RTRIM(TC001) + '/' FROM COPTC"), "SELECT (RTRIM(TC001) || '/') COLLATE RTRIM FROM COPTC");
    EXPECT_EQ(T("SELECT ISNULL(TC001, '') + 'x' FROM COPTC"),
              "SELECT (IFNULL(TC001, '') || 'x') COLLATE RTRIM FROM COPTC");
}

TEST(SqlDialect, TopBecomesLimitOfItsOwnSelect) {
    EXPECT_EQ(T("select top 1 TC001 from COPTC order by TC001"), "select   TC001 from COPTC order by TC001 LIMIT 1");
    EXPECT_EQ(T("SELECT TOP (5) TC001 FROM COPTC;"), "SELECT   TC001 FROM COPTC LIMIT 5;");
    EXPECT_EQ(T("SELECT * FROM COPTC WHERE TC001 IN (SELECT TOP 2 TC001 FROM COPTC) ORDER BY 1"),
              "SELECT * FROM COPTC WHERE TC001 IN (SELECT   TC001 FROM COPTC LIMIT 2 ) ORDER BY 1");
}

TEST(SqlDialect, TopFormsWithoutSQLiteMeaningAreRefused) {
    EXPECT_THROW(T("SELECT TOP 10 PERCENT TC001 FROM COPTC"), server::SqlError);
    EXPECT_THROW(T("SELECT TOP 1 WITH TIES TC001 FROM COPTC ORDER BY TC001"), server::SqlError);
    EXPECT_THROW(T("SELECT TOP 1 TC001 FROM COPTC UNION SELECT TC002 FROM COPTC"), server::SqlError);
    EXPECT_THROW(T("SELECT TOP x TC001 FROM COPTC"), server::SqlError);
}

TEST(SqlDialect, UnicodeLiteralsHintsAndLeftRight) {
    EXPECT_EQ(T("SELECT N'华东' FROM COPTC"), "SELECT '华东' FROM COPTC");
    EXPECT_EQ(T("SELECT TC001 FROM COPTC WITH (NOLOCK) WHERE 1=1"), "SELECT TC001 FROM COPTC   WHERE 1=1");
    EXPECT_EQ(T("SELECT LEFT(TC002, 4) FROM COPTC"), "SELECT SS_LEFT(TC002, 4) FROM COPTC");
    EXPECT_EQ(T("SELECT * FROM COPTC LEFT JOIN COPTD ON 1=1"), "SELECT * FROM COPTC LEFT JOIN COPTD ON 1=1");
}

TEST(SqlDialect, MalformedTextIsAnError) {
    EXPECT_THROW(T("SELECT 'open FROM COPTC"), server::SqlError);
    EXPECT_THROW(T("SELECT (1 FROM COPTC"), server::SqlError);
    EXPECT_THROW(T("SELECT 1) FROM COPTC"), server::SqlError);
    EXPECT_THROW(T("SELECT 1 /* open"), server::SqlError);
}

TEST(SqlDialect, DeclaredTypesGiveKinds) {
    EXPECT_EQ(ColumnCatalogue::KindOfDeclaredType("CHAR(4)"), ValueKind::Text);
    EXPECT_EQ(ColumnCatalogue::KindOfDeclaredType("NVARCHAR(60)"), ValueKind::Text);
    EXPECT_EQ(ColumnCatalogue::KindOfDeclaredType("NUMERIC(16,3)"), ValueKind::Number);
    EXPECT_EQ(ColumnCatalogue::KindOfDeclaredType("INTEGER"), ValueKind::Number);
    EXPECT_EQ(ColumnCatalogue::KindOfDeclaredType(""), ValueKind::Unknown);
}

}  // namespace

namespace {

std::string Pg(const std::string& sql) {
    ColumnCatalogue catalogue;
    catalogue.Add("COPTC", "TC001", ValueKind::Text);
    catalogue.Add("COPTC", "TC002", ValueKind::Text);
    catalogue.Add("COPTD", "TD008", ValueKind::Number);
    return SqlDialect(catalogue, server::SqlTarget::PostgreSQL).Translate(sql);
}

TEST(SqlDialect, LimitClosingTheStatementStaysOutsideAConcatenation) {
    EXPECT_EQ(T("SELECT TOP 1 TC001 FROM COPTC ORDER BY TC001 + TC002"),
              "SELECT   TC001 FROM COPTC ORDER BY (TC001 || TC002) COLLATE RTRIM LIMIT 1");
    EXPECT_EQ(Pg("SELECT TOP 1 TC001 FROM COPTC ORDER BY TC001 + TC002"),
              "SELECT   TC001 FROM COPTC ORDER BY CAST(textin(bpcharout(TC001)) || textin(bpcharout(TC002)) AS bpchar) "
              "COLLATE \"C\" LIMIT 1");
}

TEST(SqlDialectPostgres, ConcatenationReadsOperandsWithTheirBlanks) {
    EXPECT_EQ(Pg("SELECT TC001 + '-' + TC002 FROM $$COPTC"),
              "SELECT CAST(textin(bpcharout(TC001)) || '-' || textin(bpcharout(TC002)) AS bpchar) COLLATE \"C\" FROM COPTC");
    EXPECT_EQ(Pg("SELECT TD008 + 1 FROM COPTD"), "SELECT TD008 + 1 FROM COPTD");
    // the schema's index on the order key is the same expression
    EXPECT_EQ(server::PostgresConcatenation({"TC001", "TC002"}),
              "CAST(textin(bpcharout(TC001)) || textin(bpcharout(TC002)) AS bpchar) COLLATE \"C\"");
}

TEST(SqlDialectPostgres, FunctionsWithoutAPostgresNameAndNestedChains) {
    EXPECT_EQ(Pg("SELECT ISNULL(TC001, '') FROM COPTC"), "SELECT COALESCE(TC001, '') FROM COPTC");
    EXPECT_EQ(Pg("SELECT LEFT(TC001 + TC002, 5) FROM COPTC"),
              "SELECT left(textin(bpcharout(CAST(textin(bpcharout(TC001)) || textin(bpcharout(TC002)) AS bpchar) "
              "COLLATE \"C\")), 5) FROM COPTC");
    EXPECT_EQ(Pg("SELECT LEN(TC002) FROM COPTC"), "SELECT length(CAST((TC002) AS bpchar)) FROM COPTC");
    EXPECT_EQ(Pg("SELECT CHARINDEX('1', TC002) FROM COPTC"), "SELECT position('1' IN  TC002) FROM COPTC");
    EXPECT_THROW(Pg("SELECT LEFT(TC002) FROM COPTC"), server::SqlError);
}

TEST(SqlDialectPostgres, QuotedNamesBecomePlainNames) {
    EXPECT_EQ(Pg("SELECT [TC001], \"TC002\" FROM [COPTC]"), "SELECT TC001, TC002 FROM COPTC");
    EXPECT_EQ(Pg("SELECT TC001 AS [Order No] FROM COPTC"), "SELECT TC001 AS \"order no\" FROM COPTC");
}

TEST(SqlDialect, InspectFindsTheFirstKeywordAndFurtherStatements) {
    EXPECT_EQ(server::Inspect("  (select 1)").firstKeyword, "SELECT");
    EXPECT_EQ(server::Inspect("/* x */ delete from COPTC").firstKeyword, "DELETE");
    EXPECT_FALSE(server::Inspect("SELECT 1 ; ;").severalStatements);
    EXPECT_TRUE(server::Inspect("SELECT 1; DELETE FROM COPTC").severalStatements);
    EXPECT_FALSE(server::Inspect("SELECT ';DELETE'").severalStatements);
    EXPECT_EQ(server::Inspect("'text'").firstKeyword, "");
}


// ---------------------------------------------------- literals as parameters

std::vector<std::string> Values(const server::ParameterisedStatement& s) {
    std::vector<std::string> values;
    for (const server::SqlParameter& p : s.parameters)
        values.push_back((p.kind == server::SqlParameter::Kind::Integer ? "#" : "") + p.text);
    return values;
}

TEST(SqlParameters, ConditionLiteralsBecomeStandInsOfTheirKind) {
    auto s = server::Parameterise(" Select TB001 FROM $$ACRTB WHERE TB012='Y' AND Rtrim(TB005)='it''s' AND "
                                  "TB007 IN ('0001', '') AND TD016 = 7 AND (TC001 + TC002) BETWEEN 'a' AND 'b' "
                                  "AND TC004 LIKE 'C%' Order by 1 ");
    EXPECT_EQ(s.shape, " Select TB001 FROM $$ACRTB WHERE TB012='?' AND Rtrim(TB005)='?' AND TB007 IN ('?', '?') AND "
                       "TD016 = 0 AND (TC001 + TC002) BETWEEN '?' AND '?' AND TC004 LIKE '?' Order by 1 ");
    EXPECT_EQ(Values(s), (std::vector<std::string>{"Y", "it's", "0001", "", "#7", "a", "b", "C%"}));
    // two statements that differ only in their keys share a shape
    EXPECT_EQ(server::Parameterise("SELECT TC001 FROM COPTC WHERE TC002 = '124'").shape,
              server::Parameterise("SELECT TC001 FROM COPTC WHERE TC002 = '9'").shape);
}

// Where a literal can name a result column, be a column's position, limit
// the answer or must match a select expression, it stays in the text; so do
// numbers that are not small whole numbers and literals in odd places.
TEST(SqlParameters, LiteralsOutsideConditionsStayInTheText) {
    for (const char* sql :
         {"SELECT 'x' AS K, TC001 + '-' FROM COPTC", "SELECT TOP 5 TC001 FROM COPTC ORDER BY 1, 'a'",
          "SELECT (SELECT MAX(TD003) FROM COPTD WHERE TD001 = 'a') FROM COPTC",
          "SELECT COUNT(*) FROM COPTC GROUP BY CASE WHEN TC001 = 'a' THEN 1 END",
          "SELECT TC001 FROM COPTC WHERE TD008 = 1.5 OR TD008 = -1 OR TD008 = 99999999999 OR TD008 = 2147483648",
          "SELECT TC001 FROM COPTC WHERE TC004 LIKE N'%' ESCAPE '!' OR TC001 + 'x' = TC002"}) {
        auto s = server::Parameterise(sql);
        EXPECT_EQ(s.shape, sql);
        EXPECT_TRUE(s.parameters.empty()) << sql;
    }
}

TEST(SqlParameters, ShapesTranslateWithMarkersAndKeepTextOperandsConcatenating) {
    auto shape = server::Parameterise("SELECT TC001 FROM $$COPTC WHERE TC001 = 'x' + TC002 AND TD008 >= 3").shape;
    EXPECT_EQ(Dialect().TranslateShape(shape),
              "SELECT TC001 FROM COPTC WHERE TC001 = (?1 || TC002) COLLATE RTRIM AND TD008 >= ?2");
    EXPECT_EQ(SqlDialect(Dialect().Catalogue(), server::SqlTarget::PostgreSQL).TranslateShape(shape),
              "SELECT TC001 FROM COPTC WHERE TC001 = CAST($1 || textin(bpcharout(TC002)) AS bpchar) COLLATE \"C\" "
              "AND TD008 >= $2");
}

}  // namespace
