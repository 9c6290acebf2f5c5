// The order tracking window itself, opened by the host from the built module
// over the demo database and used through its controls as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Grids.h"
#include "Menus.h"
#include "ModuleHost.h"
#include "ShellTestSupport.h"
#include "StdCtrls.h"

namespace {

class OrderWindow : public testing::Test {
protected:
    OrderWindow() : host_({std::string(ORTK_BIN_DIR) + "/"}, demo_.host) {
        demo_.env->ExecWork = [this](const std::string& program, const std::string& condition) {
            opened.emplace_back(program, condition);
            return 0;
        };
        TDLLBaseController& controller = host_.Open({"ORTK41"}, "KV", "PRTest65", "PRTest65", 0);
        form = vcl::TControl::ControlOf(QWidget::find(static_cast<WId>(controller.GetFormHandle())));
    }

    template <class T>
    T* Get(const std::string& name, vcl::TComponent* owner = nullptr) {
        auto* found = dynamic_cast<T*>((owner ? owner : form)->FindComponent(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void Type(const std::string& panel, const std::string& edit, const std::string& text) {
        auto* control = Get<vcl::TWinControl>(edit, Get<vcl::TComponent>(panel));
        control->SetFocus();
        QTest::keyClicks(control->Widget(), QString::fromStdString(text));
        Get<vcl::TWinControl>("btnQuery1")->SetFocus();
    }

    plat::ScopedScriptedDialogs dialogs_;
    shelltest::DemoHost demo_;
    shell::ModuleHost host_;

public:
    vcl::TComponent* form = nullptr;
    std::vector<std::pair<std::string, std::string>> opened;
};

}  // namespace

TEST_F(OrderWindow, QueryExpandClickAndOpen) {
    ASSERT_NE(form, nullptr);
    Type("sp01", "BeginEdit", "220120240100001");
    Type("sp01", "FinalEdit", "220120240100001");
    Get<vcl::TButton>("btnQuery1")->Click();
    auto* grid = Get<vcl::TStringGrid>("StringGrid1");
    ASSERT_EQ(grid->RowCount(), 3);   // heading and the two lines of that order
    EXPECT_EQ(grid->Cells(5, 0), "规格");
    EXPECT_EQ(Get<vcl::TLabel>("lblQuery2")->Caption(), "2201-20240100001-0001");

    Get<vcl::TButton>("BitBtn1")->Click();
    auto* tree = Get<vcl::TTreeView>("TreeView");
    ASSERT_GT(tree->Items()->Count(), 20);
    vcl::TTreeNode* delivery = nullptr;
    for (int i = 0; i < tree->Items()->Count() && !delivery; ++i)
        if (tree->Items()->Item(i)->SelectedIndex() == 2000) delivery = tree->Items()->Item(i);
    ASSERT_NE(delivery, nullptr);
    tree->SetSelected(delivery);
    tree->Click();
    EXPECT_EQ(Get<vcl::TLabel>("lblView2")->Caption(), "2301-20240100001-0001");
    Get<vcl::TButton>("BitBtn2")->Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, "PGSD01");
    EXPECT_EQ(opened[0].second, " COPTG.TG001 + '-' + COPTG.TG002 ='2301-20240100001'");

    tree->SetSelected(tree->Items()->Item(2));   // a group node: nothing to open
    tree->Click();
    EXPECT_EQ(Get<vcl::TLabel>("lblView2")->Caption(), "");
    Get<vcl::TButton>("BitBtn2")->Click();
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(OrderWindow, SecondQueryClearsTreeLabelsAndLists) {
    ASSERT_NE(form, nullptr);
    Get<vcl::TButton>("btnQuery1")->Click();
    Get<vcl::TButton>("BitBtn1")->Click();
    ASSERT_GT(Get<vcl::TTreeView>("TreeView")->Items()->Count(), 0);
    Get<vcl::TPageControl>("PageControl1")->SetActivePageIndex(0);   // back to the conditions
    Type("sp01", "BeginEdit", "9999NOSUCHORDER");
    Get<vcl::TButton>("btnQuery1")->Click();
    auto* grid = Get<vcl::TStringGrid>("StringGrid1");
    EXPECT_EQ(grid->RowCount(), 2);   // heading and one blank row
    EXPECT_EQ(grid->Cells(0, 1), "");
    EXPECT_EQ(Get<vcl::TTreeView>("TreeView")->Items()->Count(), 0);
    EXPECT_EQ(Get<vcl::TLabel>("lblQuery2")->Caption(), "");
    EXPECT_EQ(Get<vcl::TLabel>("lblView2")->Caption(), "");
    Get<vcl::TButton>("BitBtn1")->Click();   // nothing listed: expanding does nothing
    EXPECT_EQ(Get<vcl::TTreeView>("TreeView")->Items()->Count(), 0);
}

TEST_F(OrderWindow, ProjectNumberShowsItsNameOrRefusesAnUnknownCode) {
    ASSERT_NE(form, nullptr);
    // The demo company sets SYS180 to "Y": the project edit and its name label are shown.
    auto* project = Get<vcl::TWinControl>("ed07");
    EXPECT_TRUE(project->Visible());
    EXPECT_FALSE(Get<vcl::TControl>("memolng")->Visible());
    project->SetFocus();
    QTest::keyClicks(project->Widget(), "P2024-001");
    Get<vcl::TWinControl>("btnQuery1")->SetFocus();
    EXPECT_EQ(Get<vcl::TLabel>("lbl07")->Caption(), "华东新厂建设项目");
    EXPECT_TRUE(dialogs_->Shown.empty());

    project->SetFocus();
    QTest::keyClicks(project->Widget(), "X");
    Get<vcl::TWinControl>("btnQuery1")->SetFocus();
    ASSERT_EQ(dialogs_->Shown.size(), 1u);   // the code check's message
    EXPECT_EQ(dialogs_->Shown[0].Type, plat::MsgDlgType::Error);
}

// F9 ("开始查询") used to run the query and stay on the conditions; it now
// goes to the results as "查询" does, and the tool bar item tells the truth
// about the hidden bar.
TEST_F(OrderWindow, F9ShowsTheResultsLikeTheQueryButton) {
    ASSERT_NE(form, nullptr);
    auto* pages = Get<vcl::TPageControl>("PageControl1");
    auto* window = dynamic_cast<vcl::TForm*>(form);
    ASSERT_NE(window, nullptr);
    window->Show();
    EXPECT_FALSE(Get<vcl::TMenuItem>("miToolBar")->Checked()) << "the order window hides its tool bar";
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    Type("sp01", "BeginEdit", "220120240100001");
    Type("sp01", "FinalEdit", "220120240100001");
    Get<vcl::TMenuItem>("mniView")->Click();   // what F9 runs
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(Get<vcl::TStringGrid>("StringGrid1")->RowCount(), 3);
}
