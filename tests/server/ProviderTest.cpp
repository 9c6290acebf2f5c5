// Providers of the application server on the demo database: packets with
// typed field descriptions and continuing packets, the defaults of each
// provider, deltas written through the provider's own connection (padded
// keys, not-found changes, the error limit rolling everything back), the
// read-only rules that stay in force for SimpleSQL and "pvdQuery", and the
// sessions of programs that only query, which change no business table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "AppServer.h"
#include "ClassRegistry.h"
#include "DataPacket.h"
#include "Dispatch.h"
#include "DemoData.h"
#include "Provider.h"
#include "ServerTestSupport.h"
#include "SimpleSql.h"
#include "SqlError.h"

using ::testing::HasSubstr;

using plat::Variant;
using plat::VarArrayOf;
using plat::packet::FieldDesc;

namespace {

// One value read straight from the file, bypassing service and providers.
std::string Scalar(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::string out = "<no row>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        out = text ? reinterpret_cast<const char*>(text) : "";
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

class ProviderTest : public testing::Test {
protected:
    void SetUp() override {
        folder = servertest::ScratchFolder();
        file = folder / "PRTest65.db";
        server::CreateDemoDatabase(file);
        sql = std::make_unique<server::SimpleSqlService>(folder);
        providers = std::make_unique<server::ProviderSet>(*sql);
        session = {"ORTK41", "KV", "PRTest65", "PRTest65", "M11_TABLE=COPTC\r\nMAX_RECORD=20\r\n"};
    }

    Variant Read(const std::string& provider, const std::string& statement, int count = -1, int offset = 0) {
        int out = 0;
        return providers->GetRecords(provider, count, offset, true, statement, Variant(), session, out);
    }
    // A delta of SAVECONDITION changes: [kind, old row, new row] with rows of
    // PROGRAMME, NCONDITION, CREATOR, CONDITION, CREATE_DATE.
    Variant Delta(const std::vector<Variant>& changes) {
        std::vector<FieldDesc> fields{{"PROGRAMME", plat::packet::ftString, 10, true, true, {}},
                                      {"NCONDITION", plat::packet::ftWideString, 40, true, true, {}},
                                      {"CREATOR", plat::packet::ftString, 10, false, true, {}},
                                      {"CONDITION", plat::packet::ftMemo, 0, false, false, {}},
                                      {"CREATE_DATE", plat::packet::ftFixedChar, 8, false, false, {}},
                                      {"COMPANY", plat::packet::ftString, 10, false, true, {}}};
        std::vector<Variant> list;
        for (size_t i = 0; i < changes.size(); ++i) {
            const Variant& c = changes[i];
            list.push_back(VarArrayOf({int32_t(i), c[0], c[1], c[2], Variant()}));
        }
        return VarArrayOf({"SAVECONDITION", plat::packet::DescribeFields(fields), VarArrayOf(list)});
    }
    static Variant Row(const std::string& name, const std::string& condition, const std::string& date = "20260305") {
        return VarArrayOf({"ORTK41", name, "KV", condition, date, "PRTest65"});
    }
    int Apply(const Variant& delta, int maxErrors, Variant* errors = nullptr) {
        int count = 0;
        Variant e = providers->ApplyUpdates("pvdConSave", delta, maxErrors, Variant(), session, count);
        if (errors) *errors = e;
        return count;
    }
    // A delta deleting the first sales order header (COPTC, by its keys).
    Variant DeleteFirstOrder() {
        std::vector<FieldDesc> fields{{"TC001", plat::packet::ftFixedChar, 4, true, true, {}},
                                      {"TC002", plat::packet::ftFixedChar, 11, true, true, {}}};
        Variant old = VarArrayOf({Scalar(file, "SELECT TC001 FROM COPTC ORDER BY TC001, TC002 LIMIT 1"),
                                  Scalar(file, "SELECT TC002 FROM COPTC ORDER BY TC001, TC002 LIMIT 1")});
        Variant change = VarArrayOf({int32_t(0), int32_t(plat::packet::ukDelete), old, Variant(), Variant()});
        return VarArrayOf({"COPTC", plat::packet::DescribeFields(fields), VarArrayOf({change})});
    }
    std::string Orders() { return Scalar(file, "SELECT COUNT(*) FROM COPTC"); }
    std::string Stored(const std::string& what) {
        return Scalar(file, "SELECT " + what + " FROM SAVECONDITION ORDER BY NCONDITION");
    }

    std::filesystem::path folder, file;
    std::unique_ptr<server::SimpleSqlService> sql;
    std::unique_ptr<server::ProviderSet> providers;
    server::ProviderSession session;
};

}  // namespace

TEST_F(ProviderTest, the_main_provider_describes_the_columns_of_its_table) {
    Variant packet = Read("pvdMain", "SELECT * FROM $$COPTC COPTC ORDER BY TC001,TC002");
    std::vector<FieldDesc> fields = plat::packet::ReadFields(packet[0]);
    auto find = [&](const std::string& name) {
        for (const auto& f : fields)
            if (f.Name == name) return f;
        return FieldDesc{};
    };
    EXPECT_EQ(find("TC001").Type, plat::packet::ftFixedChar);
    EXPECT_EQ(find("TC001").Size, 4);
    EXPECT_TRUE(find("TC002").Key);
    EXPECT_FALSE(find("TC003").Key);
    EXPECT_EQ(find("FLAG").Type, plat::packet::ftInteger);
    EXPECT_EQ(packet[2].ToString(), "COPTC");
    int number = -1;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].Name == "TC002") number = static_cast<int>(i);
    ASSERT_GE(number, 0);
    EXPECT_EQ(packet[1][0][number].ToString().size(), 11u) << "CHAR keys come back padded";
}

