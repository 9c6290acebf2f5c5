// SimpleSQL on company databases built from the real schema: SQL Server
// meaning of padded CHAR keys, concatenation, TOP and "$$"; the read-only
// guard; the answer's shape for both parameter shapes; UnitConvert; trace.
#include <fstream>
#include <memory>
#include <sstream>

#include "ServerTestSupport.h"
#include "SqlError.h"

using namespace servertest;
using plat::Variant;
using plat::VarArrayOf;
using server::SimpleSqlService;

namespace {

// Two order heads with padded keys; values are written padded as the
// suite writes CHAR columns.
const char* kOrders =
    "INSERT INTO COPMA (MA001, MA002) VALUES ('C001', '华东电子');"
    "INSERT INTO COPTC (TC001, TC002, TC003, TC004, TC027) VALUES "
    "('2201', '123        ', '20240105', 'C001', 'Y'),"
    "('2201', '20240100001', '20240106', 'C001', 'Y'),"
    "('22  ', '7          ', '20240107', 'C002', 'Y'),"
    "('2201', '20240100002', '20240108', 'C001', 'N');"
    "INSERT INTO COPTD (TD001, TD002, TD003, TD004, TD008, TD010) VALUES "
    "('2201', '123        ', '0001', 'SC-M6-20', 12, 'PCS'),"
    "('2201', '123        ', '0002', 'BR-6204', 2.5, 'PCS'),"
    "('2201', '20240100001', '0001', 'MT-750', 1, 'SET');";

class SimpleSqlTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = ScratchFolder();
        server::CreateEmptyDatabase(folder_ / "PRTest65.db");
        Write(folder_ / "PRTest65.db", kOrders);
        service_ = std::make_unique<SimpleSqlService>(folder_);
    }
    Variant Run(const std::string& sql, const std::string& fields, const std::string& database = "PRTest65") {
        return service_->SimpleSql(Params(sql, fields), Context(database));
    }

    std::filesystem::path folder_;
    std::unique_ptr<SimpleSqlService> service_;
};

// ---------------------------------------------------- trailing blanks and keys

TEST_F(SimpleSqlTest, PaddedValuesComeBackWithTheirBlanks) {
    Variant answer = Run("SELECT TC001, TC002 FROM $$COPTC WHERE TC003 = '20240107'", "TC001,TC002");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_EQ(answer[0][0].ToString(), "22  ");
    EXPECT_EQ(answer[0][1].ToString(), "7          ");
}

TEST_F(SimpleSqlTest, ComparisonIgnoresTrailingBlanksOnBothSides) {
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC002 = '123'", "TC002")), 1);
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC002 = '123    '", "TC002")), 1);
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC001 = '22'", "TC002")), 1);
    // leading blanks still count
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC002 = ' 123'", "TC002")), 0);
}

TEST_F(SimpleSqlTest, RightTrimmedKeysMatchTrimmedLiterals) {
    Variant answer = Run("SELECT TD003 FROM $$COPTD WHERE Rtrim(TD001)='2201' AND Rtrim(TD002)='123' "
                         "AND Rtrim(TD003) IN ('0002', '') ",
                         "TD003");
    EXPECT_EQ(Column(answer, 0), std::vector<std::string>{"0002"});
}

TEST_F(SimpleSqlTest, ConcatenatedKeyRangeComparesLikePaddedText) {
    // the order range condition of the order list: type and number together
    Variant answer = Run("SELECT TC002 FROM $$COPTC COPTC WHERE TC027='Y' AND ( (TC001 + TC002) BETWEEN "
                         "'2201123' AND '2201123        ') ",
                         "TC002");
    EXPECT_EQ(Column(answer, 0), std::vector<std::string>{"123        "});
    answer = Run("SELECT TC002 FROM $$COPTC WHERE (TC001 + TC002) >= '220120240100001' ORDER BY TC002", "TC002");
    EXPECT_EQ(Column(answer, 0), (std::vector<std::string>{"20240100001", "20240100002"}));
}

