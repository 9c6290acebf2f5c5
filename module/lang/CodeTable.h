// The table-driven GB/Big5 conversion of byte strings that the broker uses
// for message and lookup texts: GB text is bytes in code page 936, Big5 text
// bytes in code page 950. Characters are looked up in the two tables of the
// "Language" file; what the tables do not map goes through the operating
// system's code pages (936 -> UTF-16 -> 950 and back).
//
// The tables are loaded on first use, from the client folder of the
// installation, else from the folder of the running program, and kept until
// ReleaseCodeTables. A missing file is reported once per load attempt with
// "Can't find file Language !!"; the tables then stay empty and every
// character takes the operating-system path.
#pragma once

#include <cstdint>
#include <string>

// GB (936) bytes to Big5 (950) bytes, left to right: the euro byte 0x80
// becomes 0xA3 0xE1, a GB character (a lead byte of at least 0x81 and a
// second byte of at least 0x40 other than 0x7F) becomes its table entry or
// its operating-system conversion ("?" when the system has none either), any
// other byte is copied, a trailing lead byte and a lead byte followed by a
// byte below 0x40 included.
std::string GbToBig5(const std::string& text);

// Big5 (950) bytes to GB (936) bytes: 0xA3 0xE1 becomes 0x80, a Big5
// character becomes its table entry or its operating-system conversion,
// other bytes are copied one by one.
std::string Big5ToGb(const std::string& text);

// Where the table file is found: the client folder's "Language", else the
// program folder's; "" when neither exists.
std::string LanguageTableFileName();

// A load attempt from an explicit file, replacing the tables: false (and the
// message shown, the tables left empty) when the file cannot be read.
bool LoadCodeTables(const std::string& fileName);

// Drops the tables; the next conversion makes a new load attempt.
void ReleaseCodeTables();

// Entries read into the tables (Big5 lines, GB lines); loads them first.
struct CodeTableCounts {
    int Big5 = 0;
    int Gb = 0;
};
CodeTableCounts LoadedCodeTableCounts();

// The character conversions of the operating system for one character of
// code page `fromPage`, into code page `toPage` through UTF-16; "" when the
// character cannot be decoded, "?" when it has no counterpart.
std::string SystemCodePageConvert(const std::string& character, int fromPage, int toPage);
