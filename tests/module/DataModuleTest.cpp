// The data module chain: system field stamps, the flag pass over nested
// datasets, key conditions, the currency cache, body sorting, the alert log,
// and connecting to the application server in process over the real demo
// database, refused, and at an address that cannot be reached.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "AppServer.h"
#include "StrUtils.h"
#include "Dialogs.h"
#include "data/Brokers.h"
#include "Connections.h"
#include "DataTestSupport.h"
#include "DemoData.h"
#include "SimpleSql.h"
#include "TempEnvironment.h"
#include "data/KvQueryCD.h"
#include "ortk41/ORTK41CD.h"

using ::testing::HasSubstr;

using ortktest::ScopedEnv;
using ortktest::TempFolder;
using plat::Variant;
using namespace vcl;

namespace {

// A module with a broker, and a dataset of a maintained table with every system field.
class ModuleFixture : public testing::Test {
protected:
    void SetUp() override {
        module = TComponent::Create<TdmKvQuery>(nullptr);
        brokers = TComponent::Create<TBrokers>(module, nullptr);
        brokers->UserID = "KV";
        brokers->CompanyID = "PRTest65";
        brokers->UserGroup = "SALES";
        brokers->DatabaseName = "PRTest65";
        brokers->ProgramCode = "ORTK41";
        module->Brokers = brokers;
        module->ServerDate = "20260305";
    }
    void TearDown() override { module->Free(); }

    TClientDataSet* Maintained(TComponent* owner, bool withFlag = true) {
        auto* ds = TComponent::Create<TClientDataSet>(owner);
        ds->AddField<TStringField>("MA001", 10);
        for (const char* f : {"COMPANY", "CREATOR", "USR_GROUP", "CREATE_DATE", "MODIFIER", "MODI_DATE"})
            ds->AddField<TStringField>(f, 10);
        if (withFlag) ds->AddField<TIntegerField>("FLAG");
        return ds;
    }

