// Table-driven GB/Big5 conversion: reading the "Language" table file,
// addressing its two tables, and the operating-system fallback through
// iconv for characters the tables leave open.
#include "CodeTable.h"

#include <iconv.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "Dialogs.h"
#include "SystemInfo.h"
#include "host/CorvaneIni.h"
#include "lang/CodeTableIndex.h"

namespace {

constexpr const char* kTableFileName = "Language";
constexpr const char* kMissingTableMessage = "Can't find file Language !!";

struct CodeTables {
    std::vector<uint16_t> Big5ToGb;   // position = codetable::Big5Index
    std::vector<uint16_t> GbToBig5;   // position = codetable::GbIndex
    bool Attempted = false;           // a load attempt was made since the last release
};

// Recursive: the missing-file message may run a modal loop that converts again.
std::recursive_mutex& TablesMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

CodeTables& Tables() {
    static CodeTables tables;
    return tables;
}

// The four hexadecimal digits at characters 2-5 of an entry's value; 0 (no
// entry) when they are missing or not upper-case hexadecimal.
uint16_t EntryCode(const std::string& line) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || line.size() < eq + 6) return 0;
    uint16_t code = 0;
    for (size_t i = eq + 2; i < eq + 6; ++i) {
        char ch = line[i];
        int digit;
        if (ch >= '0' && ch <= '9') digit = ch - '0';
        else if (ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
        else return 0;
        code = static_cast<uint16_t>(code << 4 | digit);
    }
    return code;
}

// Reads both tables from `fileName`; false when the file cannot be opened.
bool ReadTables(const std::string& fileName, CodeTables& tables) {
    tables.Big5ToGb.clear();
    tables.GbToBig5.clear();
    std::error_code ec;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, ec)) return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '[') continue;
        if (line.compare(0, 4, "BIG5") == 0) tables.Big5ToGb.push_back(EntryCode(line));
        else if (line.compare(0, 2, "GB") == 0) tables.GbToBig5.push_back(EntryCode(line));
    }
    return true;
}

// One load attempt (the caller holds the lock).
bool LoadLocked(const std::string& fileName) {
    CodeTables& tables = Tables();
    tables.Attempted = true;
    if (ReadTables(fileName, tables)) return true;
    plat::ShowMessage(kMissingTableMessage);
    return false;
}

void EnsureLoadedLocked() {
    if (!Tables().Attempted) LoadLocked(LanguageTableFileName());
}

// The two bytes of a table entry, or "" when the entry is missing or blank.
std::string EntryBytes(const std::vector<uint16_t>& table, int index) {
    if (index < 0 || index >= static_cast<int>(table.size())) return {};
    uint16_t code = table[static_cast<size_t>(index)];
    auto high = static_cast<uint8_t>(code >> 8), low = static_cast<uint8_t>(code & 0xFF);
    if (high == 0 || (high == ' ' && low == ' ')) return {};
    return std::string{static_cast<char>(high), static_cast<char>(low)};
}

const char* IconvName(int codePage) {
    switch (codePage) {
    case 936: return "CP936";
    case 950: return "CP950";
    default: return "CP1252";
    }
}

// An iconv conversion that answers "" when the input cannot be converted
// completely.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (Valid()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::string Convert(const std::string& input) {
        if (!Valid() || input.empty()) return {};
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(input.size() * 4 + 8, '\0');
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return {};
        if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return {};
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

// The operating-system path for one character, with converters the caller
// keeps for the whole text.
std::string SystemConvert(Iconv& decode, Iconv& encode, const std::string& character) {
    std::string wide = decode.Convert(character);
    if (wide.empty()) return "?";
    std::string bytes = encode.Convert(wide);
    return bytes.empty() ? "?" : bytes;
}

}  // namespace

std::string LanguageTableFileName() {
    std::error_code ec;
    TCorvaneIniC settings;
    if (!settings.ClientPath.empty()) {
        std::string candidate = settings.ClientPath + kTableFileName;
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    }
    std::string program = plat::ExecutablePath();
    if (!program.empty()) {
        std::string candidate = (std::filesystem::path(program).parent_path() / kTableFileName).string();
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    }
    return {};
}

bool LoadCodeTables(const std::string& fileName) {
    std::lock_guard lock(TablesMutex());
    return LoadLocked(fileName);
}

void ReleaseCodeTables() {
    std::lock_guard lock(TablesMutex());
    Tables() = CodeTables{};
}

CodeTableCounts LoadedCodeTableCounts() {
    std::lock_guard lock(TablesMutex());
    EnsureLoadedLocked();
    return {static_cast<int>(Tables().Big5ToGb.size()), static_cast<int>(Tables().GbToBig5.size())};
}

std::string SystemCodePageConvert(const std::string& character, int fromPage, int toPage) {
    Iconv decode("UTF-16LE", IconvName(fromPage));
    Iconv encode(IconvName(toPage), "UTF-16LE");
    return SystemConvert(decode, encode, character);
}

std::string GbToBig5(const std::string& text) {
    std::lock_guard lock(TablesMutex());
    EnsureLoadedLocked();
    const std::vector<uint16_t>& table = Tables().GbToBig5;
    // Kept open: the conversions run under the tables' lock.
    static Iconv decode("UTF-16LE", "CP936");
    static Iconv encode("CP950", "UTF-16LE");
    std::string out;
    out.reserve(text.size() + 4);
    size_t i = 0;
    while (i < text.size()) {
        auto a = static_cast<uint8_t>(text[i]);
        if (a == codetable::kGbEuro) {
            out += static_cast<char>(codetable::kBig5EuroFirst);
            out += static_cast<char>(codetable::kBig5EuroSecond);
            ++i;
            continue;
        }
        if (i + 1 < text.size() && codetable::IsGbPair(a, static_cast<uint8_t>(text[i + 1]))) {
            auto c = static_cast<uint8_t>(text[i + 1]);
            std::string mapped = EntryBytes(table, codetable::GbIndex(a, c));
            out += mapped.empty() ? SystemConvert(decode, encode, text.substr(i, 2)) : mapped;
            i += 2;
            continue;
        }
        out += text[i++];
    }
    return out;
}

std::string Big5ToGb(const std::string& text) {
    std::lock_guard lock(TablesMutex());
    EnsureLoadedLocked();
    const std::vector<uint16_t>& table = Tables().Big5ToGb;
    static Iconv decode("UTF-16LE", "CP950");
    static Iconv encode("CP936", "UTF-16LE");
    std::string out;
    out.reserve(text.size() + 4);
    size_t i = 0;
    while (i < text.size()) {
        auto a = static_cast<uint8_t>(text[i]);
        if (i + 1 < text.size() && codetable::IsBig5Pair(a, static_cast<uint8_t>(text[i + 1]))) {
            auto c = static_cast<uint8_t>(text[i + 1]);
            if (a == codetable::kBig5EuroFirst && c == codetable::kBig5EuroSecond) {
                out += static_cast<char>(codetable::kGbEuro);
            } else {
                std::string mapped = EntryBytes(table, codetable::Big5Index(a, c));
                out += mapped.empty() ? SystemConvert(decode, encode, text.substr(i, 2)) : mapped;
            }
            i += 2;
            continue;
        }
        out += text[i++];
    }
    return out;
}
