// Code conversion: modes from the settings and the translator they need,
// values and variant arrays, fonts, a whole window converted into
// traditional script, message boxes, and the table-driven GB/Big5 byte
// conversion over the generated "Language" file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "AlignGrid.h"
#include "Grids.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Tabs.h"
#include "TempEnvironment.h"
#include "controls/SelectPnl.h"
#include "forms/KvSearchDialog.h"
#include "lang/CodeConverter.h"
#include "lang/CodeTable.h"
#include "lang/CodeTableIndex.h"
#include "lang/LangControls.h"

using ortktest::ScopedEnv;
using ortktest::TempFolder;
using plat::Variant;
using plat::VarArrayOf;

namespace {

// An installation in <temp>/app/ (drive D:) whose CorvaneC.ini holds the
// given code pages, on a system with ANSI code page `acp`.
class Installation {
public:
    Installation(const std::string& acp, const std::string& ui, const std::string& db)
        : drive_("ORTK_DRIVE_D", dir_.Path()), registry_("ORTK_REGISTRY_FILE", dir_.Path() + "registry.reg"),
          acp_("ORTK_ACP", acp) {
        dir_.Write("registry.reg",
                   "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\r\n"
                   "\"ClientPath\"=\"D:\\\\app\"\r\n");
        std::string ini = "[CodePage]\r\n";
        if (!ui.empty()) ini += "UICodePage=" + ui + "\r\n";
        if (!db.empty()) ini += "DBCodePage=" + db + "\r\n";
        dir_.Write("app/CorvaneC.ini", ini);
    }
    std::string App() const { return dir_.Path() + "app/"; }

private:
    TempFolder dir_;
    ScopedEnv drive_, registry_, acp_;
};

// A converter owned by nothing, freed with the test.
struct OwnedConverter {
    TCodeConverter* c = vcl::TComponent::Create<TCodeConverter>(nullptr);
    ~OwnedConverter() { c->Free(); }
    TCodeConverter* operator->() { return c; }
};

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

}  // namespace

// ---- modes and the translator ----

TEST(CodeConverterModes, GbInterfaceOnBig5SystemLoadsTranslatorButKeepsTexts) {
    Installation install("950", "936", "");
    OwnedConverter conv;
    EXPECT_EQ(conv->SystemCodePage(), "950");
    EXPECT_EQ(conv->UIMode(), 4);
    EXPECT_EQ(conv->DBMode(), 0);
    EXPECT_TRUE(conv->HasTranslator());
    EXPECT_EQ(conv->ToDisplay(Variant("为后台")).ToString(), "为后台");
    vcl::TFont font;
    TCodeConverter::AdjustFont(conv->UIMode(), &font);
    EXPECT_EQ(font.Name(), "SimSun");
    EXPECT_EQ(font.Charset(), vcl::GB2312_CHARSET);
}

// Regression: the translator used to be created only for a converting
// interface, so rows of a Big5 database were never converted for a GB one.
TEST(CodeConverterModes, TranslatorLoadedForDatabaseModeAlone) {
    Installation install("936", "936", "950");
    OwnedConverter conv;
    EXPECT_EQ(conv->UIMode(), 0);
    EXPECT_EQ(conv->DBMode(), 1);
    ASSERT_TRUE(conv->HasTranslator());
    EXPECT_EQ(conv->ToDatabase(Variant("後臺資料")).ToString(), "后台资料");
    EXPECT_EQ(conv->ToDisplay(Variant("後臺")).ToString(), "後臺");
}

TEST(CodeConverterModes, NoConversionNoTranslator) {
    Installation install("936", "", "");
    OwnedConverter conv;
    EXPECT_EQ(conv->UICodePage(), "936");
    EXPECT_EQ(conv->DBCodePage(), "936");
    EXPECT_FALSE(conv->HasTranslator());
    EXPECT_EQ(conv->Convert(2, Variant("为")).ToString(), "为");
    EXPECT_EQ(conv->GbToBig5Text("为"), "为");
}

