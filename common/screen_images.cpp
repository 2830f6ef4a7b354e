// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/screen_images.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmapCache>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <utility>

#include "common/widgets.h"

namespace ravelle {

namespace {

bool samePicture(const QPixmap& a, const QPixmap& b) {
    return a.cacheKey() == b.cacheKey() || a.toImage() == b.toImage();
}

} // namespace

qreal devicePixelRatioOf(const QWidget* window) {
    if (const QWindow* handle = window->windowHandle()) return handle->devicePixelRatio();
    if (const QScreen* screen = window->screen()) return screen->devicePixelRatio();
    return qApp->devicePixelRatio();
}

QPixmap diagramImage(const QString& name, qreal devicePixelRatio) {
    const int drawn = devicePixelRatio <= 1 ? 1 : devicePixelRatio <= 2 ? 2 : 3;
    const QString key = QStringLiteral("ravelle/%1@%2").arg(name).arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) return pixmap;
    if (drawn == 1) {
        // The form's own image, most likely still in Qt's cache.
        pixmap = QPixmap(QStringLiteral(":/%1.gif").arg(name));
    } else {
        QImageReader reader(QStringLiteral(":/%1@%2x.gif").arg(name).arg(drawn), "gif");
        QImage image = reader.read();
        if (devicePixelRatio != drawn) {
            // Scaled down (or, above 3, up) once, smoothly, rather than by
            // the painter at every paint, which would drop or repeat pixels.
            const QSize size = image.size() / drawn;
            image = image.scaled(qRound(size.width() * devicePixelRatio),
                                 qRound(size.height() * devicePixelRatio), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
        }
        image.setDevicePixelRatio(devicePixelRatio);
        pixmap = QPixmap::fromImage(std::move(image));
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

ScreenImages::ScreenImages(QWidget* window, QLabel* shown, std::vector<DiagramHolder> holders)
    : QObject(window), window_(window), shown_(shown), holders_(std::move(holders)) {
    window->installEventFilter(this);
    followScreen();
}

bool ScreenImages::eventFilter(QObject* watched, QEvent* event) {
    // On its first showing the window may land on another screen than
    // planned. Its native window, which exists from then on, tells when it
    // moves to another screen (a new native window is followed as it shows).
    if (watched == window_ && event->type() == QEvent::Show) {
        if (const QWindow* handle = window_->windowHandle())
            connect(handle, &QWindow::screenChanged, this, &ScreenImages::followScreen,
                    Qt::UniqueConnection);
        followScreen();
    }
    return QObject::eventFilter(watched, event);
}

void ScreenImages::followScreen() {
    const qreal ratio = devicePixelRatioOf(window_);
    if (ratio == ratio_) return;
    ratio_ = ratio;
    const QLabel* shownHolder = nullptr;
    for (const DiagramHolder& holder : holders_) {
        if (samePicture(shown_->pixmap(), holder.picture->pixmap())) shownHolder = holder.picture;
    }
    for (const DiagramHolder& holder : holders_)
        holder.picture->setPixmap(diagramImage(holder.image, ratio));
    if (shownHolder) shown_->setPixmap(shownHolder->pixmap());
    window_->setWindowIcon(windowIcon(ratio));
}

} // namespace ravelle
