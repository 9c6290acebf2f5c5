// Building and reading the field descriptions of data packets.
#include "DataPacket.h"

namespace plat::packet {

Variant DescribeFields(const std::vector<FieldDesc>& fields) {
    std::vector<Variant> out;
    out.reserve(fields.size());
    for (const FieldDesc& f : fields)
        out.push_back(VarArrayOf({f.Name, int32_t(f.Type), int32_t(f.Size), f.Required,
                                  f.Nested.empty() && f.Type != ftDataSet ? Variant() : DescribeFields(f.Nested),
                                  f.Key}));
    if (out.empty()) return Variant(VarArray(0, -1));
    return VarArrayOf(std::move(out));
}

std::vector<FieldDesc> ReadFields(const Variant& descriptions) {
    std::vector<FieldDesc> fields;
    if (!descriptions.IsArray()) throw Exception("Data packet without field descriptions");
    const VarArray& list = descriptions.Array();
    for (int i = list.LowBound(); i <= list.HighBound(); ++i) {
        const Variant& d = list.At(i);
        if (!d.IsArray() || d.Array().Count() < 4) throw Exception("Malformed field description in data packet");
        FieldDesc f;
        f.Name = d[0].ToString();
        f.Type = d[1].ToInt();
        f.Size = d[2].ToInt();
        f.Required = d[3].ToBool();
        if (d.Array().Count() > 4 && d[4].IsArray()) f.Nested = ReadFields(d[4]);
        if (d.Array().Count() > 5) f.Key = !d[5].IsEmptyOrNull() && d[5].ToBool();
        fields.push_back(std::move(f));
    }
    return fields;
}

Variant MakeDataPacket(const std::vector<FieldDesc>& fields, const Variant& rows, const std::string& table) {
    return VarArrayOf({DescribeFields(fields), rows.IsArray() ? rows : Variant(VarArray(0, -1)), table});
}

std::string TextAt(const Variant& array, int i) {
    if (!array.IsArray() || i < array.Array().LowBound() || i > array.Array().HighBound()) return {};
    const Variant& v = array[i];
    return v.IsString() ? v.ToString() : std::string();
}

}  // namespace plat::packet
