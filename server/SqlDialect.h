// Translation of the suite's SQL Server dialect into SQLite or PostgreSQL
// text with SQL Server meaning. The program modules write "$$" directly before
// table names, "+" between texts, TOP n after SELECT, N'...' literals,
// ISNULL(a, b) and table hints such as WITH (NOLOCK); neither database knows
// all of these.
//
// What the translation does (SQLite; PostgreSQL differences below):
//   - "$$" is dropped: a statement runs on the connection of the company
//     database named in the call (its own SQLite file, or its own PostgreSQL
//     schema first on the search path), so "$$COPTC" and "COPTC" name the same
//     table (see CompanyDatabase).
//   - "a + b" becomes "a || b" when one side is text and neither side is a
//     number (texts known from the column catalogue, literals and string
//     functions). Each concatenation chain is wrapped as
//     "(a || b || c) COLLATE RTRIM", so comparing it ignores trailing blanks
//     as comparing the columns themselves does.
//   - "SELECT TOP n" / "SELECT TOP (n)" becomes a LIMIT at the end of that
//     SELECT (the end of the statement or of its parenthesised subquery).
//   - N'text' loses its N; ISNULL( becomes IFNULL(; LEFT( and RIGHT( become
//     the registered functions SS_LEFT( and SS_RIGHT(; hints (NOLOCK) and
//     (READUNCOMMITTED) are dropped.
// What it refuses (SqlError): unterminated literals or comments, unbalanced
// parentheses, "$$" not followed by a name, TOP ... PERCENT, TOP ... WITH
// TIES, TOP in a SELECT that is followed by UNION, EXCEPT or INTERSECT.
// On PostgreSQL, where text columns are blank-padded types (char(n), bpchar)
// whose conversion to text drops trailing blanks:
//   - every operand of a concatenation except a literal is read with its
//     blanks, textin(bpcharout(x)), and the chain becomes
//     CAST(a || b AS bpchar) COLLATE "C": compared without trailing blanks,
//     ordered by bytes, returned as built (see PostgresConcatenation);
//   - ISNULL( becomes COALESCE(; LEFT/RIGHT read their text with its blanks;
//     LEN( counts the characters without trailing blanks; CHARINDEX(a, b)
//     becomes position(a IN b);
//   - [name] and "name" become plain names (PostgreSQL folds them to lower
//     case as it did when the tables were created); a name that is not a
//     plain identifier becomes a lower-case quoted name.
// It does not judge whether the statement reads or writes; the database
// connection does that (see CompanyDatabase and Inspect below).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace server {

enum class ValueKind { Unknown, Text, Number };

// The kinds of the columns of one database, as the translator needs them to
// tell concatenation from addition. Names compare case-insensitively.
class ColumnCatalogue {
public:
    void Add(std::string_view table, std::string_view column, ValueKind kind);
    // Unknown when the table or the column is not in the catalogue.
    ValueKind KindOf(std::string_view table, std::string_view column) const;
    bool HasTable(std::string_view table) const;
    // Kind from a declared column type: CHAR, TEXT, CLOB → Text; INT, NUM,
    // DEC, REAL, FLOA, DOUB, MONEY → Number; anything else Unknown.
    static ValueKind KindOfDeclaredType(std::string_view declaredType);

private:
    std::map<std::string, std::map<std::string, ValueKind>> tables_;
};

enum class SqlTarget { SQLite, PostgreSQL };

// The outline of a statement, read without translating it: its first
// keyword (upper case; empty when the text has none) and whether more than
// one statement follows another after a ";". Throws SqlError for text that
// does not tokenise (an unterminated literal or comment).
struct StatementOutline {
    std::string firstKeyword;
    bool severalStatements = false;
};
StatementOutline Inspect(std::string_view sqlText);

// The PostgreSQL form of "a + b + ..." between texts (operands already in
// PostgreSQL text): each non-literal operand read with its trailing blanks,
// the whole compared without them. Shared by the dialect and the schema's
// index definitions, which must be the same expression for the planner to
// use the index.
std::string PostgresTextOperand(const std::string& operand);
std::string PostgresConcatenation(const std::vector<std::string>& operands);

// A literal passed beside a statement's text instead of inside it.
struct SqlParameter {
    enum class Kind { Text, Integer };
    SqlParameter(std::string value) : kind(Kind::Text), text(std::move(value)) {}   // a text
    SqlParameter(const char* value) : SqlParameter(std::string(value)) {}
    SqlParameter(long long value, std::string digits) : kind(Kind::Integer), text(std::move(digits)), number(value) {}

    Kind kind;
    std::string text;      // the text (quotes undone), or the number in plain decimal digits
    long long number = 0;  // the number (Integer only)
};

// A statement with the literals its conditions compare against taken out:
// `shape` is the text with a stand-in of the same kind for each ('?' for a
// text, 0 for a number), `parameters` their values in order. Statements
// that differ only in those literals have one shape, so they share one
// translation and one prepared statement, and a text bound as a parameter
// is compared and collated exactly as the literal would be. Bound are only
// literals right after a comparison operator, LIKE, BETWEEN or BETWEEN's
// AND, and the elements of an IN list, outside any select list, GROUP BY
// and ORDER BY; numbers only when whole and within 32 bits. Everything else
// stays in the shape as written. Throws SqlError for text that does not
// tokenise.
struct ParameterisedStatement {
    std::string shape;
    std::vector<SqlParameter> parameters;
};
ParameterisedStatement Parameterise(std::string_view sqlServerText);

class SqlDialect {
public:
    explicit SqlDialect(ColumnCatalogue catalogue, SqlTarget target = SqlTarget::SQLite)
        : catalogue_(std::move(catalogue)), target_(target) {}

    // One statement of SQL Server text in, text of the target out. Throws SqlError.
    std::string Translate(std::string_view sqlServerText) const;
    // The translation of a shape made by Parameterise, with the parameter
    // markers of the target (?1, ?2 ... on SQLite, $1, $2 ... on PostgreSQL)
    // in place of the stand-ins, numbered in order.
    std::string TranslateShape(std::string_view shape) const;

    const ColumnCatalogue& Catalogue() const { return catalogue_; }
    SqlTarget Target() const { return target_; }

private:
    ColumnCatalogue catalogue_;
    SqlTarget target_;
};

}  // namespace server