TEST(CodeConverterModes, CodePagesChangedLaterFollowWithModesAndTranslator) {
    Installation install("1252", "", "");
    OwnedConverter conv;
    EXPECT_EQ(conv->SystemCodePage(), "437");
    EXPECT_FALSE(conv->HasTranslator());
    conv->SetCodePages("936", "950", "936");
    EXPECT_EQ(conv->UIMode(), 2);
    EXPECT_EQ(conv->DBMode(), 2);
    EXPECT_TRUE(conv->HasTranslator());
    conv->SetCodePages("936", "936", "936");
    EXPECT_FALSE(conv->HasTranslator());
}

TEST(Translator, MissingLibraryAndMissingEntryPointRaiseTheirMessages) {
    TempFolder empty;
    try {
        TTranslator t(empty.Path() + "none");
        FAIL() << "loaded a library that does not exist";
    } catch (const ETranslatorError& e) {
        EXPECT_EQ(e.Message(), "Load Library " + empty.Path() + "none Error!");
    }
    // A library with only one of the two conversions.
    std::filesystem::copy_file(TTranslator::DefaultLibrary() + "/s2tw.json", empty.Path() + "s2tw.json");
    try {
        TTranslator t(empty.Path());
        FAIL() << "loaded a library without BIG5toGB";
    } catch (const ETranslatorError& e) {
        EXPECT_EQ(e.Message(), "Get Library Procedure Address Error!");
    }
    // The window's converter raises while it is created.
    ScopedEnv library("ORTK_TRANSLATOR_LIBRARY", empty.Path() + "none");
    Installation install("936", "950", "");
    EXPECT_THROW(vcl::TComponent::Create<TCodeConverter>(nullptr), ETranslatorError);
}

TEST(Translator, ConvertsBothWaysAndLeavesBrokenTextAlone) {
    TTranslator t;
    EXPECT_EQ(t.GBtoBIG5("台湾的软件"), "臺灣的軟件");
    EXPECT_EQ(t.BIG5toGB("臺灣的軟件"), "台湾的软件");
    std::string broken = "\xE4\xB8";   // a cut UTF-8 sequence
    EXPECT_EQ(t.GBtoBIG5(broken), broken);
}

// ---- values and arrays ----

class CodeConverterValues : public testing::Test {
protected:
    Installation install{"936", "950", "936"};   // Big5 interface over a GB database
    OwnedConverter conv;
};

TEST_F(CodeConverterValues, EmptyNullAndKindZeroComeBackUnchanged) {
    EXPECT_TRUE(conv->Convert(2, Variant()).IsEmpty());
    EXPECT_TRUE(conv->Convert(2, Variant::Null()).IsNull());
    EXPECT_EQ(conv->Convert(0, Variant("为")).ToString(), "为");
    EXPECT_EQ(conv->Convert(3, Variant("为")).ToString(), "为");
    EXPECT_EQ(conv->Convert(2, Variant("为")).ToString(), "為");
    EXPECT_EQ(conv->Convert(1, Variant("為")).ToString(), "为");
}

TEST_F(CodeConverterValues, NestedArraysAreConvertedAtEveryDepth) {
    Variant rows = VarArrayOf({Variant("销货单"),
                               VarArrayOf({Variant("发票"), VarArrayOf({Variant("收款"), Variant(12.5)})}),
                               Variant::Null(), Variant(int32_t(7))});
    Variant out = conv->Convert(2, rows);
    EXPECT_EQ(out[0].ToString(), "銷貨單");
    EXPECT_EQ(out[1][0].ToString(), "發票");
    EXPECT_EQ(out[1][1][0].ToString(), "收款");
    EXPECT_EQ(out[1][1][1].Type(), plat::VarType::Double);
    EXPECT_TRUE(out[2].IsNull());
    EXPECT_EQ(out[3].ToInt(), 7);
    // The input is a value: it stays as it was.
    EXPECT_EQ(rows[1][0].ToString(), "发票");
}

