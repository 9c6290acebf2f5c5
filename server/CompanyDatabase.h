// One company database opened for reading: a SQLite file, a read-only
// connection to it, the column catalogue the dialect needs, and the cache of
// translated statements.
//
// Layout: every company database is a file "<name>.db" in one data folder
// (PRTest65 → <folder>/PRTest65.db), created from server/schema.sql. A
// statement runs on the connection of the database its call names; "$$" and
// a table written without it therefore both mean that database's table.
//
// Reading only: the file is opened read-only with query_only set, and an
// authorizer allows nothing but SELECT, reading columns, functions and
// recursive queries, so INSERT, UPDATE, DELETE, DROP, CREATE, ATTACH, DETACH,
// PRAGMA and transactions are refused while the statement is prepared
// (SqlRefused); the database is left as it was.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "SqlDialect.h"
#include "Variant.h"

struct sqlite3;

namespace server {

// The answer of one statement: column names in select order and the rows,
// each value as the service hands it on (text as stored, with its blanks;
// integers as integers; other numbers as doubles; SQL NULL as Null).
struct ResultTable {
    std::vector<std::string> columns;
    std::vector<std::vector<plat::Variant>> rows;
};

class CompanyDatabase {
public:
    // Opens <file> for reading; SqlError when it does not exist or is not a
    // database.
    explicit CompanyDatabase(const std::filesystem::path& file);
    ~CompanyDatabase();
    CompanyDatabase(const CompanyDatabase&) = delete;
    CompanyDatabase& operator=(const CompanyDatabase&) = delete;

    // Translates (cached) and runs one statement. SqlRefused for a statement
    // that would change anything, SqlError for every other failure.
    ResultTable Query(const std::string& sqlServerText);

    // Runs SQLite text as it stands, bound to the given text parameters (for
    // the service's own look-ups; the same read-only rules apply).
    ResultTable QueryNative(const std::string& sqliteText, const std::vector<std::string>& parameters = {});

    // The SQLite text a statement becomes (cached).
    std::string Translate(const std::string& sqlServerText);

    const std::filesystem::path& File() const { return file_; }

private:
    void Open();
    void RegisterFunctions();
    ColumnCatalogue ReadCatalogue();
    void InstallGuard();

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
    SqlDialect dialect_{ColumnCatalogue{}};
    std::mutex mutex_;
    std::unordered_map<std::string, std::string> translations_;
};

}  // namespace server
