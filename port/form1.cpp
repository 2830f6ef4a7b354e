// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/form1.h"

#include <QEvent>
#include <QFont>
#include <QKeySequence>
#include <QScreen>

#include <initializer_list>

#include "common/accessibility.h"
#include "common/equations_page.h"
#include "common/link_label.h"
#include "common/screen_images.h"
#include "common/version.h"
#include "common/widgets.h"
#include "tubemaker/form2.h"

using namespace ravelle;

namespace {

// The two links draw in a small underlined face of their own.
QFont linkFont() {
    QFont font = designFont(7.8);
    font.setFamilies({QStringLiteral("MS Sans Serif"), font.family()});
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    return font;
}

// The frame centred on the screen's free area.
QPoint centred(QSize frame, const QScreen& screen) {
    QRect where({}, frame);
    where.moveCenter(screen.availableGeometry().center());
    return where.topLeft();
}

} // namespace

QWidget* Form1::build() {
    useAccessibleInterfaces();
    auto* window = new QWidget;
    ui_.setupUi(window);
    setUpFixedWindow(window);
    new ScreenImages(window, ui_.Picture1,
                     {{ui_.Picture2, QStringLiteral("port_3tube")},
                      {ui_.Picture3, QStringLiteral("port_5tube")}});
    ui_.Label25->setFont(linkFont());
    ui_.Label7->setFont(linkFont());
    ui_.Label7->setToolTip(QStringLiteral("Click to go to ") + equationsPageAddress().toString());
    placeCountingFrame(window, centred, lastFrame_);
    ui_.Label25->setShortcut(QKeySequence(Qt::ALT | Qt::Key_T));
    ui_.Label7->setShortcut(QKeySequence(Qt::Key_F1));

    results_ = PortResults{};
    resultLabels_ = {ui_.Label1,  ui_.Label2,  ui_.Label3,  ui_.Label4,  ui_.Label21, ui_.Label22,
                     ui_.Label23, ui_.Label24, ui_.Label12, ui_.Label14, ui_.Label18, ui_.Label17};
    const char* const inside = "inside diameter";
    const char* const wall = "wall size";
    boxPlaces_ = {{{ui_.Text1, ui_.Label9, inside, ui_.Label5},
                   {ui_.Text2, ui_.Label9, wall, ui_.Label6},
                   {ui_.Text3, ui_.Label10, wall, ui_.Label6},
                   {ui_.Text4, ui_.Label11, wall, ui_.Label6},
                   {ui_.Text7, ui_.Label19, wall, ui_.Label6},
                   {ui_.Text8, ui_.Label20, wall, ui_.Label6},
                   {ui_.Text5, ui_.Label13, nullptr, ui_.Label13},
                   {ui_.Text6, ui_.Label15, nullptr, ui_.Label15}}};
    connectHandlers();
    return window;
}

std::array<QLineEdit*, 8> Form1::inputBoxes() const {
    return {ui_.Text1, ui_.Text2, ui_.Text3, ui_.Text4, ui_.Text5, ui_.Text6, ui_.Text7, ui_.Text8};
}

void Form1::connectHandlers() {
    for (QLineEdit* box : inputBoxes()) {
        connect(box, &QLineEdit::textChanged, this, &Form1::Text_Change);
        box->installEventFilter(this);
    }
    // A selection that changes, by a click, the keyboard or the program,
    // runs the button's handler at once.
    connect(ui_.Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(ui_.Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(ui_.Label7, &LinkLabel::clicked, this, &Form1::Label7_Click);
    connect(ui_.Label25, &LinkLabel::clicked, this, &Form1::Label25_Click);
}

void Form1::Form_Load() {
    versionText = QStringLiteral(RAVELLE_VERSION_TEXT);
    forms::Form1().window()->setWindowTitle(
        QStringLiteral("Ravelle Port Calculator - all dimensions in mm            version ") +
        versionText);
    ui_.Option1->setChecked(true); // runs Option1_Click
    calculate();
}

void Form1::Form_Unload() { forms::Form2().Unload(); }

void Form1::Option1_Click() { switchMode(PortMode::ThreeTube); }

void Form1::Option2_Click() { switchMode(PortMode::FiveTube); }

void Form1::switchMode(PortMode mode) {
    const bool five = mode == PortMode::FiveTube;
    showHolder(ui_.Picture1, five ? ui_.Picture3 : ui_.Picture2);
    ui_.Label9->setText(five ? QStringLiteral("Tube 1") : QStringLiteral("Small tube"));
    ui_.Label10->setText(five ? QStringLiteral("Tube 2") : QStringLiteral("Medium tube"));
    ui_.Label11->setText(five ? QStringLiteral("Tube 3") : QStringLiteral("Large tube"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui_.Label19, ui_.Label20, ui_.Label21, ui_.Label22,
                                         ui_.Label23, ui_.Label24, ui_.Text7, ui_.Text8}) {
        w->setVisible(five);
    }
    nameBoxes();
    calculate();
}

// A box is named as it is seen, after the row caption beside it, which the
// switch has just set: "Small tube, inside diameter, mm".
void Form1::nameBoxes() {
    for (const BoxPlace& place : boxPlaces_) {
        QString name = place.row->text();
        if (place.column) name += QStringLiteral(", ") + QLatin1String(place.column);
        nameBox(place.box, name + QStringLiteral(", mm"), place.explainedBy);
    }
}

void Form1::Text_Change() { calculate(); }

void Form1::Text_GotFocus(QLineEdit* box) { setBoxBackground(box, kFocusYellow); }

void Form1::Text_LostFocus(QLineEdit* box) { setBoxBackground(box, kWhite); }

void Form1::Label7_Click() { openEquationsPage(); }

void Form1::Label25_Click() {
    connect(&forms::Form2(), &Form2::finished, this, &Form1::Form2_Finished, Qt::UniqueConnection);
    forms::Form2().Show();
}

// The keyboard comes back to this window's box, which is only left to a
// window manager, if there is one, when a window is hidden.
void Form1::Form2_Finished() {
    if (QWidget* main = window()) {
        main->raise();
        main->activateWindow();
    }
}

::Form1& forms::Form1() {
    static ::Form1 instance;
    return instance;
}

void Form1::calculate() {
    PortInputs in;
    // Boxes in the order the gates look at them; reading has no effect, so
    // all eight are read before any gate.
    in.smallTubeInsideDiameter = readBox(ui_.Text1);
    in.wallThickness[1] = readBox(ui_.Text2);
    in.wallThickness[2] = readBox(ui_.Text3);
    in.wallThickness[3] = readBox(ui_.Text4);
    in.wallThickness[4] = readBox(ui_.Text7);
    in.wallThickness[5] = readBox(ui_.Text8);
    in.capThickness = readBox(ui_.Text6);
    in.acousticLength = readBox(ui_.Text5);
    in.mode = ui_.Option2->isChecked() ? PortMode::FiveTube : PortMode::ThreeTube;

    const PortOutcome outcome = computePort(in, results_);
    for (const PortCaption& caption : portCaptions(outcome, in.mode, results_)) {
        QLabel* label = resultLabels_[static_cast<std::size_t>(caption.label)];
        label->setText(QString::fromStdString(caption.text));
        setSpokenName(label, QString::fromStdString(caption.spoken));
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (auto* box = qobject_cast<QLineEdit*>(watched)) {
        if (event->type() == QEvent::FocusIn) Text_GotFocus(box);
        if (event->type() == QEvent::FocusOut) Text_LostFocus(box);
    }
    return FormLifetime::eventFilter(watched, event);
}