TEST_F(SimpleSqlTest, ConcatenatedKeyWithSeparatorEqualsFilledKeyText) {
    // the condition handed to a maintaining program: type filled to 4, "-", number filled to 11
    Variant answer = Run("SELECT TC002 FROM $$COPTC COPTC WHERE COPTC.TC001 + '-' + COPTC.TC002 ='2201-123        '",
                         "TC002");
    EXPECT_EQ(RowCount(answer), 1);
    answer = Run("SELECT TC002 FROM $$COPTC WHERE TC001 + '-' + TC002 = '22-7'", "TC002");
    EXPECT_EQ(RowCount(answer), 0) << "the type is padded before the separator";
    answer = Run("SELECT TC002 FROM $$COPTC WHERE TC001 + '-' + TC002 = '22  -7'", "TC002");
    EXPECT_EQ(RowCount(answer), 1);
}

TEST_F(SimpleSqlTest, PlusBetweenNumbersStillAdds) {
    Variant answer = Run("SELECT TD008 + 1 AS Q, TD008 + TD008 AS D FROM $$COPTD WHERE TD003='0002' AND TD002='123'",
                         "Q,D");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_DOUBLE_EQ(answer[0][0].ToDouble(), 3.5);
    EXPECT_DOUBLE_EQ(answer[0][1].ToDouble(), 5.0);
}

TEST_F(SimpleSqlTest, ConcatenationInTheSelectListKeepsThePadding) {
    Variant answer = Run("SELECT TC001 + '-' + TC002 AS K FROM $$COPTC WHERE TC003='20240105'", "K");
    EXPECT_EQ(Column(answer, 0), std::vector<std::string>{"2201-123        "});
}

// ---------------------------------------------------- TOP

TEST_F(SimpleSqlTest, TopLimitsTheRowsInOrder) {
    Variant answer = Run("select top 2 TC003 from $$COPTC COPTC order by TC003 desc", "TC003");
    EXPECT_EQ(Column(answer, 0), (std::vector<std::string>{"20240108", "20240107"}));
}

TEST_F(SimpleSqlTest, TopInsideASubqueryLimitsOnlyTheSubquery) {
    Variant answer = Run("SELECT TD003 FROM $$COPTD WHERE TD002 = (SELECT TOP 1 TC002 FROM $$COPTC ORDER BY TC003) "
                         "ORDER BY TD003",
                         "TD003");
    EXPECT_EQ(Column(answer, 0), (std::vector<std::string>{"0001", "0002"}));
}

// ---------------------------------------------------- "$$" and database choice

TEST_F(SimpleSqlTest, DollarsResolveToTheDatabaseOfTheContext) {
    server::CreateEmptyDatabase(folder_ / "PRTest66.db");
    Write(folder_ / "PRTest66.db",
          "INSERT INTO COPTC (TC001, TC002, TC003, TC027) VALUES ('2209', '66         ', '20250101', 'Y');");
    const std::string sql = "SELECT TC001 FROM $$COPTC ORDER BY TC001";
    EXPECT_EQ(Column(Run(sql, "TC001", "PRTest66"), 0), std::vector<std::string>{"2209"});
    EXPECT_EQ(RowCount(Run(sql, "TC001", "PRTest65")), 4);
    EXPECT_EQ(RowCount(Run(sql, "TC001", "prtest66")), 1) << "database names ignore case";
}

TEST_F(SimpleSqlTest, TableWithoutDollarsIsTheSameCompanyTable) {
    Variant with = Run("SELECT TC002 FROM $$COPTC ORDER BY TC002", "TC002");
    Variant without = Run("SELECT TC002 FROM COPTC ORDER BY TC002", "TC002");
    EXPECT_EQ(Column(with, 0), Column(without, 0));
}

TEST_F(SimpleSqlTest, FourElementShapeNamesTheDatabase) {
    server::CreateEmptyDatabase(folder_ / "Other.db");
    Write(folder_ / "Other.db", "INSERT INTO ADMMB (MB001, MB002, MB011) VALUES ('ORTK41', '订单追踪查询', 'Tracking');");
    Variant params = VarArrayOf({"SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='ORTK41'",
                                 "MB002,MB011,MB012,MB013", "Other", "N"});
    Variant answer = service_->SimpleSql(params, Context("PRTest65"));
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_EQ(answer[0][0].ToString(), "订单追踪查询");
    EXPECT_EQ(answer[0][1].ToString(), "Tracking");
    EXPECT_EQ(answer[0].Array().Count(), 4);
}

