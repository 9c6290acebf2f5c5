// The query program frame: date field registration, the condition built
// from each kind of control, dates typed by the user, the query run through
// the query server with its parameter array, the result's display, the
// messages of its failures, lookups and code checks, and the frame's keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DBClient.h"
#include "Dispatch.h"
#include "FormTestSupport.h"
#include "KvCtrls.h"
#include "Mask.h"
#include "StdCtrls.h"
#include "controls/KvDBGrid.h"
#include "controls/SelectPnl.h"
#include "data/KvQueryCD.h"
#include "forms/KvQueryCF.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <filesystem>

using ::testing::HasSubstr;

using formtest::DemoWorld;
using formtest::Pump;
using plat::Variant;

namespace {

class TdmQueryDemo : public TdmKvQuery {
    VCL_DECLARE_CLASS(TdmQueryDemo)
public:
    explicit TdmQueryDemo(vcl::TComponent* owner) : TdmKvQuery(owner) {
        MIDAS->ServerName = "SOSRV01S.Class1";
        cdsMain->SetProviderName("pvdMain");
    }
};
const vcl::TClassInfo& TdmQueryDemo::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TdmQueryDemo>("TdmQueryDemo", TdmKvQuery::StaticClass());
    return info;
}

// A query window with one control of every kind on its condition page.
class QueryWindow : public TfrmKvQuery {
public:
    explicit QueryWindow(vcl::TComponent* owner) : TfrmKvQuery(owner) {
        SetBounds(0, 0, 700, 500);
        sp01 = Make<TSelectPanel>("sp01", 10);
        sp02 = Make<TSelectPanel>("sp02", 60);
        sp03 = Make<TSelectPanel>("sp03", 110);
        sp03->SetStyle(TSelectStyle::sp_Discrete);
        chk01 = Make<vcl::TBitCheckBox>("chk01", 200);
        chkAll = Make<vcl::TBitCheckBox>("chkAll", 220);
        cbo01 = Make<vcl::TComboBox>("cbo01", 240);
        for (const char* item : {"1:已结束", "2:未结束", "3:全部"}) cbo01->Items()->Add(item);
        ed01 = Make<vcl::TEdit>("ed01", 270);
        ed02 = Make<vcl::TEdit>("ed02", 300);
        mk01 = Make<vcl::TMaskEdit>("mk01", 330);
    }
    vcl::TClass DataModuleClass() const override { return &TdmQueryDemo::StaticClass(); }
    template <class T>
    T* Make(const char* name, int top) {
        T* c = vcl::TComponent::Create<T>(this);
        c->SetName(name);
        c->SetParent(ts01);
        c->SetBounds(10, top, 300, c->template Is<TSelectPanel>() ? 45 : 22);
        return c;
    }
    TSelectPanel *sp01, *sp02, *sp03;
    vcl::TBitCheckBox *chk01, *chkAll;
    vcl::TComboBox* cbo01;
    vcl::TEdit *ed01, *ed02;
    vcl::TMaskEdit* mk01;
};

void DateSettings(TfrmKvQuery* form, int kind = 1, const std::string& separator = "/") {
    form->DateFormatKind = kind;
    form->DateSeparator = separator;
    form->Brokers->SetSysParam("SYS001", std::to_string(kind));
    form->Brokers->SetSysParam("SYS002", separator);
}

// Passes the frame's calls on to the real query server and keeps the parameters.
class RecordingQueryServer : public plat::AutomationObject {
public:
    explicit RecordingQueryServer(Variant real) {
        Method("GetQueryData", [this, real](plat::Args& a) {
            ++calls;
            params = a[0].Value;
            return plat::CallMethod(real, "GetQueryData", {plat::ByRef(a[0].Value), plat::ByRef(a[1].Value)});
        });
        for (const char* name : {"SQLCommand", "DisplayLabels", "OrderBy", "ProgVerS"})
            Property(name, [real, name](plat::Args&) { return plat::GetProperty(real, name); });
    }
    int calls = 0;
    Variant params;
};

std::shared_ptr<RecordingQueryServer> Record(QueryWindow* form) {
    TdmKvQuery* dm = form->QueryModule();
    auto recorder = std::make_shared<RecordingQueryServer>(dm->QueryServer);
    dm->QueryServer = Variant(plat::DispatchRef(recorder));
    return recorder;
}

}  // namespace

// ---- date fields ----

