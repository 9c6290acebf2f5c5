// The host automation object and its services over the demo database, called
// the way program modules call them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "AppServer.h"
#include "ClassRegistry.h"
#include "ShellTestSupport.h"
#include "StrUtils.h"

using ::testing::HasSubstr;

using plat::ByRef;
using plat::ByVal;
using plat::Variant;

namespace {

class HostServices : public testing::Test {
protected:
    Variant Service(const char* name) { return plat::GetProperty(demo.host, name); }
    shelltest::DemoHost demo;
};

}  // namespace

TEST_F(HostServices, AnswersItsVersionProductAndServices) {
    EXPECT_EQ(plat::GetProperty(demo.host, "DependencyVersion").ToInt(), 8000);
    EXPECT_TRUE(plat::GetProperty(demo.host, "ProductID").IsNumeric());
    for (const char* name : {"Com_Validator", "Com_Picker", "Com_Counter"}) EXPECT_TRUE(Service(name).IsDispatch()) << name;
}

TEST_F(HostServices, MessagesComeFromTheCatalogueInTheUsersLanguage) {
    std::string chinese = plat::CallMethod(demo.host, "GetMessage", {ByVal("E"), ByVal("000038")}).ToString();
    EXPECT_FALSE(chinese.empty());
    demo.env->Session.UICodePage = "437";
    std::string english = plat::CallMethod(demo.host, "GetMessage", {ByVal("E"), ByVal("000038")}).ToString();
    EXPECT_FALSE(english.empty());
    EXPECT_NE(chinese, english);
    EXPECT_EQ(plat::CallMethod(demo.host, "GetMessage", {ByVal("E"), ByVal("999999")}).ToString(), "");
}

TEST_F(HostServices, CounterRunsSimpleSqlForTheCallersDatabase) {
    Variant method("SimpleSQL");
    Variant params = plat::VarArrayOf({"SELECT MB001,MB002 FROM $$ADMMB ADMMB WHERE MB001='ORTK41'", "MB001,MB002"});
    Variant answer = plat::CallMethod(Service("Com_Counter"), "GETCOUNTER",
                                      {ByRef(method), ByRef(params), ByVal(plat::VarArrayOf({"PRTest65", "PRTest65"}))});
    ASSERT_TRUE(plat::HasRows(answer));
    EXPECT_EQ(plat::Trim(answer[0][0].ToString()), "ORTK41");
    EXPECT_FALSE(answer[0][1].ToString().empty());

    Variant company("PRTest65");
    std::string lines = plat::CallMethod(Service("Com_Counter"), "GetSysInfo", {ByRef(company)}).ToString();
    EXPECT_THAT(lines, HasSubstr("SYS001="));
    EXPECT_THAT(lines, HasSubstr("KVX002="));
}

TEST_F(HostServices, CheckValueAnswersTheProgramRegistryRowByReference) {
    Variant database("PRTest65"), key = plat::VarArrayOf({"ORTK41", "PRTest65"}), answer;
    Variant found = plat::CallMethod(Service("Com_Validator"), "CheckValue",
                                     {ByVal("ADMMB"), ByVal("06"), ByRef(database), ByRef(key), ByRef(answer)});
    EXPECT_TRUE(found.ToBool());
    ASSERT_TRUE(answer.IsArray());
    EXPECT_EQ(answer.Array().HighBound(), 9);   // title, print program, 5 attributes, flag, kind, English title
    EXPECT_FALSE(answer[0].ToString().empty());
    EXPECT_FALSE(answer[9].ToString().empty());

    key = plat::VarArrayOf({"NOSUCH"});
    answer = Variant();
    found = plat::CallMethod(Service("Com_Validator"), "QueryData",
                             {ByVal("CMSNO"), ByVal("01"), ByRef(database), ByRef(key), ByRef(answer)});
    EXPECT_FALSE(found.ToBool());
    EXPECT_TRUE(answer.IsEmpty());
}

