// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "tubemaker/strip_width.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace ravelle {
namespace {

struct LayerTexts {
    std::string_view removal;
    std::string_view insertion;
};
constexpr LayerTexts kInnerTexts{"Width of strip to be removed from inner tube",
                                 "Width of strip to be inserted into inner tube"};
constexpr LayerTexts kOuterTexts{"Width of strip to be removed from outer tube",
                                 "Width of strip to be inserted into outer tube"};

// The sign is read off the unrounded width, so -0.4 is "inserted ... 0".
void describe(double width, const LayerTexts& texts, std::string& caption, std::string& spoken,
              Rgb& colour) {
    const bool removed = width >= 0;
    const std::string_view text = removed ? texts.removal : texts.insertion;
    char digits[kMaxNumberText];
    // Both forms show a number of 0 or more, after the blank in its sign's place.
    const std::string_view number{digits, formatNumberTo(std::fabs(roundHalfUp(width)), digits)};
    const std::string_view magnitude = number.substr(std::min<std::size_t>(1, number.size()));
    caption = std::string(text).append(number);
    spoken = std::string(text).append(": ").append(magnitude).append(" mm");
    colour = removed ? kDarkBlue : kDarkGreen;
}

StripResults invalid() {
    StripResults r;
    r.innerCaption = kStripInvalidMessage;
    r.outerCaption = r.innerCaption;
    r.innerSpoken = r.innerCaption;
    r.outerSpoken = r.innerCaption;
    r.innerColour = kDarkRed;
    r.outerColour = kDarkRed;
    return r;
}

} // namespace

StripResults computeStrips(const TubeInputs& in) {
    const double D = in.startInsideDiameter;
    const double R = in.requiredInsideDiameter;
    const double T = in.wallThickness;
    if (!(D > 0) || !(R > 0) || !(T > 0)) return invalid();

    StripResults r;
    // The change of inside circumference, scaled from the tubing's inside
    // radius to its outside radius, where the strip is marked out.
    r.innerWidth = ((kPi * (D - R)) * (D / 2 + T)) / (D / 2);
    r.outerWidth = ((kPi * ((D - R) - T * 2)) * (D / 2 + T)) / (D / 2);
    if (!std::isfinite(r.innerWidth) || !std::isfinite(r.outerWidth)) return invalid();

    r.valid = true;
    describe(r.innerWidth, kInnerTexts, r.innerCaption, r.innerSpoken, r.innerColour);
    describe(r.outerWidth, kOuterTexts, r.outerCaption, r.outerSpoken, r.outerColour);
    if (r.innerWidth >= 0) {
        r.diagram =
            r.outerWidth >= 0 ? StripDiagram::RemoveBoth : StripDiagram::RemoveInnerInsertOuter;
    } else {
        r.diagram = StripDiagram::InsertBoth; // the outer width is always the smaller
    }
    return r;
}

} // namespace ravelle
