// PostgresDatabase: the libpq connection of one company schema, its
// statement guard (one reading statement, READ ONLY transaction, always
// rolled back), the column catalogue read from information_schema and the
// conversion of result values into variants.
#include "PostgresDatabase.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "SqlError.h"
#include "StrUtils.h"
#include "TextFile.h"

namespace server {

namespace {

// Type OIDs fixed by PostgreSQL's catalogue (pg_type.dat).
constexpr Oid kBoolOid = 16, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kFloat4Oid = 700, kFloat8Oid = 701,
              kNumericOid = 1700;

struct ResultHolder {
    PGresult* result = nullptr;
    explicit ResultHolder(PGresult* r) : result(r) {}
    ~ResultHolder() { PQclear(result); }
    ResultHolder(const ResultHolder&) = delete;
    ResultHolder& operator=(const ResultHolder&) = delete;
};

std::string ErrorText(PGconn* conn, PGresult* result) {
    std::string message = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
    while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back()))) message.pop_back();
    return message;
}

bool IsOk(PGresult* result) {
    ExecStatusType status = PQresultStatus(result);
    return status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_COPY_IN;
}

std::string Quote(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    return out + "'";
}

std::string Lower(std::string s) { return plat::LowerCase(std::move(s)); }

std::string Upper(std::string s) { return plat::UpperCase(std::move(s)); }

plat::Variant Integer(long long v) {
    if (v >= INT32_MIN && v <= INT32_MAX) return plat::Variant(static_cast<int32_t>(v));
    return plat::Variant(static_cast<int64_t>(v));
}

// A NUMERIC value as SQLite's NUMERIC affinity keeps it: an integer when it
// has no fraction (and fits), a double otherwise.
plat::Variant NumericValue(const char* text) {
    std::string s(text);
    size_t dot = s.find('.');
    bool integral = s.find_first_of("eEN") == std::string::npos &&
                    (dot == std::string::npos || s.find_first_not_of('0', dot + 1) == std::string::npos);
    if (integral) {
        std::string whole = s.substr(0, dot);
        errno = 0;
        char* end = nullptr;
        long long v = std::strtoll(whole.c_str(), &end, 10);
        if (errno == 0 && end && *end == '\0' && !whole.empty()) return Integer(v);
    }
    return plat::Variant(std::strtod(text, nullptr));
}

plat::Variant ColumnValue(PGresult* result, int row, int column, int codePage) {
    if (PQgetisnull(result, row, column)) return plat::Variant::Null();
    const char* text = PQgetvalue(result, row, column);
    switch (PQftype(result, column)) {
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
        return Integer(std::strtoll(text, nullptr, 10));
    case kFloat4Oid:
    case kFloat8Oid:
        return plat::Variant(std::strtod(text, nullptr));
    case kNumericOid:
        return NumericValue(text);
    case kBoolOid:  // as SQLite answers a comparison
        return plat::Variant(static_cast<int32_t>(text[0] == 't' ? 1 : 0));
    default: {
        // A database created as SQL_ASCII hands stored bytes on unchecked.
        std::string value(text, static_cast<size_t>(PQgetlength(result, row, column)));
        if (!plat::IsValidUtf8(value)) value = plat::StoredTextToUtf8(value, codePage);
        return plat::Variant(std::move(value));
    }
    }
}

bool IsReadingKeyword(const std::string& keyword) {
    return keyword == "SELECT" || keyword == "WITH" || keyword == "VALUES";
}

}  // namespace

// ------------------------------------------------------------- settings

std::string PostgresSettings::ConnectionInfo() const {
    std::string info = "host=" + Quote(host) + " port=" + std::to_string(port) + " dbname=" + Quote(database) +
                       " connect_timeout=" + std::to_string(connectTimeout > 0 ? connectTimeout : 30) +
                       " client_encoding='UTF8' application_name='ortk-simplesql'";
    if (!user.empty()) info += " user=" + Quote(user);
    if (!password.empty()) info += " password=" + Quote(password);
    return info;
}

std::string PostgresSettings::Address() const { return host + ":" + std::to_string(port) + "/" + database; }

PostgresSettings PostgresSettings::FromConnectionInfo(const std::string& connectionInfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connectionInfo.c_str(), &error);
    if (!options) {
        std::string message = error ? error : "out of memory";
        PQfreemem(error);
        throw SqlError("PostgreSQL connection string: " + message);
    }
    PostgresSettings settings;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val) continue;
        std::string key = o->keyword, value = o->val;
        if (key == "host" || key == "hostaddr") settings.host = value;
        else if (key == "port") settings.port = std::atoi(value.c_str());
        else if (key == "dbname") settings.database = value;
        else if (key == "user") settings.user = value;
        else if (key == "password") settings.password = value;
        else if (key == "connect_timeout") settings.connectTimeout = std::atoi(value.c_str());
    }
    PQconninfoFree(options);
    return settings;
}