// Unregistering used to leave the frame's handler on a field that had none
// of its own, and the next registration saved it as the field's own.
TEST(DateFields, RegisteringTwiceAndAgainWithANewListRestoresOwnHandlers) {
    DemoWorld world;
    auto* form = world.Create<QueryWindow>();
    form->LoadClientSettings();
    DateSettings(form);
    int ownEnter = 0;
    int marker = 0;
    form->ed01->OnEnter = vcl::TNotifyEvent([&](vcl::TObject*) { ++ownEnter; }, &marker);

    form->RegisterDateFields(" ed01 , ed02 ");
    EXPECT_EQ(form->DateFields, "ed01 , ed02");
    EXPECT_FALSE(form->ed01->OnEnter.BelongsTo(&marker));
    form->ed01->OnEnter(form->ed01);
    EXPECT_EQ(ownEnter, 1);                              // the field's own handler runs first
    EXPECT_EQ(form->ed01->Text(), "    /  /  ");          // then the blank date template

    form->RegisterDateFields("ed01 , ed02");             // the same list: nothing changes
    form->RegisterDateFields("ed02");
    EXPECT_TRUE(form->ed01->OnEnter.BelongsTo(&marker));   // given back
    EXPECT_TRUE(static_cast<bool>(form->ed02->OnEnter));

    form->RegisterDateFields("ed01");
    EXPECT_FALSE(static_cast<bool>(form->ed02->OnEnter));   // empty again, not the frame's
    EXPECT_FALSE(static_cast<bool>(form->ed02->OnExit));
    form->RegisterDateFields("ed02");
    form->RegisterDateFields("ed01");
    EXPECT_FALSE(static_cast<bool>(form->ed02->OnEnter));   // the frame's handler was never saved as its own
    form->Free();
}

TEST(DateFields, PanelsBecomeDatePanelsKeepingADesignedOrder) {
    DemoWorld world;
    auto* form = world.Create<QueryWindow>();
    form->LoadClientSettings();
    DateSettings(form, 2, "-");
    form->sp02->SetDateType(TDateType::dt_DDMMYYYY);
    form->RegisterDateFields("sp01,sp02,nothing");
    EXPECT_EQ(form->sp01->ValueType(), TValueType::vt_Date);
    EXPECT_EQ(form->sp01->DateType(), TDateType::dt_MMDDYYYY);
    EXPECT_EQ(form->sp01->DateSign(), "-");
    EXPECT_EQ(form->sp02->DateType(), TDateType::dt_DDMMYYYY);
    form->Free();
}

TEST(DateFields, TypedDatesBecomeStoredDatesOrNonDates) {
    DemoWorld world;
    auto* form = world.Create<QueryWindow>();
    struct Row {
        int kind;
        const char* separator;
        const char* text;
        const char* expected;
    } rows[] = {
        {1, "/", "2024/3/5", "20240305"},  {2, "/", "03/05/2024", "20240305"}, {3, ".", "5.3.2024", "20240305"},
        {4, "/", "113/03/05", "20240305"}, {5, "/", "113/3/5", "20240305"},    {1, "/", "    /  /  ", ""},
        {1, "/", "2024/03", "0"},          {1, "/", "2024/ab/05", "0"},        {1, "/", "2024/13/45", "20241345"},
        {1, "/", "", ""},
    };
    for (const Row& r : rows) {
        DateSettings(form, r.kind, r.separator);
        std::string result = "untouched";
        EXPECT_NO_THROW(form->DisplayDateToDb(r.text, false, result)) << r.text;
        EXPECT_EQ(result, r.expected) << r.kind << " " << r.text;
    }
    std::string result;
    form->DisplayDateToDb("  ", true, result, "20240101");
    EXPECT_EQ(result, "20240101");
    form->DisplayDateToDb("", true, result, "-1");
    EXPECT_EQ(result.size(), 8u);   // tomorrow
    form->Free();
}

TEST(DateFields, LeavingWithAnInvalidDateComplainsAndStays) {
    DemoWorld world;
    auto* form = world.Create<QueryWindow>();
    form->LoadClientSettings();
    DateSettings(form);
    form->RegisterDateFields("ed02");
    form->Show();
    form->ed02->SetFocus();
    form->ed02->SetText("2024/02/30");
    form->ed01->SetFocus();
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("日期格式错误"));   // E000005
    EXPECT_EQ(form->ActiveControl(), form->ed02);
    form->ed02->SetText("2024/02/29");
    form->ed01->SetFocus();
    EXPECT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(form->ActiveControl(), form->ed01);
    form->Free();
}

