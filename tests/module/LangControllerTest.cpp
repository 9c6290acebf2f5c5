// Language packages: where they are found, how property paths reach the
// texts of a window, the exclusion list, the open/close and load events,
// failures, message lookup, packages in GB2312 and Big5, and a window
// translated from the packages of its class chain.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TempEnvironment.h"
#include "TextFile.h"
#include "forms/KVForm.h"
#include "lang/CodeConverter.h"
#include "lang/LanguageController.h"

using ortktest::ScopedEnv;
using ortktest::TempFolder;

namespace {

// A client installation in <temp>/app/ with the interface code page `ui`.
class LangInstallation {
public:
    explicit LangInstallation(const std::string& ui = "950")
        : drive_("ORTK_DRIVE_D", dir_.Path()), registry_("ORTK_REGISTRY_FILE", dir_.Path() + "registry.reg"),
          acp_("ORTK_ACP", "936") {
        dir_.Write("registry.reg",
                   "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\r\n"
                   "\"ClientPath\"=\"D:\\\\app\"\r\n");
        dir_.Write("app/CorvaneC.ini", "[CodePage]\r\nUICodePage=" + ui + "\r\n");
    }
    std::string App() const { return dir_.Path() + "app/"; }
    // Writes a package of the language folder `language` (bytes as given).
    std::string Package(const std::string& className, const std::string& bytes, const std::string& language = "CHT") {
        return dir_.Write("app/MultiLanguage/" + language + "/" + className + ".Lng", bytes);
    }

private:
    TempFolder dir_;
    ScopedEnv drive_, registry_, acp_;
};

std::string Utf8Package(const std::string& body) { return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body; }

// A window with a label, a memo, a combo box and a label owned by the first
// label (a component that owns components).
class PackageWindow : public testing::Test {
protected:
    vcl::TForm* form = vcl::TComponent::Create<vcl::TForm>(nullptr);
    TKvLangController* lang = vcl::TComponent::Create<TKvLangController>(form);
    vcl::TLabel* label = Make<vcl::TLabel>(form, "lblOrder");
    vcl::TLabel* inner = Make<vcl::TLabel>(label, "lblInner");
    vcl::TMemo* memo = Make<vcl::TMemo>(form, "memolng");
    vcl::TComboBox* combo = Make<vcl::TComboBox>(form, "cboKind");

    template <class T>
    T* Make(vcl::TComponent* owner, const std::string& name) {
        T* c = vcl::TComponent::Create<T>(owner);
        c->SetName(name);
        c->SetParent(form);
        return c;
    }
    void SetUp() override {
        form->SetName("frmTest");
        label->SetCaption("订单");
        inner->SetCaption("内层");
        memo->Lines()->SetText("第一行\n");
        combo->Items()->SetText("全部\n结束\n未结束\n");
        combo->SetItemIndex(1);
    }
    void TearDown() override { form->Free(); }

    // Activates the controller on an in-memory package and translates the form.
    void Translate(const std::string& xml) {
        lang->XML().SetText(xml);
        lang->SetActive(true);
        lang->TranslateComponent(form);
    }
};

}  // namespace

// ---- package folder and file ----

TEST(LangPackageFolder, InterfaceCodePageChoosesTheLanguageFolder) {
    {
        LangInstallation install("950");
        install.Package("TfrmBase", Utf8Package("<frmBase/>"));
        EXPECT_EQ(LanguageFolder(TDesignType::dtClient), install.App() + "MultiLanguage/CHT/");
        auto* lang = vcl::TComponent::Create<TKvLangController>(nullptr);
        lang->SetLangPackageName("TfrmBase");
        EXPECT_EQ(lang->FileName(), install.App() + "MultiLanguage/CHT/TfrmBase.Lng");
        lang->SetActive(true);
        EXPECT_TRUE(lang->Active());
        // A new name deactivates.
        lang->SetLangPackageName("TfrmSingle");
        EXPECT_FALSE(lang->Active());
        lang->Free();
    }
    {
        LangInstallation install("437");
        install.Package("TfrmBase", Utf8Package("<frmBase/>"), "ENG");
        EXPECT_EQ(LanguageFolder(TDesignType::dtClient), install.App() + "MultiLanguage/ENG/");
    }
    {
        // 936 has the folder name CHS, but no such folder exists.
        LangInstallation install("936");
        EXPECT_EQ(LanguageFolder(TDesignType::dtClient), "");
    }
}

