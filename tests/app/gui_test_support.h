// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Shared by the window tests: headless unless the caller chose a platform,
// a fresh start for the single window instances, readers for colours, and
// checks of the diagrams and the icon against the screen's resolution.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <utility>

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

// The scale factor the test was started with (CTest sets QT_SCALE_FACTOR
// for some runs), 1 without one.
inline qreal startScale() {
    bool ok = false;
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? scale : 1;
}

inline qreal ratioOf(const QWidget* window) { return window->windowHandle()->devicePixelRatio(); }

// A screen whose ratio differs from the window's, or null.
inline QScreen* screenOfAnotherRatio(const QWidget* window) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() != ratioOf(window)) return screen;
    return nullptr;
}

inline QImage committedDiagram(const QString& name, int scale) {
    const QString at = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    return QImage(QStringLiteral(":/%1%2.gif").arg(name, at)).convertToFormat(QImage::Format_RGB32);
}

// How far an image, brought back to 1x size, is from a 1x drawing.
inline qint64 distanceAt1x(const QImage& shown, const QImage& drawing) {
    const QImage small =
        shown.scaled(drawing.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    qint64 sum = 0;
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            const QRgb a = small.pixel(x, y), b = drawing.pixel(x, y);
            sum +=
                qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    }
    return sum;
}

// A hidden holder and the diagram its form gives it.
using Holder = std::pair<const char*, QString>;

// Checks that every holder of the window holds its diagram drawn for a screen
// of that ratio (one image pixel per device pixel at the 1x size in pixels;
// at 1, 2 and 3 the committed image of that scale; at any ratio closer to its
// own diagram than to the others), that Picture1 shows exactly the image of
// the holder `shown`, and that the icon has images of the screen's pixels.
inline void checkDrawnFor(QWidget* window, const QList<Holder>& holders, const char* shown,
                          qreal ratio) {
    for (const auto& [name, diagram] : holders) {
        const QPixmap pixmap = window->findChild<QLabel*>(name)->pixmap();
        const QImage drawing = committedDiagram(diagram, 1);
        QCOMPARE(pixmap.devicePixelRatio(), ratio);
        QCOMPARE(pixmap.size(), (QSizeF(drawing.size()) * ratio).toSize());
        QCOMPARE(pixmap.deviceIndependentSize().toSize(), drawing.size());
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        if (ratio == qRound(ratio)) QCOMPARE(image, committedDiagram(diagram, qRound(ratio)));
        for (const auto& [other, otherDiagram] : holders) {
            if (other == name) continue;
            QVERIFY2(distanceAt1x(image, drawing) <
                         distanceAt1x(image, committedDiagram(otherDiagram, 1)),
                     name);
        }
    }
    const QPixmap picture1 = window->findChild<QLabel*>("Picture1")->pixmap();
    QCOMPARE(picture1.toImage(), window->findChild<QLabel*>(shown)->pixmap().toImage());
    QCOMPARE(picture1.devicePixelRatio(), ratio);
    for (int size : {16, 32, 48, 64}) {
        const QPixmap icon = window->windowIcon().pixmap(QSize(size, size), ratio);
        QCOMPARE(icon.size(), (QSizeF(size, size) * ratio).toSize());
        QCOMPARE(icon.devicePixelRatio(), ratio);
    }
}

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
