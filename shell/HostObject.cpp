// The host automation object and its services.
#include "HostObject.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "FieldDictionary.h"
#include "HostCatalogue.h"
#include "ShellLanguage.h"
#include "StrUtils.h"
#include "data/FieldFormats.h"

namespace shell {

using plat::Args;
using plat::ArgAt;
using plat::Variant;

namespace {

constexpr int32_t kHostDependencyVersion = 8000;
constexpr int32_t kProductID = 8;

std::string Text(const Variant& v) { return plat::VarToStr(v); }

server::CompanyDatabase& Database(HostEnvironment& env, const std::string& name) {
    return env.Sql->Database(name.empty() ? env.Session.DatabaseName : name);
}

std::vector<std::string> KeyTexts(const Variant& key) {
    std::vector<std::string> keys;
    if (key.IsArray()) {
        const plat::VarArray& a = key.Array();
        for (int i = a.LowBound(); i <= a.HighBound(); ++i) keys.push_back(Text(a.At(i)));
    } else {
        keys.push_back(Text(key));
    }
    return keys;
}

Variant RowOf(const std::vector<Variant>& values) { return plat::VarArrayOf(values); }

// How the signed-in company shows dates: "SYS001" (1 when it is no number)
// and "SYS002", read as the program windows read them.
struct CompanyDates {
    int Kind = 1;
    std::string Separator;
};

CompanyDates CompanyDateFormat(HostEnvironment& env) {
    server::ResultTable t = Database(env, "").Query(
        "SELECT NAME,VALUE FROM $$SYSPARAM SYSPARAM WHERE COMPANY=" + plat::QuotedStr(env.Session.CompanyID) +
        " AND NAME IN ('SYS001','SYS002')");
    CompanyDates dates;
    for (const auto& row : t.rows) {
        std::string name = plat::Trim(Text(row[0])), value = Text(row[1]);
        if (name == "SYS002") {
            dates.Separator = value;
        } else {
            char* end = nullptr;
            std::string digits = plat::Trim(value);
            long kind = std::strtol(digits.c_str(), &end, 10);
            // Any other kind shows dates as kind 1 does.
            dates.Kind = !digits.empty() && *end == 0 && kind >= 1 && kind <= 5 ? static_cast<int>(kind) : 1;
        }
    }
    return dates;
}

// ---- the three services ----

class CounterService : public plat::AutomationObject {
public:
    explicit CounterService(std::shared_ptr<HostEnvironment> env) : env_(std::move(env)) {
        Method("GETCOUNTER", [this](Args& a) {
            return env_->Sql->Call(Text(ArgAt(a, 0)), ArgAt(a, 1), ArgAt(a, 2));
        });
        Method("GetSysInfo", [this](Args& a) {
            std::string company = Text(ArgAt(a, 0));
            return Variant(SystemParameterLines(*env_, company.empty() ? env_->Session.CompanyID : company));
        });
    }

private:
    std::shared_ptr<HostEnvironment> env_;
};

class ValidatorService : public plat::AutomationObject {
public:
    explicit ValidatorService(std::shared_ptr<HostEnvironment> env) : env_(std::move(env)) {
        // (Table, Kind, by ref Database, by ref Key, by ref Answer) -> found
        auto check = [this](Args& a) {
            if (a.size() < 5) throw plat::EOleError("CheckValue needs five arguments");
            Variant answer = CheckAnswer(*env_, Text(a[0].Value), Text(a[1].Value), Text(a[2].Value), a[3].Value);
            a[4].Value = answer;
            return Variant(!answer.IsEmpty());
        };
        Method("CheckValue", check);
        Method("QueryData", check);
        // (Table, FieldList, Values, Extra, Program, Database, by ref Answer) -> found
        Method("QueryMaxSeq", [this](Args& a) {
            if (a.size() < 7) throw plat::EOleError("QueryMaxSeq needs seven arguments");
            std::optional<std::string> next = NextSequence(Text(a[0].Value), Text(a[1].Value), a[2].Value,
                                                           Text(a[5].Value));
            if (!next) return Variant(false);
            a[6].Value = *next;
            return Variant(true);
        });
    }

private:
    // The next sequence number under the values of the leading key fields:
    // the last named field is the sequence, the others select the document.
    std::optional<std::string> NextSequence(const std::string& table, const std::string& fieldList,
                                            const Variant& values, const std::string& database) {
        std::vector<std::string> names;
        for (int i = 1;; ++i) {
            std::string piece = plat::Trim(plat::GetToken(fieldList, ",", i));
            if (piece.empty()) break;
            names.push_back(piece);
        }
        std::vector<std::string> keys = KeyTexts(values);
        if (names.empty() || table.empty()) return std::nullopt;
        for (char c : table + fieldList)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != ',' && c != '_' && c != ' ') return std::nullopt;
        std::string sql = "SELECT MAX(" + names.back() + ") FROM $$" + table + " " + table + " WHERE 1=1";
        for (size_t i = 0; i + 1 < names.size() && i < keys.size(); ++i)
            sql += " AND " + names[i] + "=" + plat::QuotedStr(keys[i]);
        server::ResultTable result = Database(*env_, database).Query(sql);
        std::string last = result.rows.empty() ? std::string() : Text(result.rows[0][0]);
        size_t width = std::max<size_t>(plat::Trim(last).size(), 4);
        long next = std::strtol(plat::Trim(last).c_str(), nullptr, 10) + 1;
        std::string digits = std::to_string(next);
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    }

