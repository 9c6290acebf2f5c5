// The rules by which a selection panel puts its start and end in order when
// it is left, apart from the panel, so that they can be read (and tested)
// without a window.
#pragma once

#include <cstdint>
#include <string>

#include "controls/SelectPnl.h"

namespace selectpnl {

struct ExchangeRules {
    TValueType ValueType = TValueType::vt_String;
    TDateType DateType = TDateType::dt_NoneCare;
    std::string DateSign = "/";
    std::string BlankText;             // text of an empty edit under the panel's mask
    bool AutoChangeDateSite = true;
    bool UseDiscard = false;
    std::string Discard;
};

// A whole number as the runtime reads one (leading blanks, a sign, decimal
// digits, or "$" and hexadecimal digits); `fallback` for anything else,
// including a number beyond 64 bits.
int64_t ReadInteger(const std::string& text, int64_t fallback);
// A decimal number with "." and optional "," thousands separators and an
// optional exponent; 0 for anything else.
double ReadFloat(const std::string& text);
// The date of a panel edit as the number YYYYMMDD, read by the date rules
// of fieldfmt; 0 (earlier than any date) for an empty or blank text and for
// a text that is neither a real date nor a year and month. A year and month
// alone counts as the first of the month.
int ExchangeDate(const std::string& text, const std::string& blankText, TDateType type, const std::string& sign);
// True when start and end (as the edits hold them, after trimming) are to
// change places. Never when either is empty.
bool NeedsExchange(const std::string& start, const std::string& end, const ExchangeRules& rules);

}  // namespace selectpnl
