// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/widgets.h"

#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QtMath>

#include "common/number_text.h"
#include "common/screen_images.h"

namespace ravelle {

double readBox(const QLineEdit* box) { return readNumber(box->text().toStdString()); }

void setBoxBackground(QLineEdit* box, Rgb colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, toQColor(colour));
    box->setPalette(palette);
}

void setLabelColour(QLabel* label, Rgb colour) {
    const QColor wanted = toQColor(colour);
    QPalette palette = label->palette();
    if (palette.color(QPalette::WindowText) == wanted) return;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::WindowText, wanted);
    }
    label->setPalette(palette);
}

void setUpFixedWindow(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
    window->setWindowIcon(windowIcon(devicePixelRatioOf(window)));
}

QIcon windowIcon(qreal devicePixelRatio) {
    // The sizes a window icon is drawn at (title bar, task switcher) go up
    // to 64 pixels; a screen of finer pixels needs them in more device
    // pixels. The icon theme's larger sizes, installed for the launchers,
    // are decoded and sent to the window system only for such a screen.
    static QIcon icon;
    static int largest = 0;
    const int needed = qCeil(64 * devicePixelRatio);
    int previous = 0;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        if (size > 64 && previous >= needed) break;
        previous = size;
        if (size <= largest) continue;
        // Read as PNG outright: left to find the format itself, the
        // reader loads every image-format plugin to ask about "png".
        QImageReader reader(
            QStringLiteral(":/icons/hicolor/%1x%1/apps/org.ravelle.Ravelle.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
        largest = size;
    }
    return icon;
}

} // namespace ravelle
