// SimpleSQL on company databases built from the real schema, on SQLite and on
// PostgreSQL with the same expectations: SQL Server meaning of padded CHAR
// keys, concatenation, TOP and "$$"; the read-only guard; the answer's shape
// for both parameter shapes; UnitConvert; trace.
#include <gmock/gmock.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <tuple>

#include "ServerTestSupport.h"
#include "SqlError.h"

using ::testing::HasSubstr;

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

// The order heads and lines above in the company database PRTest65.
class Orders {
protected:
    void Open(Backend backend) {
        dbs_ = std::make_unique<TestDatabases>(backend);
        dbs_->CreateEmpty("PRTest65");
        dbs_->Write("PRTest65", kOrders);
        service_ = dbs_->Service();
    }
    void Close() {
        service_.reset();
        dbs_.reset();
    }
    Variant Run(const std::string& sql, const std::string& fields, const std::string& database = "PRTest65") {
        return service_->SimpleSql(Params(sql, fields), Context(database));
    }
    // The order heads as stored, read directly.
    std::vector<std::string> StoredHeads() {
        return dbs_->ReadDirect("PRTest65", "SELECT TC001, TC002, TC003, TC027 FROM COPTC ORDER BY TC001, TC002");
    }
    // Every row of the three tables written, read directly.
    std::vector<std::string> StoredRows() {
        std::vector<std::string> all = StoredHeads();
        for (const char* sql : {"SELECT TD001, TD002, TD003, TD004, TD008, TD010 FROM COPTD ORDER BY TD001, TD002, TD003",
                                "SELECT MA001, MA002 FROM COPMA ORDER BY MA001"})
            for (const std::string& row : dbs_->ReadDirect("PRTest65", sql)) all.push_back(row);
        return all;
    }

    std::unique_ptr<TestDatabases> dbs_;
    std::unique_ptr<SimpleSqlService> service_;
};

class SimpleSqlTest : public testing::TestWithParam<Backend>, protected Orders {
protected:
    using Orders::Run;
    void SetUp() override {
        ORTK_SKIP_WITHOUT(GetParam());
        Open(GetParam());
    }
    void TearDown() override { Close(); }
};

INSTANTIATE_TEST_SUITE_P(Backends, SimpleSqlTest, AllBackends(), BackendParamName);

// ---------------------------------------------------- trailing blanks and keys

TEST_P(SimpleSqlTest, PaddedValuesComeBackWithTheirBlanks) {
    Variant answer = Run("SELECT TC001, TC002 FROM $$COPTC WHERE TC003 = '20240107'", "TC001,TC002");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_EQ(answer[0][0].ToString(), "22  ");
    EXPECT_EQ(answer[0][1].ToString(), "7          ");
}

TEST_P(SimpleSqlTest, ComparisonIgnoresTrailingBlanksOnBothSides) {
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC002 = '123'", "TC002")), 1);
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC002 = '123    '", "TC002")), 1);
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC001 = '22'", "TC002")), 1);
    // leading blanks still count
    EXPECT_EQ(RowCount(Run("SELECT TC002 FROM $$COPTC WHERE TC002 = ' 123'", "TC002")), 0);
}

TEST_P(SimpleSqlTest, RightTrimmedKeysMatchTrimmedLiterals) {
    Variant answer = Run("SELECT TD003 FROM $$COPTD WHERE Rtrim(TD001)='2201' AND Rtrim(TD002)='123' "
                         "AND Rtrim(TD003) IN ('0002', '') ",
                         "TD003");
    EXPECT_EQ(Column(answer, 0), std::vector<std::string>{"0002"});
}

