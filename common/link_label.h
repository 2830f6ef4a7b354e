// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// A label that works as a link. A click on it, its shortcut keys and its
// accessible "press" action (a screen reader's, or UI Automation's Invoke
// on Windows) all emit clicked(). Like every label it never takes the
// keyboard focus: its keys reach it from anywhere in its window instead,
// and its accessible description names them.

#include <QKeySequence>
#include <QLabel>

class QShortcut;

namespace ravelle {

class LinkLabel : public QLabel {
    Q_OBJECT

  public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // Keys that press the link while its window is active.
    void setShortcut(const QKeySequence& keys);
    QKeySequence shortcut() const;

    void click();

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QShortcut* shortcut_ = nullptr;
};

} // namespace ravelle
