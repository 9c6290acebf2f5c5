// Helpers of the server tests: a scratch data folder per test, company
// databases created from the real schema and filled with given SQL, and
// short-hands for reading SimpleSQL answers.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DemoData.h"
#include "SimpleSql.h"
#include "Variant.h"

namespace servertest {

inline std::filesystem::path ScratchFolder() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "ortk-server" /
                                   (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// Runs SQL on a writable connection (test set-up only).
inline void Write(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

// Single value read directly, bypassing the service (to check what is stored).
inline std::string ReadDirect(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::string out = "<no row>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        out = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0) ? sqlite3_column_text(stmt, 0)
                                                                          : reinterpret_cast<const unsigned char*>(""));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

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
