// Opening a document of the tree in the program that maintains it: the key
// text a click on a node shows, and the program code and SQL condition that
// "开启" hands to the host for the key shown.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace ortk41 {

// The key text shown for a node of `kind`: the first 21 characters of its
// own text, of its grandparent's (routing steps) or the first 42 of its
// grandparent's (write-off records: the invoice line's key and date);
// empty for kind 0.
std::string NodeKeyText(int kind, const std::string& ownText, const std::string& grandparentText);

struct Opening {
    std::string ProgramCode;
    std::string Condition;
};

// The program and condition for the key text shown; nullopt for kind 0 and
// kinds outside the table. `displayDateToDb` turns the displayed invoice date
// of a write-off key back into "YYYYMMDD".
std::optional<Opening> OpeningFor(int kind, const std::string& keyText,
                                  const std::function<std::string(const std::string&)>& displayDateToDb);

// The first `n` characters of `s` counted from position `from` (1-based);
// a shorter text gives what there is.
std::string Characters(const std::string& s, size_t from, size_t n);

}  // namespace ortk41
