// TOLEExcel: spreadsheet automation for exports. Every call goes by member
// name to the application's objects; a cell is reached as the worksheet's
// "Cells"(row, column), and a plain value is written in that one call.
#include "OleExcel.h"

#include <cmath>

#include "ClassRegistry.h"
#include "Dispatch.h"
#include "Graphics.h"

using plat::ByVal;
using plat::Variant;

namespace {
// Constants of the application's object model.
constexpr int32_t xlUnderlineStyleSingle = 2, xlUnderlineStyleNone = -4142;
constexpr int32_t kRed = 255;   // RGB(255, 0, 0)
}  // namespace

const vcl::TClassInfo& TOLEExcel::StaticClass() {
    static const vcl::TClassInfo info = [] {
        vcl::TClassInfo c = vcl::MakeComponentClass<TOLEExcel>("TOLEExcel", vcl::TComponent::StaticClass());
        vcl::TPropBuilder<TOLEExcel>(c)
            .Bool("AutoCloseExcel", &TOLEExcel::AutoCloseExcel, &TOLEExcel::SetAutoCloseExcel)
            .Bool("Visible", &TOLEExcel::Visible, &TOLEExcel::SetVisible)
            .Int("Decimals", &TOLEExcel::Decimals, &TOLEExcel::SetDecimals)
            .Enum<TNumberType>("NumberType", &TOLEExcel::NumberType, &TOLEExcel::SetNumberType,
                               {"tp_Number1", "tp_Number2", "tp_Number3", "tp_Number4", "tp_Number5"})
            .Str("ThousandSign", &TOLEExcel::ThousandSign, &TOLEExcel::SetThousandSign);
        return c;
    }();
    return info;
}

TOLEExcel::TOLEExcel(vcl::TComponent* owner) : vcl::TComponent(owner) {}

TOLEExcel::~TOLEExcel() {
    // A destructor must not throw: an application that fails to quit is
    // simply let go.
    try {
        Connect(false);
    } catch (const std::exception&) {
    }
    try {
        if (autoCloseExcel_ && !excelApp_.IsEmpty()) plat::CallMethod(excelApp_, "Quit");
    } catch (const std::exception&) {
    }
    worksheet_ = workbook_ = excelApp_ = Variant();
}

// There is no design time here, so Connect always acts. A second
// Connect(True) keeps the running application rather than orphaning it.
void TOLEExcel::Connect(bool active) {
    if (active) {
        if (!connected_) excelApp_ = plat::CreateOleObject("Excel.Application");
    } else {
        Variant app = excelApp_;
        worksheet_ = workbook_ = excelApp_ = Variant();
        connected_ = false;
        if (!app.IsEmpty() && autoCloseExcel_) plat::CallMethod(app, "Quit");
    }
    connected_ = excelApp_.IsDispatch();
}

void TOLEExcel::SetVisible(bool value) {
    if (!connected_) return;
    visible_ = value;
    plat::SetProperty(excelApp_, "Visible", value);
}

void TOLEExcel::NewWorkbook() {
    if (!connected_) return;
    plat::SetProperty(excelApp_, "SheetsInNewWorkbook", int32_t(1));
    workbook_ = plat::CallMethod(plat::GetProperty(excelApp_, "WorkBooks"), "Add");
    worksheet_ = plat::GetProperty(workbook_, "ActiveSheet");
}

void TOLEExcel::SaveWorkbook() {
    if (workbook_.IsEmpty()) return;
    plat::CallMethod(workbook_, "Save");
}

void TOLEExcel::SaveWorkbookAs(const std::string& fileName) {
    if (workbook_.IsEmpty()) return;
    plat::CallMethod(workbook_, "SaveAs", {ByVal(fileName)});
}

void TOLEExcel::SetSheetName(const std::string& name) {
    if (worksheet_.IsEmpty()) return;
    plat::SetProperty(worksheet_, "Name", name);
}

Variant TOLEExcel::Cell(int row, int col) const {
    return plat::GetProperty(worksheet_, "Cells", {ByVal(int32_t(row)), ByVal(int32_t(col))});
}

void TOLEExcel::SelectCell(int row, int col) { plat::CallMethod(Cell(row, col), "Select"); }

