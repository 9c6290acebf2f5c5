// The company settings that the date tests change in a demo database: the
// date format (SYS001, kind 1 to 5) and its separator (SYS002), written as an
// administrator of the suite would, and the order-list statements a SQL trace
// holds, which show whether a query reached the server.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <string>
#include <utility>

namespace ortktest {

// Sets the date format of the company in `databaseFile`; a failed write is a
// test failure (a test that goes on checks the old format).
inline void SetCompanyDates(const std::string& databaseFile, const std::string& kind, const std::string& separator) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(databaseFile.c_str(), &db), SQLITE_OK);
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"SYS001", kind}, {"SYS002", separator}}) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "UPDATE SYSPARAM SET VALUE=?1 WHERE NAME=?2", -1, &st, nullptr);
        sqlite3_bind_text(st, 1, value.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << name << "=" << value;
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}

// How many statements of the order list the trace file `trace` records; 0
// when it does not exist.
inline int OrderListStatementsIn(const std::string& trace) {
    std::ifstream in(trace);
    std::string line;
    int count = 0;
    while (std::getline(in, line)) count += line.find("$$COPTC COPTC  INNER JOIN") != std::string::npos;
    return count;
}

}  // namespace ortktest
