// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The user's actions for the random window test, the texts they type or
// paste, and how an action is written out when a run fails.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

namespace model {

enum class Win { Main, TubeMaker };

enum class Kind {
    SetText,       // the box's text replaced in one change
    Type,          // keys typed at a caret position
    SelectAllType, // Ctrl+A, then keys typed over the selection
    Backspace,     // `count` backspaces at a caret position, after Ctrl+A if `flag`
    OtherKey,      // Return, Enter, Esc or a caret movement (`count` picks which): no change
    Paste,         // Ctrl+V at a caret position, or over everything (`flag`)
    ClickOption1,
    ClickOption2,
    Tab,            // Tab, or Shift+Tab (`flag`), in a window
    FocusBox,       // a click into a box
    OpenTubeMaker,  // the main window's tube-maker link
    Done,           // the tube-maker's "Done"
    CloseTubeMaker, // closed through the frame; deletes flushed if `flag`
    ReloadMain,     // the main window closed through the frame and shown again
};

struct Action {
    Kind kind = Kind::SetText;
    Win win = Win::Main;
    int box = 0;   // 0-based: Text1 is 0
    int caret = 0; // clamped to the text's length when applied
    int count = 1;
    bool flag = false;
    QString text;
};

// Deterministic across standard libraries: only the engine's raw output
// is used.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : engine_(seed) {}
    int below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[below(int(N))];
    }
    std::uint64_t next() { return engine_(); }

  private:
    std::mt19937_64 engine_;
};

inline constexpr int kLongText = 100000;

// A text of exactly kLongText characters, of one of several shapes.
inline QString longText(Rng& rng) {
    const QString digit = QString::number(1 + rng.below(9));
    switch (rng.below(8)) {
    case 0:
        return digit + QString(kLongText - 1, QLatin1Char('0')); // 1E99999: beyond the range
    case 1:
        return QStringLiteral("0.") + QString(kLongText - 3, QLatin1Char('0')) +
               digit; // underflows to 0
    case 2:
        return QString(kLongText - 2, QLatin1Char('0')) + digit + QLatin1Char('5'); // leading zeros
    case 3:
        return digit + QString(kLongText - 2, QLatin1Char(' ')) + QLatin1Char('7'); // blanks inside
    case 4:
        return digit + QLatin1Char('.') + QString(kLongText - 2, QLatin1Char('3')); // long fraction
    case 5:
        return QStringLiteral("-") + QString(kLongText - 1, QLatin1Char('9'));
    case 6:
        return digit + QString(kLongText - 1, QLatin1Char('x')); // trailing junk
    default:
        return QString(kLongText - 1, QChar(0x0663)) + digit; // Arabic-Indic first
    }
}

// Anything a user might put into a box.
inline QString anyText(Rng& rng) {
    // clang-format off
    static const char* const realistic[] = {
        "86", "2", "4", "830", "36", "100", "95", "0", "1", "1.5", "12.5", ".5", "0.001", "50",
        "600", "110", "90", "92", "7"};
    static const char* const odd[] = {
        "", " ", "\t",                                       // empty and blank
        "1 2", "8\t6", "8\n6",                               // blanks inside digits
        "+5", "-3", "--3", "+-1", "-0",                      // signs
        "1.5E3", "2e-2", "1E", "1e+", "1E+x",                // exponents, whole and not
        "&H1F", "&hff", "&O17", "&o9", "&H", "&", "&X1",     // radix prefixes
        "86mm", "12abc", "4,5", "1.2.3",                     // trailing junk
        "1E400", "-1E400", "1E308", "2E308", "1.7976931348623157E308", "1E154", "1E155",
        "3E200", "1e100000",                                 // huge
        "1E-400", "4.9E-324", "1E-320", "-1E-400", "0.0000001", "9e-99999", // tiny
        "\x01", "8\x7f" "6", "8\r6", "\x1b[2J",               // control characters
        "1.0000000000000001", "123456789012345678901234567890"};
    static const char16_t* const unicode[] = {
        u"\u0668\u0666", u"\uff18\uff16", u"\u06f8\u06f6", u"\u096e\u096c", // non-ASCII digits
        u"8\u0666", u"\u00a086", u"8\u200b6", u"8\U0001F600", u"\u20128", u"\u2212" u"5",
        u"\u202e86"};
    // clang-format on
    QString text;
    switch (rng.below(20)) {
    case 0:
        return longText(rng);
    case 1:
    case 2:
        return QString::fromUtf16(rng.pick(unicode));
    case 3: // half a surrogate pair, or a NUL inside digits
        return QLatin1Char('8') + QString(QChar(rng.chance(50) ? 0xd800 : 0)) + QLatin1Char('6');
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
        return QString::fromLatin1(rng.pick(odd));
    case 9: { // a random mantissa with an exponent
        text = QString::number(rng.below(1000)) + (rng.chance(50) ? "E" : "e");
        if (rng.chance(50)) text += rng.chance(50) ? "-" : "+";
        return text + QString::number(rng.below(400));
    }
    case 10:
        return QString::number(double(rng.below(1000000)) / 1000.0, 'f', rng.below(4));
    case 11:
        return (rng.chance(50) ? "&H" : "&O") +
               QString::number(rng.below(4096), rng.chance(50) ? 16 : 8);
    default: {
        text = QString::fromLatin1(rng.pick(realistic));
        if (rng.chance(15)) text.prepend(rng.chance(50) ? '-' : '+');
        if (rng.chance(10))
            text.insert(rng.below(int(text.size()) + 1), rng.chance(50) ? ' ' : '\t');
        if (rng.chance(10)) text += QString::fromLatin1(rng.chance(50) ? "mm" : "x1");
        return text;
    }
    }
}

