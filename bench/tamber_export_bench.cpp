// The order tracking window's export against its two ingredients done by
// hand: the real TfrmORTK41, opened by the host from the built module under
// the offscreen platform over a demo installation of (by default) 100,000
// added order lines, lists about 1,000 order lines (a range of order numbers
// typed in sp01) and exports them the way a user does:
//   - Export/Window: "汇出" (btnExport), the export dialog answered with a
//     fresh file name and OK, ExportOrders writing the outline of every
//     listed line through "Excel.Application" into an .xlsx file;
// and beside it, in the same run,
//   - Direct/ExportStatements: the very statements the export issued
//     (captured with the service's SQL trace) run directly on SQLite, every
//     row stepped and every value read, and
//   - Xlsxwriter/ExportCells: the cells of the exported file (read back
//     once) written with libxlsxwriter alone, in the same streaming mode and
//     text format the spreadsheet application uses.
// Prints the three times, the sum of the two baselines and the ratio of the
// export to that sum, and the process's peak resident memory during one
// export and during one run of both baselines. Then, unless told not to,
// the whole unconditioned list is exported once: its time, its peak
// resident memory and the longest wait between two steps of the progress
// window (and from the last step to the end, the final save).
//
//   tamber_export_bench [--orders N] [--lines N] [--full-export 0|1] [benchmark options]
//
// The name carries "tamber": the process hosts program windows (see
// shell/ModuleHost.h).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <xlsxwriter.h>

#include <QApplication>
#include <QTimer>
#include <malloc.h>

#include <algorithm>
#include <chrono>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Buttons.h"
#include "ExcelApplication.h"
#include "Grids.h"
#include "HostedWindow.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "TempEnvironment.h"
#include "XlsxReader.h"
#include "controls/SelectPnl.h"
#include "export/OleExcel.h"
#include "Gauges.h"
#include "forms/StatusForm.h"
#include "ortk41/ORTK41DF.h"

namespace {

long gOrders = 100000;
long gLines = 1000;   // order lines to list and export (the nearest whole orders)
bool gFullExport = true;   // also export the whole unconditioned list once

// ---- resident memory (Linux) ----

// A "VmRSS:"-style line of /proc/self/status in kB; -1 when absent.
long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    size_t length = std::strlen(key);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, length, key) == 0) return std::atol(line.c_str() + length);
    return -1;
}

struct PeakResident {
    bool known = false;   // false when the peak could not be reset or read
    long beforeKb = 0;    // resident when the peak was reset
    long peakKb = 0;      // highest resident until the action returned
};

// Runs `action` with the process's peak resident size reset just before
// it ("5" into clear_refs), so that VmHWM afterwards is the peak during it.
// The heap's free memory is given back first: memory freed by earlier work
// but still resident would otherwise hide what the action itself needs.
template <class Action>
PeakResident MeasurePeak(Action action) {
    PeakResident result;
    malloc_trim(0);
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5" << std::flush;
        result.known = reset.good();
    }
    result.beforeKb = StatusKb("VmRSS:");
    action();
    result.peakKb = StatusKb("VmHWM:");
    result.known = result.known && result.beforeKb > 0 && result.peakKb > 0;
    return result;
}

void PrintPeak(const char* what, const PeakResident& peak) {
    if (!peak.known) {
        std::printf("peak resident %-28s unknown (no /proc/self/clear_refs or VmHWM)\n", what);
        return;
    }
    std::printf("peak resident %-28s %8.1f MB   (%+.1f MB over %.1f MB before)\n", what, peak.peakKb / 1024.0,
                (peak.peakKb - peak.beforeKb) / 1024.0, peak.beforeKb / 1024.0);
}

// ---- the baseline writer ----

// One text cell of the exported file, 0-based as libxlsxwriter counts.
struct SheetCell {
    lxw_row_t row;
    lxw_col_t column;
    std::string text;
};

struct SheetCells {
    std::string name;
    std::vector<SheetCell> cells;   // by row, then column
};

