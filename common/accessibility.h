// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// How the windows' controls present themselves to assistive technology
// (AT-SPI on Linux, UI Automation on Windows) where Qt's own interfaces fall
// short: the links, which offer a press action, and the input boxes, whose
// text a screen reader must be able to read whole.

namespace ravelle {

// Installs the interfaces; call before a window's widgets are made, since
// Qt keeps the interface it first made for a widget. Repeating it is free.
void useAccessibleInterfaces();

} // namespace ravelle
