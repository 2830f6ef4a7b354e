// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include <QPushButton>
#include <QRegularExpression>

#include <cmath>
#include <utility>

#include "common/screen_images.h"
#include "gui_test_support.h"

using namespace guitest;

namespace {

QWidget* tubeMaker() { return forms::Form2().window(); }
template <typename T = QWidget> T* control(const char* name) {
    return tubeMaker()->findChild<T*>(QString::fromLatin1(name));
}
QLineEdit* box(const char* name) { return control<QLineEdit>(name); }
QLabel* label(const char* name) { return control<QLabel>(name); }
QImage imageOf(const char* picture) { return label(picture)->pixmap().toImage(); }

const QList<Holder> kHolders = {
    {"Picture2", "ring_plain"}, {"Picture3", "ring_outer_strip"}, {"Picture4", "ring_both_strips"}};

const QString kInvalid = QStringLiteral("Unable to calculate with any term not a positive number");

bool openTubeMaker() {
    QTest::mouseClick(forms::Form1().window()->findChild<QWidget*>("Label25"), Qt::LeftButton);
    return forms::Form2().isLoaded() && QTest::qWaitForWindowActive(tubeMaker());
}

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        unloadAll();
        QVERIFY(showMainWindow());
        QVERIFY(openTubeMaker());
    }
    void cleanupTestCase() { unloadAll(); }

    void firstOpeningShowsTheDefaults() {
        QCOMPARE(tubeMaker()->objectName(), QStringLiteral("Form2"));
        QCOMPARE(tubeMaker()->windowTitle(),
                 QStringLiteral("Make your own tube                       all dimensions in mm"));
        QCOMPARE(tubeMaker()->size(), QSize(478, 298));
        QCOMPARE(label("Label4")->text(),
                 QStringLiteral("Width of strip to be removed from inner tube 17"));
        QCOMPARE(textColour(label("Label4")), kDarkBlue);
        QCOMPARE(label("Label5")->text(),
                 QStringLiteral("Width of strip to be inserted into outer tube 10"));
        QCOMPARE(textColour(label("Label5")), kDarkGreen);
        QCOMPARE(imageOf("Picture1"), imageOf("Picture3"));
        QCOMPARE(QApplication::focusWidget(), box("Text1"));
        QCOMPARE(background(box("Text1")), kYellow);
        QCOMPARE(background(box("Text2")), tubeMaker()->palette().color(QPalette::Base));
        for (const char* holder : {"Picture2", "Picture3", "Picture4"}) {
            QVERIFY(control(holder)->isHidden());
            QVERIFY(control(holder)->x() >= tubeMaker()->width());
        }
        // Each box is described by its caption's tooltip.
        for (const auto& [name, caption] :
             {std::pair{"Text1", "Label1"}, std::pair{"Text2", "Label2"},
              std::pair{"Text3", "Label3"}}) {
            QVERIFY(!label(caption)->toolTip().isEmpty());
            QCOMPARE(spokenDescription(box(name)), label(caption)->toolTip());
        }
    }

    void typingRecomputesAtEveryKeystroke() {
        struct Step {
            const char* typed; // what Text2 holds after the step
            QString inner;
            QString outer;
            QColor colour;
            const char* diagram;
        };
        const Step steps[] = {
            // Emptied first: the diagram keeps the default's image.
            {"", kInvalid, kInvalid, kDarkRed, "Picture3"},
            {"1", "Width of strip to be removed from inner tube 336",
             "Width of strip to be removed from outer tube 309", kDarkBlue, "Picture2"},
            {"11", "Width of strip to be removed from inner tube 302",
             "Width of strip to be removed from outer tube 275", kDarkBlue, "Picture2"},
            {"110", "Width of strip to be inserted into inner tube 34",
             "Width of strip to be inserted into outer tube 61", kDarkGreen, "Picture4"},
        };
        QLineEdit* required = box("Text2");
        required->selectAll();
        QTest::keyClick(required, Qt::Key_Delete);
        for (const Step& step : steps) {
            const QString typed = QString::fromLatin1(step.typed);
            if (!typed.isEmpty()) QTest::keyClick(required, typed.back().toLatin1());
            QCOMPARE(required->text(), typed);
            QCOMPARE(label("Label4")->text(), step.inner);
            QCOMPARE(label("Label5")->text(), step.outer);
            QCOMPARE(textColour(label("Label4")), step.colour);
            QCOMPARE(textColour(label("Label5")), step.colour);
            QCOMPARE(imageOf("Picture1"), imageOf(step.diagram));
            QCOMPARE(unspokenLabels({label("Label4"), label("Label5")}), QStringList());
        }
    }

    void diagramFollowsTheSigns_data() {
        QTest::addColumn<QString>("required");
        QTest::addColumn<QString>("diagram");
        QTest::newRow("both removed") << "90"
                                      << "Picture2";
        QTest::newRow("outer inserted") << "95"
                                        << "Picture3";
        QTest::newRow("both inserted") << "110"
                                       << "Picture4";
        QTest::newRow("invalid keeps the default's") << "-5"
                                                     << "Picture3";
    }

    // The diagram, and what a screen reader is told it shows.
    void diagramFollowsTheSigns() {
        QFETCH(QString, required);
        QFETCH(QString, diagram);
        box("Text2")->setText(required);
        QCOMPARE(imageOf("Picture1"), imageOf(diagram.toLatin1()));
        QCOMPARE(spokenDescription(label("Picture1")),
                 spokenDescription(label(diagram.toLatin1())));
        QStringList described;
        for (const char* holder : {"Picture2", "Picture3", "Picture4"})
            described << spokenDescription(label(holder));
        described.removeDuplicates();
        QCOMPARE(described.size(), 3); // one for each diagram
    }

    void invalidBoxesStopReadingAndShowDarkRed_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("start zero") << "Text1"
                                    << "0";
        QTest::newRow("required text") << "Text2"
                                       << "abc";
        QTest::newRow("wall zero") << "Text3"
                                   << "0";
        QTest::newRow("wall negative") << "Text3"
                                       << "-4";
    }

    void invalidBoxesStopReadingAndShowDarkRed() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        ::box(box.toLatin1())->setText(text);
        QCOMPARE(label("Label4")->text(), kInvalid);
        QCOMPARE(label("Label5")->text(), kInvalid);
        QCOMPARE(textColour(label("Label4")), kDarkRed);
        QCOMPARE(textColour(label("Label5")), kDarkRed);
    }

    void enterAndEscapeDoNotPressDone() {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(box("Text1"), key);
            QVERIFY(tubeMaker()->isVisible());
        }
        QVERIFY(!control<QPushButton>("Command1")->isDefault());
        box("Text3")->setFocus();
        QTest::keyClick(box("Text3"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control("Command1"));
    }

    // With no window manager to hand it on, the keyboard still goes back to
    // the main window's box once "Done" has put the tube-maker away, however
    // "Done" was pressed.
    void doneGivesTheKeyboardBack_data() {
        QTest::addColumn<bool>("byKeys"); // Alt+T, three Tabs and space; or the mouse
        QTest::newRow("mouse") << false;
        QTest::newRow("keys") << true;
    }

    void doneGivesTheKeyboardBack() {
        QFETCH(bool, byKeys);
        unloadAll();
        QVERIFY(showMainWindow());
        QWidget* main = forms::Form1().window();
        QWidget* length = main->findChild<QWidget*>("Text5");
        length->setFocus();
        if (byKeys) {
            QTest::keyClick(length, Qt::Key_T, Qt::AltModifier);
            QVERIFY(forms::Form2().isLoaded() && QTest::qWaitForWindowActive(tubeMaker()));
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), control("Command1"));
            QTest::keyClick(control("Command1"), Qt::Key_Space);
        } else {
            QVERIFY(openTubeMaker());
            QTest::mouseClick(control("Command1"), Qt::LeftButton);
        }
        QVERIFY(!tubeMaker()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(main));
        QCOMPARE(QApplication::focusWidget(), length);
        QCOMPARE(background(static_cast<QLineEdit*>(length)), kYellow);
    }

    void doneHidesAndReopeningKeepsEverything() {
        box("Text2")->setText(QStringLiteral("110"));
        tubeMaker()->move(123, 77);
        const QPoint where = tubeMaker()->pos();
        const int loads = forms::Form2().loadCount();
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        QVERIFY(forms::Form2().isLoaded());
        QVERIFY(!tubeMaker()->isVisible());
        QVERIFY(openTubeMaker());
        QCOMPARE(forms::Form2().loadCount(), loads);
        QCOMPARE(box("Text2")->text(), QStringLiteral("110"));
        QCOMPARE(label("Label5")->text(),
                 QStringLiteral("Width of strip to be inserted into outer tube 61"));
        QCOMPARE(imageOf("Picture1"), imageOf("Picture4"));
        QCOMPARE(tubeMaker()->pos(), where);
    }

    void closingTheFrameUnloadsAndReopeningStartsAfresh() {
        box("Text2")->setText(QStringLiteral("110"));
        const int loads = forms::Form2().loadCount();
        tubeMaker()->close();
        QVERIFY(!forms::Form2().isLoaded());
        flushDeletes();
        QVERIFY(forms::Form1().isLoaded());
        QVERIFY(openTubeMaker());
        QCOMPARE(forms::Form2().loadCount(), loads + 1);
        QCOMPARE(box("Text2")->text(), QStringLiteral("95"));
        QCOMPARE(imageOf("Picture1"), imageOf("Picture3"));
    }

    void diagramsAndIconAreDrawnForTheScreen_data() {
        QTest::addColumn<QString>("required");
        QTest::addColumn<QString>("diagram");
        QTest::newRow("outer inserted") << "95"
                                        << "Picture3";
        QTest::newRow("both inserted") << "110"
                                       << "Picture4";
    }

    void diagramsAndIconAreDrawnForTheScreen() {
        QFETCH(QString, required);
        QFETCH(QString, diagram);
        QCOMPARE(ratioOf(tubeMaker()), startScale());
        box("Text2")->setText(required);
        checkDrawnFor(tubeMaker(), kHolders, diagram.toLatin1(), startScale());
        // The main window's two diagrams and these three, each read once.
        QCOMPARE(ravelle::diagramImagesLoaded(), startScale() == 1 ? 0 : 2 + int(kHolders.size()));
    }

    void movingToAScreenOfAnotherRatioRedrawsTheDiagrams() {
        QScreen* other = screenOfAnotherRatio(tubeMaker());
        if (QGuiApplication::screens().size() == 1)
            QSKIP("needs two screens, as in the two_screens run");
        QVERIFY2(other, "the screens have one ratio");
        QScreen* first = tubeMaker()->screen();
        tubeMaker()->windowHandle()->setScreen(other);
        checkDrawnFor(tubeMaker(), kHolders, "Picture3", other->devicePixelRatio());
        box("Text2")->setText(QStringLiteral("110"));
        checkDrawnFor(tubeMaker(), kHolders, "Picture4", other->devicePixelRatio());
        tubeMaker()->windowHandle()->setScreen(first);
        checkDrawnFor(tubeMaker(), kHolders, "Picture4", first->devicePixelRatio());
    }

    // Whatever the desktop's font, both lines are drawn whole in all their
    // forms, and so are the captions and the button.
    void captionsFitWhateverTheDesktopFont_data() {
        QTest::addColumn<double>("desktopPoints"); // 0: the test's own desktop
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("required");
        QTest::addColumn<QString>("outer");
        const struct {
            const char* name;
            const char* start;
            const char* required;
            const char* outer; // the form of Label5's line the row is about
        } forms[] = {
            {"removed and inserted", "100", "95",
             "^Width of strip to be inserted into outer tube \\d{2}$"},
            {"both removed", "100", "90", "^Width of strip to be removed from outer tube \\d{1}$"},
            {"both inserted", "100", "110",
             "^Width of strip to be inserted into outer tube \\d{2}$"},
            {"invalid", "100", "-5", "^Unable to calculate with any term not a positive number$"},
            {"four digits", "1000", "95", "^Width of strip to be removed from outer tube \\d{4}$"},
        };
        for (double points : {0.0, 8.0, 11.0, 14.0})
            for (const auto& form : forms)
                QTest::addRow("%g pt, %s", points, form.name)
                    << points << form.start << form.required << form.outer;
    }

    void captionsFitWhateverTheDesktopFont() {
        QFETCH(double, desktopPoints);
        QFETCH(QString, start);
        QFETCH(QString, required);
        QFETCH(QString, outer);
        Desktop desktop(Scheme::Light, desktopPoints);
        QVERIFY(showMainWindow());
        QVERIFY(openTubeMaker());
        box("Text1")->setText(start);
        box("Text2")->setText(required);
        QVERIFY2(QRegularExpression(outer).match(label("Label5")->text()).hasMatch(),
                 qPrintable(label("Label5")->text()));
        const QStringList cut = cutTexts(tubeMaker());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    // The boxes, the button and the tooltips keep 4.5:1 on any desktop.
    void textStaysLegible_data() {
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("light") << Scheme::Light;
        QTest::newRow("dark") << Scheme::Dark;
        QTest::newRow("high contrast") << Scheme::HighContrast;
    }

    void textStaysLegible() {
        QFETCH(Scheme, scheme);
        Desktop desktop(scheme, 0);
        QVERIFY(showMainWindow());
        QVERIFY(openTubeMaker());
        QStringList faint;
        const auto check = [&](QWidget* w, const QString& state) {
            const double ratio = drawnContrast(w);
            if (ratio < 4.5)
                faint << QStringLiteral("%1 %2: %3:1")
                             .arg(w->objectName(), state)
                             .arg(ratio, 0, 'f', 2);
        };
        check(box("Text1"), "focused");
        check(box("Text2"), "before its first focus");
        check(box("Text3"), "before its first focus");
        box("Text2")->setFocus();
        check(box("Text1"), "after losing the focus");
        check(control("Command1"), "Done");
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral("; "))));
        checkToolTipLegible(label("Label3"));
    }

    // Counting the frame, which this platform reports as soon as the native
    // window exists: in place from the first frame on.
    void placedAtAQuarterOfTheFreeScreen() {
        unloadAll();
        QVERIFY(showMainWindow());
        FirstPaint painted("Form2");
        QVERIFY(openTubeMaker());
        const QSize screen = tubeMaker()->screen()->geometry().size();
        const QSize frame = tubeMaker()->frameGeometry().size();
        if (frame == tubeMaker()->size()) QSKIP("this platform gives the window no frame");
        const QPoint expected(
            std::lround(static_cast<float>(screen.width() - frame.width()) / 4.0f),
            std::lround(static_cast<float>(screen.height() - frame.height()) / 4.0f));
        QCOMPARE(tubeMaker()->frameGeometry().topLeft(), expected);
        QTRY_VERIFY(painted.frameAt);
        QCOMPARE(*painted.frameAt, expected);
    }
};

RAVELLE_GUI_TEST_MAIN(TestForm2)
#include "test_form2.moc"
