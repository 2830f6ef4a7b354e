// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Starts Ravelle: loads and shows the main window, then runs events until no
// window is loaded any more. Reads no command line (beyond Qt's own), no
// settings and no files.
#include <QApplication>

#include "common/platform.h"
#include "common/version.h"
#include "port/form1.h"
#include "tubemaker/form2.h"

int main(int argc, char* argv[]) {
    ravelle::choosePlatformDefaults();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ravelle"));
    QApplication::setApplicationVersion(QStringLiteral(RAVELLE_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ravelle.Ravelle"));
    // A hidden tube-maker window still counts: the program ends when the
    // last window is unloaded, not when the last one is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    // The main window unloads the tube-maker as it goes, so once it is
    // unloaded no window is loaded any more: the program is over.
    QObject::connect(&forms::Form1(), &FormLifetime::unloaded, &app, [] {
        if (!forms::Form2().isLoaded()) QCoreApplication::exit(0);
    });

    forms::Form1().Show();
    const int status = QApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
