// Field display and edit formats: the shared date conversions across the
// five date kinds, and the data module's handlers on real fields, with the
// coded messages their checks show.
#include <gtest/gtest.h>

#include <ctime>
#include <optional>

#include "data/Brokers.h"
#include "DBClient.h"
#include "DataTestSupport.h"
#include "DateUtils.h"
#include "NumberFormat.h"
#include "Dialogs.h"
#include "StrUtils.h"
#include "data/FieldFormats.h"
#include "data/RadicalCD.h"

using namespace fieldfmt;
using plat::Variant;
using vcl::TField;

// ---- the shared conversions ----

TEST(DateConversions, a_stored_date_shows_in_each_kind_with_the_first_separator_character) {
    struct Case { int kind; std::string sep, stored, shown; };
    for (const Case& c : std::vector<Case>{{1, "/", "20260305", "2026/03/05"},
                                           {2, "/", "20260305", "03/05/2026"},
                                           {3, "-", "20260305", "05-03-2026"},
                                           {4, "/", "20260305", "115/03/05"},
                                           {5, ".", "20260305", "115.03.05"},
                                           {4, "/", "19990101", "88/01/01"},
                                           {5, "/", "19990101", "088/01/01"},
                                           {1, "-/", "20260305", "2026-03-05"},
                                           {1, "", "20260305", "20260305"},
                                           {9, "/", "20260305", "2026/03/05"}})
        EXPECT_EQ(DbDateToDisplay(c.kind, c.sep, c.stored), c.shown) << "kind " << c.kind;
    for (const char* invalid : {"", "2026030", "20260230", "00000000", "2026AB05", "20261301"})
        EXPECT_EQ(DbDateToDisplay(1, "/", std::string(invalid)), "") << invalid;
    EXPECT_EQ(DbDateToDisplay(1, "/", 0.0), "");
}

// The date parts are written by hand rather than printed; these are the
// cases where printf's "%.Nd" and "%s" had something to say.
TEST(DateConversions, years_before_1911_and_odd_separators_show_as_printf_wrote_them) {
    struct Case { int kind; std::string sep, stored, shown; };
    for (const Case& c : std::vector<Case>{{4, "/", "19050607", "-06/06/07"},
                                           {5, "/", "19050607", "-006/06/07"},
                                           {4, "/", "18000101", "-111/01/01"},
                                           {4, "/", "19110101", "00/01/01"},
                                           {5, "/", "19120101", "001/01/01"},
                                           {1, "/", "01000101", "0100/01/01"},
                                           {2, "/", "99991231", "12/31/9999"},
                                           {1, std::string("\0/", 2), "20260305", "20260305"},
                                           {3, "年月", "20260305", "05年03年2026"}})
        EXPECT_EQ(DbDateToDisplay(c.kind, c.sep, c.stored), c.shown) << "kind " << c.kind << " " << c.stored;
}

TEST(DateConversions, typed_dates_are_stored_in_eight_digits_without_a_calendar_check) {
    EXPECT_EQ(DisplayDateToDb("2026/3/5", 1, "/"), "20260305");
    EXPECT_EQ(DisplayDateToDb("5-3-2026", 3, "-"), "20260305");
    EXPECT_EQ(DisplayDateToDb("03/05/2026", 2, "/"), "20260305");
    EXPECT_EQ(DisplayDateToDb("115/03/05", 4, "/"), "20260305");
    EXPECT_EQ(DisplayDateToDb("88/1/1", 5, "/"), "19990101");
    EXPECT_EQ(DisplayDateToDb("20260305", 1, ""), "20260305");
    EXPECT_EQ(DisplayDateToDb("2026/13/01", 1, "/"), "20261301");
    for (const char* nothing : {"", "   ", "    /  /  ", "2026/0/05", "2026/x/05", "2026/03"})
        EXPECT_EQ(DisplayDateToDb(nothing, 1, "/"), "0") << nothing;
}

