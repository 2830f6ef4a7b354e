// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include <QPushButton>
#include <QRegularExpression>

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
        for (const char* name : worked::kTubeBoxes)
            QCOMPARE(box(name)->text(),
                     QString::fromStdString(worked::examples("tubemaker")[0].at(name)));
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
        QStringList described;
        for (const char* holder : {"Picture2", "Picture3", "Picture4"})
            described << spokenDescription(label(holder));
        described.removeDuplicates();
        QCOMPARE(described.size(), 3); // one for each diagram
    }

    // Each key typed gives other widths at once: "", 1, 11, 110.
    void typingRecomputesAtEveryKeystroke() {
        QLineEdit* required = box("Text2");
        required->selectAll();
        QStringList shown;
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_1, Qt::Key_1, Qt::Key_0}) {
            QTest::keyClick(required, key);
            shown << label("Label4")->text() + '|' + label("Label5")->text();
        }
        QCOMPARE(required->text(), QStringLiteral("110"));
        shown.removeDuplicates();
        QCOMPARE(shown.size(), 4);
    }

    // Every row of the worked examples, typed into a fresh tube-maker: the
    // lines, their colours, and the diagram with its description.
    void workedExamples_data() { addWorkedExampleRows("tubemaker"); }

    void workedExamples() {
        QFETCH(int, row);
        const worked::Example example = worked::examples("tubemaker").at(std::size_t(row));
        for (const char* name : worked::kTubeBoxes) {
            const QString text = QString::fromStdString(example.at(name));
            if (box(name)->text() != text) replaceText(box(name), text);
        }
        const auto wanted = [&](const char* column) {
            return QString::fromStdString(example.at(column));
        };
        QCOMPARE(label("Label4")->text(), wanted("Label4"));
        QCOMPARE(label("Label5")->text(), wanted("Label5"));
        QCOMPARE(textColour(label("Label4")).name(), wanted("Label4 colour"));
        QCOMPARE(textColour(label("Label5")).name(), wanted("Label5 colour"));
        const QByteArray holder = wanted("Picture1").toLatin1();
        QCOMPARE(imageOf("Picture1"), imageOf(holder));
        QCOMPARE(spokenDescription(label("Picture1")), spokenDescription(label(holder)));
        QCOMPARE(unspokenLabels({label("Label4"), label("Label5")}), QStringList());
    }

    void focusTurnsTheOldBoxWhiteBeforeTheNewTurnsYellow() {
        QCOMPARE(backgroundsOnTab(box("Text1"), box("Text2")),
                 (QStringList{"Text1=#ffffff", "Text2=#ffffc0"}));
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
        const QString lines = label("Label4")->text() + label("Label5")->text();
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        QVERIFY(forms::Form2().isLoaded());
        QVERIFY(!tubeMaker()->isVisible());
        QVERIFY(openTubeMaker());
        QCOMPARE(box("Text2")->text(), QStringLiteral("110"));
        QCOMPARE(label("Label4")->text() + label("Label5")->text(), lines);
        QCOMPARE(imageOf("Picture1"), imageOf("Picture4"));
        QCOMPARE(tubeMaker()->pos(), where);
    }

    void closingTheFrameUnloadsAndReopeningStartsAfresh() {
        box("Text2")->setText(QStringLiteral("110"));
        tubeMaker()->close();
        QVERIFY(!forms::Form2().isLoaded());
        flushDeletes();
        QVERIFY(forms::Form1().isLoaded());
        QVERIFY(openTubeMaker());
        QCOMPARE(box("Text2")->text(), QStringLiteral("95")); // the form's, loaded afresh
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
        checkReadOnce(tubeMaker(), kHolders, [] {
            unloadAll();
            return showMainWindow() && openTubeMaker() ? tubeMaker() : nullptr;
        });
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
    // window exists: in place from the first frame on. A quarter of the free
    // space lies left of (above) the frame, three quarters right of (below)
    // it, to the nearest pixel.
    void placedAtAQuarterOfTheFreeScreen() {
        unloadAll();
        QVERIFY(showMainWindow());
        FirstPaint painted("Form2");
        QVERIFY(openTubeMaker());
        const QRect screen = tubeMaker()->screen()->geometry();
        const QRect frame = tubeMaker()->frameGeometry();
        if (frame.size() == tubeMaker()->size()) QSKIP("this platform gives the window no frame");
        const int left = frame.left() - screen.left(), right = screen.right() - frame.right();
        const int above = frame.top() - screen.top(), below = screen.bottom() - frame.bottom();
        QVERIFY2(qAbs(3 * left - right) <= 2 && qAbs(3 * above - below) <= 2,
                 qPrintable(QStringLiteral("%1 | %2, %3 | %4").arg(left).arg(right).arg(above).arg(below)));
        QTRY_VERIFY(painted.frameAt);
        QCOMPARE(*painted.frameAt, frame.topLeft());
    }
};

RAVELLE_GUI_TEST_MAIN(TestForm2)
#include "test_form2.moc"
