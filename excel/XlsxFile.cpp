// Writing a workbook of the in-memory model to an .xlsx file through
// libxlsxwriter. The library writes a workbook once and streams each sheet
// row by row (constant-memory mode), so the whole model is written on every
// save; the rows come out in order, which is all that mode asks.
#include "XlsxFile.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "SafeFile.h"
#include "ZipPackage.h"

namespace excel {

namespace {

uint8_t UnderlineCode(Underline u) {
    switch (u) {
    case Underline::None: return LXW_UNDERLINE_NONE;
    case Underline::Single: return LXW_UNDERLINE_SINGLE;
    case Underline::Double: return LXW_UNDERLINE_DOUBLE;
    case Underline::SingleAccounting: return LXW_UNDERLINE_SINGLE_ACCOUNTING;
    case Underline::DoubleAccounting: return LXW_UNDERLINE_DOUBLE_ACCOUNTING;
    }
    return LXW_UNDERLINE_NONE;
}

// The sheet markup around a row and a cell, in bytes, as the library
// writes it at most ("<row r=\"1048576\" spans=\"1:6\">", a cell with its
// reference, style and inline-text tags). An outline's markup packs to
// about a twelfth of this count; a sixth errs on the large side, also for
// texts that pack less well.
constexpr uint64_t kRowMarkup = 40, kCellMarkup = 56, kPackDivisor = 6;

class Writer {
public:
    Writer(const BookData& book, const std::string& path, SaveProgress* progress)
        : book_(book), progress_(progress), formats_(book.Styles.Count(), nullptr) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        workbook_ = workbook_new_opt(path.c_str(), &options);
        if (!workbook_) throw std::runtime_error("cannot start the workbook file " + path);
    }
    ~Writer() {
        // A workbook that failed half-way is freed without writing anything.
        if (workbook_) lxw_workbook_free(workbook_);
    }

    void Write() {
        if (progress_) progress_->StartRows(RowCount());
        for (size_t i = 0; i < book_.Sheets.size(); ++i) {
            const SheetData& sheet = *book_.Sheets[i];
            lxw_worksheet* ws = workbook_add_worksheet(workbook_, sheet.Name.c_str());
            if (!ws) throw std::runtime_error("the sheet name \"" + sheet.Name + "\" cannot be written");
            if (i == book_.ActiveSheet) worksheet_activate(ws);
            for (int row = 1; row <= sheet.LastRow(); ++row) {
                for (const Cell& cell : sheet.RowCells(row)) WriteCell(ws, row, cell);
                markupBytes_ += kRowMarkup;
                if (progress_) progress_->RowWritten();
            }
        }
    }

    // A generous estimate of the file's size once the library has packed it.
    uint64_t ExpectedFileBytes() const { return markupBytes_ / kPackDivisor; }

    // The library reports its failures on standard error as well: that text
    // goes with the error, not to the terminal. The save may run beside the
    // program's other threads, whose own output in that moment is caught
    // too: after a save that went well it is printed as it was meant to be.
    void Close() {
        lxw_workbook* workbook = workbook_;
        workbook_ = nullptr;
        plat::CapturedStderr captured;
        lxw_error error = workbook_close(workbook);
        std::string printed = captured.Release();
        if (error != LXW_NO_ERROR) throw std::runtime_error(std::string(lxw_strerror(error)) + (printed.empty() ? "" : " " + printed));
        if (!printed.empty()) std::fputs(printed.c_str(), stderr);
    }

private:
    uint64_t RowCount() const {
        uint64_t rows = 0;
        for (const auto& sheet : book_.Sheets) rows += static_cast<uint64_t>(sheet->LastRow());
        return rows;
    }

