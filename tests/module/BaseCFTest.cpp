// The program window base: command and record rights, the closing and
// cancelling questions, Escape, required fields, the status bar after the
// start, user settings from the server, grid views, attached documents and
// the quick search.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>
#include <sqlite3.h>

#include "DBClient.h"
#include "FormTestSupport.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "controls/KvDBGrid.h"
#include "data/BaseCD.h"
#include "forms/BaseCF.h"
#include "forms/KvSearchDialog.h"
#include "Grids.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <QToolButton>

using ::testing::HasSubstr;
using ::testing::Not;

using formtest::DemoWorld;
using formtest::Pump;

namespace {

class TdmLocal : public TdmBase {
    VCL_DECLARE_CLASS(TdmLocal)
public:
    explicit TdmLocal(vcl::TComponent* owner) : TdmBase(owner) {
        MIDAS->ServerName = "SOSRV01S.Class1";
        cdsMain->SetProviderName("pvdMain");
    }
};
const vcl::TClassInfo& TdmLocal::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TdmLocal>("TdmLocal", TdmBase::StaticClass());
    return info;
}

// A program window over the demo's application server, with an edit for
// TC004 on the second page of a page control and a grid on the first.
class BaseWindow : public TfrmBase {
public:
    explicit BaseWindow(vcl::TComponent* owner) : TfrmBase(owner) {
        SetBounds(0, 0, 600, 400);
        pages = vcl::TComponent::Create<vcl::TPageControl>(this);
        pages->SetParent(this);
        pages->SetAlign(vcl::TAlign::alClient);
        first = vcl::TComponent::Create<vcl::TTabSheet>(this);
        first->SetPageControl(pages);
        second = vcl::TComponent::Create<vcl::TTabSheet>(this);
        second->SetPageControl(pages);
        grid = vcl::TComponent::Create<TKvDBGrid>(this);
        grid->SetName("gdHead");
        grid->SetParent(first);
        grid->SetAlign(vcl::TAlign::alClient);
        edTC004 = vcl::TComponent::Create<vcl::TEdit>(this);
        edTC004->SetName("edTC004");
        edTC004->SetParent(second);
        lblTC004 = vcl::TComponent::Create<vcl::TLabel>(this);
        lblTC004->SetName("lblTC004");
        lblTC004->SetCaption("客户编号");
        lblTC004->SetParent(second);
    }
    vcl::TClass DataModuleClass() const override { return &TdmLocal::StaticClass(); }
    void FormCreate(vcl::TObject* sender) override {
        TfrmBase::FormCreate(sender);
        grid->SetDataSource(BaseModule()->dsMain);
        edTC004->SetDataSource(BaseModule()->dsMain);
        edTC004->SetDataField("TC004");
    }
    vcl::TPageControl* pages;
    vcl::TTabSheet *first, *second;
    TKvDBGrid* grid;
    vcl::TEdit* edTC004;
    vcl::TLabel* lblTC004;
};

// Three records in a main dataset held locally: the user's own, one of a
// user of the group "SALES", one of a stranger.
void FillLocal(BaseWindow* form) {
    vcl::TClientDataSet* ds = form->MainDataSet();
    ds->SetProviderName("");
    ds->SetRemoteServer(nullptr);
    ds->AddField<vcl::TStringField>("TC001", 4);
    ds->AddField<vcl::TStringField>("TC004", 10)->SetDisplayLabel("客户");
    ds->AddField<vcl::TStringField>("CREATOR", 10);
    ds->AddField<vcl::TStringField>("USR_GROUP", 10);
    ds->CreateDataSet();
    for (auto [type, creator, group] : {std::tuple{"2201", "KV", "ADMIN"}, std::tuple{"2202", "LI", "SALES"},
                                        std::tuple{"2203", "WANG", "PLANT"}}) {
        ds->Append();
        ds->FieldByName("TC001")->SetAsString(type);
        ds->FieldByName("TC004")->SetAsString("C001");
        ds->FieldByName("CREATOR")->SetAsString(creator);
        ds->FieldByName("USR_GROUP")->SetAsString(group);
        ds->Post();
    }
    ds->MergeChangeLog();
    ds->First();
}

