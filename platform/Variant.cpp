// Variant conversions, comparison and variant arrays. Conversions follow the
// automation runtime: Empty reads as zero or empty text, Null refuses to
// convert, text converts to numbers only when it is a number.
#include "Variant.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Dispatch.h"
#include "StrUtils.h"

namespace plat {

namespace {

[[noreturn]] void CannotConvert(VarType from, const char* to) {
    throw EVariantError(std::string("Could not convert variant of type (") + VarTypeName(from) +
                        ") into type (" + to + ")");
}

// Parses a whole text as a number; false when any character is left over.
bool ParseNumber(const std::string& text, double& out) {
    std::string t = TrimBlanks(text);
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(t.c_str(), &end);
    return end && *end == '\0' && errno != ERANGE && std::isfinite(out);
}

std::string DateToText(double oleDate) {
    // OLE dates count days from 1899-12-30; the fraction is the time of day.
    double days = std::floor(oleDate);
    long long jdn = static_cast<long long>(days) + 2415019;  // Julian day number of the date
    long long a = jdn + 32044, b = (4 * a + 3) / 146097, c = a - 146097 * b / 4;
    long long d = (4 * c + 3) / 1461, e = c - 1461 * d / 4, m = (5 * e + 2) / 153;
    int day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    int month = static_cast<int>(m + 3 - 12 * (m / 10));
    int year = static_cast<int>(100 * b + d - 4800 + m / 10);
    char buf[48];
    int seconds = static_cast<int>(std::lround((oleDate - days) * 86400.0));
    if (seconds == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    return buf;
}

}  // namespace

const char* VarTypeName(VarType type) {
    switch (type) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::SmallInt: return "SmallInt";
    case VarType::Integer: return "Integer";
    case VarType::Double: return "Double";
    case VarType::Currency: return "Currency";
    case VarType::Date: return "Date";
    case VarType::String: return "String";
    case VarType::Dispatch: return "Dispatch";
    case VarType::Boolean: return "Boolean";
    case VarType::ShortInt: return "ShortInt";
    case VarType::Byte: return "Byte";
    case VarType::Int64: return "Int64";
    case VarType::Array: return "Array";
    }
    return "Unknown";
}

std::string FloatToStr(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string text(buf);
    size_t e = text.find('e');
    if (e == std::string::npos) return text;
    // Scientific form as the platform writes it: "1.5E20", "1E-5".
    std::string mantissa = text.substr(0, e);
    int exponent = std::atoi(text.c_str() + e + 1);
    return mantissa + "E" + std::to_string(exponent);
}

Variant::Variant(int8_t v) : value_(v) {}
Variant::Variant(uint8_t v) : value_(v) {}
Variant::Variant(int16_t v) : value_(v) {}
Variant::Variant(int32_t v) : value_(v) {}
Variant::Variant(int64_t v) : value_(v) {}
Variant::Variant(bool v) : value_(v) {}
Variant::Variant(double v) : value_(v) {}
Variant::Variant(const char* v) : value_(std::string(v ? v : "")) {}
Variant::Variant(std::string v) : value_(std::move(v)) {}
Variant::Variant(DispatchRef v) {
    if (v) value_ = std::move(v);
}
Variant::Variant(VarArray array) : value_(std::make_shared<VarArray>(std::move(array))) {}

Variant Variant::Null() {
    Variant v;
    v.value_ = NullTag{};
    return v;
}

Variant Variant::FromDate(double oleDate) {
    Variant v;
    v.value_ = DateVal{oleDate};
    return v;
}

bool Variant::IsNumeric() const {
    switch (Type()) {
    case VarType::SmallInt: case VarType::Integer: case VarType::Double: case VarType::Currency:
    case VarType::ShortInt: case VarType::Byte: case VarType::Int64: case VarType::Boolean:
        return true;
    default:
        return false;
    }
}

std::string Variant::ToString() const {
    return std::visit(
        [this](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) return {};
            else if constexpr (std::is_same_v<T, NullTag>) CannotConvert(VarType::Null, "String");
            else if constexpr (std::is_same_v<T, bool>) return v ? "True" : "False";
            else if constexpr (std::is_same_v<T, double>) return FloatToStr(v);
            else if constexpr (std::is_same_v<T, DateVal>) return DateToText(v.value);
            else if constexpr (std::is_same_v<T, std::string>) return v;
            else if constexpr (std::is_same_v<T, DispatchRef> || std::is_same_v<T, std::shared_ptr<VarArray>>)
                CannotConvert(Type(), "String");
            else return std::to_string(static_cast<long long>(v));
        },
        value_);
}

