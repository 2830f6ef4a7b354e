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
void describe(double width, const LayerTexts& texts, CaptionText& caption, Rgb& colour) {
    const double shown = roundHalfUp(width);
    char number[kMaxNumberText];
    if (width >= 0) {
        caption = CaptionText(texts.removal, {number, formatNumberTo(shown, number)});
        colour = kDarkBlue;
    } else {
        caption = CaptionText(texts.insertion, {number, formatNumberTo(std::fabs(shown), number)});
        colour = kDarkGreen;
    }
}

StripResults invalid() {
    StripResults r;
    r.innerCaption = CaptionText(kStripInvalidMessage, {});
    r.outerCaption = r.innerCaption;
    r.innerColour = kDarkRed;
    r.outerColour = kDarkRed;
    return r;
}

} // namespace

CaptionText::CaptionText(std::string_view text, std::string_view number) {
    const std::size_t textSize = std::min(text.size(), chars_.size());
    const std::size_t numberSize = std::min(number.size(), chars_.size() - textSize);
    std::copy_n(text.data(), textSize, chars_.data());
    std::copy_n(number.data(), numberSize, chars_.data() + textSize);
    size_ = textSize + numberSize;
}

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
    describe(r.innerWidth, kInnerTexts, r.innerCaption, r.innerColour);
    describe(r.outerWidth, kOuterTexts, r.outerCaption, r.outerColour);
    if (r.innerWidth >= 0) {
        r.diagram =
            r.outerWidth >= 0 ? StripDiagram::RemoveBoth : StripDiagram::RemoveInnerInsertOuter;
    } else {
        r.diagram = StripDiagram::InsertBoth; // the outer width is always the smaller
    }
    return r;
}

} // namespace ravelle
