// The order tracking window against plain SQLite: the real TfrmORTK41,
// opened by the host from the built module under the offscreen platform
// over a demo installation of (by default) 100,000 added order lines, runs
//   - OrderList: "查询" with no condition, the whole order list into
//     StringGrid1 (btnQuery1Click), and
//   - Expansion: "展开" of the order line with the most downstream documents
//     (btn03Click), the whole tree rebuilt,
// and beside each, in the same run, the very statements the window issued
// (captured with the service's SQL trace, in the text the service hands to
// SQLite) run directly on a SQLite connection to the same file, every row
// stepped and every value read. Prints both times and their ratio; the aim
// is a ratio below 1.5.
//
//   tamber_order_window_bench [--orders N] [benchmark options]
//
// The name carries "tamber": the process hosts program windows (see
// shell/ModuleHost.h).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "Grids.h"
#include "ModuleHost.h"
#include "ShellTestSupport.h"
#include "StrUtils.h"
#include "TempEnvironment.h"
#include "ortk41/ORTK41CF.h"

namespace {

long gOrders = 100000;

// One call the window made, as the service's trace recorded it.
struct TracedCall {
    std::string method;   // "SimpleSQL" or "UnitConvert"
    std::string sql;      // the statement as the window wrote it
};

// Reads a trace file: time, method, database, outcome, milliseconds, field
// list, SQL text, separated by tabs, one call per line.
std::vector<TracedCall> ReadTrace(const std::string& file) {
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

// The key of the order line with the most documents downstream: deliveries
// and their invoices, returns, advance invoices, requisitions, purchase
// orders, work orders and their routing steps.
const char* const kHeaviestLineSql =
    "SELECT a, b, c, COUNT(*) AS n FROM ("
    " SELECT RTRIM(TH014) a, RTRIM(TH015) b, RTRIM(TH016) c FROM COPTH"
    " UNION ALL SELECT RTRIM(TH014), RTRIM(TH015), RTRIM(TH016) FROM COPTH JOIN ACRTB ON TB004 = '1'"
    "  AND RTRIM(TB005) = RTRIM(TH001) AND RTRIM(TB006) = RTRIM(TH002) AND RTRIM(TB007) = RTRIM(TH003)"
    " UNION ALL SELECT RTRIM(TJ018), RTRIM(TJ019), RTRIM(TJ020) FROM COPTJ"
    " UNION ALL SELECT RTRIM(TB005), RTRIM(TB006), RTRIM(TB007) FROM ACRTB WHERE TB004 = '6'"
    " UNION ALL SELECT RTRIM(TB029), RTRIM(TB030), RTRIM(TB031) FROM PURTB"
    " UNION ALL SELECT RTRIM(TD013), RTRIM(TD021), RTRIM(TD023) FROM PURTD"
    " UNION ALL SELECT RTRIM(TA026), RTRIM(TA027), RTRIM(TA028) FROM MOCTA"
    " UNION ALL SELECT RTRIM(m.TA026), RTRIM(m.TA027), RTRIM(m.TA028) FROM MOCTA m JOIN SFCTA s"
    "  ON RTRIM(s.TA001) = RTRIM(m.TA001) AND RTRIM(s.TA002) = RTRIM(m.TA002)"
    ") WHERE a <> '' GROUP BY a, b, c ORDER BY n DESC, a, b, c LIMIT 1";

// The window opened by the host over the big demo installation, and a
// direct connection to the same database file.
class World {
public:
    World() : demo_(DemoSize()), host_({std::string(ORTK_BIN_DIR) + "/"}, demo_.host) {
        demo_.env->ExecWork = [](const std::string&, const std::string&) { return 0; };
        TDLLBaseController& controller = host_.Open({"ORTK41", "", 1, 0xFF, {}}, "KV", "PRTest65", "PRTest65", 0);
        QWidget* widget = QWidget::find(static_cast<WId>(controller.GetFormHandle()));
        form = widget ? dynamic_cast<TfrmORTK41*>(vcl::TControl::ControlOf(widget)) : nullptr;
        if (!form) Fail("the order tracking window cannot be reached");
        if (sqlite3_open_v2((demo_.Folder() + "PRTest65.db").c_str(), &direct, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            Fail("the demo database does not open");
        FindHeaviestLine();
        CaptureOrderList();
        CaptureExpansion();
    }
    ~World() {
        sqlite3_close(direct);
        host_.CloseAll();
    }

    // Statements in the text SQLite runs, captured from one run of each workload.
    std::vector<std::string> orderList, expansion;
    TfrmORTK41* form = nullptr;
    sqlite3* direct = nullptr;
    int listedRows = 0, heavyRow = 0, treeNodes = 0;
    std::string heavyKey;

private:
    static server::DemoOptions DemoSize() {
        server::DemoOptions options;
        options.orderLines = gOrders;
        return options;
    }

    [[noreturn]] static void Fail(const std::string& why) {
        std::fprintf(stderr, "tamber_order_window_bench: %s\n", why.c_str());
        std::exit(1);
    }

    void FindHeaviestLine() {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(direct, kHeaviestLineSql, -1, &stmt, nullptr) != SQLITE_OK ||
            sqlite3_step(stmt) != SQLITE_ROW)
            Fail(std::string("no order line has downstream documents: ") + sqlite3_errmsg(direct));
        for (int i = 0; i < 3; ++i)
            heavyKey += (i ? "-" : "") + std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
        std::printf("heaviest order line %s: %d downstream documents\n", heavyKey.c_str(), sqlite3_column_int(stmt, 3));
        sqlite3_finalize(stmt);
    }

    // Runs `action` once with the service's trace on; answers the statements
    // it issued, translated as the service translates them for SQLite.
    template <class Action>
    std::vector<std::string> Capture(const char* workload, Action action) {
        ortktest::TempFolder folder;
        std::string file = folder.Path() + "trace.txt";
        demo_.Sql().SetTraceFile(file);
        action();
        demo_.Sql().SetTraceFile("");
        std::vector<std::string> statements;
        int unitConversions = 0;
        for (const TracedCall& call : ReadTrace(file)) {
            if (call.method == "UnitConvert") ++unitConversions;
            else statements.push_back(demo_.Sql().Database("PRTest65").Translate(call.sql));
        }
        // "UnitConvert" has no statement of the window's to run directly; a
        // baseline without it would flatter the window.
        if (unitConversions) Fail(std::string(workload) + " asked for unit conversions; pick another line");
        if (statements.empty()) Fail(std::string(workload) + " issued no statement");
        std::printf("%s: %zu statements\n", workload, statements.size());
        return statements;
    }

    void CaptureOrderList() {
        orderList = Capture("OrderList", [this] { form->btnQuery1Click(nullptr); });
        listedRows = form->StringGrid1->RowCount() - 1;
        std::string windowSql = demo_.Sql().Database("PRTest65").Translate(form->OrderListSql());
        if (orderList.size() != 1 || orderList[0] != windowSql)
            Fail("the order list issued other statements than OrderListSql()");
        size_t rows = bench::RunDirect(direct, orderList[0]);
        if (static_cast<size_t>(listedRows) != rows)
            Fail("the grid shows " + std::to_string(listedRows) + " rows of the " + std::to_string(rows) + " listed");
        for (int r = 1; r <= listedRows && !heavyRow; ++r)
            if (plat::Trim(form->StringGrid1->Cells(0, r)) + "-" + plat::Trim(form->StringGrid1->Cells(1, r)) + "-" +
                    plat::Trim(form->StringGrid1->Cells(2, r)) ==
                heavyKey)
                heavyRow = r;
        if (!heavyRow) Fail("the heaviest line " + heavyKey + " is not listed");
        std::printf("OrderList: %d rows listed\n", listedRows);
    }

    void CaptureExpansion() {
        form->StringGrid1->SetRow(heavyRow);
        form->StringGrid1Click(form->StringGrid1);
        expansion = Capture("Expansion", [this] { form->btn03Click(nullptr); });
        treeNodes = form->TreeView->Items()->Count();
        if (treeNodes < 3) Fail("the expanded tree has " + std::to_string(treeNodes) + " nodes");
        std::printf("Expansion: %d tree nodes\n", treeNodes);
    }

    // Messages the window shows are answered OK; none is expected.
    plat::ScopedScriptedDialogs dialogs_;
    shelltest::DemoHost demo_;
    shell::ModuleHost host_;
};

std::unique_ptr<World> gWorld;

void Window_OrderList(benchmark::State& state) {
    for (auto _ : state) gWorld->form->btnQuery1Click(nullptr);
    if (gWorld->form->StringGrid1->RowCount() - 1 != gWorld->listedRows) state.SkipWithError("the list changed");
    state.counters["rows"] = gWorld->listedRows;
}

void Direct_OrderList(benchmark::State& state) {
    size_t rows = 0;
    for (auto _ : state)
        for (const std::string& sql : gWorld->orderList) rows += bench::RunDirect(gWorld->direct, sql);
    state.counters["rows"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

void Window_Expansion(benchmark::State& state) {
    // The list may have been run again: select the heavy line afresh.
    gWorld->form->StringGrid1->SetRow(gWorld->heavyRow);
    gWorld->form->StringGrid1Click(gWorld->form->StringGrid1);
    for (auto _ : state) gWorld->form->btn03Click(nullptr);
    if (gWorld->form->TreeView->Items()->Count() != gWorld->treeNodes) state.SkipWithError("the tree changed");
    state.counters["nodes"] = gWorld->treeNodes;
}

void Direct_Expansion(benchmark::State& state) {
    size_t rows = 0;
    for (auto _ : state)
        for (const std::string& sql : gWorld->expansion) rows += bench::RunDirect(gWorld->direct, sql);
    state.counters["rows"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--orders") == 0 && i + 1 < argc) gOrders = std::atol(argv[++i]);
        else rest.push_back(argv[i]);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int count = static_cast<int>(rest.size());
    QApplication app(count, rest.data());
    benchmark::Initialize(&count, rest.data());
    gWorld = std::make_unique<World>();

    benchmark::RegisterBenchmark("Window/OrderList", Window_OrderList)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Direct/OrderList", Direct_OrderList)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Window/Expansion", Window_Expansion)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Direct/Expansion", Direct_Expansion)->Unit(benchmark::kMillisecond);
    bench::RatioReporter reporter({{"OrderList", "Window/OrderList", "Direct/OrderList"},
                                   {"Expansion", "Window/Expansion", "Direct/Expansion"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios("window");
    benchmark::Shutdown();
    gWorld.reset();
    return 0;
}
