// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Which result labels of the main window a run rewrites, with the text each
// shows and the words a screen reader says for it. The window only applies
// this list, in its order.

#include <string>
#include <vector>

#include "port/port_design.h"

namespace ravelle {

// The main window's result labels, by their names in the window.
enum class PortLabel {
    Label1,  // inside diameter of tube 2
    Label2,  // inside diameter of tube 3
    Label3,  // end gap of tube 1
    Label4,  // end gap of tube 2
    Label21, // inside diameter of tube 4
    Label22, // inside diameter of tube 5
    Label23, // end gap of tube 3
    Label24, // end gap of tube 4
    Label12, // outside diameter of the largest tube, or the small-bore message
    Label14, // port volume
    Label18, // physical length
    Label17, // minimum box depth
};
inline constexpr int kPortLabelCount = 12;

struct PortCaption {
    PortLabel label;
    std::string text;   // as shown: " 124"
    std::string spoken; // its meaning, value and unit: "Inside diameter of tube 2: 124 mm"
    bool operator==(const PortCaption&) const = default;
};

inline constexpr const char* kNotAvailable = "n/a";
inline constexpr const char* kBoreTooSmallMessage =
    "Smallest tube must be larger than 1mm in diameter";

// The captions a run writes, in the order they are written: all twelve on
// Complete, the nine of the small-bore display on BoreTooSmall, and none
// when the display is to stay as it was.
std::vector<PortCaption> portCaptions(PortOutcome outcome, PortMode mode,
                                      const PortResults& results);

} // namespace ravelle
