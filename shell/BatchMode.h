// The batch mode of the host shell: opens the order tracking program on the
// offscreen platform, gives the conditions to its condition edits as a paste
// would (under each edit's mask and length), runs the query, expands the
// asked rows and prints the list and the trees (as text or JSON) — for
// scripts and for checking results.
//
// Exit status: 0 when everything listed; 2 for a refused option (also a
// condition with a control character, one longer than its edit, a trace
// file that cannot be opened); 1 for a failed start-up or sign-on, a
// condition the window refused and any listing that failed.
//
//   tamber-workcenter ortk41 [--user U --company C --database D]
//     [--order FROM..TO] [--order-date FROM..TO] [--customer FROM..TO]
//     [--customer-order FROM..TO] [--delivery-date FROM..TO] [--closed 1|2|3]
//     [--project CODE] [--tree all|ROW[,ROW...]] [--json] [--trace-sql FILE]
//     [--ui-code-page 936|950|437] [--export FILE]
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace shell {

struct BatchOptions {
    std::string User = "KV";
    std::string Company = "PRTest65";
    std::string Database;
    std::vector<std::pair<std::string, std::pair<std::string, std::string>>> Ranges;   // panel, from, to
    int Closed = 3;
    std::string Project;
    bool TreeAll = false;
    std::vector<int> TreeRows;
    bool Json = false;
    std::string TraceFile;
    std::string UICodePage;
    std::string ExportFile;   // the outline of all listed orders goes here; never overwritten
};

// Parses the batch options after the program name; the error text names
// the offending option (nullopt result).
std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args, std::string& error);

// One expanded tree node.
struct BatchNode {
    int Level = 0;
    std::string Text;
    int Kind = 0;
    std::string Program;     // what "开启" hands to the host, for kinds other than 0
    std::string Condition;
};

struct BatchResult {
    std::vector<std::vector<std::string>> Grid;   // heading row first
    std::vector<std::pair<int, std::vector<BatchNode>>> Trees;   // grid row, its nodes
};

// Text: one line per grid row (cells split by tabs) and per tree node; a
// tab, line break, carriage return or backslash inside a value is written
// \t, \n, \r, \\. JSON: always valid UTF-8 (bytes that are not become U+FFFD).
std::string FormatText(const BatchResult& result);
std::string FormatJson(const BatchResult& result);

// Runs the batch; prints the result on standard output, or a message on
// standard error. Returns the process exit status.
int RunBatch(int argc, char** argv, int firstOption);

}  // namespace shell
