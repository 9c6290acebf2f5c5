// The broker against a fake host shell whose automation objects record every
// call: argument arrays and by-reference flags as the host receives them,
// coded message dialogs as the user would see them, and the empty answers
// without a host.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "Dialogs.h"
#include "Dispatch.h"
#include "TempEnvironment.h"
#include "data/Brokers.h"

using plat::Args;
using plat::MsgDlgBtn;
using plat::MsgDlgType;
using plat::Variant;
using plat::VarArrayOf;

namespace {

struct Call {
    std::string member;
    std::vector<Variant> args;
    std::vector<bool> byRef;
};
using CallLog = std::vector<Call>;

// An automation object whose members log their calls before answering. The
// log belongs to the fake host: logged arguments may hold the objects
// themselves, so the objects must not own it.
class FakeObject : public plat::AutomationObject {
public:
    explicit FakeObject(CallLog* log) : log_(log) {}
    void On(const std::string& name, std::function<Variant(Args&)> answer) {
        Method(name, [log = log_, name, answer](Args& args) {
            Call call{name, {}, {}};
            for (const plat::Arg& a : args) {
                call.args.push_back(a.Value);
                call.byRef.push_back(a.IsByRef());
            }
            log->push_back(call);
            return answer(args);
        });
    }

private:
    CallLog* log_;
};

// The host shell: the host object and its three services share one log.
struct FakeHost {
    std::unique_ptr<CallLog> log = std::make_unique<CallLog>();
    std::shared_ptr<FakeObject> host = std::make_shared<FakeObject>(log.get());
    std::shared_ptr<FakeObject> validator = std::make_shared<FakeObject>(log.get());
    std::shared_ptr<FakeObject> picker = std::make_shared<FakeObject>(log.get());
    std::shared_ptr<FakeObject> counter = std::make_shared<FakeObject>(log.get());
    std::map<std::string, std::string> messages;   // kind + code -> text

    FakeHost() {
        host->On("Com_Validator", [this](Args&) { return Variant(plat::DispatchRef(validator)); });
        host->On("Com_Picker", [this](Args&) { return Variant(plat::DispatchRef(picker)); });
        host->On("Com_Counter", [this](Args&) { return Variant(plat::DispatchRef(counter)); });
        host->On("GetMessage", [this](Args& a) {
            auto it = messages.find(plat::ArgAt(a, 0).ToString() + plat::ArgAt(a, 1).ToString());
            return it == messages.end() ? Variant() : Variant(it->second);
        });
        validator->On("CheckValue", [](Args&) { return Variant(false); });
    }
    Variant Object() const { return Variant(plat::DispatchRef(host)); }

    std::vector<Call> CallsOf(const std::string& member) const {
        std::vector<Call> found;
        for (const Call& c : *log)
            if (c.member == member) found.push_back(c);
        return found;
    }
};

class FakeWindow : public IBrokerOwner {
public:
    intptr_t OwnerHandle() override { return 4711; }
    std::string OwnerCaption() const override { return "订单追踪查询"; }
    std::string UICodePage() const override { return uiCodePage; }
    std::string DBCodePage() const override { return dbCodePage; }
    int UIConversionMode() const override { return mode; }
    std::string ToDisplayText(const std::string& text) const override { return "繁:" + text; }
    bool HasUserRight(int element) const override { return rights.count(element) > 0; }
    void AfterMessage() override { ++afterMessages; }

    std::string uiCodePage = "936";
    std::string dbCodePage = "936";
    int mode = 0;
    std::set<int> rights;
    int afterMessages = 0;
};

class BrokersTest : public testing::Test {
protected:
    void SetUp() override {
        unsetenv("ORTK_ACP");
        brokers = vcl::TComponent::Create<TBrokers>(nullptr, &window);
        brokers->UserID = "KV";
        brokers->CompanyID = "PRTest65";
        brokers->DatabaseName = "PRTest65";
        brokers->ProgramCode = "ORTK41";
    }
    void TearDown() override { brokers->Free(); }

