// The order tracking window's export: the export dialog and its checks, the
// progress window, and the outline of the listed orders written through the
// spreadsheet application into a real file and read back cell by cell.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>

#include "Buttons.h"
#include "ClassRegistry.h"
#include "Dialogs.h"
#include "ExcelApplication.h"
#include "FormTestSupport.h"
#include "Gauges.h"
#include "Grids.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "ExternalReaders.h"
#include "XlsxReader.h"
#include "controls/SelectPnl.h"
#include "data/SingleCD.h"
#include "export/OleExcel.h"
#include "forms/StatusForm.h"
#include "ortk41/ORTK41CF.h"
#include "ortk41/ORTK41DF.h"
#include "ortk41/OrderOutline.h"
#include "ortk41/OutlineSheet.h"

using ::testing::HasSubstr;

using formtest::DemoWorld;

namespace {

// Every cell an outline writes, by (row, column).
class MemorySheet : public ortk41::IOutlineSheet {
public:
    void WriteText(int row, int column, const std::string& text) override { cells[{row, column}] = text; }
    std::map<std::pair<int, int>, std::string> cells;
};

class OrderExport : public testing::Test {
protected:
    void SetUp() override {
        excel::RegisterExcelApplication();
        plat::SetShellOpenHandler([this](const std::string& file) {
            opened.push_back(file);
            return openSucceeds;
        });
        form = world.Start<TfrmORTK41>();
        ASSERT_NE(form, nullptr);
        form->Show();
    }
    void TearDown() override {
        plat::SetShellOpenHandler({});
        if (form) form->Free();
    }

    // Lists the orders from..to (type and number typed as in the edit).
    void List(const std::string& from, const std::string& to) {
        form->sp01->BeginEdit->SetText(from);
        form->sp01->FinalEdit->SetText(to);
        form->btnQuery1->Click();
    }

    // Presses "汇出"; while the dialog is up, `inDialog` runs (by default:
    // type `path` and press OK, then cancel should the dialog stay open).
    void Export(const std::string& path, std::function<void(TfrmORTK41DF*)> inDialog = {}) {
        QTimer::singleShot(0, [this, path, inDialog] {
            TfrmORTK41DF* dialog = form->ExportDialog;
            proposed = dialog->edPath->Text();
            if (inDialog) {
                inDialog(dialog);
            } else {
                PressOK(dialog, path);
                // A second turn: when the path was refused the dialog is still up.
                QTimer::singleShot(0, [dialog] {
                    if (dialog->IsModal()) dialog->btnCancel->Click();
                });
            }
        });
        form->btnExport->Click();
    }

    static void PressOK(TfrmORTK41DF* dialog, const std::string& path) {
        dialog->edPath->SetText(path);
        dialog->btnOK->SetFocus();
        dialog->btnOK->Click();
    }

    // The outline of every listed line as the window's own units write it.
    std::map<std::pair<int, int>, std::string> ExpectedOutline() {
        MemorySheet sheet;
        ortk41::OrderOutline outline(form->OutlineLabels(), form->TreeLabels(), form->Services(),
                                     [](const std::string& t) { return t; }, sheet);
        for (int a = 1; a < form->StringGrid1->RowCount(); ++a) {
            ortk41::OutlineOrder order;
            for (int c = 0; c < 5; ++c) order.Cells[static_cast<size_t>(c)] = form->StringGrid1->Cells(c, a);
            order.HeadText = form->OrderHeadText(a - 1);
            order.LineText = form->OrderLineText(a - 1);
            outline.WriteOrder(order);
        }
        return sheet.cells;
    }

    std::string FilePath(const std::string& name) const { return world.install.Folder() + name; }

    DemoWorld world;
    TfrmORTK41* form = nullptr;
    std::vector<std::string> opened;
    bool openSucceeds = true;
    std::string proposed;
};

}  // namespace

