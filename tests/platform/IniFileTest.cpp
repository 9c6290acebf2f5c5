// Reading INI settings files: lookup rules, defaults, sections, encodings.
#include <gtest/gtest.h>

#include "IniFile.h"
#include "TempEnvironment.h"

using plat::TIniFile;
using ortktest::ScopedEnv;
using ortktest::TempFolder;

namespace {

const char* kSample =
    "; installation settings\r\n"
    "[Client Components]\r\n"
    "LangType = CHT \r\n"
    "GridViewDataPath=D:\\grid\\\r\n"
    "\r\n"
    "[Server Information]\r\n"
    "ComputerName=host1;host2\r\n"
    "ServerPort=300\r\n"
    "  ; SupportCallBack=1\r\n"
    "Empty=\r\n"
    "Quoted=\"  padded  \"\r\n"
    "Note=value ; not a comment\r\n"
    "Expr=a=b\r\n"
    "[WorkDLLPath]\r\n"
    "2=\\lib\r\n"
    "1=C_PKG\\\r\n"
    "2=again\r\n"
    "[Empty Section]\r\n";

}  // namespace

TEST(IniFile, LooksUpSectionsAndKeysWhateverTheirCase) {
    TempFolder dir;
    TIniFile ini(dir.Write("a.ini", kSample));
    EXPECT_EQ(ini.ReadString("client components", "LANGTYPE", "ENG"), "CHT");
    EXPECT_EQ(ini.ReadString("SERVER INFORMATION", "computername", ""), "host1;host2");
    EXPECT_TRUE(ini.ValueExists("server information", "SERVERPORT"));
    EXPECT_TRUE(ini.SectionExists("workdllpath"));
}