// Writes the cells into a new workbook at `path` with libxlsxwriter and
// nothing else: streaming mode, every cell a text in the text format ("@"),
// as the spreadsheet application writes them. Aborts when the file cannot
// be written: a baseline that wrote nothing would make any ratio look good.
void WriteCellsAlone(const std::vector<SheetCells>& sheets, const std::string& path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    if (!workbook) {
        std::fprintf(stderr, "libxlsxwriter cannot start %s\n", path.c_str());
        std::abort();
    }
    lxw_format* text = workbook_add_format(workbook);
    format_set_num_format(text, "@");
    for (const SheetCells& sheet : sheets) {
        lxw_worksheet* worksheet = workbook_add_worksheet(workbook, sheet.name.c_str());
        for (const SheetCell& cell : sheet.cells)
            if (!worksheet || worksheet_write_string(worksheet, cell.row, cell.column, cell.text.c_str(), text) !=
                                  LXW_NO_ERROR) {
                std::fprintf(stderr, "libxlsxwriter refuses a cell of %s\n", sheet.name.c_str());
                std::abort();
            }
    }
    lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        std::fprintf(stderr, "libxlsxwriter cannot write %s: %s\n", path.c_str(), lxw_strerror(error));
        std::abort();
    }
}

// ---- the window ----

class World {
public:
    World() : window("tamber_export_bench", gOrders), form(window.form) {
        excel::RegisterExcelApplication();
        plat::SetShellOpenHandler([this](const std::string& file) {
            opened.push_back(file);
            return true;
        });
        ListAboutTheLines();
        CaptureExport();
    }
    ~World() { plat::SetShellOpenHandler({}); }

    bench::HostedWindow window;   // first: form is its own
    TfrmORTK41* form;
    int listedRows = 0;
    std::vector<std::string> statements;   // the export's, in the text SQLite runs
    std::vector<SheetCells> cells;         // the exported file's
    size_t cellCount = 0;
    int exports = 0;                       // exports run so far

    // Lists every order line (no condition); answers the number listed.
    int ListAll() {
        long expected = CountListed("", "");
        form->btnQuery1->Click();
        listedRows = form->StringGrid1->RowCount() - 1;
        if (listedRows != expected)
            window.Fail("the grid shows " + std::to_string(listedRows) + " rows of the " + std::to_string(expected) +
                        " listed");
        return listedRows;
    }

    // A name no file has yet, in the benchmark's own folder.
    std::string FreshPath(const char* stem) {
        return folder_.Path() + stem + "-" + std::to_string(++files_) + ".xlsx";
    }

    // The whole export as a user runs it: "汇出", the path typed into the
    // dialog and OK pressed, the file written and handed to the shell.
    // False when the file was not handed to the shell or the window showed
    // a message (a refused path, a failed export).
    bool Export(const std::string& path) {
        opened.clear();
        size_t messages = window.Dialogs().Shown.size();
        // Shared with the timer, which outlives this call when no dialog came up.
        auto dialogShown = std::make_shared<bool>(false);
        QTimer::singleShot(0, [this, path, dialogShown] {
            TfrmORTK41DF* dialog = form->ExportDialog;
            *dialogShown = dialog->IsModal();
            if (!*dialogShown) return;
            dialog->edPath->SetText(path);
            dialog->btnOK->SetFocus();
            dialog->btnOK->Click();
            // A refused path leaves the dialog up: cancel it on the next turn.
            QTimer::singleShot(0, [dialog] {
                if (dialog->IsModal()) dialog->btnCancel->Click();
            });
        });
        form->btnExport->Click();
        ++exports;
        return *dialogShown && opened == std::vector<std::string>{path} && window.Dialogs().Shown.size() == messages;
    }

private:
    // The order list of one range typed in sp01, as the window composes it.
    long CountListed(const std::string& from, const std::string& to) {
        form->sp01->BeginEdit->SetText(from);
        form->sp01->FinalEdit->SetText(to);
        std::string sql = "SELECT COUNT(*) FROM (" + window.Translate(form->OrderListSql()) + ")";
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(window.direct, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK ||
            sqlite3_step(stmt) != SQLITE_ROW)
            window.Fail(std::string("the order list does not count: ") + sqlite3_errmsg(window.direct));
        long count = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        return count;
    }