    TdmKvQuery* module = nullptr;
    TBrokers* brokers = nullptr;
};

std::string Read(const std::string& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

// ---- stamps ----

using StampTest = ModuleFixture;

TEST_F(StampTest, a_new_record_gets_its_creator_fields_and_flag_minus_1) {
    TClientDataSet* ds = Maintained(module);
    ds->CreateDataSet();
    ds->Append();
    module->StampSystemFields(ds);
    EXPECT_EQ(ds->FieldByName("COMPANY")->AsString(), "PRTest65");
    EXPECT_EQ(ds->FieldByName("CREATOR")->AsString(), "KV");
    EXPECT_EQ(ds->FieldByName("USR_GROUP")->AsString(), "SALES");
    EXPECT_EQ(ds->FieldByName("CREATE_DATE")->AsString(), "20260305");
    EXPECT_EQ(ds->FieldByName("FLAG")->AsInteger(), -1);
    EXPECT_TRUE(ds->FieldByName("MODIFIER")->IsNull());
}

TEST_F(StampTest, an_edit_writes_the_modifier_and_the_complement_of_the_flag_once) {
    TClientDataSet* ds = Maintained(module);
    ds->CreateDataSet();
    ds->Append();
    ds->FieldByName("FLAG")->SetAsInteger(3);
    ds->Post();
    module->SetSystemFieldsVisible(ds, true);   // shown, and read-only for the user
    ds->Edit();
    module->StampSystemFields(ds);
    EXPECT_EQ(ds->FieldByName("FLAG")->AsInteger(), -4);
    EXPECT_EQ(ds->FieldByName("MODIFIER")->AsString(), "KV");
    EXPECT_EQ(ds->FieldByName("MODI_DATE")->AsString(), "20260305");
    EXPECT_TRUE(ds->FieldByName("MODIFIER")->ReadOnly()) << "the stamp lifts read-only only for its own write";
    brokers->UserID = "OTHER";
    module->StampSystemFields(ds);
    EXPECT_EQ(ds->FieldByName("FLAG")->AsInteger(), -4) << "an already negative flag is not stamped again";
    EXPECT_EQ(ds->FieldByName("MODIFIER")->AsString(), "KV");
    ds->FieldByName("FLAG")->SetReadOnly(false);
    ds->FieldByName("FLAG")->SetAsInteger(0);
    module->StampSystemFields(ds);
    EXPECT_EQ(ds->FieldByName("FLAG")->AsInteger(), -1);
}

TEST_F(StampTest, missing_system_fields_are_skipped_and_the_rest_stamped) {
    auto* ds = TComponent::Create<TClientDataSet>(module);
    ds->AddField<TStringField>("CREATOR", 10);
    ds->AddField<TStringField>("MODIFIER", 10);
    ds->CreateDataSet();
    ds->Append();
    module->StampSystemFields(ds);
    EXPECT_EQ(ds->FieldByName("CREATOR")->AsString(), "KV");
    ds->Post();
    ds->Edit();
    module->StampSystemFields(ds);
    EXPECT_EQ(ds->FieldByName("MODIFIER")->AsString(), "KV") << "without FLAG the record counts as flag 0";
}

TEST_F(StampTest, the_main_dataset_stamps_new_records_and_gives_null_fields_neutral_values) {
    TClientDataSet* main = module->cdsMain;
    main->SetProviderName("");
    main->AddField<TStringField>("NAME", 10);
    main->AddField<TIntegerField>("QTY");
    main->AddField<TIntegerField>("FLAG");
    main->AddField<TStringField>("CREATOR", 10);
    main->CreateDataSet();
    int validated = 0;
    main->FieldByName("QTY")->OnValidate = TFieldNotifyEvent([&](TField*) { ++validated; });
    main->Append();
    EXPECT_EQ(main->FieldByName("CREATOR")->AsString(), "KV");
    EXPECT_EQ(main->FieldByName("FLAG")->AsInteger(), -1);
    EXPECT_FALSE(main->FieldByName("NAME")->IsNull());
    EXPECT_EQ(main->FieldByName("QTY")->AsString(), "0");
    EXPECT_EQ(validated, 0) << "neutral values go in with the validate handler detached";
    EXPECT_TRUE(main->FieldByName("QTY")->OnValidate);
    module->CheckRecord = [](TClientDataSet*) { return false; };
    EXPECT_THROW(main->Post(), plat::EAbort);
}

// ---- the flag pass ----

TEST_F(StampTest, applying_normalises_flags_of_a_master_and_its_nested_details_from_last_to_first) {
    auto provider = std::make_shared<datatest::MemoryProvider>(std::vector<plat::packet::FieldDesc>{},
                                                               std::vector<std::vector<Variant>>{});
    auto* connection = TComponent::Create<TSocketConnection>(module);
    connection->SetAppServer(Variant(plat::DispatchRef(provider)));
    auto* orders = TComponent::Create<TClientDataSet>(module);
    orders->AddField<TStringField>("NO", 11);
    orders->AddField<TIntegerField>("FLAG");
    auto* lines = orders->AddField<TDataSetField>("LINES");
    TClientDataSet* detail = lines->NestedDataSet();
    detail->AddField<TStringField>("SEQ", 4);
    detail->AddField<TIntegerField>("FLAG");
    orders->SetRemoteServer(connection);
    orders->SetProviderName("pvdMain");
    orders->CreateDataSet();
    orders->Append();
    orders->FieldByName("NO")->SetAsString("0001");
    orders->FieldByName("FLAG")->SetAsInteger(-4);
    orders->Post();
    for (int flag : {-1, 2, -7}) {
        detail->Append();
        detail->FieldByName("SEQ")->SetAsString(std::to_string(detail->RecordCount() + 1));
        detail->FieldByName("FLAG")->SetAsInteger(flag);
        detail->Post();
    }
    std::vector<std::string> visited;
    int scrolls = 0;
    detail->BeforeEdit = TDataSetNotifyEvent([&](TClientDataSet* d) { visited.push_back(d->FieldByName("SEQ")->AsString()); });
    detail->AfterScroll = TDataSetNotifyEvent([&](TClientDataSet*) { ++scrolls; });
    detail->FieldByName("FLAG")->SetReadOnly(true);
    orders->Edit();

    EXPECT_TRUE(module->ApplyDataSet(orders));

    EXPECT_TRUE(visited.empty()) << "the edit handlers are detached during the walk";
    EXPECT_EQ(scrolls, 0) << "so are the scroll handlers";
    EXPECT_TRUE(detail->BeforeEdit) << "and put back afterwards";
    EXPECT_TRUE(detail->FieldByName("FLAG")->ReadOnly());
    EXPECT_FALSE(detail->ControlsDisabled());
    ASSERT_EQ(provider->deltas.size(), 1u);
    const Variant& master = provider->deltas[0][2][0];
    EXPECT_EQ(master[3][1].ToInt(), 4);
    const Variant& details = master[4][0][1];
    std::vector<int> flags;
    for (int i = 0; i < details.Array().Count(); ++i) flags.push_back(details[i][3][1].ToInt());
    EXPECT_EQ(flags, (std::vector<int>{1, 2, 7}));
    EXPECT_EQ(orders->ChangeCount(), 0);
}

// ---- key conditions ----

TEST_F(StampTest, key_conditions_quote_by_field_type_and_take_prefixes_and_targets) {
    auto* ds = TComponent::Create<TClientDataSet>(module);
    ds->AddField<TFixedCharField>("TC001", 4);
    ds->AddField<TIntegerField>("SEQ");
    ds->AddField<TFloatField>("QTY");
    ds->AddField<TDateField>("DAY");
    ds->AddField<TBooleanField>("OK");
    ds->AddField<TStringField>("NAME", 20);
    ds->CreateDataSet();
    ds->Append();
    ds->FieldByName("TC001")->SetAsString("2201");
    ds->FieldByName("SEQ")->SetAsInteger(3);
    ds->FieldByName("QTY")->SetAsFloat(2.5);
    ds->FieldByName("DAY")->SetAsString("2026-03-05");
    ds->FieldByName("OK")->SetAsBoolean(true);
    ds->FieldByName("NAME")->SetAsString("O'Brien");
    ds->Post();
    std::string condition = "stale";
    TdmRadical::BuildKeyCondition(ds, "A.TC001,SEQ,QTY,DAY,OK,NAME,NOFIELD", condition, "COPTC");
    EXPECT_EQ(condition,
              "A.TC001='2201' and COPTC.SEQ=3 and COPTC.QTY=2.5 and COPTC.DAY='2026-03-05' and COPTC.OK='True' "
              "and COPTC.NAME='O''Brien'");
    TdmRadical::BuildKeyCondition(ds, "TC001,SEQ", condition, "", "X.TD001,TD003");
    EXPECT_EQ(condition, "X.TD001='2201' and TD003=3");
    ds->Edit();
    ds->FieldByName("SEQ")->Clear();
    ds->Post();
    TdmRadical::BuildKeyCondition(ds, "SEQ", condition);
    EXPECT_EQ(condition, "SEQ IS NULL");
    TdmRadical::BuildKeyCondition(ds, "NOFIELD", condition);
    EXPECT_EQ(condition, "");
}

// ---- the next sequence number ----

TEST_F(StampTest, the_next_sequence_is_asked_with_the_key_values_of_the_active_record) {
    auto validator = std::make_shared<datatest::FakeService>();
    Variant sent;
    validator->On("QueryMaxSeq", [&](plat::Args& a) {
        sent = a[2].Value;
        a[6].Value = "0003";
        return Variant(true);
    });
    brokers->ValidatorService = Variant(plat::DispatchRef(validator));
    auto* ds = TComponent::Create<TClientDataSet>(module);
    ds->AddField<TFixedCharField>("TD001", 4);
    ds->AddField<TFixedCharField>("TD002", 11);
    ds->CreateDataSet();
    ds->Append();
    ds->FieldByName("TD001")->SetAsString("2201");
    ds->FieldByName("TD002")->SetAsString("20240100001");
    ds->Post();
    std::string seq;
    brokers->QueryMaxSeq(*ds, "COPTD", seq, Variant(), "TD001,TD002");
    EXPECT_EQ(seq, "0003");
    EXPECT_EQ(sent[1].ToString(), "20240100001");
    brokers->QueryMaxSeq(*ds, "COPTD", seq, Variant(), "TD001,NOPE");
    EXPECT_EQ(seq, "unKnow");
}

// ---- currency digits ----

TEST_F(StampTest, currency_digits_ask_the_server_once_for_a_code_whose_answer_comes_back_padded) {
    auto counter = std::make_shared<datatest::FakeService>();
    std::vector<std::string> statements;
    counter->On("GETCOUNTER", [&](plat::Args& a) {
        const Variant& p = a[1].Value;
        statements.push_back(p[0].ToString());
        if (p[0].ToString().find("'RMB'") == std::string::npos) return Variant();
        return plat::VarArrayOf({plat::VarArrayOf({"RMB ", int32_t(2), int32_t(3), int32_t(4), int32_t(5)})});
    });
    brokers->CounterService = Variant(plat::DispatchRef(counter));
    EXPECT_EQ(module->GetCurrencyDigits("RMB", 0), 2);
    EXPECT_EQ(module->GetCurrencyDigits("RMB", 1), 3);
    EXPECT_EQ(module->GetCurrencyDigits("RMB ", 2), 4);
    EXPECT_EQ(module->GetCurrencyDigits("RMB", 3), 5);
    EXPECT_EQ(module->GetCurrencyDigits("RMB", 4), -1);
    EXPECT_EQ(counter->calls["GETCOUNTER"], 1);
    EXPECT_EQ(module->GetCurrencyDigits("US'D", 1), 0);
    EXPECT_EQ(module->GetCurrencyDigits("US'D", 2), 0);
    EXPECT_EQ(counter->calls["GETCOUNTER"], 2);
    EXPECT_EQ(statements.back(), "select top 1 MF001,MF003,MF004,MF005,MF006 from $$CMSMF CMSMF where MF001='US''D'");
    EXPECT_EQ(module->GetCurrencyDigits("", 1), -1);
}

// The cache was keyed by the code as asked: "ntd" after "NTD" asked again.
TEST_F(StampTest, currency_digits_are_kept_under_the_rows_code_whatever_the_case_asked) {
    auto counter = std::make_shared<datatest::FakeService>();
    counter->On("GETCOUNTER", [](plat::Args&) {
        return plat::VarArrayOf({plat::VarArrayOf({"NTD ", int32_t(0), int32_t(2), int32_t(4), int32_t(1)})});
    });
    brokers->CounterService = Variant(plat::DispatchRef(counter));
    EXPECT_EQ(module->GetCurrencyDigits("ntd", 1), 2);
    EXPECT_EQ(module->GetCurrencyDigits("NTD", 2), 4);
    EXPECT_EQ(module->GetCurrencyDigits("Ntd ", 3), 1);
    EXPECT_EQ(counter->calls["GETCOUNTER"], 1);
    ASSERT_EQ(module->CurrencySettings.count("NTD"), 1u);
    EXPECT_EQ(module->CurrencySettings.at("NTD")->CurrencyCode, "NTD");
    EXPECT_EQ(module->CurrencySettings.size(), 1u);
}

TEST_F(StampTest, registered_amount_fields_get_the_company_currency_format) {
    auto counter = std::make_shared<datatest::FakeService>();
    counter->On("GETCOUNTER", [](plat::Args&) {
        return plat::VarArrayOf({plat::VarArrayOf({"NTD", int32_t(0), int32_t(2), int32_t(4), int32_t(1)})});
    });
    brokers->CounterService = Variant(plat::DispatchRef(counter));
    brokers->SetSysParam("SYS003", "NTD");
    module->CurrencyFields[1] = "AMT, MISSING";
    TClientDataSet* main = module->cdsMain;
    main->SetProviderName("");
    main->AddField<TFloatField>("AMT");
    main->AddField<TFloatField>("PRICE");
    main->CreateDataSet();
    module->ApplyCurrencyFormats(main);
    EXPECT_EQ(main->FieldByName("AMT")->DisplayFormat(), "#,##0.00");
    EXPECT_EQ(main->FieldByName("PRICE")->DisplayFormat(), "");
    EXPECT_EQ(module->FieldDecimals("amt"), 2);
    EXPECT_EQ(module->FieldDecimals("PRICE"), -1);
}

// ---- sorting the body ----

TEST_F(StampTest, sorting_the_body_toggles_the_direction_and_an_unknown_name_clears_it) {
    std::vector<plat::packet::FieldDesc> fields{{"CODE", plat::packet::ftString, 4, false, false, {}},
                                                {"QTY", plat::packet::ftInteger, 0, false, false, {}},
                                                {"NOTE", plat::packet::ftMemo, 0, false, false, {}}};
    std::vector<Variant> rows{plat::VarArrayOf({"B", int32_t(2), "x"}), plat::VarArrayOf({"C", int32_t(1), "y"}),
                              plat::VarArrayOf({"A", int32_t(3), "z"})};
    module->cdsBody->SetData(plat::packet::MakeDataPacket(fields, plat::VarArrayOf(rows), ""));
    auto codes = [&] {
        std::string out;
        for (int r = 0; r < module->cdsBody->RecordCount(); ++r)
            module->cdsBody->WithRecord(r, [&] { out += module->cdsBody->FieldByName("CODE")->AsString(); });
        return out;
    };
    module->SortBodyBy("CODE");
    EXPECT_EQ(codes(), "BCA") << "no window has allowed sorting yet";
    module->AllowColumnSort = [] { return true; };
    module->SortBodyBy("CODE");
    EXPECT_EQ(codes(), "ABC");
    module->SortBodyBy("code");
    EXPECT_EQ(codes(), "CBA");
    EXPECT_TRUE(module->SortDescending());
    module->SortBodyBy("CODE");
    EXPECT_EQ(codes(), "ABC");
    module->SortBodyBy("QTY");
    EXPECT_EQ(codes(), "CBA") << "another column sorts ascending on it";
    module->SortBodyBy("NOTE");
    EXPECT_EQ(module->SortField(), "QTY") << "a memo is not sortable";
    module->WindowEditing = [] { return true; };
    module->SortBodyBy("CODE");
    EXPECT_EQ(module->SortField(), "QTY") << "not while the window is editing";
    module->SortBodyBy("");
    EXPECT_EQ(codes(), "BCA") << "cleared: back to the order the rows came in";
    EXPECT_EQ(module->SortField(), "");
    module->AllowColumnSort = [] { return false; };
    module->WindowEditing = nullptr;
    module->SortBodyBy("CODE");
    EXPECT_EQ(codes(), "BCA");
}

// ---- failures on the way to the server, and what is logged of them ----

namespace {

std::string Today() {
    std::time_t t = std::time(nullptr);
    std::tm now{};
    localtime_r(&t, &now);
    char day[12];
    std::strftime(day, sizeof day, "%Y%m%d", &now);
    return day;
}

// A module whose alert log goes to a client folder of its own, and whose
// message boxes are scripted.
class LoggedModuleTest : public ModuleFixture {
protected:
    void SetUp() override {
        ModuleFixture::SetUp();
        registry = std::make_unique<ScopedEnv>(
            "ORTK_REGISTRY_FILE",
            dir.Write("registry.reg", "[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\n\"ClientPath\"=\"" +
                                          dir.Path() + "client/\"\n"));
    }
    std::string Log(const std::string& name) { return Read(dir.Path() + "client/Log/Alert_" + name + "_" + Today() + ".log"); }
    // The main dataset on a provider held in memory; `rows` codes, two a packet for the body.
    std::shared_ptr<datatest::MemoryProvider> Provide(TClientDataSet* ds, const std::vector<std::string>& codes) {
        std::vector<std::vector<Variant>> rows;
        for (const std::string& c : codes) rows.push_back({c, int32_t(0)});
        auto provider = std::make_shared<datatest::MemoryProvider>(
            std::vector<plat::packet::FieldDesc>{{"CODE", plat::packet::ftString, 4, false, false, {}},
                                                 {"FLAG", plat::packet::ftInteger, 0, false, false, {}}},
            rows);
        auto* connection = TComponent::Create<TSocketConnection>(module);
        connection->SetAppServer(Variant(plat::DispatchRef(provider)));
        ds->SetRemoteServer(connection);
        ds->SetProviderName("pvdMain");
        return provider;
    }

    TempFolder dir;
    std::unique_ptr<ScopedEnv> registry;
    plat::ScopedScriptedDialogs dialogs;
};

}  // namespace

TEST_F(LoggedModuleTest, a_refused_record_is_shown_converted_and_logged_with_its_context_and_previous_error) {
    auto provider = Provide(module->cdsMain, {"A001"});
    provider->refuse = [](const Variant&) { return true; };
    module->cdsMain->Open();
    module->cdsMain->Edit();
    module->cdsMain->FieldByName("CODE")->SetAsString("A002");
    EXPECT_FALSE(module->ApplyDataSet(module->cdsMain));
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    EXPECT_EQ(dialogs->Shown[0].Text, "Record changed by another user");
    EXPECT_EQ(dialogs->Shown[0].Type, plat::MsgDlgType::Error);
    const std::string log = Log("ORTK41");
    EXPECT_THAT(log, HasSubstr("] Single保存失败Context :UPDATE T\n"));
    EXPECT_THAT(log, HasSubstr("] Single保存失败PreviousError :0\n"));
}

TEST_F(LoggedModuleTest, a_failing_send_is_logged_under_its_class_number_and_raised_again) {
    auto failing = std::make_shared<datatest::FakeService>();
    failing->On("AS_ApplyUpdates", [](plat::Args&) -> Variant { throw plat::Exception("server gone"); });
    auto* connection = TComponent::Create<TSocketConnection>(module);
    connection->SetAppServer(Variant(plat::DispatchRef(failing)));
    auto* ds = Maintained(module);
    ds->SetRemoteServer(connection);
    ds->SetProviderName("pvdMain");
    ds->CreateDataSet();
    ds->Append();
    ds->FieldByName("MA001")->SetAsString("X1");
    EXPECT_THROW(module->ApplyDataSet(ds), std::exception);
    EXPECT_THAT(Log("Class knlRadical-311"), HasSubstr("server gone"));
}

TEST_F(LoggedModuleTest, the_server_date_falls_back_to_the_local_date_when_the_server_cannot_say) {
    module->ServerDate.clear();
    module->LoadServerDate();   // no application server
    EXPECT_EQ(module->ServerDate, Today());
    auto server = std::make_shared<datatest::FakeService>();
    bool fail = true;
    server->On("Whatis", [&](plat::Args&) -> Variant {
        if (fail) throw plat::Exception("no TODAY");
        return Variant(std::string("20251231 "));
    });
    module->AppServer = Variant(plat::DispatchRef(server));
    module->ServerDate = "19990101";
    module->LoadServerDate();
    EXPECT_EQ(module->ServerDate, Today());
    fail = false;
    module->LoadServerDate();
    EXPECT_EQ(module->ServerDate, "20251231");
}

TEST_F(LoggedModuleTest, the_query_session_ends_with_the_main_connection_and_the_body_empties_when_main_moves) {
    TClientDataSet* main = module->cdsMain;
    main->SetProviderName("");
    main->AddField<TStringField>("NO", 4);
    main->CreateDataSet();
    for (const char* no : {"1", "2"}) {
        main->Append();
        main->FieldByName("NO")->SetAsString(no);
        main->Post();
    }
    main->First();
    std::vector<plat::packet::FieldDesc> fields{{"CODE", plat::packet::ftString, 4, false, false, {}}};
    module->cdsBody->SetData(plat::packet::MakeDataPacket(
        fields, plat::VarArrayOf({plat::VarArrayOf({"B"}), plat::VarArrayOf({"C"})}), ""));
    ASSERT_EQ(module->cdsBody->RecordCount(), 2);
    main->Next();
    EXPECT_TRUE(module->cdsBody->Active());
    EXPECT_EQ(module->cdsBody->RecordCount(), 0) << "moving in the main dataset empties the body";

    auto server = std::make_shared<datatest::FakeService>();
    module->MIDAS->SetAppServer(Variant(plat::DispatchRef(server)));
    module->MIDAS1->SetAppServer(Variant(plat::DispatchRef(server)));
    module->QueryServer = Variant(plat::DispatchRef(server));
    module->MIDAS->Close();
    EXPECT_FALSE(module->cdsBody->Active());
    EXPECT_FALSE(module->MIDAS1->Connected());
    EXPECT_FALSE(module->QueryServer.IsDispatch());
}

TEST_F(LoggedModuleTest, null_float_small_integer_and_fixed_char_fields_get_neutral_values) {
    TClientDataSet* main = module->cdsMain;
    main->SetProviderName("");
    main->AddField<TFloatField>("PRICE");
    main->AddField<TSmallintField>("LEVEL");
    main->AddField<TFixedCharField>("UNIT", 4);
    main->AddField<TStringField>("NOTE", 10);
    main->CreateDataSet();
    main->Append();
    main->FieldByName("NOTE")->SetAsString("set");
    for (const char* name : {"PRICE", "LEVEL", "UNIT"}) EXPECT_FALSE(main->FieldByName(name)->IsNull()) << name;
    EXPECT_EQ(main->FieldByName("PRICE")->AsFloat(), 0.0);
    EXPECT_EQ(main->FieldByName("LEVEL")->AsInteger(), 0);
    EXPECT_EQ(plat::Trim(main->FieldByName("UNIT")->AsString()), "");
}

// The body came in packets; sorting used to order only the packet fetched,
// and the re-positioning on the records that were current never ran.
TEST_F(LoggedModuleTest, sorting_fetches_the_whole_result_and_stays_on_the_record_or_logs_why_not) {
    module->AllowColumnSort = [] { return true; };
    TClientDataSet* body = module->cdsBody;
    Provide(body, {"E", "B", "D", "A", "C"});
    body->PacketRecords = 2;
    body->Open();
    ASSERT_EQ(body->RecordCount(), 2);
    body->Next();   // on "B"
    module->SortBodyBy("CODE");
    ASSERT_EQ(body->RecordCount(), 5);
    std::string order;
    for (int r = 0; r < 5; ++r) body->WithRecord(r, [&] { order += body->FieldByName("CODE")->AsString(); });
    EXPECT_EQ(order, "ABCDE");
    EXPECT_EQ(body->FieldByName("CODE")->AsString(), "B") << "still on the record it was on";

    body->Close();
    body->Open();
    body->Next();
    body->BeforeScroll = TDataSetNotifyEvent([](TClientDataSet*) { throw plat::Exception("scroll refused"); });
    module->SortBodyBy("FLAG");
    EXPECT_EQ(body->RecordCount(), 5) << "the sort stands";
    EXPECT_THAT(Log("ORTK41"), HasSubstr("] DoubleCD-1025:scroll refused")) << Log("ORTK41");
}

namespace {
// A window that shows texts in traditional script (one word is enough here).
class TraditionalWindow : public IBrokerOwner {
public:
    intptr_t OwnerHandle() override { return 0; }
    std::string OwnerCaption() const override { return {}; }
    std::string UICodePage() const override { return "950"; }
    std::string DBCodePage() const override { return "936"; }
    int UIConversionMode() const override { return 2; }
    std::string ToDisplayText(const std::string& text) const override { return text == "订单" ? "訂單" : text; }
    bool HasUserRight(int) const override { return true; }
    void AfterMessage() override {}
};
}  // namespace

TEST_F(LoggedModuleTest, converted_fields_show_in_the_display_script_and_store_what_the_window_gives_back) {
    TClientDataSet* main = module->cdsMain;
    main->SetProviderName("");
    main->AddField<TStringField>("NAME", 10);
    main->CreateDataSet();
    main->Append();
    main->FieldByName("NAME")->SetAsString("订单");
    std::string shown;
    module->DOGetText(main->FieldByName("NAME"), shown, true);
    EXPECT_EQ(shown, "订单") << "without a window the text stays";
    TraditionalWindow window;
    module->Brokers = TComponent::Create<TBrokers>(module, &window);
    module->DOGetText(main->FieldByName("NAME"), shown, true);
    EXPECT_EQ(shown, "訂單");
    module->Brokers = brokers;
    module->FromDisplayText = [](const std::string& text) { return text == "訂單" ? std::string("订单") : text; };
    module->DOSetText(main->FieldByName("NAME"), "訂單");
    EXPECT_EQ(main->FieldByName("NAME")->AsString(), "订单");
}

// ---- the alert log ----

TEST(AlertLog, lines_go_to_one_file_per_period_under_the_client_path) {
    TempFolder dir;
    ScopedEnv registry{"ORTK_REGISTRY_FILE",
                       dir.Write("registry.reg", "Windows Registry Editor Version 5.00\n\n"
                                                 "[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\n\"ClientPath\"=\"" +
                                                     dir.Path() + "client/\"\n")};
    std::time_t t = std::time(nullptr);
    std::tm now{};
    localtime_r(&t, &now);
    char year[8], month[8], day[12];
    std::strftime(year, sizeof year, "%Y", &now);
    std::strftime(month, sizeof month, "%Y%m", &now);
    std::strftime(day, sizeof day, "%Y%m%d", &now);
    std::string log = dir.Path() + "client/Log/";

    EXPECT_TRUE(TdmRadical::WriteAlertLog("ORTK41", "first", "M"));
    EXPECT_TRUE(TdmRadical::WriteAlertLog("ORTK41", "second", "M"));
    EXPECT_TRUE(TdmRadical::WriteAlertLog("ORTK41", "yearly", "Y"));
    EXPECT_TRUE(TdmRadical::WriteAlertLog("Class knlRadical-311", "daily", "D"));
    EXPECT_TRUE(TdmRadical::WriteAlertLog("trace.txt", "dotted", "D"));

    std::string monthly = Read(log + "Alert_ORTK41_" + month + ".log");
    std::regex line(R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}:\d{3}\] first\n\[[^\]]+\] second\n)");
    EXPECT_TRUE(std::regex_match(monthly, line)) << monthly;
    EXPECT_THAT(Read(log + "Alert_ORTK41_" + year + ".log"), HasSubstr("] yearly"));
    EXPECT_THAT(Read(log + "Alert_Class knlRadical-311_" + day + ".log"), HasSubstr("] daily"));
    EXPECT_THAT(Read(log + "Alert_trace.txt_" + day), HasSubstr("] dotted"))
        << "a name with a dot gets no .log";
}