TEST_F(CodeConverterValues, TwoDimensionalArrayCellByCell) {
    plat::VarArray grid(0, 1, 1, 2);
    grid.At(0, 1) = Variant("订单");
    grid.At(0, 2) = Variant("客户");
    grid.At(1, 1) = Variant("单号");
    grid.At(1, 2) = VarArrayOf({Variant("数量")});
    Variant out = conv->Convert(2, Variant(grid));
    const plat::VarArray& g = out.Array();
    EXPECT_EQ(g.At(0, 1).ToString(), "訂單");
    EXPECT_EQ(g.At(0, 2).ToString(), "客戶");
    EXPECT_EQ(g.At(1, 1).ToString(), "單號");
    EXPECT_EQ(g.At(1, 2)[0].ToString(), "數量");
}

TEST_F(CodeConverterValues, DisplayAndDatabaseDirections) {
    // Rows read from the GB database are shown in Big5; what the user typed
    // in Big5 goes back as GB.
    EXPECT_EQ(conv->ToDatabase(Variant("客户")).ToString(), "客戶");
    EXPECT_EQ(conv->ToDisplay(Variant("客户")).ToString(), "客戶");
    Variant row = VarArrayOf({Variant("銷貨單"), Variant("客戶")});
    Variant back = conv->FromDatabase(row);
    EXPECT_EQ(back[0].ToString(), "销货单");
    EXPECT_EQ(back[1].ToString(), "客户");
    EXPECT_EQ(conv->FromDisplay(Variant("訂單")).ToString(), "订单");
    EXPECT_EQ(conv->Big5ToGbText(""), "");
    EXPECT_EQ(conv->GbToBig5Text("订单"), "訂單");
}

TEST(CodeConverterFonts, ModesPickTheCharacterSet) {
    for (int mode : {0, 1, 4, 2, 3}) {
        vcl::TFont font;
        TCodeConverter::AdjustFont(mode, &font);
        EXPECT_EQ(font.Name(), "SimSun") << mode;
        EXPECT_EQ(font.Charset(), mode == 2 || mode == 3 ? vcl::CHINESEBIG5_CHARSET : vcl::GB2312_CHARSET) << mode;
    }
    vcl::TFont untouched;
    TCodeConverter::AdjustFont(7, &untouched);
    EXPECT_NE(untouched.Name(), "SimSun");
}

// ---- message boxes ----

TEST(CodeConverterMessages, EmptyTextShowsNothing) {
    Installation install("936", "950", "");
    plat::ScopedScriptedDialogs dialogs;
    OwnedConverter conv;
    EXPECT_EQ(conv->ShowMessageBox("", plat::MsgDlgType::Error, {plat::MsgDlgBtn::OK}), 0);
    EXPECT_TRUE(dialogs->Shown.empty());
}

TEST(CodeConverterMessages, QuestionInTheInterfaceFontCaptionedLikeTheWindow) {
    Installation install("936", "950", "");
    plat::ScopedScriptedDialogs dialogs;
    dialogs->Answers.push_back(plat::mrYes);
    auto* form = vcl::TComponent::Create<vcl::TForm>(nullptr);
    form->SetCaption("訂單追蹤");
    auto* conv = vcl::TComponent::Create<TCodeConverter>(form);
    int answer = conv->ShowMessageBox("確定匯出?", plat::MsgDlgType::Confirmation, {plat::MsgDlgBtn::Yes, plat::MsgDlgBtn::No});
    EXPECT_EQ(answer, plat::mrYes);
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    const plat::MessageDialog& shown = dialogs->Shown[0];
    // The system runs code page 936: six blanks keep the text off the edge.
    EXPECT_EQ(shown.Text, "確定匯出?      ");
    EXPECT_EQ(shown.Caption, "訂單追蹤");
    EXPECT_EQ(shown.FontName, "SimSun");
    EXPECT_EQ(shown.FontCharset, vcl::CHINESEBIG5_CHARSET);
    form->Free();
}

// ---- a whole window ----

