// The spreadsheet application behind "Excel.Application", driven through
// automation the way export code drives it, with every workbook written to
// disk and read back from the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "ClassRegistry.h"
#include "Dispatch.h"
#include "ExcelApplication.h"
#include "LongCall.h"
#include "SheetModel.h"
#include "TempEnvironment.h"
#include "XlsxReader.h"

using ::testing::HasSubstr;

using plat::Args;
using plat::ByVal;
using plat::Variant;
using ortktest::XlsxCell;

namespace {

Variant Get(const Variant& o, const char* member, Args args = {}) { return plat::GetProperty(o, member, std::move(args)); }
void Put(const Variant& o, const char* member, Variant v) { plat::SetProperty(o, member, std::move(v)); }
Variant Call(const Variant& o, const char* member, Args args = {}) { return plat::CallMethod(o, member, std::move(args)); }
Variant Cell(const Variant& sheet, int row, int column) { return Get(sheet, "Cells", {ByVal(row), ByVal(column)}); }
void SetCell(const Variant& sheet, int row, int column, Variant value) {
    plat::Invoke(sheet, "Cells", plat::InvokeKind::PropertyPut, {ByVal(row), ByVal(column), ByVal(std::move(value))});
}

// An application with a new one-sheet workbook, as the export starts it.
struct Session {
    Variant App = Variant(excel::NewApplication());
    Variant Book;
    Variant Sheet;
    explicit Session(int sheets = 1) {
        Put(App, "SheetsInNewWorkbook", int32_t(sheets));
        Book = Call(Get(App, "WorkBooks"), "Add");
        Sheet = Get(Book, "ActiveSheet");
    }
};

const XlsxCell& At(const ortktest::XlsxSheet& sheet, int row, int column) {
    static const XlsxCell none;
    const XlsxCell* c = sheet.At(row, column);
    return c ? *c : none;
}

}  // namespace

// ---- 1. Typed input: what a cell makes of the value written into it --------

TEST(ExcelTypedInput, NumericTextInGeneralCellsBecomesANumberTextFormatKeepsIt) {
    ortktest::TempFolder folder;
    Session s;
    SetCell(s.Sheet, 1, 1, "0001");               // General: a key turns into 1
    Put(Cell(s.Sheet, 2, 1), "NumberFormatLocal", "@");
    SetCell(s.Sheet, 2, 1, "0001");               // text format: stays "0001"
    SetCell(s.Sheet, 3, 1, " -12.50 ");
    SetCell(s.Sheet, 4, 1, "1E3");
    SetCell(s.Sheet, 5, 1, "'0001");              // apostrophe: text, apostrophe dropped
    SetCell(s.Sheet, 6, 1, "true");
    SetCell(s.Sheet, 7, 1, "12-3");               // not a number
    SetCell(s.Sheet, 8, 1, int32_t(42));
    SetCell(s.Sheet, 9, 1, "12345678901");        // document numbers of 11 digits
    std::string file = folder.Path() + "typed.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});

    EXPECT_EQ(Get(Cell(s.Sheet, 1, 1), "Value"), Variant(1.0));
    EXPECT_EQ(Get(Cell(s.Sheet, 2, 1), "Value").ToString(), "0001");

    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(At(sheet, 1, 1).Type, XlsxCell::Kind::Number);
    EXPECT_EQ(At(sheet, 1, 1).Number, 1);
    EXPECT_EQ(At(sheet, 2, 1).Type, XlsxCell::Kind::Text);
    EXPECT_EQ(At(sheet, 2, 1).Text, "0001");
    EXPECT_EQ(At(sheet, 2, 1).NumberFormat, "@");
    EXPECT_EQ(At(sheet, 3, 1).Number, -12.5);
    EXPECT_EQ(At(sheet, 4, 1).Number, 1000);
    EXPECT_EQ(sheet.TextAt(5, 1), "0001");
    EXPECT_EQ(At(sheet, 6, 1).Type, XlsxCell::Kind::Boolean);
    EXPECT_TRUE(At(sheet, 6, 1).Bool);
    EXPECT_EQ(sheet.TextAt(7, 1), "12-3");
    EXPECT_EQ(At(sheet, 8, 1).Number, 42);
    EXPECT_EQ(At(sheet, 9, 1).Type, XlsxCell::Kind::Number);
}

