// One company database opened for reading, whatever holds it: the service
// hands it SQL Server text, it translates that (cached) into the text of its
// database and runs it read-only. A DatabaseSource opens company databases by
// name: a folder of SQLite files (SqliteDatabase.h) or a PostgreSQL server
// with one schema per company database (PostgresDatabase.h).
//
// Both give the same answers: text as stored, padded CHAR values with their
// blanks; comparisons ignoring trailing blanks; integers as integers, other
// numbers as doubles (a NUMERIC value without a fraction is an integer, as
// SQLite stores it); SQL NULL as Null; text always valid UTF-8. A statement that would change
// anything is refused (SqlRefused) and changes nothing. A statement that runs
// longer than the database's time limit is interrupted (SqlError naming the
// limit), and so is one whose answer grows past kMaxAnswerCells values.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
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

// No listing of the suite comes near this many values (the largest demo
// answer has about 1.2 million); a statement that produces more would only
// exhaust the memory of the service before its time limit ends it.
inline constexpr size_t kMaxAnswerCells = 20'000'000;

// The time limit of a statement when the server settings give none.
inline constexpr std::chrono::seconds kDefaultStatementTimeLimit{30};

class CompanyDatabase {
public:
    virtual ~CompanyDatabase() = default;
    CompanyDatabase(const CompanyDatabase&) = delete;
    CompanyDatabase& operator=(const CompanyDatabase&) = delete;

    // Translates and runs one statement, the literals its conditions compare
    // against passed as parameters (see Parameterise), so that statements
    // differing only in those share one translation (cached by shape) and
    // one prepared statement. The answer is the one the statement with its
    // literals in place gives. SqlRefused for a statement that would change
    // anything, SqlError for every other failure.
    ResultTable Query(const std::string& sqlServerText);

    // The text of this database a statement becomes, literals in place (cached).
    std::string Translate(const std::string& sqlServerText);

    // Runs text of this database as it stands, under the same read-only rules.
    ResultTable QueryNative(const std::string& nativeText) { return QueryNative(nativeText, {}); }
    // The same with values for its parameter markers, in order.
    virtual ResultTable QueryNative(const std::string& nativeText, const std::vector<SqlParameter>& parameters) = 0;

    // Where the database is, for messages ("<folder>/PRTest65.db",
    // "postgresql://host:port/db schema prtest65").
    virtual std::string Location() const = 0;

    const SqlDialect& Dialect() const { return dialect_; }

    // How long one statement may run before it is interrupted; a limit of
    // zero or below means the default.
    void SetTimeLimit(std::chrono::milliseconds limit);
    std::chrono::milliseconds TimeLimit() const { return std::chrono::milliseconds(timeLimitMs_.load()); }

    // The code page of text written by older programs (936 GB, 950 Big5):
    // a stored text that is not valid UTF-8 is read in it when it decodes,
    // otherwise with U+FFFD for each bad byte (plat::StoredTextToUtf8).
    void SetCodePage(int codePage) { codePage_ = codePage; }
    int CodePage() const { return codePage_; }

protected:
    CompanyDatabase() = default;
    void SetDialect(SqlDialect dialect) { dialect_ = std::move(dialect); }
    // Applies a changed limit to the connection (PostgreSQL sets it on the server).
    virtual void TimeLimitChanged() {}
    // The message of a statement interrupted by the time limit.
    std::string TimeLimitText() const;
    // SqlError when an answer of `rows` rows of `columns` values is too large.
    static void CheckAnswerSize(size_t rows, size_t columns);

private:
    SqlDialect dialect_{ColumnCatalogue{}};
    std::atomic<int> codePage_{936};
    std::atomic<long long> timeLimitMs_{std::chrono::milliseconds(kDefaultStatementTimeLimit).count()};
    // Both caches map SQL Server text to the text of this database: whole
    // statements (Translate) and shapes (Query).
    std::string Cached(std::unordered_map<std::string, std::string>& cache, const std::string& key,
                       std::string (SqlDialect::*translate)(std::string_view) const);

    std::mutex cacheMutex_;
    std::unordered_map<std::string, std::string> translations_;
    std::unordered_map<std::string, std::string> shapes_;
};

// Where the company databases of one installation live.
class DatabaseSource {
public:
    virtual ~DatabaseSource() = default;
    // Opens the company database `name` (letters, digits, "_" and "-",
    // matched without regard to case); SqlError when there is none.
    virtual std::unique_ptr<CompanyDatabase> Open(const std::string& name) = 0;
    virtual std::string Describe() const = 0;

    // The time limit of every statement of the databases it opens from now on.
    void SetTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    std::chrono::milliseconds TimeLimit() const { return timeLimit_; }
    // The code page of the databases it opens from now on (see CompanyDatabase).
    void SetCodePage(int codePage) { codePage_ = codePage; }
    int CodePage() const { return codePage_; }

private:
    std::chrono::milliseconds timeLimit_ = kDefaultStatementTimeLimit;
    int codePage_ = 936;
};

// True for a database name the sources accept (see DatabaseSource::Open).
bool IsPlainDatabaseName(const std::string& name);

}  // namespace server
