// Stored values to display text and back, by date format kind.
#include "FieldFormats.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "DateUtils.h"
#include "Format.h"
#include "StrUtils.h"

namespace fieldfmt {

namespace {

int Kind(int kind) { return kind >= 1 && kind <= 5 ? kind : 1; }

std::string Sep(const std::string& separator) { return DateSeparatorOf(separator); }

// A whole number of digits only (blanks around it allowed); false otherwise.
bool ParseInt(const std::string& text, long long& out) {
    std::string t = plat::Trim(text);
    if (t.empty() || t.size() > 12) return false;
    size_t i = 0;
    bool negative = false;
    if (t[0] == '-' || t[0] == '+') {
        negative = t[0] == '-';
        i = 1;
    }
    if (i >= t.size()) return false;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
        v = v * 10 + (t[i] - '0');
    }
    out = negative ? -v : v;
    return true;
}

std::string Printf(const char* fmt, long long a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a);
    return buf;
}

// A width of kRest takes what the fixed widths leave.
constexpr size_t kRest = 0;

// Cuts `text` at fixed widths. A text of another length stays one piece or
// leaves a further part, so that it never passes for a date it is not
// ("2024011" is no 2024-01-01).
std::vector<std::string> CutAtWidths(const std::string& text, const std::vector<size_t>& widths) {
    size_t fixed = 0;
    for (size_t w : widths) fixed += w;
    if (text.size() < fixed) return {text};
    const size_t rest = text.size() - fixed;
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t w : widths) {
        size_t n = w == kRest ? rest : w;
        parts.push_back(at < text.size() ? text.substr(at, n) : std::string());
        at += n;
    }
    if (at < text.size()) parts.push_back(text.substr(at));
    return parts;
}

// Splits `text` at `separator` (one whole character); with an empty
// separator, at `widths`.
std::vector<std::string> SplitParts(const std::string& text, const std::string& separator,
                                    const std::vector<size_t>& widths) {
    if (separator.empty()) return CutAtWidths(text, widths);
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t hit = text.find(separator, start);
        if (hit == std::string::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
    return parts;
}

// Where the kind's display puts the parts of a date, a year-month and a
// month-day when there is no separator between them.
std::vector<size_t> DateWidths(int kind) {
    switch (Kind(kind)) {
        case 2: case 3: return {2, 2, 4};
        case 4: return {kRest, 2, 2};
        case 5: return {3, 2, 2};
        default: return {4, 2, 2};
    }
}

std::vector<size_t> YMWidths(int kind) {
    switch (Kind(kind)) {
        case 2: case 3: return {2, 4};
        case 4: return {kRest, 2};
        case 5: return {3, 2};
        default: return {4, 2};
    }
}

// The parts of typed text, trimmed first, split by the kind's rules.
std::vector<std::string> TypedParts(const std::string& text, const std::string& separator,
                                    const std::vector<size_t>& widths) {
    return SplitParts(plat::Trim(text), Sep(separator), widths);
}

// Year, month and day of typed date text in the kind's order; false unless
// it has exactly three parts, all numbers above 0.
bool TypedDate(const std::string& text, int kind, const std::string& separator, long long& y, long long& m, long long& d) {
    if (plat::Trim(text).empty()) return false;
    std::vector<std::string> parts = TypedParts(text, separator, DateWidths(kind));
    if (parts.size() != 3) return false;
    long long a, b, c;
    if (!ParseInt(parts[0], a) || !ParseInt(parts[1], b) || !ParseInt(parts[2], c)) return false;
    if (a <= 0 || b <= 0 || c <= 0) return false;
    switch (Kind(kind)) {
        case 2: m = a; d = b; y = c; break;
        case 3: d = a; m = b; y = c; break;
        case 4: case 5: y = a + 1911; m = b; d = c; break;
        default: y = a; m = b; d = c; break;
    }
    return true;
}

// Appends n with at least `width` digits, zeros in front, as printf's "%.Nd" writes it.
void AppendNumber(std::string& out, int n, int width) {
    long long v = n;
    if (v < 0) {
        out += '-';
        v = -v;
    }
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0);
    for (int i = count; i < width; ++i) out += '0';
    while (count > 0) out += digits[--count];
}