uint64_t Elements(std::initializer_list<int> elements) {
    uint64_t set = 0;
    for (int e : elements) set |= 1ull << e;
    return set;
}

std::string Flags(const TfrmBase* f) {
    std::string s;
    for (bool b : {f->CanEdit, f->CanDelete, f->RightC4, f->RightC5, f->CanPrint, f->RightC12}) s += b ? "1" : "0";
    return s;
}

// Writes a row into the demo database, as an administrator of the suite would.
void Execute(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// The demo world and the windows a test makes in it. Every window is owned
// here and freed in TearDown, before the world it lives in, so a test that
// stops at a failed assertion leaks nothing.
class BaseWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        while (!owned_.empty()) Free(owned_.back());
    }

    // A window as the controller creates it, not started.
    template <class T = BaseWindow>
    T* Create() {
        return Own(world.Create<T>());
    }
    // A started window; nullptr when the start failed.
    template <class T = BaseWindow>
    T* Start() {
        return Own(world.Start<T>());
    }
    // Takes over `object` (a window or a dialog made without owner); nullptr passes.
    template <class T>
    T* Own(T* object) {
        if (object) owned_.push_back(object);
        return object;
    }
    // Frees an owned object before the test ends, as closing it for good would.
    void Free(vcl::TComponent* object) {
        owned_.erase(std::remove(owned_.begin(), owned_.end(), object), owned_.end());
        object->Free();
    }

    DemoWorld world;

private:
    std::vector<vcl::TComponent*> owned_;
};

// The groups of the window's behaviour, each a name for the same fixture.
using CommandRights = BaseWindowTest;
using RecordRights = BaseWindowTest;
using BaseStart = BaseWindowTest;
using CloseQuery = BaseWindowTest;
using Escape = BaseWindowTest;
using RequiredFields = BaseWindowTest;
using GridView = BaseWindowTest;
using AttachedDocument = BaseWindowTest;
using QuickSearch = BaseWindowTest;
using ToolBar = BaseWindowTest;
using FieldManagement = BaseWindowTest;

}  // namespace

// ---- rights ----

TEST_F(CommandRights, ElementsGiveTheFlagsAndElement31LeavesTheRecordFlags) {
    auto* form = Create();
    form->UserRights = Elements({32, 35, 36, 37, 38, 39, 40, 41, 42, 43, 45});
    form->ApplyRights();
    EXPECT_TRUE(form->CanAdd && form->CanQuery && form->CanPrint && form->RightC10 && form->GroupAView &&
                form->GroupBReadOnly);
    EXPECT_FALSE(form->RightC11 || form->GroupAReadOnly || form->GroupBView);
    EXPECT_EQ(Flags(form), "111111");

    form->UserRights |= Elements({31});
    form->CanEdit = form->CanDelete = false;
    form->ApplyRights();
    EXPECT_FALSE(form->CanEdit);   // taken per record, not from 38/39
    EXPECT_FALSE(form->CanDelete);
}

TEST_F(RecordRights, CreatorAndGroupChooseTheBlockOfElements) {
    auto* form = Create();
    form->Brokers->UserID = "KV";
    form->GroupList = "'ADMIN','SALES'";
    // own: edit, print; group: delete, C5, C12; stranger: C4 only.
    form->UserRights = Elements({31, 38, 42, 48, 50, 52, 56});
    FillLocal(form);
    vcl::TClientDataSet* ds = form->MainDataSet();
    std::vector<std::string> seen;
    for (ds->First(); !ds->Eof(); ds->Next()) {
        form->ShowRecordPosition(ds);
        seen.push_back(Flags(form) + " " + form->Status->Panels()->Items(3)->Text());
    }
    // Printing follows element 42 on every record: ApplyRights runs last.
    EXPECT_EQ(seen, (std::vector<std::string>{"100010 1/3", "010111 2/3", "001010 3/3"}));

    form->UserRights = Elements({38, 42});   // without 31 every record is one's own
    ds->Last();
    form->ShowRecordPosition(ds);
    EXPECT_EQ(Flags(form), "100010");
}

