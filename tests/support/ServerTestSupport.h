// Helpers of the tests that read company databases (the server's own and the
// module's order tracking): the company databases of one test on either
// backend (a scratch folder of SQLite files, or a fresh database of its own
// on the PostgreSQL test server named by ORTK_TEST_PG), filled with given
// SQL or the demo data and read directly, bypassing the service; the demo
// database shared by the tests of one suite; short-hands for reading
// SimpleSQL answers. Suites run once per backend; the PostgreSQL runs are
// skipped, saying so, when ORTK_TEST_PG is not set.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DemoData.h"
#include "PostgresDatabase.h"
#include "SimpleSql.h"
#include "SqlError.h"
#include "Variant.h"

namespace servertest {

enum class Backend { SQLite, PostgreSQL };

inline const char* BackendName(Backend b) { return b == Backend::SQLite ? "SQLite" : "PostgreSQL"; }

inline std::string BackendParamName(const testing::TestParamInfo<Backend>& info) { return BackendName(info.param); }

inline auto AllBackends() { return testing::Values(Backend::SQLite, Backend::PostgreSQL); }

// The test server's connection string, empty when there is none.
inline std::string TestServer() {
    const char* info = std::getenv("ORTK_TEST_PG");
    return info ? info : "";
}

#define ORTK_SKIP_WITHOUT(backend)                                                                       \
    if ((backend) == servertest::Backend::PostgreSQL && servertest::TestServer().empty())                \
    GTEST_SKIP() << "ORTK_TEST_PG is not set: no PostgreSQL test server, PostgreSQL case skipped"

inline std::string TestKey() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

inline std::filesystem::path ScratchFolder(const std::string& key = TestKey()) {
    std::string safe = key;
    for (char& c : safe)
        if (c == '/') c = '_';
    std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "ortk-server" / safe;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// The company databases of one test (or one suite).
class TestDatabases {
public:
    explicit TestDatabases(Backend backend, const std::string& key = TestKey()) : backend_(backend) {
        if (backend_ == Backend::SQLite) {
            folder_ = ScratchFolder(key);
            return;
        }
        admin_ = server::PostgresSettings::FromConnectionInfo(TestServer());
        settings_ = admin_;
        settings_.database = "ortk_" + std::to_string(std::hash<std::string>{}(key) % 1000000000000ull);
        server::PgConnection pg(admin_.ConnectionInfo());
        pg.Exec("SET client_min_messages = warning");
        pg.Exec("DROP DATABASE IF EXISTS " + settings_.database + " WITH (FORCE)");
        pg.Exec("CREATE DATABASE " + settings_.database + " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'");
    }
    ~TestDatabases() {
        if (backend_ != Backend::PostgreSQL) return;
        try {
            server::PgConnection pg(admin_.ConnectionInfo());
            pg.Exec("DROP DATABASE IF EXISTS " + settings_.database + " WITH (FORCE)");
        } catch (const server::SqlError&) {
        }
    }
    TestDatabases(const TestDatabases&) = delete;
    TestDatabases& operator=(const TestDatabases&) = delete;

    Backend Kind() const { return backend_; }
    const std::filesystem::path& Folder() const { return folder_; }
    const server::PostgresSettings& Server() const { return settings_; }

    void CreateEmpty(const std::string& name) {
        if (backend_ == Backend::SQLite) server::CreateEmptyDatabase(folder_ / (name + ".db"));
        else server::CreateEmptyDatabase(settings_, name);
    }
    server::DemoReport CreateDemo(const std::string& name, const server::DemoOptions& options = {}) {
        if (backend_ == Backend::SQLite) return server::CreateDemoDatabase(folder_ / (name + ".db"), options);
        return server::CreateDemoDatabase(settings_, name, options);
    }

    std::unique_ptr<server::SimpleSqlService> Service() const {
        if (backend_ == Backend::SQLite) return std::make_unique<server::SimpleSqlService>(folder_);
        return std::make_unique<server::SimpleSqlService>(std::make_unique<server::PostgresServer>(settings_));
    }

    // Runs SQL on a writable connection (test set-up only).
    void Write(const std::string& name, const std::string& sql) {
        if (backend_ == Backend::PostgreSQL) {
            server::PgConnection pg(settings_.ConnectionInfo());
            pg.Exec("SET search_path = \"" + server::PostgresSchemaName(name) + "\"; " + sql);
            return;
        }
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((folder_ / (name + ".db")).c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }

    // Every row of a statement read directly, bypassing the service: the
    // values of a row joined by "|", NULL as "<null>".
    std::vector<std::string> ReadDirect(const std::string& name, const std::string& sql) {
        std::vector<std::string> rows;
        if (backend_ == Backend::PostgreSQL) {
            server::PgConnection pg(settings_.ConnectionInfo());
            pg.Exec("SET search_path = \"" + server::PostgresSchemaName(name) + "\"");
            for (const auto& row : pg.Rows(sql)) {
                std::string line;
                for (size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + row[i];
                rows.push_back(line);
            }
            return rows;
        }
        sqlite3* db = nullptr;
        sqlite3_open_v2((folder_ / (name + ".db")).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
        } else {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                std::string line;
                for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                    const unsigned char* v = sqlite3_column_text(stmt, i);
                    line += (i ? "|" : "") + std::string(v ? reinterpret_cast<const char*>(v) : "<null>");
                }
                rows.push_back(line);
            }
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return rows;
    }

    bool TableExists(const std::string& name, const std::string& table) {
        if (backend_ == Backend::PostgreSQL)
            return !ReadDirect(name, "SELECT 1 FROM information_schema.tables WHERE table_schema = '" +
                                         server::PostgresSchemaName(name) + "' AND lower(table_name) = lower('" + table +
                                         "')")
                        .empty();
        return !ReadDirect(name, "SELECT 1 FROM sqlite_schema WHERE lower(name) = lower('" + table + "')").empty();
    }

private:
    Backend backend_;
    std::filesystem::path folder_;
    server::PostgresSettings admin_, settings_;
};

// The demo company database "PRTest65" on each backend a suite asks for,
// loaded on first use and kept, with one service over it, until Release
// (from the suite's TearDownTestSuite): loading the demo takes longer than
// most tests that read it. The databases are named after the suite and the
// process, so that test processes running side by side never share one.
class SuiteDemo {
public:
    server::SimpleSqlService& Sql(Backend backend) { return *Entry(backend).service; }
    TestDatabases& Databases(Backend backend) { return *Entry(backend).databases; }
    void Release() { entries_.clear(); }

private:
    struct Demo {
        std::unique_ptr<TestDatabases> databases;
        std::unique_ptr<server::SimpleSqlService> service;   // declared last: closed before the drop
    };
    Demo& Entry(Backend backend) {
        Demo& demo = entries_[backend];
        if (!demo.databases) {
            const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
            std::string key = std::string(info ? info->test_suite_name() : "suite") + "." + BackendName(backend) +
                              "." + std::to_string(getpid());
            auto databases = std::make_unique<TestDatabases>(backend, key);
            databases->CreateDemo("PRTest65");
            demo.service = databases->Service();
            demo.databases = std::move(databases);
        }
        return demo;
    }
    std::map<Backend, Demo> entries_;
};

inline plat::Variant Context(const std::string& database, const std::string& company = "PRTest65") {
    return plat::VarArrayOf({company, database});
}

inline plat::Variant Params(const std::string& sql, const std::string& fields) {
    return plat::VarArrayOf({sql, fields});
}

inline int RowCount(const plat::Variant& answer) {
    return answer.IsArray() ? answer.Array().Count() : 0;
}

// Column `column` of every row, as text.
inline std::vector<std::string> Column(const plat::Variant& answer, int column) {
    std::vector<std::string> values;
    for (int r = 0; r < RowCount(answer); ++r) values.push_back(answer[r][column].ToString());
    return values;
}

}  // namespace servertest