TEST_P(SimpleSqlTest, ConcatenatedKeyRangeComparesLikePaddedText) {
    // the order range condition of the order list: type and number together
    Variant answer = Run("SELECT TC002 FROM $$COPTC COPTC WHERE TC027='Y' AND ( (TC001 + TC002) BETWEEN "
                         "'2201123' AND '2201123        ') ",
                         "TC002");
    EXPECT_EQ(Column(answer, 0), std::vector<std::string>{"123        "});
    answer = Run("SELECT TC002 FROM $$COPTC WHERE (TC001 + TC002) >= '220120240100001' ORDER BY TC002", "TC002");
    EXPECT_EQ(Column(answer, 0), (std::vector<std::string>{"20240100001", "20240100002"}));
}

TEST_P(SimpleSqlTest, ConcatenatedKeyWithSeparatorEqualsFilledKeyText) {
    // the condition handed to a maintaining program: type filled to 4, "-", number filled to 11
    Variant answer = Run("SELECT TC002 FROM $$COPTC COPTC WHERE COPTC.TC001 + '-' + COPTC.TC002 ='2201-123        '",
                         "TC002");
    EXPECT_EQ(RowCount(answer), 1);
    answer = Run("SELECT TC002 FROM $$COPTC WHERE TC001 + '-' + TC002 = '22-7'", "TC002");
    EXPECT_EQ(RowCount(answer), 0) << "the type is padded before the separator";
    answer = Run("SELECT TC002 FROM $$COPTC WHERE TC001 + '-' + TC002 = '22  -7'", "TC002");
    EXPECT_EQ(RowCount(answer), 1);
}

TEST_P(SimpleSqlTest, PlusBetweenNumbersStillAdds) {
    Variant answer = Run("SELECT TD008 + 1 AS Q, TD008 + TD008 AS D FROM $$COPTD WHERE TD003='0002' AND TD002='123'",
                         "Q,D");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_DOUBLE_EQ(answer[0][0].ToDouble(), 3.5);
    EXPECT_DOUBLE_EQ(answer[0][1].ToDouble(), 5.0);
}

TEST_P(SimpleSqlTest, ConcatenationInTheSelectListKeepsThePadding) {
    Variant answer = Run("SELECT TC001 + '-' + TC002 AS K FROM $$COPTC WHERE TC003='20240105'", "K");
    EXPECT_EQ(Column(answer, 0), std::vector<std::string>{"2201-123        "});
}

// ---------------------------------------------------- TOP

TEST_P(SimpleSqlTest, TopLimitsTheRowsInOrder) {
    Variant answer = Run("select top 2 TC003 from $$COPTC COPTC order by TC003 desc", "TC003");
    EXPECT_EQ(Column(answer, 0), (std::vector<std::string>{"20240108", "20240107"}));
}

TEST_P(SimpleSqlTest, TopInsideASubqueryLimitsOnlyTheSubquery) {
    Variant answer = Run("SELECT TD003 FROM $$COPTD WHERE TD002 = (SELECT TOP 1 TC002 FROM $$COPTC ORDER BY TC003) "
                         "ORDER BY TD003",
                         "TD003");
    EXPECT_EQ(Column(answer, 0), (std::vector<std::string>{"0001", "0002"}));
}

// ---------------------------------------------------- "$$" and database choice

TEST_P(SimpleSqlTest, DollarsResolveToTheDatabaseOfTheContext) {
    dbs_->CreateEmpty("PRTest66");
    dbs_->Write("PRTest66",
          "INSERT INTO COPTC (TC001, TC002, TC003, TC027) VALUES ('2209', '66         ', '20250101', 'Y');");
    const std::string sql = "SELECT TC001 FROM $$COPTC ORDER BY TC001";
    EXPECT_EQ(Column(Run(sql, "TC001", "PRTest66"), 0), std::vector<std::string>{"2209"});
    EXPECT_EQ(RowCount(Run(sql, "TC001", "PRTest65")), 4);
    EXPECT_EQ(RowCount(Run(sql, "TC001", "prtest66")), 1) << "database names ignore case";
}

TEST_P(SimpleSqlTest, TableWithoutDollarsIsTheSameCompanyTable) {
    Variant with = Run("SELECT TC002 FROM $$COPTC ORDER BY TC002", "TC002");
    Variant without = Run("SELECT TC002 FROM COPTC ORDER BY TC002", "TC002");
    EXPECT_EQ(Column(with, 0), Column(without, 0));
}

