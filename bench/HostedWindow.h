// What the window benchmarks share: the order tracking window TfrmORTK41
// opened by the host from the built module (offscreen) over a demo
// installation of a given number of added order lines, a direct read-only
// SQLite connection to the same company database, and the capture of the
// statements a workload issues (the service's SQL trace, in the text the
// service hands to SQLite) so that a benchmark can run them directly as its
// baseline.
//
// Only for benchmarks named "tamber...": they link the shell and see the
// tests' support headers (see CMakeLists.txt).
#pragma once

#include <sqlite3.h>

#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "ModuleHost.h"
#include "ShellTestSupport.h"
#include "TempEnvironment.h"
#include "ortk41/ORTK41CF.h"

namespace bench {

// One call the window made, as the service's trace recorded it.
struct TracedCall {
    std::string method;   // "SimpleSQL" or "UnitConvert"
    std::string sql;      // the statement as the window wrote it
};

// Reads a trace file: time, method, database, outcome, milliseconds, field
// list, SQL text, separated by tabs, one call per line. A call that failed
// ends the benchmark: a workload that ran into errors measures nothing.
inline std::vector<TracedCall> ReadTrace(const std::string& file) {
    std::vector<TracedCall> calls;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> parts;
        size_t from = 0;
        for (int i = 0; i < 6; ++i) {
            size_t tab = line.find('\t', from);
            if (tab == std::string::npos) break;
            parts.push_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        if (parts.size() != 6) continue;
        if (parts[3].rfind("error=", 0) == 0) {
            std::fprintf(stderr, "the window's statement failed: %s\n", line.c_str());
            std::abort();
        }
        calls.push_back({parts[1], line.substr(from)});
    }
    return calls;
}

// The window opened by the host over the demo installation, and a direct
// connection to the same database file. Messages the window shows are
// recorded and answered OK (Dialogs()); a benchmark expects none.
class HostedWindow {
public:
    // `program` names the benchmark in failure messages.
    HostedWindow(std::string program, long orderLines)
        : program_(std::move(program)), demo_(DemoSize(orderLines)),
          host_({std::string(ORTK_BIN_DIR) + "/"}, demo_.host) {
        demo_.env->ExecWork = [](const std::string&, const std::string&) { return 0; };
        TDLLBaseController& controller = host_.Open({"ORTK41", "", 1, 0xFF, {}}, "KV", "PRTest65", "PRTest65", 0);
        QWidget* widget = QWidget::find(static_cast<WId>(controller.GetFormHandle()));
        form = widget ? dynamic_cast<TfrmORTK41*>(vcl::TControl::ControlOf(widget)) : nullptr;
        if (!form) Fail("the order tracking window cannot be reached");
        if (sqlite3_open_v2((demo_.Folder() + "PRTest65.db").c_str(), &direct, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            Fail("the demo database does not open");
    }
    ~HostedWindow() {
        sqlite3_close(direct);
        host_.CloseAll();
    }
    HostedWindow(const HostedWindow&) = delete;
    HostedWindow& operator=(const HostedWindow&) = delete;

    TfrmORTK41* form = nullptr;
    sqlite3* direct = nullptr;

    // Ends the run with a message: a benchmark whose set-up went wrong has
    // nothing to report.
    [[noreturn]] void Fail(const std::string& why) const {
        std::fprintf(stderr, "%s: %s\n", program_.c_str(), why.c_str());
        std::exit(1);
    }

    // Runs `action` once with the service's trace on; answers the statements
    // it issued, translated as the service translates them for SQLite.
    // "UnitConvert" calls have no statement of the window's to run directly;
    // a baseline without them would flatter the window, so a workload that
    // makes one ends the run. `report` prints the number of statements.
    template <class Action>
    std::vector<std::string> Capture(const char* workload, Action action, bool report = true) {
        ortktest::TempFolder folder;
        std::string file = folder.Path() + "trace.txt";
        demo_.Sql().SetTraceFile(file);
        action();
        demo_.Sql().SetTraceFile("");
        std::vector<std::string> statements;
        int unitConversions = 0;
        for (const TracedCall& call : ReadTrace(file)) {
            if (call.method == "UnitConvert") ++unitConversions;
            else statements.push_back(Translate(call.sql));
        }
        if (unitConversions) Fail(std::string(workload) + " asked for unit conversions; pick other lines");
        if (statements.empty()) Fail(std::string(workload) + " issued no statement");
        if (report) std::printf("%s: %zu statements\n", workload, statements.size());
        return statements;
    }

    // A statement of the window's in the text SQLite runs.
    std::string Translate(const std::string& sql) { return demo_.Sql().Database("PRTest65").Translate(sql); }

    // The messages the window showed so far.
    plat::ScriptedDialogs& Dialogs() { return *dialogs_; }

private:
    static server::DemoOptions DemoSize(long orderLines) {
        server::DemoOptions options;
        options.orderLines = orderLines;
        return options;
    }

    std::string program_;
    plat::ScopedScriptedDialogs dialogs_;
    shelltest::DemoHost demo_;
    shell::ModuleHost host_;
};

}  // namespace bench