// The date in the kind's order and widths. Written by hand: the order list
// formats two dates for every one of its rows.
std::string ShownDate(int kind, const std::string& separator, int y, int m, int d) {
    const std::string sep = Sep(separator);
    std::string out;
    out.reserve(12 + 2 * sep.size());
    auto part = [&](int value, int width, bool last) {
        AppendNumber(out, value, width);
        if (!last) out += sep;
    };
    switch (Kind(kind)) {
        case 2: part(m, 2, false); part(d, 2, false); part(y, 4, true); break;
        case 3: part(d, 2, false); part(m, 2, false); part(y, 4, true); break;
        case 4: part(y - 1911, 2, false); part(m, 2, false); part(d, 2, true); break;
        case 5: part(y - 1911, 3, false); part(m, 2, false); part(d, 2, true); break;
        default: part(y, 4, false); part(m, 2, false); part(d, 2, true); break;
    }
    return out;
}

// A separator that is itself a mask character stands escaped in a mask.
std::string MaskLiteral(const std::string& sep) {
    if (sep.size() == 1 && std::string("LlAaCc09#!<>\\_;").find(sep[0]) != std::string::npos) return "\\" + sep;
    return sep;
}

bool Digits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string DateSeparatorOf(const std::string& setting) {
    // A NUL first character writes nothing, as it did when dates were printed with "%s".
    if (setting.empty() || setting[0] == '\0') return {};
    std::string first = plat::Utf8Left(setting, 1);
    return first.empty() ? setting.substr(0, 1) : first;
}

bool NothingTyped(const std::string& text, const std::string& separator) {
    const std::string sep = Sep(separator);
    for (size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
        } else if (!sep.empty() && text.compare(i, sep.size(), sep) == 0) {
            i += sep.size();
        } else {
            return false;
        }
    }
    return true;
}

// ---- dates ----

namespace {

// The year, month and day of a stored "yyyymmdd" date and its date value;
// false when the text is no valid date.
bool ReadDbDate(const std::string& dbDate, int& y, int& m, int& d, double& value) {
    if (dbDate.size() != 8 || !Digits(dbDate)) return false;
    auto number = [&](size_t at, size_t width) {   // digits only, checked above
        int n = 0;
        for (size_t i = at; i < at + width; ++i) n = n * 10 + (dbDate[i] - '0');
        return n;
    };
    y = number(0, 4), m = number(4, 2), d = number(6, 2);
    value = 0;
    return y != 0 && m != 0 && d != 0 && vcl::TryEncodeDate(y, m, d, value) && value != 0;
}

}  // namespace

double DbDateToValue(const std::string& dbDate) {
    int y, m, d;
    double value;
    return ReadDbDate(dbDate, y, m, d, value) ? value : 0;
}

bool IsDbDate(const std::string& dbDate) { return DbDateToValue(dbDate) != 0; }

std::string DbDateToDisplay(int kind, const std::string& separator, double date) {
    if (date == 0) return {};
    int y, m, d;
    vcl::DecodeDate(date, y, m, d);
    return ShownDate(kind, separator, y, m, d);
}

// The parts are shown as read once the date is known to be valid: a list
// shows two dates per row, and the round trip through a date value costs
// more than the rest of the row's text.
std::string DbDateToDisplay(int kind, const std::string& separator, const std::string& dbDate) {
    int y, m, d;
    double value;
    if (!ReadDbDate(dbDate, y, m, d, value)) return {};
    return ShownDate(kind, separator, y, m, d);
}

