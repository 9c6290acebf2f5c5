// The hosted order tracking window when the service under it fails in the
// middle of a user's action: the user is told, the window stays usable and
// the host goes on. The failure is real (a table of the company database
// goes missing under the running service) and the actions are real clicks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTest>
#include <QWidget>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Grids.h"
#include "ModuleHost.h"
#include "ShellTestSupport.h"
#include "StdCtrls.h"

using ::testing::HasSubstr;

namespace {

// Renames a table of the demo database behind the service's back.
void RenameTable(const std::string& file, const std::string& from, const std::string& to) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    std::string sql = "ALTER TABLE " + from + " RENAME TO " + to;
    char* error = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text;
}

class FailingService : public testing::Test {
protected:
    FailingService() : host_({std::string(ORTK_BIN_DIR) + "/"}, demo_.host) {
        TDLLBaseController& controller = host_.Open({"ORTK41"}, "KV", "PRTest65", "PRTest65", 0);
        controller.SetFormVisible(1);
        form = dynamic_cast<vcl::TForm*>(vcl::TControl::ControlOf(QWidget::find(static_cast<WId>(controller.GetFormHandle()))));
    }

    template <class T>
    T* Get(const std::string& name) {
        auto* found = dynamic_cast<T*>(form->FindComponent(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // A real click on a button of the page shown.
    void Click(const std::string& button, int page) {
        Get<vcl::TPageControl>("PageControl1")->SetActivePageIndex(page);
        QTest::mouseClick(Get<vcl::TWinControl>(button)->Widget(), Qt::LeftButton);
    }

    std::string DatabaseFile() const { return demo_.Folder() + "PRTest65.db"; }

    plat::ScopedScriptedDialogs dialogs_;
    shelltest::DemoHost demo_;
    shell::ModuleHost host_;
    vcl::TForm* form = nullptr;
};

}  // namespace

TEST_F(FailingService, AFailedQueryIsShownAndTheNextQueryWorks) {
    ASSERT_NE(form, nullptr);
    RenameTable(DatabaseFile(), "COPTD", "COPTD_AWAY");
    Click("btnQuery1", 0);
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_THAT(dialogs_->Shown[0].Text, HasSubstr("COPTD")) << dialogs_->Shown[0].Text;
    EXPECT_EQ(dialogs_->Shown[0].Type, plat::MsgDlgType::Error);
    EXPECT_TRUE(form->Visible());

    RenameTable(DatabaseFile(), "COPTD_AWAY", "COPTD");
    Click("btnQuery1", 0);
    EXPECT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_GT(Get<vcl::TStringGrid>("StringGrid1")->RowCount(), 2);
    EXPECT_EQ(Get<vcl::TPageControl>("PageControl1")->ActivePageIndex(), 1);
}

TEST_F(FailingService, AFailedExpansionKeepsThePartialTreeAndTheWindow) {
    ASSERT_NE(form, nullptr);
    Click("btnQuery1", 0);
    ASSERT_GT(Get<vcl::TStringGrid>("StringGrid1")->RowCount(), 2);
    RenameTable(DatabaseFile(), "COPTG", "COPTG_AWAY");
    Click("BitBtn1", 1);
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_THAT(dialogs_->Shown[0].Text, HasSubstr("COPTG")) << dialogs_->Shown[0].Text;
    // The order node was built before the deliveries failed.
    EXPECT_GT(Get<vcl::TTreeView>("TreeView")->Items()->Count(), 0);

    RenameTable(DatabaseFile(), "COPTG_AWAY", "COPTG");
    Click("BitBtn1", 1);
    EXPECT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_GT(Get<vcl::TTreeView>("TreeView")->Items()->Count(), 5);
}

TEST_F(FailingService, TheStatusBarCountsTheListedLines) {
    ASSERT_NE(form, nullptr);
    auto* status = Get<vcl::TStatusBar>("Status");
    EXPECT_EQ(status->Panels()->Items(3)->Text(), "0");   // nothing listed yet
    Click("btnQuery1", 0);
    auto* grid = Get<vcl::TStringGrid>("StringGrid1");
    int lines = grid->RowCount() - 1;
    ASSERT_GT(lines, 1);
    EXPECT_EQ(status->Panels()->Items(3)->Text(), "1/" + std::to_string(lines));
    QTest::keyClick(grid->Widget(), Qt::Key_Down);
    EXPECT_EQ(status->Panels()->Items(3)->Text(), "2/" + std::to_string(lines));
}
