// The base form chain: the rights string, the start-up with its order of
// effects and its failures, the stand-alone start, help topics, function
// keys and host key messages, Enter, the lookup parameter exchange, the
// disabled glyphs of buttons and the dialog base.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Buttons.h"
#include "ClassRegistry.h"
#include "DBClient.h"
#include "FormTestSupport.h"
#include "Grids.h"
#include "StdCtrls.h"
#include "controls/KvDBGrid.h"
#include "data/BaseCD.h"
#include "forms/BaseCF.h"
#include "forms/KVDialog.h"
#include "forms/RadicalCF.h"
#include "lang/CodeConverter.h"
#include "KvCtrls.h"
#include "controls/SelectPnl.h"
#include "Dispatch.h"

#include <QAction>
#include <QPaintEvent>
#include <QWidget>
#include <QToolButton>

using ::testing::HasSubstr;

using formtest::DemoWorld;
using formtest::Pump;

namespace {

uint64_t Elements(std::initializer_list<int> elements) {
    uint64_t set = 0;
    for (int e : elements) set |= 1ull << e;
    return set;
}
constexpr uint64_t kBase = 0x7FFF;   // 0..14

// A data module whose connection names the demo's application server.
class TdmDemo : public TdmBase {
    VCL_DECLARE_CLASS(TdmDemo)
public:
    explicit TdmDemo(vcl::TComponent* owner) : TdmBase(owner) {
        MIDAS->ServerName = "SOSRV01S.Class1";
        cdsMain->SetProviderName("pvdMain");
    }
};
const vcl::TClassInfo& TdmDemo::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TdmDemo>("TdmDemo", TdmBase::StaticClass());
    return info;
}

// A program window that writes down what the start does, in order.
class RecordingWindow : public TfrmBase {
public:
    explicit RecordingWindow(vcl::TComponent* owner) : TfrmBase(owner) {}
    vcl::TClass DataModuleClass() const override { return &TdmDemo::StaticClass(); }
    std::vector<std::string> log;
    void LoadClientSettings() override {
        TfrmBase::LoadClientSettings();
        log.push_back("settings user=" + Brokers->UserID + (Visible() ? " shown" : " hidden"));
    }
    void LoadUserRights() override {
        log.push_back("rights sys001=" + Brokers->GetSysParam("SYS001") + (Converted ? " converted" : ""));
        TfrmBase::LoadUserRights();
    }
    void PrepareForm() override {
        log.push_back(std::string("prepare ") + (Converted ? "converted " : "") + "caption=" + Caption() +
                      " host=" + std::to_string(HostWindow));
        TfrmBase::PrepareForm();
    }
};

}  // namespace

// ---- the rights string ----

TEST(RightsString, ItemsAndCharactersGiveTheirElements) {
    struct Row {
        const char* name;
        const char* power;
        uint64_t expected;
    } rows[] = {
        {"empty string keeps 15..29", "", TfrmRadical::kNoPowerRights},
        {"one item: 0..14 and 37", "ORTK41", kBase | Elements({37})},
        {"full rights", "ORTK41,Y,N,YYYYYYYYYYYY,YYYYYYY,YYYYYYY",
         kBase | Elements({30, 32, 33, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55,
                           56, 57, 58, 59})},
        {"lower-case y in items 1 and 2", "P,y,y", kBase | Elements({30, 31, 37})},
        {"R in characters 7 and 8 is read-only", "P,N,N,NNNNNNRR", kBase | Elements({34, 35, 37})},
        {"short item 3", "P,N,N,YYY", kBase | Elements({37, 38, 39})},
        {"characters 9 to 12", "P,N,N,NNNNNNNNYNYN", kBase | Elements({36, 37, 44})},
        {"lower-case y in item 3 counts nothing", "P,N,N,yyyyyyyyyyyy", kBase | Elements({37})},
        {"items 4 and 5 partly", "P,N,N,,YNY,NNY", kBase | Elements({37, 46, 48, 55})},
    };
    for (const Row& r : rows) EXPECT_EQ(TfrmRadical::ParseRights(r.power), r.expected) << r.name;
}