// Every value shown can be typed back as it stands, whatever the kind and
// separator: dates (also years before and after 2011, where kind 4 changes
// its width), year-months, month-days and years.
TEST(DateConversions, every_shown_value_types_back_to_the_stored_value) {
    const std::vector<std::string> separators = {"/", "-", ".", "", "/ ", "年"};
    for (int kind = 1; kind <= 5; ++kind) {
        for (const std::string& sep : separators) {
            for (const std::string stored : {"20260305", "19990101", "20101231", "20110101", "19120229"}) {
                SCOPED_TRACE("kind " + std::to_string(kind) + " separator \"" + sep + "\" date " + stored);
                const std::string shown = DbDateToDisplay(kind, sep, stored);
                ASSERT_FALSE(shown.empty());
                EXPECT_EQ(DisplayDateToDb(shown, kind, sep), stored) << shown;
                EXPECT_EQ(ConditionDate(shown, kind, sep), stored) << shown;
                EXPECT_EQ(DisplayDateToValue(shown, kind, sep), DbDateToValue(stored)) << shown;
                const std::string month = stored.substr(0, 6), monthDay = stored.substr(4, 4);
                EXPECT_EQ(YMFromDisplay(kind, sep, YMToDisplay(kind, sep, month)), month);
                EXPECT_EQ(ConditionYearMonth(YMToDisplay(kind, sep, month), kind, sep), month);
                EXPECT_EQ(MDFromDisplay(kind, sep, MDToDisplay(kind, sep, monthDay)), monthDay);
                EXPECT_EQ(YearFromDisplay(kind, YearToDisplay(kind, stored.substr(0, 4))), stored.substr(0, 4));
            }
        }
    }
}

TEST(DateConversions, the_separator_is_the_first_character_of_the_setting) {
    EXPECT_EQ(DateSeparatorOf("/ "), "/");
    EXPECT_EQ(DateSeparatorOf("年月"), "年");
    EXPECT_EQ(DateSeparatorOf(""), "");
    EXPECT_EQ(DbDateToDisplay(1, "/ ", "20260305"), "2026/03/05");
    EXPECT_EQ(DisplayDateToDb("2026/03/05", 1, "/ "), "20260305") << "typed back as shown";
    EXPECT_EQ(DisplayDateToDb("2026年3年5", 1, "年月"), "20260305");
}

// Without a separator each kind is cut where its display puts the parts.
TEST(DateConversions, without_a_separator_typed_dates_are_cut_as_the_kind_shows_them) {
    struct Case { int kind; const char* typed; const char* stored; } cases[] = {
        {1, "20240110", "20240110"}, {2, "01102024", "20240110"}, {3, "10012024", "20240110"},
        {4, "1130110", "20240110"},  {4, "880101", "19990101"},   {5, "0880101", "19990101"},
        {5, "1130110", "20240110"},  {1, "202401101", "0"},       {1, "2024011", "0"},
        {4, "0101", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.typed);
        EXPECT_EQ(DisplayDateToDb(c.typed, c.kind, ""), c.stored);
    }
}

// "" is no bound; nullopt must stop whoever asked.
TEST(DateConversions, a_condition_date_is_nothing_a_real_date_or_refused) {
    struct Case { int kind; const char* sep; const char* typed; std::optional<std::string> stored; } cases[] = {
        {1, "/", "", ""},                      {1, "/", "    /  /  ", ""},
        {4, "年", "   年  年  ", ""},          {1, "", "        ", ""},
        {1, "/", "2024/01/10", "20240110"},    {4, "/", "113/1/10", "20240110"},
        {1, "/", "2024/02/30", std::nullopt},  {1, "/", "2024/13/01", std::nullopt},
        {1, "/", "abc", std::nullopt},         {1, "/", "2024/01", std::nullopt},
        {1, "/", "2024/01/10/1", std::nullopt}, {1, "/", "1752/12/31", std::nullopt},
        {1, "/", "2024/  /10", std::nullopt},  {1, "-", "2024/01/10", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sep) + " \"" + c.typed + "\"");
        EXPECT_EQ(ConditionDate(c.typed, c.kind, c.sep), c.stored);
    }
    EXPECT_EQ(ConditionYearMonth("2024/13", 1, "/"), std::nullopt);
    EXPECT_EQ(ConditionYearMonth("  /  ", 2, "/"), "");
}

