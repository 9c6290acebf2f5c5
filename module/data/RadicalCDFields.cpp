// The field handlers of TdmRadical: stored dates, year-months, month-days,
// years, times, seconds, days, months and percentages shown and typed in
// the company's date format (FieldFormats.h), the code conversion handlers,
// and the set-text handlers that complete a typed code through the host's
// lookup window.
//
// Validate handlers act only while the dataset is editing or inserting; an
// empty value always passes. A failing check shows the host's coded message
// (kind "E") and aborts silently, so that the post does not happen.
#include <ctime>

#include "Brokers.h"
#include "DateUtils.h"
#include "FieldFormats.h"
#include "RadicalCD.h"
#include "StrUtils.h"

using plat::Variant;
using vcl::TDataSetState;
using vcl::TField;
using vcl::TFieldType;

namespace {

bool Editing(TField* field) {
    return field->DataSet() &&
           (field->DataSet()->State() == TDataSetState::dsEdit || field->DataSet()->State() == TDataSetState::dsInsert);
}

bool IsDateValueField(TField* field) {
    return field->DataType() == TFieldType::ftDate || field->DataType() == TFieldType::ftDateTime;
}

// The stored value as text; date values as "YYYYMMDD".
std::string StoredText(TField* field) {
    Variant v = field->Value();
    if (v.IsEmptyOrNull()) return {};
    if (v.Type() == plat::VarType::Date) return vcl::DateToYMD(v.ToDouble());
    return plat::Trim(field->AsString());
}

int CurrentYear() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return local.tm_year + 1900;
}

}  // namespace

vcl::TFieldGetTextEvent TdmRadical::GetTextHandler(void (TdmRadical::*handler)(TField*, std::string&, bool)) {
    return vcl::TFieldGetTextEvent([this, handler](TField* f, std::string& t, bool d) { (this->*handler)(f, t, d); }, this);
}

vcl::TFieldSetTextEvent TdmRadical::SetTextHandler(void (TdmRadical::*handler)(TField*, const std::string&)) {
    return vcl::TFieldSetTextEvent([this, handler](TField* f, const std::string& t) { (this->*handler)(f, t); }, this);
}

vcl::TFieldNotifyEvent TdmRadical::NotifyHandler(void (TdmRadical::*handler)(TField*)) {
    return vcl::TFieldNotifyEvent([this, handler](TField* f) { (this->*handler)(f); }, this);
}

void TdmRadical::RejectInput(const std::string& code) const {
    if (Brokers) Brokers->ShowCodedMessage("E", code, {});
    throw plat::EAbort();
}

// ---- dates ----

std::string TdmRadical::DateFieldEditMask() const { return fieldfmt::DateEditMask(DateFormatKind, DateSeparator); }

void TdmRadical::DateFieldGetText(TField* sender, std::string& text, bool) {
    Variant v = sender->Value();
    if (v.IsEmptyOrNull()) text.clear();
    else if (v.Type() == plat::VarType::Date) text = fieldfmt::DbDateToDisplay(DateFormatKind, DateSeparator, v.ToDouble());
    else text = fieldfmt::DbDateToDisplay(DateFormatKind, DateSeparator, plat::Trim(sender->AsString()));
}

void TdmRadical::DateFieldSetText(TField* sender, const std::string& text) {
    if (IsDateValueField(sender)) {
        double value = fieldfmt::DisplayDateToValue(text, DateFormatKind, DateSeparator);
        if (value == 0) sender->Clear();
        else sender->SetAsDateTime(value);
        return;
    }
    std::string stored = fieldfmt::DisplayDateToDb(text, DateFormatKind, DateSeparator);
    sender->SetAsString(stored == "0" ? std::string() : stored);
}

void TdmRadical::DateFieldValidate(TField* sender) {
    if (!Editing(sender) || IsDateValueField(sender)) return;
    std::string stored = StoredText(sender);
    if (!stored.empty() && !fieldfmt::IsDbDate(stored)) RejectInput("000005");
}

// ---- year-months ----

std::string TdmRadical::YMFieldEditMask() const { return fieldfmt::YMEditMask(DateFormatKind, DateSeparator); }

void TdmRadical::YMFieldGetText(TField* sender, std::string& text, bool) {
    text = fieldfmt::YMToDisplay(DateFormatKind, DateSeparator, StoredText(sender));
}

void TdmRadical::YMFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsString(fieldfmt::YMFromDisplay(DateFormatKind, DateSeparator, text));
}

void TdmRadical::YMFieldValidate(TField* sender) {
    if (Editing(sender) && !fieldfmt::YMValid(StoredText(sender))) RejectInput("100002");
}

// ---- month-days ----

std::string TdmRadical::MDFieldEditMask() const { return fieldfmt::MDEditMask(DateSeparator); }

void TdmRadical::MDFieldGetText(TField* sender, std::string& text, bool) {
    text = fieldfmt::MDToDisplay(DateFormatKind, DateSeparator, StoredText(sender));
}

void TdmRadical::MDFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsString(fieldfmt::MDFromDisplay(DateFormatKind, DateSeparator, text));
}

void TdmRadical::MDFieldValidate(TField* sender) {
    if (Editing(sender) && !fieldfmt::MDValid(CurrentYear(), StoredText(sender))) RejectInput("000005");
}

// ---- years ----

std::string TdmRadical::YearFieldEditMask() const { return fieldfmt::YearEditMask(DateFormatKind); }

void TdmRadical::YearFieldGetText(TField* sender, std::string& text, bool) {
    text = fieldfmt::YearToDisplay(DateFormatKind, StoredText(sender));
}

void TdmRadical::YearFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsString(fieldfmt::YearFromDisplay(DateFormatKind, text));
}

