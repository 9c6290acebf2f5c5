// The controller in process: the host version check, modes and permitted
// functions, condition shapes, the window's identity and its start-up.
#include <gtest/gtest.h>

#include <memory>

#include "DemoInstallation.h"
#include "Dialogs.h"
#include "Dispatch.h"
#include "data/Brokers.h"
#include "data/RadicalCD.h"
#include "host/DLLMTCtrller.h"
#include "ortk41/ORTK41CF.h"

namespace {

class VersionHost : public plat::AutomationObject {
public:
    explicit VersionHost(plat::Variant version) {
        Property("DependencyVersion", [version](plat::Args&) { return version; });
    }
};

class NoVersionHost : public plat::AutomationObject {};

plat::Variant Host(std::shared_ptr<plat::IDispatch> host) { return plat::Variant(plat::DispatchRef(std::move(host))); }

plat::Variant StartParams() { return plat::VarArrayOf({"KV", "PRTest65", "PRTest65", int32_t(0), plat::Variant()}); }

class Controller : public testing::Test {
protected:
    void Open(int32_t version = 8000) {
        controller.HostObject = Host(std::make_shared<VersionHost>(plat::Variant(version)));
        ASSERT_EQ(controller.OpenForm(StartParams()), 0);
    }
    ortktest::DemoInstallation install;   // the started window signs on to its server
    plat::ScopedScriptedDialogs dialogs;
    TDLLMTCtrller controller;
};

}  // namespace

TEST_F(Controller, HostVersionMustBeExactly8000) {
    // The version is compared as given: 8000.5 used to be cut to 8000 and pass.
    struct Case { plat::Variant version; const char* text; } cases[] = {
        {int32_t(8001), "This program's version is too old, please update."},
        {int32_t(7999), "TamberWorkCenter version too old,please update."},
        {8000.5, "This program's version is too old, please update."},
        {7999.9, "TamberWorkCenter version too old,please update."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.ToDouble());
        TDLLMTCtrller ctl;
        plat::ScopedScriptedDialogs shown;
        ctl.HostObject = Host(std::make_shared<VersionHost>(c.version));
        try {
            ctl.OpenForm(StartParams());
            ADD_FAILURE() << "version " << c.version.ToDouble() << " accepted";
        } catch (const plat::Exception& e) {
            EXPECT_EQ(e.Message(), c.text);
        }
        ASSERT_EQ(shown->Shown.size(), 1u) << c.version.ToDouble();   // shown once, before the exception
        EXPECT_EQ(shown->Shown[0].Text, c.text);
        EXPECT_EQ(ctl.IsFormNil(), 0);   // the created window stays with the controller
        // Its hooks were never installed: closing it must still forget it,
        // and every later call must find no window instead of a freed one.
        ctl.CloseForm(0);
        EXPECT_EQ(ctl.IsFormNil(), 1);
        EXPECT_EQ(ctl.GetFormHandle(), 0);
        EXPECT_EQ(ctl.IsFormVisible(), 0);
        EXPECT_EQ(ctl.SetMode(1, 0xFF, plat::Variant()), -1);
        ctl.SetFormVisible(1);
        ctl.CloseForm(0);
    }
}

// A host that drives a controller of its own gets the notifications of the
// four form events from the base's operations.
namespace {
class BareController : public TDLLBaseController {
public:
    void GetFormText(std::u16string&) override {}
    int32_t IsFormVisible() override { return 0; }
    void SetFormVisible(int16_t) override {}
    intptr_t GetFormHandle() override { return 0; }
    int32_t OpenForm(const plat::Variant&) override { return -1; }
    int32_t SetCondition(const plat::Variant&) override { return -1; }
    int32_t SetMode(int32_t, int32_t, const plat::Variant&) override { return -1; }
    void ShowModalForm(plat::Variant&) override {}
    void CloseForm(int32_t) override {}
    int32_t GetSessionInfo(plat::Variant&) override { return -1; }
    uint8_t IsFormNil() override { return 1; }
};
}  // namespace

TEST(BaseController, FormHooksNotifyTheHostInTheirOrder) {
    BareController controller;
    std::vector<int32_t> codes;
    controller.DoFormShow(nullptr);   // nobody listens yet: nothing happens
    controller.OnNotify = [&](int32_t code, TDLLBaseController* sender) {
        EXPECT_EQ(sender, &controller);
        codes.push_back(code);
    };
    int action = 0;
    controller.DoAfterCreate();
    controller.DoFormShow(nullptr);
    controller.DoFormHide(nullptr);
    controller.DoFormClose(nullptr, action);
    controller.DoFormDestroy(nullptr);
    EXPECT_EQ(codes, (std::vector<int32_t>{0x100, 0x110, 0x120, 0x140, 0x130}));
    EXPECT_EQ(action, 0);
}

