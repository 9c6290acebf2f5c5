// Placeholder formatting of message texts over variant arguments, in the
// manner of the runtime's Format: "%" [index ":"] ["-"] [width] ["." precision]
// type, where index, width and precision may be "*" (taken from the next
// argument) and type is one of d u x e f g n m p s (either case); "%%" is a
// percent sign.
//
// Message texts come from the host, so a text may hold any placeholder with
// any arguments. Format never raises and never reads past its arguments:
//  - A malformed placeholder (a lone "%" at the end, an unknown type letter,
//    "%-1:s") is copied as written and takes no argument.
//  - A placeholder whose argument is missing, or whose argument cannot serve
//    its type, is copied as written. It still takes its arguments, so that
//    the placeholders after it keep their own.
//  - Arguments convert when they sensibly can: numeric text serves %d and
//    %f, an integral floating value serves %d, any scalar serves %s (Empty
//    and Null as empty text). Booleans, arrays and objects serve only %s as
//    far as they have a text (booleans "True"/"False"); %p also takes an
//    object and shows its address.
//  - Width and the digit count of %d %u %x are limited to 1024 characters,
//    float precision to 18 digits; a longer request is cut to the limit.
//  - A "*" width that is negative left-justifies; a negative "*" precision
//    counts as none.
//  - Width and %s precision count UTF-8 characters, and truncation never cuts
//    a character in half.
// Numbers use "." as decimal and "," as thousands separator; %m writes "¥"
// before the amount ("¥-1,234.50"). %f, %n and %m round as FixedPoint does.
#pragma once

#include <string>
#include <vector>

#include "Variant.h"

namespace plat {

std::string Format(const std::string& fmt, const std::vector<Variant>& args);

// `value` with `decimals` digits after the point (0 to 18; none and no point
// for 0), a tie rounded away from zero as users of the suite expect:
// 0.125 gives "0.13" and 2.5 with no decimals "3". The tie is judged on the
// value's 15 significant decimal digits, so 1.005 (stored as 1.00499...)
// also gives "1.01". A negative value that rounds to zero loses its sign;
// NaN and infinities give "NAN", "INF" and "-INF".
std::string FixedPoint(double value, int decimals);

}  // namespace plat
