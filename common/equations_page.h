// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

#include <QUrl>

namespace ravelle {

// Where the main window's link leads: the address chosen when Ravelle was
// built, or else the equations page installed with the program: on Linux
// <prefix>/share/ravelle/vent-proof-adv.htm next to <prefix>/bin, on
// Windows doc\vent-proof-adv.htm in the program's folder.
QUrl equationsPageAddress();

// Opens it in the user's web browser. Like the shell's "open" request it
// shows no message, whatever happens.
void openEquationsPage();

} // namespace ravelle