// ---- the condition ----

TEST(BuildCondition, EveryKindOfControlAndQuotesInValues) {
    DemoWorld world;
    auto* form = world.Create<QueryWindow>();
    form->LoadClientSettings();
    DateSettings(form);
    form->RegisterDateFields("ed02");
    form->sp01->BeginEdit->SetText("2201");
    form->sp01->FinalEdit->SetText("2203");
    form->sp02->SetValueType(TValueType::vt_Date);
    form->sp02->BeginEdit->SetText("2024/01/05");
    form->sp03->AddListRow({"C001"});
    form->sp03->AddListRow({"O'Neil"});
    form->chk01->SetChecked(true);
    form->chkAll->SetChecked(true);
    form->cbo01->SetItemIndex(1);
    form->ed01->SetText("A'B");
    form->ed02->SetText("2024/2/3");
    form->Page(0).ConditionSpec =
        "sp01:TC001|sp02:TC003|sp03:TC004|chk01:TD016;Y,N|chkAll:TC027;ALL,N|cbo01:TD016;Y,N,ALL|ed01:TC012|"
        "ed02:TD013|missing:XX|mk01:TC077";
    form->BuildCondition();
    EXPECT_EQ(form->ExtraCondition,
              "  (TC001 Between '2201' and '2203')  and  (TC003>= '20240105') and (TC004 IN ('C001', 'O''Neil')) "
              "AND TD016='Y' AND TD016='N' AND TC012='A''B' AND TD013='20240203'");

    form->chk01->SetChecked(false);
    form->cbo01->SetItemIndex(2);   // "ALL"
    form->Page(0).ConditionSpec = "ed01:TC012|chk01:TD016;Y,N|cbo01:TD016;Y,N,ALL|sp01:TC001";
    form->BuildCondition();
    EXPECT_EQ(form->ExtraCondition, "TC012='A''B' AND TD016='N' and  (TC001 Between '2201' and '2203') ");
    form->Free();
}

TEST(BuildCondition, RangePanelClauses) {
    DemoWorld world;
    auto* form = world.Create<QueryWindow>();
    form->LoadClientSettings();
    DateSettings(form, 4);
    struct Row {
        TValueType type;
        const char* begin;
        const char* end;
        const char* clause;
    } rows[] = {
        {TValueType::vt_String, "C1", "C1", " (X='C1') "},
        {TValueType::vt_String, "", "C9", " (X<= 'C9' OR X IS NULL )"},
        {TValueType::vt_String, "", "", ""},
        {TValueType::vt_OtherMask, "113/2", " / ", " (X>= '202402')"},
        {TValueType::vt_Date, "113/02/03", "113/02/29", " (X Between '20240203' and '20240229') "},
    };
    form->Page(0).ConditionSpec = "sp01:X";
    for (const Row& r : rows) {
        form->sp01->SetValueType(r.type);
        form->sp01->BeginEdit->SetText(r.begin);
        form->sp01->FinalEdit->SetText(r.end);
        form->BuildCondition();
        // The panel clause came first: its "Where " is cut off, one blank stays.
        EXPECT_EQ(form->ExtraCondition, *r.clause ? " " + std::string(r.clause) : "") << r.begin << "|" << r.end;
    }
    form->Free();
}

// ---- the query ----

// A date field holding no date stops the query before the server is asked;
// a year and month that is none cannot reach a condition either.
TEST(RunQuery, ADateThatIsNoDateStopsTheQueryWithItsMessage) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    form->Show();
    auto recorder = Record(form);
    form->Page(0).F2Option = "coptd-TD001$单别$C";
    form->Page(0).ConditionSpec = "sp02:TC003|ed02:TD013";
    form->RegisterDateFields("sp02,ed02");
    // Letters first: once the panel was entered its date mask refuses them.
    for (const char* text : {"abc", "2024/02/30", "2024/01"}) {
        SCOPED_TRACE(text);
        form->sp02->BeginEdit->SetText(text);
        EXPECT_THROW(form->BuildCondition(), EConditionValue);
        world.dialogs->Shown.clear();
        form->RunQuery();
        EXPECT_EQ(recorder->calls, 0);
        ASSERT_EQ(world.dialogs->Shown.size(), 1u);
        EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("日期格式错误"));
        EXPECT_EQ(form->ActiveControl(), form->sp02->BeginEdit);
    }
    form->sp02->BeginEdit->SetText("");
    form->ed02->SetText("    /  /  ");   // untouched: no bound, and no empty comparison
    form->BuildCondition();
    EXPECT_EQ(form->ExtraCondition, "");
    form->sp03->SetStyle(TSelectStyle::sp_Range);
    form->sp03->SetValueType(TValueType::vt_OtherMask);
    form->sp03->BeginEdit->SetText("2024/13");
    form->Page(0).ConditionSpec = "sp03:TC003";
    EXPECT_THROW(form->BuildCondition(), EConditionValue);
    form->Free();
}

