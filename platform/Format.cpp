// Format over variants. Parsing a placeholder and finding its arguments are
// kept apart: a placeholder that does not parse takes nothing, one that
// parses takes its arguments whether or not they fit, and only a complete,
// fitting placeholder is replaced. Everything else is copied as written.
#include "Format.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

#include "Dispatch.h"
#include "StrUtils.h"

namespace plat {

namespace {

constexpr int kMaxWidth = 1024;
constexpr int kMaxFloatDigits = 18;
constexpr int64_t kSaturated = 1000000000;   // literal numbers stop growing here

// A number written in a placeholder: absent, literal digits or "*".
struct Operand {
    enum Kind { None, Literal, Star } kind = None;
    int64_t value = 0;
};

struct Placeholder {
    Operand index, width, precision;
    bool left = false;
    char type = 0;       // lower-case type letter
    size_t end = 0;      // first character after the placeholder (or where copying resumes)
};

// The placeholder's values once its "*" operands are resolved.
struct Layout {
    bool left = false;
    int width = 0;
    std::optional<int> precision;
};

// Walks the argument list; a position past the end answers nothing.
class ArgCursor {
public:
    explicit ArgCursor(const std::vector<Variant>& args) : args_(args) {}
    const Variant* Take() {
        if (next_ >= args_.size()) return nullptr;
        return &args_[next_++];
    }
    void Seek(int64_t index) { next_ = index < 0 ? args_.size() : static_cast<size_t>(index); }

private:
    const std::vector<Variant>& args_;
    size_t next_ = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Sprintf(const char* fmt, ...) {
    va_list ap, copy;
    va_start(ap, fmt);
    va_copy(copy, ap);
    int size = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, ap);
    va_end(ap);
    return out;
}

// ---- parsing ----

Operand ReadOperand(const std::string& fmt, size_t& pos) {
    Operand op;
    if (pos < fmt.size() && fmt[pos] == '*') {
        op.kind = Operand::Star;
        ++pos;
        return op;
    }
    while (pos < fmt.size() && IsDigit(fmt[pos])) {
        op.kind = Operand::Literal;
        op.value = std::min<int64_t>(op.value * 10 + (fmt[pos] - '0'), kSaturated);
        ++pos;
    }
    return op;
}

// Parses the placeholder whose "%" is at `start`. False when it is not well
// formed; p.end is then the character where copying resumes.
bool ParsePlaceholder(const std::string& fmt, size_t start, Placeholder& p) {
    size_t pos = start + 1;
    Operand first = ReadOperand(fmt, pos);
    if (first.kind != Operand::None && pos < fmt.size() && fmt[pos] == ':') {
        p.index = first;
        ++pos;
    } else {
        pos = start + 1;
    }
    if (pos < fmt.size() && fmt[pos] == '-') {
        p.left = true;
        ++pos;
    }
    p.width = ReadOperand(fmt, pos);
    if (pos < fmt.size() && fmt[pos] == '.') {
        ++pos;
        p.precision = ReadOperand(fmt, pos);
        if (p.precision.kind == Operand::None) p.precision = {Operand::Literal, 0};
    }
    p.end = pos;
    if (pos >= fmt.size()) return false;
    char type = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[pos])));
    if (!std::strchr("dusxefgnmp", type)) return false;
    p.type = type;
    p.end = pos + 1;
    return true;
}

// ---- argument conversion ----

std::optional<int64_t> IntegralDouble(double d) {
    if (!std::isfinite(d) || std::floor(d) != d || std::fabs(d) >= 9.2e18) return std::nullopt;
    return static_cast<int64_t>(d);
}

std::optional<int64_t> ParseInteger(const std::string& text) {
    const char* s = text.c_str();
    while (*s == ' ' || *s == '\t') ++s;
    if (!*s) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(s, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end && *end == '\0' && errno != ERANGE) return n;
    double d = std::strtod(s, &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end && *end == '\0') return IntegralDouble(d);
    return std::nullopt;
}

