// Quoting, padding and splitting of UTF-8 text. Padding and truncation count
// characters so that Chinese text lines up like any other.
#include "StrUtils.h"

namespace plat {

namespace {
bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

std::string QuotedStr(const std::string& s) {
    std::string out;
    out.reserve(s.size() + 2);
    out += '\'';
    for (char c : s) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

size_t Utf8Length(const std::string& s) {
    size_t count = 0;
    for (unsigned char c : s)
        if (!IsContinuationByte(c)) ++count;
    return count;
}

std::string Utf8Left(const std::string& s, size_t n) {
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsContinuationByte(static_cast<unsigned char>(s[i]))) continue;
        if (chars == n) return s.substr(0, i);
        ++chars;
    }
    return s;
}

std::string PadRight(const std::string& s, int n) {
    size_t length = Utf8Length(s);
    if (n <= 0 || length >= static_cast<size_t>(n)) return s;
    return s + std::string(static_cast<size_t>(n) - length, ' ');
}

std::string GetToken(const std::string& s, const std::string& separator, int n) {
    if (n < 1) return {};
    if (separator.empty()) return n == 1 ? s : std::string();
    size_t start = 0;
    for (int piece = 1;; ++piece) {
        size_t end = s.find(separator, start);
        if (piece == n) return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos) return {};
        start = end + separator.size();
    }
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(0, e);
}

std::string UpperCase(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace plat