TEST_F(HostServices, LookupHandsBackTheChosenRowsAsStored) {
    Variant request(plat::VarArray(0, 18));
    request[0] = "COPTC";
    request[1] = "02";
    request[2] = plat::VarArrayOf({"2201", ""});
    request[3] = false;
    request[6] = "PRTest65";
    demo.dialogs.RowAnswers.push_back(std::vector<int>{1});
    Variant answer = plat::CallMethod(Service("Com_Picker"), "F2GetData", {ByRef(request)});
    ASSERT_EQ(demo.dialogs.Lookups.size(), 1u);
    EXPECT_FALSE(demo.dialogs.Lookups[0].MultiSelect);
    EXPECT_EQ(demo.dialogs.Lookups[0].Filter, "2201");
    ASSERT_TRUE(plat::HasRows(answer));
    EXPECT_EQ(answer[0][0].ToString().size(), 4u);    // order type as stored, padded
    EXPECT_EQ(answer[0][1].ToString().size(), 11u);   // order number as stored, padded
    EXPECT_EQ(plat::Trim(answer[0][1].ToString()), demo.dialogs.Lookups[0].Rows[1][1]);

    // Cancelled: nothing chosen, Empty answer.
    EXPECT_TRUE(plat::CallMethod(Service("Com_Picker"), "F2GetData", {ByRef(request)}).IsEmpty());
    request[0] = "NOSUCH";
    EXPECT_THROW(plat::CallMethod(Service("Com_Picker"), "F2GetData", {ByRef(request)}), plat::EOleError);
}

TEST_F(HostServices, CalendarAndCalculator) {
    demo.dialogs.DateAnswers.push_back(std::string("20261207"));
    Variant day = plat::CallMethod(Service("Com_Picker"), "ShowInputDay",
                                   {ByVal(plat::VarArrayOf({false, "20260101", "PRTest65"}))});
    EXPECT_EQ(day.ToString(), "20261207");
    EXPECT_EQ(demo.dialogs.DatesAsked, std::vector<std::string>{"20260101"});
    EXPECT_EQ(plat::CallMethod(Service("Com_Picker"), "ShowInputDay", {ByVal(plat::VarArrayOf({false, "", ""}))}).ToString(), "");

    EXPECT_EQ(shell::Calculate("2*(3+4)-1/4"), 13.75);
    EXPECT_EQ(shell::Calculate(" -2 * -3 "), 6);
    EXPECT_FALSE(shell::Calculate("1/0"));
    EXPECT_FALSE(shell::Calculate("2*(3"));
    EXPECT_FALSE(shell::Calculate("12abc"));
    Variant expression("1.5*4");
    EXPECT_EQ(plat::CallMethod(Service("Com_Picker"), "GetCalcValue", {ByRef(expression), ByVal(int32_t(0))}).ToString(), "6");
}

TEST_F(HostServices, ExecWorkOpensTheSelectedDocumentReadOnly) {
    Variant args = plat::VarArrayOf({"KV", "PRTest65", "PGSO01", int32_t(0)});
    Variant condition(" COPTC.TC001 + '-' + COPTC.TC002 ='2201-20240100001'");
    Variant options = plat::VarArrayOf({int32_t(0), int32_t(255), Variant()}), kind(int32_t(2)), answer;
    Variant code = plat::CallMethod(demo.host, "ExecWork",
                                    {ByRef(args), ByRef(condition), ByRef(options), ByRef(kind), ByRef(answer)});
    EXPECT_EQ(code.ToInt(), 0);
    ASSERT_EQ(demo.dialogs.Documents.size(), 1u);
    const shell::DocumentView& doc = demo.dialogs.Documents[0];
    EXPECT_EQ(doc.ProgramCode, "PGSO01");
    EXPECT_FALSE(doc.Head.empty());
    EXPECT_FALSE(doc.Lines.empty());
    auto column = std::find(doc.LineFields.begin(), doc.LineFields.end(), "TD002");
    ASSERT_NE(column, doc.LineFields.end());
    size_t td002 = static_cast<size_t>(column - doc.LineFields.begin());
    EXPECT_EQ(doc.LineCaptions[td002], "单号");
    for (const auto& line : doc.Lines) EXPECT_EQ(line[td002], "20240100001");   // only that order's lines

    args[2] = "PGXX99";
    code = plat::CallMethod(demo.host, "ExecWork", {ByRef(args), ByRef(condition), ByRef(options), ByRef(kind), ByRef(answer)});
    EXPECT_EQ(code.ToInt(), -1);
    EXPECT_EQ(demo.dialogs.Documents.size(), 1u);
}

TEST_F(HostServices, HelpShowsTheTopicAsked) {
    plat::CallMethod(demo.host, "CallHelp", {ByVal(plat::VarArrayOf({"ORT", "1441000"}))});
    ASSERT_EQ(demo.dialogs.HelpTopics.size(), 1u);
    EXPECT_EQ(demo.dialogs.HelpTopics[0].second, "1441000");
}

