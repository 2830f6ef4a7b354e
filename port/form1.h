// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The main window, the folded-port calculator. Its widgets come from
// form1.ui. Every edit of a box and every change of the tube count runs
// calculate: eight boxes -> readNumber -> PortInputs -> computePort ->
// portCaptions -> result labels, each with the words a screen reader says
// for it. Nothing else is kept between runs but the PortResults record,
// whose tube-4 and tube-5 values a 3-tube run leaves in place. Its two
// links also answer to keys: Alt+T opens the tube-maker, F1 the equations.

#include <QMargins>
#include <QString>

#include <array>

#include "common/form_lifetime.h"
#include "port/port_captions.h"
#include "port/port_design.h"
#include "ui_form1.h"

class QLabel;
class QLineEdit;

class Form1 : public FormLifetime {
    Q_OBJECT

  public:
    Form1() = default;

    void calculate();

    // Event handlers, named after the control and the event.
    void Option1_Click();
    void Option2_Click();
    void Text_Change();                  // Text1..Text8: every change of text
    void Text_GotFocus(QLineEdit* box);  // Text1..Text8
    void Text_LostFocus(QLineEdit* box); // Text1..Text8
    void Label7_Click();
    void Label25_Click();
    void Form2_Finished(); // "Done" in the tube-maker

    // The window's controls while it is loaded.
    const Ui::Form1& ui() const { return ui_; }
    QString versionText;

  protected:
    QWidget* build() override;
    void Form_Load() override;
    void Form_Unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A box, the row and the column it stands in, and the caption whose
    // tooltip explains it.
    struct BoxPlace {
        QLineEdit* box;
        QLabel* row;
        const char* column; // spoken between the row and the unit, if any
        QLabel* explainedBy;
    };

    void connectHandlers();
    void switchMode(ravelle::PortMode mode);
    void nameBoxes();
    std::array<QLineEdit*, 8> inputBoxes() const;

    Ui::Form1 ui_{};
    std::array<BoxPlace, 8> boxPlaces_{};
    ravelle::PortResults results_;
    std::array<QLabel*, ravelle::kPortLabelCount> resultLabels_{};
    QMargins lastFrame_; // the frame its last window got, for the next one
};

// The one main window, created on first use; creating is not loading.
namespace forms {
::Form1& Form1();
} // namespace forms