    std::shared_ptr<HostEnvironment> env_;
};

class PickerService : public plat::AutomationObject {
public:
    explicit PickerService(std::shared_ptr<HostEnvironment> env) : env_(std::move(env)) {
        Method("F2GetData", [this](Args& a) { return RunLookup(*env_, ArgAt(a, 0)); });
        // ([shifted years, value, database]) -> "YYYYMMDD" or ""
        Method("ShowInputDay", [this](Args& a) {
            const Variant& request = ArgAt(a, 0);
            std::string initial = request.IsArray() && request.Array().HighBound() >= 1 ? Text(request[1]) : "";
            std::optional<std::string> date = env_->Dialogs->PickDate(plat::Trim(initial));
            return Variant(date.value_or(""));
        });
        // (user, company, handle, by ref phrase) -> 0 chosen, -1 none
        Method("GetPhrase2", [this](Args& a) {
            if (a.size() < 4) throw plat::EOleError("GetPhrase2 needs four arguments");
            return Variant(PickPhrase(a[3].Value));
        });
        // (by ref expression, handle) -> result text
        Method("GetCalcValue", [](Args& a) {
            std::optional<double> value = Calculate(Text(ArgAt(a, 0)));
            if (!value) throw plat::EOleError("Cannot calculate \"" + Text(ArgAt(a, 0)) + "\"");
            return Variant(plat::FloatToStr(*value));
        });
        // (by ref user, by ref company, by ref int, flag, by ref handle) -> character or ""
        Method("ShowCharaters", [this](Args&) { return Variant(PickCharacter()); });
    }

private:
    int32_t PickPhrase(Variant& phrase) {
        const std::string& codePage = env_->Session.UICodePage;
        LookupList list{ShellWord("常用词组", codePage), {ShellWord("词组", codePage)}, {}, false, Text(phrase)};
        for (const char* p : {"请尽快交货", "客户要求分批出货", "样品", "急单", "含税价格"}) list.Rows.push_back({p});
        std::optional<std::vector<int>> chosen = env_->Dialogs->PickRows(list);
        if (!chosen || chosen->empty()) return -1;
        phrase = list.Rows[static_cast<size_t>(chosen->front())][0];
        return 0;
    }

    std::string PickCharacter() {
        const std::string& codePage = env_->Session.UICodePage;
        LookupList list{ShellWord("特殊字符", codePage), {ShellWord("字符", codePage)}, {}, false, ""};
        for (const char* c : {"±", "×", "÷", "°", "Φ", "Ω", "μ", "㎡", "℃", "‰", "№", "※"}) list.Rows.push_back({c});
        std::optional<std::vector<int>> chosen = env_->Dialogs->PickRows(list);
        if (!chosen || chosen->empty()) return {};
        return list.Rows[static_cast<size_t>(chosen->front())][0];
    }

