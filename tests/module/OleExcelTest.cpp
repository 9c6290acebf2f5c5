// TOLEExcel driving the spreadsheet application: number formats, fonts and
// values reach the cell being written, the application's life follows the
// component, and every result is read back from the saved file.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <memory>

#include "ClassRegistry.h"
#include "Dispatch.h"
#include "ExcelApplication.h"
#include "Graphics.h"
#include "TempEnvironment.h"
#include "XlsxReader.h"
#include "export/OleExcel.h"

using ortktest::XlsxCell;

namespace {

// A connected component with a new workbook, saved at once under a file of
// a temporary folder (as the order export starts); Saved() reads it back.
class OleExcelTest : public testing::Test {
protected:
    void SetUp() override {
        excel::RegisterExcelApplication();
        owner = std::make_unique<vcl::TComponent>(nullptr);
        ole = new TOLEExcel(owner.get());
        ole->Connect(true);
        ole->NewWorkbook();
        file = folder.Path() + "ORTK41.XLS";
        ole->SaveWorkbookAs(file);
    }
    ortktest::XlsxSheet Saved(size_t sheet = 0) {
        ole->SaveWorkbook();
        return ortktest::ReadXlsx(file).Sheets.at(sheet);
    }
    static const XlsxCell& At(const ortktest::XlsxSheet& sheet, int row, int column) {
        static const XlsxCell none;
        const XlsxCell* c = sheet.At(row, column);
        return c ? *c : none;
    }

    ortktest::TempFolder folder;
    std::unique_ptr<vcl::TComponent> owner;
    TOLEExcel* ole = nullptr;
    std::string file;
};

}  // namespace

// ---- 1. Number format texts ---------------------------------------------------------

TEST(OleExcelNumberFormat, EveryNumberTypeWithAndWithoutThousandsSign) {
    struct Row { TNumberType type; int decimals; const char* sign; const char* format; };
    const Row rows[] = {
        {tp_Number1, 2, ",", "#,##0.00_);(#,##0.00)"}, {tp_Number1, 0, "", "0_);(0)"},
        {tp_Number2, 2, ",", "#,##0.00_);(#,##0.00)"}, {tp_Number2, 1, "", "0.0_);(0.0)"},
        {tp_Number3, 0, ",", "#,##0;#,##0"},           {tp_Number3, 3, "", "0.000;0.000"},
        {tp_Number4, 2, ",", "#,##0.00_ "},            {tp_Number4, 0, "", "0_ "},
        {tp_Number4, 0, ",", "#,##0_ "},               {tp_Number4, 2, "", "0.00_ "},
        {tp_Number5, 2, ",", "#,##0.00_ ;-#,##0.00 "}, {tp_Number5, 0, "", "0_ ;-0 "},
        {tp_Number4, 2, " ", "# ##0.00_ "},            {tp_Number4, -1, ",", "#,##0_ "},
    };
    TOLEExcel ole(nullptr);
    EXPECT_EQ(ole.NumberType(), tp_Number4);
    EXPECT_EQ(ole.Decimals(), 0);
    EXPECT_EQ(ole.ThousandSign(), ",");
    EXPECT_EQ(ole.NumberFormatText(), "#,##0_ ");   // the defaults
    for (const Row& r : rows) {
        ole.SetNumberType(r.type);
        ole.SetDecimals(r.decimals);
        ole.SetThousandSign(r.sign);
        EXPECT_EQ(ole.NumberFormatText(), r.format) << "type " << r.type << ", decimals " << r.decimals << ", sign \"" << r.sign << '"';
    }
}

TEST(OleExcelNumberFormat, PublishedSettingsAreReachableByName) {
    TOLEExcel ole(nullptr);
    vcl::SetPropValue(&ole, "NumberType", plat::Variant("tp_Number5"));
    vcl::SetPropValue(&ole, "Decimals", plat::Variant(int32_t(1)));
    vcl::SetPropValue(&ole, "ThousandSign", plat::Variant(""));
    EXPECT_EQ(ole.NumberFormatText(), "0.0_ ;-0.0 ");
    EXPECT_EQ(vcl::GetPropText(&ole, "AutoCloseExcel"), "True");
    EXPECT_EQ(vcl::GetPropText(&ole, "Visible"), "False");
}

