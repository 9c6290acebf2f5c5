// The application-server objects behind "SOSRV01S.Class1" and its kin.
#include "AppServer.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <map>
#include <vector>

#include "ClassRegistry.h"
#include "DataPacket.h"
#include "Provider.h"
#include "StrUtils.h"

namespace server {

using plat::Args;
using plat::ArgAt;
using plat::Variant;

namespace {

std::string Text(const Variant& v) { return plat::VarToStr(v); }

std::string Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &local);
    return buf;
}

// The log-on and user-information server of a program window.
class ProgramServer : public ProviderServer {
public:
    explicit ProgramServer(SimpleSqlService& sql) : ProviderServer(sql), sql_(sql) {
        // (by ref [program, user, company, database, connect flag, program flag]) -> 0 accepted
        Method("Connect", [this](Args& a) { return Variant(int32_t(Connect(ArgAt(a, 0)))); });
        Method("SvrData", [this](Args&) { return Variant(userInfo_); });
        Method("Whatis", [](Args& a) {
            std::string what = plat::UpperCase(Text(ArgAt(a, 0)));
            if (what == "TODAY") return Variant(Today());
            if (what == "SQLTYPE") return Variant(int32_t(1));
            throw plat::EOleError("Whatis does not know \"" + Text(ArgAt(a, 0)) + "\"");
        });
        // ([company, user, program, section]) -> XML text of the user's input settings
        Method("GetUserDefine", [this](Args& a) { return Variant(UserDefine(ArgAt(a, 0))); });
        // (company, program) -> the program's user settings document
        Method("GetFormat", [this](Args& a) { return Variant(Format(Text(ArgAt(a, 0)), Text(ArgAt(a, 1)))); });
    }

private:
    int Connect(const Variant& params) {
        if (!params.IsArray() || params.Array().HighBound() < 3) return 3;
        program_ = Text(params[0]);
        user_ = Text(params[1]);
        company_ = Text(params[2]);
        database_ = Text(params[3]);
        userInfo_.clear();
        session_ = {};
        if (!CheckSignOn(sql_, user_, company_, database_).empty()) return 1;
        userInfo_ = UserInformation(sql_, user_, company_, database_, program_);
        session_ = {program_, user_, company_, database_, userInfo_};
        return 0;
    }

    std::string UserDefine(const Variant& request) {
        if (!request.IsArray() || request.Array().HighBound() < 3) return {};
        ResultTable t = sql_.Database(database_).Query(
            "SELECT XML FROM $$USERDEFINE USERDEFINE WHERE COMPANY=" + plat::QuotedStr(Text(request[0])) +
            " AND USER_ID=" + plat::QuotedStr(Text(request[1])) + " AND PROGRAM=" + plat::QuotedStr(Text(request[2])) +
            " AND SECTION=" + plat::QuotedStr(Text(request[3])));
        return t.rows.empty() ? std::string() : Text(t.rows[0][0]);
    }

    std::string Format(const std::string& company, const std::string& program) {
        ResultTable t = sql_.Database(database_).Query("SELECT XML FROM $$USERFORMAT USERFORMAT WHERE COMPANY=" +
                                                      plat::QuotedStr(company) +
                                                      " AND PROGRAM=" + plat::QuotedStr(program));
        return t.rows.empty() ? std::string() : Text(t.rows[0][0]);
    }

    SimpleSqlService& sql_;
    std::string program_, user_, company_, database_, userInfo_;
};

// The query server of query programs; it answers the query frame's data
// requests. "GetQueryData"(by ref parameters, by ref data) takes the frame's
// 14 elements: [0] the query kind, here a table of the company database;
// [1] its columns, "COLUMN$label$kind" entries separated by ";" (label and
// kind optional); [5] the database; [11] the condition (may be empty). It
// answers False when the kind names no table or the columns are no column
// names; otherwise True, with `data` a data packet of the rows found (text
// columns). "SQLCommand", "DisplayLabels" ("label$kind$0;...") and "OrderBy"
// then tell what ran; "ProgVerS" is "1.0", with ";" and the database's error
// text after it when the statement failed.
class QueryServer : public ProviderServer {
public:
    // It answers queries: its providers never write.
    explicit QueryServer(SimpleSqlService& sql) : ProviderServer(sql, true), sql_(sql) {
        Method("GetQueryData", [this](Args& a) {
            if (a.size() < 2) throw plat::EOleError("GetQueryData needs two arguments");
            return Variant(Run(a[0].Value, a[1].Value));
        });
        Property("SQLCommand", [this](Args&) { return Variant(sqlCommand_); });
        Property("DisplayLabels", [this](Args&) { return Variant(displayLabels_); });
        Property("OrderBy", [this](Args&) { return Variant(orderBy_); });
        Property("ProgVerS", [this](Args&) { return Variant(version_); });
    }

private:
    static bool IsName(const std::string& s) {
        if (s.empty()) return false;
        for (char c : s)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
        return true;
    }

