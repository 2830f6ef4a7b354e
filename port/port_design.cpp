// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/port_design.h"

#include <cmath>

#include "common/number_text.h"

namespace ravelle {
namespace {

// x raised to the power 2, correctly rounded: std::pow may miss it by one
// unit in the last place, and which way depends on the library and the
// optimisation level.
double squared(double x) { return x * x; }

PortOutcome applyGates(const PortInputs& in) {
    if (in.smallTubeInsideDiameter <= 1) return PortOutcome::BoreTooSmall;
    for (int tube = 1; tube <= tubeCount(in.mode); ++tube) {
        if (in.wallThickness[tube] < 0) return PortOutcome::NegativeWall;
    }
    return PortOutcome::Complete;
}

bool allFinite(const PortInputs& in, const PortResults& r) {
    bool finite = std::isfinite(in.smallTubeInsideDiameter) && std::isfinite(in.acousticLength) &&
                  std::isfinite(in.capThickness);
    for (int tube = 1; tube <= kMaxTubes; ++tube) {
        if (tube <= tubeCount(in.mode)) finite = finite && std::isfinite(in.wallThickness[tube]);
        finite = finite && std::isfinite(r.insideDiameter[tube]) &&
                 std::isfinite(r.outsideDiameter[tube]) && std::isfinite(r.endGap[tube]);
    }
    return finite && std::isfinite(r.physicalLength) && std::isfinite(r.portVolume) &&
           std::isfinite(r.minBoxDepth);
}

} // namespace

// Every operation below keeps the order and grouping of the published
// formulas, so that each shown number agrees with them to the last bit.
void detail::computeUnrounded(const PortInputs& in, PortResults& r) {
    const bool five = in.mode == PortMode::FiveTube;
    const double d1 = in.smallTubeInsideDiameter;
    const PerTube& t = in.wallThickness;
    const double L = in.acousticLength;
    const double c = in.capThickness;
    PerTube& d = r.insideDiameter;
    PerTube& D = r.outsideDiameter;
    PerTube& g = r.endGap;

    // Each annular passage has the bore's area: d(k+1)^2 = d1^2 + Dk^2.
    D[1] = d1 + t[1] * 2;
    d[2] = std::sqrt(squared(d1) + squared(D[1]));
    D[2] = d[2] + t[2] * 2;
    d[3] = std::sqrt(squared(d1) + squared(D[2]));
    D[3] = d[3] + t[3] * 2;
    if (five) {
        d[4] = std::sqrt(squared(d1) + squared(D[3]));
        D[4] = d[4] + t[4] * 2;
        d[5] = std::sqrt(squared(d1) + squared(D[4]));
        D[5] = d[5] + t[5] * 2;
    }

    // The cylinder of height g round the mean diameter of the tube's wall
    // has the bore's area: 2 g (d + D) = d1^2.
    g[1] = squared(d1) / (2 * (d1 + D[1]));
    g[2] = squared(d1) / (2 * (d[2] + D[2]));
    if (five) {
        g[3] = squared(d1) / (2 * (d[3] + D[3]));
        g[4] = squared(d1) / (2 * (d[4] + D[4]));
    }

    // Physical length: the acoustic length folded into n runs, each end gap
    // counted in two halves, the cap once per turn at the rear.
    double P = L + g[1] / 2;
    P = (P - (d[2] - D[1]) / 4) - D[1] / 2;
    P = ((P + g[1] / 2) + g[2] / 2) + c;
    P = P - (d[3] - D[1]) / 4;
    if (five) {
        P = ((P + g[3] / 2) + g[2] / 2) + c;
        P = P - (d[4] - D[2]) / 4;
        P = ((P + g[4] / 2) + g[3] / 2) + c;
        P = P - (d[5] - D[3]) / 4;
        P = (P + g[4] / 2) + c;
        P = P / 5;
    } else {
        P = P + g[2] / 2;
        P = P / 3;
    }
    r.physicalLength = P;

    // Cylinder of the largest tube's outside diameter over P, in tenths of
    // a litre (mm^3 / 100000) until the rounding below.
    const double outside = five ? D[5] : D[3];
    r.portVolume = ((P * kPi) * squared(outside / 2)) / 100000;

    // Port length, a clearance of one bore behind it, the front panel (c)
    // and a rear wall of half its thickness.
    r.minBoxDepth = (P + d1) + (c * 3) / 2;
}

namespace {

// Each value rounds on its own, so the order of these lines does not matter.
void roundResults(PortMode mode, PortResults& r) {
    const int largest = tubeCount(mode);
    for (int tube = 2; tube <= largest; ++tube)
        r.insideDiameter[tube] = roundHalfUp(r.insideDiameter[tube]);
    for (int tube = 3; tube <= largest; ++tube) // D1 and D2 stay unrounded
        r.outsideDiameter[tube] = roundHalfUp(r.outsideDiameter[tube]);
    for (int tube = 1; tube < largest; ++tube) // the largest tube has no end gap
        r.endGap[tube] = roundHalfUp(r.endGap[tube]);
    r.portVolume = std::floor(r.portVolume) / 10; // cut to one decimal, never rounded up
    r.physicalLength = roundHalfUp(r.physicalLength);
    r.minBoxDepth = roundHalfUp(r.minBoxDepth);
}

} // namespace

PortOutcome computePort(const PortInputs& inputs, PortResults& results) {
    const PortOutcome gate = applyGates(inputs);
    if (gate != PortOutcome::Complete) return gate;

    PortResults next = results; // tube 4 and 5 carry over in ThreeTube
    detail::computeUnrounded(inputs, next);
    if (!allFinite(inputs, next)) return PortOutcome::OutOfRange;
    roundResults(inputs.mode, next);
    results = next;
    return PortOutcome::Complete;
}

} // namespace ravelle
