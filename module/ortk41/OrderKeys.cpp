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

void AppendValue(std::string& out, const plat::Variant& row, int n, int width) {
    const size_t start = out.size();
    const plat::VarArray* values = row.IsArray() && row.Array().DimCount() == 1 ? &row.Array() : nullptr;
    if (values && n >= values->LowBound() && n <= values->HighBound()) {
        const plat::Variant& value = values->At(n);
        if (const std::string* text = value.StringIf()) out += *text;
        else out += plat::VarToStr(value);
    }
    if (width <= 0) return;
    size_t length = 0;
    for (size_t i = start; i < out.size(); ++i)
        if ((static_cast<unsigned char>(out[i]) & 0xC0) != 0x80) ++length;
    if (length < static_cast<size_t>(width)) out.append(static_cast<size_t>(width) - length, ' ');
}

}  // namespace ortk41
