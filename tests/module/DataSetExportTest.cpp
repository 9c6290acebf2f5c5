// The data-set exports of single-table windows: the menu "汇出(&E)" with
// Ctrl+F1 (through the spreadsheet application, with formats) and Ctrl+F2
// (straight to a file), the files they write read back cell by cell.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "ClassRegistry.h"
#include "Connections.h"
#include "DBClient.h"
#include "DataTestSupport.h"
#include "Db.h"
#include "ExcelApplication.h"
#include "FormTestSupport.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "ExternalReaders.h"
#include "SafeFile.h"
#include "XlsxReader.h"
#include "data/Brokers.h"
#include "data/FieldFormats.h"
#include "data/KvQueryCD.h"
#include "data/SingleCD.h"
#include "export/XLSExport.h"
#include "ortk41/ORTK41CF.h"

using ::testing::HasSubstr;
using ::testing::Not;

using formtest::DemoWorld;
using plat::Variant;
using plat::packet::FieldDesc;
using ortktest::XlsxCell;

namespace {

// The order tracking window with a result set of its own for the export menu.
class ExportingWindow : public TfrmORTK41 {
public:
    using TfrmORTK41::TfrmORTK41;
    vcl::TClientDataSet* Results = nullptr;
    vcl::TClientDataSet* ExportDataSet() const override { return Results; }
};

class DataSetExport : public testing::Test {
protected:
    void SetUp() override {
        excel::RegisterExcelApplication();
        plat::SetShellOpenHandler([this](const std::string& file) {
            opened.push_back(file);
            return true;
        });
        form = world.Start<ExportingWindow>();
        ASSERT_NE(form, nullptr);
        form->ProfilePath = world.install.Folder() + "profile/";
        dm = dynamic_cast<TdmSingle*>(form->BaseModule());
        ASSERT_NE(dm, nullptr);

        owner = vcl::TComponent::Create<vcl::TComponent>(nullptr);
        source = vcl::TComponent::Create<vcl::TDataSource>(owner);
        Load({
            {"0001  ", "螺丝", int32_t(5), -1.5, 0.125, "x", true, "1"},
            {"0002  ", "螺母", int32_t(0), 0.0, 0.5, "y", false, "2"},
            {"0003  ", "垫片", int32_t(1), 2.0, 0.0, "z", false, ""},
        });
        // The state is shown by a data-aware combo box: "caption<tab>value".
        combo = vcl::TComponent::Create<vcl::TComboBox>(form);
        combo->SetParent(form);
        combo->Items()->Add("已结束\t1");
        combo->Items()->Add("未结束\t2");
        combo->SetDataSource(source);
        combo->SetDataField("STATE");
    }
    // The window's result set: these rows of the eight fields below, opened
    // through a provider as a program's data set is.
    void Load(std::vector<std::vector<Variant>> rows) {
        std::vector<FieldDesc> fields = {
            {"CODE", plat::packet::ftFixedChar, 6, true, true, {}}, {"NAME", plat::packet::ftWideString, 20, false, false, {}},
            {"QTY", plat::packet::ftInteger, 0, false, false, {}},   {"PRICE", plat::packet::ftFloat, 0, false, false, {}},
            {"RATE", plat::packet::ftFloat, 0, false, false, {}},    {"HIDDEN", plat::packet::ftString, 8, false, false, {}},
            {"DONE", plat::packet::ftBoolean, 0, false, false, {}},  {"STATE", plat::packet::ftString, 1, false, false, {}},
        };
        provider = std::make_shared<datatest::MemoryProvider>(fields, std::move(rows), "INVMB");
        auto* connection = vcl::TComponent::Create<vcl::TSocketConnection>(owner);
        connection->SetAppServer(Variant(plat::DispatchRef(provider)));
        data = vcl::TComponent::Create<vcl::TClientDataSet>(owner);
        data->SetProviderName("pvdMain");
        data->SetRemoteServer(connection);
        data->Open();
        data->FieldByName("HIDDEN")->SetVisible(false);
        data->FieldByName("NAME")->SetDisplayLabel("品名");
        data->FieldByName("RATE")->SetEditMask(dm->PercentFieldEditMask());
        data->FieldByName("RATE")->OnGetText = vcl::TFieldGetTextEvent(
            [this](vcl::TField* f, std::string& text, bool display) { dm->PercentFieldGetText(f, text, display); }, nullptr);
        form->Results = data;
        source->SetDataSet(data);
    }

