// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/port_captions.h"

#include "common/number_text.h"

namespace ravelle {

std::vector<PortCaption> portCaptions(PortOutcome outcome, PortMode mode, const PortResults& r) {
    using enum PortLabel;
    switch (outcome) {
    case PortOutcome::Complete: {
        const double outside =
            mode == PortMode::FiveTube ? r.outsideDiameter[5] : r.outsideDiameter[3];
        return {
            {Label1, formatNumber(r.insideDiameter[2])},
            {Label2, formatNumber(r.insideDiameter[3])},
            {Label3, formatNumber(r.endGap[1])},
            {Label4, formatNumber(r.endGap[2])},
            {Label21, formatNumber(r.insideDiameter[4])},
            {Label22, formatNumber(r.insideDiameter[5])},
            {Label23, formatNumber(r.endGap[3])},
            {Label24, formatNumber(r.endGap[4])},
            {Label12, "Outside diameter of largest tube  " + formatNumber(outside)},
            {Label14, "Volume required by port  " + formatNumber(r.portVolume) + " litres"},
            {Label18, formatNumber(r.physicalLength)},
            {Label17, "Minimum box depth with port clearance " + formatNumber(r.minBoxDepth)},
        };
    }
    case PortOutcome::BoreTooSmall:
        return {
            {Label1, kNotAvailable},  {Label2, kNotAvailable},  {Label3, kNotAvailable},
            {Label4, kNotAvailable},  {Label21, kNotAvailable}, {Label22, kNotAvailable},
            {Label23, kNotAvailable}, {Label24, kNotAvailable}, {Label12, kBoreTooSmallMessage},
        };
    case PortOutcome::NegativeWall:
    case PortOutcome::OutOfRange:
        break;
    }
    return {};
}

} // namespace ravelle