TEST_F(OrderExport, WritesTheOutlineOfEveryListedLineAndOpensTheFile) {
    List("2201-20240100001", "2201-20240100006");
    int rows = form->StringGrid1->RowCount();
    ASSERT_GE(rows, 8);
    std::string path = FilePath("orders.xls");   // a typed ".xls" name is accepted; the content is Office Open XML
    Export(path);

    EXPECT_EQ(proposed, world.install.ClientFolder() + "c_data/ORTK41.xlsx");
    ASSERT_EQ(opened, std::vector<std::string>{path});
    EXPECT_TRUE(form->Enabled());
    ortktest::XlsxBook book = ortktest::ReadXlsx(path);
    ASSERT_EQ(book.Sheets.size(), 1u);
    const ortktest::XlsxSheet& sheet = book.Sheets[0];
    const char* heading[] = {"订单单别", "单号", "序号", "品号", "品名", "规格"};
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(sheet.TextAt(1, c), heading[c - 1]);

    // Cell by cell what the outline writes, the first order in row 2, every
    // cell a text (a sequence such as "0001" stays as typed).
    std::map<std::pair<int, int>, std::string> expected = ExpectedOutline();
    ASSERT_EQ(expected.begin()->first, std::make_pair(2, 1));
    for (const auto& [at, text] : expected) {
        const ortktest::XlsxCell* cell = sheet.At(at.first, at.second);
        ASSERT_NE(cell, nullptr) << at.first << "," << at.second;
        EXPECT_EQ(cell->Type, ortktest::XlsxCell::Kind::Text) << at.first << "," << at.second;
        EXPECT_EQ(cell->Text, text) << at.first << "," << at.second;
    }
    EXPECT_EQ(sheet.Cells.size(), expected.size() + 6);
    for (int r = 2; r <= sheet.LastRow(); ++r) {   // no empty row between orders
        bool any = false;
        for (int c = 1; c <= 8; ++c) any |= sheet.At(r, c) != nullptr;
        EXPECT_TRUE(any) << "row " << r;
    }
    EXPECT_EQ(sheet.TextAt(2, 3), "0001");
}

TEST_F(OrderExport, ALineWithNothingDownstreamAndAnAdvanceSettlementWithThreeReceipts) {
    List("2201-20240100003", "2201-20240100006");
    std::string path = FilePath("two.xlsx");
    Export(path);
    ortktest::XlsxSheet sheet = ortktest::ReadXlsx(path).Sheets.at(0);

    // Order 2201-20240100006: its texts and every group word, in order.
    int first = 0;
    for (int r = 2; r <= sheet.LastRow() && !first; ++r)
        if (sheet.TextAt(r, 2) == "20240100006") first = r;
    ASSERT_GT(first, 0);
    int line = form->ListedLineCount() - 1;
    std::vector<std::pair<int, std::string>> block = {
        {6, "客户订单:" + form->OrderHeadText(line)}, {6, form->OrderLineText(line)},
        {6, "销货单"}, {7, "销货结帐单"}, {8, "销货收款单"}, {6, "销退单"}, {7, "销退结帐单"}, {8, "销退收款单"},
        {6, "预收结帐单"}, {7, "预收待抵单"}, {7, "预收结帐收款单"}, {6, "请购单"}, {6, "采购单"}, {6, "工单"},
        {7, "工单工艺"}};
    for (size_t i = 0; i < block.size(); ++i)
        EXPECT_EQ(sheet.TextAt(first + static_cast<int>(i), block[i].first), block[i].second) << "line " << i;
    EXPECT_EQ(sheet.LastRow(), first + static_cast<int>(block.size()) - 1);
    EXPECT_EQ(sheet.TextAt(first, 1), "2201");

    // The advance settlement of order 2201-20240100003 and its three receipts.
    int settlement = 0;
    for (int r = 2; r <= sheet.LastRow() && !settlement; ++r)
        if (sheet.TextAt(r, 6) == "6101-20240100005-0001 2024/01/13") settlement = r;
    ASSERT_GT(settlement, 0);
    EXPECT_EQ(sheet.TextAt(settlement + 3, 7), "预收结帐收款单");
    EXPECT_EQ(sheet.TextAt(settlement + 4, 7), "6302-20240100002-0001 2024/01/19");
    EXPECT_EQ(sheet.TextAt(settlement + 5, 7), "6302-20240100005-0001 2024/01/21");
    EXPECT_EQ(sheet.TextAt(settlement + 6, 7), "6302-20240100006-0001 2024/01/23");
}