TEST(RunQuery, SendsTheFourteenElementsAndShowsTheResult) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr) << (world.dialogs->Shown.empty() ? "" : world.dialogs->Shown[0].Text);
    form->Show();
    auto recorder = Record(form);
    vcl::TClientDataSet* main = form->MainDataSet();
    ASSERT_TRUE(main->Active());
    main->First();
    const std::string type = main->FieldByName("TC001")->AsString(), number = main->FieldByName("TC002")->AsString();
    form->Page(0).F2Option = "coptd-TD001$单别$C;TD002$单号;TD003$序号;TD013$预交货日$D;TD016$结束$L";
    form->Page(0).ConditionSpec = "ed01:TD016";
    form->Page(0).KeyFieldMap = "TC001:TD001|TC002:TD002|NOFIELD:X";
    form->Page(0).QueryParams = "extra";
    form->ed01->SetText("N");
    form->RunQuery();

    ASSERT_EQ(recorder->calls, 1);
    const Variant& p = recorder->params;
    ASSERT_EQ(plat::VarArrayHighBound(p), 13);
    EXPECT_EQ(p[0].ToString(), "COPTD");
    EXPECT_EQ(p[1].ToString(), "TD001$单别$C;TD002$单号;TD003$序号;TD013$预交货日$D;TD016$结束$L");
    EXPECT_EQ(p[3].ToInt(), 1);
    EXPECT_EQ(p[5].ToString(), "PRTest65");
    EXPECT_EQ(p[6].ToString(), "PRTest65");
    for (int i : {7, 8, 9, 10}) EXPECT_TRUE(p[i].IsEmpty()) << i;
    EXPECT_EQ(p[11].ToString(), "TD016='N' AND TD001='" + type + "' AND TD002='" + number + "'");
    EXPECT_EQ(p[12].ToString(), "extra");
    EXPECT_EQ(p[13].ToString(), "CHS");
    EXPECT_TRUE(form->Page(0).QueryParams.IsNull());
    EXPECT_TRUE(form->ExtraCondition.empty());

    Variant expected = world.install.Sql().SimpleSql(
        plat::VarArrayOf({"SELECT TD003 FROM $$COPTD COPTD WHERE " + p[11].ToString(), "TD003"}),
        plat::VarArrayOf({Variant(), "PRTest65"}));
    ASSERT_TRUE(plat::HasRows(expected));
    vcl::TClientDataSet* body = form->QueryModule()->cdsBody;
    EXPECT_EQ(body->RecordCount(), expected.Array().Count());
    EXPECT_EQ(form->pgBody->ActivePage(), form->tsResult);
    EXPECT_EQ(form->CurrentPage, 0);
    EXPECT_EQ(body->FieldByName("TD001")->DisplayLabel(), "单别");
    const std::string stored = body->FieldByName("TD013")->AsString();
    EXPECT_EQ(body->FieldByName("TD013")->DisplayText(), stored.substr(0, 4) + "/" + stored.substr(4, 2) + "/" + stored.substr(6, 2));
    EXPECT_EQ(form->gdMain->CheckBoxValues("TD016"), "Y;N");
    EXPECT_EQ(form->gdMain->TitleColor(0), vcl::RGB(0, 200, 200));   // sortable
    EXPECT_NE(form->gdMain->TitleColor(1), vcl::RGB(0, 200, 200));
    const std::string suffix = "]-查询", caption = form->Caption();
    EXPECT_TRUE(caption.size() > suffix.size() && caption.compare(caption.size() - suffix.size(), suffix.size(), suffix) == 0)
        << caption;
    EXPECT_FALSE(form->btnView->Enabled());
    EXPECT_TRUE(form->miTable2Excel->Enabled());

    form->gdMain->TitleClick(0);
    EXPECT_EQ(form->gdMain->TitleImage(0), 0);
    form->gdMain->TitleClick(0);
    EXPECT_EQ(form->gdMain->TitleImage(0), 1);
    EXPECT_EQ(form->gdMain->TitleImage(1), -1);

    form->RunQuery();   // on the result page: the same query again
    EXPECT_EQ(recorder->calls, 2);
    EXPECT_EQ(recorder->params[0].ToString(), "COPTD");
    EXPECT_EQ(recorder->params[11].ToString(), "TD001='" + type + "' AND TD002='" + number + "'");
    EXPECT_TRUE(world.dialogs->Shown.empty()) << world.dialogs->Shown[0].Text;
    form->Free();
}

