// The order tracking window, opened by the host from the built module with
// every function allowed, only reads: every key, menu item, tool button and
// way of closing a user has is tried, and every table of the company
// database is compared, value by value and byte by byte, with what it held
// before the window opened. The application server refuses changes from the
// window's session as well.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <sqlite3.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <functional>
#include <map>

#include "ComCtrls.h"
#include "DBClient.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Grids.h"
#include "Menus.h"
#include "ModuleHost.h"
#include "ShellTestSupport.h"
#include "StdCtrls.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// Every table of the database file, rows in rowid order, each value written
// as its storage class and its bytes.
std::map<std::string, std::string> DumpTables(const std::string& file) {
    std::map<std::string, std::string> tables;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << file;
        return tables;
    }
    auto each = [db](const std::string& sql, const std::function<void(sqlite3_stmt*)>& row) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
            return;
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) row(stmt);
        sqlite3_finalize(stmt);
    };
    std::vector<std::string> names;
    each("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name",
         [&](sqlite3_stmt* s) { names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))); });
    for (const std::string& name : names) {
        std::string& out = tables[name];
        each("SELECT * FROM \"" + name + "\" ORDER BY rowid", [&](sqlite3_stmt* s) {
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                int type = sqlite3_column_type(s, c);
                const void* bytes = sqlite3_column_blob(s, c);
                int size = sqlite3_column_bytes(s, c);
                out += std::to_string(type) + ":" + std::to_string(size) + ":";
                if (bytes) out.append(static_cast<const char*>(bytes), static_cast<size_t>(size));
                out += '\x1f';
            }
            out += '\x1e';
        });
    }
    sqlite3_close(db);
    return tables;
}

void RunPendingEvents() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

struct Stroke {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    const char* Name;
};

// The keys of the window and its base, except Esc, which closes it.
const Stroke kKeys[] = {
    {Qt::Key_F1, Qt::NoModifier, "F1"},        {Qt::Key_F2, Qt::NoModifier, "F2"},
    {Qt::Key_F3, Qt::NoModifier, "F3"},        {Qt::Key_F4, Qt::NoModifier, "F4"},
    {Qt::Key_F5, Qt::NoModifier, "F5"},        {Qt::Key_F6, Qt::NoModifier, "F6"},
    {Qt::Key_F7, Qt::NoModifier, "F7"},        {Qt::Key_F8, Qt::NoModifier, "F8"},
    {Qt::Key_F9, Qt::NoModifier, "F9"},        {Qt::Key_F10, Qt::NoModifier, "F10"},
    {Qt::Key_F11, Qt::NoModifier, "F11"},      {Qt::Key_F12, Qt::NoModifier, "F12"},
    {Qt::Key_F1, Qt::ControlModifier, "Ctrl+F1"}, {Qt::Key_F2, Qt::ControlModifier, "Ctrl+F2"},
    {Qt::Key_H, Qt::ControlModifier, "Ctrl+H"}, {Qt::Key_E, Qt::ControlModifier, "Ctrl+E"},
    {Qt::Key_M, Qt::ControlModifier, "Ctrl+M"}, {Qt::Key_F, Qt::ControlModifier, "Ctrl+F"},
    {Qt::Key_Insert, Qt::NoModifier, "Insert"}, {Qt::Key_Delete, Qt::NoModifier, "Delete"},
    {Qt::Key_Delete, Qt::ControlModifier, "Ctrl+Delete"}, {Qt::Key_Return, Qt::NoModifier, "Enter"},
    {Qt::Key_PageUp, Qt::ControlModifier, "Ctrl+PageUp"}, {Qt::Key_PageDown, Qt::ControlModifier, "Ctrl+PageDown"},
};

class ReadOnlyWindow : public testing::Test {
protected:
    ReadOnlyWindow() : host_({std::string(ORTK_BIN_DIR) + "/"}, demo_.host) {
        dialogs_->Fallback = plat::mrOk;   // every question confirmed: deleting too, were it asked
    }
    ~ReadOnlyWindow() override {
        dialogs_->Fallback = plat::mrNo;
        host_.CloseAll();
    }

    std::string DatabaseFile() const { return demo_.Folder() + "PRTest65.db"; }

