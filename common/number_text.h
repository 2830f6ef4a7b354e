// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The number-text rules shared by both windows: how a box's text becomes a
// number, how a number becomes a label's text, and the rounding both
// computations use. None of it depends on the user's locale: "." is the only
// decimal separator, in and out.

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

namespace ravelle {

// Pi as both computations use it: the double nearest 3.14159265359, not the
// full-precision constant, so that every shown number agrees to the last bit.
inline constexpr double kPi = 3.14159265359;

// Reads the longest leading numeric prefix of `text`. Blanks, tabs and line
// feeds are skipped wherever they stand ("1 2" reads 12); an optional sign,
// digits, "." and an exponent ("1.5E3") are taken, as are "&H" (hex) and "&O"
// (octal) prefixes; reading stops at the first other character. An empty or
// non-numeric text reads 0. A number beyond the double range reads as +-inf.
double readNumber(std::string_view text);

// Longest text formatNumberTo writes, without a terminating NUL.
inline constexpr std::size_t kMaxNumberText = 24;

// Writes `value` as a label shows it: a blank in place of the sign for zero
// and positive numbers, "-" otherwise; "." as the point, with a zero before
// it below 1; at most 15 significant digits, no trailing zeros, no thousands
// separators; an exponent form ("1.5E+20") only where plain digits cannot
// hold 15 significant digits. Non-finite values write nothing (return 0):
// the computations never hand one over. Returns the length written.
std::size_t formatNumberTo(double value, char (&out)[kMaxNumberText]);

std::string formatNumber(double value);

// Half-up rounding to a whole number, kept as a double: 12.5 -> 13, -11.7 -> -12.
inline double roundHalfUp(double x) { return std::floor(x + 0.5); }

} // namespace ravelle
