// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The tube-maker: a tube of a required inside diameter R made from tubing of
// inside diameter D and wall T, slit lengthwise, in two layers. Each layer
// closes up after a strip is cut out of it (a width of 0 or more) or let into
// it (a negative width). The inner layer closes to R; the outer one fits over
// it, so its inside diameter is R + 2T.

#include <string>
#include <string_view>

#include "common/colours.h"

namespace ravelle {

struct TubeInputs {
    double startInsideDiameter = 0;    // D, of the tubing one starts from
    double requiredInsideDiameter = 0; // R, of the finished two-layer tube
    double wallThickness = 0;          // T, of the tubing; the finished wall is 2T
};

// Which ring diagram the window shows.
enum class StripDiagram { RemoveBoth, RemoveInnerInsertOuter, InsertBoth };

struct StripResults {
    bool valid = false;    // false when an input is not greater than zero
    double innerWidth = 0; // mm; 0 or more: removed, negative: inserted
    double outerWidth = 0; // mm; the same for the outer layer
    std::string innerCaption; // as shown: "Width of strip to be removed from inner tube 17"
    std::string innerSpoken;  // for a screen reader, with the unit: "...inner tube: 17 mm"
    Rgb innerColour;
    std::string outerCaption;
    std::string outerSpoken;
    Rgb outerColour;
    StripDiagram diagram = StripDiagram::RemoveBoth; // only meaningful when valid
};

inline constexpr std::string_view kStripInvalidMessage =
    "Unable to calculate with any term not a positive number";

StripResults computeStrips(const TubeInputs& inputs);

} // namespace ravelle
