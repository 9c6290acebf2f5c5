// The order tracking program in the languages of its users: English from the
// language packages when the interface code page is 437, traditional Chinese
// from the code converter when it is 950. Checked through the real shell
// binary in batch mode and through the real window's controls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <filesystem>
#include <sstream>

#include "BatchInstallation.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Grids.h"
#include "KvCtrls.h"
#include "Menus.h"
#include "ModuleHost.h"
#include "ShellTestSupport.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "TempEnvironment.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// True when `text` holds a CJK ideograph.
bool HasChinese(const std::string& text) {
    for (QChar c : QString::fromStdString(text))
        if (c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF) return true;
    return false;
}

// The vocabulary of the list and the tree as designed (memolng and Memo2):
// none of it may reach a user of another language.
const char* const kChineseVocabulary[] = {
    "订单单别", "单号", "序号", "品号", "品名", "预交货日", "客户订单", "销货单", "销:", "赠/备", "销售发票",
    "销货收款单", "销退单", "销退收款单", "预开发票", "预收待抵单", "预收结账收款单", "请购单", "已采", "采购单",
    "已交", "工单", "已生产", "状态", "未生产", "已发料", "生产中", "已完工", "指定完工", "工单工艺", "预计开工",
    "预计完工", "投入:", "完成:", "报废", "返工投入", "返工完成", "拨转", "盘盈亏", "待转", "完工码", "实际开工",
    "实际完工", "销货退款单", "销货多对多核销记录", "销退退款单", "销退多对多核销记录", "预开发票收款单", "预收款单",
    "规格"};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The batch run of one order line with its tree, in a given interface code page.
std::string BatchTree(const std::string& codePage) {
    shelltest::BatchInstallation demo;
    demo.AddLanguagePackages();
    std::string out;
    EXPECT_EQ(demo.Run("ortk41 --order 2201-20240100001..2201-20240100001 --tree 1 --ui-code-page " + codePage, out), 0)
        << out;
    return out;
}

}  // namespace

// ---- batch mode through the real binary ----

TEST(EnglishBatch, HeadingsAndTreeWordsComeFromTheEnglishPackage) {
    std::string out = BatchTree("437");
    std::vector<std::string> lines = Lines(out);
    ASSERT_GT(lines.size(), 10u) << out;
    EXPECT_EQ(lines[0], "Order type\tNumber\tSeq\tItem\tItem name\tSpecs");
    // Document data stays as stored: the item's name is Chinese in the database.
    EXPECT_THAT(out, HasSubstr("\n2201\t20240100001\t0001\tSC-M6-20\t六角螺丝\t"));
    EXPECT_THAT(out, HasSubstr("# row 1\nCustomer order : 2201-20240100001 "));
    EXPECT_THAT(out, HasSubstr("\n    2301-20240100001-0001 2024/01/20 sold:600 free/spare:10 PCS\t2000\n"));
    for (const char* word : kChineseVocabulary) EXPECT_THAT(out, Not(HasSubstr(word))) << word << "\n" << out;
    // Group nodes (kind 0 below the root) are vocabulary alone.
    int groups = 0;
    for (const std::string& line : Lines(out.substr(out.find("# row 1"))))
        if (line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ' && line.ends_with("\t0")) {
            ++groups;
            EXPECT_FALSE(HasChinese(line)) << line;
        }
    EXPECT_GE(groups, 5) << out;
}

TEST(TraditionalBatch, HeadingsAndTreeWordsComeFromTheCodeConverter) {
    std::string out = BatchTree("950");
    std::vector<std::string> lines = Lines(out);
    ASSERT_GT(lines.size(), 10u) << out;
    EXPECT_EQ(lines[0], "訂單單別\t單號\t序號\t品號\t品名\t規格");
    EXPECT_THAT(out, HasSubstr("# row 1\n客戶訂單 : 2201-20240100001 "));
    EXPECT_THAT(out, HasSubstr("\n    2301-20240100001-0001 2024/01/20 銷:600 贈/備:10 PCS\t2000\n"));
    EXPECT_THAT(out, HasSubstr("\n  銷貨單\t0\n"));
    for (const char* simplified : {"订单单别", "单号", "客户订单", "销货单", "销:", "赠/备", "规格"})
        EXPECT_THAT(out, Not(HasSubstr(simplified))) << simplified << "\n" << out;
}

// ---- the window itself ----

namespace {

class EnglishWindow : public testing::Test {
protected:
    EnglishWindow() {
        std::filesystem::copy(std::string(ORTK_SOURCE_DIR) + "/packages/MultiLanguage",
                              demo_.Folder() + "app/MultiLanguage", std::filesystem::copy_options::recursive);
        demo_.env->Session.UICodePage = "437";
        host_ = std::make_unique<shell::ModuleHost>(std::vector<std::string>{std::string(ORTK_BIN_DIR) + "/"}, demo_.host);
        TDLLBaseController& controller = host_->Open({"ORTK41"}, "KV", "PRTest65", "PRTest65", 0);
        form = vcl::TControl::ControlOf(QWidget::find(static_cast<WId>(controller.GetFormHandle())));
    }
    ~EnglishWindow() override { host_->CloseAll(); }