    void TearDown() override {
        plat::SetShellOpenHandler({});
        if (form) form->Free();
        if (owner) owner->Free();
    }

    std::vector<std::string> WrittenFiles() const {
        std::vector<std::string> files;
        std::string folder = world.install.Folder() + "profile/c_data/KV";
        if (std::filesystem::is_directory(folder))
            for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path().string());
        return files;
    }

    DemoWorld world;
    ExportingWindow* form = nullptr;
    TdmSingle* dm = nullptr;
    std::shared_ptr<datatest::MemoryProvider> provider;
    vcl::TComponent* owner = nullptr;
    vcl::TClientDataSet* data = nullptr;
    vcl::TDataSource* source = nullptr;
    vcl::TComboBox* combo = nullptr;
    std::vector<std::string> opened;
};

}  // namespace

TEST_F(DataSetExport, WithFormatsThroughTheSpreadsheetApplication) {
    world.dialogs->Answers = {plat::mrNo};   // do not open the document
    ASSERT_TRUE(dm->ExportToExcel(data, form, true));
    std::vector<std::string> files = WrittenFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::path(files[0]).filename().string().substr(0, 7), "ORTK41_");
    EXPECT_EQ(std::filesystem::path(files[0]).extension(), ".xlsx");   // the name says what the file holds
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(plat::TrimRight(world.dialogs->Shown[0].Text), "转出文档: \r" + files[0] + "\r\r是否打开文档?");
    EXPECT_TRUE(opened.empty());

    ortktest::XlsxBook book = ortktest::ReadXlsx(files[0]);
    const ortktest::XlsxSheet& sheet = book.Sheets.at(0);
    EXPECT_EQ(sheet.Name, "ORTK41");
    // Hidden fields leave no column: seven visible fields in columns 1-7.
    std::vector<std::string> heading;
    for (int c = 1; c <= 8; ++c) heading.push_back(sheet.TextAt(1, c));
    EXPECT_EQ(heading, (std::vector<std::string>{"CODE", "品名", "QTY", "PRICE", "RATE", "DONE", "STATE", ""}));
    EXPECT_EQ(sheet.TextAt(2, 1), "0001  ");                 // a key stays text
    EXPECT_EQ(sheet.At(2, 1)->NumberFormat, "@");
    EXPECT_EQ(sheet.At(2, 3)->Type, XlsxCell::Kind::Number);
    EXPECT_EQ(sheet.At(2, 3)->Number, 5);
    EXPECT_EQ(sheet.At(2, 3)->NumberFormat, "0_ ");
    EXPECT_EQ(sheet.At(2, 4)->Number, -1.5);                 // no decimals registered: plain number
    EXPECT_EQ(sheet.TextAt(2, 5), "12.50%");                 // percent fields as shown
    EXPECT_EQ(sheet.TextAt(2, 6), "Y");
    EXPECT_EQ(sheet.TextAt(3, 6), "N");
    EXPECT_EQ(sheet.TextAt(2, 7), "已结束");                 // through the combo box
    EXPECT_EQ(sheet.TextAt(3, 7), "未结束");
    EXPECT_EQ(sheet.TextAt(4, 7), "");                       // an empty value matches no item
    EXPECT_EQ(sheet.LastRow(), 4);
}

TEST_F(DataSetExport, ACellThatCannotBeWrittenShowsARedErrorAndTheExportGoesOn) {
    data->FieldByName("NAME")->OnGetText = vcl::TFieldGetTextEvent(
        [](vcl::TField* f, std::string& text, bool) {
            if (f->AsString() == "螺母") throw std::runtime_error("unreadable");
            text = f->AsString();
        },
        nullptr);
    world.dialogs->Answers = {plat::mrNo};
    ASSERT_TRUE(dm->ExportToExcel(data, form, false));
    ortktest::XlsxSheet sheet = ortktest::ReadXlsx(WrittenFiles().at(0)).Sheets.at(0);
    EXPECT_EQ(sheet.TextAt(2, 2), "螺丝");
    EXPECT_EQ(sheet.TextAt(3, 2), "Error!");
    EXPECT_EQ(sheet.At(3, 2)->Font.Rgb, "FF0000");
    EXPECT_EQ(sheet.TextAt(3, 1), "0002  ");   // the rest of the row is written
    EXPECT_EQ(sheet.TextAt(3, 4), "0");         // unformatted: the field's text
}

