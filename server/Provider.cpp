// Providers: statements per provider, packets with typed field
// descriptions, deltas written through a read-write connection.
#include "Provider.h"

#include <sqlite3.h>

#include <algorithm>
#include <regex>

#include "DataPacket.h"
#include "SqlError.h"
#include "SqliteDatabase.h"
#include "StrUtils.h"
#include "StringList.h"

namespace server {

using plat::Args;
using plat::ArgAt;
using plat::Variant;
using plat::packet::FieldDesc;

namespace {

std::string Text(const Variant& v) {
    try {
        return v.IsEmptyOrNull() || v.IsArray() || v.IsDispatch() ? std::string() : v.ToString();
    } catch (const plat::Exception&) {
        return {};
    }
}


// A plain SQL name (letters, digits, "_"), so that it can be written into a statement.
bool PlainName(const std::string& name) {
    if (name.empty()) return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// The field type of a declared column type.
int TypeOf(const WritableDatabase::Column& c) {
    const std::string& t = c.DeclaredType;
    if (t.rfind("NCHAR", 0) == 0 || t.rfind("CHAR", 0) == 0) return plat::packet::ftFixedChar;
    if (t.rfind("NVARCHAR", 0) == 0) return plat::packet::ftWideString;
    if (t.rfind("VARCHAR", 0) == 0) return plat::packet::ftString;
    if (t == "INTEGER" || t == "INT") return plat::packet::ftInteger;
    if (t == "SMALLINT") return plat::packet::ftSmallint;
    if (t == "BIGINT") return plat::packet::ftLargeint;
    if (t.rfind("NUMERIC", 0) == 0 || t.rfind("DECIMAL", 0) == 0) return plat::packet::ftBCD;
    if (t == "REAL" || t == "FLOAT" || t == "DOUBLE") return plat::packet::ftFloat;
    if (t == "TEXT") return plat::packet::ftMemo;
    if (t == "BLOB") return plat::packet::ftBlob;
    return plat::packet::ftString;
}

int TypeOfValue(const Variant& v) {
    switch (v.Type()) {
        case plat::VarType::Int64: return plat::packet::ftLargeint;
        case plat::VarType::Integer: case plat::VarType::SmallInt: return plat::packet::ftInteger;
        case plat::VarType::Double: return plat::packet::ftFloat;
        default: return plat::packet::ftString;
    }
}

// The table after the first FROM, without "$$"; "" when there is none.
std::string TableOf(const std::string& sql) {
    static const std::regex from(R"(\bfrom\s+(?:\$\$)?([A-Za-z_][A-Za-z0-9_]*))", std::regex::icase);
    std::smatch m;
    return std::regex_search(sql, m, from) ? plat::UpperCase(m[1].str()) : std::string();
}

// Pads CHAR(n) values with blanks, as every writer of the database does.
Variant Stored(const WritableDatabase::Column& c, const Variant& v) {
    if (v.IsEmptyOrNull()) return Variant::Null();
    if (v.Type() == plat::VarType::Boolean) return Variant(int32_t(v.ToBool() ? 1 : 0));
    if (c.DeclaredType.rfind("CHAR", 0) == 0 || c.DeclaredType.rfind("NCHAR", 0) == 0)
        return Variant(plat::PadRight(Text(v), c.Size));
    return v;
}

}  // namespace

// ---- the read-write connection ----

WritableDatabase::WritableDatabase(const std::filesystem::path& file) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqlError("Cannot open " + file.string() + " for writing: " + why);
    }
    sqlite3_busy_timeout(db_, 5000);
}

WritableDatabase::~WritableDatabase() { sqlite3_close(db_); }

void WritableDatabase::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string why = error ? error : "unknown error";
        sqlite3_free(error);
        throw SqlError(why);
    }
}

