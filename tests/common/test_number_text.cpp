// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/number_text.h"

#include <gtest/gtest.h>

#include <ostream>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace ravelle {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ReadCase {
    const char* name;
    const char* text;
    double expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadNumber : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumber, ReadsLongestNumericPrefix) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(readNumber(c.text), c.expected) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumber,
    testing::Values(
        ReadCase{"Empty", "", 0}, ReadCase{"OnlyBlanks", " \t\n ", 0},
        ReadCase{"Letters", "abc", 0}, ReadCase{"Whole", "86", 86},
        ReadCase{"Decimal", "2.75", 2.75}, ReadCase{"LeadingPoint", ".5", 0.5},
        ReadCase{"TrailingPoint", "5.", 5}, ReadCase{"LonePoint", ".", 0},
        ReadCase{"BlanksInsideDigits", "1 2", 12}, ReadCase{"TabAndLineFeedInside", "1\t2\n3", 123},
        ReadCase{"BlanksEverywhere", " - 1 . 5 E 2 ", -150},
        ReadCase{"CarriageReturnStops", "1\r2", 1}, ReadCase{"Plus", "+7", 7},
        ReadCase{"Minus", "-12.5", -12.5}, ReadCase{"TwoSigns", "+-3", 0},
        ReadCase{"DoubleMinus", "--3", 0}, ReadCase{"LoneSign", "-", 0},
        ReadCase{"MinusZero", "-0", 0}, ReadCase{"Exponent", "1.5E3", 1500},
        ReadCase{"LowerExponent", "1.5e3", 1500}, ReadCase{"NegativeExponent", "25E-1", 2.5},
        ReadCase{"PlusExponent", "2E+2", 200}, ReadCase{"ExponentWithoutDigits", "1.5E", 1.5},
        ReadCase{"ExponentSignWithoutDigits", "1.5E-x", 1.5},
        ReadCase{"ExponentWithoutMantissa", "E5", 0}, ReadCase{"SecondPointStops", "1.2.3", 1.2},
        ReadCase{"CommaStops", "3,5", 3}, ReadCase{"TrailingJunk", "86mm", 86},
        ReadCase{"JunkFirst", "x86", 0}, ReadCase{"Hex", "&H1F", 31},
        ReadCase{"HexLowerCase", "&hff", 255}, ReadCase{"HexStopsAtNonDigit", "&H1G", 1},
        ReadCase{"NegativeHex", "-&H10", -16}, ReadCase{"Octal", "&O17", 15},
        ReadCase{"OctalLowerCase", "&o7", 7}, ReadCase{"OctalStopsAtEight", "&O78", 7},
        ReadCase{"AmpersandAlone", "&", 0}, ReadCase{"AmpersandUnknownRadix", "&X1", 0},
        ReadCase{"HexWithoutDigits", "&H", 0}, ReadCase{"NonAsciiDigitStops", "1\xd9\xa3", 1},
        ReadCase{"NulStops",
                 "7\0"
                 "8",
                 7},
        ReadCase{"ManyDigits", "123456789012345678901234567890", 1.2345678901234568e29},
        ReadCase{"Overflow", "1E400", kInf}, ReadCase{"NegativeOverflow", "-1E400", -kInf},
        ReadCase{"LongMantissaOverflow", "9999E305", kInf},
        ReadCase{"HugeExponentDigits", "1E99999999999999999999", kInf},
        ReadCase{"Underflow", "1E-400", 0}, ReadCase{"SmallFractionUnderflow", "0.0001E-330", 0},
        ReadCase{"LargestDouble", "1.7976931348623157E308", 1.7976931348623157e308},
        ReadCase{"SmallestSubnormal", "4.9406564584124654E-324", 4.9406564584124654e-324}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReadNumberLongText, ReadsAHundredThousandDigitsByValue) {
    std::string text = "0." + std::string(100000, '0') + "5";
    EXPECT_EQ(readNumber(text), 0.0);
    text = std::string(100000, '9') + "junk";
    EXPECT_EQ(readNumber(text), kInf);
    text = "1" + std::string(100000, ' ') + "2";
    EXPECT_EQ(readNumber(text), 12);
    // A long mantissa balanced by a long exponent.
    text = "1" + std::string(200000, '0') + "E-200000";
    EXPECT_EQ(readNumber(text), 1);
    text = "0." + std::string(200000, '0') + "25E200001";
    EXPECT_EQ(readNumber(text), 2.5);
}

struct FormatCase {
    const char* name;
    double value;
    const char* expected;
};
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class FormatNumber : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumber, WritesLabelText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatNumber,
    testing::Values(FormatCase{"Whole", 86, " 86"}, FormatCase{"Zero", 0, " 0"},
                    FormatCase{"NegativeZero", -0.0, " 0"}, FormatCase{"Negative", -12, "-12"},
                    FormatCase{"TenthsFromDivision", 59.0 / 10, " 5.9"},
                    FormatCase{"BelowOneHasZero", 0.1, " 0.1"},
                    FormatCase{"NegativeBelowOne", -3.0 / 10, "-0.3"},
                    FormatCase{"NoTrailingZeros", 2.5, " 2.5"},
                    FormatCase{"NoThousandsSeparator", 1234567, " 1234567"},
                    FormatCase{"FifteenSignificantDigits", 0.1 + 0.2, " 0.3"},
                    FormatCase{"ThirdsCutToFifteen", 1.0 / 3, " 0.333333333333333"},
                    FormatCase{"LargestPlain", 999999999999999, " 999999999999999"},
                    FormatCase{"ExponentAbove", 1e15, " 1E+15"},
                    FormatCase{"ExponentWithFraction", -1.5e20, "-1.5E+20"},
                    FormatCase{"SmallPlain", 0.0001, " 0.0001"},
                    FormatCase{"SmallExponent", 0.00001, " 1E-05"},
                    FormatCase{"LargestDouble", 1.7976931348623157e308, " 1.79769313486232E+308"},
                    FormatCase{"Infinity", kInf, ""},
                    FormatCase{"NaN", std::numeric_limits<double>::quiet_NaN(), ""}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(NumberTextLocale, IgnoresACommaDecimalLocale) {
    // Qt hands the environment's locale to the C library; a German one must
    // not turn "." into "," either way.
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"}) {
        if ((chosen = std::setlocale(LC_ALL, name)) != nullptr) break;
    }
    const std::string before = chosen ? chosen : "C";
    EXPECT_EQ(readNumber("2.5"), 2.5);
    EXPECT_EQ(readNumber("2,5"), 2);
    EXPECT_EQ(formatNumber(2.5), " 2.5");
    std::setlocale(LC_ALL, "C");
}

TEST(NumberTextRoundTrip, FormattedValuesReadBackToFifteenDigits) {
    for (double v : {86.0, -0.3, 5.9, 1.0 / 3, 123456.789, 1e-7, -2.5e200, 1e308}) {
        const double back = readNumber(formatNumber(v));
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << formatNumber(v);
    }
}

TEST(RoundHalfUp, RoundsHalvesUpTowardsPlusInfinity) {
    EXPECT_EQ(roundHalfUp(12.5), 13);
    EXPECT_EQ(roundHalfUp(-12.5), -12);
    EXPECT_EQ(roundHalfUp(-11.7), -12);
    EXPECT_EQ(roundHalfUp(2.4999), 2);
}

} // namespace
} // namespace ravelle
