// Helpers of the order tracking tests that read the demo company database:
// a tree sink and an outline sheet that record what they are given, the
// listing services of the window over a SimpleSQL service, and a fixture
// that runs a suite once per backend on the demo database shared by the
// suite (ServerTestSupport.h).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FormTestSupport.h"
#include "ServerTestSupport.h"
#include "data/FieldFormats.h"
#include "ortk41/ORTK41CF.h"
#include "ortk41/OrderOutline.h"
#include "ortk41/OrderQuery.h"
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

// A stored date as the demo company shows it (kind 1, "/"), by the field
// formats every window uses; "" for anything that is no date.
inline std::string SlashDate(const std::string& d) { return fieldfmt::DbDateToDisplay(1, "/", d); }

// The order tracking window's own date conversions, as the demo company has
// them: a window started over a demo installation of its own.
class WindowDates {
public:
    WindowDates() : form_(world_.Start<TfrmORTK41>()) {}
    ~WindowDates() {
        if (form_) form_->Free();
    }
    WindowDates(const WindowDates&) = delete;
    WindowDates& operator=(const WindowDates&) = delete;
    // A shown date typed back, as the conditions and node keys take it.
    ortk41::DateToDb ToDb() const {
        return [this](const std::string& shown) { return form_->DateToDb(shown); };
    }
    // A stored date as the window shows it.
    std::function<std::string(const std::string&)> Shown() const {
        return [this](const std::string& stored) { return form_->DbDateToDisplay(stored); };
    }

private:
    formtest::DemoWorld world_;
    TfrmORTK41* form_;
};

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
