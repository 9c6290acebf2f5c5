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
