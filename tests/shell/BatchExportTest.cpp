// The batch mode's export: the real host shell binary writes the outline of
// the listed orders through the window's export dialog into a file, and
// refuses, as the dialog does, a file that exists or a name it does not allow.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "BatchInstallation.h"
#include "BatchMode.h"
#include "ServerTestSupport.h"
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
    EXPECT_NE(install.LastErrors().find("tamber-workcenter: --export: 同名文件已存在！"), std::string::npos) << install.LastErrors();
    EXPECT_EQ(std::filesystem::last_write_time(file), written);
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).LastRow(), sheet.LastRow());

    // A name the dialog does not allow, a missing folder, and nothing listed.
    const std::string refused = "tamber-workcenter: --export: 文件路径或文件名称不正确! ";
    EXPECT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100001 --export '" + out.Path() + "a[1].xlsx'",
                          printed),
              1);
    EXPECT_NE(install.LastErrors().find(refused), std::string::npos) << install.LastErrors();
    EXPECT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100001 --export " + out.Path() + "missing/a.xlsx",
                          printed),
              1);
    EXPECT_NE(install.LastErrors().find(refused), std::string::npos) << install.LastErrors();
    EXPECT_EQ(install.Run("ortk41 --order 9999-X..9999-X --export " + out.Path() + "none.xlsx", printed), 1);
    EXPECT_NE(install.LastErrors().find("--export: no order is listed"), std::string::npos) << install.LastErrors();
    EXPECT_FALSE(std::filesystem::exists(out.Path() + "a[1].xlsx"));
    EXPECT_FALSE(std::filesystem::exists(out.Path() + "none.xlsx"));
}

// The same listing and export from the company database on PostgreSQL: the
// printed trees and every cell of the exported outline equal those from
// SQLite. Needs the PostgreSQL test server (ORTK_TEST_PG).
TEST(BatchExport, SameOutlineAndTreesFromPostgreSQL) {
    if (servertest::TestServer().empty())
        GTEST_SKIP() << "ORTK_TEST_PG is not set: no PostgreSQL test server, PostgreSQL case skipped";
    servertest::TestDatabases pg(servertest::Backend::PostgreSQL, "BatchExport." + std::to_string(getpid()));
    pg.CreateDemo("PRTest65");
    const server::PostgresSettings& at = pg.Server();
    shelltest::BatchInstallation lite, shared;
    shared.SetDatabaseSetting("DatabaseType=POSTGRESQL\nDatabaseName=PRTest65\nServerName=" + at.host + ":" +
                              std::to_string(at.port) + "/" + at.database + "\nUserName=" + at.user +
                              "\nPassword=" + at.password + "\nTimeOut=10\n");
    ortktest::TempFolder out;
    const std::string listing = "ortk41 --tree all --export ";
    std::string fromLite, fromPg;
    ASSERT_EQ(lite.Run(listing + out.Path() + "lite.xlsx", fromLite), 0);
    ASSERT_EQ(shared.Run(listing + out.Path() + "pg.xlsx", fromPg), 0);
    EXPECT_EQ(fromPg, fromLite);
    EXPECT_NE(fromLite.find("# row 14\n"), std::string::npos);   // every confirmed showcase line expanded

    ortktest::XlsxSheet a = ortktest::ReadXlsx(out.Path() + "lite.xlsx").Sheets.at(0);
    ortktest::XlsxSheet b = ortktest::ReadXlsx(out.Path() + "pg.xlsx").Sheets.at(0);
    EXPECT_GT(a.Cells.size(), 14u * 16u);
    ASSERT_EQ(b.Cells.size(), a.Cells.size());
    int differences = 0;
    for (const auto& [at, cell] : a.Cells) {
        if (b.TextAt(at.first, at.second) == cell.Text) continue;
        ADD_FAILURE() << "cell " << at.first << "," << at.second << ": SQLite \"" << cell.Text << "\", PostgreSQL \""
                      << b.TextAt(at.first, at.second) << "\"";
        if (++differences == 10) break;
    }
}