TEST_P(SimpleSqlTest, FourElementShapeNamesTheDatabase) {
    dbs_->CreateEmpty("Other");
    dbs_->Write("Other", "INSERT INTO ADMMB (MB001, MB002, MB011) VALUES ('ORTK41', '订单追踪查询', 'Tracking');");
    Variant params = VarArrayOf({"SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='ORTK41'",
                                 "MB002,MB011,MB012,MB013", "Other", "N"});
    Variant answer = service_->SimpleSql(params, Context("PRTest65"));
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_EQ(answer[0][0].ToString(), "订单追踪查询");
    EXPECT_EQ(answer[0][1].ToString(), "Tracking");
    EXPECT_EQ(answer[0].Array().Count(), 4);
}

TEST_P(SimpleSqlTest, UnknownOrMalformedDatabaseNamesAreErrors) {
    EXPECT_THROW(Run("SELECT 1", "", "Nowhere"), server::SqlError);
    EXPECT_THROW(Run("SELECT 1", "", "../PRTest65"), server::SqlError);
    EXPECT_THROW(service_->SimpleSql(Params("SELECT 1", ""), VarArrayOf({"PRTest65", ""})), server::SqlError);
}

// ---------------------------------------------------- reading only

class RefusedStatementTest : public testing::TestWithParam<std::tuple<Backend, const char*>>, protected Orders {
protected:
    using Orders::Run;
    void SetUp() override {
        ORTK_SKIP_WITHOUT(std::get<0>(GetParam()));
        Open(std::get<0>(GetParam()));
    }
    void TearDown() override { Close(); }
};

TEST_P(RefusedStatementTest, IsRefusedAndChangesNothing) {
    std::vector<std::string> before = StoredRows();
    ASSERT_EQ(before.size(), 4u + 3u + 1u);
    EXPECT_THROW(Run(std::get<1>(GetParam()), ""), server::SqlError);
    EXPECT_THROW(Run(std::get<1>(GetParam()), ""), server::SqlError);   // asked again: refused again
    EXPECT_EQ(StoredRows(), before);
    EXPECT_FALSE(dbs_->TableExists("PRTest65", "X"));
    EXPECT_TRUE(dbs_->TableExists("PRTest65", "COPTC"));
    EXPECT_FALSE(std::filesystem::exists(dbs_->Folder() / "x.db"));
    // the connection still reads its own company database afterwards
    EXPECT_EQ(RowCount(Run("SELECT TC001 FROM $$COPTC", "TC001")), 4);
}

INSTANTIATE_TEST_SUITE_P(
    WritingStatements, RefusedStatementTest,
    testing::Combine(
        AllBackends(),
        testing::Values("UPDATE $$COPTC SET TC027 = 'N'", "DELETE FROM $$COPTC", "DROP TABLE $$COPTC",
                        "INSERT INTO $$COPTC (TC001, TC002, TC003) VALUES ('9', '9', '9')",
                        "ATTACH DATABASE 'x.db' AS X", "CREATE TABLE X (A int)", "PRAGMA journal_mode = DELETE",
                        "SELECT 1; DELETE FROM $$COPTC", "WITH d AS (SELECT 1) DELETE FROM $$COPTC",
                        "WITH d AS (DELETE FROM $$COPTC RETURNING TC001) SELECT count(*) FROM d",
                        "SELECT * INTO X FROM $$COPTC", "SELECT TC001 FROM $$COPTC FOR UPDATE",
                        "BEGIN", "COMMIT", "VACUUM", "ALTER TABLE $$COPTC ADD COLUMN X int",
                        "TRUNCATE $$COPTC", "SET search_path = public", "COPY $$COPTC TO STDOUT",
                        "UPDATE $$COPTD SET TD008 = 0", "DELETE FROM $$COPMA",
                        "INSERT INTO $$COPTD (TD001, TD002, TD003) VALUES ('9', '9', '9')",
                        "SELECT 1; UPDATE $$COPTD SET TD008 = 0", "select 1 ;\n delete from $$COPTD",
                        "SELECT TC001 FROM $$COPTC; INSERT INTO $$COPMA (MA001) VALUES ('X')",
                        "SELECT 1; COMMIT; DELETE FROM $$COPTD", "/* note */ DELETE FROM $$COPTD",
                        "WITH s AS (SELECT 1) UPDATE $$COPTD SET TD008 = TD008 + 1 RETURNING TD008",
                        "WITH d AS (DELETE FROM $$COPMA RETURNING MA001) SELECT MA001 FROM d")),
    [](const testing::TestParamInfo<std::tuple<Backend, const char*>>& info) {
        return std::string(BackendName(std::get<0>(info.param))) + "_" + std::to_string(info.index);
    });

