// The order tracking window against plain SQLite: the real TfrmORTK41,
// opened by the host from the built module under the offscreen platform
// over a demo installation of (by default) 100,000 added order lines, runs
//   - OrderList: "查询" with no condition, the whole order list into
//     StringGrid1 (btnQuery1Click), and
//   - Expansion: "展开" of the order line with the most downstream documents
//     (btn03Click), the whole tree rebuilt, again and again (its statements
//     are then known to the service), and
//   - FirstExpansion: "展开" of a different heavy order line in each
//     iteration, none of them expanded before, so that the service meets
//     every statement for the first time (each of these runs exactly once
//     per process: a second run would find the statements known),
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
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ComCtrls.h"
#include "Grids.h"
#include "HostedWindow.h"
#include "StrUtils.h"

namespace {

long gOrders = 100000;

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
    ") WHERE a <> '' GROUP BY a, b, c ORDER BY n DESC, a, b, c";

// Order lines expanded once each by FirstExpansion: the heaviest after the
// one the repeated expansion uses.
int gFirstExpansions = 300;

// True when a requisition of the order line has a purchase record in
// another unit: its tree asks for a unit conversion, which has no statement
// to run directly.
const char* const kConvertsUnitsSql =
    "SELECT 1 FROM PURTB JOIN PURTR ON TR001 = TB001 AND TR002 = TB002 AND TR003 = TB003 AND TR017 = 'Y'"
    " WHERE TB025 = 'Y' AND RTRIM(TB029) = ?1 AND RTRIM(TB030) = ?2 AND RTRIM(TB031) = ?3"
    " AND TR008 <> TB007 COLLATE BINARY LIMIT 1";

// The window over the big demo installation, with the heaviest order line
// found and the statements of both workloads captured.
class World {
public:
    World() : window("tamber_order_window_bench", gOrders), form(window.form), direct(window.direct) {
        FindHeavyLines();
        CaptureOrderList();
        CaptureExpansion();
    }

    bench::HostedWindow window;   // first: form and direct are its own
    TfrmORTK41* form;
    sqlite3* direct;
    // Statements in the text SQLite runs, captured from one run of each workload.
    std::vector<std::string> orderList, expansion;
    int listedRows = 0, heavyRow = 0, treeNodes = 0;
    std::string heavyKey;
    // The lines of the first expansions: keys, grid rows, and the
    // statements of each (captured after the window has expanded them).
    std::vector<std::string> firstKeys;
    std::vector<int> firstRows;
    std::vector<std::vector<std::string>> firstStatements;
    int firstDocuments = 0;

    // Selects grid row `row` as a click does.
    void Select(int row) {
        form->StringGrid1->SetRow(row);
        form->StringGrid1Click(form->StringGrid1);
    }

