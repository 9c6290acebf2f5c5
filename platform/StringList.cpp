// Lines and name=value pairs. Names compare without regard to (ASCII) case;
// values are returned exactly as stored, blanks included.
#include "StringList.h"

#include <strings.h>

#include "Exceptions.h"

namespace plat {

namespace {
bool SameName(const std::string& line, size_t nameLength, const std::string& name) {
    return nameLength == name.size() && strncasecmp(line.c_str(), name.c_str(), nameLength) == 0;
}
}  // namespace

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

int TStringList::Add(const std::string& line) {
    lines_.push_back(line);
    return Count() - 1;
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    lines_.erase(lines_.begin() + index);
}

const std::string& TStringList::operator[](int index) const {
    CheckIndex(index);
    return lines_[static_cast<size_t>(index)];
}

std::string& TStringList::operator[](int index) {
    CheckIndex(index);
    return lines_[static_cast<size_t>(index)];
}

std::string TStringList::Names(int index) const {
    const std::string& line = (*this)[index];
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

int TStringList::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& line = lines_[static_cast<size_t>(i)];
        size_t eq = line.find('=');
        if (eq != std::string::npos && SameName(line, eq, name)) return i;
    }
    return -1;
}

std::string TStringList::Values(const std::string& name) const {
    int i = IndexOfName(name);
    if (i < 0) return {};
    const std::string& line = lines_[static_cast<size_t>(i)];
    return line.substr(line.find('=') + 1);
}

void TStringList::SetValue(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    if (i < 0) Add(name + "=" + value);
    else lines_[static_cast<size_t>(i)] = name + "=" + value;
}

std::string TStringList::Text() const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\n";
    return text;
}

void TStringList::SetText(const std::string& text) {
    lines_.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines_.push_back(text.substr(start));
            break;
        }
        lines_.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

}  // namespace plat
