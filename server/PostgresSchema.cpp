// PostgresSchema: translation of the SQLite schema text into PostgreSQL DDL
// and the loader that copies a company database into its schema with COPY.
#include "PostgresSchema.h"

#include <sqlite3.h>

#include <regex>

#include "DemoData.h"
#include "SqlDialect.h"
#include "SqlError.h"
#include "StrUtils.h"

namespace server {

namespace {

// The text without "--" comments (quoted texts kept as they are).
std::string WithoutComments(const std::string& text) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            while (i < text.size() && text[i] != '\n') ++i;
            out += '\n';
            continue;
        }
        out += c;
    }
    return out;
}

std::vector<std::string> Statements(const std::string& text) {
    std::vector<std::string> statements;
    std::string current;
    bool quoted = false;
    for (char c : text) {
        if (c == '\'') quoted = !quoted;
        if (c == ';' && !quoted) {
            statements.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    statements.push_back(current);
    std::vector<std::string> trimmed;
    for (std::string& s : statements) {
        std::string statement = plat::Trim(s);
        if (!statement.empty()) trimmed.push_back(std::move(statement));
    }
    return trimmed;
}

void CheckNothingLeft(const std::string& statement) {
    std::string upper = plat::UpperCase(statement);
    if (upper.find("COLLATE RTRIM") != std::string::npos || upper.find("||") != std::string::npos)
        throw SqlError("schema translation does not know this construct: " + statement);
}

std::string TranslateTable(const std::string& statement) {
    static const std::regex fixed(R"((^|[^A-Za-z])CHAR\((\d+)\)\s+COLLATE\s+RTRIM)", std::regex::icase);
    static const std::regex varying(R"(\bN?VARCHAR\(\d+\)\s+COLLATE\s+RTRIM)", std::regex::icase);
    static const std::regex text(R"(\bTEXT\b)");
    std::string out = std::regex_replace(statement, fixed, "$1char($2) COLLATE \"C\"");
    out = std::regex_replace(out, varying, "bpchar COLLATE \"C\"");
    out = std::regex_replace(out, text, "text COLLATE \"C\"");
    CheckNothingLeft(out);
    return out;
}

std::string TranslateIndex(const std::string& statement) {
    static const std::regex chain(R"(\(\(([^()]*)\)\s+COLLATE\s+RTRIM\))", std::regex::icase);
    std::string out;
    auto begin = std::sregex_iterator(statement.begin(), statement.end(), chain);
    size_t at = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        std::vector<std::string> operands;
        std::string inner = m[1].str();
        size_t from = 0;
        while (true) {
            size_t bar = inner.find("||", from);
            std::string piece = inner.substr(from, bar == std::string::npos ? std::string::npos : bar - from);
            size_t b = piece.find_first_not_of(' ');
            if (b == std::string::npos) throw SqlError("empty operand in index: " + statement);
            operands.push_back(piece.substr(b, piece.find_last_not_of(' ') - b + 1));
            if (bar == std::string::npos) break;
            from = bar + 2;
        }
        out += statement.substr(at, static_cast<size_t>(m.position(0)) - at);
        out += "(" + PostgresConcatenation(operands) + ")";
        at = static_cast<size_t>(m.position(0) + m.length(0));
    }
    out += statement.substr(at);
    CheckNothingLeft(std::regex_replace(statement, chain, ""));
    return out;
}

std::string QuotedName(const std::string& name) { return "\"" + name + "\""; }

// Every row of `table` in rowid order in COPY text format.
std::string CopyData(sqlite3* db, const std::string& table, std::string& columnList, long& rows) {
    sqlite3_stmt* stmt = nullptr;
    std::string sql = "SELECT * FROM \"" + table + "\" ORDER BY rowid";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw SqlError(std::string("reading the company database: ") + sqlite3_errmsg(db));
    int count = sqlite3_column_count(stmt);
    columnList.clear();
    for (int i = 0; i < count; ++i) columnList += (i ? "," : "") + std::string(sqlite3_column_name(stmt, i));
    std::string data;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int i = 0; i < count; ++i) {
            if (i) data += '\t';
            if (sqlite3_column_type(stmt, i) == SQLITE_NULL) {
                data += "\\N";
                continue;
            }
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            int bytes = sqlite3_column_bytes(stmt, i);
            for (int k = 0; k < bytes; ++k) {
                switch (text[k]) {
                case '\\': data += "\\\\"; break;
                case '\t': data += "\\t"; break;
                case '\n': data += "\\n"; break;
                case '\r': data += "\\r"; break;
                default: data += text[k];
                }
            }
        }
        data += '\n';
        ++rows;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) throw SqlError(std::string("reading the company database: ") + sqlite3_errmsg(db));
    return data;
}