    void WriteCell(lxw_worksheet* ws, int row, const Cell& cell) {
        markupBytes_ += kCellMarkup;
        lxw_row_t r = static_cast<lxw_row_t>(row - 1);
        lxw_col_t c = static_cast<lxw_col_t>(cell.Column() - 1);
        lxw_format* format = Format(cell.Style());
        lxw_error error = LXW_NO_ERROR;
        switch (cell.Kind()) {
        case CellKind::Blank: error = worksheet_write_blank(ws, r, c, format); break;
        case CellKind::Number: error = worksheet_write_number(ws, r, c, book_.Numbers.At(cell.NumberId()), format); break;
        case CellKind::Boolean: error = worksheet_write_boolean(ws, r, c, cell.Boolean() ? 1 : 0, format); break;
        case CellKind::Text: {
            std::string_view text = book_.Strings.At(cell.TextId());   // ends in a zero byte
            error = worksheet_write_string(ws, r, c, text.data(), format);
            markupBytes_ += text.size();
            break;
        }
        }
        if (error != LXW_NO_ERROR)
            throw std::runtime_error("cell (" + std::to_string(row) + ", " + std::to_string(cell.Column()) + "): " +
                                     lxw_strerror(error));
    }

    // The library's format of a style, made on first use; none for style 0.
    lxw_format* Format(uint32_t style) {
        if (style == 0) return nullptr;
        lxw_format*& format = formats_.at(style);
        if (format) return format;
        const CellStyle& s = book_.Styles.At(style);
        format = workbook_add_format(workbook_);
        if (!s.NumberFormat.empty()) format_set_num_format(format, s.NumberFormat.c_str());
        const FontSpec& f = s.Font;
        format_set_font_name(format, f.Name.c_str());
        format_set_font_size(format, f.Size);
        if (f.Bold) format_set_bold(format);
        if (f.Italic) format_set_italic(format);
        if (f.Strikethrough) format_set_font_strikeout(format);
        if (f.Underlined != Underline::None) format_set_underline(format, UnderlineCode(f.Underlined));
        // The library reads colour 0 as "not set"; black has its own value.
        if (!f.AutoColor) format_set_font_color(format, f.Rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : f.Rgb);
        return format;
    }

    const BookData& book_;
    SaveProgress* progress_;
    uint64_t markupBytes_ = 0;
    lxw_workbook* workbook_ = nullptr;
    std::vector<lxw_format*> formats_;   // by style number
};

}  // namespace

plat::CallProgress SaveProgress::Now() const {
    uint64_t rows = rows_.load(std::memory_order_relaxed);
    plat::CallProgress now{0, 2 * rows};
    if (finished_.load(std::memory_order_acquire)) {
        now.Done = now.Total;
    } else if (!packing_.load(std::memory_order_acquire)) {
        now.Done = std::min(written_.load(std::memory_order_relaxed), rows);
    } else {
        std::error_code error;   // a file not there yet has packed nothing
        uint64_t bytes = std::filesystem::file_size(file_, error);
        double packed = error || expectedBytes_ == 0 ? 0.0 : static_cast<double>(bytes) / static_cast<double>(expectedBytes_);
        // The end is reached when the library has finished, never by the estimate.
        now.Done = rows + static_cast<uint64_t>(std::min(packed, 0.99) * static_cast<double>(rows));
    }
    return now;
}

void SaveProgress::StartPacking(const std::string& file, uint64_t expectedBytes) {
    file_ = file;
    expectedBytes_ = expectedBytes;
    packing_.store(true, std::memory_order_release);
}

void WriteXlsxFile(const BookData& book, const std::string& path, SaveTarget target, SaveProgress* progress) {
    plat::PendingFile file(path);
    {
        Writer writer(book, file.Path(), progress);
        writer.Write();
        if (progress) progress->StartPacking(file.Path(), writer.ExpectedFileBytes());
        writer.Close();
    }
    plat::VerifyXmlPackage(file.Path());
    if (target == SaveTarget::NewFile) file.PublishExclusive();
    else file.PublishReplacing();
    if (progress) progress->Finish();
}

}  // namespace excel