bool ParsePostgresServerName(const std::string& serverName, PostgresSettings& settings) {
    std::string rest = serverName;
    size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        std::string database = rest.substr(slash + 1);
        if (database.empty()) return false;
        settings.database = database;
        rest = rest.substr(0, slash);
    }
    size_t colon = rest.rfind(':');
    if (colon != std::string::npos) {
        std::string port = rest.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return false;
        int number = std::atoi(port.c_str());
        if (number < 1 || number > 65535) return false;
        settings.port = number;
        rest = rest.substr(0, colon);
    }
    if (rest.empty()) return false;
    settings.host = rest;
    return true;
}

std::string PostgresSchemaName(const std::string& databaseName) { return Lower(databaseName); }

// ------------------------------------------------------------- connection

PgConnection::PgConnection(const std::string& connectionInfo) {
    conn_ = PQconnectdb(connectionInfo.c_str());
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        std::string message = conn_ ? ErrorText(conn_, nullptr) : "out of memory";
        PQfinish(conn_);
        conn_ = nullptr;
        throw SqlError("cannot connect to PostgreSQL: " + message);
    }
}

PgConnection::~PgConnection() { PQfinish(conn_); }

bool PgConnection::EnsureConnected() {
    if (PQstatus(conn_) == CONNECTION_OK) return true;
    PQreset(conn_);
    return PQstatus(conn_) == CONNECTION_OK;
}

void PgConnection::Exec(const std::string& sql) {
    ResultHolder r(PQexec(conn_, sql.c_str()));
    if (!IsOk(r.result)) throw SqlError("PostgreSQL: " + ErrorText(conn_, r.result));
}

std::vector<std::vector<std::string>> PgConnection::Rows(const std::string& sql,
                                                         const std::vector<std::string>& parameters) {
    std::vector<const char*> values;
    for (const std::string& p : parameters) values.push_back(p.c_str());
    ResultHolder r(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                                nullptr, 0));
    if (!IsOk(r.result)) throw SqlError("PostgreSQL: " + ErrorText(conn_, r.result));
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < PQntuples(r.result); ++i) {
        std::vector<std::string> row;
        for (int j = 0; j < PQnfields(r.result); ++j) row.emplace_back(PQgetvalue(r.result, i, j));
        rows.push_back(std::move(row));
    }
    return rows;
}

void PgConnection::CopyIn(const std::string& copyStatement, const std::string& data) {
    {
        ResultHolder r(PQexec(conn_, copyStatement.c_str()));
        if (PQresultStatus(r.result) != PGRES_COPY_IN) throw SqlError("PostgreSQL: " + ErrorText(conn_, r.result));
    }
    constexpr size_t kChunk = 1 << 20;
    for (size_t at = 0; at < data.size(); at += kChunk) {
        size_t n = std::min(kChunk, data.size() - at);
        if (PQputCopyData(conn_, data.data() + at, static_cast<int>(n)) != 1)
            throw SqlError("PostgreSQL COPY: " + ErrorText(conn_, nullptr));
    }
    if (PQputCopyEnd(conn_, nullptr) != 1) throw SqlError("PostgreSQL COPY: " + ErrorText(conn_, nullptr));
    bool failed = false;
    std::string message;
    while (PGresult* result = PQgetResult(conn_)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            failed = true;
            message = ErrorText(conn_, result);
        }
        PQclear(result);
    }
    if (failed) throw SqlError("PostgreSQL COPY: " + message);
}

// ------------------------------------------------------------- company database

PostgresDatabase::PostgresDatabase(const PostgresSettings& settings, const std::string& name)
    : schema_(PostgresSchemaName(name)),
      location_("postgresql://" + settings.Address() + " schema " + PostgresSchemaName(name)),
      connection_(settings.ConnectionInfo()) {
    if (!IsPlainDatabaseName(name)) throw SqlError("invalid database name: \"" + name + "\"");
    if (connection_.Rows("SELECT 1 FROM pg_namespace WHERE nspname = $1", {schema_}).empty())
        throw SqlError("database " + name + " does not exist");
    UseSchema();
    SetDialect(SqlDialect(ReadCatalogue(), SqlTarget::PostgreSQL));
}

void PostgresDatabase::UseSchema() {
    connection_.Rows("SELECT set_config('search_path', quote_ident($1), false)", {schema_});
    connection_.Exec("SET default_transaction_read_only = on");
    connection_.Rows("SELECT set_config('statement_timeout', $1, false)", {std::to_string(TimeLimit().count())});
}

