// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "gui_test_support.h"

using namespace guitest;

namespace {

int lastUnloads = 0;

QList<QWidget*> visibleWindows() {
    QList<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) shown << w;
    }
    return shown;
}

void clickTubeMakerLink() {
    QTest::mouseClick(forms::Form1().window()->findChild<QWidget*>("Label25"), Qt::LeftButton);
}

} // namespace

class TestLifetime : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The program ends at the main window's unload (see main).
        QObject::connect(&forms::Form1(), &FormLifetime::unloaded, [] { ++lastUnloads; });
    }
    void init() {
        unloadAll();
        lastUnloads = 0;
    }
    void cleanupTestCase() { unloadAll(); }

    void startUpShowsOnlyTheMainWindow() {
        QVERIFY(showMainWindow());
        QCOMPARE(visibleWindows(), QList<QWidget*>{forms::Form1().window()});
        QVERIFY(!forms::Form2().isLoaded());
    }

    void theLinkTwiceGivesOneTubeMakerLoadedOnce() {
        QVERIFY(showMainWindow());
        clickTubeMakerLink();
        QWidget* first = forms::Form2().window();
        first->findChild<QLineEdit*>("Text2")->setText(QStringLiteral("110"));
        clickTubeMakerLink();
        QCOMPARE(forms::Form2().window(), first);
        // Not loaded again: the text typed is still there.
        QCOMPARE(first->findChild<QLineEdit*>("Text2")->text(), QStringLiteral("110"));
        QCOMPARE(visibleWindows().size(), 2);
        QVERIFY(!first->isModal() && first->parentWidget() == nullptr);
    }

    void closingTheMainWindowEndsTheProgram_data() {
        QTest::addColumn<QString>("tubeMaker");
        QTest::newRow("tube-maker never opened") << "never";
        QTest::newRow("tube-maker visible") << "visible";
        QTest::newRow("tube-maker hidden by Done") << "hidden";
        QTest::newRow("tube-maker closed by its frame") << "closed";
    }

    void closingTheMainWindowEndsTheProgram() {
        QFETCH(QString, tubeMaker);
        QVERIFY(showMainWindow());
        if (tubeMaker != "never") clickTubeMakerLink();
        if (tubeMaker == "hidden")
            QTest::mouseClick(forms::Form2().window()->findChild<QWidget*>("Command1"),
                              Qt::LeftButton);
        if (tubeMaker == "closed") forms::Form2().window()->close();
        QCOMPARE(lastUnloads, 0);

        QVERIFY(forms::Form1().window()->close());
        QCOMPARE(lastUnloads, 1);
        QVERIFY(!forms::Form1().isLoaded());
        QVERIFY(!forms::Form2().isLoaded());
        if (tubeMaker == "never") // nor loaded on the way out
            for (const QWidget* w : QApplication::topLevelWidgets())
                QVERIFY(w->objectName() != QLatin1String("Form2"));
        flushDeletes();
        QVERIFY(visibleWindows().isEmpty());
    }

    void unloadAndReloadRestoresTheDesignState() {
        QVERIFY(showMainWindow());
        forms::Form1().window()->findChild<QLineEdit*>("Text1")->setText(QStringLiteral("40"));
        QPointer<QWidget> old = forms::Form1().window();
        forms::Form1().Unload();
        flushDeletes();
        QVERIFY(old.isNull());
        QVERIFY(showMainWindow());
        QCOMPARE(forms::Form1().window()->findChild<QLineEdit*>("Text1")->text(),
                 QStringLiteral("86"));
        QCOMPARE(forms::Form1().window()->findChild<QLabel*>("Label21")->text(),
                 QStringLiteral(" 0"));
    }

    void unloadingAWindowThatIsNotLoadedDoesNothing() {
        QVERIFY(!forms::Form2().isLoaded());
        forms::Form2().Unload();
        forms::Form2().Hide();
        QVERIFY(!forms::Form2().isLoaded());
        QCOMPARE(lastUnloads, 0);
    }
};

RAVELLE_GUI_TEST_MAIN(TestLifetime)
#include "test_lifetime.moc"
