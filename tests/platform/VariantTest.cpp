// Variants as the host boundary uses them: number-to-text, conversions,
// arrays with bounds, value semantics.
#include <gtest/gtest.h>

#include "Variant.h"

using plat::Variant;
using plat::VarArray;

TEST(VariantText, NumbersReadAsThePlatformWritesThem) {
    struct Case { double value; const char* text; } cases[] = {
        {100, "100"}, {12.5, "12.5"}, {-3.25, "-3.25"}, {0, "0"}, {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"}, {123456789012345, "123456789012345"},
        {1e15, "1E15"}, {1.5e20, "1.5E20"}, {0.0001, "0.0001"}, {0.00001, "1E-5"},
        {2.675, "2.675"}, {1234567.125, "1234567.125"},
    };
    for (const Case& c : cases) EXPECT_EQ(Variant(c.value).ToString(), c.text) << c.value;
}

TEST(VariantText, IntegersBooleansEmptyAndNull) {
    EXPECT_EQ(Variant(int8_t(-5)).ToString(), "-5");
    EXPECT_EQ(Variant(uint8_t(200)).ToString(), "200");
    EXPECT_EQ(Variant(int16_t(-32768)).ToString(), "-32768");
    EXPECT_EQ(Variant(int32_t(8000)).ToString(), "8000");
    EXPECT_EQ(Variant(true).ToString(), "True");
    EXPECT_EQ(Variant().ToString(), "");
    EXPECT_THROW(Variant::Null().ToString(), plat::EVariantError);
}

TEST(VariantConversion, TextToNumbersOnlyWhenItIsANumber) {
    EXPECT_EQ(Variant("25").ToInt(), 25);
    EXPECT_EQ(Variant(" 7 ").ToInt(), 7);
    EXPECT_DOUBLE_EQ(Variant("12.5").ToDouble(), 12.5);
    EXPECT_THROW(Variant("abc").ToInt(), plat::EVariantError);
    EXPECT_THROW(Variant("12x").ToDouble(), plat::EVariantError);
    EXPECT_THROW(Variant("").ToInt(), plat::EVariantError);
    EXPECT_EQ(Variant().ToInt(), 0);
    EXPECT_THROW(Variant("99999999999").ToInt(), plat::EVariantError);
    EXPECT_EQ(Variant(true).ToInt(), -1);
    EXPECT_EQ(Variant(INT64_MIN).ToInt64(), INT64_MIN);
    EXPECT_EQ(Variant(INT64_MAX).ToInt64(), INT64_MAX);
    EXPECT_THROW(Variant(INT64_MAX).ToInt(), plat::EVariantError);
    EXPECT_TRUE(Variant("true").ToBool());
    EXPECT_FALSE(Variant(int32_t(0)).ToBool());
}

TEST(VariantArray, OneDimensionWithExplicitBounds) {
    VarArray a(2, 4);
    EXPECT_EQ(a.LowBound(), 2);
    EXPECT_EQ(a.HighBound(), 4);
    a.At(4) = "last";
    EXPECT_EQ(a.At(4).ToString(), "last");
    EXPECT_THROW(a.At(1), plat::EVariantError);
    EXPECT_THROW(a.At(5), plat::EVariantError);
    EXPECT_THROW(a.At(2, 0), plat::EVariantError);
}

TEST(VariantArray, IndexesOutsideTheShapeRaise) {
    VarArray table(0, 1, 0, 1);
    EXPECT_THROW(table.At(0), plat::EVariantError);   // two dimensions, one index
    VarArray empty(0, -1);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_THROW(empty.At(0), plat::EVariantError);
    empty.Redim(0);
    empty.At(0) = "grown";
    EXPECT_EQ(empty.At(0).ToString(), "grown");
    VarArray negative(-3, -1);
    negative.At(-3) = int32_t(7);
    EXPECT_EQ(negative.At(-3).ToInt(), 7);
    EXPECT_THROW(negative.At(0), plat::EVariantError);
    EXPECT_THROW(negative.At(-4), plat::EVariantError);
    VarArray high(2147483640, 2147483646);
    EXPECT_THROW(high.At(2147483647), plat::EVariantError);
    EXPECT_THROW(high.At(-2147483647 - 1), plat::EVariantError);
}

TEST(VariantArray, TwoDimensionsGrowInTheLastWithoutMovingElements) {
    VarArray list(0, 1, 0, 0);
    list.At(0, 0) = "alpha";
    list.At(1, 0) = int32_t(300);
    list.Redim(1);
    list.At(0, 1) = "beta";
    list.At(1, 1) = int32_t(300);
    EXPECT_EQ(list.HighBound(2), 1);
    EXPECT_EQ(list.At(0, 0).ToString(), "alpha");
    EXPECT_EQ(list.At(1, 0).ToInt(), 300);
    EXPECT_EQ(list.At(0, 1).ToString(), "beta");
    EXPECT_THROW(list.HighBound(3), plat::EVariantError);
}

TEST(VariantArray, CopiesAreIndependentValues) {
    Variant a = plat::VarArrayOf({"x", int32_t(1)});
    Variant b = a;
    b[0] = "changed";
    EXPECT_EQ(a[0].ToString(), "x");
    EXPECT_EQ(b[0].ToString(), "changed");
}

TEST(VariantArray, RowTestsOfListingAnswers) {
    EXPECT_FALSE(plat::HasRows(Variant()));
    EXPECT_FALSE(plat::HasRows(Variant::Null()));
    EXPECT_FALSE(plat::HasRows(Variant("x")));
    EXPECT_FALSE(plat::HasRows(Variant(VarArray(0, -1))));
    EXPECT_TRUE(plat::HasRows(plat::VarArrayOf({plat::VarArrayOf({"row"})})));
    EXPECT_EQ(plat::VarArrayHighBound(plat::VarArrayOf({1, 2, 3})), 2);
    EXPECT_THROW(plat::VarArrayHighBound(Variant("x")), plat::EVariantError);
}

TEST(VariantCompare, LooseEqualityOfTheRuntime) {
    EXPECT_EQ(Variant("Y"), Variant("Y"));
    EXPECT_NE(Variant("Y"), Variant("y"));
    EXPECT_EQ(Variant(int32_t(5)), Variant(5.0));
    EXPECT_EQ(Variant("5"), Variant(int16_t(5)));
    EXPECT_NE(Variant("five"), Variant(int16_t(5)));
    EXPECT_EQ(Variant(), Variant(""));
    EXPECT_EQ(Variant::Null(), Variant::Null());
    EXPECT_NE(Variant::Null(), Variant());
}
