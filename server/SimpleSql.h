// The server methods that program modules reach through the host's counter
// service ("GETCOUNTER"): "SimpleSQL" runs one reading statement of the
// suite's SQL Server dialect on a company database, "UnitConvert" converts a
// quantity of an item between two units. Plain C++: the host shell wraps
// these calls in its automation objects.
//
// Which database a call reads: the third parameter element when the call
// gives one ([SQL, fields, database, "N"]), otherwise element 1 of the
// context [company, database]. The database name picks the company database
// of the service's DatabaseSource: the file "<name>.db" in a data folder
// (SqliteDatabase.h) or the schema of that name on a PostgreSQL server
// (PostgresDatabase.h); names are letters, digits, "_" and "-", matched
// case-insensitively. The fourth element ("N") is accepted and has no effect
// on reading.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "CompanyDatabase.h"
#include "SqliteDatabase.h"
#include "Variant.h"

namespace server {

class SimpleSqlService {
public:
    // The SQLite company databases of a data folder.
    explicit SimpleSqlService(std::filesystem::path dataFolder);
    // The company databases of any source.
    explicit SimpleSqlService(std::unique_ptr<DatabaseSource> source);

    // Dispatches by method name, ignoring case ("SimpleSQL", "SimpleSql",
    // "UnitConvert"); SqlError for any other name.
    plat::Variant Call(const std::string& method, const plat::Variant& params, const plat::Variant& context);

    // params: [SQL text, field list] or [SQL text, field list, database, flag];
    // context: [company, database].
    // Answer: Empty when the statement found no rows; otherwise a 0-based
    // array of rows, each a 0-based array with one value per field-list name,
    // in field-list order. A field name is matched (case-insensitively,
    // without a "table." qualifier) to the result column of that name; a name
    // given twice takes the column's next occurrence, or the same column
    // again when the statement selects it once; a name the statement does not
    // select takes the column at its own position. An empty field list
    // answers every column in select order. Values: text as stored (padded
    // CHAR values keep their blanks), integers and other numbers as numbers,
    // SQL NULL as Null. Throws SqlRefused for statements that would change
    // data and SqlError for every other failure.
    plat::Variant SimpleSql(const plat::Variant& params, const plat::Variant& context);

    // params: [item, quantity, from unit, to unit]; context as above.
    // Answer: a 0-based array whose element 0 is the quantity in the target
    // unit (a double). Units convert through the item's stock unit (INVMB
    // MB004) with the item's conversions in INVMD, else the general ones (MD001
    // empty, MD005 the stock unit). SqlError when the item is unknown or no
    // conversion leads from one unit to the other; the quantity is never
    // passed on unconverted.
    plat::Variant UnitConvert(const plat::Variant& params, const plat::Variant& context);

    // Appends one line per call (time, method, database, rows or error,
    // milliseconds, field list, SQL text) to `file`; an empty path stops it.
    // False when the file cannot be opened for appending (nothing is traced).
    bool SetTraceFile(const std::filesystem::path& file);

    // How long one statement may run (see CompanyDatabase::SetTimeLimit), for
    // the databases open now and those opened later.
    void SetTimeLimit(std::chrono::milliseconds limit);
    // The code page of stored text that is not UTF-8 (see CompanyDatabase::SetCodePage).
    void SetCodePage(int codePage);

    // The open database of that name (opened on first use).
    CompanyDatabase& Database(const std::string& name);

    DatabaseSource& Source() { return *source_; }

private:
    std::string DatabaseOf(const plat::Variant& params, const plat::Variant& context, size_t nameElement) const;
    double StockFactor(CompanyDatabase& db, const std::string& item, const std::string& stockUnit,
                       const std::string& unit);
    void Trace(const std::string& method, const std::string& database, const std::string& outcome,
               std::chrono::steady_clock::duration took, const std::string& fields, const std::string& sql);

    std::unique_ptr<DatabaseSource> source_;
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<CompanyDatabase>> databases_;
    std::mutex traceMutex_;
    std::ofstream trace_;
};

}  // namespace server