    // Types the smallest range of "2201" order numbers, from the first added
    // order on, whose list holds at least gLines lines, and lists it.
    void ListAboutTheLines() {
        std::vector<std::string> numbers;
        sqlite3_stmt* stmt = nullptr;
        const char* sql = "SELECT DISTINCT RTRIM(TC002) FROM COPTC WHERE TC001 = '2201' AND TC002 LIKE '2025%' ORDER BY 1";
        if (sqlite3_prepare_v2(window.direct, sql, -1, &stmt, nullptr) != SQLITE_OK)
            window.Fail(std::string("the orders do not read: ") + sqlite3_errmsg(window.direct));
        while (sqlite3_step(stmt) == SQLITE_ROW)
            numbers.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        if (numbers.empty()) window.Fail("the demo database has no added orders of type 2201");

        std::string from = "2201-" + numbers.front();
        size_t low = 0, high = numbers.size() - 1;
        if (CountListed(from, "2201-" + numbers[high]) < gLines)
            window.Fail("fewer than " + std::to_string(gLines) + " order lines of type 2201 are listed");
        while (low < high) {   // the first upper bound that lists enough lines
            size_t middle = (low + high) / 2;
            if (CountListed(from, "2201-" + numbers[middle]) >= gLines) high = middle;
            else low = middle + 1;
        }
        std::string to = "2201-" + numbers[low];
        long expected = CountListed(from, to);
        form->btnQuery1->Click();
        listedRows = form->StringGrid1->RowCount() - 1;
        if (listedRows != expected)
            window.Fail("the grid shows " + std::to_string(listedRows) + " rows of the " + std::to_string(expected) +
                        " listed");
        std::printf("listed %s .. %s: %d order lines\n", from.c_str(), to.c_str(), listedRows);
    }

    // One export with the trace on: its statements, and its file checked
    // and read back.
    void CaptureExport() {
        std::string path = FreshPath("captured");
        bool exported = false;
        statements = window.Capture("Export", [&] { exported = Export(path); });
        if (!exported) window.Fail("the export did not finish: " + LastMessage());
        CheckAndRead(path);
    }

    std::string LastMessage() {
        const auto& shown = window.Dialogs().Shown;
        return shown.empty() ? "no message, nothing handed to the shell" : shown.back().Text;
    }

    // The file has the grid's heading in row 1 and one block per listed
    // line, in the grid's order, each starting with the line's key in
    // columns 1-3; every cell is a text. Keeps the cells for the baseline.
    void CheckAndRead(const std::string& path) {
        ortktest::XlsxBook book = ortktest::ReadXlsx(path);
        if (book.Sheets.empty()) window.Fail("the exported file has no sheet");
        const ortktest::XlsxSheet& first = book.Sheets[0];
        for (int c = 0; c < 6; ++c)
            if (first.TextAt(1, c + 1) != form->StringGrid1->Cells(c, 0))
                window.Fail("heading cell " + std::to_string(c + 1) + " is \"" + first.TextAt(1, c + 1) + "\"");
        int blocks = 0;
        for (const ortktest::XlsxSheet& sheet : book.Sheets) {
            SheetCells kept{sheet.Name, {}};
            for (const auto& [at, cell] : sheet.Cells) {
                if (cell.Type != ortktest::XlsxCell::Kind::Text || cell.NumberFormat != "@")
                    window.Fail("cell (" + std::to_string(at.first) + ", " + std::to_string(at.second) +
                                ") is not a text in the text format");
                kept.cells.push_back({static_cast<lxw_row_t>(at.first - 1), static_cast<lxw_col_t>(at.second - 1),
                                      cell.Text});
                if (at.first == 1 || at.second != 1 || cell.Text.empty()) continue;
                ++blocks;   // column 1 holds the order type only in a block's first row
                for (int c = 0; c < 3 && blocks <= listedRows; ++c)
                    if (sheet.TextAt(at.first, c + 1) != form->StringGrid1->Cells(c, blocks))
                        window.Fail("block " + std::to_string(blocks) + " does not start with grid row " +
                                    std::to_string(blocks));
            }
            cellCount += kept.cells.size();
            cells.push_back(std::move(kept));
        }
        if (blocks != listedRows)
            window.Fail("the file has " + std::to_string(blocks) + " order blocks for " + std::to_string(listedRows) +
                        " listed lines");
        std::printf("exported file: %zu sheet(s), %d order blocks, %zu cells, %lld bytes\n", book.Sheets.size(), blocks,
                    cellCount, static_cast<long long>(std::filesystem::file_size(path)));
    }

