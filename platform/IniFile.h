// TIniFile: read access to a settings file in Windows INI format, with the
// semantics programs written against the Windows profile API rely on.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace plat {

// The file is read once, when the object is created; a missing or unreadable
// file reads as an empty file (every read answers its default).
//
// Format rules:
// - "[Section]" starts a section; "name=value" lines belong to the section
//   above them; lines before the first section, lines without "=" or with an
//   empty name, and comment lines (first non-blank character ";") are ignored.
// - Section and key names compare case-insensitively (ASCII letters).
// - Names and values are trimmed; a value enclosed in a matching pair of
//   double or single quotes loses the quotes. Text after the value, such as
//   "; note", is part of the value, as it is on Windows.
// - A key that occurs twice in a section answers its first value; a section
//   that occurs twice is one section with the lines of both, in file order.
// - Encoding: UTF-8 with or without BOM, UTF-16 with BOM, or the system ANSI
//   code page (see ReadTextFileUtf8).
class TIniFile {
public:
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }

    // The value of the key, or `defaultValue` when the section or key is
    // missing. A key present with an empty value answers "".
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Decimal, "$hex" or "0xhex" with an optional sign; anything else, and
    // values outside 32 bits, answer `defaultValue`.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    // An integer value other than 0 is true, 0 is false; anything else (also
    // "true"/"false") answers `defaultValue`.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    // Key names of the section in file order (duplicates listed once).
    std::vector<std::string> ReadSection(const std::string& section) const;
    // Every line of the section as "name=value", in file order, duplicates
    // included with their own values.
    std::vector<std::string> ReadSectionValues(const std::string& section) const;
    // Section names in file order, as first written.
    std::vector<std::string> ReadSections() const;

    // True when the section holds at least one key (an empty "[Section]"
    // header alone does not count, as with the Windows profile API).
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

private:
    struct Entry {
        std::string name;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    void Parse(const std::string& text);
    const Section* FindSection(const std::string& name) const;
    const Entry* FindEntry(const std::string& section, const std::string& key) const;

    std::string fileName_;
    std::vector<Section> sections_;
    std::map<std::string, size_t> sectionIndex_;   // lower-case name -> index into sections_
};

}  // namespace plat
