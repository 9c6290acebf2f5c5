// SqliteDatabase: the read-only SQLite connection of one company database,
// its statement guard (authorizer with its function allow-list, single
// statement, read-only check, time limit), the SQL Server functions SQLite
// lacks (LEN, SS_LEFT, SS_RIGHT, CHARINDEX), and the conversion of result
// columns into variants.
#include "SqliteDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string_view>

#include "SqlError.h"
#include "StrUtils.h"
#include "TextFile.h"

namespace server {

namespace {

// The functions a reading statement of the suite may call: the SQL Server
// functions registered below, what the dialect translation writes (IFNULL,
// COALESCE), the operators SQLite runs as functions (LIKE, GLOB) and the
// plain aggregates and text functions of a listing. Anything else, such as
// fts3_tokenizer (it hands out a library address), load_extension, zeroblob
// or randomblob, has no place in a listing and is refused.
constexpr std::array<std::string_view, 28> kAllowedFunctions = {
    "abs",   "avg",   "charindex", "coalesce", "count", "glob",    "ifnull",   "instr",  "len",     "length",
    "like",  "lower", "ltrim",     "max",      "min",   "nullif",  "replace",  "round",  "rtrim",   "ss_left",
    "ss_right", "substr", "substring", "sum",   "total", "trim",    "upper",    "iif"};

bool IsAllowedFunction(const char* name) {
    if (!name) return false;
    std::string lower = plat::LowerCase(name);
    return std::find(kAllowedFunctions.begin(), kAllowedFunctions.end(), lower) != kAllowedFunctions.end();
}

// Statement guard: reading is the only thing a statement of this service may
// do. For SQLITE_FUNCTION the fourth argument is the function's name; a
// refused one is noted in `deniedFunction` (a std::string) for the message.
int AuthorizeReadOnly(void* deniedFunction, int action, const char*, const char* function, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_FUNCTION:
        if (IsAllowedFunction(function)) return SQLITE_OK;
        *static_cast<std::string*>(deniedFunction) = function ? function : "";
        return SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}

// Interrupts a statement that runs past its deadline (the progress handler
// answers non-zero).
int PastDeadline(void* deadline) {
    return std::chrono::steady_clock::now() > *static_cast<std::chrono::steady_clock::time_point*>(deadline);
}

// SQL Server's LEN: characters without the trailing blanks.
void SqlLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const char* s = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    int bytes = sqlite3_value_bytes(argv[0]);
    while (bytes > 0 && s[bytes - 1] == ' ') --bytes;
    int chars = 0;
    for (int i = 0; i < bytes; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) ++chars;
    sqlite3_result_int(ctx, chars);
}

// Byte offset of UTF-8 character `index` (0-based) in s, or bytes when beyond.
int Utf8Offset(const char* s, int bytes, int index) {
    int i = 0;
    for (int n = 0; i < bytes && n < index; ++n) {
        ++i;
        while (i < bytes && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

int Utf8Count(const char* s, int bytes) {
    int n = 0;
    for (int i = 0; i < bytes; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) ++n;
    return n;
}

// LEFT(s, n) and RIGHT(s, n) in characters.
void SqlLeftRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    bool left = sqlite3_user_data(ctx) != nullptr;
    const char* s = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    int bytes = sqlite3_value_bytes(argv[0]);
    int n = std::max(0, sqlite3_value_int(argv[1]));
    int count = Utf8Count(s, bytes);
    int from = left ? 0 : Utf8Offset(s, bytes, std::max(0, count - n));
    int to = left ? Utf8Offset(s, bytes, n) : bytes;
    sqlite3_result_text(ctx, s + from, to - from, SQLITE_TRANSIENT);
}

// CHARINDEX(find, text): 1-based character position of find in text, 0 when absent.
void SqlCharIndex(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::string find(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    std::string text(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])));
    size_t at = find.empty() ? std::string::npos : text.find(find);
    sqlite3_result_int(ctx, at == std::string::npos ? 0 : Utf8Count(text.data(), static_cast<int>(at)) + 1);
}

// Appends column i of the current row to `row`, each value made in place:
// a long answer has millions of them.
void AppendColumnValue(std::vector<plat::Variant>& row, sqlite3_stmt* stmt, int i, int codePage) {
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER: {
        sqlite3_int64 v = sqlite3_column_int64(stmt, i);
        if (v >= INT32_MIN && v <= INT32_MAX) row.emplace_back(static_cast<int32_t>(v));
        else row.emplace_back(static_cast<int64_t>(v));
        return;
    }
    case SQLITE_FLOAT:
        row.emplace_back(sqlite3_column_double(stmt, i));
        return;
    case SQLITE_NULL:
        row.push_back(plat::Variant::Null());
        return;
    default: {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        std::string value(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, i)));
        if (!plat::IsValidUtf8(value)) value = plat::StoredTextToUtf8(value, codePage);
        row.emplace_back(std::move(value));
    }
    }
}

