// The batch mode's export: the real host shell binary writes the outline of
// the listed orders through the window's export dialog into a file, and
// refuses, as the dialog does, a file that exists or a name it does not allow.
#include <gtest/gtest.h>

#include <filesystem>

#include "BatchInstallation.h"
#include "BatchMode.h"
#include "TempEnvironment.h"
#include "XlsxReader.h"

TEST(BatchExport, OptionNeedsAFile) {
    std::string error;
    EXPECT_FALSE(shell::ParseBatchOptions({"--export"}, error));
    EXPECT_EQ(error, "--export needs a value");
    EXPECT_FALSE(shell::ParseBatchOptions({"--export", " "}, error));
    EXPECT_EQ(error, "--export needs a file name");
    auto options = shell::ParseBatchOptions({"--export", "out.xlsx", "--tree", "1"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->ExportFile, "out.xlsx");
}

TEST(BatchExport, WritesTheOutlineAndNeverOverwritesAFile) {
    shelltest::BatchInstallation install;
    ortktest::TempFolder out;
    std::string file = out.Path() + "orders.xlsx";
    std::string printed;
    ASSERT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100006 --export " + file, printed), 0);
    EXPECT_EQ(printed.substr(0, printed.find('\n')), "订单单别\t单号\t序号\t品号\t品名\t规格");
    ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.TextAt(1, 6), "规格");
    EXPECT_EQ(sheet.TextAt(2, 1), "2201");
    EXPECT_EQ(sheet.TextAt(2, 2), "20240100001");
    EXPECT_EQ(sheet.TextAt(4, 6), "销货单");
    EXPECT_EQ(sheet.TextAt(sheet.LastRow(), 7), "工单工艺");   // the last order ends with its routing group

    // The same file again: refused with the dialog's message, left as it was.
    auto written = std::filesystem::last_write_time(file);
    EXPECT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100001 --export " + file, printed), 1);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(std::filesystem::last_write_time(file), written);
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).LastRow(), sheet.LastRow());

    // A name the dialog does not allow, a missing folder, and nothing listed.
    EXPECT_EQ(install.Run("ortk41 --export '" + out.Path() + "a[1].xlsx'", printed), 1);
    EXPECT_EQ(install.Run("ortk41 --export " + out.Path() + "missing/a.xlsx", printed), 1);
    EXPECT_EQ(install.Run("ortk41 --order 9999-X..9999-X --export " + out.Path() + "none.xlsx", printed), 1);
    EXPECT_FALSE(std::filesystem::exists(out.Path() + "a[1].xlsx"));
    EXPECT_FALSE(std::filesystem::exists(out.Path() + "none.xlsx"));
}
