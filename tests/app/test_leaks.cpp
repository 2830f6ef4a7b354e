// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Loading and unloading the windows a thousand times leaves nothing behind:
// no more live QObjects or widgets than after the first few times, and,
// under AddressSanitizer, nothing LeakSanitizer can find.

#include <QPushButton>

#include <atomic>

#include "gui_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define RAVELLE_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RAVELLE_LSAN 1
#endif
#endif
#ifdef RAVELLE_LSAN
#include <sanitizer/lsan_interface.h>
#endif

// QtCore's hook table, which debugging tools use to follow every QObject's
// construction and destruction. Slots 3 and 4 take the two callbacks.
extern Q_DECL_IMPORT quintptr qtHookData[];

using namespace guitest;

namespace {

// RAVELLE_LEAK_CYCLES overrides the thousand (Wine is far slower).
const int kCycles = [] {
    bool ok = false;
    const int cycles = qEnvironmentVariableIntValue("RAVELLE_LEAK_CYCLES", &ok);
    return ok && cycles > 0 ? cycles : 1000;
}();
constexpr int kWarmUp = 5;

enum HookSlot {
    HookDataVersion = 0,
    HookDataSize = 1,
    QtVersionSlot = 2,
    AddQObject = 3,
    RemoveQObject = 4
};

std::atomic<long> liveObjects{0};
quintptr previousAdd = 0;
quintptr previousRemove = 0;

void objectAdded(QObject* o) {
    ++liveObjects;
    if (previousAdd) reinterpret_cast<void (*)(QObject*)>(previousAdd)(o);
}
void objectRemoved(QObject* o) {
    --liveObjects;
    if (previousRemove) reinterpret_cast<void (*)(QObject*)>(previousRemove)(o);
}

bool hooksInstalled = false;

void installHooks() {
    if (qtHookData[HookDataSize] <= RemoveQObject ||
        (qtHookData[QtVersionSlot] >> 16) != QT_VERSION_MAJOR)
        return;
    previousAdd = qtHookData[AddQObject];
    previousRemove = qtHookData[RemoveQObject];
    qtHookData[AddQObject] = reinterpret_cast<quintptr>(&objectAdded);
    qtHookData[RemoveQObject] = reinterpret_cast<quintptr>(&objectRemoved);
    hooksInstalled = true;
}

int countTree(const QObject* o) {
    int n = 1;
    for (const QObject* c : o->children())
        n += countTree(c);
    return n;
}

// What stays alive between cycles, measured three ways: every QObject made
// since the hooks went in and not yet destroyed; QApplication::allWidgets();
// and the objects in the trees of the application, the two window
// instances and every top-level widget.
struct Census {
    long objects = 0;
    int widgets = 0;
    int inTrees = 0;
    bool operator==(const Census&) const = default;
};

Census census() {
    QCoreApplication::processEvents();
    flushDeletes();
    Census c;
    c.objects = liveObjects;
    c.widgets = int(QApplication::allWidgets().size());
    c.inTrees = countTree(qApp) + countTree(&forms::Form1()) + countTree(&forms::Form2());
    for (const QWidget* w : QApplication::topLevelWidgets())
        c.inTrees += countTree(w);
    return c;
}

// How QCOMPARE writes a census.
char* toString(const Census& c) {
    return QTest::toString(QStringLiteral("%1 QObjects, %2 widgets, %3 in object trees")
                               .arg(c.objects)
                               .arg(c.widgets)
                               .arg(c.inTrees));
}

QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message == QLatin1String("This plugin does not support raise()")) return;
    previousHandler(type, context, message);
}

QWidget* control(FormLifetime& form, const char* name) {
    return form.window()->findChild<QWidget*>(QString::fromLatin1(name));
}

// How many cycles found their window freshly loaded, with the form's text.
int freshLoads = 0;

// Sets a box's text, after counting whether it held the form's.
void retype(FormLifetime& form, const char* box, const char* design, int value) {
    QLineEdit* edit = form.window()->findChild<QLineEdit*>(QString::fromLatin1(box));
    if (edit->text() == QLatin1String(design)) ++freshLoads;
    edit->setText(QString::number(value));
}

// One cycle of the tube-maker, by each of the ways it goes away in turn.
void tubeMakerCycle(int i) {
    QTest::mouseClick(control(forms::Form1(), "Label25"), Qt::LeftButton);
    retype(forms::Form2(), "Text2", "95", 80 + i % 40);
    switch (i % 3) {
    case 0:
        forms::Form2().window()->close(); // through the frame
        break;
    case 1:
        QTest::mouseClick(control(forms::Form2(), "Command1"), Qt::LeftButton); // hidden first
        forms::Form2().Unload();
        break;
    default:
        forms::Form2().Unload();
        break;
    }
    QCoreApplication::processEvents();
    flushDeletes();
}

// One cycle of the main window, with the tube-maker open in every other.
void mainWindowCycle(int i) {
    forms::Form1().Show();
    retype(forms::Form1(), "Text5", "830", 700 + i % 200);
    if (i % 2) QTest::mouseClick(control(forms::Form1(), "Label25"), Qt::LeftButton);
    QCoreApplication::processEvents();
    forms::Form1().window()->close();
    QCoreApplication::processEvents();
    flushDeletes();
}

} // namespace

class TestLeaks : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        previousHandler = qInstallMessageHandler(quietHandler);
        installHooks();
        if (!hooksInstalled)
            qWarning("QObject hooks not available: counting widgets and object trees only");
    }
    void cleanupTestCase() { unloadAll(); }

    void tubeMakerCyclesLeaveNoObjects() {
        unloadAll();
        QVERIFY(showMainWindow());
        for (int i = 0; i < kWarmUp; ++i)
            tubeMakerCycle(i);
        const Census before = census();
        freshLoads = 0;
        for (int i = 0; i < kCycles; ++i)
            tubeMakerCycle(i);
        QVERIFY(!forms::Form2().isLoaded());
        QCOMPARE(census(), before);
        QCOMPARE(freshLoads, kCycles);
    }

    void mainWindowCyclesLeaveNoObjects() {
        unloadAll();
        for (int i = 0; i < kWarmUp; ++i)
            mainWindowCycle(i);
        const Census before = census();
        freshLoads = 0;
        for (int i = 0; i < kCycles; ++i)
            mainWindowCycle(i);
        QVERIFY(!forms::Form1().isLoaded());
        QVERIFY(!forms::Form2().isLoaded());
        QCOMPARE(freshLoads, kCycles);
        QCOMPARE(census(), before);
    }

    // A census that cannot see a leak proves nothing: one window kept
    // loaded must show up in every count.
    void theCensusSeesALoadedWindow() {
        unloadAll();
        const Census before = census();
        forms::Form2().Show();
        const Census loaded = census();
        forms::Form2().Unload();
        QVERIFY(loaded.widgets > before.widgets);
        QVERIFY(loaded.inTrees > before.inTrees);
        if (hooksInstalled) QVERIFY(loaded.objects > before.objects);
        QCOMPARE(census(), before);
    }

    void leakSanitizerFindsNothing() {
#ifdef RAVELLE_LSAN
        unloadAll();
        QCOMPARE(__lsan_do_recoverable_leak_check(), 0);
#else
        QSKIP("LeakSanitizer is not in this build");
#endif
    }
};

RAVELLE_GUI_TEST_MAIN(TestLeaks)
#include "test_leaks.moc"
