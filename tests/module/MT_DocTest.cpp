// The per-user settings document: loading server answers (also broken
// ones), the switch rule for booleans, settings applied to the controls of a
// shown window by property kind, moves to the head, foot and pages, grid
// fields with their text-ordered positions, and reading single values and
// required-component lists.
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

using ortktest::ScopedEnv;
using ortktest::TempFolder;
using plat::Variant;

namespace {

std::string Settings(const std::string& components, const std::string& rest = {}) {
    return "<MT_User CompanyID=\"DEMO\" ProgID=\"ORTK41\"><Components>" + components + "</Components>" + rest +
           "</MT_User>";
}
std::string Component(const std::string& id, const std::string& properties) {
    return "<Component ID=\"" + id + "\">" + properties + "</Component>";
}

// A shown order window: head and foot panels, a page control pgHead with two
// pages, and a few controls on the head panel.
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
        auto* sheet = vcl::TComponent::Create<vcl::TTabSheet>(form);
        sheet->SetName(name);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
        return sheet;
    }
    void SetUp() override {
        form->SetName("frmORTK41");
        label->SetCaption("客户");
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

// A converter for a traditional-script interface over a GB system.
struct Big5Converter {
    TempFolder dir;
    ScopedEnv registry{"ORTK_REGISTRY_FILE", dir.Path() + "none.reg"};
    ScopedEnv acp{"ORTK_ACP", "936"};
    TCodeConverter* c = vcl::TComponent::Create<TCodeConverter>(nullptr);
    Big5Converter() { c->SetCodePages("936", "950", "936"); }
    ~Big5Converter() { c->Free(); }
};

// The fields of a grid's dataset: label, width and visibility as published
// properties, and the order of the fields.
class TSettingsField : public vcl::TComponent {
    VCL_DECLARE_CLASS(TSettingsField)
public:
    using TComponent::TComponent;
    std::string Label;
    int Width = 10;
    bool Shown = true;
};

const vcl::TClassInfo& TSettingsField::StaticClass() {
    static const vcl::TClassInfo info = [] {
        vcl::TClassInfo c = vcl::MakeComponentClass<TSettingsField>("TSettingsField", TComponent::StaticClass());
        vcl::TPropBuilder<TSettingsField>(c)
            .Str("DisplayLabel", [](const TSettingsField& f) { return f.Label; },
                 [](TSettingsField& f, const std::string& s) { f.Label = s; })
            .Int("DisplayWidth", [](const TSettingsField& f) { return f.Width; },
                 [](TSettingsField& f, int w) { f.Width = w; })
            .Bool("Visible", [](const TSettingsField& f) { return f.Shown; },
                  [](TSettingsField& f, bool v) { f.Shown = v; });
        return c;
    }();
    return info;
}

class GridFields : public IMTGridFields {
public:
    explicit GridFields(std::vector<std::string> names) {
        for (const auto& name : names) {
            auto* field = vcl::TComponent::Create<TSettingsField>(&owner_);
            field->SetName(name);
            order_.push_back(field);
        }
    }
    std::vector<std::string> FieldNames() const override {
        std::vector<std::string> names;
        for (auto* f : order_) names.push_back(f->Name());
        return names;
    }
    vcl::TObject* FieldObject(const std::string& name) override { return Field(name); }
    void SetFieldIndex(const std::string& name, int index) override {
        moves.push_back(name + "->" + std::to_string(index));
        TSettingsField* field = Field(name);
        order_.erase(std::find(order_.begin(), order_.end(), field));
        order_.insert(order_.begin() + std::clamp(index, 0, static_cast<int>(order_.size())), field);
    }
    TSettingsField* Field(const std::string& name) {
        return static_cast<TSettingsField*>(owner_.FindComponent(name));
    }
    std::vector<std::string> moves;

private:
    vcl::TComponent owner_{nullptr};
    std::vector<TSettingsField*> order_;
};

}  // namespace

// ---- loading ----

