// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Shared by the window tests: headless unless the caller chose a platform,
// a fresh start for the single window instances, and readers for colours.

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>

#include "app/form_lifetime.h"
#include "app/forms.h"
#include "app/platform.h"
#include "port/form1.h"
#include "tubemaker/form2.h"

namespace guitest {

// On Windows the offscreen platform finds no fonts: there the tests run on
// the program's own platform choice, on a (virtual) desktop.
inline void chooseHeadlessPlatform() {
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    ravelle::choosePlatformDefaults();
}

// Runs the deferred deletions an unload leaves behind.
inline void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Both windows unloaded, as before the program shows anything.
inline void unloadAll() {
    forms::Form2().Unload();
    forms::Form1().Unload();
    flushDeletes();
}

// Loads and shows the main window and waits until it has the focus.
inline bool showMainWindow() {
    forms::Form1().Show();
    return QTest::qWaitForWindowActive(forms::Form1().window());
}

inline QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}
inline QColor background(const QLineEdit* box) { return box->palette().color(QPalette::Base); }

inline const QColor kYellow(255, 255, 192);
inline const QColor kWhite(255, 255, 255);
inline const QColor kDarkBlue(0, 0, 192);
inline const QColor kDarkGreen(0, 128, 0);
inline const QColor kDarkRed(192, 0, 0);

// Replaces a box's text in one change, as a paste over a selection would.
inline void replaceText(QLineEdit* box, const QString& text) { box->setText(text); }

} // namespace guitest

// QTEST_MAIN with the platform chosen before the application exists.
#define RAVELLE_GUI_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char* argv[]) {                                                             \
        guitest::chooseHeadlessPlatform();                                                         \
        QApplication app(argc, argv);                                                              \
        QApplication::setQuitOnLastWindowClosed(false);                                            \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