TEST_F(Controller, HostWithoutVersionMemberGetsTheAutomationErrorAppended) {
    controller.HostObject = Host(std::make_shared<NoVersionHost>());
    try {
        controller.OpenForm(StartParams());
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), "TamberWorkCenter version too old,please update!"
                               "Method 'DependencyVersion' not supported by automation object");
    }
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    EXPECT_EQ(dialogs->Shown[0].Text, "TamberWorkCenter version too old,please update!");
}

TEST_F(Controller, SetModeMapsModesAndOnlyClearsRights) {
    Open();
    struct Row { int32_t mode; uint8_t programMode; bool takesData; } rows[] = {
        {1, 1, false}, {2, 2, false}, {3, 3, false}, {4, 4, false}, {5, 5, false}, {7, 7, true}, {8, 8, true},
        {10, 9, true}, {12, 10, false}, {13, 11, false}, {0, 0, false}, {6, 0, false}, {9, 0, false},
        {11, 0, false}, {14, 0, false}, {-1, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("mode " + std::to_string(r.mode));
        controller.Form->ModeData = plat::Variant();
        ASSERT_EQ(controller.SetMode(r.mode, 0xFF, "data"), 0);
        EXPECT_EQ(controller.Form->ProgramMode, r.programMode) << "mode " << r.mode;
        EXPECT_EQ(controller.Form->ModeData.IsEmpty(), !r.takesData) << "mode " << r.mode;
        EXPECT_EQ(controller.Form->Rights, 511) << "all functions permitted leaves the rights";
    }
    controller.SetMode(10, 0, "x");
    EXPECT_EQ(controller.Form->Rights & 0xFF, 0);
    EXPECT_EQ(controller.Form->Rights, 256);   // bits above the mapped ones stay
}

TEST_F(Controller, HostFunctionBitsMapOntoWindowRights) {
    // host: add, delete, query, edit; window: add, edit, query, delete
    EXPECT_EQ(TDLLMTCtrller::ApplyFunctions(511, 0xFF & ~0x02), 511 & ~0x08);   // no delete
    EXPECT_EQ(TDLLMTCtrller::ApplyFunctions(511, 0xFF & ~0x08), 511 & ~0x02);   // no edit
    EXPECT_EQ(TDLLMTCtrller::ApplyFunctions(511, 0xFF & ~0x04), 511 & ~0x04);
    EXPECT_EQ(TDLLMTCtrller::ApplyFunctions(0x01, 0xFF), 0x01);                // never sets a bit
}

TEST_F(Controller, SetConditionShapes) {
    EXPECT_EQ(controller.SetCondition(plat::VarArrayOf({{}, "x"})), -1);   // no window
    Open();
    EXPECT_EQ(controller.SetCondition(plat::VarArrayOf({"ignored", "TC001='220'"})), 0);
    EXPECT_EQ(controller.Form->ConditionText, "TC001='220'");
    EXPECT_EQ(controller.SetCondition(plat::VarArrayOf({{}, plat::VarArrayOf({"key", int32_t(5)})})), 0);
    EXPECT_EQ(controller.Form->ConditionText, "key");
    EXPECT_EQ(controller.Form->ConditionData.ToInt(), 5);
    EXPECT_EQ(controller.SetCondition("scalar"), -1);
    EXPECT_EQ(controller.SetCondition(plat::Variant::Null()), -1);
    EXPECT_EQ(controller.SetCondition(plat::VarArrayOf({"only one"})), -1);          // element 1 missing
    EXPECT_EQ(controller.SetCondition(plat::VarArrayOf({{}, plat::VarArrayOf({"k"})})), -1);
}

TEST_F(Controller, OperationsWithoutAWindowAnswerEmpty) {
    std::u16string text = u"kept";
    controller.GetFormText(text);
    EXPECT_EQ(text, u"kept");
    EXPECT_EQ(controller.IsFormVisible(), 0);
    EXPECT_EQ(controller.GetFormHandle(), 0);
    plat::Variant info("kept");
    EXPECT_EQ(controller.GetSessionInfo(info), -1);
    EXPECT_EQ(info.ToString(), "kept");
    controller.ShowModalForm(info);
    controller.CloseForm(0);
    controller.SetFormVisible(1);
    EXPECT_EQ(controller.IsFormNil(), 1);
}

TEST_F(Controller, MissingClassReferencesRaiseTheInternalError) {
    vcl::TClass saved = frmRadicalClass;
    frmRadicalClass = nullptr;
    controller.HostObject = Host(std::make_shared<VersionHost>(8000));
    try {
        controller.OpenForm(StartParams());
        ADD_FAILURE() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), "KVX DLL Internal Error :\rNot Assign \"frmRadicalClass\" varible");
    }
    frmRadicalClass = saved;
    EXPECT_TRUE(dialogs->Shown.empty());   // raised, not shown

    TControllerFactory savedController = DLLControllerClass;
    DLLControllerClass = nullptr;
    try {
        delete GetController();
        ADD_FAILURE() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), "KVX DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    }
    DLLControllerClass = savedController;
}