TEST(MT_DocLoad, DocumentWithoutComponentsGetsOneOnLoad) {
    TMT_Doc doc("<MT_User CompanyID=\"DEMO\" ProgID=\"ORTK41\"><gdMain/></MT_User>");
    ASSERT_TRUE(doc.Components());
    EXPECT_EQ(doc.Components().parent(), doc.Root());
    EXPECT_STREQ(doc.Root().attribute("ProgID").value(), "ORTK41");
    EXPECT_EQ(doc.Components(), doc.Root().child("Components"));
}

TEST(MT_DocLoad, DefaultDocumentIsEmptySettingsOfNoProgram) {
    TMT_Doc doc;
    EXPECT_STREQ(doc.Root().name(), "MT_User");
    EXPECT_STREQ(doc.Root().attribute("ProgID").value(), "");
    EXPECT_TRUE(doc.Components());
    EXPECT_FALSE(doc.Components().first_child());
}

TEST_F(MT_DocWindow, AnswerThatIsNoDocumentChangesNothing) {
    const std::string hide = Component("edTC004", "<Visible>N</Visible>");
    for (const std::string& broken : {Settings(hide).substr(0, 60), Settings(hide) + Settings(hide),
                                      std::string("GetFormat failed"), std::string("<!-- only a comment -->")}) {
        auto doc = UserSettingsFromAnswer(Variant(broken), nullptr);
        doc->ApplyToForm(form);
        EXPECT_TRUE(Shown(edit)) << broken;
        EXPECT_EQ(doc->GetComponentValue("edTC004", "Visible"), "") << broken;
        EXPECT_EQ(doc->ListIDs("Components/*"), "") << broken;
    }
}

TEST(MT_DocLoad, ServerAnswerGivesDocumentWithTheWindowsConverter) {
    Big5Converter conv;
    auto none = UserSettingsFromAnswer(Variant::Null(), conv.c);
    EXPECT_EQ(none->Converter(), conv.c);
    EXPECT_STREQ(none->Root().name(), "MT_User");
    auto given = UserSettingsFromAnswer(Variant(Settings(Component("lblTC004", "<Caption>客户</Caption>"))), conv.c);
    EXPECT_EQ(given->GetComponentValue("lblTC004", "Caption"), "客户");
}

// ---- the switch rule, on a real edit ----

TEST_F(MT_DocWindow, VisibleValuesHideOrShow) {
    struct Row { const char* value; bool shown; };
    for (Row row : {Row{"0", false}, Row{"n", false}, Row{"False", false}, Row{"A", false}, Row{"L", false},
                    Row{"||", false}, Row{"Y", true}, Row{"1", true}, Row{"True", true}, Row{"NO", true},
                    Row{"", true}, Row{"否", true}}) {
        edit->SetVisible(!row.shown);
        Apply(Settings(Component("edTC004", std::string("<Visible>") + row.value + "</Visible>")));
        EXPECT_EQ(Shown(edit), row.shown) << "Visible=\"" << row.value << "\"";
    }
}

// ---- properties by kind ----

TEST_F(MT_DocWindow, PropertiesAreSetByTheirKind) {
    const int height = edit->Height();
    const vcl::TColor color = edit->Color();
    const std::string font = edit->Font()->Name();
    Apply(Settings(Component("lblTC004", "<Caption>客户名称</Caption><Width>120</Width>") +
                   Component("edTC004", "<Enabled>N</Enabled><Height>tall</Height><Color>clRed</Color>"
                                        "<Font>Courier</Font><NoSuchProperty>1</NoSuchProperty>") +
                   Component("edGone", "<Caption>x</Caption>") +
                   Component("FRMORTK41", "<Caption>订单追踪</Caption>")));
    EXPECT_EQ(label->Caption(), "客户名称");
    EXPECT_EQ(label->Width(), 120);
    EXPECT_FALSE(edit->Enabled());
    EXPECT_FALSE(edit->Widget()->isEnabled());
    EXPECT_EQ(edit->Height(), height);       // not a number: left alone
    EXPECT_EQ(edit->Color(), color);         // integers are numbers, not identifiers
    EXPECT_EQ(edit->Font()->Name(), font);   // object properties are not set
    EXPECT_EQ(form->Caption(), "订单追踪");
}