    bool Run(const Variant& p, Variant& data) {
        sqlCommand_.clear();
        displayLabels_.clear();
        orderBy_.clear();
        version_ = "1.0";
        data = Variant();
        if (!p.IsArray() || p.Array().HighBound() < 11) return false;
        const std::string table = plat::UpperCase(plat::Trim(Text(p[0])));
        const std::string database = Text(p[5]);
        if (!IsName(table)) return false;
        session_.Database = database;   // the body's provider reads the same database
        std::vector<std::string> columns;
        std::string labels;
        std::string displayLabels = Text(p[1]);
        for (size_t start = 0; start <= displayLabels.size();) {
            size_t end = displayLabels.find(';', start);
            if (end == std::string::npos) end = displayLabels.size();
            std::string entry = plat::Trim(displayLabels.substr(start, end - start));
            start = end + 1;
            if (entry.empty()) continue;
            std::string column = plat::UpperCase(plat::Trim(plat::GetToken(entry, "$", 1)));
            if (!IsName(column)) return false;
            std::string label = plat::GetToken(entry, "$", 2);
            columns.push_back(column);
            labels += (labels.empty() ? "" : ";") + (label.empty() ? column : label) + "$" +
                      plat::GetToken(entry, "$", 3) + "$0";
        }
        if (columns.empty()) return false;
        try {
            sql_.Database(database).Query("SELECT * FROM $$" + table + " " + table + " WHERE 1=2");
        } catch (const std::exception&) {
            return false;   // no such table: a wrong query kind
        }
        std::string fields;
        for (const std::string& c : columns) fields += (fields.empty() ? "" : ",") + c;
        std::string condition = plat::Trim(Text(p[11]));
        sqlCommand_ = "SELECT " + fields + " FROM $$" + table + " " + table + (condition.empty() ? "" : " WHERE " + condition);
        displayLabels_ = labels;
        orderBy_ = columns[0];
        Variant rows;
        try {
            rows = sql_.SimpleSql(plat::VarArrayOf({sqlCommand_ + " ORDER BY " + orderBy_, fields}),
                                  plat::VarArrayOf({Variant(), database}));
        } catch (const std::exception& e) {
            version_ = std::string("1.0;") + e.what();
            return true;
        }
        std::vector<plat::packet::FieldDesc> descs;
        for (const std::string& c : columns) descs.push_back({c, plat::packet::ftString, 1});
        if (plat::HasRows(rows))
            for (int r = rows.Array().LowBound(); r <= rows.Array().HighBound(); ++r)
                for (size_t c = 0; c < columns.size(); ++c) {
                    Variant& cell = rows.Array().At(r).Array().At(rows[r].Array().LowBound() + static_cast<int>(c));
                    if (!cell.IsEmptyOrNull()) cell = Text(cell);
                    descs[c].Size = std::max(descs[c].Size, static_cast<int>(Text(cell).size()));
                }
        data = plat::packet::MakeDataPacket(descs, plat::HasRows(rows) ? rows : Variant(), table);
        return true;
    }

    SimpleSqlService& sql_;
    std::string sqlCommand_, displayLabels_, orderBy_, version_ = "1.0";
};

