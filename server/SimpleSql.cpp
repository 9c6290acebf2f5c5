// SimpleSqlService: parameter shapes of the "SimpleSQL" and "UnitConvert"
// methods, choice of the company database, mapping of result columns to the
// caller's field list, the answer as variant arrays, and the call trace.
#include "SimpleSql.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "SqlError.h"
#include "StrUtils.h"

namespace server {

namespace {

// Element i of a 0-based parameter array as text; empty when absent.
std::string Element(const plat::Variant& array, int i) {
    if (!array.IsArray()) return {};
    const plat::VarArray& a = array.Array();
    if (i < a.LowBound() || i > a.HighBound()) return {};
    const plat::Variant& v = a.At(i);
    return v.IsEmptyOrNull() ? std::string() : v.ToString();
}

int ElementCount(const plat::Variant& array) { return array.IsArray() ? array.Array().Count() : 0; }

// "COPTC.TC001 " → "TC001"; brackets and quotes dropped.
std::string FieldName(std::string piece) {
    piece = plat::Trim(piece);
    size_t dot = piece.rfind('.');
    if (dot != std::string::npos) piece = piece.substr(dot + 1);
    if (piece.size() >= 2 && (piece.front() == '[' || piece.front() == '"')) piece = piece.substr(1, piece.size() - 2);
    return plat::UpperCase(piece);
}

std::vector<std::string> SplitFields(const std::string& fieldList) {
    std::vector<std::string> names;
    std::stringstream in(fieldList);
    std::string piece;
    while (std::getline(in, piece, ','))
        if (!plat::Trim(piece).empty()) names.push_back(FieldName(piece));
    return names;
}

// For each field-list name, the result column it reads (see SimpleSql's contract).
std::vector<int> ColumnsForFields(const std::vector<std::string>& fields, const std::vector<std::string>& columns) {
    std::vector<int> picks;
    if (fields.empty()) {
        for (size_t i = 0; i < columns.size(); ++i) picks.push_back(static_cast<int>(i));
        return picks;
    }
    std::map<std::string, std::vector<int>> byName;
    for (size_t i = 0; i < columns.size(); ++i) byName[plat::UpperCase(columns[i])].push_back(static_cast<int>(i));
    std::map<std::string, size_t> used;
    for (size_t f = 0; f < fields.size(); ++f) {
        auto it = byName.find(fields[f]);
        if (it != byName.end()) {
            size_t n = used[fields[f]]++;
            picks.push_back(it->second[std::min(n, it->second.size() - 1)]);
        } else if (f < columns.size()) {
            picks.push_back(static_cast<int>(f));
        } else {
            throw SqlError("field " + fields[f] + " is not selected by the statement");
        }
    }
    return picks;
}

// The rows of `table` with the picked columns, in pick order. The table's
// values are moved into the answer; a column picked more than once is
// copied for all but its last pick. When the field list picks every column
// in select order (the usual case), each row's values become the row's
// array as they are.
plat::Variant RowsAnswer(ResultTable&& table, const std::vector<int>& picks) {
    if (table.rows.empty()) return {};
    bool inOrder = picks.size() == table.columns.size();   // every column once, in select order
    for (size_t f = 0; inOrder && f < picks.size(); ++f) inOrder = picks[f] == static_cast<int>(f);
    for (size_t r = 0; inOrder && r < table.rows.size(); ++r) inOrder = table.rows[r].size() == picks.size();
    if (inOrder) {
        plat::VarArray rows(0, static_cast<int>(table.rows.size()) - 1);
        for (size_t r = 0; r < table.rows.size(); ++r)
            rows.At(static_cast<int>(r)) = plat::Variant(plat::VarArray::Of(std::move(table.rows[r])));
        return plat::Variant(std::move(rows));
    }
    std::vector<bool> lastPick(picks.size(), true);
    for (size_t f = 0; f < picks.size(); ++f)
        for (size_t later = f + 1; later < picks.size() && lastPick[f]; ++later) lastPick[f] = picks[later] != picks[f];
    plat::VarArray rows(0, static_cast<int>(table.rows.size()) - 1);
    for (size_t r = 0; r < table.rows.size(); ++r) {
        std::vector<plat::Variant>& values = table.rows[r];
        plat::VarArray row(0, static_cast<int>(picks.size()) - 1);
        for (size_t f = 0; f < picks.size(); ++f) {
            plat::Variant& value = values[static_cast<size_t>(picks[f])];
            if (lastPick[f]) row.At(static_cast<int>(f)) = std::move(value);
            else row.At(static_cast<int>(f)) = value;
        }
        values.clear();
        rows.At(static_cast<int>(r)) = plat::Variant(std::move(row));
    }
    return plat::Variant(std::move(rows));
}

double ToNumber(const plat::Variant& v, const char* what) {
    try {
        return v.ToDouble();
    } catch (const plat::Exception&) {
        throw SqlError(std::string("UnitConvert: ") + what + " is not a number");
    }
}

std::string Now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    std::ostringstream out;
    out << std::put_time(&tm, "%Y-%m-%d %H:%M:%S");
    return out.str();
}

std::string OneLine(std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    std::replace(s.begin(), s.end(), '\r', ' ');
    std::replace(s.begin(), s.end(), '\t', ' ');
    return s;
}

}  // namespace

