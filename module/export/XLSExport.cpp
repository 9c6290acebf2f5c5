// The spreadsheet file filter over libxlsxwriter.
#include "XLSExport.h"

#include <xlsxwriter.h>

#include <cstdlib>
#include <stdexcept>

TXLSExport::TXLSExport(std::string fileName) : fileName_(std::move(fileName)) {}

// A stream never closed belongs to an export that failed: nothing is
// written, so no half file is left under a normal name.
TXLSExport::~TXLSExport() {
    if (workbook_) lxw_workbook_free(workbook_);
}

void TXLSExport::CreateStream(const std::string& fileName) {
    if (workbook_) throw std::logic_error("the export file is already open");
    fileName_ = fileName;
    workbook_ = workbook_new(fileName.c_str());
    if (!workbook_) throw std::runtime_error("create file: " + fileName + "  failed!");
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
}

void TXLSExport::WriteCell(int row, int column, int kind, const std::string& text) {
    if (!sheet_) throw std::logic_error("the export file is not open");
    if (kind == kNumber) {
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (!text.empty() && end && *end == '\0') {
            WriteNumber(row, column, value);
            return;
        }
    }
    lxw_error error = worksheet_write_string(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                             text.c_str(), nullptr);
    if (error != LXW_NO_ERROR) throw std::runtime_error(lxw_strerror(error));
}

void TXLSExport::WriteNumber(int row, int column, double value) {
    if (!sheet_) throw std::logic_error("the export file is not open");
    lxw_error error =
        worksheet_write_number(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), value, nullptr);
    if (error != LXW_NO_ERROR) throw std::runtime_error(lxw_strerror(error));
}

void TXLSExport::CloseStream() {
    if (!workbook_) return;
    lxw_error error = workbook_close(workbook_);
    workbook_ = nullptr;
    sheet_ = nullptr;
    if (error != LXW_NO_ERROR) throw std::runtime_error("write file: " + fileName_ + "  failed! (" + lxw_strerror(error) + ")");
}