// ---- times ----

std::string TdmRadical::TimeFieldEditMask() const { return fieldfmt::kTimeEditMask; }

void TdmRadical::TimeFieldGetText(TField* sender, std::string& text, bool) {
    text = fieldfmt::TimeToDisplay(StoredText(sender));
}

void TdmRadical::TimeFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsString(fieldfmt::TimeFromDisplay(text));
}

void TdmRadical::TimeFieldValidate(TField* sender) {
    if (Editing(sender) && !fieldfmt::TimeValid(StoredText(sender))) RejectInput("100187");
}

// ---- seconds ----

std::string TdmRadical::SecondFieldEditMask() const { return fieldfmt::kSecondEditMask; }

void TdmRadical::SecondFldGetText(TField* sender, std::string& text, bool) {
    text = sender->IsNull() ? std::string() : fieldfmt::SecondsToDisplay(sender->AsLargeInt());
}

void TdmRadical::SecondFldSetText(TField* sender, const std::string& text) {
    int64_t seconds = 0;
    if (!fieldfmt::SecondsFromDisplay(text, seconds)) RejectInput("100187");
    sender->SetValue(Variant(seconds));
}

// ---- days and months ----

std::string TdmRadical::DayFieldEditMask() const { return fieldfmt::kDayEditMask; }
std::string TdmRadical::MonthFieldEditMask() const { return fieldfmt::kMonthEditMask; }

void TdmRadical::DayFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsString(fieldfmt::TwoDigitsFromDisplay(text));
}

void TdmRadical::MonthFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsString(fieldfmt::TwoDigitsFromDisplay(text));
}

void TdmRadical::DayFieldValidate(TField* sender) {
    if (Editing(sender) && !fieldfmt::DayValid(StoredText(sender))) RejectInput("000005");
}

void TdmRadical::MonthFieldValidate(TField* sender) {
    if (Editing(sender) && !fieldfmt::MonthValid(StoredText(sender))) RejectInput("100002");
}

// ---- percentages and numbers ----

std::string TdmRadical::PercentFieldEditMask() const { return fieldfmt::kPercentEditMask; }

void TdmRadical::PercentFieldGetText(TField* sender, std::string& text, bool) {
    text = sender->IsNull() ? std::string() : fieldfmt::PercentToDisplay(sender->AsFloat());
}

void TdmRadical::PercentFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsFloat(fieldfmt::PercentFromDisplay(text));
}

std::string TdmRadical::NumberFieldDisplayFormat(int decimals) const { return fieldfmt::NumberFieldDisplayFormat(decimals); }
std::string TdmRadical::NumberFieldEditFormat() const { return fieldfmt::kNumberFieldEditFormat; }

// ---- date-times ----

void TdmRadical::DateTimeFieldGetText(TField* sender, std::string& text, bool) {
    Variant v = sender->Value();
    if (v.IsEmptyOrNull()) text.clear();
    else if (v.Type() == plat::VarType::Date) text = fieldfmt::DateTimeToDisplay(DateFormatKind, DateSeparator, v.ToDouble());
    else text = fieldfmt::DateTimeTextToDisplay(DateFormatKind, DateSeparator, sender->AsString());
}

// ---- code conversion ----

void TdmRadical::DOGetText(TField* sender, std::string& text, bool) {
    text = sender->AsString();
    if (Brokers && Brokers->Window()) text = Brokers->Window()->ToDisplayText(text);
}

void TdmRadical::DOSetText(TField* sender, const std::string& text) {
    sender->SetAsString(FromDisplayText ? FromDisplayText(text) : text);
}

// ---- codes completed through the host lookup ----

// When the system parameter begins with "Y", the typed text is handed to the
// host's lookup window of `table` as its start value, kind by kind until one
// answers; the first column of the first row chosen is stored. Without an
// answer (nothing chosen, no lookup service, a lookup the host does not
// offer) the typed text is stored as it is.
void TdmRadical::CompleteCode(TField* sender, const std::string& text, const std::string& sysParam,
                              const std::string& table, const std::vector<std::string>& kinds) {
    std::string typed = plat::Trim(text);
    std::string value = typed;
    if (Brokers && !typed.empty() && plat::UpperCase(Brokers->GetSysParam(sysParam)).rfind("Y", 0) == 0) {
        for (const std::string& kind : kinds) {
            Variant answer;
            try {
                Brokers->F2GetData(table, kind, answer, {}, {}, {}, 0, {}, false, false, {}, Variant(typed));
            } catch (const plat::EOleError&) {
                continue;   // the host offers no such lookup
            }
            if (plat::HasRows(answer)) {
                const Variant& row = answer[answer.Array().LowBound()];
                const Variant& code = row.IsArray() ? row[row.Array().LowBound()] : row;
                if (!code.IsEmptyOrNull()) {
                    value = plat::Trim(code.ToString());
                    break;
                }
            }
        }
    }
    sender->SetAsString(value);
}

void TdmRadical::CustomerFieldSetText(TField* sender, const std::string& text) {
    CompleteCode(sender, text, "SYS054", "COPMA", {"61", "62"});
}

void TdmRadical::ProviderFieldSetText(TField* sender, const std::string& text) {
    CompleteCode(sender, text, "SYS055", "PURMA", {"64"});
}

void TdmRadical::CostFieldSetText(TField* sender, const std::string& text) {
    CompleteCode(sender, text, "SYS056", "ACTMA", {"66"});
}

void TdmRadical::BarCodeFieldSetText(TField* sender, const std::string& text) {
    if (ScannerMode == "2") CompleteCode(sender, text, "SYS053", "INVMH", {"01"});
    else CompleteCode(sender, text, "SYS053", "INVMB", {"63"});
}
