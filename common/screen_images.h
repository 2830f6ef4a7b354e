// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Diagrams and the window icon at the resolution of the screen a window is
// on. The forms give every picture its 1x image, and on an ordinary screen
// nothing more is read. On a screen of more device pixels per pixel (a scale
// factor above 1) the hidden holders take the images drawn for it, at the
// same size in pixels, and the visible picture takes the image of the holder
// it shows; again whenever the window moves to a screen of another ratio.

#include <QObject>
#include <QPixmap>
#include <QString>

#include <vector>

class QEvent;
class QLabel;
class QWidget;

namespace ravelle {

// Device pixels per pixel where the window is drawn: its screen's.
qreal devicePixelRatioOf(const QWidget* window);

// The diagram ":/<name>.gif" for a screen of the given ratio. Up to 1 the
// 1x image; at 2 and 3 the image drawn at that scale; between and above, the
// next larger drawing (the 3x one above 3) scaled smoothly to the device
// size, so that each of its pixels is one pixel of the screen.
QPixmap diagramImage(const QString& name, qreal devicePixelRatio);

struct DiagramHolder {
    QLabel* picture;
    QString image; // resource name without ".gif", as in the form
};

// Keeps one window's diagrams and icon at its screen's resolution. A child
// of the window, so it goes with it.
class ScreenImages : public QObject {
    Q_OBJECT

  public:
    // shown: the visible picture, which shows the image of one of the holders.
    ScreenImages(QWidget* window, QLabel* shown, std::vector<DiagramHolder> holders);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void followScreen();

    QWidget* window_;
    QLabel* shown_;
    std::vector<DiagramHolder> holders_;
    qreal ratio_ = 1; // the ratio the pictures are drawn for
};

} // namespace ravelle