int WritableDatabase::Execute(const std::string& sql, const std::vector<Variant>& values) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw SqlError(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    for (size_t i = 0; i < values.size(); ++i) {
        const Variant& v = values[i];
        int at = static_cast<int>(i + 1);
        if (v.IsEmptyOrNull()) sqlite3_bind_null(stmt, at);
        else if (v.Type() == plat::VarType::Double || v.Type() == plat::VarType::Date || v.Type() == plat::VarType::Currency)
            sqlite3_bind_double(stmt, at, v.ToDouble());
        else if (v.IsNumeric()) sqlite3_bind_int64(stmt, at, v.ToInt64());
        else {
            std::string s = Text(v);
            sqlite3_bind_text(stmt, at, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
    }
    int rc = sqlite3_step(stmt);
    std::string why = rc == SQLITE_DONE || rc == SQLITE_ROW ? std::string() : sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (!why.empty()) throw SqlError(why);
    return sqlite3_changes(db_);
}

std::vector<WritableDatabase::Column> WritableDatabase::Columns(const std::string& table) {
    std::string key = plat::UpperCase(table);
    auto it = columns_.find(key);
    if (it != columns_.end()) return it->second;
    std::vector<Column> columns;
    if (PlainName(table)) {
        sqlite3_stmt* stmt = nullptr;
        std::string sql = "PRAGMA table_info(" + table + ")";
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                Column c;
                c.Name = plat::UpperCase(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
                const unsigned char* type = sqlite3_column_text(stmt, 2);
                c.DeclaredType = plat::UpperCase(type ? reinterpret_cast<const char*>(type) : "");
                size_t open = c.DeclaredType.find('(');
                if (open != std::string::npos) {
                    try { c.Size = std::stoi(c.DeclaredType.substr(open + 1)); } catch (const std::exception&) {}
                }
                c.Key = sqlite3_column_int(stmt, 5) > 0;
                columns.push_back(c);
            }
        }
        sqlite3_finalize(stmt);
    }
    columns_[key] = columns;
    return columns;
}

// ---- providers ----

bool ProviderSet::IsProvider(const std::string& name) {
    std::string n = plat::UpperCase(name);
    return n == "PVDMAIN" || n == "PVDQUERY" || n == "PVDCONSAVE" || n == "PVDCOLOR";
}

std::string ProviderSet::DatabaseOf(const Variant& params, const ProviderSession& session) const {
    if (params.IsArray())
        for (int i = params.Array().LowBound(); i <= params.Array().HighBound(); ++i) {
            const Variant& p = params[i];
            if (p.IsArray() && p.Array().Count() >= 2 && plat::UpperCase(Text(p[p.Array().LowBound()])) == "DATABASE" &&
                !Text(p[p.Array().LowBound() + 1]).empty())
                return Text(p[p.Array().LowBound() + 1]);
        }
    if (session.Database.empty()) throw SqlError("The provider has no database: log on first");
    return session.Database;
}

std::string ProviderSet::Statement(const std::string& provider, const std::string& commandText,
                                   const ProviderSession& session) const {
    if (!plat::Trim(commandText).empty()) return commandText;
    std::string p = plat::UpperCase(provider);
    if (p == "PVDCONSAVE")
        return "SELECT * FROM $$SAVECONDITION SAVECONDITION WHERE COMPANY=" + plat::QuotedStr(session.Company) +
               " AND PROGRAMME=" + plat::QuotedStr(session.Program);
    if (p == "PVDCOLOR")
        return "SELECT * FROM $$COLORRULE COLORRULE WHERE COMPANY=" + plat::QuotedStr(session.Company) +
               " AND PROGRAMME=" + plat::QuotedStr(session.Program) + " ORDER BY SEQ";
    if (p == "PVDMAIN") {
        plat::TStringList info;
        info.SetText(session.UserInfo);
        std::string table = plat::Trim(info.Values("M11_TABLE"));
        if (PlainName(table)) return "SELECT * FROM $$" + table + " " + table + " WHERE 1=2";
    }
    return {};
}

WritableDatabase* ProviderSet::Writer(const std::string& database) {
    std::string key = plat::UpperCase(database);
    auto it = writers_.find(key);
    if (it == writers_.end()) {
        auto* file = dynamic_cast<SqliteDatabase*>(&sql_.Database(database));
        it = writers_.emplace(key, file ? std::make_unique<WritableDatabase>(file->File()) : nullptr).first;
    }
    return it->second.get();
}

Variant ProviderSet::GetRecords(const std::string& provider, int count, int offset, bool withMetadata,
                                const std::string& commandText, const Variant& params, const ProviderSession& session,
                                int& recordsOut) {
    if (!IsProvider(provider)) throw SqlError("Provider \"" + provider + "\" not found");
    std::lock_guard<std::mutex> lock(mutex_);
    recordsOut = 0;
    std::string sql = Statement(provider, commandText, session);
    if (sql.empty()) return plat::packet::MakeDataPacket({}, Variant(), "");
    std::string database = DatabaseOf(params, session);
    CompanyDatabase& db = sql_.Database(database);
    std::string native = db.Translate(sql);
    if (count >= 0)
        native = "SELECT * FROM (" + native + ") AS pvd LIMIT " + std::to_string(count) + " OFFSET " +
                 std::to_string(std::max(offset, 0));
    ResultTable result = db.QueryNative(native);
    if (count < 0 && offset > 0)
        result.rows.erase(result.rows.begin(), result.rows.begin() + std::min<size_t>(result.rows.size(), static_cast<size_t>(offset)));

    std::string table = TableOf(sql);
    WritableDatabase* writer = table.empty() ? nullptr : Writer(database);
    std::vector<WritableDatabase::Column> columns = writer ? writer->Columns(table) : std::vector<WritableDatabase::Column>();
    if (columns.empty()) table.clear();
    std::vector<FieldDesc> fields;
    for (size_t i = 0; i < result.columns.size(); ++i) {
        FieldDesc f;
        f.Name = result.columns[i];
        auto c = std::find_if(columns.begin(), columns.end(), [&](const auto& col) { return col.Name == plat::UpperCase(f.Name); });
        if (c != columns.end()) {
            f.Type = TypeOf(*c);
            f.Size = c->Size;
            f.Key = c->Key;
        } else {
            f.Type = plat::packet::ftString;
            for (const auto& row : result.rows)
                if (!row[i].IsEmptyOrNull()) {
                    f.Type = TypeOfValue(row[i]);
                    break;
                }
        }
        fields.push_back(f);
    }
    std::vector<Variant> rows;
    rows.reserve(result.rows.size());
    for (auto& row : result.rows) rows.push_back(plat::VarArrayOf(std::move(row)));
    recordsOut = static_cast<int>(rows.size());
    Variant rowArray = rows.empty() ? Variant() : plat::VarArrayOf(std::move(rows));
    if (!withMetadata) return plat::VarArrayOf({Variant(plat::VarArray(0, -1)), rowArray, table});
    return plat::packet::MakeDataPacket(fields, rowArray, table);
}

Variant ProviderSet::ApplyUpdates(const std::string& provider, const Variant& delta, int maxErrors, const Variant& params,
                                  const ProviderSession& session, int& errorCount) {
    if (!IsProvider(provider)) throw SqlError("Provider \"" + provider + "\" not found");
    if (plat::UpperCase(provider) == "PVDQUERY") throw SqlError("Provider \"pvdQuery\" is read-only");
    if (!delta.IsArray() || delta.Array().Count() < 3) throw SqlError("Malformed delta");
    std::lock_guard<std::mutex> lock(mutex_);
    int low = delta.Array().LowBound();
    std::string table = plat::UpperCase(Text(delta[low]));
    if (session.QueryOnly) {
        const std::string p = plat::UpperCase(provider);
        if (!(p == "PVDCONSAVE" && table == "SAVECONDITION") && !(p == "PVDCOLOR" && table == "COLORRULE"))
            throw SqlRefused("Program \"" + session.Program + "\" only queries: changes to \"" + table +
                             "\" are not applied");
    }
    std::vector<FieldDesc> fields = plat::packet::ReadFields(delta[low + 1]);
    const Variant& changes = delta[low + 2];
    WritableDatabase* writer = Writer(DatabaseOf(params, session));
    if (!writer) throw SqlError("Provider \"" + provider + "\" writes to SQLite company databases only");
    WritableDatabase& db = *writer;
    std::vector<WritableDatabase::Column> columns = PlainName(table) ? db.Columns(table) : std::vector<WritableDatabase::Column>();
    if (columns.empty()) throw SqlError("Table \"" + table + "\" cannot be written");

    // Which field of the delta is which column of the table.
    struct Slot {
        size_t field;
        WritableDatabase::Column column;
    };
    std::vector<Slot> slots;
    bool anyKey = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        auto c = std::find_if(columns.begin(), columns.end(), [&](const auto& col) { return col.Name == plat::UpperCase(fields[i].Name); });
        if (c != columns.end() && fields[i].Type != plat::packet::ftDataSet) {
            slots.push_back({i, *c});
            anyKey = anyKey || c->Key;
        }
    }

    std::vector<Variant> errors;
    errorCount = 0;
    db.Exec("BEGIN IMMEDIATE");
    auto at = [](const Variant& row, size_t i) -> Variant {
        if (!row.IsArray()) return Variant();
        int index = row.Array().LowBound() + static_cast<int>(i);
        return index <= row.Array().HighBound() ? row[index] : Variant();
    };
    auto where = [&](const Variant& old, std::vector<Variant>& values) {
        std::string clause;
        for (const Slot& s : slots) {
            if (anyKey && !s.column.Key) continue;
            Variant v = at(old, s.field);
            if (!clause.empty()) clause += " AND ";
            if (v.IsEmptyOrNull()) clause += s.column.Name + " IS NULL";
            else {
                clause += s.column.Name + "=?";
                values.push_back(Stored(s.column, v));
            }
        }
        return clause;
    };
    for (int i = changes.IsArray() ? changes.Array().LowBound() : 0; changes.IsArray() && i <= changes.Array().HighBound(); ++i) {
        const Variant& change = changes[i];
        int c = change.Array().LowBound();
        Variant id = change[c];
        int kind = change[c + 1].ToInt();
        const Variant& old = change[c + 2];
        const Variant& now = change[c + 3];
        std::string sql;
        try {
            if (change.Array().Count() > 4 && change[c + 4].IsArray())
                throw SqlError("Detail records of nested datasets are not written by provider \"" + provider + "\"");
            std::vector<Variant> values;
            if (kind == plat::packet::ukInsert) {
                std::string names, marks;
                for (const Slot& s : slots) {
                    Variant v = at(now, s.field);
                    if (v.IsEmptyOrNull()) continue;
                    names += (names.empty() ? "" : ",") + s.column.Name;
                    marks += marks.empty() ? "?" : ",?";
                    values.push_back(Stored(s.column, v));
                }
                sql = "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")";
                db.Execute(sql, values);
            } else if (kind == plat::packet::ukModify) {
                std::string set;
                for (const Slot& s : slots) {
                    Variant n = at(now, s.field), o = at(old, s.field);
                    if (n.IsNull() == o.IsNull() && (n.IsEmptyOrNull() || n == o)) continue;
                    set += (set.empty() ? "" : ",") + s.column.Name + "=?";
                    values.push_back(Stored(s.column, n));
                }
                if (set.empty()) continue;
                sql = "UPDATE " + table + " SET " + set + " WHERE " + where(old, values);
                if (db.Execute(sql, values) == 0) throw SqlError("Record not found or changed by another user");
            } else if (kind == plat::packet::ukDelete) {
                sql = "DELETE FROM " + table + " WHERE " + where(old, values);
                if (db.Execute(sql, values) == 0) throw SqlError("Record not found or changed by another user");
            }
        } catch (const plat::Exception& e) {
            ++errorCount;
            errors.push_back(plat::VarArrayOf({id, e.Message(), sql, int32_t(errorCount)}));
        }
    }
    if (maxErrors >= 0 && errorCount > maxErrors) db.Exec("ROLLBACK");
    else db.Exec("COMMIT");
    return errors.empty() ? Variant() : plat::VarArrayOf(std::move(errors));
}