struct ReadConnection {
    sqlite3* db = nullptr;
    explicit ReadConnection(const std::filesystem::path& file) {
        if (!std::filesystem::is_regular_file(file)) throw SqlError("database file not found: " + file.string());
        if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            std::string message = db ? sqlite3_errmsg(db) : "out of memory";
            sqlite3_close(db);
            throw SqlError("cannot open " + file.string() + ": " + message);
        }
    }
    ~ReadConnection() { sqlite3_close(db); }
};

}  // namespace

PostgresDdl TranslateSchemaToPostgres(const std::string& sqliteSchema) {
    PostgresDdl ddl;
    for (const std::string& statement : Statements(WithoutComments(sqliteSchema))) {
        std::string head = plat::UpperCase(statement.substr(0, 12));
        if (head.rfind("PRAGMA", 0) == 0) continue;
        if (head.rfind("CREATE TABLE", 0) == 0) ddl.tables.push_back(TranslateTable(statement));
        else if (head.rfind("CREATE INDEX", 0) == 0) ddl.indexes.push_back(TranslateIndex(statement));
        else if (head.rfind("INSERT INTO", 0) == 0) ddl.rows.push_back(statement);
        else throw SqlError("schema translation does not know this statement: " + statement);
    }
    return ddl;
}

long LoadPostgresCompany(const PostgresSettings& settings, const std::string& name,
                         const std::filesystem::path& rows) {
    if (!IsPlainDatabaseName(name)) throw SqlError("invalid database name: \"" + name + "\"");
    PostgresDdl ddl = TranslateSchemaToPostgres(SchemaSql());
    std::string schema = QuotedName(PostgresSchemaName(name));
    PgConnection pg(settings.ConnectionInfo());
    pg.Exec("SET client_min_messages = warning");
    pg.Exec("BEGIN");
    pg.Exec("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    pg.Exec("CREATE SCHEMA " + schema);
    pg.Exec("SET LOCAL search_path = " + schema);
    for (const std::string& table : ddl.tables) pg.Exec(table);
    long copied = 0;
    std::vector<std::string> tables;
    // A company database copied from SQLite brings the schema's own rows
    // along (its file was made from the same schema); an empty one gets them here.
    if (rows.empty())
        for (const std::string& insert : ddl.rows) pg.Exec(insert);
    if (!rows.empty()) {
        ReadConnection source(rows);
        sqlite3_stmt* list = nullptr;
        sqlite3_prepare_v2(source.db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name",
                           -1, &list, nullptr);
        while (sqlite3_step(list) == SQLITE_ROW) tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
        sqlite3_finalize(list);
        for (const std::string& table : tables) {
            std::string columns;
            std::string data = CopyData(source.db, table, columns, copied);
            if (!data.empty()) pg.CopyIn("COPY " + table + " (" + columns + ") FROM STDIN", data);
        }
    }
    for (const std::string& index : ddl.indexes) pg.Exec(index);
    pg.Exec("COMMIT");
    for (const auto& table : pg.Rows("SELECT tablename FROM pg_tables WHERE schemaname = $1", {PostgresSchemaName(name)}))
        pg.Exec("ANALYZE " + schema + "." + QuotedName(table[0]));
    return copied;
}

}  // namespace server
