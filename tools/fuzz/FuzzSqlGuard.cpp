// Fuzz target: the "SimpleSQL" path of one statement on SQLite — the SQL
// Server dialect translated (for SQLite, and for PostgreSQL as text only),
// then run on the read-only connection of a demo company database with its
// guard (authorizer and function allow-list, one statement, time limit).
// Whatever the input, it is refused or it reads: the database file stays
// as it was and no file appears beside it. Failures other than SqlError,
// and crashes, are findings.
#include <sys/stat.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "DemoData.h"
#include "SqlDialect.h"
#include "SqlError.h"
#include "SqliteDatabase.h"

namespace {

struct Fixture {
    std::filesystem::path folder;
    std::filesystem::path file;
    std::unique_ptr<server::SqliteDatabase> db;
    std::unique_ptr<server::SqlDialect> postgres;
    struct stat before {};
    size_t entries = 0;
};

Fixture* fixture = nullptr;

size_t CountEntries(const std::filesystem::path& folder) {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++n;
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fixture = new Fixture;
    char pattern[] = "/tmp/ortk-fuzz-sql.XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    fixture->folder = pattern;
    fixture->file = fixture->folder / "PRTest65.db";
    server::DemoOptions options;
    server::CreateDemoDatabase(fixture->file, options);
    fixture->db = std::make_unique<server::SqliteDatabase>(fixture->file);
    // Short, so that a statement that would run for long costs little.
    fixture->db->SetTimeLimit(std::chrono::milliseconds(200));
    fixture->postgres = std::make_unique<server::SqlDialect>(fixture->db->Dialect().Catalogue(),
                                                             server::SqlTarget::PostgreSQL);
    if (stat(fixture->file.c_str(), &fixture->before) != 0) std::abort();
    fixture->entries = CountEntries(fixture->folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string sql(reinterpret_cast<const char*>(data), size);
    try {
        (void)server::Inspect(sql);
    } catch (const server::SqlError&) {
    }
    try {
        (void)fixture->postgres->Translate(sql);
    } catch (const server::SqlError&) {
    }
    try {
        (void)fixture->db->Query(sql);
    } catch (const server::SqlError&) {
        // refused, or not a statement this database can run
    }
    struct stat after {};
    if (stat(fixture->file.c_str(), &after) != 0 || after.st_size != fixture->before.st_size ||
        after.st_mtim.tv_sec != fixture->before.st_mtim.tv_sec ||
        after.st_mtim.tv_nsec != fixture->before.st_mtim.tv_nsec)
        std::abort();   // the database file changed
    if (CountEntries(fixture->folder) != fixture->entries) std::abort();   // a file appeared (ATTACH, journal)
    return 0;
}
