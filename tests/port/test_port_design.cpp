// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/port_design.h"

#include <gtest/gtest.h>

#include <cmath>

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

constexpr auto kThree = PortMode::ThreeTube;
constexpr auto kFive = PortMode::FiveTube;

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
