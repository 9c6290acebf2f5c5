// Files that appear whole or not at all: a temporary file beside the target,
// an exclusive rename that never replaces a file, the check that a zip
// package of XML parts is whole, and a library's standard error caught.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "SafeFile.h"
#include "StrUtils.h"
#include "TempEnvironment.h"
#include "ZipPackage.h"

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

size_t EntryCount(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A zip of stored (uncompressed) entries, as small as the format allows.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries) {
    auto u16 = [](std::string& s, uint32_t v) { s += char(v & 0xFF), s += char(v >> 8 & 0xFF); };
    auto u32 = [&](std::string& s, uint32_t v) { u16(s, v & 0xFFFF), u16(s, v >> 16); };
    std::string zip, dir;
    for (const auto& [name, data] : entries) {
        uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        uint32_t offset = static_cast<uint32_t>(zip.size());
        u32(zip, 0x04034b50), u16(zip, 10), u16(zip, 0), u16(zip, 0), u32(zip, 0), u32(zip, crc);
        u32(zip, static_cast<uint32_t>(data.size())), u32(zip, static_cast<uint32_t>(data.size()));
        u16(zip, static_cast<uint32_t>(name.size())), u16(zip, 0);
        zip += name + data;
        u32(dir, 0x02014b50), u16(dir, 20), u16(dir, 10), u16(dir, 0), u16(dir, 0), u32(dir, 0), u32(dir, crc);
        u32(dir, static_cast<uint32_t>(data.size())), u32(dir, static_cast<uint32_t>(data.size()));
        u16(dir, static_cast<uint32_t>(name.size())), u16(dir, 0), u16(dir, 0), u16(dir, 0), u16(dir, 0), u32(dir, 0);
        u32(dir, offset);
        dir += name;
    }
    uint32_t dirOffset = static_cast<uint32_t>(zip.size());
    zip += dir;
    u32(zip, 0x06054b50), u16(zip, 0), u16(zip, 0), u16(zip, static_cast<uint32_t>(entries.size()));
    u16(zip, static_cast<uint32_t>(entries.size())), u32(zip, static_cast<uint32_t>(dir.size())), u32(zip, dirOffset), u16(zip, 0);
    return zip;
}

}  // namespace

TEST(PendingFile, PutInPlaceWholeOnlyUnderAFreeNameAndNeverLeftBehind) {
    ortktest::TempFolder folder;
    std::string target = folder.Path() + "out.xlsx";
    {
        plat::PendingFile file(target);
        EXPECT_EQ(fs::path(file.Path()).parent_path(), fs::path(target).parent_path());   // same folder: a rename
        EXPECT_FALSE(fs::exists(target));
        Write(file.Path(), "first");
        file.PublishExclusive();
    }
    EXPECT_EQ(ReadAll(target), "first");
    EXPECT_EQ(EntryCount(folder.Path()), 1u);
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_NE(info.st_mode & S_IRGRP, 0u) << "a saved file gets the usual rights, not a temporary file's";

    // The name is taken: refused, the file there untouched, nothing left.
    {
        plat::PendingFile file(target);
        Write(file.Path(), "second");
        EXPECT_THROW(file.PublishExclusive(), plat::FileExistsError);
    }
    EXPECT_EQ(ReadAll(target), "first");
    EXPECT_EQ(EntryCount(folder.Path()), 1u);

    // A workbook's own file is replaced; an abandoned one leaves nothing.
    {
        plat::PendingFile file(target);
        Write(file.Path(), "again");
        file.PublishReplacing();
    }
    EXPECT_EQ(ReadAll(target), "again");
    { plat::PendingFile abandoned(folder.Path() + "never.xlsx"); }
    EXPECT_EQ(EntryCount(folder.Path()), 1u);

    // A folder that cannot take the file fails at once.
    EXPECT_THROW(plat::PendingFile(folder.Path() + "missing/x.xlsx"), plat::FileError);
}

TEST(ZipPackage, AWholePackagePassesACutOffPartOrFileDoesNot) {
    ortktest::TempFolder folder;
    const std::string decl = "<?xml version=\"1.0\"?>\n";
    std::string whole = folder.Write(
        "whole.xlsx", StoredZip({{"[Content_Types].xml", decl + "<Types a=\"1\"><Default/></Types>\n"},
                                 {"xl/worksheets/sheet1.xml", decl + "<worksheet><sheetData/></worksheet>"},
                                 {"docProps/empty.xml", decl + "<Properties/>"}}));
    EXPECT_NO_THROW(plat::VerifyXmlPackage(whole));

    // What the spreadsheet library zips when its temporary part was cut off.
    std::string cut = folder.Write("cut.xlsx", StoredZip({{"xl/sharedStrings.xml", decl + "<sst><si><t>螺丝</t></si><si><t>螺"}}));
    try {
        plat::VerifyXmlPackage(cut);
        ADD_FAILURE() << "a cut-off part was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(std::string(e.what()), HasSubstr("xl/sharedStrings.xml")) << e.what();
    }
    std::string bytes = ReadAll(whole);
    std::string truncated = folder.Write("truncated.xlsx", bytes.substr(0, bytes.size() - 30));
    EXPECT_THROW(plat::VerifyXmlPackage(truncated), std::runtime_error);
    std::string flipped = bytes;
    flipped[60] ^= 0x20;   // inside the first part's data: the checksum no longer matches
    EXPECT_THROW(plat::VerifyXmlPackage(folder.Write("flipped.xlsx", flipped)), std::runtime_error);
    EXPECT_THROW(plat::VerifyXmlPackage(folder.Write("text.xlsx", "not a zip at all")), std::runtime_error);
}

TEST(CapturedStderr, KeepsALibrarysMessagesOffTheTerminalUntilReleased) {
    std::string text;
    {
        plat::CapturedStderr captured;
        std::fprintf(stderr, "[ERROR] workbook_close(): cannot write\n");
        text = captured.Release();
    }
    EXPECT_EQ(text, "[ERROR] workbook_close(): cannot write\n");
    plat::CapturedStderr nothing;
    EXPECT_EQ(nothing.Release(), "");
}

TEST(TextMeasures, Utf16LengthCountsAsASpreadsheetDoes) {
    EXPECT_EQ(plat::Utf16Length("abc"), 3u);
    EXPECT_EQ(plat::Utf16Length("螺丝"), 2u);              // 6 bytes, 2 code units
    EXPECT_EQ(plat::Utf16Length("\xF0\x9F\x98\x80"), 2u);  // outside the BMP: a surrogate pair
    double v = 0;
    for (const char* lax : {"nan", "inf", "-INF", "0x1A", "1e", ".", "1e999"}) EXPECT_FALSE(plat::ParseDecimalNumber(lax, v)) << lax;
    ASSERT_TRUE(plat::ParseDecimalNumber(" -12.5e1 ", v));
    EXPECT_EQ(v, -125);
}
