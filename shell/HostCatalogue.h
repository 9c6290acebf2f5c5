// What the host shell knows about the business tables it serves to program
// modules: the lookup (F2) lists by table and mode, the code checks and data
// queries by table and kind, and the document programs that ExecWork opens
// read-only. Every statement is written in the suite's SQL dialect and runs
// through the same service as the programs' own SQL.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shell {

// A lookup list: the statement (its WHERE part ends with a placeholder-free
// condition), captions of the shown columns, and which columns make up the
// answer row handed back to the program.
struct LookupDefinition {
    std::string Table;
    std::string Mode;
    std::string Title;
    std::string Sql;                     // lists every candidate row, ordered
    std::vector<std::string> Captions;   // one per selected column
    std::vector<size_t> DateColumns;     // columns of stored dates, shown in the company's format
};

// A code check / data query: a statement selecting the answer columns for
// the key values, which are quoted into the %s placeholders in order.
struct CheckDefinition {
    std::string Table;
    std::string Kind;
    std::string Sql;
    int KeyCount = 1;
};

// A document program: head table and line table with their join, so that
// the caller's condition on the head key selects one document.
struct DocumentProgram {
    std::string ProgramCode;
    std::string Title;
    std::string HeadTable;   // also the alias the caller's condition uses
    std::string LineTable;   // empty when the head rows are the document
    std::string Join;        // ON part joining lines to the head
};

const LookupDefinition* FindLookup(const std::string& table, const std::string& mode);
const CheckDefinition* FindCheck(const std::string& table, const std::string& kind);
const DocumentProgram* FindDocumentProgram(const std::string& programCode);

// The check statement with its keys quoted in; nullopt when too few keys.
std::optional<std::string> CheckStatement(const CheckDefinition& check, const std::vector<std::string>& keys);

}  // namespace shell