TEST(IniFile, AnswersDefaultsOnlyForMissingEntries) {
    TempFolder dir;
    TIniFile ini(dir.Write("a.ini", kSample));
    EXPECT_EQ(ini.ReadString("Server Information", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("No Such Section", "ComputerName", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Server Information", "Empty", "dflt"), "");
    // A commented-out key does not exist.
    EXPECT_FALSE(ini.ValueExists("Server Information", "SupportCallBack"));
    EXPECT_EQ(ini.ReadString("Server Information", "; SupportCallBack", "none"), "none");
}

TEST(IniFile, TrimsValuesStripsQuotesAndKeepsTheRestOfTheLine) {
    TempFolder dir;
    TIniFile ini(dir.Write("a.ini", kSample));
    EXPECT_EQ(ini.ReadString("Client Components", "LangType", ""), "CHT");
    EXPECT_EQ(ini.ReadString("Server Information", "Quoted", ""), "  padded  ");
    EXPECT_EQ(ini.ReadString("Server Information", "Note", ""), "value ; not a comment");
    EXPECT_EQ(ini.ReadString("Server Information", "Expr", ""), "a=b");
    EXPECT_EQ(ini.ReadString("Client Components", "GridViewDataPath", ""), "D:\\grid\\");
}

TEST(IniFile, ReadsIntegersAndBooleansWithDefaultsForBadText) {
    TempFolder dir;
    TIniFile ini(dir.Write("n.ini",
                           "[N]\nDec=300\nNeg=-7\nHex=$1F\nHex2=0x10\nBad=12a\nBig=99999999999\n"
                           "One=1\nZero=0\nWord=TRUE\n"));
    EXPECT_EQ(ini.ReadInteger("N", "Dec", 211), 300);
    EXPECT_EQ(ini.ReadInteger("N", "Neg", 0), -7);
    EXPECT_EQ(ini.ReadInteger("N", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "Hex2", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "Bad", 211), 211);
    EXPECT_EQ(ini.ReadInteger("N", "Big", 211), 211);
    EXPECT_EQ(ini.ReadInteger("N", "Missing", 211), 211);
    EXPECT_TRUE(ini.ReadBool("N", "One", false));
    EXPECT_FALSE(ini.ReadBool("N", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "Word", true));    // not a number: the default
    EXPECT_FALSE(ini.ReadBool("N", "Word", false));
}

TEST(IniFile, ListsSectionsInFileOrder) {
    TempFolder dir;
    TIniFile ini(dir.Write("a.ini", kSample));
    EXPECT_EQ(ini.ReadSection("workdllpath"), (std::vector<std::string>{"2", "1"}));
    EXPECT_EQ(ini.ReadSectionValues("WorkDLLPath"),
              (std::vector<std::string>{"2=\\lib", "1=C_PKG\\", "2=again"}));
    // A repeated key answers its first value.
    EXPECT_EQ(ini.ReadString("WorkDLLPath", "2", ""), "\\lib");
    EXPECT_EQ(ini.ReadSections(),
              (std::vector<std::string>{"Client Components", "Server Information", "WorkDLLPath",
                                        "Empty Section"}));
    EXPECT_FALSE(ini.SectionExists("Empty Section"));
    EXPECT_TRUE(ini.ReadSectionValues("Empty Section").empty());
    EXPECT_TRUE(ini.ReadSectionValues("Nowhere").empty());
}

TEST(IniFile, MergesARepeatedSection) {
    TempFolder dir;
    TIniFile ini(dir.Write("r.ini", "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\nx=9\n"));
    EXPECT_EQ(ini.ReadSectionValues("A"), (std::vector<std::string>{"x=1", "z=3", "x=9"}));
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "z", ""), "3");
}

TEST(IniFile, IgnoresLinesOutsideSectionsAndLinesWithoutName) {
    TempFolder dir;
    TIniFile ini(dir.Write("o.ini", "orphan=1\n[S]\njunk line\n=nameless\nk=v\n"));
    EXPECT_EQ(ini.ReadSectionValues("S"), (std::vector<std::string>{"k=v"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"S"}));
}

TEST(IniFile, MissingFileReadsAsEmpty) {
    TempFolder dir;
    TIniFile ini(dir.Path() + "nothing.ini");
    EXPECT_EQ(ini.ReadString("A", "B", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("A", "B", 211), 211);
    EXPECT_TRUE(ini.ReadSections().empty());
    TIniFile folder(dir.Path());   // a folder is not a settings file
    EXPECT_EQ(folder.ReadString("A", "B", "dflt"), "dflt");
}

TEST(IniFile, SkipsAUtf8ByteOrderMark) {
    TempFolder dir;
    TIniFile ini(dir.Write("bom.ini", "\xEF\xBB\xBF[CodePage]\nUICodePage=950\n"));
    EXPECT_EQ(ini.ReadString("CodePage", "UICodePage", ""), "950");
}

TEST(IniFile, ReadsUtf16WithByteOrderMark) {
    TempFolder dir;
    std::string text = "[\xe8\xa8\xad\xe5\xae\x9a]\r\nName=\xe4\xb8\xad\r\n";   // [设定] Name=中
    std::string utf16 = "\xFF\xFE";
    // Encode through code points: every character here is in the BMP.
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        char32_t cp;
        if (c < 0x80) { cp = c; i += 1; }
        else { cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F); i += 3; }
        utf16 += static_cast<char>(cp & 0xFF);
        utf16 += static_cast<char>(cp >> 8);
    }
    TIniFile ini(dir.Write("u16.ini", utf16));
    EXPECT_EQ(ini.ReadString("\xe8\xa8\xad\xe5\xae\x9a", "name", ""), "\xe4\xb8\xad");
}

TEST(IniFile, ReadsAFileWithoutByteOrderMarkInTheAnsiCodePage) {
    TempFolder dir;
    // "中文" in GBK and in Big5.
    std::string gbk = "[S]\nName=\xD6\xD0\xCE\xC4\n";
    std::string big5 = "[S]\nName=\xA4\xA4\xA4\xE5\n";
    {
        ScopedEnv acp("ORTK_ACP", "936");
        EXPECT_EQ(TIniFile(dir.Write("gbk.ini", gbk)).ReadString("S", "Name", ""), "\xe4\xb8\xad\xe6\x96\x87");
    }
    {
        ScopedEnv acp("ORTK_ACP", "950");
        EXPECT_EQ(TIniFile(dir.Write("big5.ini", big5)).ReadString("S", "Name", ""), "\xe4\xb8\xad\xe6\x96\x87");
    }
}
