// Company databases on a PostgreSQL server, reached through libpq: one
// PostgreSQL database holds the company databases of an installation, each
// as a schema of its own whose name is the company database name in lower
// case (PRTest65 → schema prtest65), created by PostgresSchema.h. A
// connection per company database puts its schema first on the search path,
// so that "$$COPTC" and "COPTC" both mean that company's table.
//
// Reading only: a statement must be a single SELECT (or WITH ... / VALUES)
// statement, and it runs in a READ ONLY transaction that is always rolled
// back, so neither a data-changing statement nor a setting changed through a
// function survives it; PostgreSQL's refusal inside the read-only
// transaction (SQLSTATE 25006) is reported as SqlRefused. The time limit of
// a statement is the session's statement_timeout. The service should
// still connect as a role that may only read (SELECT on the company schemas):
// a superuser could call server functions that reach outside the database.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CompanyDatabase.h"

struct pg_conn;
struct pg_result;

namespace server {

// Where the server is and who signs on.
struct PostgresSettings {
    std::string host = "127.0.0.1";
    int port = 5432;
    std::string database = "tamber";   // the PostgreSQL database holding the company schemas
    std::string user;
    std::string password;
    int connectTimeout = 30;           // seconds

    // A libpq connection string with every value quoted.
    std::string ConnectionInfo() const;
    // "host:port/database" (for messages; never the password).
    std::string Address() const;
    // The settings a libpq connection string gives (host, port, dbname,
    // user, password, connect_timeout); SqlError when it does not parse.
    static PostgresSettings FromConnectionInfo(const std::string& connectionInfo);
};

// Reads "host[:port][/database]" into `settings` (the parts given); false
// when the text is not of that shape.
bool ParsePostgresServerName(const std::string& serverName, PostgresSettings& settings);

// The schema a company database name stands for (lower case).
std::string PostgresSchemaName(const std::string& databaseName);

// One libpq connection, closed with the object. Throws SqlError when it
// cannot connect.
class PgConnection {
public:
    explicit PgConnection(const std::string& connectionInfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Runs text (several statements allowed) and throws SqlError on failure.
    void Exec(const std::string& sql);
    // Runs one statement with text parameters $1, $2, ...; answers the rows
    // as texts (Null never appears: NULL reads as an empty text).
    std::vector<std::vector<std::string>> Rows(const std::string& sql, const std::vector<std::string>& parameters = {});
    // Starts "COPY table (columns) FROM STDIN", sends `data` (COPY text
    // format) and ends it.
    void CopyIn(const std::string& copyStatement, const std::string& data);

    pg_conn* Handle() { return conn_; }
    // Reconnects when the server dropped the connection; false when that fails.
    bool EnsureConnected();

private:
    pg_conn* conn_ = nullptr;
};

class PostgresDatabase : public CompanyDatabase {
public:
    // Connects and checks that the company schema exists; SqlError otherwise.
    PostgresDatabase(const PostgresSettings& settings, const std::string& name);

    using CompanyDatabase::QueryNative;
    // PostgreSQL text with its parameters $1, $2, ... given in order: a text
    // of no stated type (the server types it as it would the literal), a
    // number as int4 (the type of a whole literal within 32 bits).
    ResultTable QueryNative(const std::string& postgresText, const std::vector<SqlParameter>& parameters) override;
    std::string Location() const override { return location_; }

protected:
    void TimeLimitChanged() override;

private:
    void UseSchema();
    ColumnCatalogue ReadCatalogue();

    std::string schema_;
    std::string location_;
    std::mutex mutex_;
    PgConnection connection_;
};

// The company databases (schemas) of one PostgreSQL database.
class PostgresServer : public DatabaseSource {
public:
    explicit PostgresServer(PostgresSettings settings) : settings_(std::move(settings)) {}
    std::unique_ptr<CompanyDatabase> Open(const std::string& name) override;
    std::string Describe() const override { return "PostgreSQL " + settings_.Address(); }
    const PostgresSettings& Settings() const { return settings_; }

private:
    PostgresSettings settings_;
};

}  // namespace server
