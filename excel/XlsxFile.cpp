// Writing a workbook of the in-memory model to an .xlsx file through
// libxlsxwriter. The library writes a workbook once and streams each sheet
// row by row (constant-memory mode), so the whole model is written on every
// save; the rows come out in order, which is all that mode asks.
#include <xlsxwriter.h>

#include <stdexcept>

#include "SafeFile.h"
#include "SheetModel.h"
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

class Writer {
public:
    Writer(const BookData& book, const std::string& path) : book_(book), formats_(book.Styles.Count(), nullptr) {
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
        for (size_t i = 0; i < book_.Sheets.size(); ++i) {
            const SheetData& sheet = *book_.Sheets[i];
            lxw_worksheet* ws = workbook_add_worksheet(workbook_, sheet.Name.c_str());
            if (!ws) throw std::runtime_error("the sheet name \"" + sheet.Name + "\" cannot be written");
            if (i == book_.ActiveSheet) worksheet_activate(ws);
            for (int row = 1; row <= sheet.LastRow(); ++row)
                for (const Cell& cell : sheet.RowCells(row)) WriteCell(ws, row, cell);
        }
    }

    // The library reports its failures on standard error as well: that text
    // goes with the error, not to the terminal.
    void Close() {
        lxw_workbook* workbook = workbook_;
        workbook_ = nullptr;
        plat::CapturedStderr captured;
        lxw_error error = workbook_close(workbook);
        std::string printed = captured.Release();
        if (error != LXW_NO_ERROR) throw std::runtime_error(std::string(lxw_strerror(error)) + (printed.empty() ? "" : " " + printed));
    }

private:
    void WriteCell(lxw_worksheet* ws, int row, const Cell& cell) {
        lxw_row_t r = static_cast<lxw_row_t>(row - 1);
        lxw_col_t c = static_cast<lxw_col_t>(cell.Column - 1);
        lxw_format* format = Format(cell.Style);
        lxw_error error = LXW_NO_ERROR;
        switch (cell.Kind) {
        case CellKind::Blank: error = worksheet_write_blank(ws, r, c, format); break;
        case CellKind::Number: error = worksheet_write_number(ws, r, c, cell.Number, format); break;
        case CellKind::Boolean: error = worksheet_write_boolean(ws, r, c, cell.Boolean ? 1 : 0, format); break;
        case CellKind::Text:
            error = worksheet_write_string(ws, r, c, book_.Strings.CStr(cell.Text), format);
            break;
        }
        if (error != LXW_NO_ERROR)
            throw std::runtime_error("cell (" + std::to_string(row) + ", " + std::to_string(cell.Column) + "): " +
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
    lxw_workbook* workbook_ = nullptr;
    std::vector<lxw_format*> formats_;   // by style number
};

}  // namespace

void WriteXlsxFile(const BookData& book, const std::string& path, SaveTarget target) {
    plat::PendingFile file(path);
    {
        Writer writer(book, file.Path());
        writer.Write();
        writer.Close();
    }
    plat::VerifyXmlPackage(file.Path());
    if (target == SaveTarget::NewFile) file.PublishExclusive();
    else file.PublishReplacing();
}

}  // namespace excel