TEST(ExcelTypedInput, NumberTextRecognition) {
    struct Row { const char* text; bool number; double value; };
    const Row rows[] = {
        {"0", true, 0},        {"007", true, 7},      {"+5", true, 5},         {"-0.25", true, -0.25},
        {".5", true, 0.5},     {"1.", true, 1},       {"2e-2", true, 0.02},    {"  3  ", true, 3},
        {"", false, 0},        {"-", false, 0},       {".", false, 0},         {"1e", false, 0},
        {"inf", false, 0},     {"nan", false, 0},     {"0x10", false, 0},      {"1,000", false, 0},
        {"1e999", false, 0},   {"12 34", false, 0},   {"--1", false, 0},       {"一", false, 0},
    };
    for (const Row& r : rows) {
        double value = -99;
        EXPECT_EQ(excel::ParseNumberText(r.text, value), r.number) << '"' << r.text << '"';
        if (r.number) {
            EXPECT_DOUBLE_EQ(value, r.value) << r.text;
        }
    }
}

TEST(ExcelTypedInput, EmptyValuesClearACellButKeepItsFormat) {
    ortktest::TempFolder folder;
    Session s;
    SetCell(s.Sheet, 1, 1, "x");
    Put(Cell(s.Sheet, 1, 2), "NumberFormatLocal", "@");
    SetCell(s.Sheet, 1, 2, "y");
    SetCell(s.Sheet, 1, 1, Variant());
    SetCell(s.Sheet, 1, 2, "");
    EXPECT_TRUE(Get(Cell(s.Sheet, 1, 1), "Value").IsEmpty());
    EXPECT_EQ(Get(Cell(s.Sheet, 1, 2), "NumberFormatLocal").ToString(), "@");
    std::string file = folder.Path() + "cleared.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});
    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.At(1, 1), nullptr);
    EXPECT_EQ(At(sheet, 1, 2).Type, XlsxCell::Kind::Blank);
    EXPECT_EQ(At(sheet, 1, 2).NumberFormat, "@");
}

TEST(ExcelTypedInput, ValuesACellCannotHoldAreRefused) {
    Session s;
    EXPECT_THROW(SetCell(s.Sheet, 1, 1, plat::VarArrayOf({Variant(1)})), plat::EOleError);
    EXPECT_THROW(SetCell(s.Sheet, 1, 1, std::string(32768, 'x')), plat::EOleError);
    SetCell(s.Sheet, 1, 1, std::string(32767, 'x'));
    EXPECT_EQ(Get(Cell(s.Sheet, 1, 1), "Value").ToString().size(), 32767u);
    // The limit counts UTF-16 code units, not bytes: 12,000 Chinese
    // characters (36,000 bytes) fit, 16,384 characters outside the BMP
    // (two units each) do not.
    std::string chinese, astral;
    for (int i = 0; i < 12000; ++i) chinese += "汉";
    for (int i = 0; i < 16384; ++i) astral += "\xF0\x9F\x98\x80";
    SetCell(s.Sheet, 2, 1, chinese);
    EXPECT_EQ(Get(Cell(s.Sheet, 2, 1), "Value").ToString(), chinese);
    EXPECT_THROW(SetCell(s.Sheet, 3, 1, astral), plat::EOleError);
    SetCell(s.Sheet, 3, 1, astral.substr(4));
}

