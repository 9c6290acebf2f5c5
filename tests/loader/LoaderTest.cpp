// Loads the built module with dlopen and drives it through its controller's
// virtual operations, as the host shell does: a fake host object answers the
// version, the notifications are recorded, windows open, show and close.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "DemoInstallation.h"
#include "Dialogs.h"
#include "Dispatch.h"
#include "host/DLLBaseController.h"

namespace {

class FakeHost : public plat::AutomationObject {
public:
    explicit FakeHost(int32_t version) {
        Property("DependencyVersion", [version](plat::Args&) { return plat::Variant(version); });
    }
};

class ModuleLoader : public testing::Test {
protected:
    void SetUp() override {
        std::string path = std::string(ORTK_BIN_DIR) + "/ORTK41C.so";
        library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        auto getController = reinterpret_cast<TGetControllerProc>(dlsym(library_, "GetController"));
        ASSERT_NE(getController, nullptr);
        controller_.reset(getController());
        controller_->HostObject = plat::Variant(plat::DispatchRef(std::make_shared<FakeHost>(8000)));
        controller_->OnNotify = [this](int32_t code, TDLLBaseController* sender) {
            EXPECT_EQ(sender, controller_.get());
            notes_.push_back(code);
        };
    }

    void TearDown() override { controller_.reset(); }

    static plat::Variant StartParams() {
        return plat::VarArrayOf({"KV", "PRTest65", "PRTest65", int32_t(0), plat::Variant()});
    }

    static void RunPendingEvents() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }

    ortktest::DemoInstallation install_;   // the window signs on to its in-process server
    void* library_ = nullptr;   // stays loaded: the module's classes live as long as the process
    std::unique_ptr<TDLLBaseController> controller_;
    std::vector<int32_t> notes_;
    plat::ScopedScriptedDialogs dialogs_;
};

}  // namespace

TEST_F(ModuleLoader, HostOpensShowsAndClosesTheWindowThroughTheSlots) {
    EXPECT_EQ(controller_->IsFormNil(), 1);
    EXPECT_EQ(controller_->SetMode(1, 0xFF, {}), -1);   // no window yet
    ASSERT_EQ(controller_->OpenForm(StartParams()), 0);
    EXPECT_EQ(controller_->IsFormNil(), 0);
    EXPECT_EQ(controller_->SetCondition(plat::VarArrayOf({{}, "TC001='220'"})), 0);
    EXPECT_EQ(controller_->SetMode(1, 0xFF, {}), 0);
    controller_->SetFormVisible(1);
    EXPECT_EQ(controller_->IsFormVisible(), -1);
    EXPECT_NE(controller_->GetFormHandle(), 0);

    plat::Variant info;
    ASSERT_EQ(controller_->GetSessionInfo(info), 0);
    EXPECT_EQ(info[0].ToString(), "KV");
    EXPECT_EQ(info[1].ToString(), "PRTest65");
    EXPECT_EQ(info[2].ToString(), "ORTK41");

    controller_->CloseForm(0);
    EXPECT_EQ(controller_->IsFormNil(), 1);
    EXPECT_EQ(controller_->IsFormVisible(), 0);
    EXPECT_EQ(controller_->ReturnKind, 2);
    EXPECT_EQ(notes_, (std::vector<int32_t>{ncAfterCreate, ncFormShow, ncFormClose, ncFormDestroy}));
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(ModuleLoader, QuietCloseSkipsTheCloseNotification) {
    ASSERT_EQ(controller_->OpenForm(StartParams()), 0);
    controller_->CloseForm(1);
    EXPECT_EQ(notes_, (std::vector<int32_t>{ncAfterCreate, ncFormDestroy}));
    EXPECT_EQ(controller_->ReturnKind, 0);   // the close handler never ran
}

TEST_F(ModuleLoader, SecondOpenOnTheOpenWindowRehooksWithoutLooping) {
    ASSERT_EQ(controller_->OpenForm(StartParams()), 0);
    ASSERT_EQ(controller_->OpenForm(StartParams()), 0);   // re-hooks and restarts the same window
    controller_->SetFormVisible(1);
    controller_->SetFormVisible(0);
    controller_->CloseForm(0);
    EXPECT_EQ(notes_, (std::vector<int32_t>{ncAfterCreate, ncFormShow, ncFormHide, ncFormClose, ncFormDestroy}));
    EXPECT_EQ(controller_->IsFormNil(), 1);
}

TEST_F(ModuleLoader, ModalRunHandsBackTheReturnValueAndLeavesNoWindow) {
    ASSERT_EQ(controller_->OpenForm(StartParams()), 0);
    ASSERT_EQ(controller_->SetMode(7, 0xFF, "picked"), 0);
    // The user closes the modal window once it is up.
    QTimer::singleShot(20, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) w->close();
    });
    plat::Variant result("untouched");
    controller_->ShowModalForm(result);
    EXPECT_TRUE(result.IsEmpty());   // the window's ReturnValue, never set by this window
    EXPECT_EQ(controller_->IsFormNil(), 1);
    EXPECT_EQ(controller_->ReturnKind, 1);   // mode 7 is a picking run
    ASSERT_GE(notes_.size(), 3u);
    EXPECT_EQ(notes_.front(), ncAfterCreate);
    EXPECT_EQ(notes_[notes_.size() - 2], ncFormClose);
    EXPECT_EQ(notes_.back(), ncFormDestroy);
    RunPendingEvents();   // nothing posted by the closed window may run on it afterwards
}

TEST_F(ModuleLoader, UserCloseFreesTheWindowAndReportsDestroy) {
    ASSERT_EQ(controller_->OpenForm(StartParams()), 0);
    controller_->SetFormVisible(1);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->close();
    RunPendingEvents();
    EXPECT_EQ(controller_->IsFormNil(), 1);
    EXPECT_EQ(notes_, (std::vector<int32_t>{ncAfterCreate, ncFormShow, ncFormClose, ncFormDestroy}));
}

TEST_F(ModuleLoader, FreeingTheControllerClosesARemainingWindow) {
    ASSERT_EQ(controller_->OpenForm(StartParams()), 0);
    delete controller_.get();   // as the host frees it; the pointer stays set while the destructor runs
    controller_.release();
    EXPECT_EQ(notes_, (std::vector<int32_t>{ncAfterCreate, ncFormClose, ncFormDestroy}));
}

TEST(ModuleExport, GetControllerIsExportedByName) {
    std::string path = std::string(ORTK_BIN_DIR) + "/ORTK41C.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_NE(dlsym(library, "GetController"), nullptr);
}