TEST_F(OrderExport, TheWindowIsDisabledWhileTheProgressWindowCounts) {
    List("2201-20240100001", "2201-20240100002");
    bool disabled = false, progress = false;
    std::string label;
    Export(FilePath("run.xlsx"), [&](TfrmORTK41DF* dialog) {
        // Fires during the first step of the progress window.
        QTimer::singleShot(0, [&] {
            disabled = !form->Enabled();
            if (auto* status = dynamic_cast<TfrmStatus*>(form->FindComponent("frmStatus"))) {
                progress = status->Visible();
                label = status->Label1->Caption();
            }
        });
        PressOK(dialog, FilePath("run.xlsx"));
    });
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(progress);
    EXPECT_EQ(label, "作业处理进度-[Convert to EXCEL....]");
    EXPECT_TRUE(form->Enabled());
    EXPECT_EQ(form->FindComponent("frmStatus"), nullptr);   // freed after the run
    EXPECT_EQ(dynamic_cast<TdmSingle*>(form->BaseModule())->OLEExcel1, nullptr);
}

TEST_F(OrderExport, ClosingTheWindowDuringTheRunIsRefusedUntilItEnds) {
    List("2201-20240100001", "2201-20240100006");
    bool closedDuringRun = true;
    Export(FilePath("closing.xlsx"), [&](TfrmORTK41DF* dialog) {
        QTimer::singleShot(0, [&] {   // during the first step, as the window's close box would
            form->Close();
            closedDuringRun = !form->Visible();
        });
        PressOK(dialog, FilePath("closing.xlsx"));
    });
    formtest::Pump();
    EXPECT_FALSE(closedDuringRun);
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(form->Exporting);
    ASSERT_EQ(opened.size(), 1u);   // the export finished and its file was written
    EXPECT_GT(ortktest::ReadXlsx(opened[0]).Sheets.at(0).LastRow(), 20);
}

TEST_F(OrderExport, FailuresEndTheRunCleanlyAndTellTheUser) {
    List("2201-20240100001", "2201-20240100001");
    // Without the spreadsheet application nothing is written and the window
    // is usable again.
    plat::UnregisterClassFactory("Excel.Application");
    std::string path = FilePath("none.xlsx");
    Export(path);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(form->Enabled());
    EXPECT_TRUE(opened.empty());
    ASSERT_FALSE(world.dialogs->Shown.empty());
    EXPECT_EQ(plat::TrimRight(world.dialogs->Shown.back().Text), "创建新的 EXCEL 文件");
    excel::RegisterExcelApplication();

    // A file nothing can open: the user is told where it is.
    openSucceeds = false;
    world.dialogs->Shown.clear();
    path = FilePath("shown.xlsx");
    Export(path);
    EXPECT_TRUE(std::filesystem::exists(path));
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr(path));
}

TEST_F(OrderExport, TwoExportsUseTwoComponentsAndNothingIsExportedWithoutAList) {
    List("2201-20240100001", "2201-20240100001");
    Export(FilePath("a.xlsx"));
    Export(FilePath("b.xlsx"));
    std::vector<TOLEExcel*> components;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TOLEExcel*>(form->Components(i))) components.push_back(c);
    // The first run used the data module's own component, the second a new
    // one owned by the window; neither keeps its application and workbook.
    ASSERT_EQ(components.size(), 1u);
    EXPECT_FALSE(components[0]->Connected());
    EXPECT_TRUE(components[0]->Workbook().IsEmpty());
    EXPECT_EQ(opened.size(), 2u);

    List("9999-NOSUCHORDER", "9999-NOSUCHORDER");
    bool dialogShown = false;
    QTimer::singleShot(0, [&] { dialogShown = form->ExportDialog->IsModal(); if (dialogShown) form->ExportDialog->btnCancel->Click(); });
    form->btnExport->Click();
    QApplication::processEvents();
    EXPECT_FALSE(dialogShown);
}

// ---- the dialog's checks ----

