// Number masks: section choice, rounding to the mask's decimals (a tie away
// from zero), grouping.
#include "NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "Format.h"
#include "Variant.h"

namespace vcl {

namespace {

std::vector<std::string> Sections(const std::string& mask) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : mask) {
        if (quote) {
            if (c == quote) quote = 0;
            out.back() += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            out.back() += c;
        } else if (c == ';') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

std::string Apply(const std::string& section, double value) {
    // Locate the digit placeholders: everything before the first one is a
    // prefix, everything after the last one a suffix.
    size_t first = std::string::npos, last = std::string::npos;
    char quote = 0;
    for (size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        if (quote) { if (c == quote) quote = 0; continue; }
        if (c == '"' || c == '\'') { quote = c; continue; }
        if (c == '0' || c == '#' || c == '.' || c == ',') {
            if (first == std::string::npos) first = i;
            last = i;
        }
    }
    auto literal = [](const std::string& s) {
        std::string out;
        for (char c : s)
            if (c != '"' && c != '\'') out += c;
        return out;
    };
    if (first == std::string::npos) return literal(section);
    std::string body = section.substr(first, last - first + 1);
    size_t point = body.find('.');
    std::string intPart = body.substr(0, point), fracPart = point == std::string::npos ? "" : body.substr(point + 1);
    bool thousands = intPart.find(',') != std::string::npos;
    int minInt = 0, minFrac = 0, maxFrac = 0;
    for (char c : intPart) if (c == '0') ++minInt;
    for (char c : fracPart) {
        if (c == '0') { ++minFrac; ++maxFrac; }
        else if (c == '#') ++maxFrac;
    }
    std::string digits = plat::FixedPoint(std::fabs(value), maxFrac);   // a tie rounds away from zero
    std::string whole = digits.substr(0, digits.find('.'));
    std::string frac = maxFrac > 0 ? digits.substr(digits.find('.') + 1) : "";
    while (static_cast<int>(frac.size()) > minFrac && !frac.empty() && frac.back() == '0') frac.pop_back();
    if (whole == "0" && minInt == 0) whole.clear();
    while (static_cast<int>(whole.size()) < minInt) whole.insert(0, "0");
    if (thousands)
        for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(static_cast<size_t>(i), ",");
    std::string number = whole;
    if (!frac.empty()) number += "." + frac;
    return literal(section.substr(0, first)) + number + literal(section.substr(last + 1));
}

}  // namespace

std::string FormatFloat(const std::string& mask, double value) {
    if (mask.empty()) return plat::FloatToStr(value);
    std::vector<std::string> sections = Sections(mask);
    if (value == 0 && sections.size() >= 3 && !sections[2].empty()) return Apply(sections[2], value);
    if (value < 0 && sections.size() >= 2 && !sections[1].empty()) return Apply(sections[1], value);
    std::string text = Apply(sections[0], value);
    // A negative value shown through the positive section keeps its sign,
    // unless it rounds to zero at the mask's precision.
    if (value < 0 && text.find_first_of("123456789") != std::string::npos) text.insert(0, "-");
    return text;
}

}  // namespace vcl
