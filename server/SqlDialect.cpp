// SqlDialect: tokenises SQL Server text, rewrites the tokens that the target
// database reads differently ("$$", "+", TOP, N'', ISNULL, LEFT/RIGHT, LEN,
// CHARINDEX, quoted names, table hints) and joins the tokens again.
// Whitespace, comments aside, and everything the rewrite does not touch
// reaches the database exactly as written.
#include "SqlDialect.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <set>
#include <vector>

#include "SqlError.h"
#include "StrUtils.h"

namespace server {

namespace {

std::string Upper(std::string_view s) { return plat::UpperCase(std::string(s)); }

// A name as written, without its [ ] or " " quotes.
std::string Unquoted(std::string_view name) {
    if (name.size() >= 2 && ((name.front() == '[' && name.back() == ']') ||
                             (name.front() == '"' && name.back() == '"')))
        return std::string(name.substr(1, name.size() - 2));
    return std::string(name);
}

enum class Tok { Space, Word, QuotedName, String, Number, Symbol, Dollars };

struct Token {
    Tok kind;
    std::string text;
    std::string prefix;  // inserted before the text when joining
    std::string suffix;  // inserted after the text when joining
    std::string trail;   // inserted after the suffix (a LIMIT closing the statement)
};

// ------------------------------------------------------------- tokeniser

bool IsWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '@' || c == '#' || c >= 0x80; }
bool IsWordChar(unsigned char c) { return IsWordStart(c) || std::isdigit(c) || c == '$'; }

size_t QuotedEnd(std::string_view s, size_t from, char close, const char* what) {
    for (size_t i = from; i < s.size(); ++i) {
        if (s[i] != close) continue;
        if (i + 1 < s.size() && s[i + 1] == close) { ++i; continue; }  // doubled: part of the text
        return i + 1;
    }
    throw SqlError(std::string("SQL text ends inside ") + what);
}

size_t NumberEnd(std::string_view s, size_t i) {
    while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            i = j;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        }
    }
    return i;
}

size_t SymbolEnd(std::string_view s, size_t i) {
    static const char* twoChar[] = {"<>", "!=", ">=", "<=", "||", "!<", "!>", "=="};
    if (i + 1 < s.size())
        for (const char* op : twoChar)
            if (s[i] == op[0] && s[i + 1] == op[1]) return i + 2;
    return i + 1;
}

// Walks the tokens of s, handing each to `emit` as (kind, begin, end);
// comments come as Space tokens whose text is one blank (begin == end).
template <class Emit>
void ScanTokens(std::string_view s, Emit emit) {
    size_t i = 0;
    auto push = [&](Tok kind, size_t end) {
        emit(kind, i, end);
        i = end;
    };
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            size_t e = i;
            while (e < s.size() && std::isspace(static_cast<unsigned char>(s[e]))) ++e;
            push(Tok::Space, e);
        } else if (s.substr(i, 2) == "--") {
            size_t e = s.find('\n', i);
            i = e == std::string_view::npos ? s.size() : e;
            emit(Tok::Space, i, i);
        } else if (s.substr(i, 2) == "/*") {
            size_t e = s.find("*/", i + 2);
            if (e == std::string_view::npos) throw SqlError("SQL text ends inside a comment");
            i = e + 2;
            emit(Tok::Space, i, i);
        } else if (c == '\'') {
            push(Tok::String, QuotedEnd(s, i + 1, '\'', "a quoted text"));
        } else if (c == '"') {
            push(Tok::QuotedName, QuotedEnd(s, i + 1, '"', "a quoted name"));
        } else if (c == '[') {
            push(Tok::QuotedName, QuotedEnd(s, i + 1, ']', "a bracketed name"));
        } else if (s.substr(i, 2) == "$$") {
            push(Tok::Dollars, i + 2);
        } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            push(Tok::Number, NumberEnd(s, i));
        } else if (IsWordStart(c)) {
            size_t e = i;
            while (e < s.size() && IsWordChar(static_cast<unsigned char>(s[e]))) ++e;
            push(Tok::Word, e);
        } else {
            push(Tok::Symbol, SymbolEnd(s, i));
        }
    }
}

