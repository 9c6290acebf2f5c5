// Demo business database: creates a company database file from the schema
// and fills it deterministically with customers, items, sales orders and
// every kind of document downstream of an order line, plus the system tables
// (program registry, users, user information, system parameters, currencies,
// unit conversions, message catalogue).
//
// The showcase orders (type "2201", numbers "20240100001" ...) carry the
// interesting cases, always with the same keys; DemoOptions::orderLines adds
// that many further order lines (type "2201"/"2202", numbers starting with
// "2025") with downstream documents drawn from a seeded generator. The same
// options always give the same database content, in SQLite and in
// PostgreSQL alike: the PostgreSQL company database is the SQLite one copied
// row by row into its schema (PostgresSchema.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "PostgresDatabase.h"

namespace server {

struct DemoOptions {
    std::string company = "PRTest65";
    long orderLines = 0;            // order lines added beyond the showcase orders
    uint64_t seed = 65;             // drives the added lines only
};

struct DemoReport {
    long orderLines = 0;            // all order lines written (showcase and added)
    long rows = 0;                  // all rows written
    double seconds = 0;
};

// The text of server/schema.sql, built into the library.
const char* SchemaSql();

// Creates `file` (replacing an existing one) with the empty schema.
void CreateEmptyDatabase(const std::filesystem::path& file);

// Creates `file` (replacing an existing one) with schema and demo content.
// Throws SqlError when the file cannot be written.
DemoReport CreateDemoDatabase(const std::filesystem::path& file, const DemoOptions& options = {});

// The same on a PostgreSQL server: creates (replacing) the company database
// `name` as a schema of the database `server` names.
void CreateEmptyDatabase(const PostgresSettings& server, const std::string& name);
DemoReport CreateDemoDatabase(const PostgresSettings& server, const std::string& name,
                              const DemoOptions& options = {});

}  // namespace server