class WindowConversion : public testing::Test {
protected:
    Installation install{"936", "950", "936"};
    vcl::TForm* form = vcl::TComponent::Create<vcl::TForm>(nullptr);
    TCodeConverter* conv = vcl::TComponent::Create<TCodeConverter>(form);
    vcl::TLabel* label = Make<vcl::TLabel>("lblOrder");
    vcl::TEdit* edit = Make<vcl::TEdit>("edCustomer");
    vcl::TComboBox* combo = Make<vcl::TComboBox>("cboKind");
    vcl::TMemo* memo = Make<vcl::TMemo>("memolng");
    vcl::TPopupMenu* popup = Make<vcl::TPopupMenu>("pmTree");
    vcl::TMenuItem* item = Make<vcl::TMenuItem>("miOpen");
    vcl::TTreeView* tree = Make<vcl::TTreeView>("TreeView1");
    vcl::TListView* list = Make<vcl::TListView>("lvValues");
    vcl::TStatusBar* status = Make<vcl::TStatusBar>("StatusBar1");
    vcl::TStringGrid* grid = Make<vcl::TStringGrid>("StringGrid1");

    template <class T>
    T* Make(const std::string& name) {
        T* c = vcl::TComponent::Create<T>(form);
        c->SetName(name);
        if constexpr (std::is_base_of_v<vcl::TControl, T>) c->SetParent(form);
        return c;
    }
    void SetUp() override {
        form->SetHint("订单追踪");
        label->SetCaption("订单单号");
        label->SetHint("输入单号");
        edit->SetText("客户");
        combo->Items()->SetText("全部\n结束\n未结束\n");
        combo->SetItemIndex(2);
        memo->Lines()->SetText("销货单\n发票\n");
        item->SetCaption("开启");
        popup->Items()->Add(item);
        vcl::TTreeNode* order = tree->Items()->Add(nullptr, "订单 A001");
        tree->Items()->AddChild(tree->Items()->AddChild(order, "销货单"), "发票");
        list->Columns()->Add()->SetCaption("单号");
        vcl::TListItem* row = list->Items()->Add();
        row->SetCaption("客户");
        row->SubItems()->Add("数量");
        status->Panels()->Add()->SetText("就绪");
        grid->SetColCount(2);
        grid->SetRowCount(2);
        grid->SetCell(0, 0, "订单");
        grid->SetCell(1, 1, "未结束");
    }
    void TearDown() override { form->Free(); }
};

TEST_F(WindowConversion, EveryTextOfTheWindowInTraditionalScript) {
    conv->ConvertComponentTree(form, false, true);
    EXPECT_EQ(form->Hint(), "訂單追蹤");
    EXPECT_EQ(label->Caption(), "訂單單號");
    EXPECT_EQ(label->Hint(), "輸入單號");
    EXPECT_EQ(label->Font()->Charset(), vcl::CHINESEBIG5_CHARSET);
    EXPECT_EQ(edit->Text(), "客戶");
    EXPECT_EQ(combo->Items()->Text(), "全部\n結束\n未結束\n");
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Style(), vcl::TComboBoxStyle::csOwnerDrawVariable);
    EXPECT_EQ(memo->Lines()->Text(), "銷貨單\n發票\n");
    EXPECT_EQ(item->Caption(), "開啟");
    EXPECT_TRUE(popup->OwnerDraw());
    EXPECT_EQ(vcl::TScreen::Instance().HintFont().Charset(), vcl::CHINESEBIG5_CHARSET);
    EXPECT_EQ(tree->Items()->Item(0)->Text(), "訂單 A001");
    EXPECT_EQ(tree->Items()->Item(1)->Text(), "銷貨單");
    EXPECT_EQ(tree->Items()->Item(2)->Text(), "發票");
    EXPECT_EQ(list->Columns()->Items(0)->Caption(), "單號");
    EXPECT_EQ(list->Items()->Item(0)->Caption(), "客戶");
    EXPECT_EQ(list->Items()->Item(0)->SubItems()->Strings(0), "數量");
    EXPECT_EQ(status->Panels()->Items(0)->Text(), "就緒");
    EXPECT_EQ(grid->Cells(0, 0), "訂單");
    EXPECT_EQ(grid->Cells(1, 1), "未結束");
    EXPECT_EQ(grid->Cells(1, 0), "");
}

