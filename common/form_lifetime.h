// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The life of a window: an instance is created long before it is loaded.
// Loading builds its widgets from its form and runs its Form_Load while
// still hidden; Show loads if need be, then shows and activates; Hide keeps
// everything; Unload runs Form_Unload and destroys the widgets, and a later
// Show loads afresh from the form. Closing a window through its frame is an
// Unload. Each unload is announced, so that the program can end when no
// window is loaded any more.

#include <QObject>
#include <QPointer>
#include <QWidget>

class FormLifetime : public QObject {
    Q_OBJECT

  public:
    ~FormLifetime() override;

    bool isLoaded() const { return widget_ != nullptr; }
    // The loaded window, or null.
    QWidget* window() const { return widget_; }

    // Modeless and without an owner window: the program has no other kind.
    void Show();
    void Hide();
    void Unload();

  signals:
    // The window has been unloaded: Form_Unload has run, the widgets go.
    void unloaded();

  protected:
    FormLifetime() = default;

    // Builds the window's widgets from its form, in their design state.
    virtual QWidget* build() = 0;
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void load();
    void release(); // Form_Unload, then the widgets go

    QPointer<QWidget> widget_;
    bool unloading_ = false;
};