    // The statements of each first expansion, captured once by expanding
    // the lines again with the trace on.
    const std::vector<std::vector<std::string>>& FirstStatements() {
        if (firstStatements.empty())
            for (int row : firstRows) {
                Select(row);
                firstStatements.push_back(window.Capture("FirstExpansion", [this] { form->btn03Click(nullptr); }, false));
            }
        return firstStatements;
    }

private:
    // The heaviest order line for the repeated expansion, and the next
    // heaviest ones that ask for no unit conversion for the first expansions.
    void FindHeavyLines() {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_stmt* converts = nullptr;
        if (sqlite3_prepare_v2(direct, kHeaviestLineSql, -1, &stmt, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(direct, kConvertsUnitsSql, -1, &converts, nullptr) != SQLITE_OK)
            window.Fail(std::string("the heavy lines cannot be found: ") + sqlite3_errmsg(direct));
        int documents = 0;
        while (static_cast<int>(firstKeys.size()) < gFirstExpansions && sqlite3_step(stmt) == SQLITE_ROW) {
            std::string key;
            for (int i = 0; i < 3; ++i) {
                const char* part = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                key += (i ? "-" : "") + std::string(part);
                sqlite3_bind_text(converts, i + 1, part, -1, SQLITE_TRANSIENT);
            }
            bool convertsUnits = sqlite3_step(converts) == SQLITE_ROW;
            sqlite3_reset(converts);
            if (heavyKey.empty()) {
                heavyKey = key;
                documents = sqlite3_column_int(stmt, 3);
            } else if (!convertsUnits) {
                firstKeys.push_back(key);
                firstDocuments += sqlite3_column_int(stmt, 3);
            }
        }
        sqlite3_finalize(converts);
        sqlite3_finalize(stmt);
        if (heavyKey.empty()) window.Fail("no order line has downstream documents");
        std::printf("heaviest order line %s: %d downstream documents; %zu more lines for the first expansions, "
                    "%d documents in all\n",
                    heavyKey.c_str(), documents, firstKeys.size(), firstDocuments);
    }

    void CaptureOrderList() {
        orderList = window.Capture("OrderList", [this] { form->btnQuery1Click(nullptr); });
        listedRows = form->StringGrid1->RowCount() - 1;
        if (orderList.size() != 1 || orderList[0] != window.Translate(form->OrderListSql()))
            window.Fail("the order list issued other statements than OrderListSql()");
        size_t rows = bench::RunDirect(direct, orderList[0]);
        if (static_cast<size_t>(listedRows) != rows)
            window.Fail("the grid shows " + std::to_string(listedRows) + " rows of the " + std::to_string(rows) +
                         " listed");
        std::map<std::string, int> rowOfKey;
        for (int r = 1; r <= listedRows; ++r)
            rowOfKey.emplace(plat::Trim(form->StringGrid1->Cells(0, r)) + "-" +
                                 plat::Trim(form->StringGrid1->Cells(1, r)) + "-" +
                                 plat::Trim(form->StringGrid1->Cells(2, r)),
                             r);
        auto listed = rowOfKey.find(heavyKey);
        if (listed == rowOfKey.end()) window.Fail("the heaviest line " + heavyKey + " is not listed");
        heavyRow = listed->second;
        // Lines of unconfirmed orders are not listed: they cannot be expanded.
        for (const std::string& key : firstKeys)
            if ((listed = rowOfKey.find(key)) != rowOfKey.end()) firstRows.push_back(listed->second);
        if (firstRows.size() < firstKeys.size() / 2)
            window.Fail("only " + std::to_string(firstRows.size()) + " of the heavy lines are listed");
        std::printf("OrderList: %d rows listed; %zu heavy lines listed for the first expansions\n", listedRows,
                    firstRows.size());
    }

    void CaptureExpansion() {
        Select(heavyRow);
        expansion = window.Capture("Expansion", [this] { form->btn03Click(nullptr); });
        treeNodes = form->TreeView->Items()->Count();
        if (treeNodes < 3) window.Fail("the expanded tree has " + std::to_string(treeNodes) + " nodes");
        std::printf("Expansion: %d tree nodes\n", treeNodes);
    }
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
    gWorld->Select(gWorld->heavyRow);
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

// One iteration per line, each line expanded for the first time; its
// selection is not timed.
void Window_FirstExpansion(benchmark::State& state) {
    if (!gWorld->firstStatements.empty()) {
        state.SkipWithError("the lines were expanded before: run this benchmark once per process");
        return;
    }
    size_t line = 0, nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        gWorld->Select(gWorld->firstRows[line++]);
        state.ResumeTiming();
        gWorld->form->btn03Click(nullptr);
        state.PauseTiming();
        nodes += static_cast<size_t>(gWorld->form->TreeView->Items()->Count());
        state.ResumeTiming();
    }
    state.counters["nodes"] = static_cast<double>(nodes) / static_cast<double>(state.iterations());
}

void Direct_FirstExpansion(benchmark::State& state) {
    const auto& statements = gWorld->FirstStatements();
    size_t line = 0, rows = 0, count = 0;
    for (auto _ : state) {
        for (const std::string& sql : statements[line]) rows += bench::RunDirect(gWorld->direct, sql);
        count += statements[line++].size();
    }
    state.counters["rows"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
    state.counters["statements"] = static_cast<double>(count) / static_cast<double>(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--orders") == 0 && i + 1 < argc) gOrders = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--first-expansions") == 0 && i + 1 < argc)
            gFirstExpansions = std::max(1, std::atoi(argv[++i]));
        else rest.push_back(argv[i]);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int count = static_cast<int>(rest.size());
    QApplication app(count, rest.data());
    benchmark::Initialize(&count, rest.data());
    gWorld = std::make_unique<World>();

    // A list takes about a second: several runs each, so that one slow run does not decide the ratio.
    benchmark::RegisterBenchmark("Window/OrderList", Window_OrderList)->Unit(benchmark::kMillisecond)->MinTime(4);
    benchmark::RegisterBenchmark("Direct/OrderList", Direct_OrderList)->Unit(benchmark::kMillisecond)->MinTime(2);
    benchmark::RegisterBenchmark("Window/Expansion", Window_Expansion)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Direct/Expansion", Direct_Expansion)->Unit(benchmark::kMillisecond);
    // The window first: the baseline's statements are captured by expanding the lines again.
    const auto lines = static_cast<benchmark::IterationCount>(gWorld->firstRows.size());
    benchmark::RegisterBenchmark("Window/FirstExpansion", Window_FirstExpansion)
        ->Unit(benchmark::kMillisecond)->Iterations(lines)->Repetitions(1);
    benchmark::RegisterBenchmark("Direct/FirstExpansion", Direct_FirstExpansion)
        ->Unit(benchmark::kMillisecond)->Iterations(lines)->Repetitions(1);
    bench::RatioReporter reporter({{"OrderList", "Window/OrderList", "Direct/OrderList"},
                                   {"FirstExp", "Window/FirstExpansion", "Direct/FirstExpansion"},
                                   {"Expansion", "Window/Expansion", "Direct/Expansion"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios("window");
    benchmark::Shutdown();
    gWorld.reset();
    return 0;
}
