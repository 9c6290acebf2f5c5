// The batch mode's export: the real host shell binary writes the outline of
// the listed orders through the window's export dialog into a file, and
// refuses, as the dialog does, a file that exists or a name it does not allow.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "BatchInstallation.h"
#include "BatchMode.h"
#include "ServerTestSupport.h"
#include "TempEnvironment.h"
#include "ExternalReaders.h"
#include "XlsxReader.h"

using ::testing::HasSubstr;
using ::testing::Not;

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
    EXPECT_THAT(install.LastErrors(), HasSubstr("tamber-workcenter: --export: 同名文件已存在！")) << install.LastErrors();
    EXPECT_EQ(std::filesystem::last_write_time(file), written);
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).LastRow(), sheet.LastRow());

    // A name the dialog does not allow, a missing folder, and nothing listed.
    const std::string refused = "tamber-workcenter: --export: 文件路径或文件名称不正确! ";
    EXPECT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100001 --export '" + out.Path() + "a[1].xlsx'",
                          printed),
              1);
    EXPECT_THAT(install.LastErrors(), HasSubstr(refused)) << install.LastErrors();
    EXPECT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100001 --export " + out.Path() + "missing/a.xlsx",
                          printed),
              1);
    EXPECT_THAT(install.LastErrors(), HasSubstr(refused)) << install.LastErrors();
    EXPECT_EQ(install.Run("ortk41 --order 9999-X..9999-X --export " + out.Path() + "none.xlsx", printed), 1);
    EXPECT_THAT(install.LastErrors(), HasSubstr("--export: no order is listed")) << install.LastErrors();
    EXPECT_FALSE(std::filesystem::exists(out.Path() + "a[1].xlsx"));
    EXPECT_FALSE(std::filesystem::exists(out.Path() + "none.xlsx"));
}

// The exported file as programs other than ours read it: openpyxl by its
// name, with every outline cell a text cell ("@"), and LibreOffice showing
// the keys as typed (a sequence "0001" stays "0001", an order number is no
// number in exponent form).
TEST(BatchExport, TheFileOpensInOtherProgramsAsTypedText) {
    shelltest::BatchInstallation install;
    ortktest::TempFolder out;
    std::string file = out.Path() + "orders.xlsx";
    std::string printed;
    ASSERT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100006 --export " + file, printed), 0);
    ortktest::XlsxSheet ours = ortktest::ReadXlsx(file).Sheets.at(0);

    ortktest::PyxlBook book = ortktest::ReadWithOpenpyxl(file);
    ASSERT_EQ(book.SheetNames.size(), 1u);
    EXPECT_EQ(book.ActiveSheet, book.SheetNames[0]);
    const auto& cells = book.Cells.at(book.SheetNames[0]);
    EXPECT_EQ(cells.size(), ours.Cells.size());
    for (const auto& [reference, cell] : cells) {
        EXPECT_EQ(cell.Type, "s") << reference;
        EXPECT_EQ(cell.NumberFormat, "@") << reference;
    }
    EXPECT_EQ(book.At(book.SheetNames[0], "C2").Value, "0001");

    auto csv = ortktest::ConvertWithLibreOffice({file}).at(file);
    ASSERT_EQ(static_cast<int>(csv.size()), ours.LastRow());
    EXPECT_EQ(csv[0][0], "订单单别");
    EXPECT_EQ(csv[1][0], "2201");
    EXPECT_EQ(csv[1][1], "20240100001");
    EXPECT_EQ(csv[1][2], "0001");
    for (const auto& [at, cell] : ours.Cells)   // every cell shown as written
        EXPECT_EQ(csv.at(static_cast<size_t>(at.first - 1)).at(static_cast<size_t>(at.second - 1)), cell.Text)
            << at.first << "," << at.second;
}

// Eight exports to one name at once: the name goes to exactly one, the
// others end with the existing-file message, and the file is whole.
TEST(BatchExport, ConcurrentExportsToOneNameExactlyOneWins) {
    shelltest::BatchInstallation install;
    ortktest::TempFolder out;
    std::string file = out.Path() + "race.xlsx";
    auto results = install.RunAtOnce("ortk41 --order 2201-20240100001..2201-20240100006 --export " + file, 8);
    int won = 0;
    for (const auto& [status, errors] : results) {
        if (status == 0) {
            ++won;
            continue;
        }
        EXPECT_EQ(status, 1) << errors;
        EXPECT_THAT(errors, HasSubstr("同名文件已存在！"));
    }
    EXPECT_EQ(won, 1);
    ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.TextAt(sheet.LastRow(), 7), "工单工艺");   // the outline's last group: all of it
    EXPECT_EQ(ortktest::ReadWithOpenpyxl(file).SheetNames.size(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), std::filesystem::directory_iterator()), 1);
}

// A disk that fills during the export (a file-size limit on the shell):
// exit status 1, the failure in the interface's words, no library output on
// the terminal, and neither the file nor a temporary file left.
TEST(BatchExport, AFullDiskLeavesNothingAndSaysSo) {
    shelltest::BatchInstallation install;
    ortktest::TempFolder out;
    std::string whole = out.Path() + "whole.xlsx";
    std::string printed;
    const std::string orders = "ortk41 --order 2201-20240100001..2201-20240100006 --export ";
    ASSERT_EQ(install.Run(orders + whole, printed), 0);
    long size = static_cast<long>(std::filesystem::file_size(whole));
    std::filesystem::remove(whole);
    for (long limit : {1000L, size - 1}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        std::string file = out.Path() + "full.xlsx";
        EXPECT_EQ(install.Run(orders + file, printed, limit), 1);
        std::string errors = install.LastErrors();
        EXPECT_THAT(errors, HasSubstr("message: 保存为----> " + file + " 失败!"));
        EXPECT_THAT(errors, Not(HasSubstr("[ERROR]")));
        EXPECT_THAT(errors, Not(HasSubstr("workbook_close")));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), std::filesystem::directory_iterator()), 0);
    }
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
    EXPECT_THAT(fromLite, HasSubstr("# row 14\n"));   // every confirmed showcase line expanded

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
