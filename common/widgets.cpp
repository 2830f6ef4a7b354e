// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/widgets.h"

#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>

#include "common/number_text.h"

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
    // The sizes a window icon is drawn at (title bar, task switcher); the
    // larger ones of the icon theme, installed with the program, serve the
    // launchers and are not decoded and sent to the window system at start.
    static const QIcon icon = [] {
        QIcon sizes;
        for (int size : {16, 32, 48, 64}) {
            // Read as PNG outright: left to find the format itself, the
            // reader loads every image-format plugin to ask about "png".
            QImageReader reader(
                QStringLiteral(":/icons/hicolor/%1x%1/apps/org.ravelle.Ravelle.png").arg(size),
                "png");
            reader.setAutoDetectImageFormat(false);
            sizes.addPixmap(QPixmap::fromImage(reader.read()));
        }
        return sizes;
    }();
    window->setWindowIcon(icon);
}

} // namespace ravelle
