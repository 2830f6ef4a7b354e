// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Starts Ravelle: loads and shows the main window, then runs events until no
// window is loaded any more. Reads no command line (beyond Qt's own), no
// settings and no files.
#include <QApplication>

#include "app/forms.h"
#include "app/platform.h"
#include "app/version.h"
#include "port/form1.h"

int main(int argc, char* argv[]) {
    ravelle::choosePlatformDefaults();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ravelle"));
    QApplication::setApplicationVersion(QStringLiteral(RAVELLE_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ravelle.Ravelle"));
    // A hidden tube-maker window still counts: the program ends when the
    // last window is unloaded, not when the last one is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    FormLifetime::setLastUnloadedHandler([] { QCoreApplication::exit(0); });

    forms::Form1().Show();
    const int status = QApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
