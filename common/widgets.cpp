// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/widgets.h"

#include <QEvent>
#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QtMath>
#include <QResource>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

#include "common/number_text.h"
#include "common/screen_images.h"

namespace ravelle {

namespace {

// The size the layout fits: every caption and result drawn whole.
constexpr double kWindowFontPoints = 9;

// The light palette the windows were drawn and checked with (Qt's own light
// palette), with the design's system colours. Fixed, so that a dark or
// high-contrast desktop cannot put its light text on the design's white and
// yellow boxes or its grey window. Written out, as Fusion's standard palette
// is the desktop's scheme's (Qt 6.4 under a dark GTK theme gives a dark one).
QPalette classicPalette() {
    struct RoleColour {
        QPalette::ColorRole role;
        QColor colour;
    };
    static const RoleColour kRoles[] = {
        {QPalette::WindowText, toQColor(kSystemButtonText)}, // option captions
        {QPalette::Button, QColor(0xef, 0xef, 0xef)},
        {QPalette::Light, QColor(0xff, 0xff, 0xff)},
        {QPalette::Midlight, QColor(0xca, 0xca, 0xca)},
        {QPalette::Dark, QColor(0x9f, 0x9f, 0x9f)},
        {QPalette::Mid, QColor(0xb8, 0xb8, 0xb8)},
        {QPalette::Text, toQColor(kSystemWindowText)},
        {QPalette::BrightText, QColor(0xff, 0xff, 0xff)},
        {QPalette::ButtonText, toQColor(kSystemButtonText)},
        {QPalette::Base, toQColor(kSystemWindow)},
        {QPalette::Window, QColor(0xef, 0xef, 0xef)},
        {QPalette::Shadow, QColor(0x76, 0x76, 0x76)},
        // Qt's blue, darker: white text on it at 5.2:1, not 3.7:1, since
        // tabbing into a box selects its number.
        {QPalette::Highlight, QColor(0x2a, 0x6f, 0xb0)},
        {QPalette::HighlightedText, QColor(0xff, 0xff, 0xff)},
        {QPalette::Link, QColor(0x00, 0x00, 0xff)},
        {QPalette::LinkVisited, QColor(0xff, 0x00, 0xff)},
        {QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7)},
        {QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc)},
        {QPalette::ToolTipText, QColor(0x00, 0x00, 0x00)},
        {QPalette::PlaceholderText, QColor(0x00, 0x00, 0x00, 0x80)},
    };
    static const RoleColour kDisabled[] = {
        {QPalette::WindowText, QColor(0xbe, 0xbe, 0xbe)},
        {QPalette::Text, QColor(0xbe, 0xbe, 0xbe)},
        {QPalette::ButtonText, QColor(0xbe, 0xbe, 0xbe)},
        {QPalette::Dark, QColor(0xbe, 0xbe, 0xbe)},
        {QPalette::Base, QColor(0xef, 0xef, 0xef)},
        {QPalette::Shadow, QColor(0xb1, 0xb1, 0xb1)},
        {QPalette::Highlight, QColor(0x91, 0x91, 0x91)},
    };
    QPalette palette;
    for (const RoleColour& c : kRoles)
        palette.setColor(c.role, c.colour);
    for (const RoleColour& c : kDisabled)
        palette.setColor(QPalette::Disabled, c.role, c.colour);
    return palette;
}

// DejaVu Sans, embedded in the program: the face the layout was drawn for,
// found the same on every desktop (Windows has none of its own).
QString designFamily() {
    static const QString family = [] {
        const QResource file(QStringLiteral(":/fonts/DejaVuSans.ttf"));
        // Stored uncompressed, so that it is read in place, not copied.
        const QByteArray data =
            file.compressionAlgorithm() == QResource::NoCompression
                ? QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                          static_cast<qsizetype>(file.size()))
                : file.uncompressedData();
        const QStringList families =
            QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFontFromData(data));
        return families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.first();
    }();
    return family;
}

// Tooltips keep the classic colours too. QToolTip::setPalette() is enough
// where the style draws a tip from its palette, but the Windows style gives
// a tip the text colour of the system's tooltip theme once the tip is on its
// screen (a light grey under Wine, on the light yellow), so the classic
// colours go back on as the tip shows, before it is drawn. A tip is the
// one kind of window Qt shows as Qt::ToolTip. Each window of the program
// keeps a watch of its own, which goes with the window.
class ClassicToolTips : public QObject {
  public:
    explicit ClassicToolTips(QWidget* window) : QObject(window) { qApp->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && object->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(object);
            if (widget->windowType() == Qt::ToolTip) widget->setPalette(classicPalette());
        }
        return false;
    }
};

