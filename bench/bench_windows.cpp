// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The two windows, live: each window's calculate on its own, and one
// keystroke into the main window's acoustic-length box until the window has
// repainted. Runs on the offscreen platform unless QT_QPA_PLATFORM names
// another one (scripts/bench.sh also runs it under Xvfb with xcb).
//
// calculate is timed alone (manual timing around the call). Between two
// timed runs the event loop runs untimed, so every run meets the window as
// a user's keystroke would: repainted, nothing pending. "changing" runs
// alternate a box between two values with its signals blocked, so every
// run writes new texts into its labels; "unchanged" runs find every label
// already showing the text it is given.

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <chrono>

#include "port/form1.h"
#include "tubemaker/form2.h"

namespace {

// Counts the paint events one widget receives.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* watched) : watched_(watched) {
        watched_->installEventFilter(this);
    }
    ~PaintCounter() override { watched_->removeEventFilter(this); }
    long count() const { return count_; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count_;
        return false;
    }

  private:
    QWidget* watched_;
    long count_ = 0;
};

void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Shows a window (loading it if need be), makes it the active window and
// lets it paint, as after the user brought it to the front.
bool bringUp(FormLifetime& form) {
    form.Show();
    QWidget* window = form.window();
    if (!QTest::qWaitForWindowExposed(window) || !QTest::qWaitForWindowActive(window)) return false;
    settle();
    return true;
}

Form1& mainWindow(benchmark::State& state, ravelle::PortMode mode) {
    Form1& form = forms::Form1();
    if (!bringUp(form)) state.SkipWithError("the main window did not come up");
    const auto& ui = form.ui();
    (mode == ravelle::PortMode::FiveTube ? ui.Option2 : ui.Option1)->setChecked(true);
    ui.Text1->setText(QStringLiteral("86"));
    ui.Text5->setText(QStringLiteral("830"));
    settle();
    return form;
}

