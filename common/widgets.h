// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Small Qt helpers both windows use: reading a box, colouring a box or a
// label, what a screen reader says for a control, the window icon and
// frame, the windows' own font and colours, and placing a window by the
// size of its frame.

#include <QColor>
#include <QIcon>
#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QString>

#include <string_view>

#include "common/colours.h"

class QLabel;
class QLineEdit;
class QScreen;
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

// What a screen reader says for a control, in place of the text it shows.
// Changed, and announced to the reader as a changed name, only when it
// differs: Qt raises the event at every setAccessibleName, and a reader
// need not be told of the labels that a run left as they were.
void setSpokenName(QWidget* control, const QString& name);

// An input box as a screen reader presents it: by its name (the captions
// it stands under and beside, with its unit), and described by the tooltip
// of the caption that explains it, which the box itself does not carry.
void nameBox(QLineEdit* box, const QString& name, const QLabel* explainedBy);

// The visible diagram shows what a hidden holder keeps: its image and, for
// a screen reader, its description of what the image shows.
void showHolder(QLabel* picture, const QLabel* holder);

// A fixed-size top-level window with the program's icon and no maximise
// button, as both windows are. It also takes the look its absolute layout
// was drawn for, whatever the desktop's: the window font and the classic
// light system colours (for its boxes, option buttons, button and tooltips),
// keeping the colours its form sets itself.
void setUpFixedWindow(QWidget* window);

// The program's icon with the images a window on a screen of that device
// pixel ratio draws it from.
QIcon windowIcon(qreal devicePixelRatio);
// The embedded face the layout was drawn for, at a size in points of the
// layout's own 96 pixels to the inch, so that a desktop's font resolution
// cannot make text outgrow its boxes.
QFont designFont(double points);

// Where a window's frame goes, from the frame's size and the screen.
using FramePlacement = QPoint (*)(QSize frame, const QScreen& screen);

// Moves the window so that its frame lands where the rule says. The frame's
// size is known once the window system reports it: on some platforms as soon
// as the native window exists, on X11 only once the window manager has framed
// the mapped window. Until then the window is placed as if it had the frame
// of another window of the program already framed or else lastFrame, the
// frame the form's previous window got (kept by the form, which outlives its
// windows; none at first), and moved once more, on its first showing, when
// its own frame is known. Without a frame nothing moves.
void placeCountingFrame(QWidget* window, FramePlacement rule, QMargins& lastFrame);

} // namespace ravelle