TEST_F(SimpleSqlTest, UnknownOrMalformedDatabaseNamesAreErrors) {
    EXPECT_THROW(Run("SELECT 1", "", "Nowhere"), server::SqlError);
    EXPECT_THROW(Run("SELECT 1", "", "../PRTest65"), server::SqlError);
    EXPECT_THROW(service_->SimpleSql(Params("SELECT 1", ""), VarArrayOf({"PRTest65", ""})), server::SqlError);
}

// ---------------------------------------------------- reading only

class RefusedStatementTest : public SimpleSqlTest, public testing::WithParamInterface<const char*> {};

TEST_P(RefusedStatementTest, IsRefusedAndChangesNothing) {
    std::filesystem::path file = folder_ / "PRTest65.db";
    std::string before = ReadDirect(file, "SELECT count(*) || '/' || group_concat(TC002 || TC027) FROM COPTC");
    EXPECT_THROW(Run(GetParam(), ""), server::SqlError);
    EXPECT_EQ(ReadDirect(file, "SELECT count(*) || '/' || group_concat(TC002 || TC027) FROM COPTC"), before);
    EXPECT_EQ(ReadDirect(file, "SELECT count(*) FROM sqlite_schema WHERE name = 'X'"), "0");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "x.db"));
}

INSTANTIATE_TEST_SUITE_P(
    WritingStatements, RefusedStatementTest,
    testing::Values("UPDATE $$COPTC SET TC027 = 'N'", "DELETE FROM $$COPTC", "DROP TABLE $$COPTC",
                    "INSERT INTO $$COPTC (TC001, TC002, TC003) VALUES ('9', '9', '9')",
                    "ATTACH DATABASE 'x.db' AS X", "CREATE TABLE X (A)", "PRAGMA journal_mode = DELETE",
                    "SELECT 1; DELETE FROM $$COPTC", "WITH d AS (SELECT 1) DELETE FROM $$COPTC",
                    "BEGIN", "VACUUM", "ALTER TABLE $$COPTC ADD COLUMN X"));

TEST_F(SimpleSqlTest, RefusalIsTheRefusedKindOfError) {
    EXPECT_THROW(Run("DELETE FROM $$COPTD", ""), server::SqlRefused);
}

// ---------------------------------------------------- the answer

TEST_F(SimpleSqlTest, NoRowsAnswersEmpty) {
    Variant answer = Run("SELECT TC001 FROM $$COPTC WHERE TC001 = 'none'", "TC001");
    EXPECT_TRUE(answer.IsEmpty());
}

TEST_F(SimpleSqlTest, RowsAreZeroBasedArraysInFieldListOrder) {
    Variant answer = Run(" SELECT TD001,TD002,TD003,TD004,TD008 FROM $$COPTD ORDER BY TD002, TD003 ",
                         "TD001,TD002,TD003,TD004,TD008 ");
    ASSERT_TRUE(plat::HasRows(answer));
    EXPECT_EQ(answer.Array().LowBound(), 0);
    EXPECT_EQ(answer.Array().HighBound(), 2);
    EXPECT_EQ(answer[0].Array().LowBound(), 0);
    EXPECT_EQ(answer[0].Array().Count(), 5);
    EXPECT_EQ(answer[1][3].ToString(), "BR-6204");
}

TEST_F(SimpleSqlTest, ValuesKeepTheirKinds) {
    Variant answer = Run("SELECT TD004, TD008, TD010 FROM $$COPTD WHERE TD003='0002'", "TD004,TD008,TD010");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_TRUE(answer[0][0].IsString());
    EXPECT_EQ(answer[0][1].Type(), plat::VarType::Double);
    EXPECT_DOUBLE_EQ(answer[0][1].ToDouble(), 2.5);
    answer = Run("SELECT TD008 FROM $$COPTD WHERE TD003='0001' AND TD002='123'", "TD008");
    EXPECT_TRUE(answer[0][0].IsNumeric());
    EXPECT_EQ(answer[0][0].ToInt(), 12);
}

TEST_F(SimpleSqlTest, MissingJoinPartnerIsNull) {
    Variant answer = Run("SELECT TC004, MA002 FROM $$COPTC LEFT JOIN $$COPMA ON MA001=TC004 WHERE TC003='20240107'",
                         "TC004,MA002");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_TRUE(answer[0][1].IsNull());
}