// A cell written again with a value of another kind holds only the new
// value, keeps its format, and the file has what was written last.
TEST(ExcelTypedInput, ACellRewrittenWithEveryKindKeepsItsFormatAndTheLastValue) {
    ortktest::TempFolder folder;
    Session s;
    for (int column : {1, 16384}) {
        Variant cell = Cell(s.Sheet, 2, column);
        Put(Get(cell, "Font"), "Bold", true);
        SetCell(s.Sheet, 2, column, "单号");
        EXPECT_EQ(Get(cell, "Value").ToString(), "单号");
        SetCell(s.Sheet, 2, column, -0.0);
        EXPECT_EQ(Get(cell, "Value"), Variant(-0.0));
        EXPECT_TRUE(std::signbit(Get(cell, "Value").ToDouble()));
        SetCell(s.Sheet, 2, column, 1e308);
        EXPECT_EQ(Get(cell, "Value"), Variant(1e308));
        SetCell(s.Sheet, 2, column, true);
        EXPECT_EQ(Get(cell, "Value"), Variant(true));
        SetCell(s.Sheet, 2, column, 0.1 + 0.2);
        EXPECT_EQ(Get(cell, "Value").ToDouble(), 0.1 + 0.2);
        SetCell(s.Sheet, 2, column, column == 1 ? "0001-A" : "FALSE");
        EXPECT_TRUE(Get(Get(cell, "Font"), "Bold").ToBool());
    }
    SetCell(s.Sheet, 3, 1, 0.0);
    EXPECT_FALSE(std::signbit(Get(Cell(s.Sheet, 3, 1), "Value").ToDouble()));   // 0 and -0 stay apart
    std::string file = folder.Path() + "rewritten.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});
    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.Cells.size(), 3u);
    EXPECT_EQ(sheet.TextAt(2, 1), "0001-A");
    EXPECT_TRUE(At(sheet, 2, 1).Font.Bold);
    EXPECT_EQ(At(sheet, 2, 16384).Type, XlsxCell::Kind::Boolean);
    EXPECT_FALSE(At(sheet, 2, 16384).Bool);
    EXPECT_TRUE(At(sheet, 2, 16384).Font.Bold);
    EXPECT_EQ(At(sheet, 3, 1).Number, 0);
}

// ---- 2. The edges of a sheet ------------------------------------------------

TEST(ExcelSheetLimits, LastRowAndColumnAreWritablePastThemIsAnError) {
    ortktest::TempFolder folder;
    Session s;
    EXPECT_EQ(Get(Get(s.Sheet, "Rows"), "Count").ToInt(), 1048576);
    EXPECT_EQ(Get(Get(s.Sheet, "Columns"), "Count").ToInt(), 16384);
    SetCell(s.Sheet, 1048576, 16384, "last");
    EXPECT_THROW(SetCell(s.Sheet, 1048577, 1, "past"), plat::EOleError);
    EXPECT_THROW(SetCell(s.Sheet, 1, 16385, "past"), plat::EOleError);
    EXPECT_THROW(SetCell(s.Sheet, 0, 1, "zero"), plat::EOleError);
    EXPECT_THROW(Cell(s.Sheet, 1048577, 1), plat::EOleError);
    std::string file = folder.Path() + "edge.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});
    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.Cells.size(), 1u);
    EXPECT_EQ(sheet.TextAt(1048576, 16384), "last");
}

// ---- 3. Workbooks and sheets --------------------------------------------------

TEST(ExcelWorkbook, NewWorkbookHasSheetsInNewWorkbookSheetsAndTheFirstIsActive) {
    Variant app(excel::NewApplication());
    Variant three = Call(Get(app, "Workbooks"), "Add");
    EXPECT_EQ(Get(Get(three, "Worksheets"), "Count").ToInt(), 3);   // the application's own default
    Put(app, "SheetsInNewWorkbook", int32_t(1));
    Variant one = Call(Get(app, "Workbooks"), "Add");
    EXPECT_EQ(Get(Get(one, "Worksheets"), "Count").ToInt(), 1);
    EXPECT_EQ(Get(Get(one, "ActiveSheet"), "Name").ToString(), "Sheet1");
    EXPECT_EQ(Get(Get(app, "ActiveSheet"), "Index").ToInt(), 1);
    EXPECT_EQ(Get(Get(app, "Workbooks"), "Count").ToInt(), 2);
    EXPECT_EQ(Get(app, "ActiveWorkbook"), one);
    EXPECT_THROW(Put(app, "SheetsInNewWorkbook", int32_t(0)), plat::EOleError);
}

