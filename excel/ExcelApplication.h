// The spreadsheet application behind "Excel.Application": an in-process
// automation server with the application, its workbooks, their worksheets,
// cells and fonts, as far as the suite's export code drives them. Sheets
// are kept in memory and every "Save" or "SaveAs" writes the whole workbook
// as an Office Open XML file through libxlsxwriter.
//
// It behaves as the real application does where the export depends on it:
// a text written into a cell that is not formatted as text ("@") and reads
// as a number is stored as that number; a sheet ends at row 1,048,576 and
// column 16,384; "Worksheets"."Add" gives a workbook more sheets; after
// "Quit" every object answers with an error.
#pragma once

#include "Dispatch.h"

namespace excel {

// The ProgID the application registers under.
inline constexpr char kProgId[] = "Excel.Application";

// A new application instance: invisible, without workbooks.
plat::DispatchRef NewApplication();

// Registers "Excel.Application" in the process's class registry; every
// CreateOleObject of it starts a new instance.
void RegisterExcelApplication();

}  // namespace excel