SimpleSqlService::SimpleSqlService(std::filesystem::path dataFolder)
    : source_(std::make_unique<SqliteFolder>(std::move(dataFolder))) {}

SimpleSqlService::SimpleSqlService(std::unique_ptr<DatabaseSource> source) : source_(std::move(source)) {}

CompanyDatabase& SimpleSqlService::Database(const std::string& name) {
    std::lock_guard lock(mutex_);
    std::string key = plat::UpperCase(name);
    auto it = databases_.find(key);
    if (it == databases_.end()) {
        if (!IsPlainDatabaseName(name)) throw SqlError("invalid database name: \"" + name + "\"");
        it = databases_.emplace(key, source_->Open(name)).first;
    }
    return *it->second;
}

std::string SimpleSqlService::DatabaseOf(const plat::Variant& params, const plat::Variant& context,
                                         size_t nameElement) const {
    std::string name = nameElement ? plat::Trim(Element(params, static_cast<int>(nameElement))) : std::string();
    if (name.empty()) name = plat::Trim(Element(context, 1));
    if (name.empty()) throw SqlError("no database named in the call");
    return name;
}

plat::Variant SimpleSqlService::Call(const std::string& method, const plat::Variant& params,
                                     const plat::Variant& context) {
    std::string m = plat::UpperCase(method);
    if (m == "SIMPLESQL") return SimpleSql(params, context);
    if (m == "UNITCONVERT") return UnitConvert(params, context);
    throw SqlError("unknown server method: " + method);
}

plat::Variant SimpleSqlService::SimpleSql(const plat::Variant& params, const plat::Variant& context) {
    int count = ElementCount(params);
    if (count < 2) throw SqlError("SimpleSQL expects [SQL, field list] or [SQL, field list, database, flag]");
    std::string sql = Element(params, 0), fields = Element(params, 1);
    std::string database = DatabaseOf(params, context, count >= 3 ? 2 : 0);
    auto start = std::chrono::steady_clock::now();
    try {
        ResultTable table = Database(database).Query(sql);
        const size_t rowCount = table.rows.size();
        std::vector<int> picks = ColumnsForFields(SplitFields(fields), table.columns);
        plat::Variant answer = RowsAnswer(std::move(table), picks);
        Trace("SimpleSQL", database, "rows=" + std::to_string(rowCount),
              std::chrono::steady_clock::now() - start, fields, sql);
        return answer;
    } catch (const SqlError& e) {
        Trace("SimpleSQL", database, std::string("error=") + e.what(), std::chrono::steady_clock::now() - start,
              fields, sql);
        throw;
    }
}

