// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Plays an action on the real windows and on the model side by side, and
// compares what the windows show with what the model says they must show.

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <iterator>

#include "common/widgets.h"
#include "gui_test_support.h"
#include "model_actions.h"
#include "window_controls.h"
#include "window_model.h"

namespace model {

class Driver {
  public:
    Program expected;

    // Both windows unloaded, then the main window shown afresh.
    QString start() {
        guitest::unloadAll();
        expected = {};
        if (!guitest::showMainWindow())
            return QStringLiteral("the main window did not become active");
        expected.start();
        return {};
    }

    static bool needsTubeMaker(const Action& a) {
        switch (a.kind) {
        case Kind::Done:
        case Kind::CloseTubeMaker:
            return true;
        case Kind::SetText:
        case Kind::Type:
        case Kind::SelectAllType:
        case Kind::Backspace:
        case Kind::Paste:
        case Kind::FocusBox:
        case Kind::OtherKey:
        case Kind::Tab:
            return a.win == Win::TubeMaker;
        default:
            return false;
        }
    }

    bool applicable(const Action& a) const {
        const bool tubeShown = expected.tubeMaker.visible;
        switch (a.kind) {
        case Kind::SetText:
        case Kind::Type:
        case Kind::SelectAllType:
        case Kind::Backspace:
        case Kind::Paste:
        case Kind::FocusBox:
        case Kind::OtherKey:
            if (a.win == Win::TubeMaker) return tubeShown && a.box < TubeMaker::kBoxes;
            return a.box < (expected.main.fiveTubes() ? 8 : 6);
        case Kind::Tab:
            return a.win == Win::Main || tubeShown;
        case Kind::Done:
        case Kind::CloseTubeMaker:
            return tubeShown;
        default:
            return true;
        }
    }

    // Plays `a` on the windows and on the model; an action that does not
    // apply in the present state is passed over. Returns what went wrong.
    QString apply(const Action& a) {
        if (!applicable(a)) return {};
        if (needsTubeMaker(a) && !forms::Form2().isLoaded())
            return QStringLiteral("the tube-maker is not loaded");
        switch (a.kind) {
        case Kind::SetText: {
            box(a)->setText(a.text);
            change(a, a.text);
            break;
        }
        case Kind::Type: {
            int caret = caretIn(a);
            box(a)->setCursorPosition(caret);
            QTest::keyClicks(box(a), a.text);
            for (QChar c : a.text)
                change(a, QString(text(a)).insert(caret++, c));
            break;
        }
        case Kind::SelectAllType: {
            QTest::keyClick(box(a), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box(a), a.text);
            // Typing over a selection is a change even where it puts back
            // the same text.
            const bool selected = !text(a).isEmpty();
            for (qsizetype i = 0; i < a.text.size(); ++i)
                change(a, i == 0 ? a.text.left(1) : text(a) + a.text[i], i == 0 && selected);
            break;
        }
        case Kind::Backspace: {
            int caret = caretIn(a);
            box(a)->setCursorPosition(caret);
            if (a.flag && !text(a).isEmpty()) { // Ctrl+A first: the first backspace clears the box
                QTest::keyClick(box(a), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(box(a), Qt::Key_Backspace);
                change(a, QString());
                caret = 0;
            }
            for (int i = 0; i < a.count; ++i) {
                QTest::keyClick(box(a), Qt::Key_Backspace);
                if (caret == 0) continue;
                QString t = text(a);
                int n = 1;
                if (caret >= 2 && t[caret - 1].isLowSurrogate() && t[caret - 2].isHighSurrogate())
                    n = 2;
                caret -= n;
                change(a, t.remove(caret, n));
            }
            break;
        }
        case Kind::Paste: {
            QGuiApplication::clipboard()->setText(a.text);
            const int caret = caretIn(a);
            if (a.flag) {
                QTest::keyClick(box(a), Qt::Key_A, Qt::ControlModifier);
            } else {
                box(a)->setCursorPosition(caret);
            }
            QTest::keyClick(box(a), Qt::Key_V, Qt::ControlModifier);
            change(a, a.flag ? a.text : QString(text(a)).insert(caret, a.text),
                   a.flag && !text(a).isEmpty());
            break;
        }
        case Kind::OtherKey: {
            static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
                                           Qt::Key_Up,     Qt::Key_Down,  Qt::Key_Home,
                                           Qt::Key_End,    Qt::Key_Left};
            QTest::keyClick(box(a), keys[a.count % std::size(keys)]);
            break;
        }
        case Kind::ClickOption1:
            QTest::mouseClick(main().option1, Qt::LeftButton);
            expected.main.select(ravelle::PortMode::ThreeTube);
            break;
        case Kind::ClickOption2:
            QTest::mouseClick(main().option2, Qt::LeftButton);
            expected.main.select(ravelle::PortMode::FiveTube);
            break;
        case Kind::Tab: {
            QWidget* w = a.win == Win::Main ? main().window : tube().window;
            QWidget* target = w->focusWidget() ? w->focusWidget() : w;
            QTest::keyClick(target, a.flag ? Qt::Key_Backtab : Qt::Key_Tab,
                            a.flag ? Qt::ShiftModifier : Qt::NoModifier);
            break;
        }
        case Kind::FocusBox:
            box(a)->window()->activateWindow();
            QTest::mouseClick(box(a), Qt::LeftButton);
            break;
        case Kind::OpenTubeMaker:
            QTest::mouseClick(main().link, Qt::LeftButton);
            if (!forms::Form2().isLoaded())
                return QStringLiteral("the link did not load the tube-maker");
            if (!expected.tubeMaker.loaded) {
                expected.tubeMaker.load();
                placedAt_ = tube().window->pos(); // where its first showing put it
            }
            expected.tubeMaker.visible = true;
            break;
        case Kind::Done:
            QTest::mouseClick(tube().done, Qt::LeftButton);
            expected.tubeMaker.visible = false;
            break;
        case Kind::CloseTubeMaker:
            tube().window->close();
            if (a.flag) guitest::flushDeletes();
            expected.tubeMaker.unload();
            break;
        case Kind::ReloadMain:
            main().window->close();
            guitest::flushDeletes();
            expected.tubeMaker.unload();
            if (!guitest::showMainWindow())
                return QStringLiteral("the main window did not become active again");
            expected.main.load();
            break;
        }
        QCoreApplication::processEvents();
        return {};
    }

