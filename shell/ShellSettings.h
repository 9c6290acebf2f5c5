// Where the host shell finds what it serves: the work folders of the client
// settings (where program modules live), the interface code page, and the
// company databases named by the server settings ("DBE Setting" of
// CorvaneS.ini): SQLite files in a data folder, or schemas on a PostgreSQL
// server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "PostgresDatabase.h"

namespace shell {

struct ShellSettings {
    std::vector<std::string> WorkFolders;
    std::string UICodePage = "936";
    std::string DatabaseType;      // "SQLITE" (the embedded default when empty) or "POSTGRESQL"
    std::string DataFolder;        // SQLITE: folder of the company databases
    server::PostgresSettings Postgres;  // POSTGRESQL: server, database, user, password, time-out
    std::string DocumentFolder;    // attached documents: the server folder's "Documents"
    std::string DefaultDatabase;   // "DatabaseName" of the server's "DBE Setting"
    int StatementTimeLimit = 30;   // seconds one statement may run ("TimeOut", 30 when not above 0)
    int DatabaseCodePage = 936;    // "DBCodePage" of the server's "CodePage": stored text that is not UTF-8
    std::string Problem;           // why the settings are unusable; empty when fine
};

// Reads the client and server settings of this installation.
//   DatabaseType=SQLITE      ServerName is the data folder (relative to the
//                            server folder); ORTK_DATA_FOLDER overrides it
//                            (handy for tests).
//   DatabaseType=POSTGRESQL  ServerName is host[:port][/database] (port 5432,
//                            database "tamber" when not given), UserName and
//                            Password (stored plain or encoded, see
//                            EncodePassword) sign on, TimeOut bounds the
//                            connection attempt in seconds (30 when not
//                            above 0). An encoded password that does not
//                            decode is a Problem, not a failed sign-on later.
// With either type, "TimeOut" is also the time limit of every statement.
// Any other DatabaseType is a Problem.
ShellSettings LoadShellSettings();

// The company databases the settings name (settings without a Problem).
std::unique_ptr<server::DatabaseSource> DatabaseSourceOf(const ShellSettings& settings);

}  // namespace shell