TEST_P(SimpleSqlTest, RefusalIsTheRefusedKindOfError) {
    EXPECT_THROW(Run("DELETE FROM $$COPTD", ""), server::SqlRefused);
    EXPECT_THROW(Run("WITH d AS (SELECT 1) UPDATE $$COPTD SET TD004 = 'X'", ""), server::SqlRefused);
}

TEST_P(SimpleSqlTest, SettingsChangedByAStatementDoNotOutliveIt) {
    // a reading statement may call functions; nothing it sets is kept
    if (GetParam() == Backend::PostgreSQL) {
        Run("SELECT set_config('search_path', 'pg_catalog', false) AS S", "S");
        Run("SELECT set_config('default_transaction_read_only', 'off', false) AS S", "S");
        EXPECT_THROW(Run("WITH d AS (DELETE FROM $$COPTC RETURNING 1) SELECT count(*) FROM d", ""), server::SqlRefused);
    }
    EXPECT_EQ(RowCount(Run("SELECT TC001 FROM $$COPTC", "TC001")), 4);
    EXPECT_EQ(StoredHeads().size(), 4u);
}

// ---------------------------------------------------- the answer

TEST_P(SimpleSqlTest, NoRowsAnswersEmpty) {
    Variant answer = Run("SELECT TC001 FROM $$COPTC WHERE TC001 = 'none'", "TC001");
    EXPECT_TRUE(answer.IsEmpty());
}

TEST_P(SimpleSqlTest, RowsAreZeroBasedArraysInFieldListOrder) {
    Variant answer = Run(" SELECT TD001,TD002,TD003,TD004,TD008 FROM $$COPTD ORDER BY TD002, TD003 ",
                         "TD001,TD002,TD003,TD004,TD008 ");
    ASSERT_TRUE(plat::HasRows(answer));
    EXPECT_EQ(answer.Array().LowBound(), 0);
    EXPECT_EQ(answer.Array().HighBound(), 2);
    EXPECT_EQ(answer[0].Array().LowBound(), 0);
    EXPECT_EQ(answer[0].Array().Count(), 5);
    EXPECT_EQ(answer[1][3].ToString(), "BR-6204");
}

TEST_P(SimpleSqlTest, ValuesKeepTheirKinds) {
    Variant answer = Run("SELECT TD004, TD008, TD010 FROM $$COPTD WHERE TD003='0002'", "TD004,TD008,TD010");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_TRUE(answer[0][0].IsString());
    EXPECT_EQ(answer[0][1].Type(), plat::VarType::Double);
    EXPECT_DOUBLE_EQ(answer[0][1].ToDouble(), 2.5);
    answer = Run("SELECT TD008 FROM $$COPTD WHERE TD003='0001' AND TD002='123'", "TD008");
    EXPECT_TRUE(answer[0][0].IsNumeric());
    EXPECT_EQ(answer[0][0].ToInt(), 12);
}