    // Opens the window as the shell does by default: mode 1, every function.
    void Open() {
        shell::OpenRequest request;
        request.Program = "ORTK41";
        ASSERT_EQ(request.Functions, 0xFF);
        TDLLBaseController& controller = host_.Open(request, "KV", "PRTest65", "PRTest65", 0);
        form = dynamic_cast<vcl::TForm*>(
            vcl::TControl::ControlOf(QWidget::find(static_cast<WId>(controller.GetFormHandle()))));
        ASSERT_NE(form, nullptr);
        form->Widget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->Widget()));
    }

    template <class T>
    T* Get(const std::string& name, vcl::TComponent* owner = nullptr) {
        auto* found = dynamic_cast<T*>((owner ? owner : form)->FindComponent(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Runs a query of every order and shows its lines.
    void ListOrders() {
        Get<vcl::TButton>("btnQuery1")->Click();
        ASSERT_GT(Get<vcl::TStringGrid>("StringGrid1")->RowCount(), 2);
    }

    void Press(vcl::TWinControl* control, const Stroke& stroke) {
        control->SetFocus();
        RunPendingEvents();
        // Ctrl+F in the order list opens the quick search, a modal window:
        // it is closed as soon as it stands, as the user would close it.
        if (stroke.Key == Qt::Key_F && stroke.Modifiers == Qt::ControlModifier)
            QTimer::singleShot(0, [this] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    ++searchWindows_;
                    modal->close();
                }
            });
        QTest::keyClick(control->Widget(), stroke.Key, stroke.Modifiers);
        RunPendingEvents();
    }

    std::string Mode() { return Get<vcl::TStatusBar>("Status")->Panels()->Items(0)->Text(); }

    void ExpectDataCommandsDisabled(const std::string& when) {
        for (const char* name : {"miAdd", "miEdit", "miDelete"})
            EXPECT_FALSE(Get<vcl::TMenuItem>(name)->Enabled()) << name << " " << when;
        for (const char* name : {"btnAdd", "btnEdit", "btnDelete", "btnOK"})
            EXPECT_FALSE(Get<vcl::TToolButton>(name)->Enabled()) << name << " " << when;
    }

    // No question about saving or deleting was ever put to the user.
    void ExpectNoSaveOrDeleteQuestion() {
        for (const plat::MessageDialog& shown : dialogs_->Shown) {
            EXPECT_THAT(shown.Text, Not(HasSubstr("保存")));
            EXPECT_THAT(shown.Text, Not(HasSubstr("删除")));
        }
    }

    void ExpectDatabaseAsBefore(const std::map<std::string, std::string>& before) {
        std::map<std::string, std::string> after = DumpTables(DatabaseFile());
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [table, rows] : before) EXPECT_TRUE(after[table] == rows) << "table " << table << " changed";
    }

    plat::ScopedScriptedDialogs dialogs_;
    shelltest::DemoHost demo_;
    shell::ModuleHost host_;
    vcl::TForm* form = nullptr;
    int searchWindows_ = 0;   // quick search windows that Ctrl+F opened
};

TEST_F(ReadOnlyWindow, DataCommandsStayDisabledWhateverTheRightsAndTheHostAllow) {
    // The demo user holds every right; extra rights that name the commands
    // enable them in a maintenance window.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DatabaseFile().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO USERINFO (COMPANY, USER_ID, PROGRAM, NAME, VALUE) VALUES ('PRTest65', 'KV', "
                           "'ORTK41', 'EX_POWER', 'btnAdd=Y;miAdd=Y;btnEdit=Y;miEdit=Y;btnDelete=Y;miDelete=Y;btnOK=Y')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_NO_FATAL_FAILURE(Open());
    ExpectDataCommandsDisabled("after opening");
    ASSERT_NO_FATAL_FAILURE(ListOrders());
    ExpectDataCommandsDisabled("after a query");
    Get<vcl::TMenuItem>("miNext")->Click();   // a record change hands out the rights of that record again
    ExpectDataCommandsDisabled("after moving to the next record");
    EXPECT_EQ(Mode(), "浏览");
}

TEST_F(ReadOnlyWindow, NoKeyInAConditionFieldOrInTheGridChangesData) {
    auto before = DumpTables(DatabaseFile());
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(ListOrders());
    auto* condition = Get<vcl::TWinControl>("BeginEdit", Get<vcl::TComponent>("sp01"));
    auto* grid = Get<vcl::TStringGrid>("StringGrid1");
    auto* toolBar = Get<vcl::TMenuItem>("miToolBar");
    for (bool inGrid : {false, true}) {
        Get<vcl::TPageControl>("PageControl1")->SetActivePageIndex(inGrid ? 1 : 0);
        vcl::TWinControl* focus = inGrid ? static_cast<vcl::TWinControl*>(grid) : condition;
        // The keys reach the menu: Ctrl+S toggles the tool bar item and back.
        bool shown = toolBar->Checked();
        Press(focus, {Qt::Key_S, Qt::ControlModifier, "Ctrl+S"});
        ASSERT_NE(toolBar->Checked(), shown) << "menu shortcuts do not reach the window";
        Press(focus, {Qt::Key_S, Qt::ControlModifier, "Ctrl+S"});
        for (const Stroke& stroke : kKeys) {
            // F9 runs the query and shows the results, as "查询" does: the
            // next key goes to the condition field on its page again.
            Get<vcl::TPageControl>("PageControl1")->SetActivePageIndex(inGrid ? 1 : 0);
            Press(focus, stroke);
            ASSERT_EQ(host_.OpenCount(), 1u) << stroke.Name << " closed the window";
            EXPECT_EQ(Mode(), "浏览") << stroke.Name << (inGrid ? " in the grid" : " in a condition field");
            ExpectDataCommandsDisabled(stroke.Name);
        }
    }
    EXPECT_GE(searchWindows_, 1) << "Ctrl+F searches the order list";
    ExpectNoSaveOrDeleteQuestion();
    host_.CloseAll();
    RunPendingEvents();
    ExpectDatabaseAsBefore(before);
}

