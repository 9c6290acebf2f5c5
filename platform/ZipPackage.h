// Checking that a written zip package of XML parts (an .xlsx workbook) is
// whole before it is given to the user. The spreadsheet library assembles
// its parts in temporary files and does not notice when writing them fails
// (a full disk, a file-size limit): it then zips cut-off XML and reports
// success. Every part is therefore inflated once and must match its size
// and checksum and, for XML, end with the closing tag of its root element.
#pragma once

#include <string>

namespace plat {

// Raises std::runtime_error naming the first damaged part, or the file when
// it is no zip. A package in ZIP64 form (over 4 GB) is not inspected.
void VerifyXmlPackage(const std::string& path);

}  // namespace plat
