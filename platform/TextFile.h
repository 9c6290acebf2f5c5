// Reading a text file the way Windows programs of the suite expect: settings
// and registry files may be UTF-8 (with or without a byte-order mark), UTF-16
// with a byte-order mark (what the registry editor exports), or bytes in the
// system ANSI code page (what older installers wrote). Everything comes back
// as UTF-8.
#pragma once

#include <optional>
#include <string>

namespace plat {

// The whole file as UTF-8 text. std::nullopt when the file does not exist, is
// not a regular file or cannot be read. A byte-order mark is removed; a file
// without one that is not valid UTF-8 is taken to be in the system ANSI code
// page (GetACP) and converted.
std::optional<std::string> ReadTextFileUtf8(const std::string& fileName);

// UTF-16 code units (no byte-order mark) to UTF-8; unpaired surrogates
// become U+FFFD.
std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& bytes);

// Text read from a store that should hold UTF-8 but may hold bytes written
// by another program: valid UTF-8 comes back unchanged; otherwise the whole
// text decoded as `codePage` (936 GB, 950 Big5) when every byte of it
// decodes; otherwise the valid sequences kept and each byte that is not part
// of one replaced by U+FFFD. The result is always valid UTF-8.
std::string StoredTextToUtf8(const std::string& bytes, int codePage);

// Converts bytes in a Windows code page (936, 950, 1252, ...) to UTF-8.
// Sequences the code page cannot decode become U+FFFD, so no text is dropped
// silently; an unknown code page is read as Windows-1252.
std::string AnsiToUtf8(const std::string& bytes, int codePage);

}  // namespace plat
