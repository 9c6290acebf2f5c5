// The per-user settings document on a shown window: loading answers (also
// broken ones), the switch rule, settings by property kind, moves to head,
// foot and pages, grid fields with text-ordered positions, and reading
// values and required-component lists.
#include <gtest/gtest.h>

#include <QTabWidget>
#include <QWidget>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TempEnvironment.h"
#include "export/MT_Doc.h"
#include "lang/CodeConverter.h"

using plat::Variant;

namespace {

std::string Settings(const std::string& components, const std::string& rest = {}) {
    return "<MT_User CompanyID=\"DEMO\" ProgID=\"ORTK41\"><Components>" + components + "</Components>" + rest +
           "</MT_User>";
}
std::string Component(const std::string& id, const std::string& properties) {
    return "<Component ID=\"" + id + "\">" + properties + "</Component>";
}

// A converter for a traditional-script interface on a GB system.
struct Big5Converter {
    ortktest::TempFolder dir;
    ortktest::ScopedEnv registry{"ORTK_REGISTRY_FILE", dir.Path() + "none.reg"}, acp{"ORTK_ACP", "936"};
    TCodeConverter* c = vcl::TComponent::Create<TCodeConverter>(nullptr);
    Big5Converter() { c->SetCodePages("936", "950", "936"); }
    ~Big5Converter() { c->Free(); }
};

// A grid stand-in: one header label per field (title = Caption, width,
// visibility), kept in field order.
class HeaderGrid : public IMTGridFields {
public:
    HeaderGrid(vcl::TForm* form, const std::vector<std::string>& names) {
        for (const auto& name : names) {
            auto* header = vcl::TComponent::Create<vcl::TLabel>(form);
            header->SetParent(form);
            header->SetWidth(10);
            order_.emplace_back(name, header);
        }
    }
    std::vector<std::string> FieldNames() const override {
        std::vector<std::string> names;
        for (const auto& entry : order_) names.push_back(entry.first);
        return names;
    }
    vcl::TObject* FieldObject(const std::string& name) override { return Header(name); }
    void SetFieldIndex(const std::string& name, int index) override {
        auto it = std::find_if(order_.begin(), order_.end(), [&](const auto& e) { return e.first == name; });
        auto entry = *it;
        order_.erase(it);
        order_.insert(order_.begin() + std::clamp(index, 0, static_cast<int>(order_.size())), entry);
    }
    vcl::TLabel* Header(const std::string& name) const {
        for (const auto& entry : order_)
            if (entry.first == name) return entry.second;
        return nullptr;
    }
private:
    std::vector<std::pair<std::string, vcl::TLabel*>> order_;
};

// A shown window: head and foot panels, a page control pgHead with two
// pages, a label and an edit on the head panel.
class MT_DocWindow : public testing::Test {
protected:
    vcl::TForm* form = vcl::TComponent::Create<vcl::TForm>(nullptr);
    vcl::TPanel* head = Make<vcl::TPanel>(form, "pnlHead");
    vcl::TPanel* foot = Make<vcl::TPanel>(form, "pnlFoot");
    vcl::TPageControl* pages = Make<vcl::TPageControl>(form, "pgHead");
    vcl::TTabSheet* tsBase = Page("tsBase", "基本资料");
    vcl::TTabSheet* tsOther = Page("tsOther", "其他");
    vcl::TLabel* label = Make<vcl::TLabel>(head, "lblTC004");
    vcl::TEdit* edit = Make<vcl::TEdit>(head, "edTC004");

    template <class T>
    T* Make(vcl::TWinControl* parent, const std::string& name) {
        T* c = vcl::TComponent::Create<T>(form);
        c->SetName(name);
        c->SetParent(parent);
        return c;
    }
    vcl::TTabSheet* Page(const std::string& name, const std::string& caption) {
        auto* sheet = Make<vcl::TTabSheet>(pages, name);
        sheet->SetCaption(caption);
        return sheet;
    }
    void SetUp() override {
        form->SetName("frmORTK41");
        form->Show();
    }
    void TearDown() override { form->Free(); }

    bool Shown(vcl::TControl* c) const { return c->Widget()->isVisibleTo(form->Widget()); }
    void Apply(const std::string& text, TCodeConverter* converter = nullptr) {
        TMT_Doc doc(text);
        doc.SetConverter(converter);
        doc.ApplyToForm(form);
    }
};

}  // namespace

// ---- loading ----

TEST(MT_DocLoad, DocumentWithoutComponentsGetsOneOnLoad) {
    TMT_Doc doc("<MT_User CompanyID=\"DEMO\" ProgID=\"ORTK41\"><gdMain/></MT_User>");
    EXPECT_STREQ(doc.Root().attribute("ProgID").value(), "ORTK41");
    EXPECT_EQ(doc.Components(), doc.Root().child("Components"));
    EXPECT_STREQ(TMT_Doc().Root().name(), "MT_User");
}