void TOLEExcel::ApplyFont(const Variant& cell, const vcl::TFont& font, bool red) const {
    Variant f = plat::GetProperty(cell, "Font");
    if (red) plat::SetProperty(f, "Color", kRed);
    plat::SetProperty(f, "Name", font.Name());
    bool bold = font.Style() & vcl::fsBold, italic = font.Style() & vcl::fsItalic;
    if (bold || italic) plat::SetProperty(f, "FontStyle", bold && italic ? "Bold Italic" : bold ? "Bold" : "Italic");
    plat::SetProperty(f, "Underline", font.Style() & vcl::fsUnderline ? xlUnderlineStyleSingle : xlUnderlineStyleNone);
    plat::SetProperty(f, "Strikethrough", int32_t(font.Style() & vcl::fsStrikeOut ? -1 : 0));
    plat::SetProperty(f, "Size", int32_t(font.Size()));
}

// The number format goes to the cell being written. (It used to go to the
// selected cell (1, 1), so texts such as "0001" reached a General cell and
// turned into numbers.) No selection is made: formatting needs none.
void TOLEExcel::WriteText(int row, int col, const vcl::TFont* font, bool asText, const std::string& text) {
    if (!asText && !font) {
        plat::Invoke(worksheet_, "Cells", plat::InvokeKind::PropertyPut,
                     {ByVal(int32_t(row)), ByVal(int32_t(col)), ByVal(text)});
        return;
    }
    Variant cell = Cell(row, col);
    if (asText) plat::SetProperty(cell, "NumberFormatLocal", "@");
    if (font) ApplyFont(cell, *font, false);
    plat::SetProperty(cell, "Value", text);
}

void TOLEExcel::WriteInteger(int row, int col, bool formatted, int value) {
    if (!formatted) {
        plat::Invoke(worksheet_, "Cells", plat::InvokeKind::PropertyPut,
                     {ByVal(int32_t(row)), ByVal(int32_t(col)), ByVal(int32_t(value))});
        return;
    }
    Variant cell = Cell(row, col);
    plat::SetProperty(cell, "NumberFormatLocal", "0_ ");
    plat::SetProperty(cell, "Value", int32_t(value));
}

void TOLEExcel::WriteFloat(int row, int col, const vcl::TFont* font, bool formatted, double value) {
    if (!formatted && !font) {
        plat::Invoke(worksheet_, "Cells", plat::InvokeKind::PropertyPut,
                     {ByVal(int32_t(row)), ByVal(int32_t(col)), ByVal(value)});
        return;
    }
    Variant cell = Cell(row, col);
    if (formatted) plat::SetProperty(cell, "NumberFormatLocal", NumberFormatText());
    if (font) ApplyFont(cell, *font, CompareFloat(value, 0) == 1);
    plat::SetProperty(cell, "Value", value);
}

void TOLEExcel::WriteErrorCell(int row, int col) {
    Variant cell = Cell(row, col);
    plat::SetProperty(plat::GetProperty(cell, "Font"), "ColorIndex", int32_t(3));
    plat::SetProperty(cell, "Value", "Error!");
}

std::string TOLEExcel::NumberFormatText() const {
    std::string d = decimals_ > 0 ? "0." + std::string(static_cast<size_t>(decimals_), '0') : "0";
    std::string n = thousandSign_.empty() ? d : "#" + thousandSign_ + "##" + d;
    switch (numberType_) {
    case tp_Number1: return n + "_);" + "(" + n + ")";
    case tp_Number2: return n + "_);(" + n + ")";   // the same pattern as tp_Number1
    case tp_Number3: return n + ";" + n;
    case tp_Number4: return n + "_ ";
    case tp_Number5: return n + "_ ;" + "-" + n + " ";
    }
    return n + "_ ";
}

int TOLEExcel::CompareFloat(double a, double b) {
    if (std::fabs(b - a) < 1e-8) return 0;
    return b > a ? 1 : -1;
}

int TOLEExcel::SheetRowCount() {
    if (worksheet_.IsEmpty()) return 0;
    return plat::GetProperty(plat::GetProperty(worksheet_, "Rows"), "Count").ToInt();
}

void TOLEExcel::AddWorksheet() {
    if (workbook_.IsEmpty()) return;
    Variant sheets = plat::GetProperty(workbook_, "Worksheets");
    Variant last = plat::GetProperty(sheets, "Item", {ByVal(plat::GetProperty(sheets, "Count"))});
    worksheet_ = plat::CallMethod(sheets, "Add", {ByVal(Variant()), ByVal(last)});
}

void TOLEExcel::ActivateSheet(int index) {
    if (workbook_.IsEmpty()) return;
    Variant sheet = plat::GetProperty(plat::GetProperty(workbook_, "Worksheets"), "Item", {ByVal(int32_t(index))});
    plat::CallMethod(sheet, "Activate");
    worksheet_ = sheet;
}