TEST(OleExcelCompareFloat, EqualWithinOneHundredMillionthOtherwiseBySign) {
    struct Row { double a, b; int result; };
    const Row rows[] = {
        {1, 1, 0},          {1, 1 + 5e-9, 0},   {1, 1 - 5e-9, 0},   {0, -9.9e-9, 0},
        {1, 2, 1},          {2, 1, -1},         {-1e-7, 0, 1},      {0, -1e-7, -1},
        {-3.5, 0, 1},       {1e-8 + 1e-10, 0, -1},
    };
    for (const Row& r : rows) EXPECT_EQ(TOLEExcel::CompareFloat(r.a, r.b), r.result) << r.a << " vs " << r.b;
}

// ---- 2. Cells: the format reaches the cell being written ------------------------------

TEST_F(OleExcelTest, TextFormatGoesToTheCellBeingWrittenNotToCellA1) {
    ole->WriteText(5, 3, nullptr, true, "0001");
    ole->WriteText(6, 3, nullptr, true, "12345678901");
    ole->WriteText(7, 3, nullptr, false, "0001");     // General: the spreadsheet makes it a number
    ortktest::XlsxSheet sheet = Saved();
    EXPECT_EQ(sheet.At(1, 1), nullptr) << "cell (1, 1) was formatted instead of the cell written";
    EXPECT_EQ(At(sheet, 5, 3).Type, XlsxCell::Kind::Text);
    EXPECT_EQ(At(sheet, 5, 3).Text, "0001");
    EXPECT_EQ(At(sheet, 5, 3).NumberFormat, "@");
    EXPECT_EQ(sheet.TextAt(6, 3), "12345678901");
    EXPECT_EQ(At(sheet, 7, 3).Type, XlsxCell::Kind::Number);
    EXPECT_EQ(At(sheet, 7, 3).Number, 1);
}

TEST_F(OleExcelTest, IntegersAndFloatsAreNumbersWithTheirFormatOnTheirOwnCell) {
    ole->SetDecimals(2);
    ole->WriteInteger(2, 1, true, 1200);
    ole->WriteInteger(2, 2, false, -7);
    ole->WriteFloat(2, 3, nullptr, true, 1234.5);
    ole->WriteFloat(2, 4, nullptr, false, 0.125);
    ortktest::XlsxSheet sheet = Saved();
    EXPECT_EQ(sheet.At(1, 1), nullptr);
    EXPECT_EQ(At(sheet, 2, 1).Number, 1200);
    EXPECT_EQ(At(sheet, 2, 1).NumberFormat, "0_ ");
    EXPECT_EQ(At(sheet, 2, 2).Number, -7);
    EXPECT_EQ(At(sheet, 2, 2).NumberFormat, "General");
    EXPECT_EQ(At(sheet, 2, 3).Type, XlsxCell::Kind::Number);
    EXPECT_EQ(At(sheet, 2, 3).Number, 1234.5);
    EXPECT_EQ(At(sheet, 2, 3).NumberFormat, "#,##0.00_ ");
    EXPECT_EQ(At(sheet, 2, 4).Number, 0.125);
}

// ---- 3. Fonts and the red negative ------------------------------------------------------