TEST(NumberDisplay, a_tie_rounds_away_from_zero) {
    struct Case { const char* mask; double value; const char* shown; } cases[] = {
        {"#,##0.00", 0.125, "0.13"},   {"#,##0.00", -0.125, "-0.13"},      {"#,##0.", 2.5, "3"},
        {"#,##0.00", 1.005, "1.01"},   {"#,##0.00", 1234.565, "1,234.57"}, {"#,##0.#######", 0.5, "0.5"},
        {"#,##0.00", 0.124, "0.12"},   {"#,##0.00", 999.995, "1,000.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " " + std::to_string(c.value));
        EXPECT_EQ(vcl::FormatFloat(c.mask, c.value), c.shown);
    }
    EXPECT_EQ(PercentToDisplay(0.00125), "0.13%");
    EXPECT_EQ(PercentToDisplay(0.125), "12.50%");
}

TEST(DateConversions, typed_date_values_run_past_the_month_end_and_refuse_invalid_months) {
    EXPECT_EQ(DisplayDateToValue("2026/02/30", 1, "/"), vcl::EncodeDate(2026, 3, 2));
    EXPECT_EQ(DisplayDateToValue("115/12/32", 4, "/"), vcl::EncodeDate(2027, 1, 1));
    EXPECT_EQ(DisplayDateToValue("2026/13/01", 1, "/"), 0);
    EXPECT_EQ(DisplayDateToValue("2026/00/01", 1, "/"), 0);
    EXPECT_EQ(DisplayDateToValue("", 1, "/"), 0);
}

TEST(DateConversions, masks_put_the_year_part_where_the_kind_wants_it) {
    EXPECT_EQ(DateEditMask(1, "/"), "9999/99/99;1; ");
    EXPECT_EQ(DateEditMask(3, "-"), "99-99-9999;1; ");
    EXPECT_EQ(DateEditMask(4, "/"), "999/99/99;1; ");   // 2011 on shows three digits
    EXPECT_EQ(DateEditMask(1, ""), "99999999;1; ");
    EXPECT_EQ(DateEditMask(2, "年"), "99年99年9999;1; ");
    EXPECT_EQ(DateEditMask(1, "/ "), "9999/99/99;1; ");
    EXPECT_EQ(DateEditMask(1, "9"), "9999\\999\\999;1; ") << "a mask character as separator stands escaped";
    EXPECT_EQ(MDEditMask("年"), "99年99;1; ");
    EXPECT_EQ(DateEditMask(5, "/"), "999/99/99;1; ");
    EXPECT_EQ(YMEditMask(2, "/"), "99/9999;1; ");
    EXPECT_EQ(YearEditMask(5), "999;1; ");
    EXPECT_EQ(NumberFieldDisplayFormat(2), "#,##0.00");
    EXPECT_EQ(NumberFieldDisplayFormat(0), "#,##0.#######");
    EXPECT_EQ(NumberFieldDisplayFormat(20), "#,##0.00000000000");
}

// ---- the handlers on real fields ----

namespace {

class FieldHandlersTest : public testing::Test {
protected:
    void SetUp() override {
        module = vcl::TComponent::Create<TdmRadical>(nullptr);
        brokers = vcl::TComponent::Create<TBrokers>(module, nullptr);
        brokers->HostObject = Variant(plat::DispatchRef(datatest::MessageHost()));
        module->Brokers = brokers;
        module->DateSeparator = "/";
        ds = vcl::TComponent::Create<vcl::TClientDataSet>(module);
        text = ds->AddField<vcl::TStringField>("TXT", 20);
        date = ds->AddField<vcl::TDateField>("DVAL");
        number = ds->AddField<vcl::TIntegerField>("NUM");
        fraction = ds->AddField<vcl::TFloatField>("FRAC");
        ds->CreateDataSet();
        ds->Append();
    }
    void TearDown() override { module->Free(); }

    using GetText = void (TdmRadical::*)(TField*, std::string&, bool);
    using SetText = void (TdmRadical::*)(TField*, const std::string&);
    using Validate = void (TdmRadical::*)(TField*);
    void Use(TField* field, GetText get, SetText set, Validate validate = nullptr) {
        field->OnGetText = get ? module->GetTextHandler(get) : vcl::TFieldGetTextEvent();
        field->OnSetText = set ? module->SetTextHandler(set) : vcl::TFieldSetTextEvent();
        field->OnValidate = validate ? module->NotifyHandler(validate) : vcl::TFieldNotifyEvent();
    }
    // Types `typed` into the field; answers the message codes shown.
    std::string Type(TField* field, const std::string& typed) {
        dialogs->Shown.clear();
        try {
            field->SetText(typed);
        } catch (const plat::EAbort&) {
        }
        std::string shown;
        for (const auto& d : dialogs->Shown) shown += plat::Trim(d.Text);
        return shown;
    }

    plat::ScopedScriptedDialogs dialogs;
    TdmRadical* module = nullptr;
    TBrokers* brokers = nullptr;
    vcl::TClientDataSet* ds = nullptr;
    TField *text = nullptr, *date = nullptr, *number = nullptr, *fraction = nullptr;
};

}  // namespace

TEST_F(FieldHandlersTest, date_text_fields_store_digits_and_reject_impossible_dates) {
    Use(text, &TdmRadical::DateFieldGetText, &TdmRadical::DateFieldSetText, &TdmRadical::DateFieldValidate);
    module->DateFormatKind = 3;
    module->DateSeparator = "-";
    EXPECT_EQ(Type(text, "5-3-2026"), "");
    EXPECT_EQ(text->AsString(), "20260305");
    EXPECT_EQ(text->DisplayText(), "05-03-2026");
    EXPECT_EQ(Type(text, "01-13-2026"), "E000005");
    EXPECT_EQ(text->AsString(), "20260305") << "the refused date is not stored";
    EXPECT_EQ(Type(text, "  -  -    "), "");
    EXPECT_EQ(text->AsString(), "") << "a blank mask clears the field";
}

TEST_F(FieldHandlersTest, date_value_fields_take_the_day_overflow_into_the_next_month) {
    Use(date, &TdmRadical::DateFieldGetText, &TdmRadical::DateFieldSetText, &TdmRadical::DateFieldValidate);
    EXPECT_EQ(Type(date, "2026/02/30"), "");
    EXPECT_EQ(date->AsDateTime(), vcl::EncodeDate(2026, 3, 2));
    EXPECT_EQ(date->DisplayText(), "2026/03/02");
    Type(date, "2026/13/01");
    EXPECT_TRUE(date->IsNull());
}

TEST_F(FieldHandlersTest, the_1911_kinds_show_and_read_years_counted_from_1912) {
    Use(text, &TdmRadical::DateFieldGetText, &TdmRadical::DateFieldSetText);
    module->DateFormatKind = 4;
    Type(text, "88/1/1");
    EXPECT_EQ(text->AsString(), "19990101");
    EXPECT_EQ(text->DisplayText(), "88/01/01");
    module->DateFormatKind = 5;
    EXPECT_EQ(text->DisplayText(), "088/01/01");
    Use(text, &TdmRadical::YearFieldGetText, &TdmRadical::YearFieldSetText);
    Type(text, "115");
    EXPECT_EQ(text->AsString(), "2026");
    EXPECT_EQ(text->DisplayText(), "115");
    module->DateFormatKind = 4;
    Type(text, "88");
    EXPECT_EQ(text->DisplayText(), "88");
    module->DateFormatKind = 1;
    Type(text, "26");
    EXPECT_EQ(text->AsString(), "0026");
}

TEST_F(FieldHandlersTest, year_months_follow_the_kind_and_a_zero_part_clears) {
    Use(text, &TdmRadical::YMFieldGetText, &TdmRadical::YMFieldSetText, &TdmRadical::YMFieldValidate);
    Type(text, "2026/3");
    EXPECT_EQ(text->AsString(), "202603");
    EXPECT_EQ(text->DisplayText(), "2026/03");
    module->DateFormatKind = 2;
    EXPECT_EQ(text->DisplayText(), "03/2026");
    Type(text, "4/2025");
    EXPECT_EQ(text->AsString(), "202504");
    module->DateFormatKind = 4;
    EXPECT_EQ(text->DisplayText(), "114/04");
    Type(text, "115/0");
    EXPECT_EQ(text->AsString(), "") << "a month part of 0 clears the field";
    module->DateFormatKind = 1;
    EXPECT_EQ(Type(text, "2026/13"), "E100002");
    EXPECT_EQ(Type(text, "2026/12"), "");
    module->DateFormatKind = 0;
    EXPECT_EQ(text->DisplayText(), "");
}

TEST_F(FieldHandlersTest, month_days_pad_both_parts_and_check_against_the_current_year) {
    Use(text, &TdmRadical::MDFieldGetText, &TdmRadical::MDFieldSetText, &TdmRadical::MDFieldValidate);
    module->DateFormatKind = 3;
    Type(text, "5/3");
    EXPECT_EQ(text->AsString(), "0305");
    EXPECT_EQ(text->DisplayText(), "05/03");
    module->DateFormatKind = 1;
    EXPECT_EQ(text->DisplayText(), "03/05");
    EXPECT_EQ(Type(text, "02/30"), "E000005");
    EXPECT_EQ(Type(text, "  /  "), "");
    EXPECT_EQ(text->AsString(), "");
}

TEST_F(FieldHandlersTest, times_insert_a_colon_and_refuse_hours_past_23) {
    Use(text, &TdmRadical::TimeFieldGetText, &TdmRadical::TimeFieldSetText, &TdmRadical::TimeFieldValidate);
    Type(text, "9:5");
    EXPECT_EQ(text->AsString(), "0905");
    EXPECT_EQ(text->DisplayText(), "09:05");
    EXPECT_EQ(Type(text, "25:00"), "E100187");
    EXPECT_EQ(Type(text, "12:60"), "E100187");
    EXPECT_EQ(Type(text, "  :  "), "");
    EXPECT_EQ(text->AsString(), "");
}

TEST_F(FieldHandlersTest, seconds_round_trip_and_refuse_sixty_minutes) {
    Use(number, &TdmRadical::SecondFldGetText, &TdmRadical::SecondFldSetText);
    EXPECT_EQ(Type(number, "0001:30:00"), "");
    EXPECT_EQ(number->AsInteger(), 5400);
    EXPECT_EQ(number->DisplayText(), "0001:30:00");
    EXPECT_EQ(Type(number, "0"), "");
    EXPECT_EQ(number->DisplayText(), "0000:00:00");
    EXPECT_EQ(Type(number, "0000:60:00"), "E100187");
    EXPECT_EQ(number->AsInteger(), 0);
}

TEST_F(FieldHandlersTest, days_and_months_are_two_digits_within_their_range) {
    Use(text, nullptr, &TdmRadical::DayFieldSetText, &TdmRadical::DayFieldValidate);
    EXPECT_EQ(Type(text, "5"), "");
    EXPECT_EQ(text->AsString(), "05");
    EXPECT_EQ(Type(text, "32"), "E000005");
    EXPECT_EQ(Type(text, " "), "");
    EXPECT_EQ(text->AsString(), "");
    Use(text, nullptr, &TdmRadical::MonthFieldSetText, &TdmRadical::MonthFieldValidate);
    EXPECT_EQ(Type(text, "12"), "");
    EXPECT_EQ(Type(text, "13"), "E100002");
    EXPECT_EQ(text->AsString(), "12");
}

TEST_F(FieldHandlersTest, percentages_show_the_fraction_times_100_and_failures_store_0) {
    Use(fraction, &TdmRadical::PercentFieldGetText, &TdmRadical::PercentFieldSetText);
    Type(fraction, " 12.5 %");
    EXPECT_DOUBLE_EQ(fraction->AsFloat(), 0.125);
    EXPECT_EQ(fraction->DisplayText(), "12.50%");
    Type(fraction, "abc%");
    EXPECT_EQ(fraction->AsFloat(), 0);
    EXPECT_EQ(module->PercentFieldEditMask(), "###.##%;1; ");
}

TEST_F(FieldHandlersTest, date_times_show_the_kind_order_and_milliseconds) {
    Use(text, &TdmRadical::DateTimeFieldGetText, nullptr);
    text->SetAsString("20260305142501123");
    EXPECT_EQ(text->DisplayText(), "2026/03/05 14:25:01:123");
    module->DateFormatKind = 2;
    EXPECT_EQ(text->DisplayText(), "03/05/2026 14:25:01:123");
    Use(date, &TdmRadical::DateTimeFieldGetText, nullptr);
    date->SetAsDateTime(vcl::EncodeDate(2026, 3, 5));
    module->DateFormatKind = 5;
    EXPECT_EQ(date->DisplayText(), "115/03/05 00:00:00:000");
}

TEST_F(FieldHandlersTest, a_typed_customer_code_is_completed_through_the_host_lookup_when_asked) {
    auto picker = std::make_shared<datatest::FakeService>();
    std::vector<std::string> asked;
    picker->On("F2GetData", [&](plat::Args& a) {
        const Variant& p = a[0].Value;
        asked.push_back(p[0].ToString() + "/" + p[1].ToString() + "/" + p[2].ToString());
        if (p[1].ToString() == "61") return Variant();
        return plat::VarArrayOf({plat::VarArrayOf({"C0001", "客户甲"})});
    });
    brokers->LookupService = Variant(plat::DispatchRef(picker));
    Use(text, nullptr, &TdmRadical::CustomerFieldSetText);
    Type(text, "c00");
    EXPECT_EQ(text->AsString(), "c00") << "without SYS054 the typed code stays";
    EXPECT_TRUE(asked.empty());
    brokers->SetSysParam("SYS054", "Y");
    Type(text, "c00");
    EXPECT_EQ(text->AsString(), "C0001");
    EXPECT_EQ(asked, (std::vector<std::string>{"COPMA/61/c00", "COPMA/62/c00"}));
}