QMargins knownFrame(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// The frame of another window of the program that the window system has
// framed already (none at first): the window manager frames them alike.
QMargins framedSibling(const QWidget* window) {
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == window || other->windowType() != Qt::Window) continue;
        if (const QMargins frame = knownFrame(other); !frame.isNull()) return frame;
    }
    return {};
}

void moveFrame(QWidget* window, FramePlacement rule, QMargins frame) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // A window's position is its frame's.
    const QPoint where = rule(window->size().grownBy(frame), *screen);
    if (window->pos() != where) window->move(where);
}

// Waits, during a window's first showing, for the window system to report
// its frame, then places it once more and goes.
class FrameWatch : public QObject {
  public:
    FrameWatch(QWidget* window, FramePlacement rule, QMargins& lastFrame)
        : QObject(window), window_(window), rule_(rule), lastFrame_(lastFrame) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            if (const QMargins frame = knownFrame(window_); !frame.isNull()) {
                lastFrame_ = frame;
                finish();
                moveFrame(window_, rule_, frame);
            }
            break;
        case QEvent::Hide:
            finish();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void finish() {
        window_->removeEventFilter(this);
        deleteLater();
    }

    QWidget* window_;
    FramePlacement rule_;
    QMargins& lastFrame_;
};

} // namespace

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

void setSpokenName(QWidget* control, const QString& name) {
    if (control->accessibleName() != name) control->setAccessibleName(name);
}

void nameBox(QLineEdit* box, const QString& name, const QLabel* explainedBy) {
    setSpokenName(box, name);
    if (box->accessibleDescription() != explainedBy->toolTip())
        box->setAccessibleDescription(explainedBy->toolTip());
}

void showHolder(QLabel* picture, const QLabel* holder) {
    picture->setPixmap(holder->pixmap());
    if (picture->accessibleDescription() != holder->accessibleDescription())
        picture->setAccessibleDescription(holder->accessibleDescription());
}

void setUpFixedWindow(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
    window->setFont(designFont(kWindowFontPoints));
    // The form's own colours stay; every other role is the classic one.
    window->setPalette(window->palette().resolve(classicPalette()));
    QToolTip::setPalette(classicPalette());
    new ClassicToolTips(window);
    window->setWindowIcon(windowIcon(devicePixelRatioOf(window)));
}

QIcon windowIcon(qreal devicePixelRatio) {
    // The sizes a window icon is drawn at (title bar, task switcher) go up
    // to 64 pixels; a screen of finer pixels needs them in more device
    // pixels. The icon theme's larger sizes, installed for the launchers,
    // are decoded and sent to the window system only for such a screen.
    // Each image is decoded once, then found in Qt's pixmap cache.
    QIcon icon;
    const int needed = qCeil(64 * devicePixelRatio);
    int previous = 0;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        if (size > 64 && previous >= needed) break;
        previous = size;
        const QString key = QStringLiteral("ravelle/icon@%1").arg(size);
        QPixmap pixmap;
        if (!QPixmapCache::find(key, &pixmap)) {
            // Read as PNG outright: left to find the format itself, the
            // reader loads every image-format plugin to ask about "png".
            QImageReader reader(
                QStringLiteral(":/icons/hicolor/%1x%1/apps/org.ravelle.Ravelle.png").arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            pixmap = QPixmap::fromImage(reader.read());
            QPixmapCache::insert(key, pixmap);
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

QFont designFont(double points) {
    QFont font(designFamily());
    font.setStyleHint(QFont::SansSerif);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPointSizeF(points * 96.0 / dpi);
    return font;
}

void placeCountingFrame(QWidget* window, FramePlacement rule, QMargins& lastFrame) {
    QMargins frame = knownFrame(window);
    if (frame.isNull()) {
        const QMargins sibling = framedSibling(window);
        moveFrame(window, rule, sibling.isNull() ? lastFrame : sibling);
        new FrameWatch(window, rule, lastFrame);
    } else {
        lastFrame = frame;
        moveFrame(window, rule, frame);
    }
}

} // namespace ravelle
