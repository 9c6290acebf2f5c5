// TOLEExcel: drives the spreadsheet application ("Excel.Application")
// through automation to write cells with number formats and fonts into a
// new workbook and save it. A non-visual component, owned by the form or
// data module that exports.
#pragma once

#include <string>

#include "Classes.h"
#include "Variant.h"

namespace vcl {
class TFont;
}

// The number patterns of NumberFormatText.
enum TNumberType { tp_Number1, tp_Number2, tp_Number3, tp_Number4, tp_Number5 };

class TOLEExcel : public vcl::TComponent {
    VCL_DECLARE_CLASS(TOLEExcel)
public:
    explicit TOLEExcel(vcl::TComponent* owner);
    // Disconnects; quits the application when AutoCloseExcel is set.
    ~TOLEExcel() override;

    // Active: starts the application (raises when "Excel.Application"
    // cannot be created). Not active: quits it when AutoCloseExcel is set and
    // drops application, workbook and worksheet.
    void Connect(bool active);
    bool Connected() const { return connected_; }

    // Published settings.
    bool AutoCloseExcel() const { return autoCloseExcel_; }
    void SetAutoCloseExcel(bool value) { autoCloseExcel_ = value; }
    bool Visible() const { return visible_; }
    // Only while connected: shows or hides the application.
    void SetVisible(bool value);
    int Decimals() const { return decimals_; }
    void SetDecimals(int value) { decimals_ = value; }
    TNumberType NumberType() const { return numberType_; }
    void SetNumberType(TNumberType value) { numberType_ = value; }
    const std::string& ThousandSign() const { return thousandSign_; }
    void SetThousandSign(const std::string& value) { thousandSign_ = value; }

    // A workbook of one sheet, whose sheet becomes the current worksheet;
    // nothing when not connected.
    void NewWorkbook();
    // Save under the current name, or under `fileName`; nothing without a workbook.
    void SaveWorkbook();
    void SaveWorkbookAs(const std::string& fileName);
    // Names the current worksheet; nothing without one.
    void SetSheetName(const std::string& name);
    void SelectCell(int row, int col);

    // Write one cell of the current worksheet. AsText / Formatted give the
    // cell being written its number format ("@", "0_ " or NumberFormatText)
    // before the value. With a font, the cell gets its name, size, style,
    // underline and strike-out; WriteFloat colours a negative value red.
    // Raise when there is no worksheet or the application refuses the cell.
    void WriteText(int row, int col, const vcl::TFont* font, bool asText, const std::string& text);
    void WriteInteger(int row, int col, bool formatted, int value);
    void WriteFloat(int row, int col, const vcl::TFont* font, bool formatted, double value);

    // Marks a cell whose value could not be written: "Error!" in red
    // (colour index 3).
    void WriteErrorCell(int row, int col);

    // The number format for Decimals, NumberType and ThousandSign
    // (e.g. "#,##0.00_ " for 2, tp_Number4, ",").
    std::string NumberFormatText() const;
    // 0 when |b - a| < 1e-8, 1 when b > a, -1 otherwise.
    static int CompareFloat(double a, double b);

    // The rows of the current worksheet (the application's last row); 0
    // without a worksheet. An export that would go past it continues on a
    // sheet added with AddWorksheet.
    int SheetRowCount();
    // Adds a worksheet after the workbook's last one and makes it the
    // current worksheet; nothing without a workbook.
    void AddWorksheet();
    // Shows sheet `index` (from 1), the sheet a saved workbook opens on, and
    // makes it the current worksheet; nothing without a workbook.
    void ActivateSheet(int index);

    // The automation objects; Empty when absent.
    const plat::Variant& ExcelApp() const { return excelApp_; }
    const plat::Variant& Workbook() const { return workbook_; }
    const plat::Variant& Worksheet() const { return worksheet_; }

private:
    plat::Variant Cell(int row, int col) const;
    void ApplyFont(const plat::Variant& cell, const vcl::TFont& font, bool red) const;

    plat::Variant excelApp_;
    plat::Variant workbook_;
    plat::Variant worksheet_;
    bool connected_ = false;
    bool autoCloseExcel_ = true;
    bool visible_ = false;
    int decimals_ = 0;
    TNumberType numberType_ = tp_Number4;
    std::string thousandSign_ = ",";
};
