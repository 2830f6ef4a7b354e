// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// A Qt generic plugin for the start-up benchmark: it ends the application
// right after its first top-level window has painted a frame. Load it with
//   QT_PLUGIN_PATH=<dir holding generic/>  QT_QPA_GENERIC_PLUGINS=ravellefirstframe
// The program under test needs no change and reads no command line.
//
// The filter sees the first Paint event of a visible top-level widget before
// that widget paints. The paint runs inside the repaint manager's sync, which
// paints the dirty children next and then flushes the backing store to the
// platform window; only then does control return to the event loop and run
// the quit posted here. So the process exits after its first frame was
// handed to the window system, not before.
//
// If RAVELLE_FIRST_FRAME_FD names an open file descriptor, the moment of
// that quit (CLOCK_MONOTONIC, nanoseconds, as text) is written to it, so the
// harness can tell the time to the first frame apart from the time to exit.

#include <QCoreApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QMetaObject>
#include <QWidget>

#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

void stampFirstFrame() {
    bool ok = false;
    const int fd = qEnvironmentVariableIntValue("RAVELLE_FIRST_FRAME_FD", &ok);
    if (!ok) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char text[32];
    const int size = std::snprintf(text, sizeof text, "%lld\n",
                                   static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (size > 0 && write(fd, text, static_cast<size_t>(size)) < 0) return;
}

class QuitAfterFirstFrame : public QObject {
  public:
    QuitAfterFirstFrame() { QCoreApplication::instance()->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!quitPosted_ && event->type() == QEvent::Paint && watched->isWidgetType()) {
            const auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && widget->isVisible()) {
                quitPosted_ = true;
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [] {
                        stampFirstFrame();
                        QCoreApplication::exit(0);
                    },
                    Qt::QueuedConnection);
            }
        }
        return false;
    }

  private:
    bool quitPosted_ = false;
};

} // namespace

class FirstFrameQuitPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "first_frame_quit.json")

  public:
    QObject* create(const QString& key, const QString& /*parameters*/) override {
        if (key.compare(QLatin1String("ravellefirstframe"), Qt::CaseInsensitive) != 0)
            return nullptr;
        return new QuitAfterFirstFrame;
    }
};

#include "first_frame_quit.moc"
