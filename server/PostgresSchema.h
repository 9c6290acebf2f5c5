// The company schema on PostgreSQL, from the one schema definition
// (server/schema.sql, written for SQLite) by a small translation:
//   CHAR(n) COLLATE RTRIM               → char(n) COLLATE "C": blank-padded,
//                                         compared without trailing blanks
//   VARCHAR(n)/NVARCHAR(n) COLLATE RTRIM → bpchar COLLATE "C": stored as
//                                         given, compared without trailing
//                                         blanks (SQLite does not enforce the
//                                         width either)
//   TEXT                                → text COLLATE "C"
//   index on (A || B) COLLATE RTRIM     → the dialect's concatenation
//                                         (PostgresConcatenation), so that
//                                         "(A + B)" in a statement uses it
//   PRAGMA lines                        → dropped
// "C" orders by bytes, as SQLite's RTRIM collation does. Any other COLLATE or
// "||" left over is an error, so that a schema change the translation does
// not know is noticed at once.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "PostgresDatabase.h"

namespace server {

struct PostgresDdl {
    std::vector<std::string> tables;   // CREATE TABLE statements
    std::vector<std::string> indexes;  // CREATE INDEX statements
    std::vector<std::string> rows;     // INSERT statements of the schema's own rows, as they stand
};

// Translates the SQLite schema text; SqlError for a construct it does not know.
PostgresDdl TranslateSchemaToPostgres(const std::string& sqliteSchema);

// Creates (replacing) the company database `name` as a schema on the server
// of `settings` and copies every row of the SQLite company database `rows`
// into it in rowid order (only the schema's own rows, such as the data
// dictionary, when `rows` is empty), then indexes and
// analyses it; all in one transaction, so readers see the old or the new
// database. Answers the number of rows copied.
long LoadPostgresCompany(const PostgresSettings& settings, const std::string& name,
                         const std::filesystem::path& rows = {});

}  // namespace server
