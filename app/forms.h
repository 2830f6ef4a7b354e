// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The single instance of each window, reached everywhere through these
// accessors. The first call creates the instance without loading it; the
// instance then stays until the program ends, loaded or not.

class Form1;
class Form2;

namespace forms {
::Form1& Form1();
::Form2& Form2();
} // namespace forms