TEST_F(RecordRights, ExtraRightsSwitchNamedComponents) {
    auto* form = Create();
    FillLocal(form);
    form->UserRights = Elements({37, 42});
    form->ExtraRights = "btnQuery=N;miExit=Y;nothing=N;lblTC004";
    form->ApplyRights();
    EXPECT_FALSE(form->btnQuery->Enabled());
    EXPECT_TRUE(form->miExit->Enabled());
    EXPECT_TRUE(form->btnPrint->Enabled());
}

// ---- the start ----

TEST_F(BaseStart, OpensTheMainDatasetAndFillsTheStatusBar) {
    auto* form = Start();
    ASSERT_NE(form, nullptr) << (world.dialogs->Shown.empty() ? "" : world.dialogs->Shown[0].Text);
    vcl::TClientDataSet* ds = form->MainDataSet();
    ASSERT_TRUE(ds->Active());
    EXPECT_GT(ds->RecordCount(), 0);
    EXPECT_EQ(form->Status->Panels()->Items(0)->Text(), "浏览");
    EXPECT_EQ(form->Status->Panels()->Items(3)->Text(), "1/" + std::to_string(ds->RecordCount()));
    EXPECT_EQ(form->Status->Panels()->Items(4)->Text(), "127.0.0.1 - 211");
    EXPECT_TRUE(form->btnEdit->Enabled());
    EXPECT_TRUE(form->IsFocusPageOne);
}

TEST_F(BaseStart, InputSettingsComeFromTheUsersDocument) {
    Execute(world.install.DatabaseFile(),
            "INSERT INTO USERDEFINE (COMPANY, USER_ID, PROGRAM, SECTION, XML) VALUES ('PRTest65', 'KV', 'ORTK41', "
            "'InputSettings001', '<Settings><IsFocusPageOne>False</IsFocusPageOne></Settings>'),"
            "('PRTest65', 'KV', 'ORTK41', 'InputSettings002', 'not xml <')");
    auto* form = Start();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->IsFocusPageOne);
    EXPECT_TRUE(form->IsKeepOnAdd);   // a document that does not parse keeps the default
}