TEST_F(ReadOnlyWindow, NoMenuItemOrToolButtonChangesData) {
    auto before = DumpTables(DatabaseFile());
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(ListOrders());
    vcl::TMenuItem* exit = Get<vcl::TMenuItem>("miExit");
    std::vector<vcl::TMenuItem*> items;
    std::vector<vcl::TToolButton*> buttons;
    for (vcl::TComponent* c : form->ComponentList()) {
        if (auto* item = dynamic_cast<vcl::TMenuItem*>(c); item && item->Count() == 0 && item != exit &&
                                                           item->Caption() != "-")
            items.push_back(item);
        if (auto* button = dynamic_cast<vcl::TToolButton*>(c); button && !button->IsSeparator())
            buttons.push_back(button);
    }
    ASSERT_GT(items.size(), 15u);
    ASSERT_GT(buttons.size(), 10u);
    // As the user picks them (a disabled item does nothing), then straight
    // to their handlers, as a program or an extra right could reach them.
    for (int round = 0; round < 2; ++round) {
        for (vcl::TMenuItem* item : items) {
            if (round == 0) item->Action()->trigger();
            else item->Click();
            RunPendingEvents();
            ASSERT_EQ(host_.OpenCount(), 1u) << item->Name() << " closed the window";
            EXPECT_EQ(Mode(), "浏览") << item->Name();
        }
        for (vcl::TToolButton* button : buttons) {
            if (round == 0 && !button->Enabled()) continue;
            button->Click();
            RunPendingEvents();
            ASSERT_EQ(host_.OpenCount(), 1u) << button->Name() << " closed the window";
            EXPECT_EQ(Mode(), "浏览") << button->Name();
        }
    }
    ExpectNoSaveOrDeleteQuestion();
    host_.CloseAll();
    RunPendingEvents();
    ExpectDatabaseAsBefore(before);
}

// Add and edit are tried first, then the window is closed by each way a user
// has, with each answer a question could get: it closes at once, asking nothing.
TEST_F(ReadOnlyWindow, ClosingNeverOffersToSave) {
    auto before = DumpTables(DatabaseFile());
    enum class Way { CloseButton, Escape, ExitItem };
    for (int answer : {plat::mrYes, plat::mrNo, plat::mrOk, plat::mrCancel}) {
        for (Way way : {Way::CloseButton, Way::Escape, Way::ExitItem}) {
            SCOPED_TRACE("answer " + std::to_string(answer) + ", way " + std::to_string(static_cast<int>(way)));
            dialogs_->Fallback = answer;
            dialogs_->Shown.clear();
            ASSERT_NO_FATAL_FAILURE(Open());
            auto* condition = Get<vcl::TWinControl>("BeginEdit", Get<vcl::TComponent>("sp01"));
            for (Qt::Key key : {Qt::Key_F5, Qt::Key_F7}) Press(condition, {key, Qt::NoModifier, "F5/F7"});
            QTest::keyClicks(condition->Widget(), "2201");
            switch (way) {
            case Way::CloseButton: form->Close(); break;
            case Way::Escape: Press(condition, {Qt::Key_Escape, Qt::NoModifier, "Esc"}); break;
            case Way::ExitItem: Get<vcl::TMenuItem>("miExit")->Click(); break;
            }
            RunPendingEvents();
            EXPECT_EQ(host_.OpenCount(), 0u) << "the window stayed open";
            EXPECT_TRUE(dialogs_->Shown.empty()) << dialogs_->Shown.front().Text;
            dialogs_->Fallback = plat::mrNo;
            host_.CloseAll();
            RunPendingEvents();
            ExpectDatabaseAsBefore(before);
        }
    }
}

// Even a change sent by the window's own main dataset is refused by the
// application server the window logged on to, with a message saying why.
TEST_F(ReadOnlyWindow, TheServerRefusesChangesFromTheWindowsSession) {
    auto before = DumpTables(DatabaseFile());
    ASSERT_NO_FATAL_FAILURE(Open());
    vcl::TClientDataSet* main = nullptr;
    for (vcl::TComponent* c : form->ComponentList())
        if (auto* module = dynamic_cast<vcl::TDataModule*>(c))
            main = dynamic_cast<vcl::TClientDataSet*>(module->FindComponent("cdsMain"));
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(main->Active());
    ASSERT_GT(main->RecordCount(), 0);
    main->First();
    main->Delete();
    try {
        main->ApplyUpdates(0);
        ADD_FAILURE() << "the server applied a delete of the query window";
    } catch (const plat::Exception& e) {
        EXPECT_THAT(e.Message(), HasSubstr("only queries")) << e.Message();
    }
    main->CancelUpdates();
    host_.CloseAll();
    RunPendingEvents();
    ExpectDatabaseAsBefore(before);
}

}  // namespace