TEST_F(WindowConversion, TreeNodesOnlyWhenDeep) {
    conv->ConvertComponentTree(form, false, false);
    EXPECT_EQ(tree->Items()->Item(1)->Text(), "销货单");
    EXPECT_EQ(grid->Cells(0, 0), "订单");
    EXPECT_EQ(list->Columns()->Items(0)->Caption(), "單號");
}

TEST_F(WindowConversion, SelectionConvertsOnlyTheListedGroups) {
    conv->ConvertSelected(form, VarArrayOf({Variant("LBLORDER=Caption"), VarArrayOf({Variant("memolng"), Variant("lines")})}),
                          false);
    EXPECT_EQ(label->Caption(), "訂單單號");
    EXPECT_EQ(label->Hint(), "输入单号");        // not listed
    EXPECT_FALSE(label->ParentFont());
    EXPECT_EQ(memo->Lines()->Text(), "銷貨單\n發票\n");
    EXPECT_EQ(edit->Text(), "客户");             // no entry: left alone
    EXPECT_EQ(combo->Style(), vcl::TComboBoxStyle::csDropDown);
}

TEST_F(WindowConversion, CaptionConvertedOnlyOnABig5System) {
    form->SetCaption("订单追踪");
    conv->ConvertFormCaption(form, 2);
    EXPECT_EQ(form->Caption(), "订单追踪");
    conv->SetCodePages("950", "950", "936");
    conv->ConvertFormCaption(form, 0);
    EXPECT_EQ(form->Caption(), "訂單追蹤");
}

TEST_F(WindowConversion, GbInterfaceOnBig5SystemSetsFontsOnly) {
    conv->SetCodePages("950", "936", "936");
    conv->ConvertComponentTree(form, false, true);
    EXPECT_EQ(label->Caption(), "订单单号");
    EXPECT_EQ(label->Font()->Charset(), vcl::GB2312_CHARSET);
    EXPECT_EQ(combo->Items()->Text(), "全部\n结束\n未结束\n");
}

namespace {

std::vector<std::string> ItemCaptions(vcl::TListItems* items) {
    std::vector<std::string> out;
    for (int i = 0; i < items->Count(); ++i) out.push_back(items->Item(i)->Caption());
    return out;
}

std::vector<std::string> SortedCopy(std::vector<std::string> texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

}  // namespace

// A sorted list moves an entry as soon as its caption changes; every entry
// must still be converted once, there and back.
TEST_F(WindowConversion, SortedListsConvertEveryEntryThereAndBack) {
    auto* panel = Make<TSelectPanel>("sp01");
    panel->SetSortListBox(true);
    list->SetSortType(vcl::TSortType::stText);
    const std::vector<std::string> designed = {"发票", "后台", "台湾", "销货"};
    for (const std::string& text : designed) {
        panel->AddListRow({text});
        list->Items()->Add()->SetCaption(text);
    }
    std::vector<std::string> traditional;
    for (const std::string& text : designed) traditional.push_back(conv->GbToBig5Text(text));
    ASSERT_EQ(traditional[0], "發票");

    conv->ConvertComponentTree(form, false, true);
    EXPECT_EQ(SortedCopy(ItemCaptions(panel->Items())), SortedCopy(traditional));
    std::vector<std::string> listed = ItemCaptions(list->Items());
    listed.erase(std::find(listed.begin(), listed.end(), "客戶"));   // the row set up before
    EXPECT_EQ(SortedCopy(listed), SortedCopy(traditional));
    // Still sorted after the conversion.
    std::vector<std::string> shown = ItemCaptions(panel->Items());
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(), [](const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
    }));

    langcontrols::ConvertClassTexts(panel, true, [&](const std::string& text) { return conv->Big5ToGbText(text); });
    EXPECT_EQ(SortedCopy(ItemCaptions(panel->Items())), SortedCopy(designed));
}

TEST_F(WindowConversion, PanelChildHintsGoWithItsOtherTexts) {
    auto* panel = Make<TSelectPanel>("sp01");
    conv->ConvertComponentTree(form, false, true);
    EXPECT_EQ(panel->HintWord(), "區間選擇");
    EXPECT_EQ(panel->BeginEdit->Hint(), "區間選擇-起始信息");
    EXPECT_EQ(panel->ListButton->Hint(), "多選-信息開窗");
    EXPECT_EQ(panel->ChildHints()->Strings(8), panel->ClearButton->Hint());
}