TEST_F(SimpleSqlTest, FieldListPicksColumnsByNameAndRepeats) {
    // a name given twice reads the column it names both times
    Variant answer = Run("SELECT TD003, TD010, TD004, TD010 FROM $$COPTD WHERE TD003='0001' AND TD002='123'",
                         "TD004,TD010,TD003,TD010");
    ASSERT_EQ(RowCount(answer), 1);
    std::vector<std::string> row;
    for (int i = 0; i < 4; ++i) row.push_back(answer[0][i].ToString());
    EXPECT_EQ(row, (std::vector<std::string>{"SC-M6-20", "PCS", "0001", "PCS"}));
}

TEST_F(SimpleSqlTest, BadParameterShapesAreErrors) {
    EXPECT_THROW(service_->SimpleSql(VarArrayOf({"SELECT 1"}), Context("PRTest65")), server::SqlError);
    EXPECT_THROW(service_->SimpleSql(Variant("SELECT 1"), Context("PRTest65")), server::SqlError);
    EXPECT_THROW(Run("SELECT TC001 FROM $$COPTC", "TC001,TC002"), server::SqlError) << "field not selected";
    EXPECT_THROW(Run("SELECT nothing FROM $$COPTC", "X"), server::SqlError);
}

TEST_F(SimpleSqlTest, CallDispatchesByMethodNameIgnoringCase) {
    Variant params = Params("SELECT count(*) AS N FROM $$COPTC", "N");
    EXPECT_EQ(service_->Call("SimpleSql", params, Context("PRTest65"))[0][0].ToInt(), 4);
    EXPECT_EQ(service_->Call("SimpleSQL", params, Context("PRTest65"))[0][0].ToInt(), 4);
    EXPECT_THROW(service_->Call("DropAll", params, Context("PRTest65")), server::SqlError);
}

// ---------------------------------------------------- UnitConvert

class UnitConvertTest : public SimpleSqlTest {
protected:
    void SetUp() override {
        SimpleSqlTest::SetUp();
        Write(folder_ / "PRTest65.db",
              "INSERT INTO INVMB (MB001, MB002, MB004) VALUES ('SC-M6-20', '六角螺丝', 'PCS'), ('SS-304', '钢板', 'KG');"
              "INSERT INTO INVMD (MD001, MD002, MD003, MD004, MD005) VALUES "
              "('', 'DZ', 12, 1, 'PCS'), ('SC-M6-20', 'BOX', 100, 1, ''), ('', 'T', 1000, 1, 'KG');");
    }
    double Convert(const char* item, Variant quantity, const char* from, const char* to) {
        Variant answer = service_->UnitConvert(VarArrayOf({item, quantity, from, to}), Context("PRTest65"));
        return answer[0].ToDouble();
    }
};

TEST_F(UnitConvertTest, ConvertsThroughTheStockUnit) {
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 1, "DZ", "PCS"), 12);
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 24, "PCS", "DZ"), 2);
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 1, "BOX", "DZ"), 8.333333) << "six decimals";
    EXPECT_DOUBLE_EQ(Convert("SS-304", 2.5, "T", "KG"), 2500);
}

TEST_F(UnitConvertTest, PaddedUnitsAndTextQuantitiesAreAccepted) {
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", Variant("3"), "DZ  ", "PCS "), 36);
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 7, "PCS", "PCS"), 7);
}

TEST_F(UnitConvertTest, NoConversionIsAnErrorNotTheSameQuantity) {
    EXPECT_THROW(Convert("SS-304", 1, "DZ", "KG"), server::SqlError);
    EXPECT_THROW(Convert("UNKNOWN", 1, "DZ", "PCS"), server::SqlError);
    EXPECT_THROW(Convert("SC-M6-20", Variant("many"), "DZ", "PCS"), server::SqlError);
}

// ---------------------------------------------------- trace

TEST_F(SimpleSqlTest, TraceRecordsEveryCall) {
    std::filesystem::path trace = folder_ / "trace.log";
    service_->SetTraceFile(trace);
    Run("SELECT TC001 FROM $$COPTC", "TC001");
    EXPECT_THROW(Run("DELETE FROM $$COPTC", ""), server::SqlError);
    service_->SetTraceFile({});
    std::ifstream in(trace);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("SimpleSQL\tPRTest65\trows=4\t"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("SELECT TC001 FROM $$COPTC"), std::string::npos);
    EXPECT_NE(text.str().find("error=statement refused"), std::string::npos);
}

}  // namespace