// Finalizes the statement however the reading ends.
struct StatementHolder {
    sqlite3_stmt* stmt = nullptr;
    ~StatementHolder() { sqlite3_finalize(stmt); }
};

bool OnlyBlanksAndSemicolons(const char* tail) {
    for (; tail && *tail; ++tail)
        if (*tail != ';' && !std::isspace(static_cast<unsigned char>(*tail))) return false;
    return true;
}

std::string Upper(std::string s) { return plat::UpperCase(std::move(s)); }

}  // namespace

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file) : file_(file) {
    Open();
    RegisterFunctions();
    SetDialect(SqlDialect(ReadCatalogue(), SqlTarget::SQLite));
    InstallGuard();
}

SqliteDatabase::~SqliteDatabase() {
    for (auto& [text, stmt] : prepared_) sqlite3_finalize(stmt);
    sqlite3_close_v2(db_);
}

void SqliteDatabase::Open() {
    std::error_code ec;
    bool exists = std::filesystem::is_regular_file(file_, ec);
    if (ec) throw SqlError("database file " + file_.string() + " cannot be reached: " + ec.message());
    if (!exists) throw SqlError("database file not found: " + file_.string());
    // One lock per statement (QueryNative) instead of SQLite's lock on every
    // column read: a long answer reads millions of columns.
    int rc = sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw SqlError("cannot open database " + file_.string() + ": " + message);
    }
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_exec(db_, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
    // No statement of the service registers a tokenizer; the allow-list
    // refuses the function as well.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_progress_handler(db_, 1000, PastDeadline, &deadline_);
}

void SqliteDatabase::RegisterFunctions() {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    static int leftTag = 1;
    sqlite3_create_function(db_, "LEN", 1, flags, nullptr, SqlLen, nullptr, nullptr);
    sqlite3_create_function(db_, "SS_LEFT", 2, flags, &leftTag, SqlLeftRight, nullptr, nullptr);
    sqlite3_create_function(db_, "SS_RIGHT", 2, flags, nullptr, SqlLeftRight, nullptr, nullptr);
    sqlite3_create_function(db_, "CHARINDEX", 2, flags, nullptr, SqlCharIndex, nullptr, nullptr);
}

ColumnCatalogue SqliteDatabase::ReadCatalogue() {
    ColumnCatalogue catalogue;
    ResultTable tables = QueryNative("SELECT name FROM sqlite_schema WHERE type = 'table'");
    for (const auto& row : tables.rows) {
        std::string table = row[0].ToString();
        ResultTable columns = QueryNative("SELECT name, type FROM pragma_table_info(?1)", {table});
        for (const auto& column : columns.rows)
            catalogue.Add(table, column[0].ToString(), ColumnCatalogue::KindOfDeclaredType(column[1].ToString()));
    }
    if (tables.rows.empty()) throw SqlError("not a company database (no tables): " + file_.string());
    return catalogue;
}

void SqliteDatabase::InstallGuard() { sqlite3_set_authorizer(db_, AuthorizeReadOnly, &deniedFunction_); }

namespace {
constexpr size_t kPreparedLimit = 64;
}

// A statement for the text, prepared now or taken out of prepared_; throws
// as the guard refuses. The caller hands it back through Release.
sqlite3_stmt* SqliteDatabase::Prepare(const std::string& sqliteText) {
    auto kept = prepared_.find(sqliteText);
    if (kept != prepared_.end()) {
        sqlite3_stmt* stmt = kept->second;
        prepared_.erase(kept);
        return stmt;
    }
    StatementHolder holder;
    const char* tail = nullptr;
    deniedFunction_.clear();
    int rc = sqlite3_prepare_v2(db_, sqliteText.c_str(), static_cast<int>(sqliteText.size()), &holder.stmt, &tail);
    if (rc != SQLITE_OK && !deniedFunction_.empty())
        throw SqlRefused("statement refused: the function " + deniedFunction_ + " is not one a listing uses");
    if (rc == SQLITE_AUTH) throw SqlRefused("statement refused: this service only reads data");
    if (rc != SQLITE_OK) throw SqlError(std::string("SQL error: ") + sqlite3_errmsg(db_) + " in: " + sqliteText);
    if (!holder.stmt) throw SqlError("empty SQL statement");
    if (!OnlyBlanksAndSemicolons(tail)) throw SqlRefused("statement refused: one statement per call");
    if (!sqlite3_stmt_readonly(holder.stmt)) throw SqlRefused("statement refused: this service only reads data");
    sqlite3_stmt* stmt = holder.stmt;
    holder.stmt = nullptr;
    return stmt;
}