TEST(ProgramWindow, ProgramIdComesFromTheModuleFileName) {
    EXPECT_EQ(TfrmRadical::ProgramIDFromFileName("/opt/tamber/C_PKG/ORTK41C.so"), "ORTK41");
    EXPECT_EQ(TfrmRadical::ProgramIDFromFileName("ORTK41C.dll"), "ORTK41");
    EXPECT_EQ(TfrmRadical::ProgramIDFromFileName("copi01c.so"), "COPI01");
    EXPECT_EQ(TfrmRadical::ProgramIDFromFileName("D:\\app\\C_PKG\\PURI07C.DLL"), "PURI07");
    EXPECT_EQ(TfrmRadical::ProgramIDFromFileName("ABCDEF.so"), "");
    EXPECT_EQ(TfrmRadical::ProgramIDFromFileName(""), "");
}

TEST(ProgramWindow, HostedUnlessTheModuleIsAnExecutable) {
    plat::ScopedScriptedDialogs dialogs;
    auto* form = vcl::TComponent::Create<TfrmORTK41>(nullptr);   // this test process is named as a host
    EXPECT_TRUE(form->IsHosted());
    EXPECT_TRUE(form->ModuleFileName.empty());
    EXPECT_EQ(form->Rights, 511);   // untouched by any host
    EXPECT_EQ(form->ProgramMode, 0);
    EXPECT_TRUE(form->ReturnValue.IsEmpty());
    EXPECT_EQ(form->DataModule->ClassName(), "TdmORTK41");
    EXPECT_EQ(form->UserRights, TfrmRadical::kInitialUserRights);
    EXPECT_FALSE(form->HasUserRight(15));
    EXPECT_TRUE(form->HasUserRight(22));
    form->ModuleFileName = "/opt/tamber/ORTK41.EXE";
    EXPECT_FALSE(form->IsHosted());
    form->ModuleFileName = "/opt/tamber/ortk41.exe";
    EXPECT_FALSE(form->IsHosted());
    form->ModuleFileName = "/opt/tamber/ORTK41C.so";
    EXPECT_TRUE(form->IsHosted());
    form->Free();
    EXPECT_TRUE(dialogs->Shown.empty());
}

TEST(ProgramWindow, StartWithAShortParameterArrayStopsWithE000038) {
    plat::ScopedScriptedDialogs dialogs;
    auto* form = vcl::TComponent::Create<TfrmORTK41>(nullptr);
    form->ModuleFileName = "/opt/tamber/ORTK41C.so";
    EXPECT_FALSE(form->StartProgram(plat::VarArrayOf({"KV", "PRTest65", "PRTest65"})));
    EXPECT_EQ(form->Brokers->UserID, "");   // nothing read from the short array
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    EXPECT_EQ(dialogs->Shown[0].Type, plat::MsgDlgType::Error);
    form->Free();
}

TEST(ProgramWindow, StartFillsTheBrokerIdentityAndKeepsLaunchData) {
    ortktest::DemoInstallation install;
    plat::ScopedScriptedDialogs dialogs;
    auto* form = vcl::TComponent::Create<TfrmORTK41>(nullptr);
    form->ModuleFileName = "/opt/tamber/ORTK41C.so";
    ASSERT_TRUE(form->StartProgram(plat::VarArrayOf({"KV", "PRTest65", "PRTest65", int32_t(4711), "launch"})));
    EXPECT_EQ(form->Brokers->UserID, "KV");
    EXPECT_EQ(form->Brokers->CompanyID, "PRTest65");
    EXPECT_EQ(form->Brokers->DatabaseName, "PRTest65");
    EXPECT_EQ(form->Brokers->ProgramCode, "ORTK41");
    EXPECT_EQ(form->DatabaseName, "PRTest65");
    EXPECT_EQ(form->HostWindow, 4711);
    EXPECT_EQ(form->LaunchParam.ToString(), "launch");
    EXPECT_FALSE(form->Visible());
    form->Free();
}