    template <class T>
    T* Get(const std::string& name, vcl::TComponent* owner = nullptr) {
        auto* found = dynamic_cast<T*>((owner ? owner : form)->FindComponent(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    plat::ScopedScriptedDialogs dialogs_;
    ortktest::ScopedEnv codePage_{"ORTK_UI_CODE_PAGE", "437"};
    shelltest::DemoHost demo_;
    std::unique_ptr<shell::ModuleHost> host_;

public:
    vcl::TComponent* form = nullptr;
};

// Every text a component of `owner` shows: captions, hints, memo lines,
// list items, menu captions, status panels; with the component's name.
// Windows owned by `owner` (dialogs) are translated when they are shown and
// are left out.
void CollectTexts(vcl::TComponent* owner, std::vector<std::pair<std::string, std::string>>& texts) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        vcl::TComponent* c = owner->Components(i);
        if (dynamic_cast<vcl::TForm*>(c)) continue;
        const std::string name = c->Name();
        if (auto* control = dynamic_cast<vcl::TControl*>(c)) {
            texts.emplace_back(name + ".Caption", control->Caption());
            texts.emplace_back(name + ".Hint", control->Hint());
        }
        if (auto* memo = dynamic_cast<vcl::TMemo*>(c))
            for (int l = 0; l < memo->Lines()->Count(); ++l) texts.emplace_back(name + ".Lines", (*memo->Lines())[l]);
        if (auto* combo = dynamic_cast<vcl::TComboBox*>(c))
            for (int l = 0; l < combo->Items()->Count(); ++l) texts.emplace_back(name + ".Items", (*combo->Items())[l]);
        if (auto* item = dynamic_cast<vcl::TMenuItem*>(c)) texts.emplace_back(name + ".Caption", item->Caption());
        if (auto* status = dynamic_cast<vcl::TStatusBar*>(c))
            for (int p = 0; p < status->Panels()->Count(); ++p)
                texts.emplace_back(name + ".Panels", status->Panels()->Items(p)->Text());
        CollectTexts(c, texts);
    }
}

}  // namespace

TEST_F(EnglishWindow, ConditionPageSpeaksEnglish) {
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Get<vcl::TTabSheet>("TabSheet1")->Caption(), "Conditions");
    auto* sp01 = Get<vcl::TComponent>("sp01");
    EXPECT_EQ(dynamic_cast<vcl::TControl*>(sp01)->Caption(), "Order type and number");
    EXPECT_EQ(Get<vcl::TLabel>("BeginLabel", sp01)->Caption(), "From");
    EXPECT_EQ(Get<vcl::TLabel>("FinalLabel", sp01)->Caption(), "To");
    EXPECT_EQ(Get<vcl::TControl>("BeginEdit", sp01)->Hint(), "[F2]Order lookup");
    EXPECT_EQ(Get<vcl::TControl>("FinalButton", sp01)->Hint(), "Order lookup");
    EXPECT_EQ(Get<vcl::TControl>("BeginEdit", Get<vcl::TComponent>("sp04"))->Hint(), "Range: start value");
    EXPECT_EQ(Get<vcl::TLabel>("lbl06")->Caption(), "Closed");
    auto* closed = Get<vcl::TComboBox>("cbo06");
    EXPECT_EQ((*closed->Items())[1], "2:Open");
    EXPECT_EQ(closed->ItemIndex(), 2);   // translating the items keeps the choice "all"
    EXPECT_EQ(Get<vcl::TControl>("ed07")->Hint(), "[F2]Project lookup");
    EXPECT_EQ(Get<vcl::TButton>("btnQuery1")->Caption(), "Query");
    EXPECT_EQ(Get<vcl::TButton>("btnExit")->Caption(), "Exit");
}

TEST_F(EnglishWindow, ResultPageSpeaksEnglishAndTheListHasEnglishHeadings) {
    ASSERT_NE(form, nullptr);
    Get<vcl::TButton>("btnQuery1")->Click();
    EXPECT_EQ(Get<vcl::TTabSheet>("TabSheet2")->Caption(), "Results");
    auto* grid = Get<vcl::TStringGrid>("StringGrid1");
    ASSERT_GT(grid->RowCount(), 2);
    std::vector<std::string> headings;
    for (int c = 0; c < grid->ColCount(); ++c) headings.push_back(grid->Cells(c, 0));
    EXPECT_EQ(headings, (std::vector<std::string>{"Order type", "Number", "Seq", "Item", "Item name", "Specs"}));
    EXPECT_EQ(Get<vcl::TLabel>("lblQuery1")->Caption(), "Expand order:");
    EXPECT_EQ(Get<vcl::TButton>("BitBtn1")->Caption(), "Expand");
    EXPECT_EQ(Get<vcl::TLabel>("lblView1")->Caption(), "Open program:");
    EXPECT_EQ(Get<vcl::TButton>("BitBtn2")->Caption(), "Open");
    auto* status = Get<vcl::TStatusBar>("Status");
    EXPECT_EQ(status->Panels()->Items(2)->Text(), "Records");
}