TEST(ExcelWorkbook, SheetNamesFollowTheApplicationsRules) {
    Session s(2);
    Variant second = Get(Get(s.Book, "Worksheets"), "Item", {ByVal(int32_t(2))});
    Put(s.Sheet, "Name", "ORTK41");
    EXPECT_EQ(Get(s.Sheet, "Name").ToString(), "ORTK41");
    EXPECT_THROW(Put(second, "Name", "ortk41"), plat::EOleError);            // taken, whatever the case
    EXPECT_THROW(Put(second, "Name", "a[1]"), plat::EOleError);
    EXPECT_THROW(Put(second, "Name", ""), plat::EOleError);
    EXPECT_THROW(Put(second, "Name", std::string(32, 'n')), plat::EOleError);
    const std::string name31 = "订单追踪明细订单追踪明细订单追踪明细订单追踪明细订单追踪明细订";
    EXPECT_THROW(Put(second, "Name", name31 + "单"), plat::EOleError);
    Put(second, "Name", name31);                   // characters are counted, not bytes
    EXPECT_EQ(Get(Get(s.Book, "Worksheets"), "Item", {ByVal("ORTK41")}), s.Sheet);
    ortktest::TempFolder folder;
    Call(s.Book, "SaveAs", {ByVal(folder.Path() + "names.xlsx")});
    EXPECT_EQ(ortktest::ReadXlsx(folder.Path() + "names.xlsx").Sheets.at(1).Name, name31);
}

TEST(ExcelWorkbook, WorksheetsAddPutsTheNewSheetAfterTheAnchorAndMakesItActive) {
    ortktest::TempFolder folder;
    Session s;
    Put(s.Sheet, "Name", "Data");
    SetCell(s.Sheet, 1, 1, "first sheet");
    Variant sheets = Get(s.Book, "Worksheets");
    Variant added = Call(sheets, "Add", {ByVal(Variant()), ByVal(s.Sheet)});
    EXPECT_EQ(Get(added, "Name").ToString(), "Sheet2");
    EXPECT_EQ(Get(added, "Index").ToInt(), 2);
    EXPECT_EQ(Get(s.Book, "ActiveSheet"), added);
    SetCell(added, 1, 1, "second sheet");
    // Without an anchor a sheet goes before the active one, as in the application.
    Variant front = Call(sheets, "Add");
    EXPECT_EQ(Get(front, "Index").ToInt(), 2);
    EXPECT_EQ(Get(added, "Index").ToInt(), 3);
    EXPECT_THROW(Call(sheets, "Add", {ByVal(s.Sheet), ByVal(s.Sheet)}), plat::EOleError);
    EXPECT_THROW(Call(sheets, "Add", {ByVal(Variant()), ByVal(Variant(excel::NewApplication()))}), plat::EOleError);

    std::string file = folder.Path() + "sheets.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});
    ortktest::XlsxBook book = ortktest::ReadXlsx(file);
    ASSERT_EQ(book.Sheets.size(), 3u);
    EXPECT_EQ(book.Sheets[0].Name, "Data");
    EXPECT_EQ(book.Sheets[0].TextAt(1, 1), "first sheet");
    EXPECT_EQ(book.Sheets[1].Name, "Sheet3");
    EXPECT_TRUE(book.Sheets[1].Cells.empty());
    EXPECT_EQ(book.Sheets[2].Name, "Sheet2");
    EXPECT_EQ(book.Sheets[2].TextAt(1, 1), "second sheet");
    EXPECT_EQ(book.ActiveSheet, 1);
}