// Attached documents: "CheckOut"([user, mode, kind, key, ""]) copies the
// document to the temporary folder and answers 0 with the copy's name in
// element 4; -1 when there is no such document.
class DocumentServer : public plat::AutomationObject {
public:
    explicit DocumentServer(std::filesystem::path folder) : folder_(std::move(folder)) {
        Method("CheckOut", [this](Args& a) {
            if (a.empty() || !a[0].Value.IsArray() || a[0].Value.Array().HighBound() < 4)
                throw plat::EOleError("CheckOut needs [user, mode, kind, key, file]");
            Variant& request = a[0].Value;
            std::filesystem::path source = FindAttachedDocument(folder_, plat::Trim(Text(request[2])),
                                                                plat::Trim(Text(request[3])));
            if (source.empty()) return Variant(int32_t(-1));
            std::filesystem::path copy = std::filesystem::temp_directory_path() / ("dms-" + source.filename().string());
            std::error_code ec;
            std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing, ec);
            if (ec) throw plat::EOleError("Cannot check out " + source.string() + ": " + ec.message());
            request[4] = copy.string();
            return Variant(int32_t(0));
        });
    }

private:
    std::filesystem::path folder_;
};

SimpleSqlService* registered = nullptr;
std::filesystem::path documents;

}  // namespace

std::string CheckSignOn(SimpleSqlService& sql, const std::string& user, const std::string& company,
                        const std::string& database) {
    CompanyDatabase* db = nullptr;
    try {
        db = &sql.Database(database);
    } catch (const plat::Exception& e) {
        return "Database \"" + database + "\" cannot be opened: " + e.Message();
    } catch (const std::exception& e) {   // a file system or allocation failure while opening
        return "Database \"" + database + "\" cannot be opened: " + e.what();
    }
    ResultTable t;
    try {
        t = db->Query("SELECT USER_ID FROM $$USERS USERS WHERE COMPANY=" + plat::QuotedStr(company) +
                      " AND USER_ID=" + plat::QuotedStr(user));
    } catch (const plat::Exception& e) {
        return "The users of database \"" + database + "\" cannot be read: " + e.Message();
    } catch (const std::exception& e) {
        return "The users of database \"" + database + "\" cannot be read: " + e.what();
    }
    if (t.rows.empty()) return "User \"" + user + "\" may not sign on to company \"" + company + "\"";
    return {};
}

std::string UserInformation(SimpleSqlService& sql, const std::string& user, const std::string& company,
                            const std::string& database, const std::string& program) {
    ResultTable t = sql.Database(database).Query(
        "SELECT NAME,VALUE,PROGRAM FROM $$USERINFO USERINFO WHERE COMPANY=" + plat::QuotedStr(company) +
        " AND USER_ID=" + plat::QuotedStr(user) + " AND (PROGRAM='' OR PROGRAM=" + plat::QuotedStr(program) +
        ") ORDER BY NAME");
    std::map<std::string, std::string> values;
    for (bool own : {false, true})   // general entries first, the program's own override them
        for (const auto& row : t.rows)
            if (plat::Trim(Text(row[2])).empty() != own) values[plat::Trim(Text(row[0]))] = Text(row[1]);
    std::string lines;
    for (const auto& [name, value] : values) lines += name + "=" + value + "\r\n";
    return lines;
}

std::filesystem::path FindAttachedDocument(const std::filesystem::path& documentFolder, const std::string& kind,
                                           const std::string& key) {
    auto plain = [](const std::string& name) {
        return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
               name.find('\\') == std::string::npos;
    };
    if (documentFolder.empty() || !plain(kind) || !plain(key)) return {};
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(documentFolder / kind, ec))
        if (entry.is_regular_file() && entry.path().stem().string() == key) return entry.path();
    return {};
}

void RegisterApplicationServers(SimpleSqlService& sql, std::filesystem::path documentFolder) {
    registered = &sql;
    documents = std::move(documentFolder);
    plat::RegisterClassFactory("DmsC.DMSClass1", [] { return std::make_shared<DocumentServer>(documents); });
    plat::RegisterClassFactory("SOSRV01S.Class1", [] { return std::make_shared<ProgramServer>(*registered); });
    plat::RegisterClassFactory("KvQueryS.Class1", [] { return std::make_shared<QueryServer>(*registered); });
}

void UnregisterApplicationServers() {
    plat::UnregisterClassFactory("SOSRV01S.Class1");
    plat::UnregisterClassFactory("KvQueryS.Class1");
    plat::UnregisterClassFactory("DmsC.DMSClass1");
    registered = nullptr;
}

}  // namespace server
