// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/port_design.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>
#include <string>

namespace ravelle {
namespace {

PortInputs inputs(double d1, double t1, double t2, double t3, double t4, double t5, double L,
                  double c, PortMode mode) {
    PortInputs in;
    in.smallTubeInsideDiameter = d1;
    in.wallThickness[1] = t1;
    in.wallThickness[2] = t2;
    in.wallThickness[3] = t3;
    in.wallThickness[4] = t4;
    in.wallThickness[5] = t5;
    in.acousticLength = L;
    in.capThickness = c;
    in.mode = mode;
    return in;
}

PortInputs defaults(PortMode mode) { return inputs(86, 2, 4, 4, 4, 4, 830, 36, mode); }

// The shown (rounded) values of a Complete run.
struct Shown {
    double d2, d3, d4, d5, g1, g2, g3, g4, outside, volume, length, depth;
};

struct WorkedCase {
    const char* name;
    PortInputs in;
    Shown shown;
};
void PrintTo(const WorkedCase& c, std::ostream* os) { *os << c.name; }

class WorkedExamples : public testing::TestWithParam<WorkedCase> {};

TEST_P(WorkedExamples, ShowTheExactValues) {
    const WorkedCase& c = GetParam();
    PortResults r;
    ASSERT_EQ(computePort(c.in, r), PortOutcome::Complete);
    const bool five = c.in.mode == PortMode::FiveTube;
    EXPECT_EQ(r.insideDiameter[2], c.shown.d2);
    EXPECT_EQ(r.insideDiameter[3], c.shown.d3);
    EXPECT_EQ(r.insideDiameter[4], c.shown.d4);
    EXPECT_EQ(r.insideDiameter[5], c.shown.d5);
    EXPECT_EQ(r.endGap[1], c.shown.g1);
    EXPECT_EQ(r.endGap[2], c.shown.g2);
    EXPECT_EQ(r.endGap[3], c.shown.g3);
    EXPECT_EQ(r.endGap[4], c.shown.g4);
    EXPECT_EQ(five ? r.outsideDiameter[5] : r.outsideDiameter[3], c.shown.outside);
    EXPECT_EQ(r.portVolume, c.shown.volume);
    EXPECT_EQ(r.physicalLength, c.shown.length);
    EXPECT_EQ(r.minBoxDepth, c.shown.depth);
}

constexpr auto kThree = PortMode::ThreeTube;
constexpr auto kFive = PortMode::FiveTube;

INSTANTIATE_TEST_SUITE_P(
    Inputs, WorkedExamples,
    testing::Values(WorkedCase{"DefaultsThreeTube",
                               defaults(kThree),
                               {124, 158, 0, 0, 21, 14, 0, 0, 166, 5.9, 277, 417}},
                    WorkedCase{"DefaultsFiveTube",
                               defaults(kFive),
                               {124, 158, 187, 213, 21, 14, 11, 10, 221, 7.1, 187, 327}},
                    WorkedCase{"JustAboveSmallestBore",
                               inputs(1.5, 0, 0, 0, 0, 0, 100, 10, kThree),
                               {2, 3, 0, 0, 0, 0, 0, 0, 3, 0, 36, 53}},
                    WorkedCase{"HalfGapRoundsUp",
                               inputs(50, 0, 0, 0, 0, 0, 600, 0, kThree),
                               {71, 87, 0, 0, 13, 9, 0, 0, 87, 1.1, 194, 244}},
                    WorkedCase{"VolumeCutNotRounded",
                               inputs(20, 2, 2, 2, 2, 2, 300, 18, kThree),
                               {31, 41, 0, 0, 5, 3, 0, 0, 45, 0.1, 103, 150}},
                    WorkedCase{"VolumeCutFiveTube",
                               inputs(20, 2, 2, 2, 2, 2, 300, 18, kFive),
                               {31, 41, 49, 56, 5, 3, 2, 2, 60, 0.2, 72, 119}},
                    WorkedCase{"NegativeLengthAndVolume",
                               inputs(86, 2, 4, 4, 4, 4, 0, 0, kThree),
                               {124, 158, 0, 0, 21, 14, 0, 0, 166, -0.3, -12, 74}},
                    WorkedCase{"UnusedNegativeWallsIgnored",
                               inputs(86, 2, 4, 4, -1, -1, 830, 36, kThree),
                               {124, 158, 0, 0, 21, 14, 0, 0, 166, 5.9, 277, 417}}),
    [](const testing::TestParamInfo<WorkedCase>& info) { return std::string(info.param.name); });

// D1 and D2 stay unrounded in the results.
TEST(PortDesignUnrounded, InnerOutsideDiametersKeepTheirFractions) {
    PortResults r;
    ASSERT_EQ(computePort(defaults(kThree), r), PortOutcome::Complete);
    EXPECT_EQ(r.outsideDiameter[1], 90); // D1 and D2 are never rounded
    EXPECT_NEAR(r.outsideDiameter[2], 132.4829, 1e-4);
    ASSERT_EQ(computePort(inputs(50, 0, 0, 0, 0, 0, 600, 0, kThree), r), PortOutcome::Complete);
    EXPECT_NEAR(r.outsideDiameter[2], 70.7107, 1e-4);
}

TEST(PortDesignInvariants, PassagesAndGapsHaveTheBoreArea) {
    // Before rounding, which the carried value D2 shows: d3^2 = d1^2 + D2^2.
    for (PortMode mode : {kThree, kFive}) {
        PortResults r;
        ASSERT_EQ(computePort(defaults(mode), r), PortOutcome::Complete);
        const double d1 = 86;
        const double d3 = std::sqrt(d1 * d1 + r.outsideDiameter[2] * r.outsideDiameter[2]);
        EXPECT_EQ(r.insideDiameter[3], std::floor(d3 + 0.5));
    }
}

struct GateCase {
    const char* name;
    PortInputs in;
    PortOutcome expected;
};
void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class Gates : public testing::TestWithParam<GateCase> {};

TEST_P(Gates, DecideTheOutcomeAndLeaveResultsOnFailure) {
    const GateCase& c = GetParam();
    PortResults before;
    ASSERT_EQ(computePort(defaults(kFive), before), PortOutcome::Complete);
    PortResults r = before;
    EXPECT_EQ(computePort(c.in, r), c.expected);
    if (c.expected != PortOutcome::Complete) {
        EXPECT_EQ(r, before);
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Inputs, Gates,
    testing::Values(
        GateCase{"BoreOfOne", inputs(1, 2, 4, 4, 4, 4, 830, 36, kThree), PortOutcome::BoreTooSmall},
        GateCase{"BoreZero", inputs(0, 2, 4, 4, 4, 4, 830, 36, kFive), PortOutcome::BoreTooSmall},
        GateCase{"BoreNegative", inputs(-86, 2, 4, 4, 4, 4, 830, 36, kThree),
                 PortOutcome::BoreTooSmall},
        GateCase{"SmallBoreBeatsNegativeWall", inputs(0, -1, 4, 4, 4, 4, 830, 36, kThree),
                 PortOutcome::BoreTooSmall},
        GateCase{"NegativeT1", inputs(86, -1, 4, 4, 4, 4, 830, 36, kThree),
                 PortOutcome::NegativeWall},
        GateCase{"NegativeT2", inputs(86, 2, -1, 4, 4, 4, 830, 36, kThree),
                 PortOutcome::NegativeWall},
        GateCase{"NegativeT3", inputs(86, 2, 4, -1, 4, 4, 830, 36, kFive),
                 PortOutcome::NegativeWall},
        GateCase{"NegativeT4FiveTube", inputs(86, 2, 4, 4, -1, 4, 830, 36, kFive),
                 PortOutcome::NegativeWall},
        GateCase{"NegativeT5FiveTube", inputs(86, 2, 4, 4, 4, -0.001, 830, 36, kFive),
                 PortOutcome::NegativeWall},
        GateCase{"NegativeT4ThreeTube", inputs(86, 2, 4, 4, -1, -1, 830, 36, kThree),
                 PortOutcome::Complete},
        GateCase{"ZeroWallsPass", inputs(86, 0, 0, 0, 0, 0, 830, 36, kFive), PortOutcome::Complete},
        GateCase{"NegativeLengthAndCapPass", inputs(86, 2, 4, 4, 4, 4, -5, -36, kThree),
                 PortOutcome::Complete},
        GateCase{"InfiniteBore", inputs(kInf, 2, 4, 4, 4, 4, 830, 36, kThree),
                 PortOutcome::OutOfRange},
        GateCase{"BoreWhoseSquareOverflows", inputs(2e154, 2, 4, 4, 4, 4, 830, 36, kThree),
                 PortOutcome::OutOfRange},
        GateCase{"InfiniteLength", inputs(86, 2, 4, 4, 4, 4, kInf, 36, kFive),
                 PortOutcome::OutOfRange},
        GateCase{"MinusInfiniteCap", inputs(86, 2, 4, 4, 4, 4, 830, -kInf, kThree),
                 PortOutcome::OutOfRange},
        GateCase{"HugeWallInUse", inputs(86, 2, 4, 4, 1e300, 4, 830, 36, kFive),
                 PortOutcome::OutOfRange},
        GateCase{"InfiniteWallUnused", inputs(86, 2, 4, 4, kInf, kInf, 830, 36, kThree),
                 PortOutcome::Complete},
        GateCase{"LengthWhoseVolumeOverflows", inputs(86, 2, 4, 4, 4, 4, 1e306, 36, kThree),
                 PortOutcome::OutOfRange}),
    [](const testing::TestParamInfo<GateCase>& info) { return std::string(info.param.name); });

TEST(CarriedValues, ThreeTubeRunKeepsTheLastFiveTubeResults) {
    PortResults r;
    ASSERT_EQ(computePort(defaults(kThree), r), PortOutcome::Complete);
    EXPECT_EQ(r.insideDiameter[4], 0);
    EXPECT_EQ(r.endGap[4], 0);

    ASSERT_EQ(computePort(defaults(kFive), r), PortOutcome::Complete);
    ASSERT_EQ(computePort(inputs(50, 0, 0, 0, 0, 0, 600, 0, kThree), r), PortOutcome::Complete);
    EXPECT_EQ(r.insideDiameter[4], 187);
    EXPECT_EQ(r.insideDiameter[5], 213);
    EXPECT_EQ(r.outsideDiameter[5], 221);
    EXPECT_EQ(r.endGap[3], 11);
    EXPECT_EQ(r.endGap[4], 10);
    EXPECT_EQ(r.insideDiameter[2], 71); // the three-tube values are the new run's
}

} // namespace
} // namespace ravelle