TEST_F(HostServices, ApplicationServerChecksTheLogOn) {
    server::RegisterApplicationServers(demo.Sql());
    Variant appServer = plat::CreateOleObject("SOSRV01S.Class1");
    Variant params = plat::VarArrayOf({"ORTK41", "KV", "PRTest65", "PRTest65", "True", "False"});
    EXPECT_EQ(plat::CallMethod(appServer, "Connect", {ByRef(params)}).ToInt(), 0);
    std::string info = plat::CallMethod(appServer, "SvrData").ToString();
    EXPECT_THAT(info, HasSubstr("POWER_DATA="));
    EXPECT_EQ(plat::CallMethod(appServer, "Whatis", {ByVal("TODAY")}).ToString().size(), 8u);

    params = plat::VarArrayOf({"ORTK41", "NOBODY", "PRTest65", "PRTest65", "True", "False"});
    EXPECT_NE(plat::CallMethod(appServer, "Connect", {ByRef(params)}).ToInt(), 0);
    EXPECT_EQ(plat::CallMethod(appServer, "SvrData").ToString(), "");
    EXPECT_NE(server::CheckSignOn(demo.Sql(), "KV", "OtherCo", "PRTest65"), "");
    EXPECT_NE(server::CheckSignOn(demo.Sql(), "KV", "PRTest65", "NoSuchDb"), "");
    server::UnregisterApplicationServers();
}

TEST_F(HostServices, SequencePhraseAndCharacterPickers) {
    Variant table("COPTD"), fields("TD001,TD002,TD003,"), values = plat::VarArrayOf({"2201", "20240100001"}), extra;
    Variant program("ORTK41"), database("PRTest65"), answer;
    Variant found = plat::CallMethod(Service("Com_Validator"), "QueryMaxSeq",
                                     {ByRef(table), ByRef(fields), ByRef(values), ByRef(extra), ByRef(program),
                                      ByRef(database), ByRef(answer)});
    ASSERT_TRUE(found.ToBool());
    EXPECT_EQ(answer.ToString().size(), 4u);   // the next line sequence, as wide as the stored ones
    EXPECT_GT(std::stoi(answer.ToString()), 1);
    table = "COPTD; DROP TABLE COPTD";
    EXPECT_FALSE(plat::CallMethod(Service("Com_Validator"), "QueryMaxSeq",
                                  {ByRef(table), ByRef(fields), ByRef(values), ByRef(extra), ByRef(program),
                                   ByRef(database), ByRef(answer)}).ToBool());

    Variant phrase("");
    demo.dialogs.RowAnswers.push_back(std::vector<int>{0});
    EXPECT_EQ(plat::CallMethod(Service("Com_Picker"), "GetPhrase2",
                               {ByVal("KV"), ByVal("PRTest65"), ByVal(int32_t(0)), ByRef(phrase)}).ToInt(), 0);
    EXPECT_EQ(phrase.ToString(), demo.dialogs.Lookups.back().Rows[0][0]);
    EXPECT_EQ(plat::CallMethod(Service("Com_Picker"), "GetPhrase2",
                               {ByVal("KV"), ByVal("PRTest65"), ByVal(int32_t(0)), ByRef(phrase)}).ToInt(), -1);

    Variant t1("KV"), t2("PRTest65"), n(int32_t(0)), t3("");
    demo.dialogs.RowAnswers.push_back(std::vector<int>{1});
    EXPECT_EQ(plat::CallMethod(Service("Com_Picker"), "ShowCharaters",
                               {ByRef(t1), ByRef(t2), ByRef(n), ByVal(false), ByRef(t3)}).ToString(), "×");
}

TEST_F(HostServices, DocumentServerChecksOutAttachedFiles) {
    ortktest::TempFolder documents;
    documents.Write("INVMB/A001.txt", "drawing");
    server::RegisterApplicationServers(demo.Sql(), documents.Path());
    Variant dms = plat::CreateOleObject("DmsC.DMSClass1");
    Variant request = plat::VarArrayOf({"KV", "R", "INVMB", "A001", ""});
    ASSERT_EQ(plat::CallMethod(dms, "CheckOut", {ByRef(request)}).ToInt(), 0);
    std::string copy = request[4].ToString();
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_THAT(copy, HasSubstr("A001"));
    std::filesystem::remove(copy);

    request = plat::VarArrayOf({"KV", "R", "INVMB", "NOPE", ""});
    EXPECT_EQ(plat::CallMethod(dms, "CheckOut", {ByRef(request)}).ToInt(), -1);
    request = plat::VarArrayOf({"KV", "R", "..", "INVMB", ""});   // never leaves the document folder
    EXPECT_EQ(plat::CallMethod(dms, "CheckOut", {ByRef(request)}).ToInt(), -1);
    server::UnregisterApplicationServers();
}
