// A company database in SQLite: one file "<name>.db" per company database in
// one data folder (PRTest65 → <folder>/PRTest65.db), created from
// server/schema.sql. A statement runs on the connection of the database its
// call names; "$$" and a table written without it therefore both mean that
// database's table.
//
// Reading only: the file is opened read-only with query_only set, and an
// authorizer allows nothing but SELECT, reading columns, functions and
// recursive queries, so INSERT, UPDATE, DELETE, DROP, CREATE, ATTACH, DETACH,
// PRAGMA and transactions are refused while the statement is prepared
// (SqlRefused); the database is left as it was. Functions are limited to
// those a listing uses (an allow-list in the authorizer; the FTS3 tokenizer
// function and extension loading are also switched off on the connection).
// A statement past the time limit is interrupted by a progress handler.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "CompanyDatabase.h"

struct sqlite3;
struct sqlite3_stmt;

namespace server {

class SqliteDatabase : public CompanyDatabase {
public:
    // Opens <file> for reading; SqlError when it does not exist or is not a
    // database.
    explicit SqliteDatabase(const std::filesystem::path& file);
    ~SqliteDatabase() override;

    using CompanyDatabase::QueryNative;
    // SQLite text with its parameters ?1, ?2, ... bound in order: texts as
    // texts, numbers as integers.
    ResultTable QueryNative(const std::string& sqliteText, const std::vector<SqlParameter>& parameters) override;
    std::string Location() const override { return file_.string(); }

    const std::filesystem::path& File() const { return file_; }

private:
    void Open();
    void RegisterFunctions();
    ColumnCatalogue ReadCatalogue();
    void InstallGuard();
    sqlite3_stmt* Prepare(const std::string& sqliteText);
    void Release(const std::string& sqliteText, sqlite3_stmt* stmt, bool reusable);

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;   // opened without SQLite's own mutex: mutex_ serialises each statement
    std::mutex mutex_;        // held for the whole of one QueryNative
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    std::string deniedFunction_;   // the function the guard refused while the last statement was prepared
    // Statements that passed the guard, kept prepared by their exact text: a
    // window asks the same statements again when a node is expanded again.
    // A statement is out of the map while it runs; the map is emptied when full.
    std::map<std::string, sqlite3_stmt*> prepared_;
};

// The company databases of a data folder.
class SqliteFolder : public DatabaseSource {
public:
    explicit SqliteFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::unique_ptr<CompanyDatabase> Open(const std::string& name) override;
    std::string Describe() const override { return "SQLite files in " + folder_.string(); }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

// The database file a database name stands for in `folder` (exact name first,
// then a case-insensitive match); SqlError for a name that is not a plain
// name or that no file carries.
std::filesystem::path DatabaseFile(const std::filesystem::path& folder, const std::string& name);

}  // namespace server
