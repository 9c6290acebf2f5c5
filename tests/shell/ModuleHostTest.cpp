// The shell loads the real module from a work folder and drives it as it does
// for a user: open, condition, mode, show, close; the notifications reach the
// shell and the controller is freed once its window is gone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>

#include "Dialogs.h"
#include "ModuleHost.h"
#include "ShellTestSupport.h"

using ::testing::HasSubstr;

namespace {

void RunPendingEvents() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

}  // namespace

TEST(ModuleHost, FindsModulesOnlyInTheWorkFolders) {
    ortktest::TempFolder empty;
    shell::ModuleHost host({empty.Path(), std::string(ORTK_BIN_DIR) + "/"}, plat::Variant());
    EXPECT_EQ(host.FindModule("ORTK41"), std::string(ORTK_BIN_DIR) + "/ORTK41C.so");
    EXPECT_EQ(host.FindModule("PGSO01"), "");
    try {
        host.Open({"PGSO01"}, "KV", "PRTest65", "PRTest65", 0);
        FAIL() << "opened a program without a module";
    } catch (const plat::Exception& e) {
        EXPECT_THAT(e.Message(), HasSubstr("PGSO01C.so"));
    }
}

TEST(ModuleHost, OpensShowsAndFreesTheRealModule) {
    plat::ScopedScriptedDialogs dialogs;
    shelltest::DemoHost demo;
    shell::ModuleHost host({std::string(ORTK_BIN_DIR) + "/"}, demo.host);
    std::vector<int32_t> notes;
    host.OnNotify = [&](const std::string& program, int32_t code) {
        EXPECT_EQ(program, "ORTK41");
        notes.push_back(code);
    };
    TDLLBaseController& controller = host.Open({"ORTK41", "2201-20240100001", 1}, "KV", "PRTest65", "PRTest65", 0);
    EXPECT_EQ(controller.IsFormVisible(), -1);
    EXPECT_EQ(host.OpenCount(), 1u);
    plat::Variant info;
    ASSERT_EQ(controller.GetSessionInfo(info), 0);
    EXPECT_EQ(info[2].ToString(), "ORTK41");
    EXPECT_FALSE(info[3].ToString().empty());   // the title from the program registry
    controller.CloseForm(0);
    RunPendingEvents();
    EXPECT_EQ(host.OpenCount(), 0u);
    EXPECT_EQ(notes, (std::vector<int32_t>{ncAfterCreate, ncFormShow, ncFormClose, ncFormDestroy}));
    EXPECT_TRUE(dialogs->Shown.empty()) << dialogs->Shown[0].Text;
}