TEST(ExcelWorkbook, OnlyACellOfTheSheetOnShowCanBeSelected) {
    Session s;
    Call(Cell(s.Sheet, 3, 2), "Select");
    EXPECT_EQ(Get(Get(s.App, "ActiveCell"), "Row").ToInt(), 3);
    EXPECT_EQ(Get(Get(s.App, "ActiveCell"), "Column").ToInt(), 2);
    Variant other = Call(Get(s.Book, "Worksheets"), "Add");
    EXPECT_THROW(Call(Cell(s.Sheet, 1, 1), "Select"), plat::EOleError);
    Call(other, "Activate");
    Call(s.Sheet, "Activate");
    Call(Cell(s.Sheet, 1, 1), "Select");
}

// ---- 4. Saving ------------------------------------------------------------------

TEST(ExcelSave, SaveAsWritesOfficeOpenXmlWhateverTheExtensionAndSaveRewritesEverything) {
    ortktest::TempFolder folder;
    Session s;
    std::string file = folder.Path() + "ORTK41.XLS";
    Put(s.Sheet, "Name", "ORTK41");
    SetCell(s.Sheet, 1, 1, "订单单别");
    Call(s.Book, "SaveAs", {ByVal(file)});
    EXPECT_EQ(Get(s.Book, "Name").ToString(), "ORTK41.XLS");
    EXPECT_EQ(Get(s.Book, "FullName").ToString(), file);
    std::vector<std::string> entries = ortktest::ZipEntryNames(file);
    EXPECT_NE(std::find(entries.begin(), entries.end(), "[Content_Types].xml"), entries.end());
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).Cells.size(), 1u);

    SetCell(s.Sheet, 2, 6, "销货单");
    EXPECT_FALSE(Get(s.Book, "Saved").ToBool());
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).Cells.size(), 1u);   // nothing reaches the file before a save
    Call(s.Book, "Save");
    EXPECT_TRUE(Get(s.Book, "Saved").ToBool());
    ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.Name, "ORTK41");
    EXPECT_EQ(sheet.TextAt(1, 1), "订单单别");
    EXPECT_EQ(sheet.TextAt(2, 6), "销货单");
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        EXPECT_EQ(entry.path().filename().string(), "ORTK41.XLS") << "left behind";
}

TEST(ExcelSave, AFailedSaveRaisesAndLeavesTheEarlierFileAsItWas) {
    ortktest::TempFolder folder;
    Session s;
    EXPECT_THROW(Call(s.Book, "Save"), plat::EOleError);                 // no file name yet
    EXPECT_THROW(Call(s.Book, "SaveAs", {ByVal(folder.Path() + "missing/x.xlsx")}), plat::EOleError);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "missing"));
    EXPECT_THROW(Call(s.Book, "SaveAs", {ByVal(folder.Path() + "x.xls"), ByVal(int32_t(56))}), plat::EOleError);

    std::string file = folder.Path() + "kept.xlsx";
    SetCell(s.Sheet, 1, 1, "saved");
    Call(s.Book, "SaveAs", {ByVal(file)});
    // A target that cannot be replaced (a folder with a file in it): the
    // save fails, leaves nothing behind and the workbook keeps its file.
    std::string occupied = folder.Write("occupied/inside.txt", "keep");
    SetCell(s.Sheet, 2, 1, "later");
    EXPECT_THROW(Call(s.Book, "SaveAs", {ByVal(folder.Path() + "occupied")}), plat::EOleError);
    EXPECT_EQ(Get(s.Book, "FullName").ToString(), file);
    EXPECT_TRUE(std::filesystem::is_regular_file(occupied));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()), 2);
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).Cells.size(), 1u);
    Call(s.Book, "Save");
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).TextAt(2, 1), "later");

    // SaveAs never replaces a file, not even one of the same workbook: the
    // application would ask, and an automation client cannot answer.
    std::string other = folder.Write("other.xlsx", "someone else's");
    try {
        Call(s.Book, "SaveAs", {ByVal(other)});
        ADD_FAILURE() << "an existing file was replaced";
    } catch (const plat::EOleError& e) {
        EXPECT_THAT(std::string(e.what()), HasSubstr("already exists")) << e.what();
    }
    EXPECT_THROW(Call(s.Book, "SaveAs", {ByVal(file)}), plat::EOleError);
    std::ifstream in(other);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "someone else's");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()), 3);
}

