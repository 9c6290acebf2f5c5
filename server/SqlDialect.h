// Translation of the suite's SQL Server dialect into SQLite text with SQL
// Server meaning. The program modules write "$$" directly before table names,
// "+" between texts, TOP n after SELECT, N'...' literals, ISNULL(a, b) and
// table hints such as WITH (NOLOCK); SQLite knows none of these.
//
// What the translation does:
//   - "$$" is dropped: every company database is its own SQLite file and a
//     statement runs on the connection of the database named in the call, so
//     "$$COPTC" and "COPTC" name the same table (see CompanyDatabase).
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
// It does not judge whether the statement reads or writes; the database
// connection does that when the statement is prepared.
#pragma once

#include <map>
#include <string>
#include <string_view>

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

class SqlDialect {
public:
    explicit SqlDialect(ColumnCatalogue catalogue) : catalogue_(std::move(catalogue)) {}

    // One statement of SQL Server text in, SQLite text out. Throws SqlError.
    std::string Translate(std::string_view sqlServerText) const;

    const ColumnCatalogue& Catalogue() const { return catalogue_; }

private:
    ColumnCatalogue catalogue_;
};

}  // namespace server
