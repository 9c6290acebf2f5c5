// TXLSExport: writes a spreadsheet file directly, without the spreadsheet
// application: the file filter of the data-set export "without format".
// Cells are written by (row, column, kind, text), rows and columns from 0,
// kind 2 for a number and 3 for a text. The file is an Office Open XML
// workbook of one sheet whatever the file's extension.
//
// The file appears whole or not at all: CreateStream takes a temporary file
// in the target's folder at once (so a folder that cannot take the file
// fails before the run), CloseStream writes it, checks it and gives it the
// target's name only when no file has that name.
#pragma once

#include <memory>
#include <string>

#include "SafeFile.h"

struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;

class TXLSExport {
public:
    static constexpr int kNumber = 2;
    static constexpr int kText = 3;

    explicit TXLSExport(std::string fileName);
    // A stream still open is discarded with its temporary file.
    ~TXLSExport();
    TXLSExport(const TXLSExport&) = delete;
    TXLSExport& operator=(const TXLSExport&) = delete;

    const std::string& FileName() const { return fileName_; }
    // Starts the workbook for `fileName`; raises plat::FileError when no
    // file can be created in its folder.
    void CreateStream(const std::string& fileName);
    // A number cell takes `text` read as a plain decimal number (any other
    // text, "inf", "nan" and "0x1A" among them, is written as text). A text
    // longer than a cell holds (32,767 UTF-16 code units) becomes an error
    // cell. Raises without an open stream.
    void WriteCell(int row, int column, int kind, const std::string& text);
    // A value that is not finite becomes an error cell.
    void WriteNumber(int row, int column, double value);
    // "Error!" in red: a value that no cell can hold.
    void WriteErrorCell(int row, int column);
    // Writes the file and puts it in place. Raises plat::FileExistsError
    // when a file of that name appeared meanwhile, std::runtime_error (with
    // the library's own messages) for every other failure; either way no
    // file and no temporary file is left.
    void CloseStream();

private:
    void Check(int result, int row, int column) const;

    std::string fileName_;
    std::unique_ptr<plat::PendingFile> file_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* errorFormat_ = nullptr;
};
