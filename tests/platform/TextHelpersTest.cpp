// SQL quoting, padded labels, token splitting and name=value lists.
#include <gtest/gtest.h>

#include "Exceptions.h"
#include "StrUtils.h"
#include "StringList.h"

using plat::TStringList;

TEST(QuotedStr, DoublesEmbeddedQuotesSoTheLiteralCannotEndEarly) {
    EXPECT_EQ(plat::QuotedStr("COPI06"), "'COPI06'");
    EXPECT_EQ(plat::QuotedStr("O'Brien"), "'O''Brien'");
    EXPECT_EQ(plat::QuotedStr("x' OR '1'='1"), "'x'' OR ''1''=''1'");
    EXPECT_EQ(plat::QuotedStr(""), "''");
}

TEST(PadRight, PadsByCharactersAndNeverShortens) {
    EXPECT_EQ(plat::PadRight("220", 4), "220 ");
    EXPECT_EQ(plat::PadRight("订单", 4), "订单  ");
    EXPECT_EQ(plat::PadRight("20240001234X", 11), "20240001234X");
    EXPECT_EQ(plat::PadRight("ab", -3), "ab");
}

TEST(GetToken, CountsPiecesFromOne) {
    EXPECT_EQ(plat::GetToken("220-2024001-0001", "-", 1), "220");
    EXPECT_EQ(plat::GetToken("220-2024001-0001", "-", 3), "0001");
    EXPECT_EQ(plat::GetToken("a,,c", ",", 2), "");
    EXPECT_EQ(plat::GetToken("a,,c", ",", 3), "c");
    EXPECT_EQ(plat::GetToken("a,b", ",", 3), "");
    EXPECT_EQ(plat::GetToken("a,b", ",", 0), "");
    EXPECT_EQ(plat::GetToken("a::b", "::", 2), "b");
}

// Trim takes every control character as the runtime does; TrimBlanks only
// spaces and tabs; TrimPadding only the trailing spaces of a CHAR value.
TEST(Trim, EachVariantTakesOnlyItsOwnCharacters) {
    EXPECT_EQ(plat::Trim(" \t\r\n\x01 2201 \f\v"), "2201");
    EXPECT_EQ(plat::Trim(" \t "), "");
    EXPECT_EQ(plat::TrimBlanks(" \t12 \t"), "12");
    EXPECT_EQ(plat::TrimBlanks(" 12\r\n"), "12\r\n");
    EXPECT_EQ(plat::TrimBlanks("  "), "");
    EXPECT_EQ(plat::TrimPadding(" PCS  "), " PCS");
    EXPECT_EQ(plat::TrimPadding("PCS\t "), "PCS\t");
    EXPECT_EQ(plat::TrimPadding("    "), "");
}

TEST(TrimmedLines, CutsAtLineBreaksAndKeepsTheEmptyLastLine) {
    EXPECT_EQ(plat::TrimmedLines(" [Section] \r\nName = x\r\n"), (std::vector<std::string>{"[Section]", "Name = x", ""}));
    EXPECT_EQ(plat::TrimmedLines("a\n\n\tb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(plat::TrimmedLines(""), (std::vector<std::string>{""}));
}

TEST(UpperCase, OnlyAsciiLettersChangeAndChineseBytesStay) {
    EXPECT_EQ(plat::UpperCase("pvdMain_1"), "PVDMAIN_1");
    EXPECT_EQ(plat::LowerCase("HKEY_Local"), "hkey_local");
    EXPECT_EQ(plat::UpperCase("客户 é"), "客户 é");
    EXPECT_EQ(plat::LowerCase("客户 É"), "客户 É");
}

TEST(StringList, ValuesByNameIgnoreCase) {
    TStringList list;
    list.SetText("SYS001=1\r\nsys002=/\nKVX002=测试公司\n");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Values("sys001"), "1");
    EXPECT_EQ(list.Values("SYS002"), "/");
    EXPECT_EQ(list.Values("KVX002"), "测试公司");
    EXPECT_EQ(list.Values("SYS0"), "");
    EXPECT_EQ(list.Names(1), "sys002");
    EXPECT_EQ(list.IndexOfName("kvx002"), 2);
}

TEST(StringList, SetValueReplacesAppendsAndRemoves) {
    TStringList list;
    list.Add("plain line");
    list.Add("A=1=2");
    EXPECT_EQ(list.Values("A"), "1=2");
    EXPECT_EQ(list.Names(0), "");
    list.SetValue("a", "3");
    EXPECT_EQ(list[1], "a=3");
    list.SetValue("B", "4");
    EXPECT_EQ(list.Text(), "plain line\na=3\nB=4\n");
    list.SetValue("A", "");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOfName("A"), -1);
}

TEST(StringList, OutOfRangeIndexRaises) {
    TStringList list;
    list.Add("x");
    EXPECT_THROW(list[1], plat::Exception);
    EXPECT_THROW(list.Delete(-1), plat::Exception);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}