TEST(RunQuery, EveryFailureHasItsMessage) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    form->Show();
    auto recorder = Record(form);
    struct Row {
        const char* option;
        const char* conditions;
        const char* edit;
        const char* message;
    } rows[] = {
        {"", "", "", "To PR:请先设置 F2Option[0]的开窗值!!"},
        {"COPTD", "", "", "To PR:F2Option[0]的开窗值设置错误!!"},
        {"COPTD-", "", "", "To PR:F2Option[0]的开窗值设置错误!!"},
        {"NOSUCH-TD001", "", "", "开窗种类指定错误"},
        {"COPTD-TD001", "ed01:TD016", "Q", "没有任何符合的信息."},
        {"COPTD-TD001", "ed01:NOCOLUMN", "Q", "后端运行失败.\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.option) + " " + r.conditions + " " + r.edit);
        world.dialogs->Shown.clear();
        form->pgBody->SetActivePage(form->ts01);
        form->Page(0).F2Option = r.option;
        form->Page(0).ConditionSpec = r.conditions;
        form->ed01->SetText(r.edit);
        form->RunQuery();
        ASSERT_EQ(world.dialogs->Shown.size(), 1u) << r.option;
        EXPECT_EQ(world.dialogs->Shown[0].Text.rfind(r.message, 0), 0u) << world.dialogs->Shown[0].Text;
        EXPECT_EQ(form->pgBody->ActivePage(), form->ts01);
    }
    EXPECT_GT(world.dialogs->Shown[0].Text.size(), std::string("后端运行失败.\n").size());   // with the server's text

    world.dialogs->Shown.clear();
    int before = recorder->calls;
    form->Page(0).F2Option = "COPTD-TD001";
    form->Page(0).RequiredControls = "ed01,cbo01";
    form->ed01->SetText("");
    form->RunQuery();
    EXPECT_EQ(recorder->calls, before);
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("查询 不可为空"));   // the parent's caption
    form->Free();
}

// ---- keys ----

TEST(QueryKeys, HeadHeightOnTheResultPageAndTheVersionKey) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    form->Show();
    const int full = form->HeadMaxHeight;
    form->pgBody->SetActivePage(form->ts01);
    form->ed01->SetFocus();
    formtest::Press(form, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form->pgHead->Height(), full);   // not on a condition page
    form->pgBody->SetActivePage(form->tsResult);
    form->gdMain->SetFocus();
    formtest::Press(form, Qt::Key_PageUp, Qt::ControlModifier);
    formtest::Press(form, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form->pgHead->Height(), full - 10);
    formtest::Press(form, Qt::Key_PageDown, Qt::ControlModifier);
    formtest::Press(form, Qt::Key_PageDown, Qt::ControlModifier);
    formtest::Press(form, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form->pgHead->Height(), full);   // never beyond the height it was made with
    formtest::Press(form, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("KvQueryS.Class1"));
    form->Free();
}

// ---- lookups and checks ----