std::string DisplayDateToDb(const std::string& text, int kind, const std::string& separator) {
    long long y, m, d;
    if (!TypedDate(text, kind, separator, y, m, d)) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4lld%.2lld%.2lld", y, m, d);
    return buf;
}

double DisplayDateToValue(const std::string& text, int kind, const std::string& separator) {
    long long y, m, d;
    if (!TypedDate(text, kind, separator, y, m, d)) return 0;
    double first = 0;
    if (y > 9999 || m > 12 || !vcl::TryEncodeDate(static_cast<int>(y), static_cast<int>(m), 1, first)) return 0;
    return first + static_cast<double>(d - 1);
}

// ---- conditions ----

std::optional<std::string> ConditionDate(const std::string& text, int kind, const std::string& separator) {
    if (NothingTyped(text, separator)) return std::string();
    std::string stored = DisplayDateToDb(text, kind, separator);
    if (!IsDbDate(stored) || stored < "17530101" || stored > "99991231") return std::nullopt;
    return stored;
}

std::optional<std::string> ConditionYearMonth(const std::string& text, int kind, const std::string& separator) {
    if (NothingTyped(text, separator)) return std::string();
    std::vector<std::string> parts = TypedParts(text, separator, YMWidths(kind));
    const bool monthFirst = Kind(kind) == 2 || Kind(kind) == 3;
    long long y, m;
    if (parts.size() != 2 || !ParseInt(parts[monthFirst ? 1 : 0], y) || !ParseInt(parts[monthFirst ? 0 : 1], m))
        return std::nullopt;
    if (Kind(kind) >= 4) y += 1911;
    if (y <= 0 || y > 9999 || m < 1 || m > 12) return std::nullopt;
    return Printf("%.4lld", y) + Printf("%.2lld", m);
}

// ---- masks ----

std::string YearMaskPart(int kind) {
    if (kind == 4 || kind == 5) return "999";
    return "9999";
}

std::string DateEditMask(int kind, const std::string& separator) {
    std::string s = MaskLiteral(Sep(separator)), year = YearMaskPart(kind);
    if (kind == 2 || kind == 3) return "99" + s + "99" + s + year + ";1; ";
    return year + s + "99" + s + "99" + ";1; ";
}

std::string BlankDateText(int kind, const std::string& separator) {
    std::string s = Sep(separator), year(YearMaskPart(kind).size(), ' ');
    if (kind == 2 || kind == 3) return "  " + s + "  " + s + year;
    return year + s + "  " + s + "  ";
}

std::string YMEditMask(int kind, const std::string& separator) {
    std::string s = MaskLiteral(Sep(separator)), year = YearMaskPart(kind);
    if (kind == 2 || kind == 3) return "99" + s + year + ";1; ";
    return year + s + "99" + ";1; ";
}

std::string MDEditMask(const std::string& separator) { return "99" + MaskLiteral(Sep(separator)) + "99" + ";1; "; }

std::string YearEditMask(int kind) { return YearMaskPart(kind) + ";1; "; }

// ---- year-month ----

std::string YMToDisplay(int kind, const std::string& separator, const std::string& stored) {
    if (kind <= 0) return {};
    std::string yearPart = plat::Trim(stored.substr(0, std::min<size_t>(4, stored.size())));
    std::string monthPart = stored.size() > 4 ? plat::Trim(stored.substr(4, 2)) : std::string();
    long long y, m;
    if (!ParseInt(yearPart, y) || !ParseInt(monthPart, m) || y == 0 || m == 0) return {};
    std::string s = Sep(separator), mm = Printf("%.2lld", m);
    switch (Kind(kind)) {
        case 2: case 3: return mm + s + Printf("%.4lld", y);
        case 4: return std::to_string(y - 1911) + s + mm;
        case 5: return Printf("%.3lld", y - 1911) + s + mm;
        default: return Printf("%.4lld", y) + s + mm;
    }
}

