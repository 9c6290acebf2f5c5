// Small text helpers that SQL composition and list labels share. Text is
// UTF-8: lengths are counted in characters, never in bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Encloses `s` in single quotes and doubles every single quote inside it,
// so that the result is one SQL string literal whatever `s` holds.
std::string QuotedStr(const std::string& s);

// Pads `s` with blanks up to `n` characters; a longer (or equally long) `s`
// comes back unchanged, never shortened.
std::string PadRight(const std::string& s, int n);

// The `n`-th piece (counted from 1) of `s` cut at every occurrence of
// `separator`. Empty when there are fewer pieces or `n` is below 1; an empty
// separator leaves `s` as its only piece.
std::string GetToken(const std::string& s, const std::string& separator, int n);

// Number of UTF-8 characters in `s` (continuation bytes do not count).
size_t Utf8Length(const std::string& s);

// Length of `s` in UTF-16 code units, as a spreadsheet measures a cell's
// text: a character outside the Basic Multilingual Plane (a 4-byte UTF-8
// sequence) counts twice.
size_t Utf16Length(const std::string& s);

// Reads `text` as a plain decimal number: optional blanks, sign, digits
// with at most one point, optional exponent. Anything else is refused,
// including "inf", "nan", hexadecimal ("0x1A") and numbers too large for a
// double; `value` is only set on success.
bool ParseDecimalNumber(std::string_view text, double& value);

// The first `n` UTF-8 characters of `s`; never cuts a character in half.
std::string Utf8Left(const std::string& s, size_t n);

// `text` (blanks around it ignored) as a whole decimal integer; `fallback`
// when it is empty, holds anything else or does not fit.
int StrToIntDef(const std::string& text, int fallback);

// `s` without leading and trailing blanks and control characters, as the
// runtime's Trim does; TrimRight only at the end.
std::string Trim(const std::string& s);
std::string TrimRight(const std::string& s);

// The lines of `text` (cut at every "\n"), each trimmed as Trim does. Text
// ending in a line break has an empty last line; empty text is one empty line.
std::vector<std::string> TrimmedLines(const std::string& text);

// `s` without leading and trailing spaces and tabs only: for text in which a
// line break or another control character is content, not padding.
std::string TrimBlanks(const std::string& s);

// `s` without the trailing spaces that pad a CHAR(n) value; a trailing tab
// or line break is data and stays, as SQL's RTRIM keeps it.
std::string TrimPadding(const std::string& s);

// ASCII letters upper-cased (lower-cased); other bytes (Chinese text)
// unchanged, whatever the process locale.
std::string UpperCase(std::string s);
std::string LowerCase(std::string s);

}  // namespace plat