std::optional<double> ParseFloat(const std::string& text) {
    const char* s = text.c_str();
    while (*s == ' ' || *s == '\t') ++s;
    if (!*s) return std::nullopt;
    char* end = nullptr;
    double d = std::strtod(s, &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (!end || *end != '\0' || !std::isfinite(d)) return std::nullopt;
    return d;
}

std::optional<int64_t> AsInteger(const Variant& v) {
    switch (v.Type()) {
    case VarType::Empty: return 0;
    case VarType::SmallInt: case VarType::Integer: case VarType::ShortInt: case VarType::Byte: case VarType::Int64:
        return v.ToInt64();
    case VarType::Double: case VarType::Currency: case VarType::Date: return IntegralDouble(v.ToDouble());
    case VarType::String: return ParseInteger(v.ToString());
    default: return std::nullopt;   // Null, Boolean, objects, arrays
    }
}

std::optional<double> AsFloat(const Variant& v) {
    switch (v.Type()) {
    case VarType::Empty: return 0.0;
    case VarType::SmallInt: case VarType::Integer: case VarType::ShortInt: case VarType::Byte: case VarType::Int64:
    case VarType::Double: case VarType::Currency: case VarType::Date:
        return v.ToDouble();
    case VarType::String: return ParseFloat(v.ToString());
    default: return std::nullopt;
    }
}

std::optional<std::string> AsText(const Variant& v) {
    switch (v.Type()) {
    case VarType::Null: return std::string();
    case VarType::Dispatch: case VarType::Array: return std::nullopt;
    default: return v.ToString();
    }
}

// Negative values read as their two's complement, 32 bits wide when they fit.
uint64_t AsUnsigned(int64_t n) {
    if (n >= 0) return static_cast<uint64_t>(n);
    if (n >= std::numeric_limits<int32_t>::min()) return static_cast<uint32_t>(static_cast<int32_t>(n));
    return static_cast<uint64_t>(n);
}

// ---- rendering ----

std::string ZeroPad(std::string digits, std::optional<int> minDigits) {
    if (minDigits && static_cast<int>(digits.size()) < *minDigits)
        digits.insert(0, static_cast<size_t>(*minDigits) - digits.size(), '0');
    return digits;
}

std::string RenderDecimal(int64_t n, std::optional<int> precision) {
    uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    return (n < 0 ? "-" : "") + ZeroPad(std::to_string(magnitude), precision);
}

std::string NonFinite(double v) { return std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"); }

int FloatDigits(std::optional<int> precision, int fallback, int low) {
    int p = precision.value_or(fallback);
    return std::clamp(p, low, kMaxFloatDigits);
}

// "-d.dddE+ddd": `digits` significant digits, the exponent signed and at least three digits long.
std::string RenderExponent(double v, int digits) {
    if (!std::isfinite(v)) return NonFinite(v);
    std::string text = Sprintf("%.*E", digits - 1, v);
    size_t e = text.find('E');
    int exponent = std::atoi(text.c_str() + e + 1);
    return text.substr(0, e) + "E" + (exponent < 0 ? "-" : "+") + Sprintf("%03d", std::abs(exponent));
}

std::string StripTrailingZeros(std::string text) {
    if (text.find('.') == std::string::npos) return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

// Shortest form with up to `digits` significant digits; scientific for very
// small values and for values with more integer digits than `digits`.
std::string RenderGeneral(double v, int digits) {
    if (!std::isfinite(v)) return NonFinite(v);
    if (v == 0) return "0";
    std::string sci = Sprintf("%.*E", digits - 1, v);
    size_t e = sci.find('E');
    int exponent = std::atoi(sci.c_str() + e + 1);
    if (exponent >= digits || std::fabs(v) < 1e-5)
        return StripTrailingZeros(sci.substr(0, e)) + "E" + std::to_string(exponent);
    return StripTrailingZeros(Sprintf("%.*f", std::max(digits - 1 - exponent, 0), v));
}

std::string RenderFixed(double v, int decimals) { return FixedPoint(v, decimals); }

std::string GroupThousands(const std::string& fixed) {
    size_t begin = fixed[0] == '-' ? 1 : 0;
    size_t end = fixed.find('.');
    if (end == std::string::npos) end = fixed.size();
    std::string out = fixed.substr(0, begin);
    for (size_t i = begin; i < end; ++i) {
        if (i > begin && (end - i) % 3 == 0) out += ',';
        out += fixed[i];
    }
    return out + fixed.substr(end);
}

std::string RenderNumber(double v, int decimals) {
    if (!std::isfinite(v)) return NonFinite(v);
    return GroupThousands(RenderFixed(v, decimals));
}

std::string RenderMoney(double v, int decimals) {
    if (!std::isfinite(v)) return NonFinite(v);
    return "¥" + GroupThousands(RenderFixed(v, decimals));
}

std::optional<std::string> RenderPointer(const Variant& v) {
    if (DispatchRef object = v.ToDispatch())
        return Sprintf("%016llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(object.get())));
    std::optional<int64_t> n = AsInteger(v);
    if (!n) return std::nullopt;
    uint64_t u = AsUnsigned(*n);
    return Sprintf(u > 0xFFFFFFFFull ? "%016llX" : "%08llX", static_cast<unsigned long long>(u));
}

std::optional<std::string> RenderInteger(char type, const Variant& v, std::optional<int> precision) {
    std::optional<int64_t> n = AsInteger(v);
    if (!n) return std::nullopt;
    if (type == 'd') return RenderDecimal(*n, precision);
    if (type == 'u') return ZeroPad(std::to_string(AsUnsigned(*n)), precision);
    return ZeroPad(Sprintf("%llX", static_cast<unsigned long long>(AsUnsigned(*n))), precision);
}

std::optional<std::string> RenderFloat(char type, const Variant& v, std::optional<int> precision) {
    std::optional<double> d = AsFloat(v);
    if (!d) return std::nullopt;
    switch (type) {
    case 'e': return RenderExponent(*d, FloatDigits(precision, 15, 1));
    case 'g': return RenderGeneral(*d, FloatDigits(precision, 15, 1));
    case 'f': return RenderFixed(*d, FloatDigits(precision, 2, 0));
    case 'n': return RenderNumber(*d, FloatDigits(precision, 2, 0));
    default: return RenderMoney(*d, FloatDigits(precision, 2, 0));
    }
}

std::optional<std::string> RenderValue(char type, const Variant& v, std::optional<int> precision) {
    switch (type) {
    case 'd': case 'u': case 'x': return RenderInteger(type, v, precision);
    case 'e': case 'f': case 'g': case 'n': case 'm': return RenderFloat(type, v, precision);
    case 'p': return RenderPointer(v);
    default: {
        std::optional<std::string> text = AsText(v);
        if (text && precision) return Utf8Left(*text, static_cast<size_t>(*precision));
        return text;
    }
    }
}

std::string Justify(const std::string& text, const Layout& layout) {
    size_t length = Utf8Length(text);
    if (length >= static_cast<size_t>(layout.width)) return text;
    std::string blanks(static_cast<size_t>(layout.width) - length, ' ');
    return layout.left ? text + blanks : blanks + text;
}

// ---- arguments of a placeholder ----

std::optional<int64_t> StarValue(ArgCursor& cursor) {
    const Variant* v = cursor.Take();
    if (!v) return std::nullopt;
    std::optional<int64_t> n = AsInteger(*v);
    if (n) n = std::clamp<int64_t>(*n, -kSaturated, kSaturated);
    return n;
}

// Resolves index, width and precision, taking "*" operands from the
// arguments; false when a "*" has no usable argument.
bool ResolveLayout(const Placeholder& p, ArgCursor& cursor, Layout& layout) {
    bool ok = true;
    if (p.index.kind != Operand::None) {
        std::optional<int64_t> index = p.index.kind == Operand::Star ? StarValue(cursor) : p.index.value;
        ok = index.has_value();
        if (index) cursor.Seek(*index);
    }
    layout.left = p.left;
    if (p.width.kind != Operand::None) {
        std::optional<int64_t> width = p.width.kind == Operand::Star ? StarValue(cursor) : p.width.value;
        ok = ok && width.has_value();
        int64_t w = width.value_or(0);
        if (w < 0) layout.left = true;
        layout.width = static_cast<int>(std::min<int64_t>(w < 0 ? -w : w, kMaxWidth));
    }
    if (p.precision.kind != Operand::None) {
        std::optional<int64_t> precision = p.precision.kind == Operand::Star ? StarValue(cursor) : p.precision.value;
        ok = ok && precision.has_value();
        if (precision && *precision >= 0) layout.precision = static_cast<int>(std::min<int64_t>(*precision, kMaxWidth));
    }
    return ok;
}

std::optional<std::string> SubstituteOrRaise(const Placeholder& p, ArgCursor& cursor) {
    Layout layout;
    bool ok = ResolveLayout(p, cursor, layout);
    const Variant* value = cursor.Take();
    if (!ok || !value) return std::nullopt;
    std::optional<std::string> text = RenderValue(p.type, *value, layout.precision);
    if (!text) return std::nullopt;
    return Justify(*text, layout);
}

// A conversion that raises counts as an argument that does not fit, so that
// no argument can make Format raise.
std::optional<std::string> Substitute(const Placeholder& p, ArgCursor& cursor) {
    try {
        return SubstituteOrRaise(p, cursor);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::string FixedPoint(double value, int decimals) {
    if (!std::isfinite(value)) return NonFinite(value);
    decimals = std::clamp(decimals, 0, kMaxFloatDigits);
    // 15 significant digits d0.d1...d14 times 10^exponent.
    std::string sci = Sprintf("%.14e", std::fabs(value));
    size_t e = sci.find('e');
    int exponent = std::atoi(sci.c_str() + e + 1);
    std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
    // Digits kept: those before the point and `decimals` after it.
    int keep = exponent + 1 + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int>(digits.size())) {
        bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        for (int i = keep - 1; up && i >= 0; --i) {
            char& c = digits[static_cast<size_t>(i)];
            up = c == '9';
            c = up ? '0' : static_cast<char>(c + 1);
        }
        if (up) {
            digits.insert(0, "1");
            ++exponent;
        }
    }
    // Lay the digits out around the point: digit i stands for 10^(exponent - i).
    std::string whole, fraction;
    for (int power = std::max(exponent, 0); power >= -decimals; --power) {
        int i = exponent - power;
        char c = i >= 0 && i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
        (power >= 0 ? whole : fraction) += c;
    }
    bool zero = (whole + fraction).find_first_not_of('0') == std::string::npos;
    std::string text = (value < 0 && !zero ? "-" : "") + whole;
    return decimals > 0 ? text + "." + fraction : text;
}

std::string Format(const std::string& fmt, const std::vector<Variant>& args) {
    std::string out;
    ArgCursor cursor(args);
    size_t i = 0;
    while (i < fmt.size()) {
        size_t percent = fmt.find('%', i);
        if (percent == std::string::npos) {
            out.append(fmt, i, std::string::npos);
            break;
        }
        out.append(fmt, i, percent - i);
        if (fmt.compare(percent, 2, "%%") == 0) {
            out += '%';
            i = percent + 2;
            continue;
        }
        Placeholder p;
        std::optional<std::string> text;
        if (ParsePlaceholder(fmt, percent, p)) text = Substitute(p, cursor);
        out += text ? *text : fmt.substr(percent, p.end - percent);
        i = p.end;
    }
    return out;
}

}  // namespace plat