double SimpleSqlService::StockFactor(CompanyDatabase& db, const std::string& item, const std::string& stockUnit,
                                     const std::string& unit) {
    if (unit == stockUnit) return 1.0;
    ResultTable own = db.Query("SELECT MD003, MD004 FROM $$INVMD WHERE MD001 = " + plat::QuotedStr(item) +
                               " AND MD002 = " + plat::QuotedStr(unit));
    if (own.rows.empty())
        own = db.Query("SELECT MD003, MD004 FROM $$INVMD WHERE MD001 = '' AND MD002 = " + plat::QuotedStr(unit) +
                       " AND MD005 = " + plat::QuotedStr(stockUnit));
    if (own.rows.empty()) return 0.0;
    // An answer row holds exactly the columns its SELECT names (two here).
    double numerator = own.rows[0][0].ToDouble(), denominator = own.rows[0][1].ToDouble();
    return denominator == 0.0 ? 0.0 : numerator / denominator;
}

plat::Variant SimpleSqlService::UnitConvert(const plat::Variant& params, const plat::Variant& context) {
    if (ElementCount(params) < 4) throw SqlError("UnitConvert expects [item, quantity, from unit, to unit]");
    std::string item = plat::TrimPadding(Element(params, 0)), from = plat::TrimPadding(Element(params, 2)), to = plat::TrimPadding(Element(params, 3));
    double quantity = ToNumber(params.Array().At(1), "the quantity");
    std::string database = DatabaseOf(params, context, 0);
    auto start = std::chrono::steady_clock::now();
    std::string request = item + " " + plat::FloatToStr(quantity) + " " + from + " -> " + to;
    try {
        double result = quantity;
        if (from != to) {
            CompanyDatabase& db = Database(database);
            ResultTable stock = db.Query("SELECT MB004 FROM $$INVMB WHERE MB001 = " + plat::QuotedStr(item));
            if (stock.rows.empty()) throw SqlError("UnitConvert: item " + item + " does not exist");
            std::string stockUnit = plat::TrimPadding(stock.rows[0][0].ToString());   // the SELECT's one column
            double fromFactor = StockFactor(db, item, stockUnit, from), toFactor = StockFactor(db, item, stockUnit, to);
            if (fromFactor == 0.0 || toFactor == 0.0)
                throw SqlError("UnitConvert: no conversion of item " + item + " from " + from + " to " + to);
            result = std::round(quantity * fromFactor / toFactor * 1e6) / 1e6;
        }
        Trace("UnitConvert", database, "result=" + plat::FloatToStr(result), std::chrono::steady_clock::now() - start,
              "", request);
        return plat::VarArrayOf({plat::Variant(result)});
    } catch (const SqlError& e) {
        Trace("UnitConvert", database, std::string("error=") + e.what(), std::chrono::steady_clock::now() - start, "",
              request);
        throw;
    }
}

bool SimpleSqlService::SetTraceFile(const std::filesystem::path& file) {
    std::lock_guard lock(traceMutex_);
    if (trace_.is_open()) trace_.close();
    trace_.clear();
    if (file.empty()) return true;
    trace_.open(file, std::ios::app);
    return trace_.is_open();
}

void SimpleSqlService::SetTimeLimit(std::chrono::milliseconds limit) {
    std::lock_guard lock(mutex_);
    source_->SetTimeLimit(limit);
    for (auto& [name, db] : databases_) db->SetTimeLimit(limit);
}

void SimpleSqlService::SetCodePage(int codePage) {
    std::lock_guard lock(mutex_);
    source_->SetCodePage(codePage);
    for (auto& [name, db] : databases_) db->SetCodePage(codePage);
}

void SimpleSqlService::Trace(const std::string& method, const std::string& database, const std::string& outcome,
                             std::chrono::steady_clock::duration took, const std::string& fields,
                             const std::string& sql) {
    std::lock_guard lock(traceMutex_);
    if (!trace_.is_open()) return;
    double ms = std::chrono::duration<double, std::milli>(took).count();
    trace_ << Now() << '\t' << method << '\t' << database << '\t' << OneLine(outcome) << '\t' << std::fixed
           << std::setprecision(3) << ms << "ms\t" << OneLine(fields) << '\t' << OneLine(sql) << '\n';
    trace_.flush();
}

}  // namespace server