TEST(Lookups, ListPanelsTakeRowsAndEditsTheFirstValue) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    form->Show();
    form->sp03->SetShowColumnHeader(true);
    vcl::TStrings columns;
    columns.Add("客户");
    columns.Add("简称");
    form->sp03->SetColumnCaptions(&columns);
    world.shellDialogs.RowAnswers = {std::vector<int>{0, 1}, std::vector<int>{2}};
    form->OpenLookupWindow(form->sp03->ListView, "COPMA", Variant(), "01");
    ASSERT_EQ(form->sp03->Items()->Count(), 2);
    EXPECT_EQ(form->sp03->Items()->Item(0)->SubItems()->Count(), 1);   // two columns of three
    EXPECT_TRUE(world.shellDialogs.Lookups.at(0).MultiSelect);
    form->OpenLookupWindow(form->ed01, "COPMA", Variant(), "01");
    EXPECT_FALSE(world.shellDialogs.Lookups.at(1).MultiSelect);
    EXPECT_EQ(form->ed01->Text(), "C003");   // the third customer, element 0 of the row

    vcl::TStrings none;
    form->sp03->SetColumnCaptions(&none);
    form->OpenLookupWindow(form->sp03->ListView, "COPMA", Variant(), "01");
    ASSERT_EQ(world.dialogs->Shown.size(), 1u);
    EXPECT_EQ(world.dialogs->Shown[0].Text.rfind("TO PR: 请先设置 SelectPanel 的 ColumnCaptions", 0), 0u);
    form->Free();
}

TEST(Lookups, PickDateShowsTheChosenDayInTheUsersFormat) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    world.shellDialogs.DateAnswers = {std::string("20240315"), std::nullopt};
    form->ed02->SetText("2024/03/01");
    form->PickDate(form->ed02);
    EXPECT_EQ(world.shellDialogs.DatesAsked.at(0), "20240301");
    EXPECT_EQ(form->ed02->Text(), "2024/03/15");
    form->PickDate(form->ed02);   // cancelled
    EXPECT_EQ(form->ed02->Text(), "2024/03/15");
    form->Free();
}

TEST(CodeChecks, LevelsChooseTheMessage) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    Variant row;
    EXPECT_TRUE(form->CheckCodeExists("COPMA", "01", "E", row, {Variant("C001")}));
    EXPECT_TRUE(row.IsArray());
    EXPECT_FALSE(form->CheckCodeExists("COPMA", "01", "E", row, {Variant("NONE")}));
    EXPECT_FALSE(form->CheckCodeExists("COPMA", "01", "W", row, {Variant("NONE")}));
    EXPECT_FALSE(form->CheckCodeExists("COPMA", "01", "N", row, {Variant("NONE")}));
    row = "kept";
    EXPECT_TRUE(form->CheckCodeExists("COPMA", "01", "E", row, {Variant("  ")}));   // nothing to check
    ASSERT_EQ(world.dialogs->Shown.size(), 2u);
    EXPECT_THAT(world.dialogs->Shown[0].Text, HasSubstr("字段 不存在,请重新输入"));
    EXPECT_THAT(world.dialogs->Shown[1].Text, HasSubstr("字段 不存在,是否继续"));
    form->Free();
}

// ---- painting ----

// What the user sees: the painted cells of the result grid alternate their
// colours by record, and the window's sorting switch decides whether a
// title click sorts.
TEST(ResultGrid, PaintedRowsAlternateAndTitleClicksSortOnlyWhenTheWindowAllows) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    form->SetBounds(0, 0, 900, 600);
    form->Show();
    form->Page(0).F2Option = "coptd-TD001$单别$C;TD002$单号;TD003$序号";
    form->RunQuery();
    ASSERT_EQ(form->pgBody->ActivePage(), form->tsResult);
    Pump();
    QTableView* view = form->gdMain->View();
    ASSERT_GE(form->QueryModule()->cdsBody->RecordCount(), 3);
    const QImage painted = view->viewport()->grab().toImage();
    auto cellColour = [&](int row) {
        QRect cell = view->visualRect(view->model()->index(row, 1));
        return vcl::QColorToColor(painted.pixelColor(cell.right() - 2, cell.top() + 2));
    };
    EXPECT_EQ(cellColour(1), vcl::RGB(206, 249, 231));   // record 2
    EXPECT_EQ(cellColour(2), vcl::RGB(251, 255, 236));   // record 3

    vcl::TClientDataSet* body = form->QueryModule()->cdsBody;
    auto firstNumbers = [&] {
        std::string out;
        for (int r = 0; r < 3; ++r) body->WithRecord(r, [&] { out += body->FieldByName("TD002")->AsString() + ","; });
        return out;
    };
    const std::string unsorted = firstNumbers();
    form->ColumnSorting = false;
    form->gdMain->TitleClick(1);   // 单号
    EXPECT_EQ(firstNumbers(), unsorted);
    EXPECT_EQ(form->gdMain->TitleImage(1), -1);
    form->ColumnSorting = true;
    form->gdMain->TitleClick(1);
    form->gdMain->TitleClick(1);
    EXPECT_EQ(form->gdMain->TitleImage(1), 1) << "descending after the second click";
    std::string descending = firstNumbers();
    EXPECT_GE(descending.substr(0, descending.find(',')), unsorted.substr(0, unsorted.find(',')));
    form->Free();
}

