// Writing outline rows into the workbook, sheet after sheet.
#include "OutlineSheet.h"

#include <stdexcept>

#include "export/OleExcel.h"

namespace ortk41 {

ExcelOutlineSheet::ExcelOutlineSheet(TOLEExcel& excel, std::vector<std::string> heading, int lastRow)
    : excel_(excel), heading_(std::move(heading)), lastRow_(lastRow) {
    if (lastRow_ < 3) throw std::invalid_argument("a sheet of the export needs at least three rows");
}

void ExcelOutlineSheet::WriteHeading() {
    for (size_t c = 0; c < heading_.size(); ++c)
        excel_.WriteText(1, static_cast<int>(c) + 1, nullptr, true, heading_[c]);
}

void ExcelOutlineSheet::WriteText(int row, int column, const std::string& text) {
    if (row - rowOffset_ > lastRow_) {
        excel_.AddWorksheet();
        ++sheets_;
        WriteHeading();
        rowOffset_ = row - 2;   // the row goes on under the new heading
    }
    excel_.WriteText(row - rowOffset_, column, nullptr, true, text);
}

}  // namespace ortk41