double Variant::ToDouble() const {
    return std::visit(
        [this](const auto& v) -> double {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) return 0;
            else if constexpr (std::is_same_v<T, bool>) return v ? -1 : 0;  // OLE true is -1
            else if constexpr (std::is_same_v<T, DateVal>) return v.value;
            else if constexpr (std::is_same_v<T, std::string>) {
                double d;
                if (!ParseNumber(v, d)) CannotConvert(VarType::String, "Double");
                return d;
            } else if constexpr (std::is_same_v<T, NullTag> || std::is_same_v<T, DispatchRef> ||
                                 std::is_same_v<T, std::shared_ptr<VarArray>>)
                CannotConvert(Type(), "Double");
            else return static_cast<double>(v);
        },
        value_);
}

int64_t Variant::ToInt64() const {
    if (auto n = std::get_if<int64_t>(&value_)) return *n;   // exact, also at the limits a double cannot hold
    if (auto s = std::get_if<std::string>(&value_)) {
        std::string t = TrimBlanks(*s);
        char* end = nullptr;
        errno = 0;
        long long n = std::strtoll(t.c_str(), &end, 10);
        if (!t.empty() && end && *end == '\0' && errno != ERANGE) return n;
    }
    double d = ToDouble();
    if (!(d >= -9.2e18 && d <= 9.2e18)) CannotConvert(Type(), "Int64");
    return static_cast<int64_t>(std::nearbyint(d));  // the runtime rounds (banker's) to integers
}

int32_t Variant::ToInt() const {
    int64_t n = ToInt64();
    if (n < INT32_MIN || n > INT32_MAX) throw EVariantError("Overflow while converting variant of type (" +
                                                            std::string(VarTypeName(Type())) + ") into type (Integer)");
    return static_cast<int32_t>(n);
}

bool Variant::ToBool() const {
    if (auto b = std::get_if<bool>(&value_)) return *b;
    if (auto s = std::get_if<std::string>(&value_)) {
        std::string t = TrimBlanks(*s);
        if (strcasecmp(t.c_str(), "true") == 0) return true;
        if (strcasecmp(t.c_str(), "false") == 0) return false;
    }
    return ToDouble() != 0;
}

DispatchRef Variant::ToDispatch() const {
    if (auto d = std::get_if<DispatchRef>(&value_)) return *d;
    return nullptr;
}

const VarArray& Variant::Array() const {
    auto a = std::get_if<std::shared_ptr<VarArray>>(&value_);
    if (!a) throw EVariantError(std::string("Variant is not an array (") + VarTypeName(Type()) + ")");
    return **a;
}

VarArray& Variant::Array() {
    auto a = std::get_if<std::shared_ptr<VarArray>>(&value_);
    if (!a) throw EVariantError(std::string("Variant is not an array (") + VarTypeName(Type()) + ")");
    if (a->use_count() > 1) *a = std::make_shared<VarArray>(**a);  // copy on write keeps value semantics
    return **a;
}

const Variant& Variant::operator[](int index) const { return Array().At(index); }
Variant& Variant::operator[](int index) { return Array().At(index); }

