// What the benchmarks share: the baseline that runs a statement directly on
// a SQLite connection and reads every value, and the reporter that prints
// each measured workload beside its baseline with the ratio of the two.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Runs one SQLite statement, stepping every row and reading every value as
// a program reading the answer would (text copied, numbers read). Returns
// the number of rows; a statement that does not prepare or step ends the
// benchmark, since a baseline that ran nothing would make any ratio look good.
inline size_t RunDirect(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "direct: %s\n  in: %s\n", sqlite3_errmsg(db), sql.c_str());
        std::abort();
    }
    size_t rows = 0;
    std::vector<std::string> values;
    int status;
    while ((status = sqlite3_step(stmt)) == SQLITE_ROW) {
        values.clear();
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            if (sqlite3_column_type(stmt, i) == SQLITE_TEXT)
                values.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
            else
                benchmark::DoNotOptimize(sqlite3_column_double(stmt, i));
        }
        ++rows;
    }
    if (status != SQLITE_DONE) {
        std::fprintf(stderr, "direct: %s\n  in: %s\n", sqlite3_errmsg(db), sql.c_str());
        std::abort();
    }
    sqlite3_finalize(stmt);
    return rows;
}

// One workload measured two ways: the path under test and its baseline,
// by their benchmark names.
struct Comparison {
    std::string workload;
    std::string measured;
    std::string baseline;
};

// The console reporter, keeping the real time per iteration of every run so
// that each comparison can be printed at the end: measured time, baseline
// time, ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<Comparison> comparisons) : comparisons_(std::move(comparisons)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            // A run that reported an error has no time worth comparing.
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred)
                seconds_[run.run_name.function_name] = run.real_accumulated_time / static_cast<double>(run.iterations);
    }

    // Prints one line per comparison whose both runs were measured; answers
    // the highest ratio printed (0 when none was).
    double PrintRatios(const char* what) const {
        double highest = 0;
        for (const Comparison& c : comparisons_) {
            auto measured = seconds_.find(c.measured), baseline = seconds_.find(c.baseline);
            if (measured == seconds_.end() || baseline == seconds_.end() || baseline->second <= 0) continue;
            double ratio = measured->second / baseline->second;
            highest = std::max(highest, ratio);
            std::printf("%-10s %s %10.3f ms   direct SQLite %10.3f ms   ratio %.2f\n", c.workload.c_str(), what,
                        measured->second * 1e3, baseline->second * 1e3, ratio);
        }
        return highest;
    }

    // The real time per iteration of a benchmark by its name; 0 when it did
    // not run (filtered out or skipped with an error).
    double Seconds(const std::string& benchmark) const {
        auto found = seconds_.find(benchmark);
        return found == seconds_.end() ? 0 : found->second;
    }

private:
    std::vector<Comparison> comparisons_;
    std::map<std::string, double> seconds_;   // real time per iteration, by benchmark name
};

}  // namespace bench