// A long save runs beside its caller: the caller's waiting handler sees the
// rows counted in order, every other call is refused until the file is
// whole, and the application answers again afterwards.
constexpr int kLongSaveRows = 100000;

// Rows enough for a save that outlasts a few waits of its caller.
void FillForALongSave(const Variant& sheet) {
    for (int r = 1; r <= kLongSaveRows; ++r)
        for (int c = 1; c <= 4; ++c) SetCell(sheet, r, c, "出货单 2201-" + std::to_string(r * 4 + c));
}

TEST(ExcelSave, ALongSaveKeepsItsCallerInformedAndRefusesOtherCallsMeanwhile) {
    ortktest::TempFolder folder;
    Session s;
    const int rows = kLongSaveRows;
    FillForALongSave(s.Sheet);
    std::vector<plat::CallProgress> seen;
    std::string refusal;
    {
        plat::CallWaitScope waiting([&](const plat::CallProgress& progress) {
            seen.push_back(progress);
            // printed, some of it, while the library's own output is caught
            std::fprintf(stderr, "the caller's own warning %zu\n", seen.size());
            if (!refusal.empty()) return;
            try {
                SetCell(s.Sheet, 1, 1, "changed while saving");
                refusal = "accepted";
            } catch (const plat::EOleError& e) {
                refusal = e.what();
            }
        });
        testing::internal::CaptureStderr();
        Call(s.Book, "SaveAs", {ByVal(folder.Path() + "long.xlsx")});
        std::string printed = testing::internal::GetCapturedStderr();
        if (!seen.empty())
            EXPECT_THAT(printed, HasSubstr("the caller's own warning " + std::to_string(seen.size())))
                << "lost with the library's output";
    }
    ASSERT_FALSE(seen.empty()) << "the save never let its caller wait";
    std::printf("[ measured ] the caller waited %zu times during a save of %d rows\n", seen.size(), rows);
    EXPECT_THAT(refusal, HasSubstr("busy"));
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].Total, 2u * rows) << "each row is written, then packed";
        EXPECT_LE(seen[i].Done, seen[i].Total);
        if (i > 0) EXPECT_GE(seen[i].Done, seen[i - 1].Done) << "progress went back at call " << i;
    }
    EXPECT_EQ(Get(s.Book, "Name").ToString(), "long.xlsx");
    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(folder.Path() + "long.xlsx").Sheets.at(0);
    EXPECT_EQ(sheet.TextAt(1, 1), "出货单 2201-5");
    EXPECT_EQ(sheet.TextAt(rows, 4), "出货单 2201-" + std::to_string(rows * 4 + 4));
}

// A save that fails while its caller waits reports its failure, leaves no
// file, and a failure of the caller's handler does not undo a save that
// went through.
TEST(ExcelSave, FailuresOnEitherSideOfALongSaveReachTheCaller) {
    ortktest::TempFolder folder;
    Session s;
    FillForALongSave(s.Sheet);
    {
        plat::CallWaitScope waiting([](const plat::CallProgress&) {});
        EXPECT_THROW(Call(s.Book, "SaveAs", {ByVal(folder.Path() + "missing/x.xlsx")}), plat::EOleError);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    std::string file = folder.Path() + "kept.xlsx";
    {
        plat::CallWaitScope waiting([](const plat::CallProgress&) { throw std::runtime_error("window gone"); });
        EXPECT_THROW(Call(s.Book, "SaveAs", {ByVal(file)}), std::runtime_error);
    }
    EXPECT_EQ(Get(s.Book, "FullName").ToString(), file) << "the file was written and is the workbook's";
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).TextAt(kLongSaveRows, 1), "出货单 2201-" + std::to_string(kLongSaveRows * 4 + 1));
}

