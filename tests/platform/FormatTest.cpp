// Format over variants: the placeholders message texts use, and the texts a
// host may send that do not match their arguments.
#include <gtest/gtest.h>

#include <limits>

#include "Dispatch.h"
#include "Format.h"
#include "StrUtils.h"

using plat::Format;
using plat::Variant;

namespace {
class Dummy : public plat::AutomationObject {};
}  // namespace

// ---- placeholders with fitting arguments ----

TEST(FormatPlaceholders, TextAndIntegersWithWidthAndPrecision) {
    EXPECT_EQ(Format("单号%s-%d", {"A01", 12}), "单号A01-12");
    EXPECT_EQ(Format("[%5d|%-5d|%.3d]", {12, 12, -7}), "[   12|12   |-007]");
    EXPECT_EQ(Format("%x %x %.4x", {255, -1, 10}), "FF FFFFFFFF 000A");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%S", {"upper-case letter"}), "upper-case letter");
}

TEST(FormatPlaceholders, FloatingForms) {
    EXPECT_EQ(Format("%.2f|%f", {3.14159, 2}), "3.14|2.00");
    EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", {-0.00012}), "-1.20E-004");
    EXPECT_EQ(Format("%g|%g|%g|%g", {0.5, 123456, 1e20, 0.000001}), "0.5|123456|1E20|1E-6");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%.0n", {-999}), "-999");
    EXPECT_EQ(Format("%m", {-1234.5}), "¥-1,234.50");
}

// Amounts at a tie round away from zero, as users of the suite expect; the
// tie is read on 15 significant digits (1.005 is stored as 1.00499...).
TEST(FormatPlaceholders, FixedPointRoundsATieAwayFromZero) {
    struct Case { double value; int decimals; const char* text; } cases[] = {
        {0.125, 2, "0.13"},  {-0.125, 2, "-0.13"}, {2.5, 0, "3"},          {-2.5, 0, "-3"},
        {1.005, 2, "1.01"},  {0.124, 2, "0.12"},   {9.995, 2, "10.00"},    {0.004, 2, "0.00"},
        {-0.001, 2, "0.00"}, {0.005, 2, "0.01"},   {1e20, 1, "100000000000000000000.0"},
        {123.456, 5, "123.45600"}, {0, 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " with " + std::to_string(c.decimals));
        EXPECT_EQ(plat::FixedPoint(c.value, c.decimals), c.text);
    }
    EXPECT_EQ(Format("%.2f|%.2n|%m", {0.125, 1234.565, 0.125}), "0.13|1,234.57|¥0.13");
    EXPECT_EQ(plat::FixedPoint(std::numeric_limits<double>::quiet_NaN(), 2), "NAN");
}

TEST(FormatPlaceholders, IndexStarAndPercent) {
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
    EXPECT_EQ(Format("[%*d]", {5, 42}), "[   42]");
    EXPECT_EQ(Format("[%-*d]", {5, 42}), "[42   ]");
    EXPECT_EQ(Format("[%*d]", {-4, 7}), "[7   ]");
    EXPECT_EQ(Format("%.*f", {1, 3.14159}), "3.1");
    EXPECT_EQ(Format("%*:s", {2, "x", "y"}), "y");
    EXPECT_EQ(Format("100%%", {}), "100%");
}

TEST(FormatPlaceholders, WidthAndTruncationCountCharactersNotBytes) {
    EXPECT_EQ(Format("[%4s]", {"中文"}), "[  中文]");
    EXPECT_EQ(Format("[%.2s]", {"中文字"}), "[中文]");
    EXPECT_EQ(Format("[%-3.1s]", {"é字"}), "[é  ]");
}

TEST(FormatPlaceholders, ArgumentsConvertWhenTheyCan) {
    EXPECT_EQ(Format("%d", {"42"}), "42");
    EXPECT_EQ(Format("%d", {3.0}), "3");
    EXPECT_EQ(Format("%.1f", {" 2.25 "}), "2.3");   // the tie rounds away from zero
    EXPECT_EQ(Format("%s|%s|%s", {12.5, true, Variant::Null()}), "12.5|True|");
    EXPECT_EQ(Format("[%s]", {Variant()}), "[]");
}

// ---- host texts that do not fit their arguments ----

TEST(FormatHostileText, MissingArgumentLeavesThePlaceholder) {
    EXPECT_EQ(Format("%s and %s", {"x"}), "x and %s");
    EXPECT_EQ(Format("%d%%", {}), "%d%");
    EXPECT_EQ(Format("%5:s", {"a"}), "%5:s");
    EXPECT_EQ(Format("%99999999999999999999:s", {"a"}), "%99999999999999999999:s");
}

TEST(FormatHostileText, MismatchedArgumentIsConsumedSoLaterPlaceholdersKeepTheirOwn) {
    EXPECT_EQ(Format("%d %s", {"abc", "ok"}), "%d ok");
    EXPECT_EQ(Format("%d", {3.5}), "%d");
    EXPECT_EQ(Format("%d", {true}), "%d");
    EXPECT_EQ(Format("%f", {"twelve"}), "%f");
    EXPECT_EQ(Format("%s", {plat::VarArrayOf({1, 2})}), "%s");
}

TEST(FormatHostileText, StarWithoutUsableArgument) {
    EXPECT_EQ(Format("%*d", {}), "%*d");
    EXPECT_EQ(Format("%*d", {5}), "%*d");
    EXPECT_EQ(Format("%*d|%s", {"wide", 5, "next"}), "%*d|next");
}

TEST(FormatHostileText, HugeWidthAndPrecisionAreCut) {
    std::string padded = Format("%100000s", {"x"});
    EXPECT_EQ(padded.size(), 1024u);
    EXPECT_EQ(padded.back(), 'x');
    EXPECT_EQ(Format("%99999999999999999999d", {1}).size(), 1024u);
    EXPECT_EQ(Format("%.99999999f", {1.5}), "1.500000000000000000");
    EXPECT_EQ(Format("%.100000d", {7}).size(), 1024u);
}

TEST(FormatHostileText, MalformedPlaceholdersStayAsWritten) {
    EXPECT_EQ(Format("%-1:s", {"x"}), "%-1:s");
    EXPECT_EQ(Format("100%", {"x"}), "100%");
    EXPECT_EQ(Format("50% off %s", {"now"}), "50% off now");
    EXPECT_EQ(Format("%q%s", {"a"}), "%qa");
    EXPECT_EQ(Format("%5%d", {9}), "%59");
    EXPECT_EQ(Format("%", {}), "%");
    EXPECT_EQ(Format("%.", {1}), "%.");
}

TEST(FormatHostileText, ArgumentThatFailsToConvertNeverRaises) {
    std::string text;
    EXPECT_NO_THROW(text = Format("%d|%s", {std::numeric_limits<int64_t>::min(), "x"}));
    EXPECT_EQ(text.substr(text.size() - 2), "|x");
}

TEST(FormatHostileText, ObjectsShowOnlyThroughPointerPlaceholder) {
    Variant object(std::static_pointer_cast<plat::IDispatch>(std::make_shared<Dummy>()));
    EXPECT_EQ(Format("%s", {object}), "%s");
    EXPECT_EQ(Format("%p", {object}).size(), 16u);
    EXPECT_EQ(Format("%p", {255}), "000000FF");
}