TEST_F(MT_DocWindow, DisplayLabelAlsoSetsTheCaption) {
    Apply(Settings(Component("lblTC004", "<DisplayLabel>订货客户</DisplayLabel>")));
    EXPECT_EQ(label->Caption(), "订货客户");
}

TEST_F(MT_DocWindow, DCVisibleSwitchesTheTabOfAPageAndAnythingElseItself) {
    pages->SetActivePage(tsBase);
    Apply(Settings(Component("tsOther", "<DCVisible>Y</DCVisible>")));
    EXPECT_EQ(pages->ActivePage(), tsBase);   // the tab, not the page, was switched
    Apply(Settings(Component("tsOther", "<DCVisible>N</DCVisible>") + Component("lblTC004", "<DCVisible>0</DCVisible>")));
    EXPECT_FALSE(tsOther->TabVisible());
    EXPECT_FALSE(pages->Tabs()->isTabVisible(1));
    EXPECT_TRUE(pages->Tabs()->isTabVisible(0));
    EXPECT_FALSE(label->Visible());
}

// ---- moving controls ----

TEST_F(MT_DocWindow, ParentMovesToTailHeadAndPages) {
    Apply(Settings(Component("edTC004", "<Parent>Tail</Parent>")));
    EXPECT_EQ(edit->Parent(), foot);
    EXPECT_EQ(edit->Widget()->parentWidget(), foot->ClientWidget());
    Apply(Settings(Component("edTC004", "<Parent>Header</Parent>")));
    EXPECT_EQ(edit->Parent(), head);
    Apply(Settings(Component("edTC004", "<Parent>其他</Parent>")));   // by caption
    EXPECT_EQ(edit->Parent(), tsOther);
    Apply(Settings(Component("edTC004", "<Parent>tsBase</Parent>")));   // by name
    EXPECT_EQ(edit->Parent(), tsBase);
    EXPECT_EQ(edit->Owner(), form);
}

TEST_F(MT_DocWindow, UnknownParentLeavesTheControlWhereItIs) {
    for (const char* value : {"单身", "pnlBody", "", "TSOTHER"}) {
        Apply(Settings(Component("edTC004", std::string("<Parent>") + value + "</Parent>")));
        EXPECT_EQ(edit->Parent(), head) << value;
    }
    Apply(Settings(Component("pnlHead", "<Parent>Header</Parent>")));   // into itself
    EXPECT_EQ(head->Parent(), form);
}

TEST_F(MT_DocWindow, ChineseHeadAndTailAreComparedInTheInterfaceScript) {
    Big5Converter conv;
    Apply(Settings(Component("edTC004", "<Parent>单尾</Parent>")), conv.c);
    EXPECT_EQ(edit->Parent(), foot);
    Apply(Settings(Component("edTC004", "<Parent>單頭</Parent>")), conv.c);
    EXPECT_EQ(edit->Parent(), head);
    Apply(Settings(Component("lblTC004", "<Caption>客户资料</Caption>")), conv.c);
    EXPECT_EQ(label->Caption(), "客戶資料");
}

// ---- grid fields ----

TEST(MT_DocGrid, FieldsTakeLabelsWidthsAndVisibility) {
    GridFields grid({"TC001", "TC002", "TC004"});
    TMT_Doc doc(Settings("", "<gdMain><Field ID=\"TC004\"><DisplayLabel>客户</DisplayLabel>"
                             "<DisplayWidth>8</DisplayWidth><DCVisible>N</DCVisible></Field>"
                             "<Field ID=\"TC001\"><Visible>Y</Visible><DisplayWidth>x</DisplayWidth></Field>"
                             "<Field ID=\"TC999\"><Visible>N</Visible></Field></gdMain>"
                             "<gdOther><Field ID=\"TC002\"><Visible>N</Visible></Field></gdOther>"));
    doc.ApplyToGrid(grid, "gdMain");
    EXPECT_EQ(grid.Field("TC004")->Label, "客户");
    EXPECT_EQ(grid.Field("TC004")->Width, 8);
    EXPECT_FALSE(grid.Field("TC004")->Shown);
    EXPECT_TRUE(grid.Field("TC001")->Shown);
    EXPECT_EQ(grid.Field("TC001")->Width, 10);
    EXPECT_TRUE(grid.Field("TC002")->Shown);
    doc.ApplyToGrid(grid, "gdMissing");
    EXPECT_TRUE(grid.Field("TC002")->Shown);
}