// ---- 5. Number formats and fonts reach the file -------------------------------------

TEST(ExcelFormats, NumberFormatsAndFontsAreWrittenPerCell) {
    ortktest::TempFolder folder;
    Session s;
    Variant amount = Cell(s.Sheet, 1, 1);
    Put(amount, "NumberFormatLocal", "#,##0.00_ ");
    Variant font = Get(amount, "Font");
    Put(font, "Color", int32_t(255));               // red, in blue-green-red order
    Put(font, "Name", "宋体");
    Put(font, "Size", int32_t(9));
    Put(font, "FontStyle", "Bold Italic");
    Put(font, "Underline", int32_t(2));
    Put(font, "Strikethrough", true);
    Put(amount, "Value", -1234.5);
    Variant error = Cell(s.Sheet, 1, 2);
    Put(Get(error, "Font"), "ColorIndex", int32_t(3));
    Put(error, "Value", "Error!");
    Put(Cell(s.Sheet, 1, 3), "NumberFormat", "0_ ");
    SetCell(s.Sheet, 1, 3, "17");                   // a number format still takes typed numbers
    Put(Get(Cell(s.Sheet, 1, 4), "Font"), "Underline", int32_t(-4142));
    SetCell(s.Sheet, 1, 4, "plain");

    EXPECT_EQ(Get(font, "FontStyle").ToString(), "Bold Italic");
    EXPECT_EQ(Get(font, "ColorIndex").ToInt(), 3);
    EXPECT_EQ(Get(Get(error, "Font"), "Color").ToInt(), 255);
    EXPECT_EQ(Get(Cell(s.Sheet, 9, 9), "NumberFormatLocal").ToString(), "G/通用格式");
    EXPECT_THROW(Put(font, "FontStyle", "Heavy"), plat::EOleError);
    EXPECT_THROW(Put(font, "Underline", int32_t(7)), plat::EOleError);
    EXPECT_THROW(Put(font, "ColorIndex", int32_t(57)), plat::EOleError);

    std::string file = folder.Path() + "formats.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});
    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    const XlsxCell& a = At(sheet, 1, 1);
    EXPECT_EQ(a.Type, XlsxCell::Kind::Number);
    EXPECT_EQ(a.Number, -1234.5);
    EXPECT_EQ(a.NumberFormat, "#,##0.00_ ");
    EXPECT_EQ(a.Font.Rgb, "FF0000");
    EXPECT_EQ(a.Font.Name, "宋体");
    EXPECT_EQ(a.Font.Size, 9);
    EXPECT_TRUE(a.Font.Bold && a.Font.Italic && a.Font.Strike);
    EXPECT_EQ(a.Font.Underline, "single");
    EXPECT_EQ(At(sheet, 1, 2).Text, "Error!");
    EXPECT_EQ(At(sheet, 1, 2).Font.Rgb, "FF0000");
    EXPECT_EQ(At(sheet, 1, 3).NumberFormat, "0_ ");
    EXPECT_EQ(At(sheet, 1, 3).Number, 17);
    EXPECT_EQ(At(sheet, 1, 4).Font.Rgb, "");
    EXPECT_EQ(At(sheet, 1, 4).Font.Underline, "");
    EXPECT_FALSE(At(sheet, 1, 4).Font.Bold);
}