// A missing package folder means no package, also when the folder the
// program runs in holds one with the class's name.
TEST(LangPackageFolder, MissingFolderNeverReadsTheWorkingDirectory) {
    LangInstallation install("936");   // no MultiLanguage/CHS folder
    TempFolder cwd;
    cwd.Write("TfrmBase.Lng", Utf8Package("<frmBase><frmBase Msg=\"from the working directory\"/></frmBase>"));
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(cwd.Path());
    auto* lang = vcl::TComponent::Create<TKvLangController>(nullptr);
    lang->SetLangPackageName("TfrmBase");
    EXPECT_EQ(lang->FileName(), "");
    EXPECT_THROW(lang->SetActive(true), LanguageControllerError);   // "Cannot Find File"
    EXPECT_FALSE(lang->Active());
    std::string text;
    EXPECT_FALSE(GetLangMessage(TDesignType::dtClient, "TfrmBase", "frmBase", text, "default"));
    EXPECT_EQ(text, "default");
    lang->Free();
    std::filesystem::current_path(previous);
}

// ---- property paths ----

TEST_F(PackageWindow, CaptionsHintsFontsAndIdentifiers) {
    Translate(Utf8Package("<frmTest Caption=\"訂單追蹤\"><lblOrder Caption=\"訂單\" Hint=\"單號\" Font.Name=\" SimSun\" "
                          "Color=\"clRed\" Alignment=\" taCenter \" Width=\"wide\" Nothing=\"x\"/></frmTest>"));
    EXPECT_EQ(form->Caption(), "訂單追蹤");
    EXPECT_EQ(label->Caption(), "訂單");
    EXPECT_EQ(label->Hint(), "單號");
    EXPECT_EQ(label->Font()->Name(), " SimSun");   // a text property keeps its blanks
    EXPECT_EQ(label->Color(), vcl::clRed);
    EXPECT_EQ(label->Alignment(), vcl::TAlignment::taCenter);
    EXPECT_NE(label->Width(), 0);   // "wide" is not a number: skipped
}

TEST_F(PackageWindow, Lines3OnAOneLineMemoAddsTwoEmptyLines) {
    Translate(Utf8Package("<frmTest><memolng Lines_3=\"第四行\"/></frmTest>"));
    ASSERT_EQ(memo->Lines()->Count(), 4);
    EXPECT_EQ(memo->Lines()->Strings(0), "第一行");
    EXPECT_EQ(memo->Lines()->Strings(1), "");
    EXPECT_EQ(memo->Lines()->Strings(2), "");
    EXPECT_EQ(memo->Lines()->Strings(3), "第四行");
}

// Regression: a line index of any size used to append empty lines up to it.
TEST_F(PackageWindow, HugeLineIndexIsRefused) {
    Translate(Utf8Package("<frmTest><memolng Lines_2000000000=\"x\" Lines_99999999999999=\"y\" Lines_0=\"首行\"/></frmTest>"));
    ASSERT_EQ(memo->Lines()->Count(), 1);
    EXPECT_EQ(memo->Lines()->Strings(0), "首行");
}

