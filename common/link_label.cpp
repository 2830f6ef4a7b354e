// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "common/link_label.h"

#include <QMouseEvent>
#include <QShortcut>

#include "common/accessibility.h"

namespace ravelle {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) { useAccessibleInterfaces(); }

void LinkLabel::setShortcut(const QKeySequence& keys) {
    if (!shortcut_) {
        // Its window's, not its own: the label never has the focus.
        shortcut_ = new QShortcut(this);
        shortcut_->setContext(Qt::WindowShortcut);
        connect(shortcut_, &QShortcut::activated, this, &LinkLabel::click);
    }
    shortcut_->setKey(keys);
}

QKeySequence LinkLabel::shortcut() const { return shortcut_ ? shortcut_->key() : QKeySequence(); }

void LinkLabel::click() { emit clicked(); }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a release of the left button over the link.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click();
    QLabel::mouseReleaseEvent(event);
}

} // namespace ravelle
