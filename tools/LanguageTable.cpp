// ortk-language-table: writes the "Language" table file of the table-driven
// GB/Big5 conversion.
//
//   ortk-language-table <output file> [<OpenCC data folder>]
//
// Every position of both tables gets one line, in table order, so that a
// reader finds a character's entry at the position its code gives:
//   [BIG5]                 Big5 lead bytes 0xA1-0xFE, second bytes 0x40-0x7E
//   BIG5A440=$D2BB         and 0xA1-0xFE: the GB code of the character in
//   ...                    simplified script
//   [GB]                   GB2312 rows first, then the other GBK regions in
//   GBB0A1=$B0FC           the order of their positions: the Big5 code of
//   ...                    the character in traditional script
// A character is decoded with iconv (CP950 or CP936), turned into the other
// script with OpenCC ("tw2s.json" or "s2tw.json") and encoded in the other
// code page. Where any step fails, or the result is not one double-byte
// character, the entry is $0000 and the conversion falls back to the
// operating system at run time.
#include <iconv.h>
#include <opencc.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "CodeTableIndex.h"

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // "" when the input does not convert completely.
    std::string Convert(const std::string& input) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(input.size() * 4 + 8, '\0');
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return {};
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

class OpenCC {
public:
    explicit OpenCC(const std::string& config) : handle_(opencc_open(config.c_str())) {
        if (handle_ == reinterpret_cast<opencc_t>(-1)) throw std::runtime_error("OpenCC cannot open " + config + ": " + opencc_error());
    }
    ~OpenCC() { opencc_close(handle_); }
    OpenCC(const OpenCC&) = delete;
    OpenCC& operator=(const OpenCC&) = delete;

    std::string Convert(const std::string& text) {
        char* out = opencc_convert_utf8(handle_, text.data(), text.size());
        if (!out) return {};
        std::string result(out);
        opencc_convert_utf8_free(out);
        return result;
    }

private:
    opencc_t handle_;
};

// One character in code page `from` through OpenCC into code page `to`;
// 0 when it does not give exactly one double-byte character.
uint16_t Map(Iconv& decode, OpenCC& script, Iconv& encode, uint8_t first, uint8_t second) {
    std::string utf8 = decode.Convert(std::string{static_cast<char>(first), static_cast<char>(second)});
    if (utf8.empty()) return 0;
    std::string other = script.Convert(utf8);
    if (other.empty()) return 0;
    std::string bytes = encode.Convert(other);
    if (bytes.size() != 2 || static_cast<uint8_t>(bytes[0]) < 0x81) return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) << 8 | static_cast<uint8_t>(bytes[1]));
}

struct Entry {
    uint16_t Code = 0;     // the character's own code; 0 for a position no code reaches
    uint16_t Target = 0;
};

std::string Hex4(uint16_t value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X", value);
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: ortk-language-table <output file> [<OpenCC data folder>]\n";
        return 2;
    }
    const std::string output = argv[1];
    const std::string data = argc > 2 ? std::string(argv[2]) + "/" : std::string();
    try {
        Iconv fromGb("UTF-8", "CP936"), toGb("CP936", "UTF-8");
        Iconv fromBig5("UTF-8", "CP950"), toBig5("CP950", "UTF-8");
        OpenCC toTraditional(data + "s2tw.json"), toSimplified(data + "tw2s.json");

        std::vector<Entry> big5(codetable::kBig5TableSize), gb(codetable::kGbTableSize);
        int big5Mapped = 0, gbMapped = 0;
        for (int first = 0xA1; first <= 0xFE; ++first)
            for (int second = 0x40; second <= 0xFE; ++second) {
                if (!codetable::IsBig5Pair(first, second)) continue;
                int index = codetable::Big5Index(first, second);
                Entry& e = big5.at(static_cast<size_t>(index));
                if (e.Code) throw std::runtime_error("two Big5 codes share position " + std::to_string(index));
                e.Code = static_cast<uint16_t>(first << 8 | second);
                e.Target = Map(fromBig5, toSimplified, toGb, first, second);
                big5Mapped += e.Target != 0;
            }
        for (int first = 0x81; first <= 0xFE; ++first)
            for (int second = 0x40; second <= 0xFE; ++second) {
                if (second == 0x7F) continue;
                int index = codetable::GbIndex(first, second);
                // Rows 0xAA-0xAF of the GB2312 block hold no characters, but
                // their positions are part of the table: name them, map nothing.
                bool gapRow = first >= 0xAA && first <= 0xAF && second >= 0xA1 && second <= 0xFE;
                if (gapRow) index = first * 94 + second - 15295;
                if (index < 0) continue;
                Entry& e = gb.at(static_cast<size_t>(index));
                if (e.Code) throw std::runtime_error("two GB codes share position " + std::to_string(index));
                e.Code = static_cast<uint16_t>(first << 8 | second);
                e.Target = gapRow ? 0 : Map(fromGb, toTraditional, toBig5, first, second);
                gbMapped += e.Target != 0;
            }

        std::filesystem::path tmp = output + ".tmp";
        {
            std::ofstream out(tmp, std::ios::binary);
            out << "[BIG5]\r\n";
            for (const Entry& e : big5) out << "BIG5" << Hex4(e.Code) << "=$" << Hex4(e.Target) << "\r\n";
            out << "\r\n[GB]\r\n";
            for (const Entry& e : gb) out << "GB" << Hex4(e.Code) << "=$" << Hex4(e.Target) << "\r\n";
            if (!out) throw std::runtime_error("cannot write " + tmp.string());
        }
        std::filesystem::rename(tmp, output);
        std::cout << output << ": " << big5.size() << " Big5 positions (" << big5Mapped << " mapped), " << gb.size()
                  << " GB positions (" << gbMapped << " mapped)\n";
    } catch (const std::exception& e) {
        std::cerr << "ortk-language-table: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