TEST_F(PackageWindow, Items2ReplacesTheItemAndKeepsTheSelection) {
    Translate(Utf8Package("<frmTest><cboKind Items_2=\"未結束\" Items_0=\"全部\"/></frmTest>"));
    EXPECT_EQ(combo->Items()->Text(), "全部\n结束\n未結束\n");
    EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(PackageWindow, ExcludedComponentStaysButItsOwnComponentsAreTranslated) {
    lang->ExcludeControls().SetText(" LBLORDER \n");
    Translate(Utf8Package("<frmTest><lblOrder Caption=\"訂單\"><lblInner Caption=\"內層\"/></lblOrder></frmTest>"));
    EXPECT_EQ(label->Caption(), "订单");
    EXPECT_EQ(inner->Caption(), "內層");
    // A change of the list reaches the loaded reader at once.
    lang->ExcludeControls().Clear();
    lang->TranslateComponent(form);
    EXPECT_EQ(label->Caption(), "訂單");
}

TEST_F(PackageWindow, FirstElementInDocumentOrderWins) {
    Translate(Utf8Package("<root><frmOther><lblOrder Caption=\"第一\"/></frmOther>"
                          "<frmTest><lblOrder Caption=\"第二\"/></frmTest></root>"));
    EXPECT_EQ(label->Caption(), "第一");
}

TEST_F(PackageWindow, PathsThatLeadNowhereAreSkipped) {
    Translate(Utf8Package("<frmTest><lblOrder Caption.Text=\"a\" Font.Nothing.Name=\"b\" Items_x=\"c\" Font_1=\"d\" "
                          "Columns_3.Caption=\"e\" Caption_1=\"訂\"/><cboKind Items_1.Text=\"f\"/></frmTest>"));
    EXPECT_EQ(label->Font()->Name(), vcl::TFont().Name());
    EXPECT_EQ(combo->Items()->Text(), "全部\n结束\n未结束\n");
    // "name_N" on something that is not a list sets the property by name.
    EXPECT_EQ(label->Caption(), "訂");
}

TEST_F(PackageWindow, ColumnsItemsNodesAndPanelsByIndex) {
    auto* list = Make<vcl::TListView>(form, "lvValues");
    list->Columns()->Add()->SetCaption("单号");
    list->Columns()->Add()->SetCaption("品名");
    list->Items()->Add()->SetCaption("第一");
    list->Items()->Add()->SetCaption("第二");
    auto* tree = Make<vcl::TTreeView>(form, "TreeView1");
    vcl::TTreeNode* root = tree->Items()->Add(nullptr, "0");
    for (int i = 1; i <= 3; ++i) tree->Items()->AddChild(tree->Items()->AddChild(root, std::to_string(2 * i - 1)),
                                                         std::to_string(2 * i));
    auto* status = Make<vcl::TStatusBar>(form, "StatusBar1");
    status->Panels()->Add()->SetText("就绪");
    Translate(Utf8Package("<frmTest>"
                          "<lvValues Columns_1.Caption=\"品名(繁)\" Items_1.Caption=\"第二(繁)\" Columns_7.Caption=\"x\" "
                          "Items.Items_0.Caption=\"y\"/>"
                          "<TreeView1 Items_5.Text=\"節點五\" Items_70.Text=\"z\"/>"
                          "<StatusBar1 Panels.Items_0.Text=\"就緒\" Panels.Items_3.Text=\"w\"/>"
                          "</frmTest>"));
    EXPECT_EQ(list->Columns()->Items(0)->Caption(), "单号");
    EXPECT_EQ(list->Columns()->Items(1)->Caption(), "品名(繁)");
    EXPECT_EQ(list->Items()->Item(0)->Caption(), "第一");
    EXPECT_EQ(list->Items()->Item(1)->Caption(), "第二(繁)");
    // Node 5 by absolute index: 0, 1, 2, 3, 4, 5 depth first.
    EXPECT_EQ(tree->Items()->Item(5)->Text(), "節點五");
    EXPECT_EQ(tree->Items()->Item(6)->Parent(), tree->Items()->Item(5));
    EXPECT_EQ(tree->Items()->Item(6)->Text(), "6");
    EXPECT_EQ(status->Panels()->Items(0)->Text(), "就緒");
}

// ---- controller ----

TEST_F(PackageWindow, EventsFireInOrderWithTheComponentAndItsElement) {
    std::vector<std::string> events;
    lang->BeforeOpen = vcl::TNotifyEvent([&](vcl::TObject*) { events.push_back("BeforeOpen"); });
    lang->AfterOpen = vcl::TNotifyEvent([&](vcl::TObject*) { events.push_back("AfterOpen"); });
    lang->BeforeClose = vcl::TNotifyEvent([&](vcl::TObject*) { events.push_back("BeforeClose"); });
    lang->AfterClose = vcl::TNotifyEvent([&](vcl::TObject*) { events.push_back("AfterClose"); });
    lang->BeforeLoadComponent = TLoadComponentEvent([&](vcl::TComponent* c, pugi::xml_node n) {
        events.push_back("Before " + c->Name() + ":" + n.name() + ":" + label->Caption());
    });
    lang->AfterLoadComponent = TLoadComponentEvent([&](vcl::TComponent* c, pugi::xml_node n) {
        events.push_back("After " + c->Name() + ":" + n.name() + ":" + label->Caption());
    });
    Translate(Utf8Package("<pkg><lblOrder Caption=\"訂單\"/></pkg>"));
    lang->SetActive(false);
    std::vector<std::string> expected{"BeforeOpen",          "AfterOpen",
                                      "Before frmTest:pkg:订单", "After frmTest:pkg:订单",
                                      "Before lblOrder:lblOrder:订单", "After lblOrder:lblOrder:訂單",
                                      "BeforeClose",         "AfterClose"};
    EXPECT_EQ(events, expected);
}

TEST_F(PackageWindow, FailuresRaiseTheirMessages) {
    try {
        lang->SetActive(true);
        FAIL() << "activated without a package";
    } catch (const LanguageControllerError& e) {
        EXPECT_EQ(e.Message(), "Cannot Find File !");
    }
    try {
        lang->Reader();
        FAIL() << "a reader without a package";
    } catch (const LanguageControllerError& e) {
        EXPECT_EQ(e.Message(), "No active LanguageController!");
    }
    lang->XML().SetText("<frmTest><lblOrder Caption=\"x\"></frmTest>");
    try {
        lang->SetActive(true);
        FAIL() << "a package that does not parse was loaded";
    } catch (const LanguageControllerError& e) {
        EXPECT_EQ(e.Message(), "Start-end tags mismatch");
    }
    EXPECT_FALSE(lang->Active());
}

TEST_F(PackageWindow, ActiveFromTheWindowDescriptionIsAppliedWhenLoaded) {
    lang->XML().SetText("<frmTest/>");
    lang->BeginLoading();
    lang->SetActive(true);
    EXPECT_FALSE(lang->Active());
    lang->Loaded();
    EXPECT_TRUE(lang->Active());
    // Changing the in-memory package deactivates.
    lang->XML().Add("<!-- -->");
    EXPECT_FALSE(lang->Active());
}

TEST_F(PackageWindow, PublishedPropertiesByName) {
    vcl::SetPropValue(lang, "LangPackageName", plat::Variant("TfrmBase"));
    EXPECT_EQ(lang->LangPackageName(), "TfrmBase");
    vcl::SetPropValue(lang, "DesignType", plat::Variant("dtServer"));
    EXPECT_EQ(lang->DesignType(), TDesignType::dtServer);
    EXPECT_EQ(vcl::GetObjectProp(lang, "ExcludeControls"), &lang->ExcludeControls());
    EXPECT_TRUE(vcl::IsPublishedProp(lang, "BeforeLoadComponent"));
    EXPECT_FALSE(vcl::GetPropValue(lang, "Active").ToBool());
}

// ---- files in their encodings, messages ----

TEST(LangPackageFiles, Gb2312AndBig5PackagesAreReadInTheirEncodings) {
    LangInstallation install("950");
    std::string gb = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<frm><sQuery Msg=\"\xB2\xE9\xD1\xAF\"/></frm>";
    std::string big5 = "<?xml version='1.0' encoding='big5'?>\n<frm><sQuery Msg=\"\xAC\x64\xB8\xDF\"/></frm>";
    install.Package("TfrmGb", gb);
    install.Package("TfrmBig5", big5);
    std::string text;
    EXPECT_TRUE(GetLangMessage(TDesignType::dtClient, "TfrmGb", "sQuery", text, "%s查询"));
    EXPECT_EQ(text, "查询");
    EXPECT_TRUE(GetLangMessage(TDesignType::dtClient, "TfrmBig5", "sQuery", text, "%s查询"));
    EXPECT_EQ(text, "查詢");
    pugi::xml_document doc;
    EXPECT_THROW(LoadPackage(doc, "<?xml version=\"1.0\" encoding=\"no-such-code\"?><a/>"), LanguageControllerError);
}

TEST(LangPackageFiles, MessageLookupFallsBackToTheDefault) {
    LangInstallation install("950");
    install.Package("TfrmStatus", Utf8Package("<frmStatus><CaptionB Msg=\"批次處理進度\"/><NoMsg Text=\"x\"/></frmStatus>"));
    install.Package("TfrmBroken", "<frmBroken><a></frmBroken>");
    std::string text;
    EXPECT_TRUE(GetLangMessage(TDesignType::dtClient, "TfrmStatus", "CaptionB", text, "批处理进度显示"));
    EXPECT_EQ(text, "批次處理進度");
    EXPECT_FALSE(GetLangMessage(TDesignType::dtClient, "TfrmStatus", "CaptionC", text, "批处理进度显示"));
    EXPECT_EQ(text, "批处理进度显示");
    EXPECT_FALSE(GetLangMessage(TDesignType::dtClient, "TfrmStatus", "NoMsg", text, "d"));
    EXPECT_EQ(text, "d");
    EXPECT_FALSE(GetLangMessage(TDesignType::dtClient, "TfrmBroken", "a", text, "d"));
    EXPECT_FALSE(GetLangMessage(TDesignType::dtClient, "TfrmMissing", "a", text, "d"));
    EXPECT_FALSE(GetLangMessage(TDesignType::dtClient, "TfrmStatus", "bad key[", text, "d"));
    EXPECT_EQ(text, "d");
}

// ---- a window and its class chain ----

namespace {

class TfrmLangChild : public TKVForm {
    VCL_DECLARE_CLASS(TfrmLangChild)
public:
    explicit TfrmLangChild(vcl::TComponent* owner) : TKVForm(owner) {
        label = vcl::TComponent::Create<vcl::TLabel>(this);
        label->SetName("lblTitle");
        label->SetParent(this);
        label->SetCaption("标题");
        label->SetHint("提示");
    }
    vcl::TLabel* label;
};

const vcl::TClassInfo& TfrmLangChild::StaticClass() {
    static const vcl::TClassInfo info =
        vcl::MakeComponentClass<TfrmLangChild>("TfrmLangChild", TKVForm::StaticClass());
    return info;
}

}  // namespace

TEST(KVFormLanguage, MoreDerivedPackagesOverwriteAndOwnLanguageSkipsTheRoot) {
    LangInstallation install("950");
    install.Package("TKVForm", Utf8Package("<f><lblTitle Caption=\"根標題\" Hint=\"根提示\"/></f>"));
    install.Package("TfrmLangChild", Utf8Package("<f><lblTitle Caption=\"標題\"/><sHello Msg=\"你好\"/></f>"));
    auto* form = vcl::TComponent::Create<TfrmLangChild>(nullptr);
    form->TranslateForm();
    EXPECT_EQ(form->label->Caption(), "標題");
    EXPECT_EQ(form->label->Hint(), "根提示");

    form->label->SetHint("提示");
    form->ApplyOwnLanguage(form, true);
    EXPECT_EQ(form->label->Hint(), "提示");

    std::string text;
    form->GetLangText("TfrmLangChild", "sHello", text, true, "您好");
    EXPECT_EQ(text, "你好");
    // The default is shown in the interface script.
    form->GetLangText("TfrmLangChild", "sQuery", text, true, "%s查询");
    EXPECT_EQ(text, "%s查詢");
    form->GetLangText("TfrmLangChild", "sQuery", text, false, "%s查询");
    EXPECT_EQ(text, "%s查询");
    form->Free();
}

TEST(KVFormLanguage, ConvertFormRunsOnce) {
    LangInstallation install("950");
    auto* form = vcl::TComponent::Create<TfrmLangChild>(nullptr);
    EXPECT_EQ(form->UIConversion(), 2);
    form->ConvertForm();
    EXPECT_TRUE(form->Converted);
    EXPECT_EQ(form->label->Caption(), "標題");
    form->label->SetCaption("标题");
    form->ConvertForm();
    EXPECT_EQ(form->label->Caption(), "标题");
    form->Free();
}
