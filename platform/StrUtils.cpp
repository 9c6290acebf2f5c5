// Quoting, padding and splitting of UTF-8 text. Padding and truncation count
// characters so that Chinese text lines up like any other.
#include "StrUtils.h"

#include <charconv>
#include <cmath>

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

size_t Utf16Length(const std::string& s) {
    size_t units = 0;
    for (unsigned char c : s) {
        if (IsContinuationByte(c)) continue;
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool ParseDecimalNumber(std::string_view text, double& value) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars alone would also take "inf", "nan" and, in hex mode,
    // hexadecimal digits: the shape is checked first.
    size_t i = 0, digits = 0;
    auto isDigit = [&](size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
    while (isDigit(i)) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (isDigit(i)) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t k = i + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
        if (!isDigit(k)) return false;
        while (isDigit(k)) ++k;
        i = k;
    }
    if (i != text.size()) return false;
    double parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed)) return false;
    value = negative ? -parsed : parsed;
    return true;
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

std::vector<std::string> TrimmedLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(Trim(text.substr(pos, end - pos)));
        pos = end + 1;
    }
    return lines;
}

std::string TrimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string TrimPadding(const std::string& s) {
    size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

std::string UpperCase(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string LowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

int StrToIntDef(const std::string& text, int fallback) {
    const std::string trimmed = Trim(text);
    try {
        size_t used = 0;
        int value = std::stoi(trimmed, &used);
        return used == trimmed.size() ? value : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

}  // namespace plat