// The data module is told after every "GetQueryData", answered or refused.
TEST(RunQuery, TheDataModuleRefreshesAfterEveryQueryRequest) {
    DemoWorld world;
    auto* form = world.Start<QueryWindow>();
    ASSERT_NE(form, nullptr);
    form->Show();
    auto* shown = vcl::TComponent::Create<vcl::TEdit>(form);
    shown->SetParent(form->ts01);
    shown->SetDataSource(form->QueryModule()->dsMain);
    shown->SetDataField("TC004");
    vcl::TClientDataSet* main = form->MainDataSet();
    const std::string customer = main->FieldByName("TC004")->AsString();
    struct Refusing : plat::AutomationObject {
        explicit Refusing(std::function<void()> during) {
            Method("GetQueryData", [during](plat::Args&) {
                during();
                return Variant(false);
            });
        }
    };
    // The query server changes the main record behind the controls' back.
    form->QueryModule()->QueryServer = Variant(plat::DispatchRef(std::make_shared<Refusing>([&] {
        main->DisableControls();
        main->Edit();
        main->FieldByName("TC004")->SetAsString("ZZ99");
        main->Post();
        main->EnableControls();
        shown->SetText(customer);   // what the edit showed before
    })));
    form->Page(0).F2Option = "coptd-TD001$单别";
    form->RunQuery();
    EXPECT_EQ(shown->Text(), "ZZ99") << "the bound edit shows the record as the query left it";
    form->Free();
}

// ---- the single-table window as a user opens it ----

// The head grid of a single-table window: the tool bar with its images, no
// system fields at the start, and a column the user widened and saved
// coming back as wide in the next window. The picture of that second window
// goes to gui-screenshots/module/ in the build folder.
TEST(SingleTableWindow, ReopenedWithItsToolBarImagesAndTheSavedColumnWidth) {
    DemoWorld world;
    auto open = [&] {
        auto* form = world.Start<QueryWindow>();
        if (!form) return form;
        form->SetBounds(0, 0, 900, 560);
        form->SetHeadHeight(330);
        form->Show();
        Pump();
        return form;
    };
    auto* first = open();
    ASSERT_NE(first, nullptr);
    TKvDBGrid* grid = first->gdHead;
    vcl::TField* customer = first->MainDataSet()->FieldByName("TC004");
    const int perCharacter = QFontMetrics(grid->View()->font()).horizontalAdvance(QLatin1Char('0'));
    QHeaderView* header = grid->View()->horizontalHeader();
    const int column = header->logicalIndex(grid->ColumnPosition(customer));
    header->resizeSection(column, 24 * perCharacter + 4);   // the user drags the border
    first->NG->Click();
    first->Free();

    auto* form = open();
    ASSERT_NE(form, nullptr);
    grid = form->gdHead;
    customer = form->MainDataSet()->FieldByName("TC004");
    header = grid->View()->horizontalHeader();
    EXPECT_EQ(grid->ColumnWidth(header->logicalIndex(grid->ColumnPosition(customer))), 24 * perCharacter + 4);
    EXPECT_TRUE(form->ToolBar1->Visible());
    EXPECT_TRUE(form->miToolBar->Checked());
    for (const char* system : {"COMPANY", "CREATOR", "USR_GROUP", "CREATE_DATE", "MODIFIER", "MODI_DATE", "FLAG"})
        if (vcl::TField* f = form->MainDataSet()->FindField(system)) EXPECT_EQ(grid->ColumnPosition(f), -1) << system;
    std::vector<QImage> images;
    for (int i = 0; i < 10; ++i) {
        QImage image = form->ImageList1->Pixmap(i).toImage();
        for (const QImage& other : images) EXPECT_NE(image, other) << i;
        images.push_back(image);
    }

    // A folder of its own: the window journey clears the pictures at the top
    // of gui-screenshots/ when it starts.
    const std::string folder = std::string(ORTK_BIN_DIR) + "/../gui-screenshots/module/";
    std::filesystem::create_directories(folder);
    const QImage shot = form->Widget()->grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(folder + "single-table-window.png")));
    form->Free();
}