TEST_F(WindowConversion, ListBoxTabSetAndAlignedGridInTraditionalScript) {
    auto* box = Make<vcl::TListBox>("lbKinds");
    box->SetSorted(true);
    box->Items()->SetText("销货\n发票\n台湾\n");
    box->SetItemIndex(1);
    auto* tabs = Make<vcl::TTabSet>("tsKinds");
    tabs->Tabs()->SetText("订单\n销货\n");
    tabs->SetTabIndex(1);
    auto* aligned = Make<vcl::TAlignedStringGrid>("agDocs");
    aligned->SetColCount(3);
    aligned->SetRowCount(3);
    aligned->ColumnTitles()->SetText("序号\n单号\n数量\n");
    aligned->RowTitles()->SetText("\n订单\n销货\n");
    aligned->SetCell(1, 1, "未结束");
    aligned->SetCellHint(2, 2, "已发料");
    aligned->CellFont(1, 1)->SetCharset(vcl::GB2312_CHARSET);

    conv->ConvertComponentTree(form, false, true);
    EXPECT_EQ(SortedCopy(box->Items()->ToVector()),
              SortedCopy({"發票", conv->GbToBig5Text("台湾"), "銷貨"}));
    EXPECT_EQ(box->Style(), vcl::TListBoxStyle::lbOwnerDrawFixed);
    EXPECT_EQ(tabs->Tabs()->ToVector(), (std::vector<std::string>{"訂單", "銷貨"}));
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(aligned->Cells(1, 0), "單號");
    EXPECT_EQ(aligned->ColumnTitles()->Strings(2), "數量");
    EXPECT_EQ(aligned->Cells(0, 2), "銷貨");
    EXPECT_EQ(aligned->Cells(1, 1), "未結束");
    EXPECT_EQ(aligned->CellHint(2, 2), "已發料");
    EXPECT_EQ(aligned->FindCellFont(1, 1)->Charset(), vcl::CHINESEBIG5_CHARSET);
    EXPECT_EQ(aligned->FindCellFont(0, 0), nullptr);
}

TEST_F(WindowConversion, QuickSearchTextsAreConvertedOnceWithTheWindow) {
    auto* intl = Make<TKvUserIntl>("KvUserIntl1");
    conv->ConvertComponentTree(form, false, true);
    EXPECT_EQ(intl->Caption, "快速定位");
    EXPECT_EQ(intl->NextButton, "下一個(&N)");
    EXPECT_EQ(intl->SearchValue, "查找的值(&T)");
    EXPECT_EQ(intl->FromStart, "從頭開始查找(&E)");
    EXPECT_EQ(vcl::GetPropValue(intl, "WholeWord").ToString(), "全字匹配(&W)");
}

// ---- the table-driven conversion ----

namespace {

// GB2312 characters of the generated table: rows 0xB0-0xF7 (the Chinese
// characters) and the symbol rows 0xA1-0xA9.
std::vector<std::string> Gb2312Characters() {
    std::vector<std::string> all;
    for (int a = 0xA1; a <= 0xF7; ++a) {
        if (a >= 0xAA && a <= 0xAF) continue;
        for (int c = 0xA1; c <= 0xFE; ++c) all.push_back(Bytes({a, c}));
    }
    return all;
}

}  // namespace

class CodeTableFile : public testing::Test {
protected:
    void SetUp() override {
        ReleaseCodeTables();
        ASSERT_TRUE(LoadCodeTables(std::string(ORTK_BIN_DIR) + "/Language"));
    }
    void TearDown() override { ReleaseCodeTables(); }

    // The table's own entry for a GB code, read from the file.
    static std::map<std::string, std::string> Entries(const std::string& prefix) {
        std::map<std::string, std::string> m;
        std::ifstream in(std::string(ORTK_BIN_DIR) + "/Language");
        std::string line;
        while (std::getline(in, line))
            if (line.compare(0, prefix.size(), prefix) == 0) {
                size_t eq = line.find('=');
                m[line.substr(prefix.size(), eq - prefix.size())] = line.substr(eq + 2, 4);
            }
        return m;
    }
};