TEST_F(OleExcelTest, ANegativeNumberWrittenWithAFontIsRedZeroAndPositivesAreNot) {
    vcl::TFont font;
    font.SetName("宋体");
    font.SetSize(10);
    ole->WriteFloat(1, 1, &font, false, -0.01);
    ole->WriteFloat(2, 1, &font, false, 0);
    ole->WriteFloat(3, 1, &font, false, -5e-9);     // zero within 1e-8
    ole->WriteFloat(4, 1, &font, false, 3);
    ole->WriteFloat(5, 1, &font, true, -1234.5);
    ortktest::XlsxSheet sheet = Saved();
    EXPECT_EQ(At(sheet, 1, 1).Font.Rgb, "FF0000");
    EXPECT_EQ(At(sheet, 1, 1).Number, -0.01);
    EXPECT_EQ(At(sheet, 2, 1).Font.Rgb, "");
    EXPECT_EQ(At(sheet, 3, 1).Font.Rgb, "");
    EXPECT_EQ(At(sheet, 4, 1).Font.Rgb, "");
    EXPECT_EQ(At(sheet, 5, 1).Font.Rgb, "FF0000");
    EXPECT_EQ(At(sheet, 5, 1).NumberFormat, "#,##0_ ");
    for (int row = 1; row <= 5; ++row) {
        EXPECT_EQ(At(sheet, row, 1).Font.Name, "宋体") << row;
        EXPECT_EQ(At(sheet, row, 1).Font.Size, 10) << row;
    }
}

TEST_F(OleExcelTest, FontStyleUnderlineAndStrikeOutOfTheFontReachTheCell) {
    vcl::TFont bold, all, plain;
    bold.SetStyle(vcl::fsBold);
    all.SetStyle(vcl::fsBold | vcl::fsItalic | vcl::fsUnderline | vcl::fsStrikeOut);
    all.SetSize(14);
    ole->WriteText(1, 1, &bold, true, "订单单别");
    ole->WriteText(1, 2, &all, false, "单号");
    ole->WriteText(1, 3, &plain, false, "序号");
    ortktest::XlsxSheet sheet = Saved();
    const XlsxCell& a = At(sheet, 1, 1);
    EXPECT_TRUE(a.Font.Bold);
    EXPECT_FALSE(a.Font.Italic);
    EXPECT_EQ(a.Font.Underline, "");
    EXPECT_EQ(a.NumberFormat, "@");
    EXPECT_EQ(a.Text, "订单单别");
    const XlsxCell& b = At(sheet, 1, 2);
    EXPECT_TRUE(b.Font.Bold && b.Font.Italic && b.Font.Strike);
    EXPECT_EQ(b.Font.Underline, "single");
    EXPECT_EQ(b.Font.Size, 14);
    EXPECT_EQ(b.Font.Rgb, "");                      // only negative numbers are coloured
    const XlsxCell& c = At(sheet, 1, 3);
    EXPECT_FALSE(c.Font.Bold || c.Font.Italic || c.Font.Strike);
    EXPECT_EQ(c.Font.Name, plain.Name());
}

// ---- 4. Workbook, sheet and the application's life ------------------------------------------

TEST_F(OleExcelTest, NewWorkbookHasOneSheetThatCanBeNamedAndSelectedIn) {
    ole->SetSheetName("ORTK41");
    ole->SelectCell(4, 2);
    EXPECT_EQ(plat::GetProperty(plat::GetProperty(ole->ExcelApp(), "ActiveCell"), "Row").ToInt(), 4);
    ole->WriteText(1, 1, nullptr, true, "订单单别");
    ortktest::XlsxBook book = ortktest::ReadXlsx((ole->SaveWorkbook(), file));
    ASSERT_EQ(book.Sheets.size(), 1u);
    EXPECT_EQ(book.Sheets[0].Name, "ORTK41");
    EXPECT_EQ(book.Sheets[0].TextAt(1, 1), "订单单别");
}