// The text of a scanned token: a comment reads as one blank.
std::string_view TokenText(std::string_view s, size_t begin, size_t end) {
    return begin == end ? std::string_view(" ") : s.substr(begin, end - begin);
}

std::vector<Token> Tokenise(std::string_view s) {
    std::vector<Token> out;
    ScanTokens(s, [&](Tok kind, size_t begin, size_t end) {
        out.push_back({kind, std::string(TokenText(s, begin, end)), {}, {}, {}});
    });
    return out;
}

// ------------------------------------------------------------- literals as parameters

// Which literals of a statement are passed as parameters. Only a literal
// that a condition compares against: right after a comparison operator,
// LIKE, BETWEEN or the AND of a BETWEEN, or an element of an IN list; and
// never inside a select list, GROUP BY or ORDER BY (where a literal can
// name a result column, be a column's position or have to match a select
// expression). Numbers only when they are whole and fit 32 bits (the type a
// literal of that size has on either database). Decided from the
// neighbouring tokens alone, so that a statement and its shape (the same
// text with stand-ins for these literals) agree on every position.
class LiteralBinder {
public:
    // Called for every token that is not blank, in order; answers whether
    // that token is a literal to bind.
    bool Next(Tok kind, std::string_view text) {
        bool bind = false;
        if (kind == Tok::String || kind == Tok::Number)
            bind = ConditionClause() && AfterComparison() && (kind == Tok::String || IsSmallWholeNumber(text));
        Advance(kind, text);
        return bind;
    }

    static bool IsSmallWholeNumber(std::string_view text) {
        if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        return std::stoll(std::string(text)) <= INT32_MAX;
    }

private:
    enum class Clause { Select, Condition, Ordering };
    struct Level {
        Clause clause;
        bool inList;        // the parenthesis of an IN list
        bool ordersAbove;   // an enclosing level is in a select list, GROUP BY or ORDER BY
    };

    bool ConditionClause() const {
        const Level& level = levels_.back();
        return level.clause == Clause::Condition && !level.ordersAbove;
    }

    bool AfterComparison() const {
        static const char* const operators[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>", "=="};
        if (previousKind_ == Tok::Symbol) {
            for (const char* op : operators)
                if (previous_ == op) return true;
            return (previous_ == "(" || previous_ == ",") && levels_.back().inList;
        }
        if (previousKind_ != Tok::Word) return false;
        return previous_ == "LIKE" || previous_ == "BETWEEN" || (previous_ == "AND" && betweenAnd_);
    }

    void Advance(Tok kind, std::string_view text) {
        std::string word = kind == Tok::Word ? Upper(text) : std::string(text);
        Level& level = levels_.back();
        if (kind == Tok::Word) {
            if (word == "SELECT") level.clause = Clause::Select;
            else if (word == "FROM" || word == "WHERE" || word == "HAVING" || word == "ON" || word == "JOIN")
                level.clause = Clause::Condition;
            else if (word == "BY" && (previous_ == "GROUP" || previous_ == "ORDER")) level.clause = Clause::Ordering;
            else if (word == "UNION" || word == "EXCEPT" || word == "INTERSECT") level.clause = Clause::Select;
            if (word == "BETWEEN") betweenOpen_ = true;
            else if (word == "AND" && betweenOpen_) betweenOpen_ = false, betweenAnd_ = true;
            else betweenAnd_ = false;
        } else {
            betweenAnd_ = false;
        }
        if (kind == Tok::Symbol && word == "(") {
            bool ordersAbove = level.ordersAbove || level.clause != Clause::Condition;
            levels_.push_back({level.clause, previousKind_ == Tok::Word && previous_ == "IN", ordersAbove});
        } else if (kind == Tok::Symbol && word == ")" && levels_.size() > 1) {
            levels_.pop_back();
        }
        previousKind_ = kind;
        previous_ = std::move(word);
    }

    std::vector<Level> levels_{{Clause::Condition, false, false}};
    Tok previousKind_ = Tok::Space;
    std::string previous_;     // the last token that is not blank (words in upper case)
    bool betweenOpen_ = false;   // a BETWEEN waits for its AND
    bool betweenAnd_ = false;    // the previous token is the AND of a BETWEEN
};

// The value of a quoted text literal: without its quotes, doubled quotes single.
std::string LiteralText(std::string_view quoted) {
    std::string text;
    text.reserve(quoted.size());
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        text += quoted[i];
        if (quoted[i] == '\'' && quoted[i + 1] == '\'') ++i;
    }
    return text;
}