// Keeps a statement that ran to its end for the next call of the same text;
// finalizes any other.
void SqliteDatabase::Release(const std::string& sqliteText, sqlite3_stmt* stmt, bool reusable) {
    if (!reusable || sqlite3_reset(stmt) != SQLITE_OK || sqlite3_clear_bindings(stmt) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return;
    }
    if (prepared_.size() >= kPreparedLimit) {
        for (auto& [text, kept] : prepared_) sqlite3_finalize(kept);
        prepared_.clear();
    }
    prepared_.emplace(sqliteText, stmt);
}

ResultTable SqliteDatabase::QueryNative(const std::string& sqliteText, const std::vector<SqlParameter>& parameters) {
    std::lock_guard lock(mutex_);
    struct Running {   // hands the statement back however the reading ends
        SqliteDatabase& db;
        const std::string& text;
        sqlite3_stmt* stmt;
        bool done = false;
        ~Running() { db.Release(text, stmt, done); }
    } running{*this, sqliteText, Prepare(sqliteText)};
    sqlite3_stmt* stmt = running.stmt;
    deadline_ = std::chrono::steady_clock::now() + TimeLimit();
    const int codePage = CodePage();
    for (size_t i = 0; i < parameters.size(); ++i) {
        const SqlParameter& p = parameters[i];
        int at = static_cast<int>(i + 1);
        int rc = p.kind == SqlParameter::Kind::Integer
                     ? sqlite3_bind_int64(stmt, at, p.number)
                     : sqlite3_bind_text(stmt, at, p.text.data(), static_cast<int>(p.text.size()), SQLITE_STATIC);
        if (rc != SQLITE_OK) throw SqlError(std::string("SQL error: ") + sqlite3_errmsg(db_) + " in: " + sqliteText);
    }

    ResultTable result;
    int rc;
    int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) result.columns.emplace_back(sqlite3_column_name(stmt, i));
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        CheckAnswerSize(result.rows.size() + 1, static_cast<size_t>(count));
        std::vector<plat::Variant> row;
        row.reserve(count);
        for (int i = 0; i < count; ++i) AppendColumnValue(row, stmt, i, codePage);
        result.rows.push_back(std::move(row));
    }
    if (rc == SQLITE_INTERRUPT) throw SqlError(TimeLimitText());
    if (rc != SQLITE_DONE) throw SqlError(std::string("SQL error: ") + sqlite3_errmsg(db_));
    running.done = true;
    return result;
}

std::filesystem::path DatabaseFile(const std::filesystem::path& folder, const std::string& name) {
    if (!IsPlainDatabaseName(name)) throw SqlError("invalid database name: \"" + name + "\"");
    std::filesystem::path exact = folder / (name + ".db");
    std::error_code ec;
    if (std::filesystem::is_regular_file(exact, ec)) return exact;
    std::error_code listing;
    std::filesystem::directory_iterator entries(folder, listing);
    if (listing)
        throw SqlError("database " + name + " cannot be opened: the data folder " + folder.string() +
                       " cannot be read (" + listing.message() + ")");
    for (; entries != std::filesystem::directory_iterator(); entries.increment(listing)) {
        if (listing) break;
        const std::filesystem::path& path = entries->path();
        if (path.extension() == ".db" && Upper(path.stem().string()) == Upper(name)) return path;
    }
    if (ec) throw SqlError("database " + name + " cannot be opened: " + exact.string() + ": " + ec.message());
    throw SqlError("database " + name + " does not exist");
}

std::unique_ptr<CompanyDatabase> SqliteFolder::Open(const std::string& name) {
    auto db = std::make_unique<SqliteDatabase>(DatabaseFile(folder_, name));
    db->SetTimeLimit(TimeLimit());
    db->SetCodePage(CodePage());
    return db;
}

}  // namespace server
