// Providers of the application-server objects: named sources of data
// packets that client datasets open, and the writers of the changes those
// datasets send back (DataPacket.h describes both).
//
// Reading goes through the SimpleSQL service's read-only company database,
// so a provider reads with exactly the SQL meaning every other caller gets.
// Writing needs a connection that may write: each provider set opens its
// own read-write connection to the same SQLite file, used only to apply
// deltas, one transaction per delta. The "SimpleSQL" service stays
// read-only. Company databases of other sources are read, not written.
//
// Providers:
//   "pvdMain"     the program's main table: the client's statement, or with
//                 none the structure of the user's table "M11_TABLE" (no rows)
//   "pvdQuery"    the query server's body: the client's statement, read only
//   "pvdConSave"  saved condition schemes (SAVECONDITION) of the company and
//                 program
//   "pvdColor"    row colour rules (COLORRULE) of the company and program
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "Dispatch.h"
#include "SimpleSql.h"
#include "Variant.h"

struct sqlite3;

namespace server {

// Who is asking: set by the server object's log-on.
struct ProviderSession {
    std::string Program;
    std::string User;
    std::string Company;
    std::string Database;
    std::string UserInfo;   // name=value lines, as "SvrData" answers them
    // A program that only queries: no delta reaches a business table; only
    // the user's own settings (saved conditions, colour rules) are written.
    bool QueryOnly = false;
};

// A read-write connection to one company database file, for applying deltas.
class WritableDatabase {
public:
    explicit WritableDatabase(const std::filesystem::path& file);
    ~WritableDatabase();
    WritableDatabase(const WritableDatabase&) = delete;
    WritableDatabase& operator=(const WritableDatabase&) = delete;

    // Runs a statement with bound values; answers the rows it changed.
    // SqlError with SQLite's message on failure.
    int Execute(const std::string& sql, const std::vector<plat::Variant>& values);
    void Exec(const std::string& sql);   // no parameters, no answer

    struct Column {
        std::string Name;
        std::string DeclaredType;   // as written in the schema, upper-cased
        int Size = 0;               // n of CHAR(n) and the like
        bool Key = false;
    };
    // Columns of a table in their order; empty for an unknown table.
    std::vector<Column> Columns(const std::string& table);

private:
    sqlite3* db_ = nullptr;
    std::map<std::string, std::vector<Column>> columns_;
};

class ProviderSet {
public:
    explicit ProviderSet(SimpleSqlService& sql) : sql_(sql) {}

    static bool IsProvider(const std::string& name);

    // A data packet of up to `count` records (-1: all) after the first
    // `offset` of the provider's statement; field descriptions with
    // `withMetadata`. `recordsOut` := the rows in the packet.
    plat::Variant GetRecords(const std::string& provider, int count, int offset, bool withMetadata,
                             const std::string& commandText, const plat::Variant& params,
                             const ProviderSession& session, int& recordsOut);
    // Applies a delta in one transaction. More than `maxErrors` failed
    // changes (-1: any number) roll the whole delta back. Answers the error
    // list (Empty when none) and the number of failed changes. A delta of a
    // query-only session raises SqlRefused unless it is "pvdConSave"'s to
    // SAVECONDITION or "pvdColor"'s to COLORRULE; nothing is written then.
    plat::Variant ApplyUpdates(const std::string& provider, const plat::Variant& delta, int maxErrors,
                               const plat::Variant& params, const ProviderSession& session, int& errorCount);

private:
    std::string DatabaseOf(const plat::Variant& params, const ProviderSession& session) const;
    std::string Statement(const std::string& provider, const std::string& commandText,
                          const ProviderSession& session) const;
    // The read-write connection of a database; nullptr when the database is
    // not a SQLite file (other sources are read through providers only).
    WritableDatabase* Writer(const std::string& database);

    SimpleSqlService& sql_;
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<WritableDatabase>> writers_;
};

// A server object that offers providers: registers "AS_GetRecords",
// "AS_ApplyUpdates" and "AS_GetProviderNames" (see DBClientProvider.cpp for
// the calls) over `session`, which the object keeps up to date. "QueryOnly"
// (no arguments) makes every later session of the object query-only, also
// after a new log-on; nothing makes it writable again. An object created
// with `queryOnly` is so from the start.
class ProviderServer : public plat::AutomationObject {
public:
    explicit ProviderServer(SimpleSqlService& sql, bool queryOnly = false);

protected:
    ProviderSession session_;

private:
    ProviderSet providers_;
    bool queryOnly_;
};

}  // namespace server