// The server ends a statement past the limit itself (SQLSTATE 57014).
void PostgresDatabase::TimeLimitChanged() {
    std::lock_guard lock(mutex_);
    if (connection_.EnsureConnected())
        connection_.Rows("SELECT set_config('statement_timeout', $1, false)", {std::to_string(TimeLimit().count())});
}

ColumnCatalogue PostgresDatabase::ReadCatalogue() {
    ColumnCatalogue catalogue;
    auto columns = connection_.Rows(
        "SELECT table_name, column_name, data_type FROM information_schema.columns WHERE table_schema = $1", {schema_});
    if (columns.empty()) throw SqlError("not a company database (no tables): " + location_);
    for (const auto& c : columns) catalogue.Add(c[0], c[1], ColumnCatalogue::KindOfDeclaredType(c[2]));
    return catalogue;
}

ResultTable PostgresDatabase::QueryNative(const std::string& postgresText,
                                          const std::vector<SqlParameter>& parameters) {
    StatementOutline outline = Inspect(postgresText);
    if (outline.severalStatements) throw SqlRefused("statement refused: one statement per call");
    if (!IsReadingKeyword(outline.firstKeyword)) throw SqlRefused("statement refused: this service only reads data");

    std::lock_guard lock(mutex_);
    if (!connection_.EnsureConnected()) throw SqlError("connection to PostgreSQL lost: " + location_);
    PGconn* conn = connection_.Handle();
    if (PQtransactionStatus(conn) != PQTRANS_IDLE) connection_.Exec("ROLLBACK");
    bool reconnected = false;
    try {
        connection_.Exec("BEGIN TRANSACTION READ ONLY");
    } catch (const SqlError&) {
        // The server may have restarted since the last call: one more try on
        // a fresh connection, with the schema chosen again.
        if (!connection_.EnsureConnected()) throw;
        reconnected = true;
    }
    if (reconnected) {
        UseSchema();
        connection_.Exec("BEGIN TRANSACTION READ ONLY");
    }
    constexpr Oid kInt4 = 23, kUnknown = 0;
    std::vector<Oid> types;
    std::vector<const char*> values;
    for (const SqlParameter& p : parameters) {
        types.push_back(p.kind == SqlParameter::Kind::Integer ? kInt4 : kUnknown);
        values.push_back(p.text.c_str());
    }
    ResultHolder r(PQexecParams(conn, postgresText.c_str(), static_cast<int>(parameters.size()), types.data(),
                                values.data(), nullptr, nullptr, 0));
    ResultTable table;
    bool ok = PQresultStatus(r.result) == PGRES_TUPLES_OK;
    std::string error = ok ? std::string() : ErrorText(conn, r.result);
    const char* state = r.result ? PQresultErrorField(r.result, PG_DIAG_SQLSTATE) : nullptr;
    bool refused = state && std::string(state) == "25006";
    bool interrupted = state && std::string(state) == "57014";
    if (ok) {
        int count = PQnfields(r.result);
        CheckAnswerSize(static_cast<size_t>(PQntuples(r.result)), static_cast<size_t>(count));
        const int codePage = CodePage();
        for (int i = 0; i < count; ++i) table.columns.push_back(Upper(PQfname(r.result, i)));
        int rows = PQntuples(r.result);
        table.rows.reserve(static_cast<size_t>(rows));
        for (int i = 0; i < rows; ++i) {
            std::vector<plat::Variant> row;
            row.reserve(static_cast<size_t>(count));
            for (int j = 0; j < count; ++j) row.push_back(ColumnValue(r.result, i, j, codePage));
            table.rows.push_back(std::move(row));
        }
    } else if (PQresultStatus(r.result) == PGRES_COMMAND_OK) {
        refused = true;  // a reading keyword that ran a command (SELECT ... INTO is refused before this)
        error = "statement refused: this service only reads data";
    }
    connection_.Exec("ROLLBACK");
    if (refused) throw SqlRefused("statement refused: this service only reads data (" + error + ")");
    if (interrupted) throw SqlError(TimeLimitText());
    if (!ok) throw SqlError("SQL error: " + error + " in: " + postgresText);
    return table;
}

// ------------------------------------------------------------- source

std::unique_ptr<CompanyDatabase> PostgresServer::Open(const std::string& name) {
    auto db = std::make_unique<PostgresDatabase>(settings_, name);
    db->SetTimeLimit(TimeLimit());
    db->SetCodePage(CodePage());
    return db;
}

}  // namespace server
