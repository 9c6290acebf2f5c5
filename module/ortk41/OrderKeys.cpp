// Key texts of documents and document lines.
#include "OrderKeys.h"

#include "StrUtils.h"

namespace ortk41 {

std::string DocumentKey(const std::string& type, const std::string& number) {
    return plat::PadRight(type, 4) + "-" + plat::PadRight(number, 11);
}

std::string RowKey(const std::string& type, const std::string& number, const std::string& sequence) {
    return DocumentKey(type, number) + "-" + sequence;
}

std::string RowKey(const plat::Variant& row) { return RowKey(Value(row, 0), Value(row, 1), Value(row, 2)); }

std::string Value(const plat::Variant& row, int n) {
    if (!row.IsArray() || row.Array().DimCount() != 1) return {};
    const plat::VarArray& values = row.Array();
    if (n < values.LowBound() || n > values.HighBound()) return {};
    return plat::VarToStr(values.At(n));
}

}  // namespace ortk41
