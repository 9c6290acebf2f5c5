// The text conversions between the component layer and Qt: components keep
// UTF-8 std::string, Qt widgets take QString. One home so that every control
// and the shell's windows convert the same way.
#pragma once

#include <QString>
#include <string>

namespace vcl {

// `s` (UTF-8) as a QString; invalid UTF-8 bytes become replacement characters.
inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace vcl
