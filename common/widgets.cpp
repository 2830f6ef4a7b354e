// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/widgets.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

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
    static const QIcon icon = [] {
        QIcon sizes;
        for (int size : {16, 32, 48, 64, 128, 256}) {
            sizes.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/org.ravelle.Ravelle.png").arg(size),
                          QSize(size, size));
        }
        return sizes;
    }();
    window->setWindowIcon(icon);
}

} // namespace ravelle