TEST(AlertLog, a_folder_that_cannot_be_made_answers_false) {
    TempFolder dir;
    dir.Write("client", "a file where the folder should be");
    ScopedEnv registry{"ORTK_REGISTRY_FILE",
                       dir.Write("registry.reg", "[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\n\"ClientPath\"=\"" +
                                                     dir.Path() + "client/\"\n")};
    EXPECT_FALSE(TdmRadical::WriteAlertLog("ORTK41", "lost", "D"));
}

// ---- connecting ----

namespace {

// A client installation (registry and CorvaneC.ini) naming `addresses`, and
// the application servers in process over a demo database.
class ConnectTest : public testing::Test {
protected:
    void Install(const std::string& addresses, int port) {
        registry = std::make_unique<ScopedEnv>(
            "ORTK_REGISTRY_FILE",
            dir.Write("registry.reg", "[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\n\"ClientPath\"=\"" + dir.Path() +
                                          "client/\"\n\"ProfileType\"=\"0\"\n"));
        dir.Write("client/CorvaneC.ini", "[Server Information]\nComputerName=" + addresses +
                                             "\nServerPort=" + std::to_string(port) + "\n");
    }
    void SetUp() override {
        std::filesystem::create_directories(dir.Path() + "data");
        server::DemoOptions options;
        options.orderLines = 200;   // more orders than one packet holds
        server::CreateDemoDatabase(dir.Path() + "data/PRTest65.db", options);
        sql = std::make_unique<server::SimpleSqlService>(dir.Path() + "data/");
        server::RegisterApplicationServers(*sql);
        module = TComponent::Create<TdmORTK41>(nullptr);
        brokers = TComponent::Create<TBrokers>(module, nullptr);
        brokers->UserID = "KV";
        brokers->CompanyID = "PRTest65";
        brokers->DatabaseName = "PRTest65";
        brokers->ProgramCode = "ORTK41";
        module->Brokers = brokers;
    }
    void TearDown() override {
        module->Free();
        server::UnregisterApplicationServers();
    }

