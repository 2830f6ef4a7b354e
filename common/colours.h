// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The colours both windows use, as red, green, blue.

#include <cstdint>

namespace ravelle {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kDarkBlue{0, 0, 192};
inline constexpr Rgb kDarkGreen{0, 128, 0};
inline constexpr Rgb kDarkRed{192, 0, 0};
inline constexpr Rgb kMidGrey{128, 128, 128};
inline constexpr Rgb kLightGrey{224, 224, 224};
inline constexpr Rgb kWhite{255, 255, 255};
// An input box while it has the keyboard focus.
inline constexpr Rgb kFocusYellow{255, 255, 192};

// The system colours the windows were drawn with: the classic light ones,
// not the desktop's, which may be dark (see classicPalette in widgets.cpp).
inline constexpr Rgb kSystemWindow{255, 255, 255}; // an edit field's background
inline constexpr Rgb kSystemWindowText{0, 0, 0};   // an edit field's text
inline constexpr Rgb kSystemButtonText{0, 0, 0};   // a button's caption

} // namespace ravelle