TEST_F(CodeTableFile, GeneratedTableIsCompleteAndAddressedByPosition) {
    CodeTableCounts counts = LoadedCodeTableCounts();
    EXPECT_EQ(counts.Big5, codetable::kBig5TableSize);
    EXPECT_EQ(counts.Gb, codetable::kGbTableSize);
    // Region boundaries of the position formulas.
    EXPECT_EQ(codetable::GbIndex(0xA1, 0xA1), 0);
    EXPECT_EQ(codetable::GbIndex(0xF7, 0xFE), 8177);
    EXPECT_EQ(codetable::GbIndex(0x81, 0x40), 8178);
    EXPECT_EQ(codetable::GbIndex(0xA0, 0xFE), 14289);
    EXPECT_EQ(codetable::GbIndex(0xAA, 0x40), 14290);
    EXPECT_EQ(codetable::GbIndex(0xFE, 0xA0), 22534);
    EXPECT_EQ(codetable::GbIndex(0xA8, 0x40), 22535);
    EXPECT_EQ(codetable::GbIndex(0xA9, 0xA0), 22728);
    EXPECT_EQ(codetable::GbIndex(0xAA, 0xA1), -1);
    EXPECT_EQ(codetable::Big5Index(0xA1, 0x40), 0);
    EXPECT_EQ(codetable::Big5Index(0xA1, 0xA1), 63);
    EXPECT_EQ(codetable::Big5Index(0xFE, 0xFE), 14757);
    // Well-known characters: 啊 B0A1 <-> B0DA, 一 D2BB <-> A440, 为 CEAA -> 為 ACB0.
    EXPECT_EQ(GbToBig5(Bytes({0xB0, 0xA1})), Bytes({0xB0, 0xDA}));
    EXPECT_EQ(GbToBig5(Bytes({0xD2, 0xBB})), Bytes({0xA4, 0x40}));
    EXPECT_EQ(GbToBig5(Bytes({0xCE, 0xAA})), Bytes({0xAC, 0xB0}));
    EXPECT_EQ(Big5ToGb(Bytes({0xAC, 0xB0})), Bytes({0xCE, 0xAA}));
}

TEST_F(CodeTableFile, EveryGb2312CharacterComesBackWhereTheTableMapsBothWays) {
    std::map<std::string, std::string> gb = Entries("GB"), big5 = Entries("BIG5");
    int both = 0, mismatched = 0;
    for (const std::string& ch : Gb2312Characters()) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X%02X", static_cast<uint8_t>(ch[0]), static_cast<uint8_t>(ch[1]));
        const std::string target = gb[hex];
        if (target == "0000" || big5[target] != hex) continue;
        ++both;
        std::string there = GbToBig5(ch);
        if (Big5ToGb(there) != ch) ++mismatched;
    }
    EXPECT_EQ(mismatched, 0);
    // Measured with OpenCC 1.1.5: 6,746 of the 7,445 GB2312 characters map both ways
    // (6,772 have a Big5 form at all).
    EXPECT_GT(both, 6500);
}

TEST_F(CodeTableFile, TrailingHighByteAndSingleBytesAreCopied) {
    EXPECT_EQ(GbToBig5("AB" + Bytes({0xB0, 0xA1, 0xB0})), "AB" + Bytes({0xB0, 0xDA, 0xB0}));
    EXPECT_EQ(Big5ToGb(Bytes({0xB0, 0xDA, 0xA4})), Bytes({0xB0, 0xA1, 0xA4}));
    // 127 never ends a GB character: both bytes are copied.
    EXPECT_EQ(GbToBig5(Bytes({0xB0, 0x7F})), Bytes({0xB0, 0x7F}));
}