TEST_P(SimpleSqlTest, MissingJoinPartnerIsNull) {
    Variant answer = Run("SELECT TC004, MA002 FROM $$COPTC LEFT JOIN $$COPMA ON MA001=TC004 WHERE TC003='20240107'",
                         "TC004,MA002");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_TRUE(answer[0][1].IsNull());
}

TEST_P(SimpleSqlTest, FieldListPicksColumnsByNameAndRepeats) {
    // a name given twice reads the column it names both times
    Variant answer = Run("SELECT TD003, TD010, TD004, TD010 FROM $$COPTD WHERE TD003='0001' AND TD002='123'",
                         "TD004,TD010,TD003,TD010");
    ASSERT_EQ(RowCount(answer), 1);
    std::vector<std::string> row;
    for (int i = 0; i < 4; ++i) row.push_back(answer[0][i].ToString());
    EXPECT_EQ(row, (std::vector<std::string>{"SC-M6-20", "PCS", "0001", "PCS"}));
}

TEST_P(SimpleSqlTest, BadParameterShapesAreErrors) {
    EXPECT_THROW(service_->SimpleSql(VarArrayOf({"SELECT 1"}), Context("PRTest65")), server::SqlError);
    EXPECT_THROW(service_->SimpleSql(Variant("SELECT 1"), Context("PRTest65")), server::SqlError);
    EXPECT_THROW(Run("SELECT TC001 FROM $$COPTC", "TC001,TC002"), server::SqlError) << "field not selected";
    EXPECT_THROW(Run("SELECT nothing FROM $$COPTC", "X"), server::SqlError);
}

TEST_P(SimpleSqlTest, CallDispatchesByMethodNameIgnoringCase) {
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
        if (IsSkipped()) return;
        dbs_->Write("PRTest65",
              "INSERT INTO INVMB (MB001, MB002, MB004) VALUES ('SC-M6-20', '六角螺丝', 'PCS'), ('SS-304', '钢板', 'KG');"
              "INSERT INTO INVMD (MD001, MD002, MD003, MD004, MD005) VALUES "
              "('', 'DZ', 12, 1, 'PCS'), ('SC-M6-20', 'BOX', 100, 1, ''), ('', 'T', 1000, 1, 'KG');");
    }
    double Convert(const char* item, Variant quantity, const char* from, const char* to) {
        Variant answer = service_->UnitConvert(VarArrayOf({item, quantity, from, to}), Context("PRTest65"));
        return answer[0].ToDouble();
    }
};

INSTANTIATE_TEST_SUITE_P(Backends, UnitConvertTest, AllBackends(), BackendParamName);

TEST_P(UnitConvertTest, ConvertsThroughTheStockUnit) {
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 1, "DZ", "PCS"), 12);
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 24, "PCS", "DZ"), 2);
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 1, "BOX", "DZ"), 8.333333) << "six decimals";
    EXPECT_DOUBLE_EQ(Convert("SS-304", 2.5, "T", "KG"), 2500);
}

TEST_P(UnitConvertTest, PaddedUnitsAndTextQuantitiesAreAccepted) {
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", Variant("3"), "DZ  ", "PCS "), 36);
    EXPECT_DOUBLE_EQ(Convert("SC-M6-20", 7, "PCS", "PCS"), 7);
}

TEST_P(UnitConvertTest, NoConversionIsAnErrorNotTheSameQuantity) {
    EXPECT_THROW(Convert("SS-304", 1, "DZ", "KG"), server::SqlError);
    EXPECT_THROW(Convert("UNKNOWN", 1, "DZ", "PCS"), server::SqlError);
    EXPECT_THROW(Convert("SC-M6-20", Variant("many"), "DZ", "PCS"), server::SqlError);
}

// ---------------------------------------------------- trace

