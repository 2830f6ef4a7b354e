// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The tube-maker window. Its widgets come from form2.ui. Every edit of its
// three boxes runs calculate: boxes -> readNumber -> TubeInputs ->
// computeStrips -> the two result lines (with the words a screen reader
// says for them), their colours and the ring diagram. "Done" only hides the
// window and says so, for the window that opened it to take the keyboard
// back; the main window unloads this one when it goes. F1 opens the
// equations page, as in the main window.

#include <QMargins>

#include "common/form_lifetime.h"
#include "tubemaker/strip_width.h"
#include "ui_form2.h"

class QLabel;
class QLineEdit;

class Form2 : public FormLifetime {
    Q_OBJECT

  public:
    Form2() = default;

    void calculate();

    // Event handlers, named after the control and the event.
    void Text_Change();                  // Text1..Text3
    void Text_GotFocus(QLineEdit* box);  // Text1..Text3
    void Text_LostFocus(QLineEdit* box); // Text1..Text3
    void Command1_Click();
    void F1_Activated();

    const Ui::Form2& ui() const { return ui_; }

  signals:
    // "Done" has hidden the window.
    void finished();

  protected:
    QWidget* build() override;
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* holderOf(ravelle::StripDiagram diagram) const;
    void place();

    Ui::Form2 ui_{};
    // The last values read and the last widths; only calculate uses them.
    ravelle::TubeInputs inputs_;
    ravelle::StripResults strips_;
    QMargins lastFrame_; // the frame its last window got, for the next one
};

// The one tube-maker window, created on first use; creating is not loading.
namespace forms {
::Form2& Form2();
} // namespace forms