bool Variant::operator==(const Variant& other) const {
    VarType a = Type(), b = other.Type();
    if (a == VarType::Empty || b == VarType::Empty) {
        if (a == b) return true;
        // Empty compares as 0 with numbers and as "" with texts.
        const Variant& o = a == VarType::Empty ? other : *this;
        if (o.IsString()) return o.ToString().empty();
        if (o.IsNumeric()) return o.ToDouble() == 0;
        return false;
    }
    if (a == VarType::Null || b == VarType::Null) return a == b;
    if (a == VarType::Array || b == VarType::Array || a == VarType::Dispatch || b == VarType::Dispatch)
        return value_ == other.value_;
    if (a == VarType::String && b == VarType::String) return ToString() == other.ToString();
    if (a == VarType::String || b == VarType::String) {
        double x, y;
        const Variant& s = a == VarType::String ? *this : other;
        const Variant& n = a == VarType::String ? other : *this;
        if (!ParseNumber(s.ToString(), x)) return false;
        y = n.ToDouble();
        return x == y;
    }
    return ToDouble() == other.ToDouble();
}

// ---- VarArray ----

VarArray::VarArray(int low, int high) : dims_(1), low_{low, 0}, count_{std::max(0, high - low + 1), 0} {
    items_.resize(static_cast<size_t>(count_[0]));
}

VarArray::VarArray(int low0, int high0, int low1, int high1)
    : dims_(2), low_{low0, low1}, count_{std::max(0, high0 - low0 + 1), std::max(0, high1 - low1 + 1)} {
    items_.resize(static_cast<size_t>(count_[0]) * static_cast<size_t>(count_[1]));
}

int VarArray::LowBound(int dim) const {
    if (dim < 1 || dim > DimCount()) throw EVariantError("Variant array bounds error: no dimension " + std::to_string(dim));
    return low_[static_cast<size_t>(dim - 1)];
}

int VarArray::HighBound(int dim) const {
    return LowBound(dim) + count_[static_cast<size_t>(dim - 1)] - 1;
}

void VarArray::BadIndex(int i) const {
    if (DimCount() != 1) throw EVariantError("Variant array has " + std::to_string(DimCount()) + " dimensions, indexed with 1");
    throw EVariantError("Variant array index out of bounds: " + std::to_string(i));
}

size_t VarArray::Offset(int i, int j) const {
    if (DimCount() != 2) throw EVariantError("Variant array has " + std::to_string(DimCount()) + " dimensions, indexed with 2");
    if (i < low_[0] || i >= low_[0] + count_[0] || j < low_[1] || j >= low_[1] + count_[1])
        throw EVariantError("Variant array index out of bounds: " + std::to_string(i) + "," + std::to_string(j));
    // The first dimension varies fastest, so growing the last one keeps every element in place.
    return static_cast<size_t>(i - low_[0]) + static_cast<size_t>(count_[0]) * static_cast<size_t>(j - low_[1]);
}

Variant& VarArray::At(int i, int j) { return items_[Offset(i, j)]; }
const Variant& VarArray::At(int i, int j) const { return items_[Offset(i, j)]; }

void VarArray::Redim(int highBound) {
    size_t last = static_cast<size_t>(dims_ - 1);
    int count = highBound - low_[last] + 1;
    if (count < 0) throw EVariantError("Variant array bounds error: high bound below low bound");
    count_[last] = count;
    size_t total = 1;
    for (int d = 0; d < dims_; ++d) total *= static_cast<size_t>(count_[static_cast<size_t>(d)]);
    items_.resize(total);
}

// The values become the elements as they are (no elements are made first
// and replaced: every row of a server answer comes this way).
VarArray VarArray::Of(std::vector<Variant> values) {
    VarArray a(0, -1);
    a.count_[0] = static_cast<int>(values.size());
    a.items_ = std::move(values);
    return a;
}

Variant VarArrayOf(std::vector<Variant> values) { return Variant(VarArray::Of(std::move(values))); }

int VarArrayHighBound(const Variant& v, int dim) { return v.Array().HighBound(dim); }
int VarArrayLowBound(const Variant& v, int dim) { return v.Array().LowBound(dim); }

std::string VarToStr(const Variant& v) {
    if (v.IsEmptyOrNull() || v.IsArray() || v.IsDispatch()) return {};
    return v.ToString();
}

bool HasRows(const Variant& v) { return v.IsArray() && v.Array().DimCount() >= 1 && v.Array().Count(1) > 0; }

}  // namespace plat