    // A broker bound to the fake host.
    void Bind() {
        brokers->HostObject = host.Object();
        ASSERT_TRUE(brokers->BindServices());
        host.log->clear();
    }
    const plat::MessageDialog& OnlyDialog() {
        EXPECT_EQ(dialogs->Shown.size(), 1u);
        return dialogs->Shown.front();
    }

    FakeHost host;
    FakeWindow window;
    TBrokers* brokers = nullptr;
    plat::ScopedScriptedDialogs dialogs;
};

}  // namespace

// ---- without an automation host ----

TEST_F(BrokersTest, HostObjectThatIsNoAutomationObjectGivesEmptyAnswers) {
    brokers->HostObject = "not an object";
    EXPECT_FALSE(brokers->BindServices());
    EXPECT_TRUE(brokers->CallServer("SimpleSQL", VarArrayOf({"SELECT 1", "X"})).IsEmpty());
    EXPECT_EQ(brokers->GetMessageText("E", "000001"), "");
    EXPECT_FALSE(brokers->LoadSysParams());
    Variant answer = "old";
    EXPECT_FALSE(brokers->CheckValue("COPMA", "01", "C001", answer));
    brokers->F2GetData("COPTC", "02", answer);
    EXPECT_TRUE(answer.IsEmpty());
    EXPECT_EQ(brokers->ExecWork("COPI06", "", true, answer), -1);
    std::string seq;
    brokers->QueryMaxSeq(nullptr, "COPTD", seq, Variant(), "TD001,");
    EXPECT_EQ(seq, "unKnow");
    EXPECT_EQ(brokers->GetPhrase("x"), "");
    EXPECT_EQ(brokers->ShowInputDay(false, "20240101"), "");
    EXPECT_EQ(brokers->GetCalcValue("1+1"), "");

    EXPECT_EQ(brokers->ShowCodedMessage("E", "000001", {}, 936, true, 2), plat::mrOk);
    EXPECT_EQ(OnlyDialog().Text.find_first_not_of(' '), std::string::npos);
}

// ---- binding ----

TEST_F(BrokersTest, BindServicesFetchesTheServicesAndReadsTheProgramRegistry) {
    brokers->HostObject = host.Object();
    EXPECT_TRUE(brokers->BindServices());
    EXPECT_TRUE(brokers->ValidatorService.IsDispatch());
    EXPECT_TRUE(brokers->LookupService.IsDispatch());
    EXPECT_TRUE(brokers->CounterService.IsDispatch());
    auto checks = host.CallsOf("CheckValue");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].args[0], Variant("ADMMB"));
    EXPECT_EQ(checks[0].args[1], Variant("06"));
    EXPECT_EQ(checks[0].args[3][0], Variant("ORTK41"));
    EXPECT_EQ(checks[0].args[3][1], Variant("PRTest65"));
}

TEST_F(BrokersTest, BindServicesFetchesOnlyTheServicesAskedFor) {
    brokers->Services = TBrokers::kBindCounter;
    brokers->HostObject = host.Object();
    EXPECT_TRUE(brokers->BindServices());
    EXPECT_TRUE(host.CallsOf("Com_Validator").empty());
    EXPECT_TRUE(host.CallsOf("Com_Picker").empty());
    EXPECT_EQ(host.CallsOf("Com_Counter").size(), 1u);
}

TEST_F(BrokersTest, BindServicesFailsWhenTheHostRaises) {
    host.host->On("Com_Picker", [](Args&) -> Variant { throw plat::EOleError("no picker"); });
    brokers->HostObject = host.Object();
    EXPECT_FALSE(brokers->BindServices());
}

// ---- server calls and code checks ----