TEST_F(OleExcelTest, PastTheLastRowTheExportContinuesOnAnAddedSheet) {
    ole->SetSheetName("ORTK41");
    int last = ole->SheetRowCount();
    ASSERT_EQ(last, 1048576);
    ole->WriteText(last, 6, nullptr, true, "last row");
    EXPECT_THROW(ole->WriteText(last + 1, 6, nullptr, true, "lost"), plat::Exception);
    ole->AddWorksheet();
    ole->SetSheetName("ORTK41 (2)");
    ole->WriteText(1, 6, nullptr, true, "next row");
    ole->AddWorksheet();
    EXPECT_EQ(ole->SheetRowCount(), last);
    ole->SaveWorkbook();
    ortktest::XlsxBook book = ortktest::ReadXlsx(file);
    ASSERT_EQ(book.Sheets.size(), 3u);
    EXPECT_EQ(book.Sheets[0].TextAt(last, 6), "last row");
    EXPECT_EQ(book.Sheets[0].Cells.size(), 1u);
    EXPECT_EQ(book.Sheets[1].Name, "ORTK41 (2)");
    EXPECT_EQ(book.Sheets[1].TextAt(1, 6), "next row");
    EXPECT_EQ(book.ActiveSheet, 2);
}

TEST_F(OleExcelTest, DisconnectingQuitsTheApplicationWhenAutoCloseIsSet) {
    plat::Variant app = ole->ExcelApp();
    ole->SetVisible(true);
    EXPECT_TRUE(plat::GetProperty(app, "Visible").ToBool());
    ole->Connect(false);
    EXPECT_FALSE(ole->Connected());
    EXPECT_TRUE(ole->Workbook().IsEmpty() && ole->Worksheet().IsEmpty() && ole->ExcelApp().IsEmpty());
    EXPECT_THROW(plat::GetProperty(app, "Visible"), plat::EOleError);   // quit
    ole->SetVisible(false);                                                // not connected: ignored
    EXPECT_TRUE(ole->Visible());
    ole->SaveWorkbook();                                                   // no workbook: nothing
    ole->SetSheetName("x");
    EXPECT_THROW(ole->WriteText(1, 1, nullptr, true, "x"), plat::Exception);
}

TEST_F(OleExcelTest, WithoutAutoCloseTheApplicationIsLeftRunning) {
    ole->SetAutoCloseExcel(false);
    plat::Variant app = ole->ExcelApp();
    ole->Connect(false);
    EXPECT_EQ(plat::GetProperty(plat::GetProperty(app, "Workbooks"), "Count").ToInt(), 1);
}

TEST_F(OleExcelTest, DestroyingTheComponentQuitsTheApplication) {
    plat::Variant app = ole->ExcelApp();
    plat::Variant book = ole->Workbook();
    owner.reset();   // frees the component with its owner
    EXPECT_THROW(plat::GetProperty(app, "Visible"), plat::EOleError);
    EXPECT_THROW(plat::CallMethod(book, "Save"), plat::EOleError);
}

TEST_F(OleExcelTest, ASecondConnectKeepsTheRunningApplication) {
    plat::Variant app = ole->ExcelApp();
    ole->Connect(true);
    EXPECT_EQ(ole->ExcelApp(), app);
    EXPECT_FALSE(ole->Workbook().IsEmpty());
}

TEST(OleExcelConnect, WithoutTheApplicationConnectRaisesAndStaysDisconnected) {
    plat::UnregisterClassFactory("Excel.Application");
    TOLEExcel ole(nullptr);
    EXPECT_THROW(ole.Connect(true), plat::EOleSysError);
    EXPECT_FALSE(ole.Connected());
    ole.NewWorkbook();                    // not connected: nothing
    EXPECT_TRUE(ole.Workbook().IsEmpty());
    excel::RegisterExcelApplication();
}

// ---- 5. Throughput of text cells as the order export writes them ---------------------------

TEST_F(OleExcelTest, ThroughputOfTextCellsWrittenAsText) {
    const int rows = 20000;
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpuStart = std::clock();
    for (int r = 1; r <= rows; ++r) ole->WriteText(r, 6 + r % 3, nullptr, true, "2101-20240100001-0001 20240105");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("[ measured ] TOLEExcel.WriteText as text: %.0f cells/s (%.0f per CPU second)\n", rows / seconds, rows / cpu);
    ortktest::XlsxSheet sheet = Saved();
    EXPECT_EQ(sheet.Cells.size(), static_cast<size_t>(rows));
    EXPECT_EQ(sheet.TextAt(rows, 6 + rows % 3), "2101-20240100001-0001 20240105");
}
