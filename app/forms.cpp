// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "app/forms.h"

#include "port/form1.h"
#include "tubemaker/form2.h"

namespace forms {

::Form1& Form1() {
    static ::Form1 instance;
    return instance;
}

::Form2& Form2() {
    static ::Form2 instance;
    return instance;
}

} // namespace forms
