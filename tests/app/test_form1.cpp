// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include <QAccessible>
#include <QDesktopServices>
#include <QKeySequence>
#include <QRadioButton>
#include <QUrl>

#include <map>

#include "common/screen_images.h"
#include "gui_test_support.h"
#include "common/equations_page.h"

using namespace guitest;

namespace {

const QString kCaption =
    QStringLiteral("Ravelle Port Calculator - all dimensions in mm            version 1.6");

// Result label -> caption.
using Captions = std::map<QString, QString>;

Captions captionsOf(const worked::Example& row) {
    Captions captions;
    for (const char* label : worked::kPortLabels)
        captions[label] = QString::fromStdString(row.at(label));
    return captions;
}
const Captions kDefaultThree = captionsOf(worked::examples("port").front());

QWidget* mainWindow() { return forms::Form1().window(); }
template <typename T = QWidget> T* control(const char* name) {
    return mainWindow()->findChild<T*>(QString::fromLatin1(name));
}
QLineEdit* box(const char* name) { return control<QLineEdit>(name); }

Captions shownCaptions() {
    Captions shown;
    for (const char* label : worked::kPortLabels)
        shown[label] = control<QLabel>(label)->text();
    return shown;
}

const QList<Holder> kHolders = {{"Picture2", "port_3tube"}, {"Picture3", "port_5tube"}};

const char* const kModeControls[] = {"Label19", "Label20", "Label21", "Label22",
                                     "Label23", "Label24", "Text7",   "Text8"};

// Everything the two mode switches may touch, for comparing states.
struct ModeState {
    QStringList rows;
    QList<bool> shown;
    QImage diagram;
    QString described; // the diagram, for a screen reader
    Captions captions;
    bool operator==(const ModeState&) const = default;
};

ModeState modeState() {
    ModeState s;
    for (const char* row : {"Label9", "Label10", "Label11"})
        s.rows << control<QLabel>(row)->text();
    for (const char* name : kModeControls)
        s.shown << control(name)->isVisibleTo(mainWindow());
    s.diagram = control<QLabel>("Picture1")->pixmap().toImage();
    s.described = spokenDescription(control("Picture1"));
    s.captions = shownCaptions();
    return s;
}

class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        unloadAll();
        QVERIFY(showMainWindow());
    }
    void cleanupTestCase() { unloadAll(); }

    void startsInTheThreeTubeStateWithDefaultResults() {
        QCOMPARE(mainWindow()->windowTitle(), kCaption);
        QCOMPARE(mainWindow()->objectName(), QStringLiteral("Form1"));
        QCOMPARE(mainWindow()->size(), QSize(661, 424));
        QVERIFY(control<QRadioButton>("Option1")->isChecked());
        QVERIFY(!control<QRadioButton>("Option2")->isChecked());
        QCOMPARE(control<QLabel>("Label9")->text(), QStringLiteral("Small tube"));
        QCOMPARE(control<QLabel>("Label10")->text(), QStringLiteral("Medium tube"));
        QCOMPARE(control<QLabel>("Label11")->text(), QStringLiteral("Large tube"));
        for (const char* name : kModeControls)
            QVERIFY2(control(name)->isHidden(), name);
        QVERIFY(control("Picture2")->isHidden());
        QVERIFY(control("Picture3")->isHidden());
        QCOMPARE(control<QLabel>("Picture1")->pixmap().toImage(),
                 control<QLabel>("Picture2")->pixmap().toImage());
        for (const char* name : worked::kPortBoxes)
            QCOMPARE(box(name)->text(), QString::fromStdString(worked::examples("port")[0].at(name)));
        QCOMPARE(QApplication::focusWidget(), box("Text1"));
        QCOMPARE(background(box("Text1")), kYellow);
    }

    void switchingToFiveAndBackRestoresTheThreeTubeState() {
        ModeState three = modeState();
        box("Text7")->setText(QStringLiteral("6"));
        QTest::mouseClick(control("Option2"), Qt::LeftButton);
        QCOMPARE(control<QLabel>("Label9")->text(), QStringLiteral("Tube 1"));
        QCOMPARE(control<QLabel>("Picture1")->pixmap().toImage(),
                 control<QLabel>("Picture3")->pixmap().toImage());
        QVERIFY(spokenDescription(control("Picture1")).contains(QLatin1String("5-tube port")));
        QCOMPARE(spokenDescription(control("Picture1")), spokenDescription(control("Picture3")));
        for (const char* name : kModeControls)
            QVERIFY2(control(name)->isVisibleTo(mainWindow()), name);
        box("Text7")->setText(QStringLiteral("4"));

        QTest::mouseClick(control("Option1"), Qt::LeftButton);
        ModeState back = modeState();
        // The captions may differ by the carried tube-4 and tube-5 values.
        back.captions = three.captions = {};
        QVERIFY(back == three);
        QVERIFY(three.described.contains(QLatin1String("3-tube port")));
        QCOMPARE(box("Text7")->text(), QStringLiteral("4"));
    }

    void typedWallsSurviveTheSwitches() {
        QTest::mouseClick(control("Option2"), Qt::LeftButton);
        box("Text8")->setText(QStringLiteral("7.5"));
        QTest::mouseClick(control("Option1"), Qt::LeftButton);
        QTest::mouseClick(control("Option2"), Qt::LeftButton);
        QCOMPARE(box("Text8")->text(), QStringLiteral("7.5"));
        QVERIFY(box("Text8")->isVisible());
    }

    void clickingTheSelectedOptionChangesNothing() {
        const ModeState before = modeState();
        QTest::mouseClick(control("Option1"), Qt::LeftButton);
        QVERIFY(modeState() == before);
    }

    // Each key typed or deleted gives another length at once: "", 8, 83,
    // 830, then back.
    void everyKeystrokeRecalculates() {
        QLineEdit* length = box("Text5");
        length->clear();
        QStringList shown{control<QLabel>("Label18")->text()};
        for (Qt::Key key : {Qt::Key_8, Qt::Key_3, Qt::Key_0, Qt::Key_Backspace, Qt::Key_Backspace,
                            Qt::Key_Backspace}) {
            QTest::keyClick(length, key);
            shown << control<QLabel>("Label18")->text();
        }
        for (qsizetype i = 1; i < shown.size(); ++i)
            QVERIFY2(shown[i] != shown[i - 1], qPrintable(shown.join('|')));
        QCOMPARE(shown[3], kDefaultThree.at("Label18"));
        QCOMPARE(shown.last(), shown.first());
    }

    // Every row of the worked examples, typed into a fresh window.
    void workedExamples_data() { addWorkedExampleRows("port"); }

    void workedExamples() {
        QFETCH(int, row);
        const worked::Example example = worked::examples("port").at(std::size_t(row));
        if (worked::modeOf(example) == ravelle::PortMode::FiveTube)
            QTest::mouseClick(control("Option2"), Qt::LeftButton);
        for (const char* name : worked::kPortBoxes) {
            const QString text = QString::fromStdString(example.at(name));
            if (box(name)->text() != text) replaceText(box(name), text);
        }
        QCOMPARE(shownCaptions(), captionsOf(example));
        QCOMPARE(unspokenLabels(mainWindow()->findChildren<QLabel*>()), QStringList());
    }

    void focusTurnsTheOldBoxWhiteBeforeTheNewTurnsYellow() {
        QCOMPARE(background(box("Text5")), mainWindow()->palette().color(QPalette::Base));
        QCOMPARE(backgroundsOnTab(box("Text1"), box("Text2")),
                 (QStringList{"Text1=#ffffff", "Text2=#ffffc0"}));
    }

    // Where Tab goes, what a screen reader says there (the row and column
    // shown, with the unit), and whose tooltip it reads as the description.
    void tabOrder_data() {
        QTest::addColumn<bool>("fiveTubes");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QStringList>("spoken");
        QTest::addColumn<QStringList>("explainedBy"); // "": the control's own tooltip
        QTest::newRow("3 tubes skips the hidden rows")
            << false << QStringList{"Text2", "Text3", "Text4", "Text5", "Text6", "Option1", "Text1"}
            << QStringList{"Small tube, wall size, mm",
                           "Medium tube, wall size, mm",
                           "Large tube, wall size, mm",
                           "Desired acoustic length, mm",
                           "Cap Thickness, mm",
                           "3 tube port",
                           "Small tube, inside diameter, mm"}
            << QStringList{"Label6", "Label6", "Label6", "Label13", "Label15", "", "Label5"};
        QTest::newRow("5 tubes")
            << true << QStringList{"Text2", "Text3", "Text4",   "Text7", "Text8",
                                   "Text5", "Text6", "Option2", "Text1"}
            << QStringList{"Tube 1, wall size, mm",      "Tube 2, wall size, mm",
                           "Tube 3, wall size, mm",      "Tube 4, wall size, mm",
                           "Tube 5, wall size, mm",      "Desired acoustic length, mm",
                           "Cap Thickness, mm",          "5 tube port",
                           "Tube 1, inside diameter, mm"}
            << QStringList{"Label6",  "Label6",  "Label6", "Label6", "Label6",
                           "Label13", "Label15", "",       "Label5"};
    }

    void tabOrder() {
        QFETCH(bool, fiveTubes);
        QFETCH(QStringList, order);
        QFETCH(QStringList, spoken);
        QFETCH(QStringList, explainedBy);
        if (fiveTubes) QTest::mouseClick(control("Option2"), Qt::LeftButton);
        box("Text1")->setFocus();
        QStringList visited, said, described, explanations;
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            visited << focused->objectName();
            said << spokenName(focused);
            described << spokenDescription(focused);
            explanations << (explainedBy[i].isEmpty()
                                 ? focused->toolTip()
                                 : control(explainedBy[i].toLatin1())->toolTip());
        }
        QCOMPARE(visited, order);
        QCOMPARE(said, spoken);
        QCOMPARE(described, explanations);
    }

    // What a screen reader gets when it asks a box for its text ("86", the
    // caret at its end, as on the first focus): one run over the whole
    // text, so that no digit is lost, and words and lines at the end too.
    void boxTextForReaders_data() {
        QTest::addColumn<int>("boundary"); // a QAccessible::TextBoundaryType; -1: the text run
        QTest::addColumn<int>("offset");   // -2: at the caret
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("run of the middle digit") << -1 << 1 << "" << 0 << 2;
        QTest::newRow("word at the end") << int(QAccessible::WordBoundary) << 2 << "86" << 0 << 2;
        QTest::newRow("word at the caret")
            << int(QAccessible::WordBoundary) << -2 << "86" << 0 << 2;
        QTest::newRow("sentence at the end")
            << int(QAccessible::SentenceBoundary) << 2 << "86" << 0 << 2;
        QTest::newRow("line at the end") << int(QAccessible::LineBoundary) << 2 << "86" << 0 << 2;
        QTest::newRow("last digit") << int(QAccessible::CharBoundary) << 1 << "6" << 1 << 2;
        QTest::newRow("no digit after the end")
            << int(QAccessible::CharBoundary) << 2 << "" << -1 << -1;
    }

    void boxTextForReaders() {
        QFETCH(int, boundary);
        QFETCH(int, offset);
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, end);
        QLineEdit* bore = box("Text1");
        bore->setCursorPosition(2);
        QAccessibleTextInterface* reader =
            QAccessible::queryAccessibleInterface(bore)->textInterface();
        QVERIFY(reader);
        int from = -3, to = -3;
        const QString said =
            boundary < 0
                ? reader->attributes(offset, &from, &to)
                : reader->textAtOffset(offset, QAccessible::TextBoundaryType(boundary), &from, &to);
        QCOMPARE(said, text);
        QCOMPARE(from, start);
        QCOMPARE(to, end);
    }

    // A reader tabbing into a box hears its selected number; what it
    // types through the box's editable text runs the window as keys do.
    void boxesSelectAndEditForReaders() {
        QTest::keyClick(box("Text1"), Qt::Key_Tab);
        QAccessibleInterface* wall = QAccessible::queryAccessibleInterface(box("Text2"));
        QVERIFY(wall->state().editable && wall->state().focused);
        QCOMPARE(wall->text(QAccessible::Value), QStringLiteral("2"));
        QCOMPARE(wall->textInterface()->selectionCount(), 1);
        int from = -1, to = -1;
        wall->textInterface()->selection(0, &from, &to);
        QCOMPARE(QPair(from, to), QPair(0, 1));
        const QRect digit = wall->textInterface()->characterRect(0);
        QVERIFY(QRect(box("Text2")->mapToGlobal(QPoint()), box("Text2")->size()).contains(digit));
        QCOMPARE(wall->textInterface()->offsetAtPoint(digit.topLeft() + QPoint(1, 1)), 0);

        QAccessible::queryAccessibleInterface(box("Text1"))
            ->editableTextInterface()
            ->insertText(2, QStringLiteral("0"));
        QCOMPARE(box("Text1")->text(), QStringLiteral("860"));
        QVERIFY(shownCaptions() != kDefaultThree);
    }

    void diagramsAndIconAreDrawnForTheScreen_data() {
        QTest::addColumn<bool>("fiveTubes");
        QTest::newRow("3 tubes") << false;
        QTest::newRow("5 tubes") << true;
    }

    void diagramsAndIconAreDrawnForTheScreen() {
        QFETCH(bool, fiveTubes);
        QCOMPARE(ratioOf(mainWindow()), startScale());
        if (fiveTubes) QTest::mouseClick(control("Option2"), Qt::LeftButton);
        checkDrawnFor(mainWindow(), kHolders, fiveTubes ? "Picture3" : "Picture2", startScale());
        checkReadOnce(mainWindow(), kHolders, [] {
            unloadAll();
            return showMainWindow() ? mainWindow() : nullptr;
        });
    }

    void movingToAScreenOfAnotherRatioRedrawsTheDiagrams() {
        QScreen* other = screenOfAnotherRatio(mainWindow());
        if (QGuiApplication::screens().size() == 1)
            QSKIP("needs two screens, as in the two_screens run");
        QVERIFY2(other, "the screens have one ratio");
        QScreen* first = mainWindow()->screen();
        QTest::mouseClick(control("Option2"), Qt::LeftButton);
        mainWindow()->windowHandle()->setScreen(other);
        checkDrawnFor(mainWindow(), kHolders, "Picture3", other->devicePixelRatio());
        QTest::mouseClick(control("Option1"), Qt::LeftButton);
        checkDrawnFor(mainWindow(), kHolders, "Picture2", other->devicePixelRatio());
        mainWindow()->windowHandle()->setScreen(first);
        checkDrawnFor(mainWindow(), kHolders, "Picture2", first->devicePixelRatio());
    }

    // Counting the frame, which this platform reports as soon as the native
    // window exists: in place from the first frame on.
    void frameCentredOnTheScreen() {
        unloadAll();
        FirstPaint painted("Form1");
        QVERIFY(showMainWindow());
        const QRect frame = mainWindow()->frameGeometry();
        if (frame.size() == mainWindow()->size()) QSKIP("this platform gives the window no frame");
        QRect expected({}, frame.size());
        expected.moveCenter(mainWindow()->screen()->availableGeometry().center());
        QCOMPARE(frame.topLeft(), expected.topLeft());
        QTRY_VERIFY(painted.frameAt);
        QCOMPARE(*painted.frameAt, expected.topLeft());
    }