TEST_F(BaseStart, UserSettingsRelabelHideAndRequire) {
    Execute(world.install.DatabaseFile(),
            "INSERT INTO USERFORMAT (COMPANY, PROGRAM, XML) VALUES ('PRTest65', 'ORTK41', '<MT_User><Components>"
            "<Component ID=\"lblTC004\"><Caption>买方</Caption></Component>"
            "<Component ID=\"edTC004\"><Required>-1</Required><Visible>0</Visible></Component>"
            "</Components><gdHead><Field ID=\"TC004\"><DisplayLabel>买方编号</DisplayLabel><Index>0</Index></Field>"
            "<Field ID=\"TC001\"><Visible>N</Visible></Field></gdHead></MT_User>')");
    auto* form = Start();
    ASSERT_NE(form, nullptr);
    form->RequiredFields = "cdsMain:TC001;cdsMain2:TC004";
    form->AfterFormShow();
    EXPECT_EQ(form->lblTC004->Caption(), "买方");
    EXPECT_FALSE(form->edTC004->Visible());
    // The grid's section relabels, hides and places its columns.
    QHeaderView* header = form->grid->View()->horizontalHeader();
    vcl::TField* first = form->grid->ColumnField(header->logicalIndex(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->FieldName(), "TC004");
    EXPECT_EQ(form->grid->View()->model()->headerData(header->logicalIndex(0), Qt::Horizontal).toString().toStdString(),
              "买方编号");
    EXPECT_EQ(form->grid->ColumnPosition(form->MainDataSet()->FieldByName("TC001")), -1);
    EXPECT_EQ(form->RequiredFields, "cdsMain:TC001,TC004;cdsMain2:TC004");
    form->AfterFormShow();   // a second application repeats no name
    EXPECT_EQ(form->RequiredFields, "cdsMain:TC001,TC004;cdsMain2:TC004");
}

// ---- editing, closing, Escape ----

TEST_F(CloseQuery, AnswersCancelYesAndNo) {
    auto* form = Create();
    FillLocal(form);
    form->UserRights = Elements({36, 37, 38, 39});
    form->ApplyRights();
    form->Show();

    ASSERT_TRUE(form->DoEdit());
    form->MainDataSet()->FieldByName("TC004")->SetAsString("C999");
    world.dialogs->Answers = {plat::mrCancel};
    form->Close();
    EXPECT_TRUE(form->Visible());
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("资料已修改,是否保存"));   // D000002

    world.dialogs->Answers = {plat::mrNo};
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->EditMode, 0);
    EXPECT_EQ(form->MainDataSet()->FieldByName("TC004")->AsString(), "C001");   // the change was dropped

    form->Show();
    ASSERT_TRUE(form->DoAdd());
    form->MainDataSet()->FieldByName("TC001")->SetAsString("2299");
    world.dialogs->Answers = {plat::mrYes};
    form->Close();
    EXPECT_THAT(world.dialogs->Shown.back().Text, HasSubstr("新增的资料尚未保存,是否保存"));   // D000001
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->MainDataSet()->RecordCount(), 1);   // the emptied dataset holds the saved record
    EXPECT_EQ(form->MainDataSet()->FieldByName("TC001")->AsString(), "2299");
}

TEST_F(Escape, ClosesInBrowseAndAsksBeforeCancellingAnEdit) {
    auto* form = Create();
    FillLocal(form);
    form->UserRights = Elements({37, 38});
    form->ApplyRights();
    form->Show();
    form->grid->SetFocus();
    ASSERT_TRUE(form->DoEdit());
    form->MainDataSet()->FieldByName("TC004")->SetAsString("C777");
    world.dialogs->Answers = {plat::mrCancel};
    formtest::Press(form, Qt::Key_Escape);
    EXPECT_EQ(form->EditMode, 1);   // declined
    EXPECT_THAT(world.dialogs->Shown.back().Text, HasSubstr("确定放弃修改"));   // C000002
    world.dialogs->Answers = {plat::mrOk};
    formtest::Press(form, Qt::Key_Escape);
    EXPECT_EQ(form->EditMode, 0);
    EXPECT_EQ(form->MainDataSet()->FieldByName("TC004")->AsString(), "C001");
    EXPECT_TRUE(form->Visible());
    formtest::Press(form, Qt::Key_Escape);
    EXPECT_FALSE(form->Visible());
}

TEST_F(RequiredFields, FirstEmptyFieldIsNamedAndItsPageShown) {
    auto* form = Create();
    FillLocal(form);
    form->Show();
    form->RequiredFields = "cdsMain:TC001,TC004";
    EXPECT_TRUE(form->CheckRequiredFields(form->MainDataSet()));   // browse mode checks nothing
    form->DoEdit();
    form->MainDataSet()->FieldByName("TC004")->SetAsString("");
    EXPECT_FALSE(form->CheckRequiredFields(form->MainDataSet()));
    ASSERT_FALSE(world.dialogs->Shown.empty());
    EXPECT_THAT(world.dialogs->Shown.back().Text, HasSubstr("客户 不可为空"));   // E000003
    EXPECT_EQ(form->pages->ActivePage(), form->second);
    EXPECT_EQ(form->ActiveControl(), form->edTC004);
}

// ---- views, documents, quick search ----