TEST_F(BrokersTest, CallServerPassesMethodAndParamsByReferenceWithTheContext) {
    Bind();
    Variant rows = VarArrayOf({VarArrayOf({"220", "2024001"})});
    host.counter->On("GETCOUNTER", [&](Args&) { return rows; });
    Variant answer = brokers->CallServer("SimpleSQL", VarArrayOf({"SELECT TC001,TC002 FROM $$COPTC", "TC001,TC002"}));
    EXPECT_EQ(answer[0][1], Variant("2024001"));

    Call call = host.CallsOf("GETCOUNTER").at(0);
    EXPECT_EQ(call.byRef, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(call.args[0], Variant("SimpleSQL"));
    EXPECT_EQ(call.args[1][1], Variant("TC001,TC002"));
    EXPECT_EQ(call.args[2][0], Variant("PRTest65"));
    EXPECT_EQ(call.args[2][1], Variant("PRTest65"));
}

TEST_F(BrokersTest, CheckValueWritesTheAnswerBackAndSwallowsHostErrors) {
    Bind();
    host.validator->On("CheckValue", [](Args& a) {
        a[4].Value = VarArrayOf({"客户甲"});
        a[2].Value = "OtherDB";
        return Variant(true);
    });
    Variant answer;
    EXPECT_TRUE(brokers->CheckValue("COPMA", "01", "C001", answer));
    EXPECT_EQ(answer[0], Variant("客户甲"));
    EXPECT_EQ(brokers->DatabaseName, "PRTest65");
    Call call = host.CallsOf("CheckValue").at(0);
    EXPECT_EQ(call.byRef, (std::vector<bool>{false, false, true, true, true}));
    EXPECT_EQ(call.args[2], Variant("PRTest65"));
    EXPECT_EQ(call.args[3], Variant("C001"));

    host.validator->On("QueryData", [](Args&) -> Variant { throw plat::EOleError("broken"); });
    EXPECT_FALSE(brokers->QueryData("COPMA", "01", "C001", answer));
}

TEST_F(BrokersTest, QueryMaxSeqSendsTheKeyValuesOfTheNamedFields) {
    Bind();
    host.validator->On("QueryMaxSeq", [](Args& a) {
        a[6].Value = "0003";
        return Variant(true);
    });
    std::map<std::string, std::string> record{{"TD001", "220"}, {"TD002", "2024001"}};
    auto reader = [&](const std::string& field) { return record.at(field); };
    std::string result;
    brokers->QueryMaxSeq(reader, "COPTD", result, "x", "TD001, TD002,");
    EXPECT_EQ(result, "0003");
    Call call = host.CallsOf("QueryMaxSeq").at(0);
    EXPECT_EQ(call.byRef, std::vector<bool>(7, true));
    EXPECT_EQ(call.args[0], Variant("COPTD"));
    EXPECT_EQ(call.args[1], Variant("TD001, TD002,"));
    ASSERT_EQ(call.args[2].Array().Count(), 2);
    EXPECT_EQ(call.args[2][1], Variant("2024001"));
    EXPECT_EQ(call.args[4], Variant("ORTK41"));

    // A last name without the final comma still counts.
    brokers->QueryMaxSeq(reader, "COPTD", result, "x", "TD001,TD002");
    EXPECT_EQ(host.CallsOf("QueryMaxSeq").at(1).args[2].Array().Count(), 2);

    brokers->QueryMaxSeq(reader, "COPTD", result, "x", "NOFIELD,");
    EXPECT_EQ(result, "unKnow");
    host.validator->On("QueryMaxSeq", [](Args&) { return Variant(false); });
    brokers->QueryMaxSeq(reader, "COPTD", result, "x", "TD001,");
    EXPECT_EQ(result, "unKnow");
}

TEST_F(BrokersTest, SystemParametersComeFromTheCounterAsNameValueLines) {
    Bind();
    host.counter->On("GetSysInfo", [](Args&) { return Variant("SYS001=1\r\nSYS002=/\r\nKVX002=测试\r\n"); });
    EXPECT_TRUE(brokers->LoadSysParams());
    EXPECT_TRUE(host.CallsOf("GetSysInfo").at(0).byRef.at(0));
    EXPECT_EQ(brokers->GetSysParam("sys002"), "/");
    EXPECT_EQ(brokers->GetSysParam(""), "");
    brokers->SetSysParam("", "ignored");
    brokers->SetSysParam("SYS180", "Y");
    EXPECT_EQ(brokers->GetSysParam("SYS180"), "Y");
    EXPECT_EQ(brokers->SysParams.Count(), 4);

    host.counter->On("GetSysInfo", [](Args&) { return Variant(""); });
    EXPECT_FALSE(brokers->LoadSysParams());
}

TEST_F(BrokersTest, MaxRecordIsCappedAtFortyAndZeroWhenNotANumber) {
    brokers->UserInfo.SetValue("MAX_RECORD", "100");
    EXPECT_EQ(brokers->GetMaxRecord(), 40);
    brokers->UserInfo.SetValue("MAX_RECORD", "abc");
    EXPECT_EQ(brokers->GetMaxRecord(), 0);
    brokers->UserInfo.SetValue("MAX_RECORD", "25");
    EXPECT_EQ(brokers->GetMaxRecord(), 25);
    brokers->UserInfo.SetValue("MAX_RECORD", "");
    EXPECT_EQ(brokers->GetMaxRecord(), 0);
}

// ---- the program registry ----

TEST_F(BrokersTest, ProgramInfoTakesTheEnglishTitleUnderCodePage437) {
    window.uiCodePage = "437";
    host.validator->On("CheckValue", [](Args& a) {
        a[4].Value = VarArrayOf({"订单追踪", "ORTR41", "a2", "a3", "a4", "a5", "a6", "Y", "E", "Order Tracking"});
        return Variant(true);
    });
    brokers->HostObject = host.Object();
    ASSERT_TRUE(brokers->BindServices());
    EXPECT_EQ(brokers->GetProgramTitle(), "Order Tracking");
    EXPECT_EQ(brokers->GetPrintProgram(), "ORTR41");
    EXPECT_EQ(brokers->ProgramAttributes[4], "a6");
    EXPECT_TRUE(brokers->ProgramFlagY);
    EXPECT_EQ(brokers->ProgramKind, 2);

    window.uiCodePage = "936";
    brokers->LoadProgramInfo();
    EXPECT_EQ(brokers->GetProgramTitle(), "订单追踪");
}

TEST_F(BrokersTest, ShortRegistryAnswerFillsWhatItHas) {
    Bind();
    host.validator->On("CheckValue", [](Args& a) {
        a[4].Value = VarArrayOf({"订单追踪", Variant::Null()});
        return Variant(true);
    });
    brokers->LoadProgramInfo();
    EXPECT_EQ(brokers->GetProgramTitle(), "订单追踪");
    EXPECT_EQ(brokers->GetPrintProgram(), "");
    EXPECT_EQ(brokers->ProgramKind, 0);
}

TEST_F(BrokersTest, ProgramNameQueriesTheRegistryWithAQuotedCode) {
    Bind();
    host.counter->On("GETCOUNTER", [](Args&) { return VarArrayOf({VarArrayOf({"客户订单", "Sales Order", "", ""})}); });
    EXPECT_EQ(brokers->GetProgramName("O'X"), "客户订单");
    Call call = host.CallsOf("GETCOUNTER").at(0);
    EXPECT_EQ(call.args[1][0], Variant("SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='O''X'"));
    EXPECT_EQ(call.args[1][1], Variant("MB002,MB011,MB012,MB013"));
    EXPECT_EQ(call.args[1][3], Variant("N"));
    window.uiCodePage = "437";
    EXPECT_EQ(brokers->GetProgramName("COPI06"), "Sales Order");

    host.counter->On("GETCOUNTER", [](Args&) { return VarArrayOf({}); });
    EXPECT_EQ(brokers->GetProgramName("COPI06"), "COPI06");
}

// ---- coded messages ----

TEST_F(BrokersTest, MessageKindsChooseDialogTypeAndButtons) {
    Bind();
    struct Expect { std::string kind; MsgDlgType type; std::vector<MsgDlgBtn> buttons; };
    std::vector<Expect> table{
        {"C", MsgDlgType::Warning, {MsgDlgBtn::OK, MsgDlgBtn::Cancel}},
        {"D", MsgDlgType::Warning, {MsgDlgBtn::Yes, MsgDlgBtn::No, MsgDlgBtn::Cancel}},
        {"E", MsgDlgType::Error, {MsgDlgBtn::OK}},
        {"I", MsgDlgType::Information, {MsgDlgBtn::OK}},
        {"Q", MsgDlgType::Confirmation, {MsgDlgBtn::OK, MsgDlgBtn::Cancel}},
        {"W", MsgDlgType::Warning, {MsgDlgBtn::OK, MsgDlgBtn::Cancel}},
        {"X", MsgDlgType::Custom, {MsgDlgBtn::OK}},
        {"T", MsgDlgType::Error, {MsgDlgBtn::Yes, MsgDlgBtn::No, MsgDlgBtn::Cancel, MsgDlgBtn::YesToAll}},
    };
    for (const Expect& e : table) {
        SCOPED_TRACE(std::string("kind ") + e.kind);
        dialogs->Shown.clear();
        brokers->ShowCodedMessage(e.kind, "000001", {}, 936, false, 2);
        EXPECT_EQ(OnlyDialog().Type, e.type) << e.kind;
        EXPECT_EQ(OnlyDialog().Buttons, e.buttons) << e.kind;
        EXPECT_EQ(OnlyDialog().Caption, "订单追踪查询");
    }
    EXPECT_EQ(window.afterMessages, static_cast<int>(table.size()));
}

TEST_F(BrokersTest, MessageTextIsTheHostTextWithItsArguments) {
    Bind();
    host.messages["E000012"] = "单号%s不存在";
    brokers->ShowCodedMessage("E", "000012", {"220-2024001"}, 936, true, 2);
    EXPECT_EQ(OnlyDialog().Text, "单号220-2024001不存在 ");
    EXPECT_EQ(OnlyDialog().FontName, "SimSun");
    EXPECT_EQ(OnlyDialog().FontCharset, 134);
}

TEST_F(BrokersTest, KindTAsksForTheErrorTextAndAddsTheContinueQuestion) {
    Bind();
    host.messages["E000020"] = "库存不足";
    brokers->ShowCodedMessage("T", "000020", {}, 936, true, 2);
    EXPECT_EQ(OnlyDialog().Text, "库存不足 \n是否继续?");
    EXPECT_EQ(host.CallsOf("GetMessage").at(0).args[0], Variant("E"));
}

TEST_F(BrokersTest, HostTextWithUnmatchedPlaceholdersIsShownAsWritten) {
    Bind();
    host.messages["E000013"] = "%s%d%";
    brokers->ShowCodedMessage("E", "000013", {}, 936, true, 2);
    EXPECT_EQ(OnlyDialog().Text, "%s%d% ");
}

TEST_F(BrokersTest, BlanksFollowTheCodePages) {
    Bind();
    host.messages["I000001"] = "完成";
    auto textUnder = [&](const std::string& ui, const std::string& db, int mode) {
        window.uiCodePage = ui;
        window.dbCodePage = db;
        window.mode = mode;
        dialogs->Shown.clear();
        brokers->ShowCodedMessage("I", "000001", {}, 936, true, 2);
        return OnlyDialog().Text;
    };
    EXPECT_EQ(textUnder("936", "936", 0), "完成 ");
    EXPECT_EQ(textUnder("950", "936", 0), "完成     ");
    EXPECT_EQ(textUnder("936", "950", 0), "完成     ");
    EXPECT_EQ(textUnder("437", "936", 0), "完成 ");
    EXPECT_EQ(textUnder("936", "936", 4), "完成       ");
    setenv("ORTK_ACP", "1252", 1);
    EXPECT_EQ(textUnder("437", "936", 0), "完成       ");
    unsetenv("ORTK_ACP");
}

TEST_F(BrokersTest, ButtonCaptionsAreChineseUnlessTheInterfaceIsEnglish) {
    Bind();
    brokers->ShowCodedMessage("D", "000001", {}, 936, true, 2);
    std::map<MsgDlgBtn, std::string> chinese{
        {MsgDlgBtn::Yes, "是(&Y)"}, {MsgDlgBtn::No, "否(&N)"}, {MsgDlgBtn::Cancel, "取消"}};
    EXPECT_EQ(OnlyDialog().ButtonCaptions, chinese);

    dialogs->Shown.clear();
    window.uiCodePage = "437";
    brokers->ShowCodedMessage("D", "000001", {}, 936, true, 2);
    EXPECT_TRUE(OnlyDialog().ButtonCaptions.empty());
}

TEST_F(BrokersTest, TraditionalModeConvertsTextCaptionsAndFont) {
    Bind();
    host.messages["T000001"] = "ignored";
    host.messages["E000001"] = "错误";
    window.mode = 2;
    brokers->ShowCodedMessage("T", "000001", {}, 936, true, 2);
    const plat::MessageDialog& d = OnlyDialog();
    EXPECT_EQ(d.Text, "繁:错误 \n繁:是否继续?      ");
    EXPECT_EQ(d.ButtonCaptions.at(MsgDlgBtn::YesToAll), "繁:全是(&A)");
    EXPECT_EQ(d.FontCharset, 136);

    dialogs->Shown.clear();
    window.mode = 1;
    brokers->ShowCodedMessage("C", "000001", {}, 936, true, 2);
    EXPECT_EQ(OnlyDialog().ButtonCaptions.at(MsgDlgBtn::OK), "确定");
    EXPECT_EQ(OnlyDialog().FontCharset, 134);
}

TEST_F(BrokersTest, DefaultButtonIsChosenByItsPlaceInTheFullButtonList) {
    Bind();
    auto defaultOf = [&](const std::string& kind, int position) {
        dialogs->Shown.clear();
        brokers->ShowCodedMessage(kind, "000001", {}, 936, false, position);
        return OnlyDialog().DefaultButton;
    };
    EXPECT_EQ(defaultOf("C", 2), 0);      // OK
    EXPECT_EQ(defaultOf("C", 3), 1);      // Cancel
    EXPECT_EQ(defaultOf("D", 1), 1);      // No
    EXPECT_EQ(defaultOf("T", 9), 3);      // Yes to all
    EXPECT_EQ(defaultOf("D", 2), -1);     // no OK button in the dialog
    EXPECT_EQ(defaultOf("E", 99), -1);
    EXPECT_EQ(defaultOf("E", -1), -1);
}

TEST_F(BrokersTest, WarningAnsweredWithCancelAbortsTheAction) {
    Bind();
    dialogs->Answers = {plat::mrCancel};
    EXPECT_THROW(brokers->ShowCodedMessage("W", "000005", {}, 936, true, 2), plat::EAbort);
    EXPECT_EQ(dialogs->Shown.size(), 1u);

    dialogs->Answers = {plat::mrCancel};
    EXPECT_EQ(brokers->ShowCodedMessage("W", "000005", {}, 936, false, 2), plat::mrCancel);
    dialogs->Answers = {plat::mrOk};
    EXPECT_EQ(brokers->ShowCodedMessage("W", "000005", {}, 936, true, 2), plat::mrOk);
    dialogs->Answers = {plat::mrCancel};
    EXPECT_EQ(brokers->ShowCodedMessage("C", "000005", {}, 936, true, 2), plat::mrCancel);
}

// ---- lookup window ----

TEST_F(BrokersTest, F2GetDataSendsTheNineteenElementArray) {
    Bind();
    window.rights = {33};
    brokers->UserInfo.SetValue("BaseLimited", "Y");
    host.picker->On("F2GetData", [](Args&) { return VarArrayOf({VarArrayOf({"220", "2024001"})}); });
    Variant answer;
    brokers->F2GetData("COPTC", "02", answer, "t13", "t12", "t11", 0, "spare", true, false, "t4",
                       VarArrayOf({"220", ""}));
    EXPECT_EQ(answer[0][1], Variant("2024001"));

    Call call = host.CallsOf("F2GetData").at(0);
    EXPECT_EQ(call.byRef, std::vector<bool>{true});
    Variant p = call.args[0];
    ASSERT_EQ(p.Array().LowBound(), 0);
    ASSERT_EQ(p.Array().HighBound(), 18);
    EXPECT_EQ(p[0], Variant("COPTC"));
    EXPECT_EQ(p[1], Variant("02"));
    EXPECT_EQ(p[2][0], Variant("220"));
    EXPECT_EQ(p[3].Type(), plat::VarType::Boolean);
    EXPECT_FALSE(p[3].ToBool());
    EXPECT_EQ(p[4], Variant("t4"));
    EXPECT_EQ(p[5], Variant("PRTest65"));
    EXPECT_EQ(p[7], Variant(4711));
    EXPECT_EQ(p[8], Variant(1));
    EXPECT_TRUE(p[9].ToBool());
    EXPECT_EQ(p[10], Variant(3));   // the host has no "ProductID"
    EXPECT_EQ(p[11], Variant("t11"));
    EXPECT_EQ(p[13], Variant("t13"));
    EXPECT_EQ(p[14], Variant("Y"));
    EXPECT_TRUE(p[15].ToBool());
    EXPECT_FALSE(p[16].ToBool());
    EXPECT_TRUE(p[17].IsDispatch());
    EXPECT_EQ(p[18], Variant("KV"));

    host.host->On("ProductID", [](Args&) { return Variant(7); });
    brokers->F2GetData("COPMA", "61", answer, "", "", "", 99);
    p = host.CallsOf("F2GetData").at(1).args[0];
    EXPECT_EQ(p[7], Variant(99));
    EXPECT_EQ(p[10], Variant(7));
}

TEST_F(BrokersTest, PhraseIsTakenOnlyWhenTheHostAnswersZeroOrMore) {
    Bind();
    host.picker->On("GetPhrase2", [](Args& a) {
        a[3].Value = a[3].Value.ToString() + "，谢谢";
        return Variant(0);
    });
    EXPECT_EQ(brokers->GetPhrase("请尽快交货"), "请尽快交货，谢谢");
    Call call = host.CallsOf("GetPhrase2").at(0);
    EXPECT_EQ(call.byRef, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(call.args[2], Variant(4711));
    host.picker->On("GetPhrase2", [](Args&) { return Variant(-1); });
    EXPECT_EQ(brokers->GetPhrase("x"), "");
}

TEST_F(BrokersTest, FailingCalculatorAsksForTheComponentUpdate) {
    Bind();
    host.messages["E000032"] = "%s";
    host.picker->On("GetCalcValue", [](Args&) -> Variant { throw plat::EOleError("old picker"); });
    EXPECT_EQ(brokers->GetCalcValue("1+2"), "");
    EXPECT_EQ(OnlyDialog().Text, "请更新PickerC.dll ");
}

TEST_F(BrokersTest, CharacterMapDefaultsToUserCompanyAndWindow) {
    Bind();
    host.picker->On("ShowCharaters", [](Args&) { return Variant("字"); });
    EXPECT_EQ(brokers->ShowCharacters(5, true), Variant("字"));
    Call call = host.CallsOf("ShowCharaters").at(0);
    EXPECT_EQ(call.byRef, (std::vector<bool>{true, true, true, false, true}));
    EXPECT_EQ(call.args[0], Variant("KV"));
    EXPECT_EQ(call.args[1], Variant("PRTest65"));
    EXPECT_EQ(call.args[4], Variant("4711"));
}

// ---- other programs ----

TEST_F(BrokersTest, ExecWorkPassesFiveArgumentsByReference) {
    Bind();
    host.host->On("ExecWork", [](Args& a) {
        a[4].Value = "done";
        return Variant(0);
    });
    Variant answer = "stale";
    EXPECT_EQ(brokers->ExecWork("COPI06", "TC001='220'", true, answer), 0);
    EXPECT_EQ(answer, Variant("done"));
    Call call = host.CallsOf("ExecWork").at(0);
    EXPECT_EQ(call.byRef, std::vector<bool>(5, true));
    EXPECT_EQ(call.args[0][2], Variant("COPI06"));
    EXPECT_EQ(call.args[0][3], Variant(4711));
    EXPECT_EQ(call.args[1], Variant("TC001='220'"));
    EXPECT_EQ(call.args[2][1], Variant(4));
    EXPECT_TRUE(call.args[2][2].IsEmpty());
    EXPECT_EQ(call.args[3], Variant(2));

    brokers->ExecWork("COPI06", "", false, answer, VarArrayOf({0, 255, Variant()}));
    EXPECT_EQ(host.CallsOf("ExecWork").at(1).args[2][1], Variant(255));
    EXPECT_TRUE(dialogs->Shown.empty());
}

TEST_F(BrokersTest, ExecWorkErrorNamesTheProgram) {
    Bind();
    host.messages["E000032"] = "%s";
    host.host->On("ExecWork", [](Args&) { return Variant(-5); });
    host.counter->On("GETCOUNTER", [](Args&) { return VarArrayOf({VarArrayOf({"客户订单建立", "", "", ""})}); });
    Variant answer;
    EXPECT_EQ(brokers->ExecWork("COPI06", "", true, answer), -5);
    EXPECT_EQ(OnlyDialog().Text, "[客户订单建立]作业程序无运行作业权限! ");
    EXPECT_EQ(OnlyDialog().Type, MsgDlgType::Error);
    EXPECT_EQ(host.CallsOf("GetMessage").at(0).args[1], Variant("000032"));

    dialogs->Shown.clear();
    EXPECT_EQ(brokers->ExecWork("COPI06", "", false, answer), -5);
    host.host->On("ExecWork", [](Args&) { return Variant(3); });
    EXPECT_EQ(brokers->ExecWork("COPI06", "", true, answer), 3);
    EXPECT_TRUE(dialogs->Shown.empty());
}

// An installation whose interface is English takes the broker's own texts
// from the English package like every other text of the program.
TEST_F(BrokersTest, OwnTextsComeFromTheLanguagePackageOfTheInterface) {
    ortktest::TempFolder folder;
    ortktest::ScopedEnv drive("ORTK_DRIVE_D", folder.Path());
    ortktest::ScopedEnv registry("ORTK_REGISTRY_FILE", folder.Path() + "registry.reg");
    folder.Write("registry.reg",
                 "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\r\n"
                 "\"ClientPath\"=\"D:\\\\app\"\r\n");
    folder.Write("app/CorvaneC.ini", "[CodePage]\r\nUICodePage=437\r\n");
    std::filesystem::copy(std::string(ORTK_SOURCE_DIR) + "/packages/MultiLanguage", folder.Path() + "app/MultiLanguage",
                          std::filesystem::copy_options::recursive);
    window.uiCodePage = "437";
    Bind();
    host.messages["E000020"] = "Not enough stock";
    brokers->ShowCodedMessage("T", "000020", {}, 936, true, 2);
    EXPECT_EQ(OnlyDialog().Text, "Not enough stock \nContinue?");

    dialogs->Shown.clear();
    host.messages["E000032"] = "%s";
    host.host->On("ExecWork", [](Args&) { return Variant(-5); });
    host.counter->On("GETCOUNTER", [](Args&) {
        return VarArrayOf({VarArrayOf({"客户订单建立", "Sales order entry", "", ""})});
    });
    Variant answer;
    brokers->ExecWork("COPI06", "", true, answer);
    EXPECT_EQ(OnlyDialog().Text, "[Sales order entry] You have no right to run this program! ");

    dialogs->Shown.clear();
    host.picker->On("GetCalcValue", [](Args&) -> Variant { throw plat::EOleError("no calculator"); });
    brokers->GetCalcValue("1+");
    EXPECT_EQ(OnlyDialog().Text, "Please update PickerC.dll ");
}