TEST_F(ProviderTest, packets_continue_after_the_records_already_held) {
    Variant all = Read("pvdMain", "SELECT TC001,TC002 FROM $$COPTC COPTC ORDER BY TC001,TC002");
    int total = all[1].Array().Count();
    ASSERT_GT(total, 3);
    Variant first = Read("pvdMain", "SELECT TC001,TC002 FROM $$COPTC COPTC ORDER BY TC001,TC002", 2, 0);
    Variant second = Read("pvdMain", "SELECT TC001,TC002 FROM $$COPTC COPTC ORDER BY TC001,TC002", 2, 2);
    EXPECT_EQ(first[1].Array().Count(), 2);
    EXPECT_EQ(second[1][0][1].ToString(), all[1][2][1].ToString());
    Variant rest = Read("pvdMain", "SELECT TC001,TC002 FROM $$COPTC COPTC ORDER BY TC001,TC002", -1, total - 1);
    EXPECT_EQ(rest[1].Array().Count(), 1);
}

TEST_F(ProviderTest, without_a_statement_each_provider_reads_its_own_default) {
    Variant main = Read("pvdMain", "");
    EXPECT_GT(plat::packet::ReadFields(main[0]).size(), 10u) << "the structure of M11_TABLE";
    EXPECT_FALSE(plat::HasRows(main[1]));
    Variant saved = Read("pvdConSave", "");
    EXPECT_EQ(saved[2].ToString(), "SAVECONDITION");
    Variant colours = Read("pvdColor", "");
    EXPECT_EQ(colours[2].ToString(), "COLORRULE");
    Variant query = Read("pvdQuery", "");
    EXPECT_EQ(plat::packet::ReadFields(query[0]).size(), 0u);
    int out = 0;
    EXPECT_THROW(providers->GetRecords("pvdNone", -1, 0, true, "", Variant(), session, out), server::SqlError);
    server::ProviderSession nobody;
    EXPECT_THROW(providers->GetRecords("pvdMain", -1, 0, true, "SELECT 1 AS X", Variant(), nobody, out), server::SqlError)
        << "no log-on, no database";
}

TEST_F(ProviderTest, inserted_modified_and_deleted_rows_reach_the_database_with_padded_chars) {
    EXPECT_EQ(Apply(Delta({VarArrayOf({int32_t(plat::packet::ukInsert), Variant(), Row("A", "TC001='2201'", "2026")}),
                           VarArrayOf({int32_t(plat::packet::ukInsert), Variant(), Row("B", "x")})}),
                    0),
              0);
    EXPECT_EQ(Stored("CREATE_DATE"), "2026    ");
    EXPECT_EQ(Stored("CONDITION"), "TC001='2201'");
    EXPECT_EQ(Apply(Delta({VarArrayOf({int32_t(plat::packet::ukModify), Row("A", "TC001='2201'", "2026"),
                                       Row("A", "TC001='2202'", "2026")}),
                           VarArrayOf({int32_t(plat::packet::ukDelete), Row("B", "x"), Variant()})}),
                    0),
              0);
    EXPECT_EQ(Stored("CONDITION"), "TC001='2202'");
    EXPECT_EQ(Scalar(file, "SELECT COUNT(*) FROM SAVECONDITION"), "1");
    Variant read = Read("pvdConSave", "");
    EXPECT_EQ(read[1].Array().Count(), 1);
}

