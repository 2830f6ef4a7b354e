// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace ravelle {
namespace {

// Reads characters of a box's text, passing over the blanks, tabs and line
// feeds that may stand anywhere inside a number.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    // The next character that counts, or '\0' at the end.
    char peek() {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }
    std::size_t position() const { return pos_; }
    void rewind(std::size_t pos) { pos_ = pos; }

  private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigitValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "&H1F" or "&O17", the cursor standing after the "&".
double readRadixNumber(Cursor& in) {
    const char prefix = in.peek();
    int base = 0;
    if (prefix == 'h' || prefix == 'H') base = 16;
    if (prefix == 'o' || prefix == 'O') base = 8;
    if (base == 0) return 0.0;
    in.advance();
    double value = 0.0;
    for (;;) {
        const int digit = hexDigitValue(in.peek());
        if (digit < 0 || digit >= base) break;
        value = value * base + digit;
        in.advance();
    }
    return value;
}

// Saturates long exponents. The limit is beyond the number of digits any
// box can hold, so an exponent this large leaves the double range whatever
// mantissa stands in front of it ("1" and a million zeros "E-1000000" is 1).
constexpr long kExponentLimit = 1'000'000'000;

double readDecimalMagnitude(Cursor& in) {
    std::string integerDigits;
    std::string fractionDigits;
    while (isDigit(in.peek())) {
        integerDigits.push_back(in.peek());
        in.advance();
    }
    if (in.peek() == '.') {
        in.advance();
        while (isDigit(in.peek())) {
            fractionDigits.push_back(in.peek());
            in.advance();
        }
    }
    if (integerDigits.empty() && fractionDigits.empty()) return 0.0;

    long exponent = 0;
    if (in.peek() == 'e' || in.peek() == 'E') {
        const std::size_t mark = in.position();
        in.advance();
        bool negative = false;
        if (in.peek() == '+' || in.peek() == '-') {
            negative = in.peek() == '-';
            in.advance();
        }
        if (!isDigit(in.peek())) {
            in.rewind(mark); // "1.5E" or "1.5E+x": the exponent is not part of the number
        } else {
            while (isDigit(in.peek())) {
                if (exponent < kExponentLimit) exponent = exponent * 10 + (in.peek() - '0');
                in.advance();
            }
            if (negative) exponent = -exponent;
        }
    }

    std::string text = integerDigits.empty() ? std::string("0") : integerDigits;
    if (!fractionDigits.empty()) text += '.' + fractionDigits;
    text += 'e' + std::to_string(exponent);

    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: tell which by the decimal
        // exponent of the leading significant digit.
        const auto firstSignificant = integerDigits.find_first_not_of('0');
        long magnitude = 0;
        if (firstSignificant != std::string::npos) {
            magnitude = exponent + static_cast<long>(integerDigits.size() - firstSignificant);
        } else {
            const auto zeros = fractionDigits.find_first_not_of('0');
            magnitude = exponent - static_cast<long>(zeros == std::string::npos ? 0 : zeros);
        }
        return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

} // namespace

double readNumber(std::string_view text) {
    Cursor in(text);
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }
    double magnitude = 0.0;
    if (in.peek() == '&') {
        in.advance();
        magnitude = readRadixNumber(in);
    } else {
        magnitude = readDecimalMagnitude(in);
    }
    return negative ? -magnitude : magnitude;
}

std::size_t formatNumberTo(double value, char (&out)[kMaxNumberText]) {
    if (!std::isfinite(value)) return 0;
    out[0] = std::signbit(value) && value != 0.0 ? '-' : ' ';
    if (value == 0.0) {
        out[1] = '0';
        return 2;
    }
    // "%.15g" rules: plain digits unless the exponent is below -4 or 15 and
    // over, trailing zeros dropped. to_chars never looks at the locale.
    const auto result = std::to_chars(out + 1, out + kMaxNumberText, std::fabs(value),
                                      std::chars_format::general, 15);
    for (char* p = out + 1; p != result.ptr; ++p) {
        if (*p == 'e') *p = 'E';
    }
    return static_cast<std::size_t>(result.ptr - out);
}

std::string formatNumber(double value) {
    char text[kMaxNumberText];
    return std::string(text, formatNumberTo(value, text));
}

} // namespace ravelle