TEST_F(DataSetExport, NothingForAnEmptyOrClosedDataSetAndAMessageWithoutTheApplication) {
    data->Close();
    EXPECT_FALSE(dm->ExportToExcel(data, form, true));
    dm->ExportToXlsFile(data, form);
    EXPECT_TRUE(WrittenFiles().empty());
    EXPECT_TRUE(world.dialogs->Shown.empty());

    data->Open();
    plat::UnregisterClassFactory("Excel.Application");
    EXPECT_FALSE(dm->ExportToExcel(data, form, true));
    excel::RegisterExcelApplication();
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(plat::TrimRight(world.dialogs->Shown[0].Text), "创建新的 EXCEL 文件");
    EXPECT_TRUE(WrittenFiles().empty());
}

TEST_F(DataSetExport, WithoutFormatsStraightToAFileKeepingTheCurrentRecord) {
    data->SetRecNo(2);
    world.dialogs->Answers = {plat::mrYes};
    dm->ExportToXlsFile(data, form);
    EXPECT_EQ(data->RecNo(), 2);
    std::vector<std::string> files = WrittenFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(opened, files);   // "yes" opens the document
    ortktest::XlsxSheet sheet = ortktest::ReadXlsx(files[0]).Sheets.at(0);
    EXPECT_EQ(sheet.TextAt(1, 2), "品名");
    EXPECT_EQ(sheet.TextAt(1, 7), "STATE");
    EXPECT_EQ(sheet.At(2, 3)->Type, XlsxCell::Kind::Number);
    EXPECT_EQ(sheet.At(2, 4)->Number, -1.5);
    EXPECT_EQ(sheet.At(2, 5)->Number, 0.125);   // a float is a number, percent or not
    EXPECT_EQ(sheet.TextAt(3, 6), "N");
    EXPECT_EQ(sheet.TextAt(2, 7), "已结束");
    EXPECT_EQ(sheet.TextAt(2, 1), "0001  ");
    EXPECT_EQ(sheet.LastRow(), 4);
}

TEST_F(DataSetExport, TheExportMenuAndItsShortcuts) {
    // A query window exports its result set, not the main dataset.
    EXPECT_EQ(form->TfrmORTK41::ExportDataSet(), form->QueryModule()->cdsBody);
    EXPECT_EQ(form->miExport->Caption(), "汇出(&E)");
    EXPECT_EQ(vcl::ShortCutToText(form->miTable2Excel->ShortCut()), "Ctrl+F1");
    EXPECT_EQ(vcl::ShortCutToText(form->miTable2Excel2->ShortCut()), "Ctrl+F2");
    world.dialogs->Answers = {plat::mrNo, plat::mrNo};
    form->miTable2Excel->Click();
    ASSERT_EQ(WrittenFiles().size(), 1u);
    EXPECT_EQ(ortktest::ReadXlsx(WrittenFiles()[0]).Sheets.at(0).At(2, 3)->NumberFormat, "0_ ");   // with formats
    std::filesystem::remove(WrittenFiles()[0]);
    form->miTable2Excel2->Click();
    ASSERT_EQ(WrittenFiles().size(), 1u);
    EXPECT_EQ(ortktest::ReadXlsx(WrittenFiles()[0]).Sheets.at(0).At(2, 3)->NumberFormat, "General");
    EXPECT_EQ(world.dialogs->Shown.size(), 2u);
}

