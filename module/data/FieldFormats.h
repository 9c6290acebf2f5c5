// How stored dates, year-months, month-days, years, times, seconds and
// percentages look to the user and how typed text is stored again, under
// the company's date format kind and separator. The field handlers of the
// data modules, the query frame and the exports all use these functions, so
// that one stored value always shows the same way.
//
// Date format kinds: 1 year-month-day, 2 month-day-year, 3 day-month-year
// (four-digit years); 4 and 5 year-month-day with the year counted from 1912
// (year - 1911), shown with at least two and three digits (kind 4 shows
// three from 2011 on). Any other kind is read as kind 1.
//
// The separator is the first character (not byte) of the company's setting,
// for display, edit masks and typed text alike, so that every date shown can
// be typed back as it stands. Without a separator, typed text is cut where
// the kind's display puts its parts: 4/2/2 (kind 1), 2/2/4 (kinds 2 and 3),
// 3/2/2 (kind 5), and for kind 4 the year is whatever stands before the last
// four digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fieldfmt {

// The separator that dates are shown and typed with: the first UTF-8
// character of the company's setting "SYS002"; empty when the setting is.
std::string DateSeparatorOf(const std::string& setting);

// True when nothing was typed: the text is empty or holds nothing but
// blanks and the separator (an untouched edit mask).
bool NothingTyped(const std::string& text, const std::string& separator);

// ---- the three shared date conversions ----

// The date value (days from 30 December 1899) of a stored "YYYYMMDD" text;
// 0 when it is not eight characters or not a real date.
double DbDateToValue(const std::string& dbDate);
// A date value as the user sees it; empty for 0.
std::string DbDateToDisplay(int kind, const std::string& separator, double date);
// A stored "YYYYMMDD" text as the user sees it; empty when it is no real date.
std::string DbDateToDisplay(int kind, const std::string& separator, const std::string& dbDate);
// Typed date text to "YYYYMMDD": "0" for blank text or when any of the three
// parts is not a number above 0. The parts are split at the separator (with
// no separator: characters 1-4, 5-6, 7-8) and read in the kind's order. No
// calendar check: "2026/13/01" gives "20261301".
std::string DisplayDateToDb(const std::string& text, int kind, const std::string& separator);
// Typed date text to a date value: 0 unless all parts are above 0 and the
// month is 1-12; a day beyond the month's end runs into the next month.
double DisplayDateToValue(const std::string& text, int kind, const std::string& separator);
// True for a real calendar date in eight digits "YYYYMMDD".
bool IsDbDate(const std::string& dbDate);

// ---- dates and year-months typed as query conditions ----
// A condition is never dropped or changed silently: these answer "" when
// nothing was typed (no bound), the stored form for a real value, and
// nullopt for anything else, which the caller must refuse.

// "YYYYMMDD" of a real calendar date from 1753-01-01 to 9999-12-31.
std::optional<std::string> ConditionDate(const std::string& text, int kind, const std::string& separator);
// "YYYYMM" with a year above 0 and a month 1-12.
std::optional<std::string> ConditionYearMonth(const std::string& text, int kind, const std::string& separator);

// ---- edit masks ----
// The year takes as many positions as it is shown with at most: kind 4
// shows two digits before 2011 and three after, so its mask holds three.
std::string YearMaskPart(int kind);   // "9999", "999" (kinds 4 and 5)
std::string DateEditMask(int kind, const std::string& separator);
// What an edit without a mask shows before a date is typed: blanks where
// the date mask has positions, the separator between the parts.
std::string BlankDateText(int kind, const std::string& separator);
std::string YMEditMask(int kind, const std::string& separator);
std::string MDEditMask(const std::string& separator);
std::string YearEditMask(int kind);
inline constexpr const char* kTimeEditMask = "99:99;1; ";
inline constexpr const char* kSecondEditMask = "9999:99:99;1; ";
inline constexpr const char* kDayEditMask = "99;1; ";
inline constexpr const char* kMonthEditMask = "99;1; ";
inline constexpr const char* kPercentEditMask = "###.##%;1; ";

// ---- year-month "YYYYMM" ----
// Empty when the year or month part is empty or 0, or the kind is 0 or below.
std::string YMToDisplay(int kind, const std::string& separator, const std::string& stored);
// "" (clear) when either typed part is empty, "0" or below "0".
std::string YMFromDisplay(int kind, const std::string& separator, const std::string& text);
// A stored value is acceptable when empty, or six characters with month 1-12.
bool YMValid(const std::string& stored);

// ---- month-day "MMDD" ----
std::string MDToDisplay(int kind, const std::string& separator, const std::string& stored);
// "" when nothing was typed (only blanks around the separator).
std::string MDFromDisplay(int kind, const std::string& separator, const std::string& text);
// `year` followed by the stored MMDD is a real date (an empty value passes).
bool MDValid(int year, const std::string& stored);

// ---- year "YYYY" ----
std::string YearToDisplay(int kind, const std::string& stored);
std::string YearFromDisplay(int kind, const std::string& text);   // "" for blank text

// ---- time "HHMM" ----
std::string TimeToDisplay(const std::string& stored);
std::string TimeFromDisplay(const std::string& text);             // "" for a blank mask
bool TimeValid(const std::string& stored);                        // empty passes

// ---- whole seconds shown "HHHH:MM:SS" ----
std::string SecondsToDisplay(int64_t seconds);
// False for text that is not 10 characters with minutes and seconds below 60
// and hours not negative; "0" gives 0.
bool SecondsFromDisplay(const std::string& text, int64_t& seconds);

// ---- day "DD" and month "MM" ----
std::string TwoDigitsFromDisplay(const std::string& text);        // "" for blank text
bool DayValid(const std::string& stored);                         // empty or 1-31
bool MonthValid(const std::string& stored);                       // empty or 1-12

// ---- percent: a fraction shown as a percentage ----
// Two decimals, a tie rounded away from zero: 0.00125 -> "0.13%".
std::string PercentToDisplay(double fraction);                    // 0.125 -> "12.50%"
double PercentFromDisplay(const std::string& text);               // failures give 0

// ---- numbers ----
// 0 decimals: "#,##0.#######"; n: "#,##0." and n zeros (at most 11).
std::string NumberFieldDisplayFormat(int decimals);
inline constexpr const char* kNumberFieldEditFormat = "##0.#######";

// ---- date-time ----
// A date-time value as date (kind order) + " hh:nn:ss:zzz".
std::string DateTimeToDisplay(int kind, const std::string& separator, double value);
// The same from a stored text "YYYYMMDDhhnnsszzz" (missing time parts are 0);
// empty when its date part is no real date.
std::string DateTimeTextToDisplay(int kind, const std::string& separator, const std::string& stored);

}  // namespace fieldfmt