    std::vector<std::string> opened;   // files handed to the shell by the current export
    ortktest::TempFolder folder_;
    int files_ = 0;
};

std::unique_ptr<World> gWorld;

void Window_Export(benchmark::State& state) {
    for (auto _ : state) {
        std::string path = gWorld->FreshPath("export");
        if (!gWorld->Export(path)) {
            state.SkipWithError("the export failed");
            break;
        }
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
    state.counters["lines"] = gWorld->listedRows;
}

void RunStatements() {
    for (const std::string& sql : gWorld->statements) bench::RunDirect(gWorld->window.direct, sql);
}

void Direct_ExportStatements(benchmark::State& state) {
    for (auto _ : state) RunStatements();
    state.counters["statements"] = static_cast<double>(gWorld->statements.size());
}

void Xlsxwriter_ExportCells(benchmark::State& state) {
    for (auto _ : state) {
        std::string path = gWorld->FreshPath("alone");
        WriteCellsAlone(gWorld->cells, path);
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
    state.counters["cells"] = static_cast<double>(gWorld->cellCount);
}

// ---- the full export ----

// Watches the progress window of an export from a timer that fires whenever
// the export lets window messages through (each progress step does): the
// longest time the gauge stood still between two steps.
class ProgressWatch {
public:
    explicit ProgressWatch(TfrmORTK41* form) : form_(form) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start();
        last_ = Clock::now();
    }
    // Ends the watch: the time from the last step to now is the tail.
    void Stop() {
        timer_.stop();
        tail_ = Clock::now() - last_;
    }
    double LongestStepGapMs() const { return Ms(longest_); }
    double TailMs() const { return Ms(tail_); }
    int Steps() const { return steps_; }

private:
    using Clock = std::chrono::steady_clock;
    static double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

    void Look() {
        for (int i = 0; i < form_->ComponentCount(); ++i) {
            auto* status = dynamic_cast<TfrmStatus*>(form_->Components(i));
            if (!status || status->StatusBar->Progress() == progress_) continue;
            progress_ = status->StatusBar->Progress();
            Clock::time_point now = Clock::now();
            if (steps_++ > 0) longest_ = std::max(longest_, now - last_);
            last_ = now;
        }
    }

    TfrmORTK41* form_;
    QTimer timer_;
    int progress_ = -1, steps_ = 0;
    Clock::time_point last_;
    Clock::duration longest_{}, tail_{};
};

// Lists every order line and exports them all once, printing the time, the
// peak resident memory and how steadily the progress window advanced.
// False when the export failed.
bool FullExport() {
    int lines = gWorld->ListAll();
    std::string path = gWorld->FreshPath("full");
    bool exported = false;
    double seconds = 0;
    ProgressWatch watch(gWorld->form);
    PeakResident peak = MeasurePeak([&] {
        auto start = std::chrono::steady_clock::now();
        exported = gWorld->Export(path);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
    watch.Stop();
    if (!exported) {
        std::fprintf(stderr, "tamber_export_bench: the full export failed\n");
        return false;
    }
    std::error_code error;
    auto bytes = std::filesystem::file_size(path, error);
    std::printf("full export of %d order lines: %.1f s, file %.1f MB\n", lines, seconds,
                error ? 0.0 : static_cast<double>(bytes) / (1024.0 * 1024.0));
    PrintPeak("during the full export", peak);
    std::printf("progress window: %d steps seen, longest wait between two %.0f ms, last step to the end %.0f ms\n",
                watch.Steps(), watch.LongestStepGapMs(), watch.TailMs());
    std::filesystem::remove(path, error);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--orders") == 0 && i + 1 < argc) gOrders = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--lines") == 0 && i + 1 < argc) gLines = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--full-export") == 0 && i + 1 < argc) gFullExport = std::atoi(argv[++i]) != 0;
        else rest.push_back(argv[i]);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int count = static_cast<int>(rest.size());
    QApplication app(count, rest.data());
    benchmark::Initialize(&count, rest.data());
    gWorld = std::make_unique<World>();

    // Peaks first, each from the same state of the process.
    std::string peakPath = gWorld->FreshPath("peak");
    bool peakExported = false;
    PeakResident exportPeak = MeasurePeak([&] { peakExported = gWorld->Export(peakPath); });
    if (!peakExported) {
        std::fprintf(stderr, "tamber_export_bench: the export measured for memory failed\n");
        return 1;
    }
    std::filesystem::remove(peakPath);
    std::string alonePath = gWorld->FreshPath("peak-alone");
    PeakResident baselinePeak = MeasurePeak([&] {
        RunStatements();
        WriteCellsAlone(gWorld->cells, alonePath);
    });
    std::filesystem::remove(alonePath);
    long residentBefore = StatusKb("VmRSS:");
    int exportsBefore = gWorld->exports;

    benchmark::RegisterBenchmark("Export/Window", Window_Export)->Unit(benchmark::kMillisecond)->MinTime(3);
    benchmark::RegisterBenchmark("Direct/ExportStatements", Direct_ExportStatements)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Xlsxwriter/ExportCells", Xlsxwriter_ExportCells)->Unit(benchmark::kMillisecond);
    bench::RatioReporter reporter({});
    benchmark::RunSpecifiedBenchmarks(&reporter);

    double exportTime = reporter.Seconds("Export/Window"), statementsTime = reporter.Seconds("Direct/ExportStatements"),
           cellsTime = reporter.Seconds("Xlsxwriter/ExportCells");
    std::printf("export of %d order lines (%zu statements, %zu cells)\n", gWorld->listedRows,
                gWorld->statements.size(), gWorld->cellCount);
    if (exportTime > 0) std::printf("  export through the window        %10.3f ms\n", exportTime * 1e3);
    if (statementsTime > 0) std::printf("  (a) statements on SQLite         %10.3f ms\n", statementsTime * 1e3);
    if (cellsTime > 0) std::printf("  (b) cells with libxlsxwriter     %10.3f ms\n", cellsTime * 1e3);
    if (statementsTime > 0 && cellsTime > 0) {
        std::printf("  (a)+(b)                          %10.3f ms\n", (statementsTime + cellsTime) * 1e3);
        if (exportTime > 0) std::printf("  ratio export/((a)+(b))           %10.2f\n", exportTime / (statementsTime + cellsTime));
    }
    PrintPeak("during one export", exportPeak);
    PrintPeak("during (a) then (b)", baselinePeak);
    // What the window keeps between exports: its spreadsheet components,
    // each with the application it drove.
    int benchmarked = gWorld->exports - exportsBefore, components = 0;
    for (int i = 0; i < gWorld->form->ComponentCount(); ++i)
        components += gWorld->form->Components(i)->Is<TOLEExcel>() ? 1 : 0;
    if (benchmarked > 0)
        std::printf("resident after %d more exports: %+.1f MB; the window owns %d TOLEExcel components after %d exports\n",
                    benchmarked, (StatusKb("VmRSS:") - residentBefore) / 1024.0, components, gWorld->exports);
    bool fullExported = !gFullExport || FullExport();
    benchmark::Shutdown();
    gWorld.reset();
    return fullExported ? 0 : 1;
}