// ------------------------------------------------------------- rewriting

const std::set<std::string>& Keywords() {
    static const std::set<std::string> words = {
        "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "BETWEEN", "IN", "IS", "LIKE", "AS", "ON",
        "JOIN", "INNER", "LEFT", "RIGHT", "FULL", "OUTER", "CROSS", "GROUP", "BY", "ORDER",
        "HAVING", "UNION", "ALL", "DISTINCT", "ASC", "DESC", "WHEN", "THEN", "ELSE", "END", "CASE",
        "EXISTS", "ESCAPE", "TOP", "LIMIT", "OFFSET", "COLLATE", "WITH", "INTO", "VALUES", "SET",
        "UPDATE", "DELETE", "INSERT", "EXCEPT", "INTERSECT", "PERCENT", "TIES", "NULL", "DROP",
        "CREATE", "ALTER", "ATTACH", "DETACH", "PRAGMA", "USING", "NATURAL"};
    return words;
}

ValueKind FunctionKind(const std::string& name) {
    static const std::set<std::string> text = {"RTRIM", "LTRIM", "TRIM", "UPPER", "LOWER", "SUBSTRING",
                                               "SUBSTR", "SS_LEFT", "SS_RIGHT", "REPLACE", "REPLICATE",
                                               "SPACE", "STR", "CHAR", "NCHAR", "CONCAT"};
    static const std::set<std::string> number = {"LEN", "LENGTH", "COUNT", "SUM", "AVG", "ABS", "ROUND",
                                                 "CHARINDEX", "DATALENGTH", "FLOOR", "CEILING"};
    if (text.count(name)) return ValueKind::Text;
    if (number.count(name)) return ValueKind::Number;
    return ValueKind::Unknown;
}

bool TakesKindOfFirstArgument(const std::string& name) {
    return name == "IFNULL" || name == "COALESCE" || name == "MIN" || name == "MAX" || name == "NULLIF";
}