TEST(XLSExportFilter, NumbersAsNumbersAndTextsAsTexts) {
    ortktest::TempFolder folder;
    std::string file = folder.Path() + "plain.xls";
    TXLSExport filter(file);
    EXPECT_THROW(filter.WriteCell(0, 0, TXLSExport::kText, "x"), std::logic_error);
    filter.CreateStream(file);
    filter.WriteCell(0, 0, TXLSExport::kText, "0001");
    filter.WriteCell(0, 1, TXLSExport::kNumber, "2.5");
    filter.WriteCell(0, 2, TXLSExport::kNumber, "n/a");   // not a number: kept as text
    // Only plain decimals are numbers; what strtod would also take stays text.
    filter.WriteCell(1, 0, TXLSExport::kNumber, "nan");
    filter.WriteCell(1, 1, TXLSExport::kNumber, "inf");
    filter.WriteCell(1, 2, TXLSExport::kNumber, "0x1A");
    filter.WriteNumber(2, 0, std::nan(""));                 // no cell holds these: red "Error!"
    filter.WriteNumber(2, 1, -INFINITY);
    filter.WriteCell(2, 2, TXLSExport::kText, std::string(32768, 'x'));
    filter.WriteCell(2, 3, TXLSExport::kText, std::string(32767, 'x'));
    filter.CloseStream();
    ortktest::XlsxSheet sheet = ortktest::ReadXlsx(file).Sheets.at(0);
    EXPECT_EQ(sheet.TextAt(1, 1), "0001");
    EXPECT_EQ(sheet.At(1, 2)->Number, 2.5);
    EXPECT_EQ(sheet.TextAt(1, 3), "n/a");
    EXPECT_EQ(sheet.TextAt(2, 1) + sheet.TextAt(2, 2) + sheet.TextAt(2, 3), "naninf0x1A");
    for (int c : {1, 2, 3}) {
        EXPECT_EQ(sheet.TextAt(3, c), "Error!") << c;
        EXPECT_EQ(sheet.At(3, c)->Font.Rgb, "FF0000") << c;
    }
    EXPECT_EQ(sheet.TextAt(3, 4).size(), 32767u);

    // The same name again: refused when the file is put in place, and the
    // first file is left as it was, with no temporary file beside it.
    TXLSExport again(file);
    again.CreateStream(file);
    again.WriteCell(0, 0, TXLSExport::kText, "second");
    EXPECT_THROW(again.CloseStream(), plat::FileExistsError);
    EXPECT_EQ(ortktest::ReadXlsx(file).Sheets.at(0).TextAt(1, 1), "0001");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()), 1);
    // A folder that cannot take the file fails at once, before any cell.
    TXLSExport nowhere(folder.Path() + "missing/x.xlsx");
    EXPECT_THROW(nowhere.CreateStream(folder.Path() + "missing/x.xlsx"), plat::FileError);
}

namespace {
std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}
}  // namespace

