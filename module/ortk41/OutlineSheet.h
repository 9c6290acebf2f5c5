// The sheet the export outline is written into: cells of the automation
// component's current worksheet, written as text. A sheet has a last row;
// an outline that reaches it goes on in a new sheet of the same workbook,
// which starts with the heading row again, so no row is lost.
#pragma once

#include <string>
#include <vector>

#include "OrderOutline.h"

class TOLEExcel;

namespace ortk41 {

class ExcelOutlineSheet : public IOutlineSheet {
public:
    // `lastRow` is the last row of a sheet (the application's row count).
    ExcelOutlineSheet(TOLEExcel& excel, std::vector<std::string> heading, int lastRow);

    // Row 1 of the current sheet: the heading cells in columns 1 onwards.
    void WriteHeading();
    // Outline row `row` (counted over all sheets as if there were one).
    void WriteText(int row, int column, const std::string& text) override;
    int Sheets() const { return sheets_; }

private:
    TOLEExcel& excel_;
    std::vector<std::string> heading_;
    int lastRow_;
    int rowOffset_ = 0;   // outline row - sheet row on the current sheet
    int sheets_ = 1;
};

}  // namespace ortk41