bool IsPlainIdentifier(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

std::string Lower(std::string s) { return plat::LowerCase(std::move(s)); }

const char kPgOperandOpen[] = "textin(bpcharout(";
const char kPgOperandClose[] = "))";
const char kPgChainOpen[] = "CAST(";
const char kPgChainClose[] = " AS bpchar) COLLATE \"C\"";

class Rewriter {
public:
    Rewriter(std::vector<Token>& tokens, const ColumnCatalogue& catalogue, SqlTarget target)
        : tokens_(tokens), catalogue_(catalogue), pg_(target == SqlTarget::PostgreSQL) {}

    void Run() {
        DropDollars();
        DropUnicodePrefixes();
        Index();
        RenameFunctions();
        DropTableHints();
        Index();
        CollectTables();
        RewriteTops();
        Index();
        RewriteRange(0, sig_.size());
        if (pg_) PlainNames();
    }

private:
    std::vector<Token>& tokens_;
    const ColumnCatalogue& catalogue_;
    bool pg_;
    std::vector<size_t> sig_;            // indexes of the non-blank tokens
    std::vector<long> match_;            // per sig position: matching parenthesis, or -1
    std::vector<long> enclosing_;        // per sig position: the '(' it stands in, or -1
    std::map<std::string, std::string> tables_;  // alias or name (upper) → table (upper)
    std::vector<std::string> tableOrder_;

    Token& T(size_t p) { return tokens_[sig_[p]]; }
    bool IsSym(size_t p, const char* sym) { return p < sig_.size() && T(p).kind == Tok::Symbol && T(p).text == sym; }
    bool IsWord(size_t p, const char* word) {
        return p < sig_.size() && T(p).kind == Tok::Word && Upper(T(p).text) == word;
    }
    bool IsName(size_t p) { return p < sig_.size() && (T(p).kind == Tok::Word || T(p).kind == Tok::QuotedName); }
    bool IsKeyword(size_t p) { return T(p).kind == Tok::Word && Keywords().count(Upper(T(p).text)); }
    void Blank(size_t p) {
        T(p).text.clear();
        T(p).kind = Tok::Space;
    }

    void DropDollars() {
        for (size_t i = 0; i < tokens_.size(); ++i) {
            if (tokens_[i].kind != Tok::Dollars) continue;
            bool named = i + 1 < tokens_.size() &&
                         (tokens_[i + 1].kind == Tok::Word || tokens_[i + 1].kind == Tok::QuotedName);
            if (!named) throw SqlError("\"$$\" must stand directly before a table name");
            tokens_[i].kind = Tok::Space;
            tokens_[i].text.clear();
        }
    }

    void DropUnicodePrefixes() {
        for (size_t i = 0; i + 1 < tokens_.size(); ++i)
            if (tokens_[i].kind == Tok::Word && Upper(tokens_[i].text) == "N" && tokens_[i + 1].kind == Tok::String) {
                tokens_[i].kind = Tok::Space;
                tokens_[i].text.clear();
            }
    }

    void Index() {
        sig_.clear();
        for (size_t i = 0; i < tokens_.size(); ++i)
            if (tokens_[i].kind != Tok::Space) sig_.push_back(i);
        match_.assign(sig_.size(), -1);
        enclosing_.assign(sig_.size(), -1);
        std::vector<size_t> open;
        for (size_t p = 0; p < sig_.size(); ++p) {
            enclosing_[p] = open.empty() ? -1 : static_cast<long>(open.back());
            if (IsSym(p, "(")) {
                open.push_back(p);
            } else if (IsSym(p, ")")) {
                if (open.empty()) throw SqlError("SQL text has a \")\" without \"(\"");
                match_[p] = static_cast<long>(open.back());
                match_[open.back()] = static_cast<long>(p);
                open.pop_back();
                enclosing_[p] = open.empty() ? -1 : static_cast<long>(open.back());
            }
        }
        if (!open.empty()) throw SqlError("SQL text has a \"(\" without \")\"");
    }

    void RenameFunctions() {
        for (size_t p = 0; p + 1 < sig_.size(); ++p) {
            if (T(p).kind != Tok::Word || !IsSym(p + 1, "(")) continue;
            std::string name = Upper(T(p).text);
            if (pg_) {
                RenamePostgresFunction(p, name);
                continue;
            }
            if (name == "ISNULL") T(p).text = "IFNULL";
            else if (name == "LEFT") T(p).text = "SS_LEFT";
            else if (name == "RIGHT") T(p).text = "SS_RIGHT";
        }
    }

    // The parenthesised arguments of a call are wrapped on the "(" and ","
    // tokens, never on the argument's own tokens, so that a concatenation
    // inside the argument nests correctly.
    void RenamePostgresFunction(size_t p, const std::string& name) {
        size_t close = static_cast<size_t>(match_[p + 1]);
        if (name == "ISNULL") {
            T(p).text = "COALESCE";
        } else if (name == "LEFT" || name == "RIGHT") {
            size_t comma = TopLevelComma(p + 1, close);
            if (comma == close) throw SqlError(name + " needs two arguments");
            T(p).text = Lower(name);
            T(p + 1).suffix += kPgOperandOpen;
            T(comma).prefix = kPgOperandClose + T(comma).prefix;
        } else if (name == "LEN") {
            T(p).text = "length";
            T(p + 1).suffix += "CAST((";
            T(close).prefix = ") AS bpchar)" + T(close).prefix;
        } else if (name == "CHARINDEX") {
            size_t comma = TopLevelComma(p + 1, close);
            if (comma == close) throw SqlError("CHARINDEX needs two arguments");
            T(p).text = "position";
            T(comma).text = " IN ";
        }
    }

    size_t TopLevelComma(size_t open, size_t close) {
        for (size_t q = open + 1; q < close; ++q)
            if (enclosing_[q] == static_cast<long>(open) && IsSym(q, ",")) return q;
        return close;
    }

    // [name] and "name" as PostgreSQL reads the names the schema created.
    void PlainNames() {
        for (Token& t : tokens_) {
            if (t.kind != Tok::QuotedName) continue;
            std::string name = Unquoted(t.text);
            if (IsPlainIdentifier(name)) {
                t.text = name;
            } else {
                std::string quoted = "\"";
                for (char c : Lower(name)) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
                t.text = quoted + "\"";
            }
        }
    }

    // "WITH (NOLOCK)" or "(NOLOCK)" after a table: locking hints mean nothing here.
    void DropTableHints() {
        for (size_t p = 0; p + 2 < sig_.size(); ++p) {
            if (!IsSym(p, "(") || !IsSym(p + 2, ")")) continue;
            if (!IsWord(p + 1, "NOLOCK") && !IsWord(p + 1, "READUNCOMMITTED")) continue;
            if (p > 0 && IsWord(p - 1, "WITH")) Blank(p - 1);
            Blank(p);
            Blank(p + 1);
            Blank(p + 2);
        }
    }

    // Tables named after FROM and JOIN, with their aliases, so that unqualified
    // and alias-qualified columns find their table in the catalogue.
    void CollectTables() {
        for (size_t p = 0; p < sig_.size(); ++p) {
            if (!IsWord(p, "FROM") && !IsWord(p, "JOIN")) continue;
            bool list = IsWord(p, "FROM");
            size_t q = p + 1;
            while (IsName(q) && !IsKeyword(q)) {
                while (IsSym(q + 1, ".") && IsName(q + 2)) q += 2;  // owner.table: keep the last part
                std::string table = Upper(Unquoted(T(q).text));
                AddTable(table, table);
                ++q;
                if (IsWord(q, "AS")) ++q;
                if (IsName(q) && !IsKeyword(q)) { AddTable(Upper(Unquoted(T(q).text)), table); ++q; }
                if (!list || !IsSym(q, ",")) break;
                ++q;
            }
        }
    }

    void AddTable(const std::string& alias, const std::string& table) {
        tables_[alias] = table;
        if (std::find(tableOrder_.begin(), tableOrder_.end(), table) == tableOrder_.end()) tableOrder_.push_back(table);
    }

    ValueKind ColumnKind(const std::string& qualifier, const std::string& column) {
        if (!qualifier.empty()) {
            auto it = tables_.find(Upper(qualifier));
            return catalogue_.KindOf(it != tables_.end() ? it->second : qualifier, column);
        }
        for (const std::string& table : tableOrder_) {
            ValueKind kind = catalogue_.KindOf(table, column);
            if (kind != ValueKind::Unknown) return kind;
        }
        return ValueKind::Unknown;
    }

    // ---- TOP n → LIMIT n

    void RewriteTops() {
        for (size_t p = 0; p < sig_.size(); ++p) {
            if (!IsWord(p, "SELECT")) continue;
            size_t q = p + 1;
            if (IsWord(q, "DISTINCT") || IsWord(q, "ALL")) ++q;
            if (!IsWord(q, "TOP")) continue;
            std::string count = TakeTopCount(q);
            CheckNoSetOperation(p);
            AppendLimit(p, count);
        }
    }

    // Blanks "TOP n" or "TOP (n)" starting at q and answers n.
    std::string TakeTopCount(size_t q) {
        size_t last;
        std::string count;
        if (q + 1 < sig_.size() && T(q + 1).kind == Tok::Number) {
            count = T(q + 1).text;
            last = q + 1;
        } else if (IsSym(q + 1, "(") && q + 3 < sig_.size() && T(q + 2).kind == Tok::Number && IsSym(q + 3, ")")) {
            count = T(q + 2).text;
            last = q + 3;
        } else {
            throw SqlError("TOP must be followed by a whole number");
        }
        if (count.find_first_not_of("0123456789") != std::string::npos)
            throw SqlError("TOP must be followed by a whole number");
        if (IsWord(last + 1, "PERCENT")) throw SqlError("TOP ... PERCENT is not supported");
        if (IsWord(last + 1, "WITH") && IsWord(last + 2, "TIES")) throw SqlError("TOP ... WITH TIES is not supported");
        for (size_t i = q; i <= last; ++i) Blank(i);
        return count;
    }

    size_t ScopeEnd(size_t select) {
        long open = enclosing_[select];
        return open < 0 ? sig_.size() : static_cast<size_t>(match_[open]);
    }

    void CheckNoSetOperation(size_t select) {
        long open = enclosing_[select];
        for (size_t p = select + 1; p < ScopeEnd(select); ++p)
            if (enclosing_[p] == open && (IsWord(p, "UNION") || IsWord(p, "EXCEPT") || IsWord(p, "INTERSECT")))
                throw SqlError("TOP in a SELECT combined with UNION, EXCEPT or INTERSECT is not supported");
    }

    void AppendLimit(size_t select, const std::string& count) {
        size_t end = ScopeEnd(select);
        if (end < sig_.size()) { T(end).prefix += " LIMIT " + count + " "; return; }
        size_t last = sig_.size() - 1;
        while (last > select && IsSym(last, ";")) --last;
        T(last).trail += " LIMIT " + count;
    }

    // ---- "+" between texts → "||"

    // Rewrites every chain in [b, e); answers the kind of the first
    // comma-separated element when that element is one chain, else Unknown.
    ValueKind RewriteRange(size_t b, size_t e) {
        ValueKind first = ValueKind::Unknown;
        bool inFirst = true, firstIsChain = false, firstSeen = false;
        size_t p = b;
        while (p < e) {
            size_t next;
            ValueKind kind;
            if (ParseChain(p, e, next, kind)) {
                if (inFirst) {
                    firstIsChain = !firstSeen;
                    first = kind;
                    firstSeen = true;
                }
                p = next;
                continue;
            }
            if (IsSym(p, ",")) inFirst = false;
            else if (inFirst) { firstSeen = true; firstIsChain = false; }
            if (IsSym(p, "(")) {  // a group that is not an operand, e.g. IN (...) or a subquery after EXISTS
                RewriteRange(p + 1, static_cast<size_t>(match_[p]));
                p = static_cast<size_t>(match_[p]) + 1;
                continue;
            }
            ++p;
        }
        return firstIsChain ? first : ValueKind::Unknown;
    }

    bool IsAdditive(size_t p) { return IsSym(p, "+") || IsSym(p, "-"); }
    bool IsMultiplicative(size_t p) { return IsSym(p, "*") || IsSym(p, "/") || IsSym(p, "%"); }

    // chain := term (("+" | "-") term)*
    bool ParseChain(size_t p, size_t e, size_t& next, ValueKind& kind) {
        size_t q;
        if (!ParseTerm(p, e, q, kind)) return false;
        std::vector<size_t> concatenations;
        std::vector<std::pair<size_t, size_t>> terms{{p, q}};
        while (q < e && IsAdditive(q)) {
            size_t after;
            ValueKind right;
            if (!ParseTerm(q + 1, e, after, right)) break;
            if (IsSym(q, "+") && (kind == ValueKind::Text || right == ValueKind::Text) &&
                kind != ValueKind::Number && right != ValueKind::Number) {
                concatenations.push_back(q);
                kind = ValueKind::Text;
            } else {
                kind = ValueKind::Number;
            }
            terms.emplace_back(q + 1, after);
            q = after;
        }
        for (size_t op : concatenations) T(op).text = "||";
        if (!concatenations.empty()) {
            if (pg_) {
                for (auto [from, to] : terms) {
                    if (to == from + 1 && T(from).kind == Tok::String) continue;
                    T(from).prefix = kPgOperandOpen + T(from).prefix;
                    T(to - 1).suffix += kPgOperandClose;
                }
                T(p).prefix = kPgChainOpen + T(p).prefix;
                T(q - 1).suffix += kPgChainClose;
            } else {
                T(p).prefix = "(" + T(p).prefix;
                T(q - 1).suffix += ") COLLATE RTRIM";
            }
        }
        next = q;
        return true;
    }

    // term := ["+" | "-"] primary (("*" | "/" | "%") ["+" | "-"] primary)*
    bool ParseTerm(size_t p, size_t e, size_t& next, ValueKind& kind) {
        bool signedTerm = false;
        while (p < e && IsAdditive(p)) { signedTerm = true; ++p; }
        size_t q;
        if (!ParsePrimary(p, e, q, kind)) return false;
        if (signedTerm) kind = ValueKind::Number;
        while (q < e && IsMultiplicative(q)) {
            size_t r = q + 1;
            while (r < e && IsAdditive(r)) ++r;
            size_t after;
            ValueKind ignored;
            if (!ParsePrimary(r, e, after, ignored)) break;
            kind = ValueKind::Number;
            q = after;
        }
        next = q;
        return true;
    }

    bool ParsePrimary(size_t p, size_t e, size_t& next, ValueKind& kind) {
        if (p >= e) return false;
        const Token& t = T(p);
        if (t.kind == Tok::String) { kind = ValueKind::Text; next = p + 1; return true; }
        if (t.kind == Tok::Number) { kind = ValueKind::Number; next = p + 1; return true; }
        if (IsSym(p, "(")) return ParseGroup(p, next, kind);
        if (IsSym(p, "?")) { kind = ValueKind::Unknown; next = p + 1; return true; }
        if (!IsName(p)) return false;
        std::string word = Upper(t.text);
        if (t.kind == Tok::Word && word == "CASE") return ParseCase(p, e, next, kind);
        if (t.kind == Tok::Word && word == "NULL") { kind = ValueKind::Unknown; next = p + 1; return true; }
        if (IsSym(p + 1, "(") && (t.kind == Tok::QuotedName || !IsKeyword(p))) return ParseCall(p, next, kind);
        if (IsKeyword(p)) return false;
        return ParseColumn(p, e, next, kind);
    }

    bool ParseGroup(size_t p, size_t& next, ValueKind& kind) {
        size_t close = static_cast<size_t>(match_[p]);
        ValueKind inner = RewriteRange(p + 1, close);
        kind = IsWord(p + 1, "SELECT") ? ValueKind::Unknown : inner;
        next = close + 1;
        return true;
    }

    bool ParseCall(size_t p, size_t& next, ValueKind& kind) {
        std::string name = Upper(Unquoted(T(p).text));
        size_t close = static_cast<size_t>(match_[p + 1]);
        ValueKind first = RewriteRange(p + 2, close);
        if (name == "CAST") kind = CastKind(p + 2, close);
        else if (TakesKindOfFirstArgument(name)) kind = first;
        else kind = FunctionKind(name);
        next = close + 1;
        return true;
    }

    ValueKind CastKind(size_t b, size_t e) {
        for (size_t p = b; p + 1 < e; ++p)
            if (IsWord(p, "AS")) return ColumnCatalogue::KindOfDeclaredType(T(p + 1).text);
        return ValueKind::Unknown;
    }

    bool ParseCase(size_t p, size_t e, size_t& next, ValueKind& kind) {
        long depth = enclosing_[p];
        int nesting = 0;
        for (size_t q = p; q < e; ++q) {
            if (enclosing_[q] != depth) continue;
            if (IsWord(q, "CASE")) ++nesting;
            else if (IsWord(q, "END") && --nesting == 0) {
                RewriteRange(p + 1, q);
                kind = ValueKind::Unknown;
                next = q + 1;
                return true;
            }
        }
        throw SqlError("CASE without END");
    }

    bool ParseColumn(size_t p, size_t e, size_t& next, ValueKind& kind) {
        std::string qualifier, column = Unquoted(T(p).text);
        size_t q = p + 1;
        while (q + 1 < e && IsSym(q, ".") && IsName(q + 1)) {
            qualifier = column;
            column = Unquoted(T(q + 1).text);
            q += 2;
        }
        kind = column.rfind('@', 0) == 0 ? ValueKind::Unknown : ColumnKind(qualifier, column);
        next = q;
        return true;
    }
};

std::string Join(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens) {
        out += t.prefix;
        out += t.text;
        out += t.suffix;
        out += t.trail;
    }
    return out;
}

}  // namespace

