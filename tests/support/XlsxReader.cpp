// A minimal zip reader (stored and deflated entries, through the central
// directory) and the parts of SpreadsheetML that tests look at.
#include "XlsxReader.h"

#include "StrUtils.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <pugixml.hpp>

namespace ortktest {

namespace {

struct ZipEntry {
    std::string Name;
    uint16_t Method = 0;
    uint32_t CompressedSize = 0;
    uint32_t Size = 0;
    uint32_t LocalOffset = 0;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U16(const std::string& b, size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("zip: truncated");
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8;
}
uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

std::vector<ZipEntry> Directory(const std::string& zip) {
    if (zip.size() < 22) throw std::runtime_error("zip: too short");
    size_t end = std::string::npos;
    for (size_t at = zip.size() - 22 + 1; at-- > 0 && zip.size() - at <= 22 + 65535;)
        if (U32(zip, at) == 0x06054b50) { end = at; break; }
    if (end == std::string::npos) throw std::runtime_error("zip: no end of central directory");
    uint32_t count = U16(zip, end + 10);
    size_t at = U32(zip, end + 16);
    std::vector<ZipEntry> entries;
    for (uint32_t i = 0; i < count; ++i) {
        if (U32(zip, at) != 0x02014b50) throw std::runtime_error("zip: bad central directory entry");
        ZipEntry e;
        e.Method = static_cast<uint16_t>(U16(zip, at + 10));
        e.CompressedSize = U32(zip, at + 20);
        e.Size = U32(zip, at + 24);
        uint32_t nameLength = U16(zip, at + 28), extra = U16(zip, at + 30), comment = U16(zip, at + 32);
        e.LocalOffset = U32(zip, at + 42);
        e.Name = zip.substr(at + 46, nameLength);
        entries.push_back(e);
        at += 46 + nameLength + extra + comment;
    }
    return entries;
}

std::string Extract(const std::string& zip, const ZipEntry& e) {
    size_t at = e.LocalOffset;
    if (U32(zip, at) != 0x04034b50) throw std::runtime_error("zip: bad local header of " + e.Name);
    size_t data = at + 30 + U16(zip, at + 26) + U16(zip, at + 28);
    if (data + e.CompressedSize > zip.size()) throw std::runtime_error("zip: truncated entry " + e.Name);
    if (e.Method == 0) return zip.substr(data, e.CompressedSize);
    if (e.Method != 8) throw std::runtime_error("zip: unsupported method in " + e.Name);
    std::string out(e.Size, '\0');
    z_stream s{};
    if (inflateInit2(&s, -MAX_WBITS) != Z_OK) throw std::runtime_error("zip: inflateInit failed");
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
    s.avail_in = e.CompressedSize;
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = e.Size;
    int rc = inflate(&s, Z_FINISH);
    inflateEnd(&s);
    if (rc != Z_STREAM_END || s.total_out != e.Size) throw std::runtime_error("zip: cannot inflate " + e.Name);
    return out;
}

pugi::xml_document Parse(const std::string& text, const std::string& what) {
    pugi::xml_document doc;
    pugi::xml_parse_result r = doc.load_buffer(text.data(), text.size());
    if (!r) throw std::runtime_error(what + ": " + r.description());
    return doc;
}

// Text of a shared string or inline string: its <t>, or its runs' <t>s.
std::string StringItem(const pugi::xml_node& item) {
    if (item.child("t")) return item.child("t").child_value();
    std::string text;
    for (pugi::xml_node run : item.children("r")) text += run.child("t").child_value();
    return text;
}

std::string BuiltInFormat(int id) {
    static const std::map<int, std::string> formats = {
        {0, "General"}, {1, "0"}, {2, "0.00"}, {3, "#,##0"}, {4, "#,##0.00"}, {9, "0%"}, {10, "0.00%"},
        {11, "0.00E+00"}, {12, "# ?/?"}, {13, "# ?" "?/?" "?"}, {14, "m/d/yy"}, {49, "@"}};
    auto it = formats.find(id);
    return it != formats.end() ? it->second : "builtin:" + std::to_string(id);
}

struct Styles {
    std::vector<std::pair<std::string, XlsxFont>> Xfs;   // number format and font per style index
};

Styles ReadStyles(const std::string& zipBytes, const std::vector<ZipEntry>& entries) {
    Styles styles;
    const ZipEntry* entry = nullptr;
    for (const ZipEntry& e : entries)
        if (e.Name == "xl/styles.xml") entry = &e;
    if (!entry) return styles;
    pugi::xml_document doc = Parse(Extract(zipBytes, *entry), "styles");
    pugi::xml_node root = doc.child("styleSheet");
    std::map<int, std::string> numFmts;
    for (pugi::xml_node f : root.child("numFmts").children("numFmt"))
        numFmts[f.attribute("numFmtId").as_int()] = f.attribute("formatCode").value();
    std::vector<XlsxFont> fonts;
    for (pugi::xml_node f : root.child("fonts").children("font")) {
        XlsxFont font;
        font.Name = f.child("name").attribute("val").value();
        font.Size = f.child("sz").attribute("val").as_double();
        font.Bold = f.child("b") && f.child("b").attribute("val").as_bool(true);
        font.Italic = f.child("i") && f.child("i").attribute("val").as_bool(true);
        font.Strike = f.child("strike") && f.child("strike").attribute("val").as_bool(true);
        if (f.child("u")) font.Underline = f.child("u").attribute("val") ? f.child("u").attribute("val").value() : "single";
        std::string rgb = f.child("color").attribute("rgb").value();
        font.Rgb = rgb.size() == 8 ? rgb.substr(2) : rgb;
        fonts.push_back(font);
    }
    for (pugi::xml_node xf : root.child("cellXfs").children("xf")) {
        int numFmt = xf.attribute("numFmtId").as_int();
        std::string code = numFmts.count(numFmt) ? numFmts[numFmt] : BuiltInFormat(numFmt);
        size_t font = xf.attribute("fontId").as_uint();
        styles.Xfs.emplace_back(code, font < fonts.size() ? fonts[font] : XlsxFont{});
    }
    return styles;
}

}  // namespace

std::pair<int, int> ParseCellReference(const std::string& reference) {
    int column = 0;
    size_t i = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) column = column * 26 + (reference[i] - 'A' + 1);
    if (i == 0 || i == reference.size()) throw std::runtime_error("bad cell reference " + reference);
    return {std::stoi(reference.substr(i)), column};
}

const XlsxCell* XlsxSheet::At(int row, int column) const {
    auto it = Cells.find({row, column});
    return it == Cells.end() ? nullptr : &it->second;
}

std::string XlsxSheet::TextAt(int row, int column) const {
    const XlsxCell* c = At(row, column);
    return c && c->Type == XlsxCell::Kind::Text ? c->Text : std::string();
}

std::vector<std::string> ZipEntryNames(const std::string& path) {
    std::vector<std::string> names;
    for (const ZipEntry& e : Directory(ReadFile(path))) names.push_back(e.Name);
    return names;
}

std::string ReadZipEntry(const std::string& path, const std::string& entry) {
    std::string zip = ReadFile(path);
    for (const ZipEntry& e : Directory(zip))
        if (e.Name == entry) return Extract(zip, e);
    throw std::runtime_error("zip: no entry " + entry + " in " + path);
}

XlsxBook ReadXlsx(const std::string& path) {
    std::string zip = ReadFile(path);
    std::vector<ZipEntry> entries = Directory(zip);
    auto entry = [&](const std::string& name) -> std::string {
        for (const ZipEntry& e : entries)
            if (e.Name == name) return Extract(zip, e);
        return {};
    };
    std::string workbookXml = entry("xl/workbook.xml");
    if (workbookXml.empty()) throw std::runtime_error(path + " has no xl/workbook.xml");
    pugi::xml_document workbook = Parse(workbookXml, "workbook");
    pugi::xml_document rels = Parse(entry("xl/_rels/workbook.xml.rels"), "workbook relationships");
    std::map<std::string, std::string> targets;
    for (pugi::xml_node r : rels.child("Relationships").children("Relationship"))
        targets[r.attribute("Id").value()] = r.attribute("Target").value();

    std::vector<std::string> shared;
    std::string sst = entry("xl/sharedStrings.xml");
    if (!sst.empty()) {
        pugi::xml_document doc = Parse(sst, "shared strings");
        for (pugi::xml_node si : doc.child("sst").children("si")) shared.push_back(StringItem(si));
    }
    Styles styles = ReadStyles(zip, entries);

    XlsxBook book;
    pugi::xml_node root = workbook.child("workbook");
    book.ActiveSheet = root.child("bookViews").child("workbookView").attribute("activeTab").as_int(0);
    for (pugi::xml_node s : root.child("sheets").children("sheet")) {
        XlsxSheet sheet;
        sheet.Name = s.attribute("name").value();
        std::string target = targets[s.attribute("r:id").value()];
        if (target.rfind("/", 0) == 0) target = target.substr(1);
        else target = "xl/" + target;
        pugi::xml_document doc = Parse(entry(target), target);
        for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
            for (pugi::xml_node c : row.children("c")) {
                XlsxCell cell;
                std::string type = c.attribute("t").value();
                std::string value = c.child("v").child_value();
                if (type == "s") {
                    cell.Type = XlsxCell::Kind::Text;
                    cell.Text = shared.at(static_cast<size_t>(std::stoul(value)));
                } else if (type == "inlineStr") {
                    cell.Type = XlsxCell::Kind::Text;
                    cell.Text = StringItem(c.child("is"));
                } else if (type == "str") {
                    cell.Type = XlsxCell::Kind::Text;
                    cell.Text = value;
                } else if (type == "b") {
                    cell.Type = XlsxCell::Kind::Boolean;
                    cell.Bool = value == "1";
                } else if (!value.empty()) {
                    // A spreadsheet program reads only plain decimal numbers here:
                    // "INF", "NAN" or "0x1A" make the file unreadable.
                    cell.Type = XlsxCell::Kind::Number;
                    if (!plat::ParseDecimalNumber(value, cell.Number))
                        throw std::runtime_error(path + ": the number of cell " + c.attribute("r").value() + " is \"" + value + "\"");
                }
                size_t style = c.attribute("s").as_uint(0);
                if (style < styles.Xfs.size()) {
                    cell.NumberFormat = styles.Xfs[style].first;
                    cell.Font = styles.Xfs[style].second;
                } else {
                    cell.NumberFormat = "General";
                }
                sheet.Cells[ParseCellReference(c.attribute("r").value())] = cell;
            }
        }
        book.Sheets.push_back(std::move(sheet));
    }
    return book;
}

}  // namespace ortktest
