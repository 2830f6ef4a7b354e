// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The floor for the start-up benchmark: an empty top-level QWidget with the
// main window's client size, shown and left to the event loop, built in the
// same build against the same Qt as ravelle. Nothing else.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(RAVELLE_MAIN_WINDOW_WIDTH, RAVELLE_MAIN_WINDOW_HEIGHT);
    window.show();
    return QApplication::exec();
}