// ------------------------------------------------------------- catalogue

void ColumnCatalogue::Add(std::string_view table, std::string_view column, ValueKind kind) {
    tables_[Upper(table)][Upper(column)] = kind;
}

ValueKind ColumnCatalogue::KindOf(std::string_view table, std::string_view column) const {
    auto t = tables_.find(Upper(table));
    if (t == tables_.end()) return ValueKind::Unknown;
    auto c = t->second.find(Upper(column));
    return c == t->second.end() ? ValueKind::Unknown : c->second;
}

bool ColumnCatalogue::HasTable(std::string_view table) const { return tables_.count(Upper(table)) != 0; }

ValueKind ColumnCatalogue::KindOfDeclaredType(std::string_view declaredType) {
    std::string type = Upper(declaredType);
    for (const char* text : {"CHAR", "TEXT", "CLOB"})
        if (type.find(text) != std::string::npos) return ValueKind::Text;
    for (const char* number : {"INT", "NUM", "DEC", "REAL", "FLOA", "DOUB", "MONEY"})
        if (type.find(number) != std::string::npos) return ValueKind::Number;
    return ValueKind::Unknown;
}

// ------------------------------------------------------------- dialect

std::string SqlDialect::Translate(std::string_view sqlServerText) const {
    std::vector<Token> tokens = Tokenise(sqlServerText);
    Rewriter(tokens, catalogue_, target_).Run();
    return Join(tokens);
}