// Keys a user types: printable ASCII only, a few at a time.
inline QString typedKeys(Rng& rng) {
    static const char keys[] = "0123456789012345678901234567890123456789..--++ eEEHOh&x,";
    QString text;
    const int n = 1 + rng.below(5);
    for (int i = 0; i < n; ++i)
        text += QLatin1Char(keys[rng.below(int(sizeof keys) - 1)]);
    return text;
}

// A text as it is written in a report: printable ASCII as it is, anything
// else escaped, long runs of one character folded.
inline QString describeText(const QString& text) {
    QStringList parts;
    QString plain;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype run = 1;
        while (i + run < text.size() && text[i + run] == text[i])
            ++run;
        const QChar c = text[i];
        // The code as a number: newer Qt takes no character type for arg().
        const QString one =
            (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != '"' && c != '\\')
                ? QString(c)
                : QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        if (run > 8) {
            if (!plain.isEmpty()) parts << '"' + plain + '"';
            plain.clear();
            parts << QStringLiteral("%1 x \"%2\"").arg(run).arg(one);
        } else {
            for (qsizetype k = 0; k < run; ++k)
                plain += one;
        }
        i += run;
    }
    if (!plain.isEmpty() || parts.isEmpty()) parts << '"' + plain + '"';
    return parts.join(QLatin1String(" + "));
}

inline QString describe(const Action& a) {
    const QString window =
        a.win == Win::Main ? QStringLiteral("main") : QStringLiteral("tube-maker");
    const QString box = QStringLiteral("%1 Text%2").arg(window).arg(a.box + 1);
    switch (a.kind) {
    case Kind::SetText:
        return box + " setText " + describeText(a.text);
    case Kind::Type:
        return box + QStringLiteral(" type %1 at %2").arg(describeText(a.text)).arg(a.caret);
    case Kind::SelectAllType:
        return box + " Ctrl+A, type " + describeText(a.text);
    case Kind::Backspace:
        return box + (a.flag ? QStringLiteral(" Ctrl+A, Backspace, then") : QString()) +
               QStringLiteral(" %1 x Backspace at %2").arg(a.count).arg(a.caret);
    case Kind::OtherKey: {
        static const char* const keys[] = {"Return", "Enter", "Esc", "Up",
                                           "Down",   "Home",  "End", "Left"};
        return box + " key " + keys[a.count % std::size(keys)];
    }
    case Kind::Paste:
        return box + " paste " + describeText(a.text) +
               (a.flag ? QStringLiteral(" over all") : QStringLiteral(" at %1").arg(a.caret));
    case Kind::ClickOption1:
        return QStringLiteral("click Option1 (3 tubes)");
    case Kind::ClickOption2:
        return QStringLiteral("click Option2 (5 tubes)");
    case Kind::Tab:
        return window + (a.flag ? " Shift+Tab" : " Tab");
    case Kind::FocusBox:
        return box + " click into";
    case Kind::OpenTubeMaker:
        return QStringLiteral("click Label25 (open the tube-maker)");
    case Kind::Done:
        return QStringLiteral("click Done");
    case Kind::CloseTubeMaker:
        return QStringLiteral("close the tube-maker by its frame") + (a.flag ? ", delete" : "");
    case Kind::ReloadMain:
        return QStringLiteral("close the main window by its frame, show it again");
    }
    return {};
}

inline QString describe(const std::vector<Action>& actions) {
    QStringList lines;
    for (std::size_t i = 0; i < actions.size(); ++i)
        lines << QStringLiteral("  %1. %2").arg(i + 1).arg(describe(actions[i]));
    return lines.join('\n');
}

} // namespace model