#ifdef Q_OS_WIN
    // On Windows the style the windows were drawn and checked with, on
    // Windows 11 too (as the tests' Wine says), where Qt 6.8 would take its
    // windows11 style; a style plugin missing would give the plain windows.
    void drawnInTheWindowsVistaStyle() {
        QVERIFY(showMainWindow());
        QCOMPARE(mainWindow()->style()->name(), QStringLiteral("windowsvista"));
    }
#endif

    // The layout is absolute and drawn for its own face: whatever the
    // desktop's font, every caption and result is drawn whole.
    void fixedCaptionsFitTheirLabels_data() {
        QTest::addColumn<double>("desktopPoints"); // 0: the test's own desktop
        QTest::addColumn<bool>("fiveTubes");
        QTest::addColumn<QStringList>("edits");
        const struct {
            const char* name;
            bool fiveTubes;
            QStringList edits;
        } states[] = {
            {"defaults, 3 tubes", false, {}},
            {"defaults, 5 tubes", true, {}},
            {"small bore, 3 tubes", false, {"Text1=1"}},
            {"small bore, 5 tubes", true, {"Text1=1"}},
            {"four digits, 3 tubes", false, {"Text1=400", "Text5=2500"}},
            {"four digits, 5 tubes", true, {"Text1=400", "Text5=2500"}},
        };
        for (double points : {0.0, 8.0, 11.0, 14.0})
            for (const auto& state : states)
                QTest::addRow("%g pt, %s", points, state.name)
                    << points << state.fiveTubes << state.edits;
    }

    void fixedCaptionsFitTheirLabels() {
        QFETCH(double, desktopPoints);
        QFETCH(bool, fiveTubes);
        QFETCH(QStringList, edits);
        Desktop desktop(Scheme::Light, desktopPoints);
        QVERIFY(showMainWindow());
        if (fiveTubes) QTest::mouseClick(control("Option2"), Qt::LeftButton);
        for (const QString& edit : edits) {
            const auto parts = edit.split('=');
            replaceText(box(parts[0].toLatin1()), parts[1]);
        }
        const QStringList cut = cutTexts(mainWindow());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    // A dark or high-contrast desktop does not reach the design's boxes,
    // option buttons or tooltips: their text keeps at least 4.5:1 against
    // what it is drawn on, in every state of the focus highlight.
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
        QTest::mouseClick(control("Option2"), Qt::LeftButton); // Text7 and Text8 shown
        QStringList faint;
        const auto check = [&](QWidget* w, const QString& state) {
            const double ratio = drawnContrast(w);
            if (ratio < 4.5)
                faint << QStringLiteral("%1 %2: %3:1")
                             .arg(w->objectName(), state)
                             .arg(ratio, 0, 'f', 2);
        };
        box("Text1")->setFocus(); // the focus the window starts with, no text selected
        check(box("Text1"), "focused");
        for (const char* name : {"Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8"})
            check(box(name), "before its first focus");
        box("Text5")->setFocus();
        check(box("Text1"), "after losing the focus");
        check(box("Text5"), "focused");
        box("Text6")->setFocus();
        check(box("Text5"), "after losing the focus");
        box("Text1")->setFocus();
        QTest::keyClick(box("Text1"), Qt::Key_Tab); // a box tabbed into has its text selected
        QVERIFY(box("Text2")->hasFocus() && box("Text2")->hasSelectedText());
        check(box("Text2"), "tabbed into, its text selected");
        check(control("Option1"), "unselected");
        check(control("Option2"), "selected");
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral("; "))));
        checkToolTipLegible(control("Label5"));
    }

    // Both links do what a click does from the keyboard, with keys that need
    // no focus, and for a screen reader, through the link's press action
    // (UI Automation's Invoke on Windows). Their descriptions name the keys.
    // Last: opening the tube-maker reads its diagrams, which the counts of
    // diagramsAndIconAreDrawnForTheScreen leave out.
    void links_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("way"); // click, keys, keys in the tube-maker, or press
        QTest::addColumn<QKeySequence>("keys");
        const QKeySequence f1(Qt::Key_F1), altT(Qt::ALT | Qt::Key_T);
        QTest::newRow("equations, click") << "Label7"
                                          << "click" << f1;
        QTest::newRow("equations, F1") << "Label7"
                                       << "keys" << f1;
        QTest::newRow("equations, F1 in the tube-maker") << "Label7"
                                                         << "keys in the tube-maker" << f1;
        QTest::newRow("equations, press action") << "Label7"
                                                 << "press" << f1;
        QTest::newRow("tube-maker, click") << "Label25"
                                           << "click" << altT;
        QTest::newRow("tube-maker, Alt+T") << "Label25"
                                           << "keys" << altT;
        QTest::newRow("tube-maker, press action") << "Label25"
                                                  << "press" << altT;
    }

    void links() {
        QFETCH(QString, link);
        QFETCH(QString, way);
        QFETCH(QKeySequence, keys);
        QWidget* label = control(link.toLatin1());
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(spoken->role(), QAccessible::Link);
        QCOMPARE(spoken->text(QAccessible::Name), control<QLabel>(link.toLatin1())->text());
        QVERIFY2(spoken->text(QAccessible::Description)
                     .contains(keys.toString(QKeySequence::NativeText)),
                 qPrintable(spoken->text(QAccessible::Description)));
        QVERIFY2(spoken->text(QAccessible::Description).startsWith(label->toolTip()),
                 qPrintable(spoken->text(QAccessible::Description)));
        if (way == "keys in the tube-maker") {
            QTest::mouseClick(control("Label25"), Qt::LeftButton);
            QVERIFY(QTest::qWaitForWindowActive(forms::Form2().window()));
        }

        UrlCatcher catcher;
        for (const char* scheme : {"file", "https", "http"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
        if (way == "click") {
            QTest::mouseClick(label, Qt::LeftButton);
        } else if (way == "press") {
            QVERIFY(spoken->actionInterface());
            QVERIFY(spoken->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
            spoken->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
            QTest::keySequence(QApplication::activeWindow(), keys);
        }
        for (const char* scheme : {"file", "https", "http"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

        if (link == "Label7") {
            QCOMPARE(catcher.opened, QList<QUrl>{ravelle::equationsPageAddress()});
            QVERIFY(catcher.opened.first().path().endsWith(QStringLiteral("/vent-proof-adv.htm")));
            QCOMPARE(label->toolTip(),
                     "Click to go to " + ravelle::equationsPageAddress().toString());
        } else {
            QVERIFY(catcher.opened.isEmpty());
            QVERIFY(forms::Form2().isLoaded());
            QVERIFY(QTest::qWaitForWindowActive(forms::Form2().window()));
        }
        QVERIFY(!label->hasFocus());
        QCOMPARE(shownCaptions(), kDefaultThree);
    }
};

RAVELLE_GUI_TEST_MAIN(TestForm1)
#include "test_form1.moc"