TEST(MT_DocGrid, IndexesAreAppliedInTextOrder) {
    GridFields grid({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"});
    TMT_Doc doc(Settings("", "<gdMain><Field ID=\"K\"><Index>2</Index></Field>"
                             "<Field ID=\"B\"><Index>10</Index></Field>"
                             "<Field ID=\"C\"><Index>last</Index></Field></gdMain>"));
    doc.ApplyToGrid(grid, "gdMain");
    EXPECT_EQ(grid.moves, (std::vector<std::string>{"B->10", "K->2"}));
    // In number order K would have ended up second.
    EXPECT_EQ(grid.FieldNames(), (std::vector<std::string>{"A", "C", "K", "D", "E", "F", "G", "H", "I", "J", "B", "L"}));
}

// ---- reading ----

TEST(MT_DocRead, ValuesOfComponentsAndFields) {
    TMT_Doc doc(Settings(Component("edTC004", "<Required>-1</Required><Caption>a<![CDATA[&b]]></Caption>"),
                         "<gdMain><Field ID=\"TC004\"><DisplayLabel>客户</DisplayLabel></Field></gdMain>"));
    EXPECT_EQ(doc.GetComponentValue("edTC004", "Required"), "-1");
    EXPECT_EQ(doc.GetComponentValue("edTC004", "Caption"), "a&b");
    EXPECT_EQ(doc.GetComponentValue("edTC004", "Hint"), "");
    EXPECT_EQ(doc.GetComponentValue("edTC005", "Required"), "");
    EXPECT_EQ(doc.GetFieldValue("gdMain", "TC004", "DisplayLabel"), "客户");
    EXPECT_EQ(doc.GetFieldValue("gdMain", "TC005", "DisplayLabel"), "");
    EXPECT_EQ(doc.GetFieldValue("gdNone", "TC004", "DisplayLabel"), "");
    EXPECT_EQ(doc.GetComponentValue("edTC004", "not a name"), "");
}

// Regression: ids were quoted SQL-style inside the path, so an id with a
// quote made an expression the path reader rejects.
TEST(MT_DocRead, IdWithAQuoteIsNotFound) {
    TMT_Doc doc(Settings(Component("ed'X", "<Caption>q</Caption>"),
                         "<gdMain><Field ID=\"O'K\"><Caption>q</Caption></Field></gdMain>"));
    EXPECT_EQ(doc.GetComponentValue("ed'X", "Caption"), "");
    EXPECT_EQ(doc.GetFieldValue("gdMain", "O'K", "Caption"), "");
    GridFields grid({"O'K"});
    doc.ApplyToGrid(grid, "gdMain");   // no exception, nothing applied
    EXPECT_EQ(grid.Field("O'K")->Label, "");
}

TEST(MT_DocRead, RequiredComponentsListTheirFieldNames) {
    TMT_Doc doc(Settings(Component("edTC004", "<Required>-1</Required>") + Component("edTC001", "<Required>0</Required>") +
                         Component("TC12", "<Required>-1</Required>") + "<Component><Required>-1</Required></Component>" +
                         Component("lblCOPTD_TD008", "<Required>-1</Required>")));
    EXPECT_EQ(doc.ListIDs("Components/*[Required='-1']"), "TC004,TC12,TD008");
    EXPECT_EQ(doc.ListIDs("Components/*[Required='-1'"), "");
    EXPECT_EQ(doc.ListIDs("Nothing/*"), "");
}
