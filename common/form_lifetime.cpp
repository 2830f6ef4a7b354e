// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/form_lifetime.h"

#include <QCoreApplication>
#include <QEvent>

FormLifetime::~FormLifetime() {
    if (widget_) {
        // Widgets cannot outlive the application object; after it is gone
        // (instances live in function statics) there is nothing left to free.
        if (QCoreApplication::instance()) delete widget_.data();
    }
}

void FormLifetime::load() {
    QWidget* w = build();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->installEventFilter(this);
    widget_ = w;
    Form_Load();
}

void FormLifetime::Show() {
    if (!isLoaded()) load();
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
}

void FormLifetime::Hide() {
    if (isLoaded()) widget_->hide();
}

void FormLifetime::Unload() {
    if (!isLoaded() || unloading_) return;
    widget_->hide();
    release();
}

void FormLifetime::release() {
    unloading_ = true;
    Form_Unload();
    QWidget* w = widget_;
    widget_ = nullptr;
    w->removeEventFilter(this);
    // Deferred: the window may be in the middle of handling its own close.
    w->deleteLater();
    unloading_ = false;
    emit unloaded();
}

bool FormLifetime::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::Close && !unloading_) {
        // The frame's close button: accepted, Qt hides the window, we unload it.
        event->accept();
        release();
        return false;
    }
    return QObject::eventFilter(watched, event);
}