std::string SqlDialect::TranslateShape(std::string_view shape) const {
    std::vector<Token> tokens = Tokenise(shape);
    LiteralBinder binder;
    int parameter = 0;
    for (Token& t : tokens) {
        if (t.kind == Tok::Space || !binder.Next(t.kind, t.text)) continue;
        // The token keeps its kind: a text operand still makes "+" a concatenation.
        t.text = (target_ == SqlTarget::PostgreSQL ? "$" : "?") + std::to_string(++parameter);
    }
    Rewriter(tokens, catalogue_, target_).Run();
    return Join(tokens);
}

ParameterisedStatement Parameterise(std::string_view sqlServerText) {
    ParameterisedStatement statement;
    statement.shape.reserve(sqlServerText.size());
    LiteralBinder binder;
    ScanTokens(sqlServerText, [&](Tok kind, size_t begin, size_t end) {
        std::string_view text = TokenText(sqlServerText, begin, end);
        if (kind == Tok::Space || !binder.Next(kind, text)) {
            statement.shape += text;
        } else if (kind == Tok::String) {
            statement.shape += "'?'";
            statement.parameters.emplace_back(LiteralText(text));
        } else {
            statement.shape += '0';
            std::string digits(text);
            long long number = std::stoll(digits);
            statement.parameters.emplace_back(number, std::to_string(number));
        }
    });
    return statement;
}

StatementOutline Inspect(std::string_view sqlText) {
    StatementOutline outline;
    bool afterSemicolon = false, started = false;
    for (const Token& t : Tokenise(sqlText)) {
        if (t.kind == Tok::Space) continue;
        if (t.kind == Tok::Symbol && t.text == ";") {
            afterSemicolon = true;
            continue;
        }
        if (afterSemicolon) outline.severalStatements = true;
        if (started || (t.kind == Tok::Symbol && t.text == "(")) continue;  // "(SELECT ...)" reads as SELECT
        started = true;
        if (t.kind == Tok::Word) outline.firstKeyword = Upper(t.text);
    }
    return outline;
}

std::string PostgresTextOperand(const std::string& operand) {
    if (!operand.empty() && operand.front() == '\'') return operand;
    return kPgOperandOpen + operand + kPgOperandClose;
}

std::string PostgresConcatenation(const std::vector<std::string>& operands) {
    std::string chain;
    for (const std::string& operand : operands) chain += (chain.empty() ? "" : " || ") + PostgresTextOperand(operand);
    return kPgChainOpen + chain + kPgChainClose;
}

}  // namespace server