    std::shared_ptr<HostEnvironment> env_;
};

class HostAutomation : public plat::AutomationObject {
public:
    explicit HostAutomation(std::shared_ptr<HostEnvironment> env)
        : env_(env),
          validator_(std::make_shared<ValidatorService>(env)),
          picker_(std::make_shared<PickerService>(env)),
          counter_(std::make_shared<CounterService>(env)) {
        Property("DependencyVersion", [](Args&) { return Variant(kHostDependencyVersion); });
        Property("ProductID", [](Args&) { return Variant(kProductID); });
        Property("Com_Validator", [this](Args&) { return Variant(plat::DispatchRef(validator_)); });
        Property("Com_Picker", [this](Args&) { return Variant(plat::DispatchRef(picker_)); });
        Property("Com_Counter", [this](Args&) { return Variant(plat::DispatchRef(counter_)); });
        Method("Connect", [](Args&) { return Variant(int32_t(0)); });
        Method("GetMessage", [this](Args& a) {
            return Variant(MessageText(*env_, Text(ArgAt(a, 0)), Text(ArgAt(a, 1))));
        });
        // (by ref [user, company, program, handle], by ref condition, by ref options, by ref 2, by ref answer)
        Method("ExecWork", [this](Args& a) {
            const Variant& args = ArgAt(a, 0);
            std::string program = args.IsArray() && args.Array().HighBound() >= 2 ? Text(args[2]) : "";
            if (env_->ExecWork) return Variant(int32_t(env_->ExecWork(program, Text(ArgAt(a, 1)))));
            return Variant(int32_t(OpenDocumentProgram(*env_, program, Text(ArgAt(a, 1)))));
        });
        Method("CallHelp", [this](Args& a) {
            const Variant& topic = ArgAt(a, 0);
            bool pair = topic.IsArray() && topic.Array().HighBound() >= 1;
            env_->Dialogs->ShowHelp(pair ? Text(topic[0]) : "", pair ? Text(topic[1]) : Text(topic));
            return Variant();
        });
    }

private:
    std::shared_ptr<HostEnvironment> env_;
    std::shared_ptr<ValidatorService> validator_;
    std::shared_ptr<PickerService> picker_;
    std::shared_ptr<CounterService> counter_;
};

std::string LookupFilter(const Variant& start) {
    std::vector<std::string> values = KeyTexts(start);
    for (auto it = values.rbegin(); it != values.rend(); ++it)
        if (!plat::Trim(*it).empty()) return plat::Trim(*it);
    return {};
}

}  // namespace

plat::DispatchRef MakeHostObject(std::shared_ptr<HostEnvironment> environment) {
    return std::make_shared<HostAutomation>(std::move(environment));
}

std::string MessageText(HostEnvironment& env, const std::string& kind, const std::string& code) {
    server::ResultTable t = Database(env, "").Query(
        "SELECT TEXT_GB,TEXT_EN FROM $$MESSAGES MESSAGES WHERE KIND=" + plat::QuotedStr(kind) +
        " AND CODE=" + plat::QuotedStr(code));
    if (t.rows.empty()) return {};
    // An answer row holds exactly the columns the SELECT names: [0] TEXT_GB, [1] TEXT_EN.
    std::string english = plat::Trim(Text(t.rows[0][1]));
    if (env.Session.UICodePage == "437" && !english.empty()) return english;
    return plat::Trim(Text(t.rows[0][0]));
}

std::string SystemParameterLines(HostEnvironment& env, const std::string& company) {
    server::ResultTable t = Database(env, "").Query(
        "SELECT NAME,VALUE FROM $$SYSPARAM SYSPARAM WHERE COMPANY=" + plat::QuotedStr(company) + " ORDER BY NAME");
    std::string lines;
    for (const auto& row : t.rows) lines += plat::Trim(Text(row[0])) + "=" + Text(row[1]) + "\r\n";
    return lines;
}

Variant CheckAnswer(HostEnvironment& env, const std::string& table, const std::string& kind,
                    const std::string& database, const Variant& key) {
    const CheckDefinition* check = FindCheck(table, kind);
    if (!check) throw plat::EOleError("No check for table " + table + " kind " + kind);
    std::optional<std::string> sql = CheckStatement(*check, KeyTexts(key));
    if (!sql) return {};
    server::ResultTable t = Database(env, database).Query(*sql);
    if (t.rows.empty()) return {};
    return RowOf(t.rows[0]);
}

namespace {

// The columns of `table` in the order a document window shows them: the
// business fields in select order, then the system fields.
std::vector<size_t> ShownColumns(const server::ResultTable& t, const FieldDictionary& fields) {
    std::vector<size_t> business, system;
    for (size_t c = 0; c < t.columns.size(); ++c)
        (fields.IsSystemField(t.columns[c]) ? system : business).push_back(c);
    business.insert(business.end(), system.begin(), system.end());
    return business;
}

void AddLines(DocumentView& view, const FieldDictionary& fields, const std::string& table, const server::ResultTable& t) {
    std::vector<size_t> shown = ShownColumns(t, fields);
    for (size_t c : shown) {
        view.LineFields.push_back(t.columns[c]);
        view.LineCaptions.push_back(fields.Caption(table, t.columns[c]));
        view.LineNumbers.push_back(fields.IsNumber(table, t.columns[c]));
    }
    for (const auto& row : t.rows) {
        std::vector<std::string> cells;
        for (size_t c : shown) cells.push_back(fields.Display(table, t.columns[c], row[c]));
        view.Lines.push_back(std::move(cells));
    }
}

}  // namespace

