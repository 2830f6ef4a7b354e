// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// A second floor for the start-up benchmark: the bare window with a single
// label showing one digit in the default font. It pays what any window that
// shows text pays (font configuration, the font database, one font engine,
// glyphs) and nothing else, so it separates the cost of showing text at all
// from the cost of Ravelle's own window.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(RAVELLE_MAIN_WINDOW_WIDTH, RAVELLE_MAIN_WINDOW_HEIGHT);
    QLabel label(QStringLiteral("0"), &window);
    label.move(10, 10);
    window.show();
    return QApplication::exec();
}
