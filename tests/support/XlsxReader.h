// Reads an .xlsx file back for tests: the zip container is opened with zlib,
// the workbook, relationships, shared strings, styles and sheets are parsed
// with pugixml. It reads what a spreadsheet program would see: each sheet's
// cells with their kind, value, number format and font.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ortktest {

struct XlsxFont {
    std::string Name;
    double Size = 0;
    bool Bold = false;
    bool Italic = false;
    bool Strike = false;
    std::string Underline;   // "" none, else "single", "double", "singleAccounting", "doubleAccounting"
    std::string Rgb;         // "RRGGBB"; "" for the automatic colour
};

struct XlsxCell {
    enum class Kind { Blank, Number, Text, Boolean };
    Kind Type = Kind::Blank;
    double Number = 0;
    std::string Text;
    bool Bool = false;
    std::string NumberFormat;   // "General" for the default
    XlsxFont Font;
};

struct XlsxSheet {
    std::string Name;
    std::map<std::pair<int, int>, XlsxCell> Cells;   // (row, column), both 1-based

    // The cell or nullptr when the file has none there.
    const XlsxCell* At(int row, int column) const;
    // A text cell's text; "" for anything else.
    std::string TextAt(int row, int column) const;
    int LastRow() const { return Cells.empty() ? 0 : Cells.rbegin()->first.first; }
};

struct XlsxBook {
    std::vector<XlsxSheet> Sheets;   // in workbook order
    int ActiveSheet = 0;             // 0-based
};

// The names of the entries in a zip file; raises std::runtime_error when it is not one.
std::vector<std::string> ZipEntryNames(const std::string& path);
// One entry, inflated; raises std::runtime_error when it is missing or damaged.
std::string ReadZipEntry(const std::string& path, const std::string& entry);

// The whole workbook; raises std::runtime_error when the file is not one.
XlsxBook ReadXlsx(const std::string& path);

// "A" → 1, "AB" → 28; splits a reference such as "C12" into (12, 3).
std::pair<int, int> ParseCellReference(const std::string& reference);

}  // namespace ortktest
