// Decoding of whole text files (BOM detection, UTF-16, ANSI code pages) for
// the INI and registry readers.
#include "TextFile.h"

#include <cstdint>
#include <cstring>

#include <iconv.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "SystemInfo.h"

namespace plat {

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian) {
    std::string out;
    size_t n = bytes.size() / 2;
    auto unit = [&](size_t i) -> char16_t {
        auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    for (size_t i = 0; i < n; ++i) {
        char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            char32_t cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            AppendUtf8(out, cp);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

namespace {

const char* IconvName(int codePage) {
    switch (codePage) {
    case 936: return "CP936";
    case 950: return "CP950";
    case 1252: return "CP1252";
    case 437: return "CP437";
    default: return "CP1252";
    }
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
    size_t i = 0, n = bytes.size();
    while (i < n) {
        // Eight plain ASCII bytes at a time: most stored texts are keys and codes.
        while (i + 8 <= n) {
            uint64_t word;
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if (word & 0x8080808080808080ULL) break;
            i += 8;
        }
        if (i >= n) break;
        auto c = static_cast<unsigned char>(bytes[i]);
        size_t len;
        char32_t cp;
        if (c < 0x80) { ++i; continue; }
        if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
        else return false;
        if (i + len > n) return false;
        for (size_t k = 1; k < len; ++k) {
            auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

std::string AnsiToUtf8(const std::string& bytes, int codePage) {
    iconv_t cd = iconv_open("UTF-8", IconvName(codePage));
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
    std::string out;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // Undecodable or truncated sequence: mark it and go on with the next byte.
            AppendUtf8(out, 0xFFFD);
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

namespace {

// The bytes decoded as `codePage`; false when any sequence does not decode.
bool DecodeStrictly(const std::string& bytes, int codePage, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", IconvName(codePage));
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[4096];
    bool ok = true;
    while (ok && inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) ok = false;
    }
    iconv_close(cd);
    return ok;
}

// Length of the well-formed UTF-8 sequence at bytes[i]; 0 when there is none.
size_t Utf8SequenceAt(const std::string& bytes, size_t i) {
    auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) return 1;
    size_t len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > bytes.size()) return 0;
    return IsValidUtf8(bytes.substr(i, len)) ? len : 0;
}

}  // namespace

std::string StoredTextToUtf8(const std::string& bytes, int codePage) {
    if (IsValidUtf8(bytes)) return bytes;
    std::string decoded;
    if ((codePage == 936 || codePage == 950) && DecodeStrictly(bytes, codePage, decoded)) return decoded;
    std::string out;
    out.reserve(bytes.size() + 8);
    for (size_t i = 0; i < bytes.size();) {
        size_t len = Utf8SequenceAt(bytes, i);
        if (len == 0) {
            AppendUtf8(out, 0xFFFD);
            ++i;
        } else {
            out.append(bytes, i, len);
            i += len;
        }
    }
    return out;
}

std::optional<std::string> ReadTextFileUtf8(const std::string& fileName) {
    std::error_code ec;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, ec)) return std::nullopt;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;

    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
    if (bytes.rfind("\xFF\xFE", 0) == 0) return Utf16ToUtf8(bytes.substr(2), false);
    if (bytes.rfind("\xFE\xFF", 0) == 0) return Utf16ToUtf8(bytes.substr(2), true);
    if (IsValidUtf8(bytes)) return bytes;
    return AnsiToUtf8(bytes, GetACP());
}

}  // namespace plat