TEST(RightsString, StartTakesTheUsersRightsAndWarnsOfAnEmptyString) {
    DemoWorld world;
    auto* guest = world.Start<RecordingWindow>("GUEST");
    ASSERT_NE(guest, nullptr);
    EXPECT_EQ(guest->UserRights, kBase | Elements({31, 37}));
    EXPECT_TRUE(world.dialogs->Shown.empty());
    guest->Free();

    auto* nopower = world.Start<RecordingWindow>("NOPOWER");
    ASSERT_NE(nopower, nullptr);   // the start goes on with 15..29
    EXPECT_EQ(nopower->UserRights, TfrmRadical::kNoPowerRights);
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("您没有此作业的使用权限"));
    nopower->Free();
}

// ---- start-up ----

TEST(StartProgram, EffectsComeInOrder) {
    DemoWorld world;
    auto* form = world.Create<RecordingWindow>();
    form->Show();
    ASSERT_TRUE(form->StartProgram(plat::VarArrayOf({"KV", "PRTest65", "PRTest65", int32_t(4711), "launch"})));
    ASSERT_EQ(form->log.size(), 3u);
    EXPECT_EQ(form->log[0], "settings user= hidden");          // hidden first, identity after the settings
    EXPECT_EQ(form->log[1], "rights sys001=1");                // system parameters before the rights
    const std::string caption = form->Brokers->GetProgramTitle() + "[华东演示股份有限公司]";
    EXPECT_EQ(form->log[2], "prepare converted caption=" + caption + " host=0");   // host window last
    EXPECT_EQ(form->HostWindow, 4711);
    EXPECT_EQ(form->LaunchParam.ToString(), "launch");
    EXPECT_EQ(form->DateFormatKind, 1);
    EXPECT_EQ(form->DateSeparator, "/");
    EXPECT_EQ(form->DataModule->DateSeparator, "/");
    EXPECT_EQ(form->SqlType, 1);
    EXPECT_EQ(form->Brokers->UserGroup, "ADMIN");
    EXPECT_TRUE(world.dialogs->Shown.empty());
    form->Free();
}

TEST(StartProgram, ShortParameterArrayStopsBeforeReadingIt) {
    DemoWorld world;
    auto* form = world.Create<RecordingWindow>();
    EXPECT_FALSE(form->StartProgram(plat::VarArrayOf({"KV", "PRTest65", "PRTest65", int32_t(1)})));
    EXPECT_TRUE(form->log.empty());             // nothing after the check ran
    EXPECT_EQ(form->Brokers->UserID, "");
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("作业程序启动参数错误"));
    form->Free();
}

// A refused log-on used to pass in silence with the rights of creation.
TEST(StartProgram, RefusedLogOnFailsTheStartAndDropsAllRights) {
    DemoWorld world;
    auto* form = world.Create<RecordingWindow>();
    EXPECT_FALSE(form->StartProgram(plat::VarArrayOf({"INTRUDER", "PRTest65", "PRTest65", int32_t(0), {}})));
    EXPECT_EQ(form->UserRights, 0u);
    ASSERT_EQ(form->log.size(), 2u);            // settings and rights; never prepared
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(world.dialogs->Shown[0].Type, plat::MsgDlgType::Error);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("您没有此作业的使用权限"));
    form->Free();
}

// ---- stand-alone start ----

namespace {
// A window whose module is an executable: it starts on its own at creation.
class StandAloneWindow : public RecordingWindow {
public:
    explicit StandAloneWindow(vcl::TComponent* owner) : RecordingWindow(owner) { ModuleFileName = "/tmp/ORTK41C.exe"; }
};
}  // namespace

