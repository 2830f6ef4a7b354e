// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Shared by the window tests: headless unless the caller chose a platform,
// a fresh start for the single window instances, readers for colours,
// checks of the diagrams and the icon against the screen's resolution, and
// other desktops' colours and fonts with what they do to the windows.

#include <QAbstractButton>
#include <QAccessible>
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
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/form_lifetime.h"
#include "common/platform.h"
#include "port/form1.h"
#include "tubemaker/form2.h"
#include "worked_examples.h"

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

// Each diagram is read once: at 1x the holders keep the form's own images,
// and a window loaded again shows the very same image data (by its cache
// key), not the image read anew. reload: loads the window afresh.
template <typename Reload>
inline void checkReadOnce(QWidget* window, const QList<Holder>& holders, Reload reload) {
    const auto keys = [&](QWidget* w) {
        QList<qint64> found;
        for (const auto& [name, diagram] : holders)
            found << w->findChild<QLabel*>(name)->pixmap().cacheKey();
        return found;
    };
    const QList<qint64> first = keys(window);
    if (startScale() == 1) {
        QList<qint64> form;
        for (const auto& [name, diagram] : holders)
            form << QPixmap(QStringLiteral(":/%1.gif").arg(diagram)).cacheKey();
        QCOMPARE(first, form);
    }
    QWidget* again = reload();
    QVERIFY(again);
    QCOMPARE(keys(again), first);
}

// The background changes, in order, as Tab takes the focus from one box to
// the next: the box left turns white before the one entered turns yellow.
inline QStringList backgroundsOnTab(QLineEdit* from, QLineEdit* to) {
    struct Spy : QObject {
        QStringList changes;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::PaletteChange) {
                auto* b = static_cast<QLineEdit*>(o);
                changes << b->objectName() + "=" + b->palette().color(QPalette::Base).name();
            }
            return false;
        }
    } spy;
    from->setFocus();
    from->installEventFilter(&spy);
    to->installEventFilter(&spy);
    QTest::keyClick(from, Qt::Key_Tab);
    from->removeEventFilter(&spy);
    to->removeEventFilter(&spy);
    return spy.changes;
}

// Where a window's frame stood when the window was first painted: a window
// placed before its first frame never jumps.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(const char* window) : window_(QString::fromLatin1(window)) {
        qApp->installEventFilter(this);
    }
    ~FirstPaint() override { qApp->removeEventFilter(this); }
    std::optional<QPoint> frameAt;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!frameAt && event->type() == QEvent::Paint && watched->isWidgetType() &&
            watched->objectName() == window_)
            frameAt = static_cast<QWidget*>(watched)->frameGeometry().topLeft();
        return false;
    }

  private:
    QString window_;
};

// The colour schemes of desktops the windows must stay legible on.
enum class Scheme { Light, Dark, HighContrast };

inline QPalette schemePalette(Scheme scheme, const QPalette& light) {
    struct RoleColour {
        QPalette::ColorRole role;
        QColor colour;
    };
    // Adwaita-dark as Qt's GTK theme gives it; a high-contrast black.
    const QList<RoleColour> dark = {
        {QPalette::Window, QColor(0x32, 0x32, 0x32)},
        {QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0)},
        {QPalette::Base, QColor(0x24, 0x24, 0x24)},
        {QPalette::Text, QColor(0xf0, 0xf0, 0xf0)},
        {QPalette::Button, QColor(0x32, 0x32, 0x32)},
        {QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0)},
        {QPalette::ToolTipBase, QColor(0x24, 0x24, 0x24)},
        {QPalette::ToolTipText, QColor(0xf0, 0xf0, 0xf0)},
        {QPalette::Light, QColor(0x4b, 0x4b, 0x4b)},
        {QPalette::Dark, QColor(0x21, 0x21, 0x21)},
        {QPalette::Mid, QColor(0x26, 0x26, 0x26)},
        {QPalette::Shadow, QColor(0x19, 0x19, 0x19)},
    };
    const QList<RoleColour> highContrast = {
        {QPalette::Window, Qt::black},      {QPalette::WindowText, Qt::white},
        {QPalette::Base, Qt::black},        {QPalette::Text, Qt::yellow},
        {QPalette::Button, Qt::black},      {QPalette::ButtonText, Qt::white},
        {QPalette::ToolTipBase, Qt::black}, {QPalette::ToolTipText, Qt::white},
        {QPalette::Highlight, Qt::cyan},    {QPalette::HighlightedText, Qt::black},
    };
    QPalette palette = light;
    for (const RoleColour& c : scheme == Scheme::Dark           ? dark
                               : scheme == Scheme::HighContrast ? highContrast
                                                                : QList<RoleColour>{})
        palette.setColor(c.role, c.colour);
    return palette;
}