// ---- the automation members ----

ProviderServer::ProviderServer(SimpleSqlService& sql, bool queryOnly) : providers_(sql), queryOnly_(queryOnly) {
    // (provider, count, by ref records out, options, command text, by ref params, by ref owner data) -> packet
    Method("AS_GetRecords", [this](Args& a) {
        int recordsOut = 0;
        Variant owner = ArgAt(a, 6);
        int offset = owner.IsNumeric() ? owner.ToInt() : 0;
        Variant packet = providers_.GetRecords(Text(ArgAt(a, 0)), ArgAt(a, 1).IsEmptyOrNull() ? -1 : ArgAt(a, 1).ToInt(),
                                               offset, ArgAt(a, 3).IsNumeric() && (ArgAt(a, 3).ToInt() & 1),
                                               Text(ArgAt(a, 4)), ArgAt(a, 5), session_, recordsOut);
        if (a.size() > 2) a[2].Value = int32_t(recordsOut);
        return packet;
    });
    // (provider, delta, max errors, by ref error count, by ref owner data) -> error list
    Method("AS_ApplyUpdates", [this](Args& a) {
        int errorCount = 0;
        ProviderSession session = session_;
        session.QueryOnly = session.QueryOnly || queryOnly_;
        Variant errors = providers_.ApplyUpdates(Text(ArgAt(a, 0)), ArgAt(a, 1),
                                                 ArgAt(a, 2).IsEmptyOrNull() ? 0 : ArgAt(a, 2).ToInt(), ArgAt(a, 4),
                                                 session, errorCount);
        if (a.size() > 3) a[3].Value = int32_t(errorCount);
        return errors;
    });
    Method("QueryOnly", [this](Args&) {
        queryOnly_ = true;
        return Variant();
    });
    Method("AS_GetProviderNames", [](Args&) {
        return plat::VarArrayOf({"pvdMain", "pvdQuery", "pvdConSave", "pvdColor"});
    });
}

}  // namespace server
