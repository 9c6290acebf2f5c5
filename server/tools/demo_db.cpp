// ortk-demo-db: writes the demo company database.
//
//   ortk-demo-db [--out FILE] [--company NAME] [--orders N] [--seed S] [--empty]
//   ortk-demo-db --postgres CONNECTION [--database NAME] [--company NAME] [--orders N] [--seed S] [--empty]
//
// FILE defaults to "<company>.db" in the current folder, so that the file
// name is the database name the services look for. With --postgres the
// company database is the schema NAME (default: the company) of the
// PostgreSQL database that the libpq connection string CONNECTION names
// ("host=127.0.0.1 port=5432 dbname=tamber user=... password=..."), replaced
// when it exists. --orders adds N order lines (with their downstream
// documents) to the showcase orders; --empty writes the schema only.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "DemoData.h"
#include "SqlError.h"

namespace {

int Usage() {
    std::cerr << "usage: ortk-demo-db [--out FILE] [--company NAME] [--orders N] [--seed S] [--empty]\n"
                 "       ortk-demo-db --postgres CONNECTION [--database NAME] [--company NAME] [--orders N] [--seed S]"
                 " [--empty]\n";
    return 2;
}

bool ParseNumber(const char* text, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return end && *end == '\0' && out >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    server::DemoOptions options;
    std::string out, postgres, database;
    bool empty = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        long long number = 0;
        if (arg == "--out" && hasValue) out = argv[++i];
        else if (arg == "--company" && hasValue) options.company = argv[++i];
        else if (arg == "--postgres" && hasValue) postgres = argv[++i];
        else if (arg == "--database" && hasValue) database = argv[++i];
        else if (arg == "--orders" && hasValue && ParseNumber(argv[i + 1], number)) options.orderLines = static_cast<long>(number), ++i;
        else if (arg == "--seed" && hasValue && ParseNumber(argv[i + 1], number)) options.seed = static_cast<uint64_t>(number), ++i;
        else if (arg == "--empty") empty = true;
        else return Usage();
    }
    if (!postgres.empty() && !out.empty()) return Usage();
    if (postgres.empty() && !database.empty()) return Usage();
    if (out.empty()) out = options.company + ".db";
    if (database.empty()) database = options.company;
    try {
        if (!postgres.empty()) {
            server::PostgresSettings settings = server::PostgresSettings::FromConnectionInfo(postgres);
            std::string where = "PostgreSQL " + settings.Address() + " schema " + server::PostgresSchemaName(database);
            if (empty) {
                server::CreateEmptyDatabase(settings, database);
                std::cout << where << ": empty schema written\n";
                return 0;
            }
            server::DemoReport report = server::CreateDemoDatabase(settings, database, options);
            std::cout << where << ": " << report.orderLines << " order lines, " << report.rows << " rows in "
                      << report.seconds << " s\n";
            return 0;
        }
        if (empty) {
            server::CreateEmptyDatabase(out);
            std::cout << out << ": empty schema written\n";
            return 0;
        }
        server::DemoReport report = server::CreateDemoDatabase(out, options);
        std::cout << out << ": " << report.orderLines << " order lines, " << report.rows << " rows in "
                  << report.seconds << " s\n";
    } catch (const server::SqlError& e) {
        std::cerr << "ortk-demo-db: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