    // The first difference between the windows and the model, or nothing.
    QString check() {
        QString why = checkMain();
        if (why.isEmpty()) why = checkTubeMaker();
        return why;
    }

  private:
    // A new window may take the address of the one deleted before it, so
    // the controls are looked up again after every loading.
    MainControls& main() {
        if (main_.window != forms::Form1().window()) main_ = MainControls(forms::Form1().window());
        return main_;
    }
    TubeControls& tube() {
        if (tube_.window != forms::Form2().window()) tube_ = TubeControls(forms::Form2().window());
        return tube_;
    }
    QLineEdit* box(const Action& a) {
        return a.win == Win::Main ? main().boxes[a.box] : tube().boxes[a.box];
    }
    QString& text(const Action& a) {
        return a.win == Win::Main ? expected.main.texts[a.box] : expected.tubeMaker.texts[a.box];
    }
    int caretIn(const Action& a) { return std::min(a.caret, int(text(a).size())); }

    // A box's text becomes `next`: a change runs its window's calculate.
    void change(const Action& a, const QString& next, bool replacedSelection = false) {
        if (text(a) == next && !replacedSelection) return;
        text(a) = next;
        if (a.win == Win::Main)
            expected.main.calculate();
        else
            expected.tubeMaker.calculate();
    }

    static QString textDiffers(const char* what, const QString& shown, const QString& wanted) {
        return QStringLiteral("%1 shows %2 (%3 characters), the model says %4 (%5 characters)")
            .arg(QString::fromLatin1(what), describeText(shown.left(200)))
            .arg(shown.size())
            .arg(describeText(wanted.left(200)))
            .arg(wanted.size());
    }

    static QString notANumberIn(const QList<QLabel*>& labels) {
        for (const QLabel* l : labels) {
            const QString t = l->text();
            if (t.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
                t.contains(QLatin1String("nan"), Qt::CaseInsensitive))
                return l->objectName() + " shows " + describeText(t);
        }
        return {};
    }

