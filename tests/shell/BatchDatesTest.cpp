// Batch runs of the real host shell on a demo copy whose company date format
// was changed: dates typed as the window shows them filter the list, a date
// that is no date ends the run with the window's message and exit status 1
// before any order-list statement is sent.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "BatchInstallation.h"
#include "CompanyDates.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class BatchDates : public testing::Test {
protected:
    void SetCompanyDates(const std::string& kind, const std::string& separator) {
        ortktest::SetCompanyDates(demo.DatabaseFile(), kind, separator);
    }
    // The order numbers of the listed lines ("20240100002-0001").
    static std::vector<std::string> Listed(const std::string& out) {
        std::vector<std::string> lines;
        std::istringstream in(out);
        std::string line;
        std::getline(in, line);   // the heading
        while (std::getline(in, line) && line.rfind("# row", 0) != 0) {
            size_t a = line.find('\t'), b = line.find('\t', a + 1), c = line.find('\t', b + 1);
            if (a != std::string::npos && c != std::string::npos)
                lines.push_back(line.substr(a + 1, b - a - 1) + "-" + line.substr(b + 1, c - b - 1));
        }
        return lines;
    }
    // The order-list statements a run with `arguments` sends (its SQL trace);
    // -1 when the run did not exit with `status`.
    int OrderListStatements(const std::string& arguments, int status, std::string& out) {
        std::string trace = demo.DatabaseFile() + ".trace";
        std::remove(trace.c_str());
        if (demo.Run("ortk41 " + arguments + " --trace-sql " + trace, out) != status) return -1;
        return ortktest::OrderListStatementsIn(trace);
    }

    shelltest::BatchInstallation demo;
};

const std::vector<std::string> kTenToFifteen = {"20240100002-0001", "20240100003-0001", "20240100003-0002",
                                                "20240100004-0001", "20240100004-0002"};

}  // namespace

TEST_F(BatchDates, a_range_typed_as_shown_filters_the_list_in_every_format) {
    struct Case { const char* kind; const char* separator; const char* range; } cases[] = {
        {"1", "", "20240110..20240115"},         {"2", "-", "01-10-2024..01-15-2024"},
        {"3", "/ ", "10/01/2024..15/01/2024"},   {"4", ".", "113.01.10..113.1.15"},
        {"5", "年", "113年01年10..113年01年15"}, {"5", "", "1130110..1130115"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " \"" + c.separator + "\" " + c.range);
        SetCompanyDates(c.kind, c.separator);
        std::string out;
        ASSERT_EQ(demo.Run(std::string("ortk41 --order-date '") + c.range + "'", out), 0) << demo.LastErrors();
        EXPECT_EQ(Listed(out), kTenToFifteen);
        EXPECT_THAT(demo.LastErrors(), Not(HasSubstr("message:"))) << demo.LastErrors();
    }
}

// No separator: the write-off record still opens on its invoice's date.
TEST_F(BatchDates, without_a_separator_the_write_off_condition_carries_its_date) {
    SetCompanyDates("1", "");
    std::string out;
    ASSERT_EQ(demo.Run("ortk41 --order 2201-20240100001..2201-20240100001 --tree 1 --json", out), 0)
        << demo.LastErrors();
    EXPECT_THAT(out, HasSubstr("\"program\": \"PGAR04\", \"condition\": \" ACRLC.LC003 + '-' + ACRLC.LC004 + '-' + "
                       "ACRLC.LC005='6101-20240100001-0001' AND ACRLC.LC002='20240131'\""))
        << out;
}

// The run stops with the window's message (E000005) on standard error,
// writes nothing and sends no order-list statement.
TEST_F(BatchDates, a_date_that_is_no_date_exits_1_and_lists_nothing) {
    struct Case { const char* kind; const char* separator; const char* option; const char* range; } cases[] = {
        {"1", "/", "--order-date", "2024/02/30.."},   {"1", "/", "--order-date", "abc..def"},
        {"1", "/", "--order-date", "2024/13/01..2024/01/15"}, {"1", "", "--delivery-date", "..2024011"},
        {"5", "年", "--order-date", "113年02年30.."},
    };
    std::string out;
    ASSERT_EQ(OrderListStatements("--order-date 2024/02/29..", 0, out), 1) << "a good date is traced";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " \"" + c.separator + "\" " + c.option + " " + c.range);
        SetCompanyDates(c.kind, c.separator);
        EXPECT_EQ(OrderListStatements(std::string(c.option) + " '" + c.range + "'", 1, out), 0);
        EXPECT_EQ(out, "");
        EXPECT_THAT(demo.LastErrors(), HasSubstr("日期格式错误")) << demo.LastErrors();
    }
}
