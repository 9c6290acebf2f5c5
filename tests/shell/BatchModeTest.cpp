// The batch mode: option parsing and output formats, and the real host shell
// binary run on a temporary demo installation, driving the real module's
// window offscreen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "BatchInstallation.h"
#include "BatchMode.h"

using ::testing::HasSubstr;
using ::testing::Not;

using shell::BatchOptions;

namespace {

std::optional<BatchOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string e;
    auto o = shell::ParseBatchOptions(args, e);
    if (error) *error = e;
    return o;
}

}  // namespace

TEST(BatchOptions, RangesRowsAndCodePages) {
    auto o = Parse({"--order", "2201-20240100001..", "--delivery-date", "..2024/02/01", "--tree", "1,3", "--json",
                    "--closed", "2", "--ui-code-page", "437"});
    ASSERT_TRUE(o);
    ASSERT_EQ(o->Ranges.size(), 2u);
    EXPECT_EQ(o->Ranges[0].first, "sp01");
    EXPECT_EQ(o->Ranges[0].second.first, "2201-20240100001");
    EXPECT_EQ(o->Ranges[0].second.second, "");
    EXPECT_EQ(o->Ranges[1].first, "sp05");
    EXPECT_EQ(o->TreeRows, (std::vector<int>{1, 3}));
    EXPECT_TRUE(o->Json);
    EXPECT_EQ(o->Closed, 2);
    EXPECT_EQ(o->UICodePage, "437");
    EXPECT_TRUE(Parse({"--tree", "all"})->TreeAll);
}

TEST(BatchOptions, BadInputIsRefusedWithTheOptionNamed) {
    std::string error;
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"--closed", "4"}, {"--order", "2201"}, {"--tree", "0"}, {"--tree", "1,,2"}, {"--tree", "x"},
             {"--ui-code-page", "1252"}, {"--frobnicate"}, {"--customer"}}) {
        SCOPED_TRACE(bad[0] + (bad.size() > 1 ? " " + bad[1] : std::string()));
        EXPECT_FALSE(Parse(bad, &error));
        EXPECT_THAT(error, HasSubstr(bad[0]));
    }
}

TEST(BatchOutput, TextAndJsonCarryTheSameData) {
    shell::BatchResult r;
    r.Grid = {{"订单单别", "单号"}, {"2201", "A\"1"}};
    r.Trees = {{1, {{0, "root", 0, "", ""}, {1, "2201-A\"1-0001 x", 1000, "PGSO01", " COPTC.TC001 ='2201'"}}}};
    EXPECT_EQ(shell::FormatText(r), "订单单别\t单号\n2201\tA\"1\n# row 1\nroot\t0\n  2201-A\"1-0001 x\t1000\n");
    std::string json = shell::FormatJson(r);
    EXPECT_THAT(json, HasSubstr("\"text\": \"2201-A\\\"1-0001 x\", \"kind\": 1000, \"program\": \"PGSO01\""));
    EXPECT_THAT(json, Not(HasSubstr("\"program\": \"\"")));   // kind 0 nodes carry no opening
}

TEST(BatchRun, ListsOrdersAndExpandsATreeThroughTheRealWindow) {
    shelltest::BatchInstallation demo;
    std::string out;
    ASSERT_EQ(demo.Run("ortk41 --order 2201-20240100001..2201-20240100001 --tree 1", out), 0) << out;
    EXPECT_EQ(out.substr(0, out.find('\n')), "订单单别\t单号\t序号\t品号\t品名\t规格");
    EXPECT_THAT(out, HasSubstr("\n2201\t20240100001\t0001\tSC-M6-20\t六角螺丝\t"));
    EXPECT_THAT(out, HasSubstr("\n2201\t20240100001\t0002\t"));
    EXPECT_THAT(out, Not(HasSubstr("\n2201\t20240100002\t")));   // outside the typed order range
    EXPECT_THAT(out, HasSubstr("# row 1\n客户订单 : 2201-20240100001 "));
    EXPECT_THAT(out, HasSubstr("\n    2301-20240100001-0001 2024/01/20 销:600 赠/备:10 PCS\t2000\n"));
}

TEST(BatchRun, JsonNamesWhatOpeningEachNodeHandsToTheHost) {
    shelltest::BatchInstallation demo;
    std::string out;
    ASSERT_EQ(demo.Run("ortk41 --order 2201-20240100001..2201-20240100001 --tree 1 --json", out), 0);
    EXPECT_THAT(out, HasSubstr("\"kind\": 2000, \"program\": \"PGSD01\", \"condition\": \" COPTG.TG001 + '-' + COPTG.TG002 ='2301-20240100001'\""));
    EXPECT_THAT(out, HasSubstr("\"program\": \"PGAR04\", \"condition\": \" ACRLC.LC003 + '-' + ACRLC.LC004 + '-' + ACRLC.LC005="
                       "'6101-20240100001-0001' AND ACRLC.LC002='20240131'\""));
}

TEST(BatchRun, FailuresWriteNothingAndExitNonZero) {
    shelltest::BatchInstallation demo;
    std::string out;
    EXPECT_NE(demo.Run("ortk41 --user NOBODY --tree 1", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_NE(demo.Run("ortk41 --closed 9", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_NE(demo.Run("ortk41 --order 9999-X..9999-X --tree 1", out), 0);   // nothing listed to expand
    EXPECT_EQ(out, "");
    EXPECT_NE(demo.Run("pgso01", out), 0);
}
