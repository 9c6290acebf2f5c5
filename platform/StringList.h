// An ordered list of text lines that also reads as name=value pairs, as the
// runtime's string list does: the system parameters and the user
// information of a window are kept this way.
#pragma once

#include <string>
#include <vector>

namespace plat {

class TStringList {
public:
    // Appends a line and answers its index.
    int Add(const std::string& line);
    int Count() const { return static_cast<int>(lines_.size()); }
    void Clear() { lines_.clear(); }
    // Raises plat::Exception for an index outside 0..Count-1.
    void Delete(int index);
    const std::string& operator[](int index) const;
    std::string& operator[](int index);

    // Name part of line `index` (text before the first "="); empty for a
    // line without "=".
    std::string Names(int index) const;
    // Index of the first line whose name equals `name` without regard to
    // case; -1 when there is none.
    int IndexOfName(const std::string& name) const;
    // Value of the first line named `name`; empty when there is none.
    std::string Values(const std::string& name) const;
    // Replaces the value of the line named `name`, or appends "name=value".
    // An empty value removes the line, as the runtime does.
    void SetValue(const std::string& name, const std::string& value);

    // All lines, each followed by a line break.
    std::string Text() const;
    // Replaces the lines by those of `text`, which may break lines with
    // CR LF, LF or CR; a final line break does not add an empty line.
    void SetText(const std::string& text);

private:
    void CheckIndex(int index) const;
    std::vector<std::string> lines_;
};

}  // namespace plat