// A workbook has room for 32,768 cell styles: one more is an error with a
// reason, and the cell that asked for it keeps its format and value.
TEST(ExcelFormats, AStylePastTheLastIsRefusedAndTheCellKeepsItsFormat) {
    ortktest::TempFolder folder;
    Session s;
    for (int32_t i = 1; i < 32768; ++i) Put(Get(Cell(s.Sheet, 1 + i / 16384, 1 + i % 16384), "Font"), "Color", i);
    SetCell(s.Sheet, 3, 1, "kept");
    Put(Get(Cell(s.Sheet, 3, 1), "Font"), "Color", int32_t(5));
    try {
        Put(Get(Cell(s.Sheet, 3, 1), "Font"), "Color", int32_t(32768));
        ADD_FAILURE() << "a style past the last was taken";
    } catch (const std::exception& e) {
        EXPECT_THAT(e.what(), HasSubstr("at most 32768 distinct cell styles"));
    }
    EXPECT_EQ(Get(Get(Cell(s.Sheet, 3, 1), "Font"), "Color").ToInt(), 5);
    EXPECT_EQ(Get(Cell(s.Sheet, 3, 1), "Value").ToString(), "kept");
    EXPECT_THROW(Put(Get(Cell(s.Sheet, 4, 1), "Font"), "Bold", true), std::length_error);   // an empty cell alike
    std::string file = folder.Path() + "styles.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});
    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.TextAt(3, 1), "kept");
    EXPECT_EQ(At(sheet, 3, 1).Font.Rgb, "050000");
    EXPECT_FALSE(At(sheet, 4, 1).Font.Bold);
    EXPECT_EQ(At(sheet, 2, 16384).Font.Rgb, "FF7F00");   // the last style, 32767
}

// ---- 6. Life of the application ----------------------------------------------------

TEST(ExcelApplication, QuitDisconnectsEveryObjectOfTheInstance) {
    Session s;
    Variant range = Cell(s.Sheet, 1, 1);
    Call(s.App, "Quit");
    EXPECT_THROW(Get(s.App, "Visible"), plat::EOleError);
    EXPECT_THROW(Call(s.Book, "Save"), plat::EOleError);
    EXPECT_THROW(SetCell(s.Sheet, 1, 1, "x"), plat::EOleError);
    EXPECT_THROW(Put(range, "Value", "x"), plat::EOleError);
}

TEST(ExcelApplication, RegisteredUnderItsProgIdEachCreationIsANewInstance) {
    excel::RegisterExcelApplication();
    Variant a = plat::CreateOleObject("Excel.Application");
    Variant b = plat::CreateOleObject("excel.application");
    Put(a, "Visible", true);
    EXPECT_TRUE(Get(a, "Visible").ToBool());
    EXPECT_FALSE(Get(b, "Visible").ToBool());
    Call(Get(a, "Workbooks"), "Add");
    EXPECT_EQ(Get(Get(b, "Workbooks"), "Count").ToInt(), 0);
    EXPECT_TRUE(Get(b, "ActiveSheet").IsEmpty());
}

// ---- 7. Throughput: one automation call per cell, as exports write ----------------

TEST(ExcelThroughput, HundredThousandCellsThroughAutomationAndReadBack) {
    ortktest::TempFolder folder;
    Session s;
    const int rows = 25000, columns = 4;
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpuStart = std::clock();
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c)
            SetCell(s.Sheet, r, c, c == 1 ? Variant("1201-20240100" + std::to_string(r % 1000)) : Variant("销货单 " + std::to_string(r)));
    auto written = std::chrono::steady_clock::now();
    double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::string file = folder.Path() + "many.xlsx";
    Call(s.Book, "SaveAs", {ByVal(file)});
    auto saved = std::chrono::steady_clock::now();
    double writeSeconds = std::chrono::duration<double>(written - start).count();
    double saveSeconds = std::chrono::duration<double>(saved - written).count();
    std::printf("[ measured ] %d cells: %.0f cells/s through automation (%.0f per CPU second), save %.3f s, file %ju bytes\n",
                rows * columns, rows * columns / writeSeconds, rows * columns / cpu, saveSeconds,
                static_cast<uintmax_t>(std::filesystem::file_size(file)));
    const ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.Cells.size(), static_cast<size_t>(rows * columns));
    EXPECT_EQ(sheet.TextAt(rows, 1), "1201-20240100" + std::to_string(rows % 1000));
    EXPECT_EQ(sheet.TextAt(rows, 4), "销货单 " + std::to_string(rows));
}
