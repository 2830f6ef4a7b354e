// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Sizes a folded bass-reflex port of 3 or 5 nested, coaxial tubes. The air
// runs along the bore of tube 1, turns at its end gap into the annular
// passage between tubes 1 and 2, back, and so on outwards. Every annular
// passage and every end gap has the cross-section area of the bore.
// All lengths are millimetres; the volume is litres.

#include <array>
#include <cassert>

namespace ravelle {

inline constexpr int kMaxTubes = 5;

// One value per tube, indexed by the tube's own number, 1 (the small tube)
// to 5, never by a zero-based position.
class PerTube {
  public:
    double& operator[](int tube) { return values_[index(tube)]; }
    double operator[](int tube) const { return values_[index(tube)]; }
    bool operator==(const PerTube&) const = default;

  private:
    static std::size_t index(int tube) {
        assert(tube >= 1 && tube <= kMaxTubes);
        return static_cast<std::size_t>(tube - 1);
    }
    std::array<double, kMaxTubes> values_{};
};

enum class PortMode { ThreeTube, FiveTube };

inline int tubeCount(PortMode mode) { return mode == PortMode::FiveTube ? 5 : 3; }

struct PortInputs {
    double smallTubeInsideDiameter = 0; // d1, the bore of the port
    PerTube wallThickness;              // t1..t5; t4 and t5 count in FiveTube only
    double acousticLength = 0;          // L, length of the equivalent straight port
    double capThickness = 0;            // c, also the front panel's thickness
    PortMode mode = PortMode::ThreeTube;
};

// The window keeps one of these for its whole life. A ThreeTube run leaves
// the tube-4 and tube-5 values of the last FiveTube run in place.
struct PortResults {
    PerTube insideDiameter;    // d2..d5, whole mm (d1 is an input)
    PerTube outsideDiameter;   // D1, D2 unrounded; D3..D5 whole mm
    PerTube endGap;            // g1..g4, whole mm; the largest tube has none
    double physicalLength = 0; // P, whole mm: how far the port reaches into the box
    double portVolume = 0;     // V, litres cut to one decimal
    double minBoxDepth = 0;    // B, whole mm
    bool operator==(const PortResults&) const = default;
};

enum class PortOutcome {
    Complete,     // every gate passed, the results were updated
    BoreTooSmall, // d1 is 1 mm or less: the window shows "n/a"
    NegativeWall, // a wall thickness in use is negative: nothing changes
    OutOfRange,   // an input or a result left the double range: nothing changes
};

// Applies the validity gates and, on Complete, updates `results` in place;
// on every other outcome `results` is left exactly as it was.
PortOutcome computePort(const PortInputs& inputs, PortResults& results);

namespace detail {
// The arithmetic of a run before any rounding, for checking the equal-area
// invariants. Assumes the gates have passed.
void computeUnrounded(const PortInputs& inputs, PortResults& results);
} // namespace detail

} // namespace ravelle
