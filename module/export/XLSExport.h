// TXLSExport: writes a spreadsheet file directly, without the spreadsheet
// application: the file filter of the data-set export "without format".
// Cells are written by (row, column, kind, text), rows and columns from 0,
// kind 2 for a number and 3 for a text. The file is an Office Open XML
// workbook of one sheet whatever the file's extension.
#pragma once

#include <string>

struct lxw_workbook;
struct lxw_worksheet;

class TXLSExport {
public:
    static constexpr int kNumber = 2;
    static constexpr int kText = 3;

    explicit TXLSExport(std::string fileName);
    // A stream still open is discarded: the file is only written by CloseStream.
    ~TXLSExport();
    TXLSExport(const TXLSExport&) = delete;
    TXLSExport& operator=(const TXLSExport&) = delete;

    const std::string& FileName() const { return fileName_; }
    // Starts the workbook for `fileName`; raises when it cannot be created.
    void CreateStream(const std::string& fileName);
    // A number cell takes `text` read as a number (a text that is not one
    // is written as text); raises without an open stream.
    void WriteCell(int row, int column, int kind, const std::string& text);
    void WriteNumber(int row, int column, double value);
    // Writes the file and closes it; raises when the file cannot be written.
    void CloseStream();

private:
    std::string fileName_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
};
