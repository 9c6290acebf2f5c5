// The spreadsheet file filter over libxlsxwriter.
#include "XLSExport.h"

#include <xlsxwriter.h>

#include <cmath>
#include <stdexcept>

#include "StrUtils.h"
#include "ZipPackage.h"

namespace {
constexpr size_t kMaxCellText = 32767;   // UTF-16 code units, as the spreadsheet counts
}

TXLSExport::TXLSExport(std::string fileName) : fileName_(std::move(fileName)) {}

TXLSExport::~TXLSExport() {
    if (workbook_) lxw_workbook_free(workbook_);
}

void TXLSExport::CreateStream(const std::string& fileName) {
    if (workbook_) throw std::logic_error("the export file is already open");
    fileName_ = fileName;
    auto file = std::make_unique<plat::PendingFile>(fileName);
    plat::CapturedStderr captured;
    workbook_ = workbook_new(file->Path().c_str());
    std::string printed = captured.Release();
    if (!workbook_) throw std::runtime_error("create file: " + fileName + "  failed! " + printed);
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    errorFormat_ = workbook_add_format(workbook_);
    format_set_font_color(errorFormat_, LXW_COLOR_RED);
    file_ = std::move(file);
}

void TXLSExport::Check(int result, int row, int column) const {
    if (result != LXW_NO_ERROR)
        throw std::runtime_error("cell (" + std::to_string(row) + ", " + std::to_string(column) + "): " +
                                 lxw_strerror(static_cast<lxw_error>(result)));
}

void TXLSExport::WriteCell(int row, int column, int kind, const std::string& text) {
    if (!sheet_) throw std::logic_error("the export file is not open");
    double value = 0;
    if (kind == kNumber && plat::ParseDecimalNumber(text, value)) return WriteNumber(row, column, value);
    if (plat::Utf16Length(text) > kMaxCellText) return WriteErrorCell(row, column);
    Check(worksheet_write_string(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), text.c_str(), nullptr),
          row, column);
}

void TXLSExport::WriteNumber(int row, int column, double value) {
    if (!sheet_) throw std::logic_error("the export file is not open");
    if (!std::isfinite(value)) return WriteErrorCell(row, column);
    Check(worksheet_write_number(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), value, nullptr), row,
          column);
}

void TXLSExport::WriteErrorCell(int row, int column) {
    if (!sheet_) throw std::logic_error("the export file is not open");
    Check(worksheet_write_string(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), "Error!",
                                 errorFormat_),
          row, column);
}

void TXLSExport::CloseStream() {
    if (!workbook_) return;
    std::unique_ptr<plat::PendingFile> file = std::move(file_);
    lxw_workbook* workbook = workbook_;
    workbook_ = nullptr;
    sheet_ = nullptr;
    plat::CapturedStderr captured;
    lxw_error error = workbook_close(workbook);
    std::string printed = captured.Release();
    if (error != LXW_NO_ERROR)
        throw std::runtime_error("write file: " + fileName_ + "  failed! (" + lxw_strerror(error) + ") " + printed);
    plat::VerifyXmlPackage(file->Path());
    file->PublishExclusive();
}