TEST_F(MT_DocWindow, AnswerThatIsNoDocumentChangesNothing) {
    const std::string hide = Settings(Component("edTC004", "<Visible>N</Visible>"));
    for (const std::string& broken : {hide.substr(0, 60), hide + hide, std::string("GetFormat failed"),
                                      std::string("<!-- only a comment -->")}) {
        auto doc = UserSettingsFromAnswer(Variant(broken), nullptr);
        doc->ApplyToForm(form);
        EXPECT_TRUE(Shown(edit)) << broken;
        EXPECT_EQ(doc->ListIDs("Components/*"), "") << broken;
    }
    Big5Converter conv;
    EXPECT_EQ(UserSettingsFromAnswer(Variant::Null(), conv.c)->Converter(), conv.c);
    UserSettingsFromAnswer(Variant(hide), conv.c)->ApplyToForm(form);
    EXPECT_FALSE(Shown(edit));
}

// ---- applying to a window ----

TEST_F(MT_DocWindow, VisibleValuesHideOrShow) {
    struct Row { const char* value; bool shown; };
    for (Row row : {Row{"0", false}, Row{"n", false}, Row{"False", false}, Row{"A", false}, Row{"L", false},
                    Row{"||", false}, Row{"Y", true}, Row{"1", true}, Row{"NO", true}, Row{"", true}, Row{"否", true}}) {
        edit->SetVisible(!row.shown);
        Apply(Settings(Component("edTC004", std::string("<Visible>") + row.value + "</Visible>")));
        EXPECT_EQ(Shown(edit), row.shown) << "Visible=\"" << row.value << "\"";
    }
}

TEST_F(MT_DocWindow, PropertiesAreSetByTheirKind) {
    const int height = edit->Height();
    const vcl::TColor color = edit->Color();
    const std::string font = edit->Font()->Name();
    Apply(Settings(Component("lblTC004", "<Caption>客户名称</Caption><Width>120</Width>") +
                   Component("edTC004", "<Enabled>N</Enabled><Height>tall</Height><Color>clRed</Color>"
                                        "<Font>Courier</Font><NoSuchProperty>1</NoSuchProperty>") +
                   Component("edGone", "<Caption>x</Caption>") + Component("pnlFoot", "<DisplayLabel>单尾</DisplayLabel>") +
                   Component("FRMORTK41", "<Caption>订单追踪</Caption>")));
    EXPECT_EQ(label->Caption(), "客户名称");
    EXPECT_EQ(label->Width(), 120);
    EXPECT_FALSE(edit->Widget()->isEnabled());
    EXPECT_EQ(edit->Height(), height);       // not a number: left alone
    EXPECT_EQ(edit->Color(), color);         // integers are numbers, not identifiers
    EXPECT_EQ(edit->Font()->Name(), font);   // object properties are not set
    EXPECT_EQ(form->Caption(), "订单追踪");
    EXPECT_EQ(foot->Caption(), "单尾");      // DisplayLabel also sets the caption
}

TEST_F(MT_DocWindow, DCVisibleSwitchesTheTabOfAPageAndAnythingElseItself) {
    pages->SetActivePage(tsBase);
    Apply(Settings(Component("tsOther", "<DCVisible>Y</DCVisible>")));
    EXPECT_EQ(pages->ActivePage(), tsBase);   // the tab, not the page, was switched
    Apply(Settings(Component("tsOther", "<DCVisible>N</DCVisible>") + Component("lblTC004", "<DCVisible>0</DCVisible>")));
    EXPECT_FALSE(pages->Tabs()->isTabVisible(1));
    EXPECT_TRUE(pages->Tabs()->isTabVisible(0));
    EXPECT_FALSE(label->Visible());
}

TEST_F(MT_DocWindow, ParentMovesToTailHeadAndPages) {
    Apply(Settings(Component("edTC004", "<Parent>Tail</Parent>")));
    EXPECT_EQ(edit->Widget()->parentWidget(), foot->ClientWidget());
    Apply(Settings(Component("edTC004", "<Parent>Header</Parent>")));
    EXPECT_EQ(edit->Parent(), head);
    Apply(Settings(Component("edTC004", "<Parent>其他</Parent>")));   // by caption
    EXPECT_EQ(edit->Parent(), tsOther);
    Apply(Settings(Component("edTC004", "<Parent>tsBase</Parent>")));   // by name
    EXPECT_EQ(edit->Parent(), tsBase);
    Big5Converter conv;   // head and foot words in the interface script
    Apply(Settings(Component("edTC004", "<Parent>单尾</Parent>")), conv.c);
    EXPECT_EQ(edit->Parent(), foot);
    Apply(Settings(Component("edTC004", "<Parent>單頭</Parent>")), conv.c);
    EXPECT_EQ(edit->Parent(), head);
}