    QString checkMain() {
        if (!forms::Form1().isLoaded()) return QStringLiteral("the main window is not loaded");
        const MainControls& c = main();
        const MainWindow& m = expected.main;
        if (!c.window->isVisible()) return QStringLiteral("the main window is hidden");
        for (int i = 0; i < MainWindow::kBoxes; ++i) {
            const QString shown = c.boxes[i]->text();
            if (shown != m.texts[i])
                return textDiffers(qPrintable("main Text" + QString::number(i + 1)), shown,
                                   m.texts[i]);
        }
        for (int i = 0; i < ravelle::kPortLabelCount; ++i) {
            if (c.results[i]->text() != m.captions[i])
                return textDiffers(qPrintable("main " + c.results[i]->objectName()),
                                   c.results[i]->text(), m.captions[i]);
        }
        const bool five = m.fiveTubes();
        if (c.option1->isChecked() == five || c.option2->isChecked() != five)
            return QStringLiteral("the option buttons do not show the %1-tube mode")
                .arg(five ? 5 : 3);
        const char* rowNames[2][3] = {{"Small tube", "Medium tube", "Large tube"},
                                      {"Tube 1", "Tube 2", "Tube 3"}};
        for (int i = 0; i < 3; ++i) {
            if (c.rows[i]->text() != QLatin1String(rowNames[five][i]))
                return textDiffers(qPrintable("main " + c.rows[i]->objectName()), c.rows[i]->text(),
                                   rowNames[five][i]);
        }
        for (QWidget* w : c.modeControls) {
            if (w->isHidden() == five)
                return w->objectName() +
                       (five ? " is hidden with 5 tubes" : " is shown with 3 tubes");
        }
        if (!samePicture(c.pictures[0], c.pictures[five ? 2 : 1]))
            return QStringLiteral("main Picture1 does not show the image of Picture%1")
                .arg(five ? 3 : 2);
        if (const QString bad = notANumberIn(c.labels); !bad.isEmpty()) return "main " + bad;
        return {};
    }

    QString checkTubeMaker() {
        const TubeMaker& m = expected.tubeMaker;
        if (forms::Form2().isLoaded() != m.loaded)
            return QStringLiteral("the tube-maker is %1loaded").arg(m.loaded ? "not " : "");
        if (!m.loaded) return {};
        const TubeControls& c = tube();
        if (c.window->isVisible() != m.visible)
            return QStringLiteral("the tube-maker is %1").arg(m.visible ? "hidden" : "shown");
        if (c.window->pos() != placedAt_)
            return QStringLiteral("the tube-maker moved from (%1, %2) to (%3, %4) while loaded")
                .arg(placedAt_.x())
                .arg(placedAt_.y())
                .arg(c.window->pos().x())
                .arg(c.window->pos().y());
        for (int i = 0; i < TubeMaker::kBoxes; ++i) {
            const QString shown = c.boxes[i]->text();
            if (shown != m.texts[i])
                return textDiffers(qPrintable("tube-maker Text" + QString::number(i + 1)), shown,
                                   m.texts[i]);
        }
        const QString inner = ravelle::toQString(m.strips.innerCaption);
        const QString outer = ravelle::toQString(m.strips.outerCaption);
        if (c.inner->text() != inner) return textDiffers("tube-maker Label4", c.inner->text(), inner);
        if (c.outer->text() != outer) return textDiffers("tube-maker Label5", c.outer->text(), outer);
        if (guitest::textColour(c.inner) != ravelle::toQColor(m.strips.innerColour))
            return "tube-maker Label4 is coloured " + guitest::textColour(c.inner).name();
        if (guitest::textColour(c.outer) != ravelle::toQColor(m.strips.outerColour))
            return "tube-maker Label5 is coloured " + guitest::textColour(c.outer).name();
        if (!samePicture(c.pictures[0], c.holder(m.diagram)))
            return QStringLiteral("tube-maker Picture1 does not show the image of %1")
                .arg(m.diagram.c_str());
        if (const QString bad = notANumberIn(c.labels); !bad.isEmpty()) return "tube-maker " + bad;
        return {};
    }

    MainControls main_;
    TubeControls tube_;
    QPoint placedAt_;
};

} // namespace model
