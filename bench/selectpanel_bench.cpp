// The selection panel's list filled row by row, as a multi-select lookup
// that returns many rows fills it: 10,000 rows (one in ten a duplicate, in
// random order, three values each) added to a panel that keeps its list
// sorted and without duplicates, beside the same rows added to a plain
// panel. Prints the time of the sorted, de-duplicating fill against the
// half second a user may wait for it.
//
//   selectpanel_bench [--rows N] [benchmark options]   (N defaults to 10000)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Forms.h"
#include "controls/SelectPnl.h"

namespace {

long gRows = 10000;
constexpr double kLimitSeconds = 0.5;

// The lookup's answer: codes in random order, one in ten repeating an earlier one.
std::vector<std::vector<std::string>> LookupRows(long count) {
    std::mt19937 random(2026);
    std::vector<std::vector<std::string>> rows;
    for (long i = 0; i < count; ++i) {
        long code = i % 10 == 9 ? static_cast<long>(random() % static_cast<unsigned long>(i)) : i;
        rows.push_back({"C" + std::to_string(100000 + code), "客户" + std::to_string(code), "台北"});
    }
    std::shuffle(rows.begin(), rows.end(), random);
    return rows;
}

// A shown window holding one list panel; freed with the window.
struct PanelWindow {
    explicit PanelWindow(bool sortedUnique) {
        form = vcl::TComponent::Create<vcl::TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        panel = vcl::TComponent::Create<TSelectPanel>(form);
        panel->SetParent(form);
        panel->SetBounds(10, 10, 400, 300);
        panel->SetStyle(TSelectStyle::sp_Discrete);
        if (sortedUnique) panel->SetCheckDuplicate(TCheckDuplicate::cd_CheckCase);   // sorts as well
        form->Show();
    }
    ~PanelWindow() { form->Free(); }
    vcl::TForm* form = nullptr;
    TSelectPanel* panel = nullptr;
};

// Seconds to add `rows` to a fresh panel.
double Fill(bool sortedUnique, const std::vector<std::vector<std::string>>& rows) {
    PanelWindow window(sortedUnique);
    QElapsedTimer timer;
    timer.start();
    for (const auto& row : rows) window.panel->AddListRow(row);
    double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    benchmark::DoNotOptimize(window.panel->Items()->Count());
    return seconds;
}

void AddRows(benchmark::State& state, bool sortedUnique) {
    const auto rows = LookupRows(gRows);
    for (auto _ : state) state.SetIterationTime(Fill(sortedUnique, rows));
    state.counters["rows"] = static_cast<double>(gRows);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) gRows = std::atol(argv[++i]);
        else rest.push_back(argv[i]);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int count = static_cast<int>(rest.size());
    QApplication app(count, rest.data());
    benchmark::Initialize(&count, rest.data());
    benchmark::RegisterBenchmark("SelectPanel/AddRows/SortedUnique", AddRows, true)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SelectPanel/AddRows/Plain", AddRows, false)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();

    const double seconds = Fill(true, LookupRows(gRows));
    std::printf("%ld rows added to a sorted, de-duplicating selection panel: %.3f s (limit %.1f s) %s\n", gRows,
                seconds, kLimitSeconds, seconds < kLimitSeconds ? "ok" : "TOO SLOW");
    return seconds < kLimitSeconds ? 0 : 1;
}