std::string YMFromDisplay(int kind, const std::string& separator, const std::string& text) {
    std::vector<std::string> parts = TypedParts(text, separator, YMWidths(kind));
    if (parts.size() != 2) return {};
    std::string first = plat::Trim(parts[0]), second = plat::Trim(parts[1]);
    std::string yearText = kind == 2 || kind == 3 ? second : first;
    std::string monthText = kind == 2 || kind == 3 ? first : second;
    long long y, m;
    auto empty = [](const std::string& p) { return p.empty() || p == "0" || p < "0"; };
    if (empty(yearText) || empty(monthText) || !ParseInt(yearText, y) || !ParseInt(monthText, m)) return {};
    if (kind == 4 || kind == 5) y += 1911;
    return Printf("%.4lld", y) + Printf("%.2lld", m);
}

bool YMValid(const std::string& stored) {
    std::string t = plat::Trim(stored);
    if (t.empty()) return true;
    if (t.size() < 6) return false;
    long long m;
    return ParseInt(t.substr(4, 2), m) && m >= 1 && m <= 12;
}

// ---- month-day ----

std::string MDToDisplay(int kind, const std::string& separator, const std::string& stored) {
    if (plat::Trim(stored).empty()) return {};
    std::string mm = stored.substr(0, std::min<size_t>(2, stored.size()));
    std::string dd = stored.size() > 2 ? stored.substr(2, 2) : std::string();
    std::string s = Sep(separator);
    return kind == 3 ? dd + s + mm : mm + s + dd;
}

std::string MDFromDisplay(int kind, const std::string& separator, const std::string& text) {
    if (NothingTyped(text, separator)) return {};
    std::vector<std::string> parts = TypedParts(text, separator, {2, 2});
    std::string first = parts.size() > 0 ? plat::Trim(parts[0]) : "", second = parts.size() > 1 ? plat::Trim(parts[1]) : "";
    std::string month = kind == 3 ? second : first, day = kind == 3 ? first : second;
    auto pad = [](std::string p) {
        while (p.size() < 2) p.insert(0, "0");
        return p;
    };
    return pad(month) + pad(day);
}

bool MDValid(int year, const std::string& stored) {
    std::string t = plat::Trim(stored);
    if (t.empty()) return true;
    return IsDbDate(Printf("%.4lld", year) + t);
}

// ---- year ----

std::string YearToDisplay(int kind, const std::string& stored) {
    long long y;
    if (!ParseInt(stored, y)) return {};
    if (kind == 4) return std::to_string(y - 1911);
    if (kind == 5) return Printf("%.3lld", y - 1911);
    return Printf("%.4lld", y);
}

std::string YearFromDisplay(int kind, const std::string& text) {
    long long y;
    if (!ParseInt(text, y)) return {};
    if (kind == 4 || kind == 5) y += 1911;
    return Printf("%.4lld", y);
}

// ---- time ----

std::string TimeToDisplay(const std::string& stored) {
    if (plat::Trim(stored).empty()) return {};
    if (stored.size() < 2) return stored;
    return stored.substr(0, 2) + ":" + stored.substr(2);
}

std::string TimeFromDisplay(const std::string& text) {
    if (NothingTyped(text, ":")) return {};
    std::vector<std::string> parts = SplitParts(text, ":", {});
    std::string h = parts.size() > 0 ? plat::Trim(parts[0]) : "", m = parts.size() > 1 ? plat::Trim(parts[1]) : "";
    while (h.size() < 2) h.insert(0, "0");
    while (m.size() < 2) m.insert(0, "0");
    return h + m;
}

bool TimeValid(const std::string& stored) {
    std::string t = plat::Trim(stored);
    if (t.empty()) return true;
    if (t.size() != 4 || !Digits(t)) return false;
    int h = std::stoi(t.substr(0, 2)), m = std::stoi(t.substr(2, 2));
    return h <= 23 && m <= 59;
}

// ---- seconds ----