int OpenDocumentProgram(HostEnvironment& env, const std::string& programCode, const std::string& condition) {
    const DocumentProgram* program = FindDocumentProgram(programCode);
    if (!program) return -1;
    std::string where = plat::Trim(condition).empty() ? std::string("1=1") : condition;
    std::string headSql = "SELECT * FROM $$" + program->HeadTable + " " + program->HeadTable + " WHERE " + where;
    server::CompanyDatabase& db = Database(env, "");
    FieldDictionary fields(db, env.Session.CompanyID, {program->HeadTable, program->LineTable},
                           env.Session.UICodePage == "437");
    server::ResultTable head = db.Query(headSql);
    DocumentView view;
    view.ProgramCode = program->ProgramCode;
    view.Title = ShellWord(program->Title, env.Session.UICodePage);
    view.Condition = condition;
    view.CloseCaption = ShellWord("关闭", env.Session.UICodePage);
    if (program->LineTable.empty()) {
        // The head rows are the document (a work order, write-off records).
        AddLines(view, fields, program->HeadTable, head);
    } else {
        if (!head.rows.empty())
            for (size_t c : ShownColumns(head, fields))
                view.Head.emplace_back(fields.Caption(program->HeadTable, head.columns[c]),
                                       fields.Display(program->HeadTable, head.columns[c], head.rows[0][c]));
        server::ResultTable lines = db.Query("SELECT " + program->LineTable + ".* FROM $$" + program->HeadTable + " " +
                                             program->HeadTable + " INNER JOIN $$" + program->LineTable + " " +
                                             program->LineTable + " ON " + program->Join + " WHERE " + where);
        AddLines(view, fields, program->LineTable, lines);
    }
    env.Dialogs->ShowDocument(view);
    return 0;
}

Variant RunLookup(HostEnvironment& env, const Variant& request) {
    if (!request.IsArray() || request.Array().HighBound() < 6) throw plat::EOleError("F2GetData needs 19 elements");
    std::string table = Text(request[0]), mode = Text(request[1]);
    const LookupDefinition* lookup = FindLookup(table, mode);
    if (!lookup) throw plat::EOleError("No lookup for table " + table + " mode " + mode);
    server::ResultTable t = Database(env, Text(request[6])).Query(lookup->Sql);
    const std::string& codePage = env.Session.UICodePage;
    LookupList list{ShellWord(lookup->Title, codePage), {}, {}, request[3].ToBool(), LookupFilter(request[2])};
    for (const std::string& caption : lookup->Captions) list.Captions.push_back(ShellWord(caption, codePage));
    const CompanyDates dates = CompanyDateFormat(env);
    for (const auto& row : t.rows) {
        std::vector<std::string> cells;
        for (const Variant& v : row) cells.push_back(plat::Trim(Text(v)));
        // The list shows dates as the program windows do; the answer keeps them as stored.
        for (size_t c : lookup->DateColumns)
            if (c < cells.size()) cells[c] = fieldfmt::DbDateToDisplay(dates.Kind, dates.Separator, cells[c]);
        list.Rows.push_back(cells);
    }
    std::optional<std::vector<int>> chosen = env.Dialogs->PickRows(list);
    if (!chosen || chosen->empty()) return {};
    std::vector<Variant> rows;
    for (int index : *chosen)
        if (index >= 0 && static_cast<size_t>(index) < t.rows.size()) rows.push_back(RowOf(t.rows[static_cast<size_t>(index)]));
    if (rows.empty()) return {};
    return plat::VarArrayOf(rows);
}

// ---- the calculator: recursive descent over + - * / and parentheses ----

namespace {

struct Calc {
    const std::string& s;
    size_t i = 0;
    bool ok = true;

    void Skip() { while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i; }
    double Expression() {
        double v = Term();
        for (Skip(); ok && i < s.size() && (s[i] == '+' || s[i] == '-'); Skip()) {
            char op = s[i++];
            double r = Term();
            v = op == '+' ? v + r : v - r;
        }
        return v;
    }
    double Term() {
        double v = Factor();
        for (Skip(); ok && i < s.size() && (s[i] == '*' || s[i] == '/'); Skip()) {
            char op = s[i++];
            double r = Factor();
            if (op == '/' && r == 0) { ok = false; return 0; }
            v = op == '*' ? v * r : v / r;
        }
        return v;
    }
    double Factor() {
        Skip();
        if (i < s.size() && s[i] == '-') { ++i; return -Factor(); }
        if (i < s.size() && s[i] == '(') {
            ++i;
            double v = Expression();
            Skip();
            if (i >= s.size() || s[i] != ')') ok = false;
            ++i;
            return v;
        }
        const char* begin = s.c_str() + i;
        char* end = nullptr;
        double v = std::strtod(begin, &end);
        if (end == begin) { ok = false; return 0; }
        i += static_cast<size_t>(end - begin);
        return v;
    }
};

}  // namespace

std::optional<double> Calculate(const std::string& expression) {
    Calc calc{expression};
    double value = calc.Expression();
    calc.Skip();
    if (!calc.ok || calc.i != expression.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace shell
