// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "tubemaker/strip_width.h"

#include "common/number_text.h"

#include <gtest/gtest.h>

#include <ostream>

#include <limits>
#include <string>

namespace ravelle {
namespace {

struct StripCase {
    const char* name;
    TubeInputs in;
    double innerWidth;
    double outerWidth;
    const char* innerCaption;
    const char* innerSpoken;
    Rgb innerColour;
    const char* outerCaption;
    const char* outerSpoken;
    Rgb outerColour;
    StripDiagram diagram;
};
void PrintTo(const StripCase& c, std::ostream* os) { *os << c.name; }

class Strips : public testing::TestWithParam<StripCase> {};

TEST_P(Strips, GiveWidthsLinesColoursAndDiagram) {
    const StripCase& c = GetParam();
    const StripResults r = computeStrips(c.in);
    ASSERT_TRUE(r.valid);
    EXPECT_NEAR(r.innerWidth, c.innerWidth, 1e-4);
    EXPECT_NEAR(r.outerWidth, c.outerWidth, 1e-4);
    EXPECT_EQ(r.innerCaption, c.innerCaption);
    EXPECT_EQ(r.innerSpoken, c.innerSpoken);
    EXPECT_EQ(r.innerColour, c.innerColour);
    EXPECT_EQ(r.outerCaption, c.outerCaption);
    EXPECT_EQ(r.outerSpoken, c.outerSpoken);
    EXPECT_EQ(r.outerColour, c.outerColour);
    EXPECT_EQ(r.diagram, c.diagram);
}

constexpr const char* kRemovedInner17 = "Width of strip to be removed from inner tube 17";

INSTANTIATE_TEST_SUITE_P(
    Inputs, Strips,
    testing::Values(StripCase{"Defaults",
                              {100, 95, 4},
                              16.9646,
                              -10.1788,
                              kRemovedInner17,
                              "Width of strip to be removed from inner tube: 17 mm",
                              kDarkBlue,
                              "Width of strip to be inserted into outer tube 10",
                              "Width of strip to be inserted into outer tube: 10 mm",
                              kDarkGreen,
                              StripDiagram::RemoveInnerInsertOuter},
                    StripCase{"BothRemoved",
                              {100, 80, 4},
                              67.8584,
                              40.7150,
                              "Width of strip to be removed from inner tube 68",
                              "Width of strip to be removed from inner tube: 68 mm",
                              kDarkBlue,
                              "Width of strip to be removed from outer tube 41",
                              "Width of strip to be removed from outer tube: 41 mm",
                              kDarkBlue,
                              StripDiagram::RemoveBoth},
                    StripCase{"BothInserted",
                              {100, 110, 4},
                              -33.9292,
                              -61.0726,
                              "Width of strip to be inserted into inner tube 34",
                              "Width of strip to be inserted into inner tube: 34 mm",
                              kDarkGreen,
                              "Width of strip to be inserted into outer tube 61",
                              "Width of strip to be inserted into outer tube: 61 mm",
                              kDarkGreen,
                              StripDiagram::InsertBoth},
                    StripCase{"InnerExactlyZero",
                              {100, 100, 4},
                              0,
                              -27.1434,
                              "Width of strip to be removed from inner tube 0",
                              "Width of strip to be removed from inner tube: 0 mm",
                              kDarkBlue,
                              "Width of strip to be inserted into outer tube 27",
                              "Width of strip to be inserted into outer tube: 27 mm",
                              kDarkGreen,
                              StripDiagram::RemoveInnerInsertOuter},
                    StripCase{"OuterExactlyZero",
                              {100, 92, 4},
                              27.1434,
                              0,
                              "Width of strip to be removed from inner tube 27",
                              "Width of strip to be removed from inner tube: 27 mm",
                              kDarkBlue,
                              "Width of strip to be removed from outer tube 0",
                              "Width of strip to be removed from outer tube: 0 mm",
                              kDarkBlue,
                              StripDiagram::RemoveBoth},
                    StripCase{"SmallNegativeShowsInsertedZero",
                              {0.001, 0.001, 0.001},
                              0,
                              -0.0188,
                              "Width of strip to be removed from inner tube 0",
                              "Width of strip to be removed from inner tube: 0 mm",
                              kDarkBlue,
                              "Width of strip to be inserted into outer tube 0",
                              "Width of strip to be inserted into outer tube: 0 mm",
                              kDarkGreen,
                              StripDiagram::RemoveInnerInsertOuter},
                    // The longest lines: numbers in exponent form, kept whole.
                    StripCase{"HugeWidthsInExponentForm",
                              {100, 1e300, 4},
                              -3.3929200658772e300,
                              -3.3929200658772e300,
                              "Width of strip to be inserted into inner tube 3.3929200658772E+300",
                              "Width of strip to be inserted into inner tube: 3.3929200658772E+300 mm",
                              kDarkGreen,
                              "Width of strip to be inserted into outer tube 3.3929200658772E+300",
                              "Width of strip to be inserted into outer tube: 3.3929200658772E+300 mm",
                              kDarkGreen,
                              StripDiagram::InsertBoth}),
    [](const testing::TestParamInfo<StripCase>& info) { return std::string(info.param.name); });

TEST(StripLines, NegativeWidthsShowTheirRoundedMagnitude) {
    const double scale = kPi * (100.0 / 2 + 4) / (100.0 / 2); // mm of strip per mm of diameter
    const StripResults near16 = computeStrips({100, 100 + 16.45 / scale, 4});
    EXPECT_EQ(near16.innerCaption, "Width of strip to be inserted into inner tube 16");
    const StripResults near17 = computeStrips({100, 100 + 16.6 / scale, 4});
    EXPECT_EQ(near17.innerCaption, "Width of strip to be inserted into inner tube 17");
}

struct InvalidCase {
    const char* name;
    TubeInputs in;
};
void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }

class InvalidStrips : public testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidStrips, ShowTheDarkRedMessageOnBothLines) {
    const StripResults r = computeStrips(GetParam().in);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.innerCaption, kStripInvalidMessage);
    EXPECT_EQ(r.outerCaption, kStripInvalidMessage);
    EXPECT_EQ(r.innerSpoken, kStripInvalidMessage);
    EXPECT_EQ(r.outerSpoken, kStripInvalidMessage);
    EXPECT_EQ(r.innerColour, kDarkRed);
    EXPECT_EQ(r.outerColour, kDarkRed);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Inputs, InvalidStrips,
    testing::Values(InvalidCase{"StartZero", {0, 95, 4}}, InvalidCase{"RequiredZero", {100, 0, 4}},
                    InvalidCase{"WallZero", {100, 95, 0}},
                    InvalidCase{"StartNegative", {-100, 95, 4}},
                    InvalidCase{"WallNegative", {100, 95, -4}},
                    InvalidCase{"HalfStartIsZero", {4.9406564584124654e-324, 1, 1}},
                    InvalidCase{"WidthOverflows", {1e308, 1, 1e308}},
                    InvalidCase{"InfiniteStart", {kInf, 95, 4}}),
    [](const testing::TestParamInfo<InvalidCase>& info) { return std::string(info.param.name); });

TEST(StripInvariant, OuterWidthIsSmallerByTheWallsCircumference) {
    for (TubeInputs in : {TubeInputs{100, 95, 4}, TubeInputs{50, 300, 0.5}, TubeInputs{7, 3, 2}}) {
        const StripResults r = computeStrips(in);
        const double D = in.startInsideDiameter;
        const double T = in.wallThickness;
        EXPECT_NEAR(r.innerWidth - r.outerWidth, 2 * kPi * T * (D / 2 + T) / (D / 2), 1e-9);
    }
}

} // namespace
} // namespace ravelle
