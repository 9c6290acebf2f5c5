// Variant with OLE automation semantics: the value type that crosses every
// host boundary (start-up parameters, server answers, automation arguments).
// Arrays are values: copying a Variant copies its array (shared until written).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "Exceptions.h"

namespace plat {

class IDispatch;
class VarArray;
using DispatchRef = std::shared_ptr<IDispatch>;

// Variant type codes, numbered as OLE numbers them.
enum class VarType : uint16_t {
    Empty = 0,
    Null = 1,
    SmallInt = 2,   // 16-bit
    Integer = 3,    // 32-bit
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Dispatch = 9,
    Boolean = 11,
    ShortInt = 16,  // 8-bit signed
    Byte = 17,      // 8-bit unsigned
    Int64 = 20,
    Array = 0x2000, // array of variants
};

const char* VarTypeName(VarType type);

class Variant {
public:
    Variant() = default;                       // Empty (Unassigned)
    Variant(int8_t v);
    Variant(uint8_t v);
    Variant(int16_t v);
    Variant(int32_t v);
    Variant(int64_t v);
    Variant(bool v);
    Variant(double v);
    Variant(const char* v);
    Variant(std::string v);
    Variant(DispatchRef v);
    Variant(VarArray array);

    static Variant Null();
    static Variant FromDate(double oleDate);

    VarType Type() const {
        static constexpr VarType kTypes[] = {VarType::Empty,    VarType::Null,     VarType::ShortInt, VarType::Byte,
                                             VarType::SmallInt, VarType::Integer,  VarType::Int64,    VarType::Boolean,
                                             VarType::Double,   VarType::Date,     VarType::String,   VarType::Dispatch,
                                             VarType::Array};
        return kTypes[value_.index()];
    }
    bool IsEmpty() const { return Type() == VarType::Empty; }
    bool IsNull() const { return Type() == VarType::Null; }
    bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
    bool IsArray() const { return Type() == VarType::Array; }
    bool IsDispatch() const { return Type() == VarType::Dispatch; }
    bool IsNumeric() const;
    bool IsString() const { return Type() == VarType::String; }

    // Conversions as the automation runtime performs them. Empty reads as
    // 0 / "" / false; Null and arrays raise EVariantError, as does text that
    // is not a number.
    std::string ToString() const;
    // The text of a String variant, read in place; nullptr for every other type.
    const std::string* StringIf() const { return std::get_if<std::string>(&value_); }
    int32_t ToInt() const;
    int64_t ToInt64() const;
    double ToDouble() const;
    bool ToBool() const;
    DispatchRef ToDispatch() const;     // nullptr unless Dispatch

    // Array access; raise EVariantError when this is not an array.
    const VarArray& Array() const;
    VarArray& Array();                  // detaches a shared array first
    const Variant& operator[](int index) const;
    Variant& operator[](int index);

    // Loose equality as the runtime compares variants: numbers by value,
    // texts by content, Empty equal to Empty; arrays and dispatch by identity.
    bool operator==(const Variant& other) const;
    bool operator!=(const Variant& other) const { return !(*this == other); }

private:
    struct NullTag { bool operator==(const NullTag&) const { return true; } };
    struct DateVal {
        double value;
        bool operator==(const DateVal& o) const { return value == o.value; }
    };
    using Storage = std::variant<std::monostate, NullTag, int8_t, uint8_t, int16_t, int32_t, int64_t,
                                 bool, double, DateVal, std::string, DispatchRef, std::shared_ptr<VarArray>>;
    Storage value_;
};

// A variant array of one or two dimensions with explicit bounds.
// Element (i, j) of a two-dimensional array; the last dimension can grow
// (Redim) without disturbing the elements already stored.
class VarArray {
public:
    VarArray(int low, int high);                              // one dimension
    VarArray(int low0, int high0, int low1, int high1);       // two dimensions

    int DimCount() const { return dims_; }
    int LowBound(int dim = 1) const;   // dims are numbered from 1, as VarArrayLowBound does
    int HighBound(int dim = 1) const;
    int Count(int dim = 1) const { return HighBound(dim) - LowBound(dim) + 1; }

    Variant& At(int i) { return items_[Offset(i)]; }
    const Variant& At(int i) const { return items_[Offset(i)]; }
    Variant& At(int i, int j);
    const Variant& At(int i, int j) const;

    // Changes the high bound of the last dimension (VarArrayRedim).
    void Redim(int highBound);

    // Builds a 0-based one-dimensional array of the given values.
    static VarArray Of(std::vector<Variant> values);

private:
    size_t Offset(int i) const {
        if (dims_ == 1 && i >= low_[0] && i < low_[0] + count_[0]) return static_cast<size_t>(i - low_[0]);
        BadIndex(i);
    }
    size_t Offset(int i, int j) const;
    [[noreturn]] void BadIndex(int i) const;

    // Bounds live in the array itself: a row of a server answer is one
    // allocation for its elements, none for its shape.
    int dims_;                       // 1 or 2
    std::array<int, 2> low_{};       // low bound per dimension
    std::array<int, 2> count_{};     // element count per dimension
    std::vector<Variant> items_;
};

// VarArrayOf: a 0-based one-dimensional variant array as a Variant.
Variant VarArrayOf(std::vector<Variant> values);

// The runtime's tests on variants.
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
int VarArrayHighBound(const Variant& v, int dim = 1);
int VarArrayLowBound(const Variant& v, int dim = 1);

// A value as text the way listings and host answers are read: Empty, Null,
// arrays and objects read as "", everything else as ToString does.
std::string VarToStr(const Variant& v);

// A non-empty, non-null array: the test every caller of a listing makes.
bool HasRows(const Variant& v);

// Number to text as the platform writes it: general form with up to 15
// significant digits, no grouping, no trailing zeros ("100", "12.5", "1E20").
std::string FloatToStr(double value);

}  // namespace plat