TEST_F(ProviderTest, more_failures_than_allowed_roll_the_whole_delta_back) {
    Variant delta = Delta({VarArrayOf({int32_t(plat::packet::ukInsert), Variant(), Row("C", "kept?")}),
                           VarArrayOf({int32_t(plat::packet::ukModify), Row("GONE", "a"), Row("GONE", "b")})});
    Variant errors;
    EXPECT_EQ(Apply(delta, 0, &errors), 1);
    ASSERT_TRUE(errors.IsArray());
    EXPECT_EQ(errors[0][0].ToInt(), 1) << "the error names the change it belongs to";
    EXPECT_EQ(errors[0][1].ToString(), "Record not found or changed by another user");
    EXPECT_EQ(Scalar(file, "SELECT COUNT(*) FROM SAVECONDITION"), "0");
    EXPECT_EQ(Apply(delta, -1), 1);
    EXPECT_EQ(Scalar(file, "SELECT COUNT(*) FROM SAVECONDITION"), "1")
        << "within the limit the good change is kept";
}

TEST_F(ProviderTest, the_query_provider_and_simplesql_stay_read_only) {
    int count = 0;
    EXPECT_THROW(providers->ApplyUpdates("pvdQuery", Delta({}), 0, Variant(), session, count), server::SqlError);
    EXPECT_THROW(sql->SimpleSql(servertest::Params("DELETE FROM $$SAVECONDITION", ""), servertest::Context("PRTest65")),
                 server::SqlRefused);
    int out = 0;
    EXPECT_THROW(providers->GetRecords("pvdMain", -1, 0, true, "DELETE FROM $$COPTC", Variant(), session, out),
                 server::SqlError);
    EXPECT_NE(Scalar(file, "SELECT COUNT(*) FROM COPTC"), "0");
}

TEST_F(ProviderTest, a_query_only_session_keeps_its_settings_but_changes_no_business_table) {
    const std::string orders = Orders();
    session.QueryOnly = true;
    int count = 0;
    for (const char* provider : {"pvdMain", "pvdConSave", "pvdColor"})
        EXPECT_THROW(providers->ApplyUpdates(provider, DeleteFirstOrder(), 0, Variant(), session, count),
                     server::SqlRefused)
            << provider;
    EXPECT_EQ(Orders(), orders);
    // The user's own condition schemes are settings, not business data.
    EXPECT_EQ(Apply(Delta({VarArrayOf({int32_t(plat::packet::ukInsert), Variant(), Row("Q", "TC001='2201'")})}), 0), 0);
    EXPECT_EQ(Scalar(file, "SELECT COUNT(*) FROM SAVECONDITION"), "1");
    // The same delete from a session that may write goes through.
    session.QueryOnly = false;
    EXPECT_TRUE(providers->ApplyUpdates("pvdMain", DeleteFirstOrder(), 0, Variant(), session, count).IsEmptyOrNull());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Orders(), std::to_string(std::stoi(orders) - 1));
}

TEST_F(ProviderTest, server_objects_refuse_changes_once_the_program_says_it_only_queries) {
    server::RegisterApplicationServers(*sql);
    struct Unregister {
        ~Unregister() { server::UnregisterApplicationServers(); }
    } unregister;
    Variant owner = VarArrayOf({VarArrayOf({"DATABASE", "PRTest65"})});
    auto deleteFirstOrder = [&](const Variant& server) {
        Variant errors = int32_t(0), ownerData = owner;
        return plat::CallMethod(server, "AS_ApplyUpdates",
                                {plat::ByVal("pvdMain"), plat::ByVal(DeleteFirstOrder()), plat::ByVal(int32_t(0)),
                                 plat::ByRef(errors), plat::ByRef(ownerData)});
    };
    auto logOn = [](const Variant& server) {
        Variant params = VarArrayOf({"ORTK41", "KV", "PRTest65", "PRTest65", "True", "False"});
        return plat::CallMethod(server, "Connect", {plat::ByRef(params)}).ToInt();
    };
    const int orders = std::stoi(Orders());

    Variant program = plat::CreateOleObject("SOSRV01S.Class1");
    ASSERT_EQ(logOn(program), 0);
    EXPECT_TRUE(deleteFirstOrder(program).IsEmptyOrNull());
    EXPECT_EQ(Orders(), std::to_string(orders - 1)) << "a program that maintains data writes";
    plat::CallMethod(program, "QueryOnly");
    try {
        deleteFirstOrder(program);
        ADD_FAILURE() << "a query-only session deleted an order";
    } catch (const server::SqlRefused& e) {
        EXPECT_THAT(e.Message(), HasSubstr("ORTK41")) << e.Message();
        EXPECT_THAT(e.Message(), HasSubstr("COPTC")) << e.Message();
    }
    ASSERT_EQ(logOn(program), 0);
    EXPECT_THROW(deleteFirstOrder(program), server::SqlRefused) << "a new log-on does not lift it";
    EXPECT_EQ(Orders(), std::to_string(orders - 1));

    Variant query = plat::CreateOleObject("KvQueryS.Class1");
    EXPECT_THROW(deleteFirstOrder(query), server::SqlRefused) << "the query server never writes";
    EXPECT_EQ(Orders(), std::to_string(orders - 1));
}
