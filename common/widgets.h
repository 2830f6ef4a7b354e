// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Small Qt helpers both windows use: reading a box, colouring a box or a
// label, and the window icon and frame.

#include <QColor>
#include <QIcon>
#include <QString>

#include <string_view>

#include "common/colours.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace ravelle {

inline QColor toQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The box's text read by the number-text rules.
double readBox(const QLineEdit* box);

// Input boxes are pale yellow while they have the focus, white after.
void setBoxBackground(QLineEdit* box, Rgb colour);
void setLabelColour(QLabel* label, Rgb colour);

// A fixed-size top-level window with the program's icon and no maximise
// button, as both windows are.
void setUpFixedWindow(QWidget* window);

// The program's icon with the images a window on a screen of that device
// pixel ratio draws it from.
QIcon windowIcon(qreal devicePixelRatio);

} // namespace ravelle