    TempFolder dir;
    std::unique_ptr<ScopedEnv> registry;
    std::unique_ptr<server::SimpleSqlService> sql;
    TdmORTK41* module = nullptr;
    TBrokers* brokers = nullptr;
};

}  // namespace

TEST_F(ConnectTest, in_process_the_module_logs_on_reads_the_user_and_opens_its_data) {
    Install("127.0.0.1", 211);
    ASSERT_TRUE(module->ConnectServer());
    EXPECT_TRUE(module->AppServer.IsDispatch());
    EXPECT_EQ(brokers->UserInfo.Values("M11_TABLE"), "COPTC");
    EXPECT_TRUE(module->cdsSaveCondition->Active());
    EXPECT_TRUE(module->cdsMainColor->Active());
    module->LoadServerDate();
    EXPECT_EQ(module->ServerDate.size(), 8u);

    ASSERT_TRUE(module->OpenData());
    EXPECT_EQ(module->MainTable, "COPTC");
    EXPECT_EQ(brokers->GetMaxRecord(), 20);
    EXPECT_EQ(module->cdsMain->RecordCount(), 20) << "one packet of the user's MAX_RECORD";
    EXPECT_FALSE(module->cdsMain->AllFetched());
    module->cdsMain->Last();
    EXPECT_EQ(module->cdsMain->RecordCount(), 20) << "no fetching on demand";
    EXPECT_EQ(module->cdsMain->GetNextPacket(), 20);
    EXPECT_EQ(module->cdsMain->FieldByName("TC001")->DataType(), TFieldType::ftFixedChar);
    EXPECT_EQ(module->cdsMain->FieldByName("CREATOR")->DisplayLabel(), "录入者");
    EXPECT_TRUE(module->QueryServer.IsDispatch()) << "the query server is created in process too";
}