std::string SecondsToDisplay(int64_t seconds) {
    long long h = seconds / 3600, m = seconds % 3600 / 60, s = seconds % 60;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4lld:%.2lld:%.2lld", h, m, s);
    return buf;
}

bool SecondsFromDisplay(const std::string& text, int64_t& seconds) {
    if (plat::Trim(text) == "0") {
        seconds = 0;
        return true;
    }
    std::vector<std::string> parts = SplitParts(text, ":", {});
    if (parts.size() != 3) return false;
    std::string p[3];
    const size_t widths[3] = {4, 2, 2};
    long long v[3];
    for (int i = 0; i < 3; ++i) {
        p[i] = plat::Trim(parts[static_cast<size_t>(i)]);
        while (p[i].size() < widths[i]) p[i].insert(0, "0");
        if (!ParseInt(p[i], v[i])) return false;
    }
    std::string joined = p[0] + ":" + p[1] + ":" + p[2];
    if (joined.size() != 10 || v[1] >= 60 || v[2] >= 60 || v[0] < 0 || v[1] < 0 || v[2] < 0) return false;
    seconds = v[0] * 3600 + v[1] * 60 + v[2];
    return true;
}

// ---- day and month ----

std::string TwoDigitsFromDisplay(const std::string& text) {
    std::string t = plat::Trim(text);
    if (t.empty()) return {};
    while (t.size() < 2) t.insert(0, "0");
    return t;
}

bool DayValid(const std::string& stored) {
    std::string t = plat::Trim(stored);
    long long d;
    return t.empty() || (ParseInt(t, d) && d >= 1 && d <= 31);
}

bool MonthValid(const std::string& stored) {
    std::string t = plat::Trim(stored);
    long long m;
    return t.empty() || (ParseInt(t, m) && m >= 1 && m <= 12);
}

// ---- percent ----

std::string PercentToDisplay(double fraction) { return plat::FixedPoint(fraction * 100, 2) + "%"; }

double PercentFromDisplay(const std::string& text) {
    std::string t = text.substr(0, text.find('%'));
    std::string number;
    for (char c : t)
        if (c != ' ') number += c;
    if (number.empty()) return 0;
    size_t used = 0;
    try {
        double v = std::stod(number, &used);
        if (used != number.size() || !std::isfinite(v)) return 0;
        return v / 100;
    } catch (const std::exception&) {
        return 0;
    }
}

// ---- numbers ----

std::string NumberFieldDisplayFormat(int decimals) {
    if (decimals <= 0) return "#,##0.#######";
    return "#,##0." + std::string(static_cast<size_t>(std::min(decimals, 11)), '0');
}

// ---- date-time ----

namespace {

std::string TimeOfDay(int h, int n, int s, int ms) {
    char buf[48];
    std::snprintf(buf, sizeof buf, " %.2d:%.2d:%.2d:%.3d", h, n, s, ms);
    return buf;
}

}  // namespace

std::string DateTimeToDisplay(int kind, const std::string& separator, double value) {
    if (value == 0) return {};
    int y, m, d, h, n, s, ms;
    vcl::DecodeDate(value, y, m, d);
    vcl::DecodeTime(value, h, n, s, ms);
    return ShownDate(kind, separator, y, m, d) + TimeOfDay(h, n, s, ms);
}

std::string DateTimeTextToDisplay(int kind, const std::string& separator, const std::string& stored) {
    std::string t = plat::Trim(stored);
    if (t.size() < 8 || !IsDbDate(t.substr(0, 8))) return {};
    auto part = [&](size_t at, size_t width) {
        std::string p = at < t.size() ? t.substr(at, width) : std::string();
        return Digits(p) ? std::stoi(p) : 0;
    };
    return DbDateToDisplay(kind, separator, t.substr(0, 8)) + TimeOfDay(part(8, 2), part(10, 2), part(12, 2), part(14, 3));
}

}  // namespace fieldfmt
