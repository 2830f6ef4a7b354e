// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/port_captions.h"

#include <initializer_list>
#include <string_view>

#include "common/number_text.h"

namespace ravelle {

namespace {

// Each result label: what a screen reader says before its value and after
// it, and what the label shows around the number. Most show the bare number
// and leave the meaning to the captions beside them, which a reader moving
// through the window does not join to it.
struct ResultWords {
    std::string_view meaning;
    std::string_view unit;
    std::string_view shownBefore;
    std::string_view shownAfter;
};

// In PortLabel order.
constexpr ResultWords kResultWords[kPortLabelCount] = {
    {"Inside diameter of tube 2", "mm", "", ""},
    {"Inside diameter of tube 3", "mm", "", ""},
    {"End gap of tube 1", "mm", "", ""},
    {"End gap of tube 2", "mm", "", ""},
    {"Inside diameter of tube 4", "mm", "", ""},
    {"Inside diameter of tube 5", "mm", "", ""},
    {"End gap of tube 3", "mm", "", ""},
    {"End gap of tube 4", "mm", "", ""},
    {"Outside diameter of largest tube", "mm", "Outside diameter of largest tube  ", ""},
    {"Volume required by port", "litres", "Volume required by port  ", " litres"},
    {"Physical length of port", "mm", "", ""},
    {"Minimum box depth with port clearance", "mm", "Minimum box depth with port clearance ", ""},
};

const ResultWords& wordsOf(PortLabel label) { return kResultWords[static_cast<int>(label)]; }

std::string join(std::initializer_list<std::string_view> parts) {
    std::string joined;
    for (std::string_view part : parts)
        joined += part;
    return joined;
}

PortCaption result(PortLabel label, double value) {
    const ResultWords& words = wordsOf(label);
    const std::string number = formatNumber(value);
    // The blank that stands in the sign's place is not said.
    const std::string_view said = std::string_view(number).substr(number.starts_with(' ') ? 1 : 0);
    return {label, join({words.shownBefore, number, words.shownAfter}),
            join({words.meaning, ": ", said, " ", words.unit})};
}

PortCaption notAvailable(PortLabel label) {
    return {label, kNotAvailable, join({wordsOf(label).meaning, ": ", kNotAvailable})};
}

} // namespace

std::vector<PortCaption> portCaptions(PortOutcome outcome, PortMode mode, const PortResults& r) {
    using enum PortLabel;
    switch (outcome) {
    case PortOutcome::Complete: {
        const double outside =
            mode == PortMode::FiveTube ? r.outsideDiameter[5] : r.outsideDiameter[3];
        return {
            result(Label1, r.insideDiameter[2]),
            result(Label2, r.insideDiameter[3]),
            result(Label3, r.endGap[1]),
            result(Label4, r.endGap[2]),
            result(Label21, r.insideDiameter[4]),
            result(Label22, r.insideDiameter[5]),
            result(Label23, r.endGap[3]),
            result(Label24, r.endGap[4]),
            result(Label12, outside),
            result(Label14, r.portVolume),
            result(Label18, r.physicalLength),
            result(Label17, r.minBoxDepth),
        };
    }
    case PortOutcome::BoreTooSmall:
        return {
            notAvailable(Label1),
            notAvailable(Label2),
            notAvailable(Label3),
            notAvailable(Label4),
            notAvailable(Label21),
            notAvailable(Label22),
            notAvailable(Label23),
            notAvailable(Label24),
            {Label12, kBoreTooSmallMessage, kBoreTooSmallMessage},
        };
    case PortOutcome::NegativeWall:
    case PortOutcome::OutOfRange:
        break;
    }
    return {};
}

} // namespace ravelle