TEST(StandAlone, SignsOnThroughTheManagerWithTheTestIdentity) {
    DemoWorld world;
    plat::Variant host = world.host;
    plat::RegisterClassFactory("TamberWorkCenter.Manager", [host] { return host.ToDispatch(); });
    auto* form = vcl::TComponent::Create<StandAloneWindow>(nullptr);
    plat::UnregisterClassFactory("TamberWorkCenter.Manager");
    EXPECT_FALSE(form->IsHosted());
    EXPECT_FALSE(form->CloseOnPaint);
    EXPECT_EQ(form->Brokers->UserID, "KV");
    EXPECT_EQ(form->Brokers->ProgramCode, "ORTK41");
    EXPECT_TRUE(form->LaunchParam.IsArray());
    form->Show();
    Pump();
    EXPECT_TRUE(form->Visible());
    form->Free();
}

TEST(StandAlone, WithoutAManagerShowsErrorAndClosesAtFirstPaint) {
    DemoWorld world;
    auto* form = vcl::TComponent::Create<StandAloneWindow>(nullptr);
    EXPECT_TRUE(form->CloseOnPaint);
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(world.dialogs->Shown[0].Caption, "Error!!");
    EXPECT_EQ(world.dialogs->Shown[0].Type, plat::MsgDlgType::Error);
    form->Show();
    for (int i = 0; i < 20 && form->Visible(); ++i) Pump();
    EXPECT_FALSE(form->Visible());
    form->Free();
}

// ---- keys, help, lookup parameters ----

namespace {
// A window with an edit bound to a "cdsMain" field, a second edit, a data
// grid and a string grid; it writes down its function key calls.
class KeyWindow : public TfrmRadical {
public:
    explicit KeyWindow(vcl::TComponent* owner) : TfrmRadical(owner) {
        SetBounds(0, 0, 500, 400);
        cds = vcl::TComponent::Create<vcl::TClientDataSet>(this);
        cds->SetName("cdsMain");
        cds->AddField<vcl::TStringField>("TC004", 10);
        cds->AddField<vcl::TStringField>("TD013", 8);
        cds->CreateDataSet();
        cds->Append();
        cds->Post();
        source = vcl::TComponent::Create<vcl::TDataSource>(this);
        source->SetDataSet(cds);
        edA = Make<vcl::TEdit>("edA", 10);
        edA->SetDataSource(source);
        edA->SetDataField("TC004");
        edB = Make<vcl::TEdit>("edB", 40);
        grid = Make<TKvDBGrid>("gdMain", 70);
        grid->SetDataSource(source);
        strings = Make<vcl::TStringGrid>("StringGrid1", 200);
    }
    template <class T>
    T* Make(const char* name, int top) {
        T* c = vcl::TComponent::Create<T>(this);
        c->SetName(name);
        c->SetParent(this);
        c->SetBounds(10, top, 200, c->template Is<vcl::TEdit>() ? 24 : 120);
        return c;
    }
    void DoKeyF2(uint16_t& key, vcl::TWinControl* control) override { Note("F2", key, control); }
    void DoKeyF3(uint16_t& key, vcl::TWinControl* control) override { Note("F3", key, control); }
    void DoKeyF4(uint16_t& key, vcl::TWinControl* control) override { Note("F4", key, control); }
    void DoKeyF11(uint16_t& key, vcl::TWinControl* control) override { Note("F11", key, control); }
    void Note(const std::string& what, uint16_t key, vcl::TWinControl* control) {
        calls.push_back(what + ":" + std::to_string(key) + ":" + (control ? control->Name() : "-") + ":" +
                        std::to_string(ParamState));
        if (ParamState == 1) LookupData = "prepared by " + what;
        if (ParamState == 2) returned = LookupReturn.ToString();
    }
    vcl::TClientDataSet* cds;
    vcl::TDataSource* source;
    vcl::TEdit *edA, *edB;
    TKvDBGrid* grid;
    vcl::TStringGrid* strings;
    std::vector<std::string> calls;
    std::string returned;
};
}  // namespace

TEST(Help, TopicBaseFollowsTheFourthCharacter) {
    EXPECT_EQ(TfrmRadical::HelpBase("COPI01"), "1101");
    EXPECT_EQ(TfrmRadical::HelpBase("COPQ01"), "1401");
    EXPECT_EQ(TfrmRadical::HelpBase("ACRA02"), "6402");
    EXPECT_EQ(TfrmRadical::HelpBase("PURM05"), "8405");
    EXPECT_EQ(TfrmRadical::HelpBase("ORTK41"), "");   // no help for "K"
    EXPECT_EQ(TfrmRadical::HelpBase("ORT"), "");
}

