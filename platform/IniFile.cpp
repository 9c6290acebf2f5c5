// Parsing and lookup of INI settings files (TIniFile).
#include "IniFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "StrUtils.h"
#include "TextFile.h"

namespace plat {

namespace {

bool SameText(const std::string& a, const std::string& b) { return LowerCase(a) == LowerCase(b); }

std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Delphi's StrToInt rules: optional sign, decimal or "$"/"0x" hexadecimal.
bool ParseInteger(const std::string& text, int& result) {
    std::string s = text;
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.erase(0, 1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.erase(0, 2);
    }
    if (s.empty()) return false;
    for (char c : s) {
        bool ok = base == 10 ? (c >= '0' && c <= '9') : std::isxdigit(static_cast<unsigned char>(c)) != 0;
        if (!ok) return false;
    }
    errno = 0;
    long long v = std::strtoll(s.c_str(), nullptr, base);
    if (errno == ERANGE) return false;
    if (negative) v = -v;
    // Hexadecimal literals may spell a negative 32-bit number ($FFFFFFFF = -1).
    if (base == 16 && !negative && v > INT_MAX && v <= static_cast<long long>(UINT_MAX))
        v = static_cast<int>(static_cast<unsigned int>(v));
    if (v < INT_MIN || v > INT_MAX) return false;
    result = static_cast<int>(v);
    return true;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    if (auto text = ReadTextFileUtf8(fileName_)) Parse(*text);
}

void TIniFile::Parse(const std::string& text) {
    Section* current = nullptr;
    for (const std::string& line : TrimmedLines(text)) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            auto [it, inserted] = sectionIndex_.emplace(LowerCase(name), sections_.size());
            if (inserted) sections_.push_back(Section{name, {}});
            current = &sections_[it->second];
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        std::string name = Trim(line.substr(0, eq));
        if (name.empty()) continue;
        current->entries.push_back(Entry{name, Unquote(Trim(line.substr(eq + 1)))});
    }
}

const TIniFile::Section* TIniFile::FindSection(const std::string& name) const {
    auto it = sectionIndex_.find(LowerCase(Trim(name)));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const TIniFile::Entry* TIniFile::FindEntry(const std::string& section, const std::string& key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    std::string wanted = Trim(key);
    for (const Entry& e : s->entries)
        if (SameText(e.name, wanted)) return &e;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    const Entry* e = FindEntry(section, key);
    return e ? e->value : defaultValue;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const {
    const Entry* e = FindEntry(section, key);
    int value;
    return e && ParseInteger(e->value, value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
    std::vector<std::string> names;
    const Section* s = FindSection(section);
    if (!s) return names;
    for (const Entry& e : s->entries) {
        bool seen = false;
        for (const std::string& n : names) seen = seen || SameText(n, e.name);
        if (!seen) names.push_back(e.name);
    }
    return names;
}

std::vector<std::string> TIniFile::ReadSectionValues(const std::string& section) const {
    std::vector<std::string> lines;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries) lines.push_back(e.name + "=" + e.value);
    return lines;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

bool TIniFile::SectionExists(const std::string& section) const {
    const Section* s = FindSection(section);
    return s && !s->entries.empty();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return FindEntry(section, key) != nullptr;
}

}  // namespace plat