// The grid shows a field's display width in pixels; a column the user widened
// and moved comes back as wide and in the same place in the next window.
TEST_F(GridView, AWidenedAndMovedColumnComesBackAfterReopening) {
    auto* form = Start();
    ASSERT_NE(form, nullptr);
    form->Show();
    Pump();
    TKvDBGrid* grid = form->grid;
    vcl::TField* field = form->MainDataSet()->FieldByName("TC004");
    const int perCharacter = QFontMetrics(grid->View()->font()).horizontalAdvance(QLatin1Char('0'));
    auto column = [&] { return grid->ColumnPosition(field) < 0 ? -1 : grid->View()->horizontalHeader()->logicalIndex(grid->ColumnPosition(field)); };
    field->SetDisplayWidth(20);
    ASSERT_GE(column(), 0);
    EXPECT_EQ(grid->ColumnWidth(column()), 20 * perCharacter + 4);

    QHeaderView* header = grid->View()->horizontalHeader();
    header->resizeSection(column(), 30 * perCharacter + 4);   // as a drag of the border does
    header->moveSection(header->visualIndex(column()), 0);
    form->NG->Click();   // "保存视图"
    EXPECT_TRUE(std::filesystem::exists(world.install.ClientFolder() + "c_Data/KV/ORTK41C.ugs"));
    Free(form);

    auto* again = Start();
    ASSERT_NE(again, nullptr);
    again->Show();
    Pump();
    vcl::TField* shown = again->MainDataSet()->FieldByName("TC004");
    EXPECT_EQ(shown->DisplayWidth(), 30);
    EXPECT_EQ(again->grid->ColumnPosition(shown), 0);
    QHeaderView* header2 = again->grid->View()->horizontalHeader();
    EXPECT_EQ(again->grid->ColumnWidth(header2->logicalIndex(0)), 30 * perCharacter + 4);
}