TEST_P(SimpleSqlTest, TraceRecordsEveryCall) {
    std::filesystem::path trace = ScratchFolder(TestKey() + ".trace") / "trace.log";
    service_->SetTraceFile(trace);
    Run("SELECT TC001 FROM $$COPTC", "TC001");
    EXPECT_THROW(Run("DELETE FROM $$COPTC", ""), server::SqlError);
    service_->SetTraceFile({});
    std::ifstream in(trace);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_THAT(text.str(), HasSubstr("SimpleSQL\tPRTest65\trows=4\t")) << text.str();
    EXPECT_THAT(text.str(), HasSubstr("SELECT TC001 FROM $$COPTC"));
    EXPECT_THAT(text.str(), HasSubstr("error=statement refused"));
}

}  // namespace

// ---------------------------------------------------- one connection, several threads

// The SQLite connection runs without SQLite's own locking; the service must
// still answer callers on several threads at once, each with its own rows.
TEST_P(SimpleSqlTest, CallsFromSeveralThreadsEachGetTheirOwnAnswer) {
    const std::string lines = "SELECT TD003, TD004 FROM $$COPTD WHERE TD002 = '123' ORDER BY TD003";
    const std::string heads = "SELECT TC002, TC003 FROM $$COPTC WHERE TC027 = 'Y' ORDER BY TC003";
    std::atomic<int> wrong{0};
    auto run = [&](bool lineQuery) {
        for (int i = 0; i < 200; ++i) {
            Variant a = lineQuery ? Run(lines, "TD003,TD004") : Run(heads, "TC002,TC003");
            bool ok = lineQuery ? RowCount(a) == 2 && a[1][1].ToString() == "BR-6204"
                                : RowCount(a) == 3 && a[2][1].ToString() == "20240107";
            if (!ok) ++wrong;
        }
    };
    std::thread other(run, true);
    run(false);
    other.join();
    EXPECT_EQ(wrong.load(), 0);
}

// ---------------------------------------------------- statements kept prepared

// SQLite statements are kept prepared by their text: asked again, one reads
// afresh with its own parameters, also after an error and after more texts
// than are kept.
TEST_P(SimpleSqlTest, AStatementAskedAgainReadsAfreshWithItsOwnParameters) {
    auto* sqlite = dynamic_cast<server::SqliteDatabase*>(&service_->Database("PRTest65"));
    if (!sqlite) GTEST_SKIP() << "statements are kept prepared on SQLite only";
    const std::string byOrder = "SELECT TD003 FROM COPTD WHERE TD002 = ?1 ORDER BY TD003";
    EXPECT_EQ(sqlite->QueryNative(byOrder, {"123        "}).rows.size(), 2u);
    server::ResultTable other = sqlite->QueryNative(byOrder, {"20240100001"});
    ASSERT_EQ(other.rows.size(), 1u);
    EXPECT_EQ(other.rows[0][0].ToString(), "0001");
    EXPECT_EQ(sqlite->QueryNative(byOrder).rows.size(), 0u);   // no parameter: NULL, not the last one bound

    // A statement that fails while it runs is not kept half-read.
    const std::string failing = "SELECT CAST(TD003 AS INT) / (CASE WHEN TD003 = '0002' THEN abs(-9223372036854775807 - 1) ELSE 1 END) FROM COPTD";
    EXPECT_THROW(sqlite->QueryNative(failing), server::SqlError);
    EXPECT_THROW(sqlite->QueryNative(failing), server::SqlError);

    for (int i = 0; i < 70; ++i)
        EXPECT_EQ(sqlite->QueryNative("SELECT " + std::to_string(i) + " FROM COPTC").rows.size(), 4u);
    EXPECT_EQ(sqlite->QueryNative(byOrder, {"123        "}).rows.size(), 2u);
    Variant answer = Run("SELECT TC001, TC002 FROM $$COPTC WHERE TC003 = '20240107'", "TC001,TC002");
    answer = Run("SELECT TC001, TC002 FROM $$COPTC WHERE TC003 = '20240107'", "TC001,TC002");
    ASSERT_EQ(RowCount(answer), 1);
    EXPECT_EQ(answer[0][1].ToString(), "7          ");
}