TEST_F(MT_DocWindow, UnknownParentLeavesTheControlWhereItIs) {
    for (const char* value : {"单身", "pnlBody", "", "TSOTHER"}) {
        Apply(Settings(Component("edTC004", std::string("<Parent>") + value + "</Parent>")));
        EXPECT_EQ(edit->Parent(), head) << value;
    }
    Apply(Settings(Component("pnlHead", "<Parent>Header</Parent>")));   // into itself
    EXPECT_EQ(head->Parent(), form);
}

// ---- grid fields ----

TEST_F(MT_DocWindow, GridFieldsTakeTheirSectionsSettings) {
    HeaderGrid grid(form, {"TC001", "TC002", "TC004"});
    TMT_Doc doc(Settings("", "<gdMain><Field ID=\"TC004\"><DisplayLabel>客户</DisplayLabel><Width>8</Width>"
                             "<DCVisible>N</DCVisible></Field><Field ID=\"TC999\"><Visible>N</Visible></Field></gdMain>"
                             "<gdOther><Field ID=\"TC002\"><Visible>N</Visible></Field></gdOther>"));
    doc.ApplyToGrid(grid, "gdMain");
    EXPECT_EQ(grid.Header("TC004")->Caption(), "客户");
    EXPECT_EQ(grid.Header("TC004")->Width(), 8);
    EXPECT_FALSE(grid.Header("TC004")->Visible());
    EXPECT_TRUE(grid.Header("TC002")->Visible());
}

TEST_F(MT_DocWindow, GridIndexesAreAppliedInTextOrder) {
    HeaderGrid grid(form, {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"});
    TMT_Doc doc(Settings("", "<gdMain><Field ID=\"K\"><Index>2</Index></Field><Field ID=\"B\"><Index>10</Index>"
                             "</Field><Field ID=\"C\"><Index>last</Index></Field></gdMain>"));
    doc.ApplyToGrid(grid, "gdMain");
    // "10" first, then "2": in number order K would have ended up second.
    EXPECT_EQ(grid.FieldNames(), (std::vector<std::string>{"A", "C", "K", "D", "E", "F", "G", "H", "I", "J", "B", "L"}));
}

// ---- reading ----

// Regression: ids were quoted SQL-style inside the path, so an id with a
// quote made an expression the path reader rejects.
TEST_F(MT_DocWindow, IdWithAQuoteIsNotFound) {
    TMT_Doc doc(Settings(Component("ed'X", "<Caption>q</Caption>"),
                         "<gdMain><Field ID=\"O'K\"><Caption>q</Caption></Field></gdMain>"));
    EXPECT_EQ(doc.GetComponentValue("ed'X", "Caption"), "");
    EXPECT_EQ(doc.GetFieldValue("gdMain", "O'K", "Caption"), "");
    HeaderGrid grid(form, {"O'K"});
    doc.ApplyToGrid(grid, "gdMain");
    EXPECT_EQ(grid.Header("O'K")->Caption(), "");
}

TEST(MT_DocRead, ValuesAndRequiredComponents) {
    TMT_Doc doc(Settings(Component("edTC004", "<Required>-1</Required>") + Component("edTC001", "<Required>0</Required>") +
                         Component("TC12", "<Required>-1</Required>") + "<Component><Required>-1</Required></Component>" +
                         Component("lblCOPTD_TD008", "<Required>-1</Required><Caption>a<![CDATA[&b]]></Caption>"),
                         "<gdMain><Field ID=\"TC004\"><DisplayLabel>客户</DisplayLabel></Field></gdMain>"));
    EXPECT_EQ(doc.GetComponentValue("lblCOPTD_TD008", "Caption"), "a&b");
    EXPECT_EQ(doc.GetComponentValue("edTC004", "Hint"), "");
    EXPECT_EQ(doc.GetComponentValue("edTC004", "not a name"), "");
    EXPECT_EQ(doc.GetFieldValue("gdMain", "TC004", "DisplayLabel"), "客户");
    EXPECT_EQ(doc.GetFieldValue("gdNone", "TC004", "DisplayLabel"), "");
    EXPECT_EQ(doc.ListIDs("Components/*[Required='-1']"), "TC004,TC12,TD008");
    EXPECT_EQ(doc.ListIDs("Components/*[Required='-1'"), "");
}