TEST(Help, F1AsksTheHostForTheTopicOfTheActiveControl) {
    DemoWorld world;
    auto* form = world.Create<KeyWindow>();
    form->ModuleFileName = "/opt/tamber/C_PKG/COPI01C.so";
    form->Show();
    form->edA->SetFocus();
    formtest::Press(form, Qt::Key_F1);
    form->edB->SetFocus();
    formtest::Press(form, Qt::Key_F1);
    form->grid->SetFocus();
    form->grid->SetSelectedField(form->cds->FieldByName("TD013"));
    formtest::Press(form, Qt::Key_F1);
    using Topic = std::pair<std::string, std::string>;
    EXPECT_EQ(world.shellDialogs.HelpTopics,
              (std::vector<Topic>{{"COP", "11011004"}, {"COP", "11010000"}, {"COP", "11012013"}}));

    form->ModuleFileName = "/opt/tamber/C_PKG/ORTK41C.so";   // fourth character "K": no help
    formtest::Press(form, Qt::Key_F1);
    EXPECT_EQ(world.shellDialogs.HelpTopics.size(), 3u);
    form->Free();
}

TEST(Keys, FunctionKeysAndHostMessagesReachTheirOperations) {
    DemoWorld world;
    auto* form = world.Create<KeyWindow>();
    form->Show();
    form->edB->SetFocus();
    formtest::Press(form, Qt::Key_F2);
    formtest::Press(form, Qt::Key_F3);
    formtest::Press(form, Qt::Key_F4);
    formtest::Press(form, Qt::Key_F11);
    form->Perform(WM_HOST_KEYF2, 0, form->edA->AsParam());
    form->Perform(WM_HOST_KEYF11, 0, form->edA->AsParam());
    EXPECT_EQ(form->calls, (std::vector<std::string>{"F2:113:edB:0", "F3:114:edB:0", "F4:115:edB:0", "F11:122:edB:0",
                                                     "F2:113:edA:0", "F11:122:edA:0"}));
    form->Free();
}

