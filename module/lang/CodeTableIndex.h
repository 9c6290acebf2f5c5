// Positions of double-byte characters in the two tables of the "Language"
// file. The GB table is laid out over the GBK code space region by region,
// the Big5 table over the Big5 code space lead byte by lead byte; a line of
// the file is the entry at its position. Shared by the table-driven
// conversion and by the tool that writes the file, so that both agree on
// every position.
#pragma once

#include <cstdint>

namespace codetable {

// Entries in the GB table: GB2312 rows (0-8177, rows 0xAA-0xAF included as
// a gap), then the GBK regions 0x81-0xA0, 0xAA-0xFE (second byte below
// 0xA1) and 0xA8-0xA9 (second byte below 0xA1).
inline constexpr int kGbTableSize = 22729;
// Entries in the Big5 table: lead bytes 0xA1-0xFE, 157 second bytes each.
inline constexpr int kBig5TableSize = 14758;

// A GB character starts with a byte of at least 129 followed by a byte of
// at least 0x40 other than 127. No GB character has a second byte below
// 0x40: such a byte (an ASCII digit, a blank, a control character) is a
// character of its own, so the lead byte before it stands alone and the
// byte is read again as the next character. (The old rule took any second
// byte but 127 and let the index formulas below go negative, which turned
// "\xB0" "0A" into an unrelated character and lost the "0".)
constexpr bool IsGbPair(uint8_t first, uint8_t second) { return first >= 129 && second >= 0x40 && second != 127; }

// Position of the GB character (first, second) in the GB table; -1 when it
// has none (always for a second byte below 0x40, see IsGbPair).
constexpr int GbIndex(uint8_t first, uint8_t second) {
    const int a = first, c = second;
    if (c < 0x40) return -1;
    if (((a >= 161 && a <= 169) || (a >= 176 && a <= 247)) && c >= 161 && c <= 254) return a * 94 + c - 15295;
    const int r = c - 64;
    if (a >= 129 && a <= 160 && r <= 190) return r + a * 191 - 16461;
    if (a >= 170 && a <= 254 && r <= 96) return r + a * 97 - 2200;
    if ((a == 168 || a == 169) && r <= 96) return r + a * 97 + 6239;
    return -1;
}

// A Big5 character starts with a byte of at least 0x80 followed by a byte
// in 64-126 or 161-254.
constexpr bool IsBig5Pair(uint8_t first, uint8_t second) {
    return first >= 0x80 && ((second >= 64 && second <= 126) || (second >= 161 && second <= 254));
}

// Position of the Big5 character (first, second) in the Big5 table; lead
// bytes below 0xA1 give negative positions, which lie outside the table.
constexpr int Big5Index(uint8_t first, uint8_t second) {
    if (second >= 161 && second <= 254) return first * 157 + second - 25375;
    if (second >= 64 && second <= 126) return first * 157 + second - 25341;
    return -1;
}

// The euro sign: a single byte in code page 936, a pair in Big5.
inline constexpr uint8_t kGbEuro = 0x80;
inline constexpr uint8_t kBig5EuroFirst = 0xA3, kBig5EuroSecond = 0xE1;

}  // namespace codetable
