// Helpers of the order tracking tests that read the demo company database:
// a tree sink and an outline sheet that record what they are given, the
// listing services of the window over a SimpleSQL service, and a fixture
// that runs a suite once per backend on the demo database shared by the
// suite (ServerTestSupport.h).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ServerTestSupport.h"
#include "ortk41/OrderOutline.h"
#include "ortk41/OrderTree.h"

namespace ordertest {

// Records the tree as indented lines: two blanks per level, text, tab, kind.
class RecordingTree : public ortk41::ITreeSink {
public:
    Node Add(Node parent, const std::string& text, int kind) override {
        int depth = parent == kTopLevel ? 0 : depth_.at(static_cast<size_t>(parent)) + 1;
        depth_.push_back(depth);
        lines.push_back(std::string(static_cast<size_t>(2 * depth), ' ') + text + "\t" + std::to_string(kind));
        return static_cast<Node>(depth_.size() - 1);
    }
    std::string Text() const {
        std::string all;
        for (const std::string& l : lines) all += l + "\n";
        return all;
    }
    std::vector<std::string> lines;

private:
    std::vector<int> depth_;
};

// Records every cell written; a cell written twice is a failure.
class RecordingSheet : public ortk41::IOutlineSheet {
public:
    void WriteText(int row, int column, const std::string& text) override {
        EXPECT_TRUE(cells.emplace(std::make_pair(row, column), text).second) << "cell written twice: " << row << "," << column;
    }
    // Row `row` as "column:text" pieces, in column order.
    std::string Row(int row) const {
        std::string all;
        for (const auto& [at, text] : cells)
            if (at.first == row) all += (all.empty() ? "" : " | ") + std::to_string(at.second) + ":" + text;
        return all;
    }
    int LastRow() const { return cells.empty() ? 0 : cells.rbegin()->first.first; }
    std::map<std::pair<int, int>, std::string> cells;
};

// "YYYY/MM/DD" for eight digits, "" for anything else.
inline std::string SlashDate(const std::string& d) {
    bool digits = d.size() == 8 && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits ? d.substr(0, 4) + "/" + d.substr(4, 2) + "/" + d.substr(6, 2) : std::string();
}

// The window's listing services over `sql`, for the company database
// PRTest65; rows pass unconverted. `calls` (when given) receives the text of
// every SimpleSQL statement and the name of every other method called.
inline ortk41::ListingServices DemoServices(server::SimpleSqlService& sql, std::vector<std::string>* calls = nullptr) {
    ortk41::ListingServices services;
    services.CallServer = [&sql, calls](const std::string& method, const plat::Variant& params) {
        if (calls) calls->push_back(method == "SimpleSQL" ? params[0].ToString() : method);
        return sql.Call(method, params, plat::VarArrayOf({"PRTest65", "PRTest65"}));
    };
    services.ConvertRow = [](const plat::Variant& row) { return row; };
    services.DisplayDate = SlashDate;
    return services;
}

// A suite run once per backend over the demo database it shares; the
// PostgreSQL run is skipped when there is no test server.
class DemoOnBackend : public testing::TestWithParam<servertest::Backend> {
protected:
    void SetUp() override { ORTK_SKIP_WITHOUT(GetParam()); }
    static void TearDownTestSuite() { demo_.Release(); }
    server::SimpleSqlService& Sql() { return demo_.Sql(GetParam()); }

private:
    static inline servertest::SuiteDemo demo_;
};

}  // namespace ordertest