TEST(Keys, EnterMovesOnInAnEditButNotInAGrid) {
    DemoWorld world;
    auto* form = world.Create<KeyWindow>();
    form->Show();
    form->edA->SetFocus();
    formtest::Press(form, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(form->ActiveControl(), form->edB);
    form->strings->SetFocus();
    formtest::Press(form, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(form->ActiveControl(), form->strings);
    form->grid->SetFocus();
    formtest::Press(form, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(form->ActiveControl(), form->grid);
    form->Free();
}

TEST(LookupParameters, ParamStateFramesTheExchange) {
    DemoWorld world;
    auto* form = world.Create<KeyWindow>();
    form->DateFormatKind = 4;
    form->DateSeparator = "-";
    form->UserRights = Elements({34});
    form->SetCaption("订单追踪");
    plat::Variant param;
    form->GetBaseClassParam(form->edA, param);
    ASSERT_TRUE(param.IsArray());
    EXPECT_EQ(param[0].ToString(), "prepared by F2");
    EXPECT_EQ(param[1].ToInt(), 4);
    EXPECT_EQ(param[2].ToString(), "-");
    EXPECT_TRUE(param[3].ToBool());    // group A: read-only counts as visible
    EXPECT_FALSE(param[4].ToBool());
    EXPECT_EQ(param[8].ToString(), "订单追踪");
    // The two conversions are call-backs into the window's converter, not
    // the numbers of its modes.
    ASSERT_TRUE(param[6].IsDispatch());
    ASSERT_TRUE(param[7].IsDispatch());
    form->KvConverter()->SetCodePages("936", "950", "936");
    EXPECT_EQ(plat::CallMethod(param[6], "Convert", {plat::ByVal(std::string("订单"))}).ToString(),
              form->ConvertDisplayText(std::string("订单")).ToString());
    EXPECT_EQ(plat::CallMethod(param[6], "Convert", {plat::ByVal(std::string("订单"))}).ToString(), "訂單");
    EXPECT_EQ(plat::CallMethod(param[7], "Convert", {plat::ByVal(std::string("訂單"))}).ToString(), "订单");
    form->SetReturn(form->edB, "C001");
    EXPECT_EQ(form->calls, (std::vector<std::string>{"F2:113:edA:1", "F2:113:edB:2"}));
    EXPECT_EQ(form->returned, "C001");
    EXPECT_EQ(form->ParamState, 0);
    plat::Variant kept = param[6];
    form->Free();
    // A lookup window that keeps the call-back past the window gets the text back unchanged.
    EXPECT_EQ(plat::CallMethod(kept, "Convert", {plat::ByVal(std::string("订单"))}).ToString(), "订单");
}

// ---- disabled glyphs ----

namespace {
class GlyphWindow : public TKVForm {
public:
    explicit GlyphWindow(vcl::TComponent* owner) : TKVForm(owner) {
        withGlyph = vcl::TComponent::Create<vcl::TSpeedButton>(this);
        // 4x3 on the transparent colour (white): one dark pixel and one
        // light pixel below a transparent one.
        vcl::TBitmap glyph(4, 3);
        glyph.Fill(vcl::clWhite);
        glyph.SetPixel(2, 1, vcl::clBlack);
        glyph.SetPixel(3, 1, vcl::RGB(250, 250, 250));
        withGlyph->Glyph()->Assign(glyph);
        noGlyph = vcl::TComponent::Create<vcl::TSpeedButton>(this);
        buttonEdit = vcl::TComponent::Create<vcl::TKvBtnEdit>(this);
        buttonEdit->SetParent(this);
        panel = vcl::TComponent::Create<TSelectPanel>(this);
        panel->SetParent(this);
    }
    vcl::TSpeedButton *withGlyph, *noGlyph;
    vcl::TKvBtnEdit* buttonEdit;
    TSelectPanel* panel;
};

QImage Opaque(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }
}  // namespace

TEST(DisabledGlyph, OneImageGlyphsGetAnEmbossedSecondImage) {
    auto* form = vcl::TComponent::Create<GlyphWindow>(nullptr);
    EXPECT_EQ(form->withGlyph->NumGlyphs(), 2);
    EXPECT_EQ(form->withGlyph->Glyph()->Width(), 8);
    EXPECT_EQ(form->noGlyph->NumGlyphs(), 1);   // nothing to build from
    const vcl::TBitmap& strip = *form->withGlyph->Glyph();
    vcl::TColor shadow = vcl::QColorToColor(vcl::ColorToQColor(vcl::clBtnShadow));
    vcl::TColor face = vcl::QColorToColor(vcl::ColorToQColor(vcl::clBtnFace));
    EXPECT_EQ(strip.Pixel(4 + 2, 1), shadow);   // the dark pixel
    EXPECT_EQ(strip.Pixel(4 + 3, 1), shadow);   // light, but next to the transparent colour
    EXPECT_EQ(strip.Pixel(4 + 0, 0), face);     // transparent pixels become button face
    EXPECT_EQ(strip.Pixel(2, 1), vcl::clBlack);   // the first image stays
    form->Free();
}

// Button edits and the lookup buttons of selection panels show the suite's
// glyphs by number; they used to get no disabled image of their own.
TEST(DisabledGlyph, ButtonEditsAndSelectionPanelsGetTheEmbossedLookToo) {
    auto* form = vcl::TComponent::Create<GlyphWindow>(nullptr);
    const QImage expected = Opaque(DisabledGlyphImage(vcl::StockGlyph(8)));
    ASSERT_FALSE(expected.isNull());
    const vcl::TColor shadow = vcl::QColorToColor(vcl::ColorToQColor(vcl::clBtnShadow));
    int shadowed = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) shadowed += vcl::QColorToColor(expected.pixelColor(x, y)) == shadow;
    EXPECT_GT(shadowed, 10) << "the lens and handle are embossed";

    QIcon edit = form->buttonEdit->ButtonAction()->icon();
    EXPECT_EQ(Opaque(edit.pixmap(QSize(16, 16), QIcon::Disabled).toImage()), expected);
    EXPECT_NE(Opaque(edit.pixmap(QSize(16, 16), QIcon::Normal).toImage()), expected);
    for (vcl::TGSpeedButton* button : {static_cast<vcl::TGSpeedButton*>(form->panel->BeginButton),
                                       static_cast<vcl::TGSpeedButton*>(form->panel->FinalButton)}) {
        QIcon icon = button->Button()->icon();
        EXPECT_EQ(Opaque(icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage()), expected) << button->Name();
    }
    QIcon clear = form->panel->ClearButton->Button()->icon();
    EXPECT_EQ(Opaque(clear.pixmap(QSize(16, 16), QIcon::Disabled).toImage()),
              Opaque(DisabledGlyphImage(vcl::StockGlyph(4))));
    form->Free();
}

// ---- the dialog base ----

namespace {
class ProbeDialog : public TfrmKVDialog {
public:
    explicit ProbeDialog(vcl::TComponent* owner) : TfrmKVDialog(owner) {
        edPath = vcl::TComponent::Create<vcl::TEdit>(this);
        edPath->SetName("edPath");
        edPath->SetParent(this);
        memo = vcl::TComponent::Create<vcl::TMemo>(this);
        memo->SetName("memo");
        memo->SetParent(this);
        memo->SetTop(40);
    }
    void DoKeyF2(uint16_t& key, vcl::TWinControl* control) override {
        seen.push_back(std::to_string(key) + ":" + (control ? control->Name() : "-"));
    }
    vcl::TEdit* edPath;
    vcl::TMemo* memo;
    std::vector<std::string> seen;
};
}  // namespace

TEST(DialogBase, TakesTheOwnersBrokerDateFormatAndCaption) {
    DemoWorld world;
    auto* owner = world.Start<RecordingWindow>();
    ASSERT_NE(owner, nullptr);
    auto* dialog = vcl::TComponent::Create<ProbeDialog>(owner);
    EXPECT_EQ(dialog->Brokers, owner->Brokers);
    EXPECT_EQ(dialog->DateSeparator, "/");
    EXPECT_EQ(dialog->Caption(), owner->Caption());
    EXPECT_TRUE(dialog->Converted);
    dialog->Show();
    dialog->edPath->SetFocus();
    formtest::Press(dialog, Qt::Key_F2);
    dialog->Perform(WM_HOST_KEYF2, 0, dialog->edPath->AsParam());
    EXPECT_EQ(dialog->seen, (std::vector<std::string>{"113:edPath", "113:edPath"}));
    formtest::Press(dialog, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(dialog->ActiveControl(), dialog->memo);
    formtest::Press(dialog, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(dialog->ActiveControl(), dialog->memo);   // a memo keeps Enter
    owner->Free();
}

// ---- the host's window ----

namespace {
class CountingHost : public QWidget {
public:
    int painted = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++painted; }
};
}  // namespace

// Moving the window used to leave the host's window unpainted behind it.
TEST(HostWindow, MovingTheWindowRepaintsTheHostAndTheSignOnIsKept) {
    DemoWorld world;
    CountingHost host;
    host.resize(200, 150);
    host.show();
    Pump();
    auto* form = world.Create<RecordingWindow>();
    ASSERT_TRUE(form->StartProgram(plat::VarArrayOf({"KV  ", "PRTest65", "PRTest65",
                                                     int64_t(host.winId()), plat::Variant()})));
    EXPECT_EQ(form->HostWindow, static_cast<intptr_t>(host.winId()));
    EXPECT_EQ(form->SignOnText, "KV");
    form->Show();
    Pump();
    host.painted = 0;
    form->SetLeft(form->Left() + 40);
    Pump();
    EXPECT_GT(host.painted, 0);
    form->Free();
}