TEST_F(AttachedDocument, ChecksOutTheItemDocumentAndOpensIt) {
    world.install.Files().Write("Documents/INVMB/GB-200.txt", "assembly sheet");
    auto* form = Start();
    ASSERT_NE(form, nullptr);
    vcl::TClientDataSet* ds = form->MainDataSet();
    ds->Close();
    ds->SetProviderName("");
    ds->SetRemoteServer(nullptr);
    ds->AddField<vcl::TStringField>("MB001", 20);
    ds->CreateDataSet();
    ds->Append();
    ds->FieldByName("MB001")->SetAsString("GB-200");
    ds->Post();
    form->LookupFields = "cdsMain: MB001";
    form->ItemDocuments = true;
    std::vector<std::string> opened;
    plat::SetShellOpenHandler([&](const std::string& file) {
        opened.push_back(file);
        return true;
    });
    form->ViewDocument();
    ds->Edit();
    ds->FieldByName("MB001")->SetAsString("NO-SUCH");   // no such item: nothing opens
    ds->Post();
    form->ViewDocument();
    plat::SetShellOpenHandler(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_THAT(opened[0], HasSubstr("GB-200.txt"));
}

TEST_F(QuickSearch, FindsInTheGridAndNamesWhatIsMissing) {
    auto* form = Create();
    FillLocal(form);
    form->Show();
    form->grid->SetFocus();
    form->MenuItem11Click(form->MenuItem11);
    EXPECT_TRUE(form->mnSearch->Enabled());
    TkvSearchDialog* search = form->kvSearchDialog1;
    search->Grid = form->grid;
    search->FieldName = "CREATOR";
    search->SearchText = "";
    EXPECT_FALSE(search->FindNext());
    search->SearchText = "wang";
    EXPECT_TRUE(search->FindNext());   // not case sensitive
    EXPECT_EQ(form->MainDataSet()->RecNo(), 3);
    search->SearchText = "ZHAO";
    EXPECT_FALSE(search->FindNext());
    ASSERT_EQ(world.dialogs->Shown.size(), 2u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("查找的值不可为空。"));
    EXPECT_THAT(world.dialogs->Shown[1].Text, HasSubstr("\"ZHAO\"没有找到"));

    form->edTC004->SetVisible(true);
    form->pages->SetActivePage(form->second);
    form->edTC004->SetFocus();
    form->MenuItem11Click(form->MenuItem11);
    EXPECT_FALSE(form->mnSearch->Enabled());   // not in a grid
}

TEST_F(QuickSearch, DialogWindowSearchesFromItsControls) {
    auto* form = Create();
    FillLocal(form);
    TkvSearchDialog* search = form->kvSearchDialog1;
    search->Grid = form->grid;
    vcl::TForm* dialog = Own(search->CreateDialogForm(nullptr));
    static_cast<vcl::TEdit*>(dialog->FindComponent("edText"))->SetText("KV");
    auto* fields = static_cast<vcl::TComboBox*>(dialog->FindComponent("cboField"));
    EXPECT_EQ(fields->Items()->CommaText(), "CREATOR,TC001,TC004,USR_GROUP");   // sorted by name
    fields->SetItemIndex(0);
    static_cast<vcl::TComboBox*>(dialog->FindComponent("cboOrigin"))->SetItemIndex(1);   // from the start
    static_cast<vcl::TButton*>(dialog->FindComponent("btnNext"))->Click();
    EXPECT_EQ(form->MainDataSet()->RecNo(), 1);
    EXPECT_TRUE(world.dialogs->Shown.empty());
}

// ---- tool bar, field management, tables ----

TEST_F(ToolBar, TenDistinctImagesAndACheckMarkThatFollowsTheBar) {
    auto* form = Create();
    ASSERT_GE(form->ImageList1->Count(), 10);
    vcl::TToolButton* buttons[] = {form->btnAdd,   form->btnQuery, form->btnEdit, form->btnDelete, form->btnPrint,
                                   form->btnFirst, form->btnPrior, form->btnNext, form->btnLast,   form->btnReFresh};
    std::vector<QImage> images;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(buttons[i]->Name());
        EXPECT_EQ(buttons[i]->ImageIndex(), i);
        QImage image = form->ImageList1->Pixmap(i).toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(inked, 10) << "a blank image";
        for (const QImage& other : images) EXPECT_NE(image, other);
        images.push_back(image);
        EXPECT_FALSE(buttons[i]->Button()->icon().isNull());
    }

    form->ToolBar1->SetVisible(false);   // as a program window hides it
    form->MenuItem11Click(form->MenuItem11);
    EXPECT_FALSE(form->miToolBar->Checked());
    form->miToolBar->Click();
    EXPECT_TRUE(form->ToolBar1->Visible());
    EXPECT_TRUE(form->miToolBar->Checked());
    form->miToolBar->Click();
    EXPECT_FALSE(form->ToolBar1->Visible());
    EXPECT_FALSE(form->miToolBar->Checked());
}

// System fields used to be hidden before the main dataset had created them,
// so they showed until Ctrl+M was pressed twice.
TEST_F(FieldManagement, SystemFieldsAreHiddenFromTheStartAndShownOnlyWhileManaged) {
    auto* form = Start();
    ASSERT_NE(form, nullptr);
    vcl::TClientDataSet* ds = form->MainDataSet();
    vcl::TField* creator = ds->FindField("CREATOR");
    ASSERT_NE(creator, nullptr);
    auto columns = [&] {
        std::string names;
        for (int c = 0; c < form->grid->ColumnCount(); ++c) names += form->grid->ColumnField(c)->FieldName() + ",";
        return names;
    };
    EXPECT_FALSE(creator->Visible());
    EXPECT_THAT(columns(), Not(HasSubstr("CREATOR,"))) << columns();
    EXPECT_THAT(columns(), Not(HasSubstr("MODI_DATE,"))) << columns();
    form->miManager->Click();
    EXPECT_TRUE(form->miManager->Checked());
    EXPECT_THAT(columns(), HasSubstr("CREATOR,"));
    form->ReloadMain();   // the fields made again keep the mode
    EXPECT_THAT(columns(), HasSubstr("CREATOR,"));
    form->miManager->Click();
    EXPECT_THAT(columns(), Not(HasSubstr("CREATOR,")));
}

