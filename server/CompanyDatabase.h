// One company database opened for reading, whatever holds it: the service
// hands it SQL Server text, it translates that (cached) into the text of its
// database and runs it read-only. A DatabaseSource opens company databases by
// name: a folder of SQLite files (SqliteDatabase.h) or a PostgreSQL server
// with one schema per company database (PostgresDatabase.h).
//
// Both give the same answers: text as stored, padded CHAR values with their
// blanks; comparisons ignoring trailing blanks; integers as integers, other
// numbers as doubles (a NUMERIC value without a fraction is an integer, as
// SQLite stores it); SQL NULL as Null. A statement that would change
// anything is refused (SqlRefused) and changes nothing.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "SqlDialect.h"
#include "Variant.h"

namespace server {

// The answer of one statement: column names in select order and the rows,
// each value as the service hands it on.
struct ResultTable {
    std::vector<std::string> columns;
    std::vector<std::vector<plat::Variant>> rows;
};

class CompanyDatabase {
public:
    virtual ~CompanyDatabase() = default;
    CompanyDatabase(const CompanyDatabase&) = delete;
    CompanyDatabase& operator=(const CompanyDatabase&) = delete;

    // Translates (cached) and runs one statement. SqlRefused for a statement
    // that would change anything, SqlError for every other failure.
    ResultTable Query(const std::string& sqlServerText) { return QueryNative(Translate(sqlServerText)); }

    // The text of this database a statement becomes (cached).
    std::string Translate(const std::string& sqlServerText);

    // Runs text of this database as it stands, under the same read-only rules.
    virtual ResultTable QueryNative(const std::string& nativeText) = 0;

    // Where the database is, for messages ("<folder>/PRTest65.db",
    // "postgresql://host:port/db schema prtest65").
    virtual std::string Location() const = 0;

    const SqlDialect& Dialect() const { return dialect_; }

protected:
    CompanyDatabase() = default;
    void SetDialect(SqlDialect dialect) { dialect_ = std::move(dialect); }

private:
    SqlDialect dialect_{ColumnCatalogue{}};
    std::mutex cacheMutex_;
    std::unordered_map<std::string, std::string> translations_;
};

// Where the company databases of one installation live.
class DatabaseSource {
public:
    virtual ~DatabaseSource() = default;
    // Opens the company database `name` (letters, digits, "_" and "-",
    // matched without regard to case); SqlError when there is none.
    virtual std::unique_ptr<CompanyDatabase> Open(const std::string& name) = 0;
    virtual std::string Describe() const = 0;
};

// True for a database name the sources accept (see DatabaseSource::Open).
bool IsPlainDatabaseName(const std::string& name);

}  // namespace server