TEST_F(EnglishWindow, NoComponentShowsChineseVocabulary) {
    ASSERT_NE(form, nullptr);
    std::vector<std::pair<std::string, std::string>> texts;
    CollectTexts(form, texts);
    ASSERT_GT(texts.size(), 100u);
    for (const auto& [where, text] : texts) {
        // lbl07 shows the project's name, a value of the database.
        if (where.rfind("lbl07.", 0) == 0) continue;
        EXPECT_FALSE(HasChinese(text)) << where << ": " << text;
    }
    // The title is the program's English title; the company's name after it is data.
    EXPECT_EQ(dynamic_cast<vcl::TControl*>(form)->Caption().rfind("Sales Order Tracking Query[", 0), 0u);
}

TEST_F(EnglishWindow, QuickSearchTextsComeFromThePackage) {
    ASSERT_NE(form, nullptr);
    vcl::TComponent* intl = form->FindComponent("KvUserIntl1");
    ASSERT_NE(intl, nullptr);
    int texts = 0;
    for (const vcl::TPropInfo& property : intl->ClassType().Properties) {
        if (property.Kind != vcl::TTypeKind::LString) continue;
        ++texts;
        EXPECT_FALSE(HasChinese(vcl::GetPropValue(intl, property.Name).ToString())) << property.Name;
    }
    EXPECT_EQ(texts, 16);
    EXPECT_EQ(vcl::GetPropValue(intl, "NextButton").ToString(), "Find &next");
    EXPECT_EQ(vcl::GetPropValue(intl, "Caption").ToString(), "Quick search");
}

TEST_F(EnglishWindow, MessagesOfTheFrameAndTheHostAreEnglish) {
    ASSERT_NE(form, nullptr);
    auto* project = Get<vcl::TWinControl>("ed07");
    ASSERT_TRUE(project->Visible());
    dynamic_cast<vcl::TCustomEdit*>(project)->SetText("NO-SUCH-PROJECT");
    project->SetFocus();
    Get<vcl::TWinControl>("btnQuery1")->SetFocus();   // leaving the edit checks the code
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    // The host's coded message, with the frame's word for the field.
    EXPECT_EQ(plat::Trim(dialogs_->Shown[0].Text), "Field does not exist, please enter it again!");
}

TEST_F(EnglishWindow, ExportDialogSpeaksEnglishWhenShown) {
    ASSERT_NE(form, nullptr);
    auto* dialog = Get<vcl::TForm>("frmORTK41DF");
    ASSERT_NE(dialog, nullptr);
    dialog->Show();
    EXPECT_EQ(Get<vcl::TLabel>("lbl01", dialog)->Caption(), "Save as");
    EXPECT_EQ(Get<vcl::TButton>("btnOK", dialog)->Caption(), "OK");
    EXPECT_EQ(Get<vcl::TButton>("btnCancel", dialog)->Caption(), "Cancel");
    std::vector<std::pair<std::string, std::string>> texts;
    CollectTexts(dialog, texts);
    for (const auto& [where, text] : texts) EXPECT_FALSE(HasChinese(text)) << where << ": " << text;
    dialog->Hide();
}

// ---- the designed (simplified Chinese) texts, for comparison ----

TEST(ChineseWindow, ConditionPanelsNameTheirLookupsInTheirHints) {
    plat::ScopedScriptedDialogs dialogs;
    shelltest::DemoHost demo;
    shell::ModuleHost host({std::string(ORTK_BIN_DIR) + "/"}, demo.host);
    TDLLBaseController& controller = host.Open({"ORTK41", "", 1, 0xFF, {}}, "KV", "PRTest65", "PRTest65", 0);
    vcl::TComponent* form = vcl::TControl::ControlOf(QWidget::find(static_cast<WId>(controller.GetFormHandle())));
    ASSERT_NE(form, nullptr);
    auto hint = [form](const char* panel, const char* child) {
        auto* control = dynamic_cast<vcl::TControl*>(form->FindComponent(panel)->FindComponent(child));
        return control ? control->Hint() : std::string("(no ") + child + ")";
    };
    EXPECT_EQ(hint("sp01", "BeginEdit"), "[F2]订单信息查询");
    EXPECT_EQ(hint("sp01", "FinalButton"), "订单信息查询");
    EXPECT_EQ(hint("sp02", "FinalEdit"), "[F2]日期快手");
    EXPECT_EQ(hint("sp03", "BeginButton"), "客户信息查询");
    EXPECT_EQ(hint("sp05", "BeginEdit"), "[F2]日期快手");
    EXPECT_EQ(hint("sp04", "BeginEdit"), "区间选择-起始信息");   // the panel's own hints
    EXPECT_EQ(hint("sp01", "CheckBox"), "用户自定输入方式");
    host.CloseAll();
}