TEST_F(OrderExport, TheDialogRefusesBadPathsAndExistingFilesAndKeepsGoodOnes) {
    List("2201-20240100001", "2201-20240100001");
    world.install.Files().Write("taken.xlsx", "x");
    std::vector<std::string> refused;
    auto attempt = [&](const std::string& path) {
        world.dialogs->Shown.clear();
        Export(path, [&](TfrmORTK41DF* dialog) {
            PressOK(dialog, path);
            QTimer::singleShot(0, [&, dialog] {
                if (dialog->IsModal()) {
                    refused.push_back(world.dialogs->Shown.empty() ? "" : world.dialogs->Shown.back().Text);
                    dialog->btnCancel->Click();
                }
            });
        });
    };
    attempt(FilePath("bad[1].xlsx"));
    attempt(FilePath("no-such-folder/x.xlsx"));
    attempt(FilePath("taken.xlsx"));
    attempt("");
    attempt(world.install.Folder());          // a folder, with or without a file-name part of "."
    attempt(world.install.Folder() + ".");
    ASSERT_EQ(refused.size(), 6u);
    EXPECT_EQ(refused[4], "文件路径或文件名称不正确! ");
    EXPECT_EQ(refused[5], "文件路径或文件名称不正确! ");
    EXPECT_EQ(refused[0], "文件路径或文件名称不正确! ");   // host message E 000040
    EXPECT_EQ(refused[1], "文件路径或文件名称不正确! ");
    EXPECT_EQ(refused[2], "同名文件已存在！");
    EXPECT_EQ(refused[3], "保存文件 不可为空! ");          // E 000003 naming the label
    EXPECT_TRUE(opened.empty());
}

TEST(ExportDialogPaths, FolderAndFileNameParts) {
    EXPECT_EQ(ExportFolderPart("/tmp/a/ORTK41.XLS"), "/tmp/a/");
    EXPECT_EQ(ExportFileNamePart("/tmp/a/ORTK41.XLS"), "ORTK41.XLS");
    EXPECT_EQ(ExportFolderPart("D:\\data\\x.xls"), "D:\\data\\");
    EXPECT_EQ(ExportFolderPart("only.xls"), "");
    EXPECT_EQ(ExportFileNamePart("/tmp/"), "");
}