// Regression: a lead byte followed by a byte below 0x40 used to be read as
// one character at a negative table position: "\xB0" "0A" became an
// unrelated character and "A", and the "0" was lost. The lead byte stands
// alone and the following byte is a character of its own.
TEST_F(CodeTableFile, LeadByteBeforeAByteBelow0x40StandsAlone) {
    struct Case {
        const char* name;
        std::string gb;
        std::string big5;
    };
    for (const Case& c : std::vector<Case>{
             {"digit after a lead byte", Bytes({0xB0}) + "0A", Bytes({0xB0}) + "0A"},
             {"blank after a lead byte", Bytes({0x81}) + " x", Bytes({0x81}) + " x"},
             {"control byte after a lead byte", Bytes({0xFE, 0x09}), Bytes({0xFE, 0x09})},
             {"0x3F after a lead byte", Bytes({0xD2, 0x3F}), Bytes({0xD2, 0x3F})},
             {"lead byte, digit, then a real character", Bytes({0xB0}) + "1" + Bytes({0xB0, 0xA1}),
              Bytes({0xB0}) + "1" + Bytes({0xB0, 0xDA})},
             {"0x40 still starts a pair (GBK)", Bytes({0x81, 0x40}), GbToBig5(Bytes({0x81, 0x40}))},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GbToBig5(c.gb), c.big5);
    }
}

TEST_F(CodeTableFile, EuroRoundTrips) {
    EXPECT_EQ(GbToBig5(Bytes({0x80})), Bytes({0xA3, 0xE1}));
    EXPECT_EQ(Big5ToGb(Bytes({0xA3, 0xE1})), Bytes({0x80}));
    EXPECT_EQ(Big5ToGb(GbToBig5("x" + Bytes({0x80}) + "y")), "x" + Bytes({0x80}) + "y");
}

TEST(CodeTableLoading, MissingFileIsReportedOncePerAttemptAndTheSystemConverts) {
    plat::ScopedScriptedDialogs dialogs;
    TempFolder dir;
    ReleaseCodeTables();
    EXPECT_FALSE(LoadCodeTables(dir.Path() + "Language"));
    // 一 and 、 go through the operating system's code pages instead.
    EXPECT_EQ(GbToBig5(Bytes({0xD2, 0xBB, 0xA1, 0xA2})), Bytes({0xA4, 0x40, 0xA1, 0x42}));
    EXPECT_EQ(Big5ToGb(Bytes({0xA4, 0x40})), Bytes({0xD2, 0xBB}));
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    EXPECT_EQ(dialogs->Shown[0].Text, "Can't find file Language !!");
    EXPECT_FALSE(LoadCodeTables(dir.Path() + "Language"));
    EXPECT_EQ(dialogs->Shown.size(), 2u);
    ReleaseCodeTables();
}

TEST(CodeTableLoading, LinesAreReadByTheirRules) {
    plat::ScopedScriptedDialogs dialogs;
    TempFolder dir;
    // Position 0 (A1A1) maps to 一; position 1 has a lower-case value, which
    // is no entry; position 2 is blank. Big5 position 0 (A140) maps to 啊.
    std::string file = dir.Write("Language",
                                 "[BIG5]\r\nBIG5A140=$B0A1\r\n\r\n[GB]\r\nGBA1A1=$A440\r\nGBA1A2=$a142\r\nGBA1A3=$2020\r\n"
                                 "other line\r\n");
    ReleaseCodeTables();
    ASSERT_TRUE(LoadCodeTables(file));
    EXPECT_EQ(LoadedCodeTableCounts().Gb, 3);
    EXPECT_EQ(LoadedCodeTableCounts().Big5, 1);
    EXPECT_EQ(GbToBig5(Bytes({0xA1, 0xA1})), Bytes({0xA4, 0x40}));
    EXPECT_EQ(GbToBig5(Bytes({0xA1, 0xA2})), Bytes({0xA1, 0x42}));   // the system's 、
    EXPECT_EQ(GbToBig5(Bytes({0xA1, 0xA3})), Bytes({0xA1, 0x43}));   // the system's ·
    EXPECT_EQ(Big5ToGb(Bytes({0xA1, 0x40})), Bytes({0xB0, 0xA1}));
    EXPECT_TRUE(dialogs->Shown.empty());
    ReleaseCodeTables();
}