TEST_F(ConnectTest, a_refused_log_on_answers_false_and_opens_nothing) {
    Install("127.0.0.1", 211);
    brokers->UserID = "NOBODY";
    EXPECT_FALSE(module->ConnectServer());
    EXPECT_FALSE(module->cdsSaveCondition->Active());
    EXPECT_EQ(brokers->UserInfo.Count(), 0);
}

TEST_F(ConnectTest, an_unreachable_first_address_is_named_with_its_port_and_the_second_not_tried) {
    Install("127.0.0.2;127.0.0.1", 1);
    try {
        module->ConnectServer();
        FAIL() << "connected to an address nobody listens at";
    } catch (const ESocketConnectionError& e) {
        EXPECT_EQ(e.Address, "127.0.0.2");
        EXPECT_EQ(e.Port, 1);
        EXPECT_THAT(e.Message(), HasSubstr("127.0.0.2:1")) << e.Message();
    }
    EXPECT_FALSE(module->AppServer.IsDispatch());
}

TEST_F(ConnectTest, settings_without_a_client_path_give_no_address_and_say_why) {
    registry = std::make_unique<ScopedEnv>("ORTK_REGISTRY_FILE", dir.Path() + "none.reg");
    try {
        module->ConnectServer();
        FAIL() << "connected without an address";
    } catch (const ESocketConnectionError& e) {
        EXPECT_THAT(e.Message(), HasSubstr("no address")) << e.Message();
        EXPECT_THAT(e.Message(), HasSubstr("E;000015")) << e.Message();
    }
}