// Both exports of one result set holding what trips readers up: a key with
// leading zeros, texts that look like numbers to a lax parser, an empty
// number, values no cell can hold and 12,000 Chinese characters in one cell.
// openpyxl reads each file by its name, LibreOffice shows its cells.
TEST_F(DataSetExport, BothFilesOpenInOtherProgramsWithTheirCellsAndStyles) {
    const std::string longText = Repeat("汉", 12000);   // 36,000 bytes, 12,000 characters
    Load({
        {"0001  ", longText, int32_t(5), 1234.5, 0.125, "x", true, "1"},
        {"0x1A  ", "nan", Variant::Null(), std::nan(""), 0.5, "y", false, "2"},
        {"inf   ", "1e3", int32_t(-3), INFINITY, 0.0, "z", false, ""},
    });
    dm->Brokers->SetSysParam("SYS003", "RMB");   // amounts in RMB: two decimals
    dm->CurrencyFields[1] = "PRICE";
    dm->ApplyCurrencyFormats(data);
    world.dialogs->Answers = {plat::mrNo, plat::mrNo};
    ASSERT_TRUE(dm->ExportToExcel(data, form, true));
    ASSERT_EQ(WrittenFiles().size(), 1u);
    std::string withFormats = WrittenFiles()[0];
    dm->ExportToXlsFile(data, form);
    std::vector<std::string> files = WrittenFiles();
    ASSERT_EQ(files.size(), 2u) << "a second export within the same second takes a name of its own";
    std::string plain = files[0] == withFormats ? files[1] : files[0];
    EXPECT_EQ(world.dialogs->Shown.size(), 2u);   // the two questions, no failure

    ortktest::PyxlBook f1 = ortktest::ReadWithOpenpyxl(withFormats);
    auto cell = [](const ortktest::PyxlBook& book, const std::string& ref) { return book.At(book.SheetNames.at(0), ref); };
    EXPECT_EQ(cell(f1, "A2").Value, "0001  ");
    EXPECT_EQ(cell(f1, "A2").NumberFormat, "@");
    EXPECT_EQ(cell(f1, "A3").Value, "0x1A  ");
    EXPECT_EQ(cell(f1, "B2").Value, longText);
    EXPECT_EQ(cell(f1, "B3").Type, "s");
    EXPECT_EQ(cell(f1, "C2").Type + cell(f1, "C2").Value + "|" + cell(f1, "C2").NumberFormat, "n5|0_ ");
    EXPECT_EQ(cell(f1, "C3").Value + "|" + cell(f1, "C3").NumberFormat, "0|0_ ");   // an empty number
    EXPECT_EQ(cell(f1, "D2").Type + cell(f1, "D2").Value + "|" + cell(f1, "D2").NumberFormat, "n1234.5|#,##0.00_ ");
    for (const char* error : {"D3", "D4"}) {
        EXPECT_EQ(cell(f1, error).Value, "Error!") << error;
        EXPECT_EQ(cell(f1, error).Color, "FFFF0000") << error;
    }

    ortktest::PyxlBook f2 = ortktest::ReadWithOpenpyxl(plain);
    EXPECT_EQ(cell(f2, "A2").Value, "0001  ");
    EXPECT_EQ(cell(f2, "B2").Value, longText);
    EXPECT_EQ(cell(f2, "B3").Type + cell(f2, "B3").Value, "snan");
    EXPECT_EQ(cell(f2, "B4").Type + cell(f2, "B4").Value, "s1e3");
    EXPECT_EQ(cell(f2, "C3").Type + cell(f2, "C3").Value, "n0");   // empty numbers as in the export with formats
    EXPECT_EQ(cell(f2, "D2").Type + cell(f2, "D2").Value + "|" + cell(f2, "D2").NumberFormat, "n1234.5|General");
    for (const char* error : {"D3", "D4"}) {
        EXPECT_EQ(cell(f2, error).Value, "Error!") << error;
        EXPECT_EQ(cell(f2, error).Color, "FFFF0000") << error;
    }

    auto shown = ortktest::ConvertWithLibreOffice({withFormats, plain});
    const auto& csv1 = shown.at(withFormats);
    const auto& csv2 = shown.at(plain);
    ASSERT_EQ(csv1.size(), 4u);
    ASSERT_EQ(csv2.size(), 4u);
    EXPECT_EQ(csv1[0], (std::vector<std::string>{"CODE", "品名", "QTY", "PRICE", "RATE", "DONE", "STATE"}));
    EXPECT_EQ(csv1[1][0], "0001  ");                       // still text, leading zeros kept
    EXPECT_EQ(csv1[1][1], longText);
    EXPECT_EQ(plat::Trim(csv1[1][2]), "5");
    EXPECT_EQ(plat::Trim(csv1[1][3]), "1,234.50");
    EXPECT_EQ(csv1[2][3], "Error!");
    EXPECT_THAT(csv1[3][2], HasSubstr("-3"));
    EXPECT_EQ(csv2[1][0], "0001  ");
    EXPECT_EQ(csv2[1][3], "1234.5");
    EXPECT_EQ(csv2[2][1], "nan");
    EXPECT_EQ(csv2[2][2], "0");
    EXPECT_EQ(csv2[3][3], "Error!");
}

// A disk that fills during the save: neither export leaves a file or a
// temporary file, and the user reads the failure in the interface's words.
// Two limits: one the zipped file itself exceeds, and one only the
// library's uncompressed parts exceed (which it would zip cut off).
TEST_F(DataSetExport, AFullDiskLeavesNoFileAndTellsTheUser) {
    std::vector<std::vector<Variant>> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back({"C" + std::to_string(i), "名称" + std::to_string(i * 7919), int32_t(i), i * 1.25, 0.5, "h", i % 2 == 0, "1"});
    Load(rows);
    for (long limit : {20000L, 200000L}) {
        for (bool withFormats : {true, false}) {
            SCOPED_TRACE((withFormats ? "Ctrl+F1, limit " : "Ctrl+F2, limit ") + std::to_string(limit));
            std::string told = ortktest::WithFileSizeLimit(limit, [&] {
                world.dialogs->Shown.clear();
                world.dialogs->Answers = {plat::mrNo};
                if (withFormats) dm->ExportToExcel(data, form, true);
                else dm->ExportToXlsFile(data, form);
                std::string text;
                for (const auto& shown : world.dialogs->Shown) text += shown.Text + "\n";
                return text;
            });
            EXPECT_TRUE(told.rfind("保存为----> " + world.install.Folder() + "profile/c_data/KV/ORTK41_", 0) == 0) << told;
            EXPECT_THAT(told, HasSubstr(".xlsx 失败!"));
            EXPECT_THAT(told, Not(HasSubstr("rror")));   // no library English
            EXPECT_TRUE(WrittenFiles().empty()) << WrittenFiles().front();
        }
    }
}