// A desktop's colours and font, from before the windows load to the end of
// the test, whatever way it ends.
class Desktop {
  public:
    Desktop(Scheme scheme, double fontPoints)
        : palette_(QApplication::palette()), tips_(QToolTip::palette()),
          font_(QApplication::font()) {
        unloadAll();
        QApplication::setPalette(schemePalette(scheme, palette_));
        QToolTip::setPalette(schemePalette(scheme, tips_));
        QFont font = font_;
        if (fontPoints > 0) font.setPointSizeF(fontPoints);
        QApplication::setFont(font);
    }
    ~Desktop() {
        unloadAll();
        QApplication::setPalette(palette_);
        QToolTip::setPalette(tips_);
        QApplication::setFont(font_);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

  private:
    QPalette palette_;
    QPalette tips_;
    QFont font_;
};

// WCAG 2.1: relative luminance, and the contrast ratio of two colours.
inline double luminance(QColor c) {
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}
inline double contrast(QColor a, QColor b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text drawn in part of a control, measured on its
// picture: the commonest colour there is the background, and the pixel that
// stands out most from it is the text's colour.
inline double drawnContrast(QWidget* control, const QRect& area) {
    const QImage image = control->grab(area).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb ground = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(ground)) ground = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(QColor(it.key()), QColor(ground)));
    return best;
}

// Where a control draws its text: inside a box's frame, beside an option
// button's circle, inside a button's bevel; a label's contents.
inline QRect textArea(QWidget* control) {
    QStyle* style = control->style();
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        // Inside the frame and the focus ring, on the text's line and left of
        // the caret at its end (drawn inverted, the caret stands out anyway).
        const QRect inside =
            style->subElementRect(QStyle::SE_LineEditContents, &option, box).adjusted(1, 0, -1, 0);
        if (!box->hasSelectedText()) box->end(false); // tabbing in selects up to the end
        const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        return QRect(inside.left(), caret.top(), caret.left() - inside.left(), caret.height()) &
               inside;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool radio = qobject_cast<QRadioButton*>(button);
        return style->subElementRect(radio ? QStyle::SE_RadioButtonContents
                                           : QStyle::SE_PushButtonContents,
                                     &option, button);
    }
    return control->contentsRect();
}

inline double drawnContrast(QWidget* control) { return drawnContrast(control, textArea(control)); }

// A tooltip as the user sees it, over a control; null if none shows.
inline QLabel* showToolTip(QWidget* control) {
    QToolTip::showText(control->mapToGlobal(QPoint(2, 2)), control->toolTip(), control);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible()) return static_cast<QLabel*>(w);
    return nullptr;
}

// A control's tooltip, shown as the user sees it, is legible.
inline void checkToolTipLegible(QWidget* control) {
    QLabel* tip = showToolTip(control);
    QVERIFY(tip);
    const double ratio = drawnContrast(tip);
    QToolTip::hideText();
    QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("tooltip of %1: %2:1")
                                          .arg(control->objectName())
                                          .arg(ratio, 0, 'f', 2)));
}

// The shown controls of a window whose text is not drawn whole: a line
// wrapped below the control's foot, or a word wider than the control.
inline QStringList cutTexts(QWidget* window) {
    QStringList cut;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window)) continue;
        QString text;
        int flags = Qt::TextWordWrap;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            text = label->text();
            flags |= label->alignment();
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            text = button->text();
        }
        if (text.isEmpty()) continue;
        const QRect area = textArea(control);
        const QRect needed = control->fontMetrics().boundingRect(area, flags, text);
        if (needed.width() > area.width() || needed.height() > area.height())
            cut << control->objectName() + ": " + text;
    }
    return cut;
}

// What a screen reader says for a control, and the description it offers.
inline QString spokenName(QObject* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}
inline QString spokenDescription(QObject* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Description);
}

// The labels whose spoken name does not say everything they show: a reader
// says a label's name in place of its text, so every word shown must be
// said, in its order, among the words around it (a meaning, a unit).
inline QStringList unspokenLabels(const QList<QLabel*>& labels) {
    QStringList unspoken;
    for (QLabel* label : labels) {
        if (label->text().isEmpty()) continue; // a picture
        const QString said = spokenName(label);
        const QStringList saidWords = QString(said).remove(':').split(' ', Qt::SkipEmptyParts);
        qsizetype at = 0;
        for (const QString& word : label->text().split(' ', Qt::SkipEmptyParts)) {
            at = saidWords.indexOf(word, at);
            if (at < 0) break;
            ++at;
        }
        if (at < 0)
            unspoken << QStringLiteral("%1 shows \"%2\", says \"%3\"")
                            .arg(label->objectName(), label->text(), said);
    }
    return unspoken;
}

// One Qt Test row per worked example of a window ("port" or "tubemaker"),
// named after the example; the test reads its row by number.
inline void addWorkedExampleRows(const std::string& window) {
    QTest::addColumn<int>("row");
    const auto rows = worked::examples(window);
    for (std::size_t i = 0; i < rows.size(); ++i)
        QTest::newRow(rows[i].at("example").c_str()) << int(i);
}

} // namespace guitest

Q_DECLARE_METATYPE(guitest::Scheme)

// QTEST_MAIN with the platform chosen before the application exists.
#define RAVELLE_GUI_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char* argv[]) {                                                             \
        guitest::chooseHeadlessPlatform();                                                         \
        QApplication app(argc, argv);                                                              \
        QApplication::setQuitOnLastWindowClosed(false);                                            \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