TEST_F(OrderExport, ValidPathsAndTheFolderBrowser) {
    TfrmORTK41DF* dialog = form->ExportDialog;
    auto valid = [&](const std::string& path) {
        dialog->edPath->SetText(path);
        return dialog->IsValidExportPath();
    };
    EXPECT_TRUE(valid("only-a-name.xls"));   // no folder part
    EXPECT_TRUE(valid(FilePath("x.xlsx")));
    for (const char* bad : {"a[b.xls", "a]b.xls", "a:b.xls", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(valid(FilePath(bad))) << bad;
    EXPECT_FALSE(valid(FilePath("missing/x.xls")));

    // F2 in the path: the chosen folder keeps the typed file name, or gets
    // the default name when only a folder was typed; cancelling changes nothing.
    world.dialogs->Directories = {"/srv/out", "/srv/other/"};
    dialog->edPath->SetText("/tmp/mine.xlsx");
    uint16_t key = vcl::VK_F2;
    dialog->DoKeyF2(key, dialog->edPath);
    EXPECT_EQ(dialog->edPath->Text(), "/srv/out/mine.xlsx");
    dialog->edPath->SetText("/tmp/");
    dialog->DoKeyF2(key, dialog->edPath);
    EXPECT_EQ(dialog->edPath->Text(), "/srv/other/ORTK41.xlsx");
    dialog->DoKeyF2(key, dialog->edPath);   // no folder chosen
    EXPECT_EQ(dialog->edPath->Text(), "/srv/other/ORTK41.xlsx");
    // The folder browser is a window over the dialog, not a free one.
    ASSERT_EQ(world.dialogs->DirectoryParents.size(), 3u);
    for (QWidget* parent : world.dialogs->DirectoryParents) EXPECT_EQ(parent, dialog->Widget());

    // A folder typed as the path names no file: refused as a bad path.
    std::string folder = world.install.Folder();
    EXPECT_FALSE(valid(folder));
    EXPECT_FALSE(valid(folder + "."));
    EXPECT_FALSE(valid(folder + ".."));
    EXPECT_FALSE(valid(folder.substr(0, folder.size() - 1)));   // the folder without its slash
}

// ---- the progress window ----

TEST_F(OrderExport, ProgressTextsByKindAndAGaugeThatStopsAtItsMaximum) {
    auto* status = vcl::TComponent::Create<TfrmStatus>(form);
    status->ShowProgress("b", "Post", 0, 2);
    EXPECT_EQ(status->Caption(), "批处理进度显示");
    EXPECT_EQ(status->Label1->Caption(), "批处理处理进度-[Post]");
    status->ShowProgress("R", "Print", 0, 2);
    EXPECT_EQ(status->Caption(), "报表作业进度显示");
    status->ShowProgress("t", "Check", 0, 2);
    EXPECT_EQ(status->Label1->Caption(), "审核作业处理进度-[Check]");
    status->ShowProgress("x", "Job", 0, 2);   // other kinds lead the general texts, as given
    EXPECT_EQ(status->Caption(), "x作业进度显示");
    EXPECT_EQ(status->Label1->Caption(), "x作业处理进度-[Job]");
    EXPECT_TRUE(status->Visible());
    // A title bar with the system menu (and its close button) only.
    Qt::WindowFlags flags = status->Widget()->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    for (int i = 0; i < 5; ++i) status->StepProgress();
    EXPECT_EQ(status->StatusBar->Progress(), 2);
    status->ShowProgress("", "Again", 0, 10);   // a new run starts from nothing
    EXPECT_EQ(status->StatusBar->Progress(), 0);
    status->HideProgress();
    EXPECT_FALSE(status->Visible());
    status->Free();
}

// ---- an outline longer than a sheet ----

TEST_F(OrderExport, AnOutlinePastTheLastRowGoesOnInANewSheetUnderTheHeading) {
    TOLEExcel excel(nullptr);
    excel.Connect(true);
    excel.NewWorkbook();
    std::string path = FilePath("long.xlsx");
    excel.SaveWorkbookAs(path);
    ortk41::ExcelOutlineSheet sheet(excel, {"H1", "H2"}, 5);   // a sheet of five rows
    sheet.WriteHeading();
    for (int row = 2; row <= 9; ++row) sheet.WriteText(row, 1 + row % 2, "r" + std::to_string(row));
    EXPECT_EQ(sheet.Sheets(), 2);
    excel.SaveWorkbook();
    EXPECT_EQ(ortktest::ReadXlsx(path).ActiveSheet, 1);   // the sheet added last is on show
    excel.ActivateSheet(1);                               // as the export does before its last save
    excel.SaveWorkbook();
    ortktest::XlsxBook book = ortktest::ReadXlsx(path);
    EXPECT_EQ(book.ActiveSheet, 0);
    ASSERT_EQ(book.Sheets.size(), 2u);
    EXPECT_EQ(book.Sheets[0].TextAt(5, 2), "r5");
    EXPECT_EQ(book.Sheets[1].TextAt(1, 1), "H1");
    EXPECT_EQ(book.Sheets[1].TextAt(2, 1), "r6");   // row 6 continues under the heading
    EXPECT_EQ(book.Sheets[1].TextAt(5, 2), "r9");
    EXPECT_EQ(book.Sheets[1].LastRow(), 5);
}

// ---- a disk that fills ----

// The export takes its name with an empty workbook and saves the outline at
// the end. A disk full at either save leaves no file and no temporary file
// under the folder, and the user reads the failure in the interface's words.
TEST_F(OrderExport, AFullDiskLeavesNoFileAndTellsTheUser) {
    List("2201-20240100001", "2201-20240100006");
    std::string whole = FilePath("whole.xlsx");
    Export(whole);
    ASSERT_EQ(opened.size(), 1u);
    long size = static_cast<long>(std::filesystem::file_size(whole));
    std::filesystem::remove(whole);
    auto leftOver = [&] {
        std::string names;
        for (const auto& e : std::filesystem::directory_iterator(world.install.Folder()))
            if (e.path().extension() == ".xlsx" || e.path().extension() == ".tmp") names += e.path().filename().string() + " ";
        return names;
    };
    // 1,000 bytes: not even the empty workbook fits. size - 1: the empty
    // one does, the finished outline does not.
    for (long limit : {1000L, size - 1}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        std::string path = FilePath("full.xlsx");
        world.dialogs->Shown.clear();
        opened.clear();
        ortktest::WithFileSizeLimit(limit, [&] {
            Export(path);
            return std::string();
        });
        EXPECT_TRUE(opened.empty());
        EXPECT_EQ(leftOver(), "");
        ASSERT_EQ(world.dialogs->Shown.size(), 1u);
        EXPECT_EQ(plat::TrimRight(world.dialogs->Shown[0].Text), "保存为----> " + path + " 失败!");
        EXPECT_TRUE(form->Enabled());
    }
}
