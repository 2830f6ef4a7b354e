// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

namespace ravelle {

// What the program asks of Qt's platform layer before the application
// object exists; called first thing by main and by the window tests.
// On Windows: the DirectWrite font engine. Qt 6.4's default GDI engine
// leaves the text inside line edits undrawn where DirectWrite is the
// system's renderer (Wine), and DirectWrite is what Qt itself picks from
// 6.8 on. And the windowsvista style, the one the windows were drawn and
// checked with: Qt 6.8 would draw them in its windows11 style on Windows
// 11, with other sizes, borders and colours. A platform or style the user
// chose (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, or -style) is left alone.
void choosePlatformDefaults();

} // namespace ravelle