template <typename Fn> double secondsOf(Fn&& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Form1::calculate with new values in a box each run: Text1 (the bore)
// alternates between 86 and 87, which changes every shown result.
void BM_Form1_calculate_changing(benchmark::State& state) {
    const auto mode =
        state.range(0) == 5 ? ravelle::PortMode::FiveTube : ravelle::PortMode::ThreeTube;
    Form1& form = mainWindow(state, mode);
    QLineEdit* bore = form.ui().Text1;
    PaintCounter depthPaints(form.ui().Label17);
    const QString texts[] = {QStringLiteral("87"), QStringLiteral("86")};
    std::size_t i = 0;
    for (auto _ : state) {
        {
            const QSignalBlocker quiet(bore);
            bore->setText(texts[i++ & 1]);
        }
        state.SetIterationTime(secondsOf([&] { form.calculate(); }));
        settle();
    }
    if (depthPaints.count() < state.iterations())
        state.SkipWithError("a run did not repaint its labels");
    state.counters["label17_paints_per_run"] =
        static_cast<double>(depthPaints.count()) / static_cast<double>(state.iterations());
    {
        const QSignalBlocker quiet(bore);
        bore->setText(QStringLiteral("86"));
    }
    form.calculate();
    settle();
}

// Form1::calculate on unchanged boxes: all eight read, computed, all twelve
// labels given the text they already show.
void BM_Form1_calculate_unchanged(benchmark::State& state) {
    Form1& form = mainWindow(state, ravelle::PortMode::ThreeTube);
    PaintCounter depthPaints(form.ui().Label17);
    for (auto _ : state) {
        state.SetIterationTime(secondsOf([&] { form.calculate(); }));
        settle();
    }
    state.counters["label17_paints_per_run"] =
        static_cast<double>(depthPaints.count()) / static_cast<double>(state.iterations());
}

// One keystroke into Text5, through the platform's path, until repainted.
// Each iteration is QTest::keyClick on the window's QWindow: the key press
// and the key release each enter through QWindowSystemInterface (shortcut
// override first, then synchronous delivery to the QWidgetWindow, then the
// focus widget Text5), and after each QTest runs processEvents(). The press
// edits the text: textChanged -> Text_Change -> calculate -> label texts,
// each label marking itself dirty; the processEvents() that follows
// delivers the posted UpdateRequest, whose backing-store sync paints every
// dirty widget and flushes the backing store to the platform window. The
// loop then checks that Label17 (box depth, which every keystroke here
// changes) was painted, pumping events further if it was not. Keystrokes
// alternate between typing "0" at the end ("830" -> "8300") and Backspace.
void BM_Form1_keystroke_to_repaint(benchmark::State& state) {
    Form1& form = mainWindow(state, ravelle::PortMode::ThreeTube);
    QLineEdit* length = form.ui().Text5;
    length->setFocus(Qt::OtherFocusReason);
    length->deselect();
    length->setCursorPosition(static_cast<int>(length->text().size()));
    settle();
    if (QApplication::focusWidget() != length) state.SkipWithError("Text5 does not have the focus");
    QWindow* window = form.window()->windowHandle();
    PaintCounter depthPaints(form.ui().Label17);
    PaintCounter boxPaints(length);
    // Each change of the text runs calculate once.
    long changes = 0;
    const auto counting = QObject::connect(length, &QLineEdit::textChanged, [&] { ++changes; });
    long extraLoops = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        const long paintsBefore = depthPaints.count();
        QTest::keyClick(window, (i++ & 1) ? Qt::Key_Backspace : Qt::Key_0);
        for (int loops = 0; depthPaints.count() == paintsBefore && loops < 1000; ++loops) {
            QCoreApplication::processEvents();
            ++extraLoops;
        }
        if (depthPaints.count() == paintsBefore) {
            state.SkipWithError("no repaint after a keystroke");
            break;
        }
    }
    const auto n = static_cast<double>(state.iterations());
    QObject::disconnect(counting);
    state.counters["calculate_per_key"] = static_cast<double>(changes) / n;
    state.counters["text5_paints_per_key"] = static_cast<double>(boxPaints.count()) / n;
    state.counters["extra_event_loops"] = static_cast<double>(extraLoops) / n;
    if (length->text() != QStringLiteral("830") && length->text() != QStringLiteral("8300"))
        state.SkipWithError("Text5 does not hold what was typed");
    length->setText(QStringLiteral("830"));
    settle();
}

// Form2::calculate with new values each run: Text1 (the tubing's inside
// diameter) alternates between 100 and 101.
void BM_Form2_calculate_changing(benchmark::State& state) {
    Form2& form = forms::Form2();
    if (!bringUp(form)) state.SkipWithError("the tube-maker window did not come up");
    QLineEdit* start = form.ui().Text1;
    start->setText(QStringLiteral("100"));
    settle();
    PaintCounter innerPaints(form.ui().Label4);
    PaintCounter diagramPaints(form.ui().Picture1);
    const QString texts[] = {QStringLiteral("101"), QStringLiteral("100")};
    std::size_t i = 0;
    for (auto _ : state) {
        {
            const QSignalBlocker quiet(start);
            start->setText(texts[i++ & 1]);
        }
        state.SetIterationTime(secondsOf([&] { form.calculate(); }));
        settle();
    }
    const auto n = static_cast<double>(state.iterations());
    if (innerPaints.count() < state.iterations())
        state.SkipWithError("a run did not repaint its labels");
    state.counters["label4_paints_per_run"] = static_cast<double>(innerPaints.count()) / n;
    state.counters["picture1_paints_per_run"] = static_cast<double>(diagramPaints.count()) / n;
    form.Hide();
    settle();
}

} // namespace

// The manually timed runs count only calculate towards the minimum time,
// while every iteration also repaints, untimed; hence the short minimum.
BENCHMARK(BM_Form1_calculate_changing)
    ->Arg(3)
    ->Arg(5)
    ->UseManualTime()
    ->MinTime(0.02)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Form1_calculate_unchanged)
    ->UseManualTime()
    ->MinTime(0.02)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Form1_keystroke_to_repaint)->MinTime(0.2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Form2_calculate_changing)
    ->UseManualTime()
    ->MinTime(0.02)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    forms::Form1().Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