TEST_F(BaseStart, TheShownWindowRegistersItsFourTablesWithTheDataModule) {
    auto* form = Start();
    ASSERT_NE(form, nullptr);
    form->Brokers->UserInfo.SetValue("D11_TABLE", "COPTD ");
    form->Brokers->UserInfo.SetValue("H11_TABLE", "");
    form->Brokers->UserInfo.SetValue("F11_TABLE", "COPTF");
    form->Show();
    Pump();
    const std::string main = plat::Trim(form->Brokers->UserInfo.Values("M11_TABLE"));
    EXPECT_EQ(form->BaseModule()->RegisteredTables, (std::vector<std::string>{main, "COPTD", "", "COPTF"}));
}

// ---- quick search in a string grid ----

namespace {
class ListWindow : public TfrmBase {
public:
    explicit ListWindow(vcl::TComponent* owner) : TfrmBase(owner) {
        SetBounds(0, 0, 500, 300);
        list = vcl::TComponent::Create<vcl::TStringGrid>(this);
        list->SetName("StringGrid1");
        list->SetParent(this);
        list->SetAlign(vcl::TAlign::alClient);
        list->SetColCount(2);
        list->SetRowCount(4);
        list->SetFixedRows(1);
        const char* cells[4][2] = {{"单别", "客户"}, {"2201", "C001"}, {"2202", "C002"}, {"2203", "C002"}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 2; ++c) list->SetCell(c, r, cells[r][c]);
        edit = vcl::TComponent::Create<vcl::TEdit>(this);
        edit->SetParent(this);
        edit->SetAlign(vcl::TAlign::alTop);
    }
    vcl::TClass DataModuleClass() const override { return &TdmLocal::StaticClass(); }
    vcl::TStringGrid* list;
    vcl::TEdit* edit;
};
}  // namespace

TEST_F(QuickSearch, StringGridsAreSearchedInTheirListedLines) {
    auto* form = Create<ListWindow>();
    form->Show();
    form->edit->SetFocus();
    form->MenuItem11Click(form->MenuItem11);
    EXPECT_FALSE(form->mnSearch->Enabled());
    form->list->SetFocus();
    form->list->SetRow(1);
    form->MenuItem11Click(form->MenuItem11);
    EXPECT_TRUE(form->mnSearch->Enabled()) << "the order list is a string grid";

    TkvSearchDialog* search = form->kvSearchDialog1;
    search->Grid = nullptr;
    search->StringGrid = form->list;
    EXPECT_EQ(search->FieldNames(), (std::vector<std::string>{"单别", "客户"}));
    vcl::TForm* dialog = Own(search->CreateDialogForm(nullptr));
    static_cast<vcl::TEdit*>(dialog->FindComponent("edText"))->SetText("c002");
    auto* fields = static_cast<vcl::TComboBox*>(dialog->FindComponent("cboField"));
    fields->SetItemIndex(fields->Items()->IndexOf("客户"));
    auto* next = static_cast<vcl::TButton*>(dialog->FindComponent("btnNext"));
    next->Click();
    EXPECT_EQ(form->list->Row(), 2);
    EXPECT_EQ(form->list->Col(), 1);
    next->Click();
    EXPECT_EQ(form->list->Row(), 3);
    next->Click();   // nothing further down: it says so and stays
    EXPECT_EQ(form->list->Row(), 3);
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("\"c002\"没有找到"));
    search->FieldName = "单别";
    search->SearchText = "单别";   // the title row is not a listed line
    search->FromCursor = false;
    EXPECT_FALSE(search->FindNext());
}
