// Reading exported workbooks with programs that are not ours: openpyxl (the
// Debian package python3-openpyxl, run by the system's python3) for cell
// kinds, number formats and fonts, and LibreOffice Calc headless for the
// cells as a user's spreadsheet program shows them. Both are installed by
// scripts/install-deps.sh; a missing one raises, so that no check is
// quietly skipped.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ortktest {

// One cell as openpyxl reads it.
struct PyxlCell {
    std::string Type;           // openpyxl's data_type: "s" text, "n" number, "b" truth value
    std::string Value;          // Python's str() of the value ("5", "-1.5", "0001")
    std::string NumberFormat;   // "General", "@", "0_ " ...
    std::string Color;          // the font's "AARRGGBB", "" for the automatic colour
};

struct PyxlBook {
    std::string ActiveSheet;                                             // the sheet the file opens on
    std::vector<std::string> SheetNames;
    std::map<std::string, std::map<std::string, PyxlCell>> Cells;        // sheet -> "B3" -> cell

    const PyxlCell& At(const std::string& sheet, const std::string& reference) const;
};

// Loads `path` with openpyxl.load_workbook, which goes by the file's name
// (an ".xls" name is refused). Raises std::runtime_error with openpyxl's
// complaint when it cannot read the file.
PyxlBook ReadWithOpenpyxl(const std::string& path);

// Converts every file in one run of LibreOffice (each run costs seconds) to
// CSV in UTF-8, cells as shown; answers the rows of each file's first sheet
// by its path. Raises when LibreOffice is missing or a file gives no CSV.
std::map<std::string, std::vector<std::vector<std::string>>> ConvertWithLibreOffice(const std::vector<std::string>& paths);

// Runs `work` while this process's files may grow to `bytes` at most
// (RLIMIT_FSIZE lowered, SIGXFSZ ignored, so a write past it fails as on a
// full disk), then lifts the limit; answers what `work` returned. In this
// process, not a forked one: Qt's drawing threads do not survive a fork, and
// a child that paints its progress window would wait for them for ever.
std::string WithFileSizeLimit(long bytes, const std::function<std::string()>& work);

}  // namespace ortktest
