// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "tubemaker/form2.h"

#include <QEvent>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>

#include <cmath>

#include "common/accessibility.h"
#include "common/equations_page.h"
#include "common/screen_images.h"
#include "common/widgets.h"

using namespace ravelle;

QWidget* Form2::build() {
    useAccessibleInterfaces();
    auto* window = new QWidget;
    ui_.setupUi(window);
    setUpFixedWindow(window);
    new ScreenImages(window, ui_.Picture1,
                     {{ui_.Picture2, QStringLiteral("ring_plain")},
                      {ui_.Picture3, QStringLiteral("ring_outer_strip")},
                      {ui_.Picture4, QStringLiteral("ring_both_strips")}});
    // The form's picture, and what it shows, until a result picks another.
    showHolder(ui_.Picture1, ui_.Picture2);
    const struct {
        QLineEdit* box;
        const char* name;
        QLabel* caption;
    } boxes[] = {{ui_.Text1, "Inside diameter of starting tube, mm", ui_.Label1},
                 {ui_.Text2, "Required inside diameter, mm", ui_.Label2},
                 {ui_.Text3, "Wall size, mm", ui_.Label3}};
    for (const auto& [box, name, caption] : boxes) {
        nameBox(box, QString::fromLatin1(name), caption);
        connect(box, &QLineEdit::textChanged, this, &Form2::Text_Change);
        box->installEventFilter(this);
    }
    connect(ui_.Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), window);
    connect(help, &QShortcut::activated, this, &Form2::F1_Activated);
    inputs_ = TubeInputs{};
    strips_ = StripResults{};
    return window;
}

void Form2::Form_Load() {
    place();
    calculate();
}

namespace {

// A quarter of the free screen space, not centred: the window sits towards
// the top left, clear of the middle of the main window.
QPoint quarterOfFreeSpace(QSize frame, const QScreen& screen) {
    const QSize free = screen.geometry().size() - frame;
    const float left = static_cast<float>(free.width()) / 4.0f;
    const float top = static_cast<float>(free.height()) / 4.0f;
    return {static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top))};
}

} // namespace

void Form2::place() { placeCountingFrame(forms::Form2().window(), quarterOfFreeSpace, lastFrame_); }

QLabel* Form2::holderOf(StripDiagram diagram) const {
    switch (diagram) {
    case StripDiagram::RemoveBoth:
        return ui_.Picture2;
    case StripDiagram::RemoveInnerInsertOuter:
        return ui_.Picture3;
    case StripDiagram::InsertBoth:
        return ui_.Picture4;
    }
    return ui_.Picture2;
}

void Form2::calculate() {
    // A box after the first value that is not positive is not read.
    inputs_ = TubeInputs{};
    inputs_.startInsideDiameter = readBox(ui_.Text1);
    if (inputs_.startInsideDiameter > 0) {
        inputs_.requiredInsideDiameter = readBox(ui_.Text2);
        if (inputs_.requiredInsideDiameter > 0) inputs_.wallThickness = readBox(ui_.Text3);
    }
    strips_ = computeStrips(inputs_);

    const QString inner = toQString(strips_.innerCaption);
    const QString outer = toQString(strips_.outerCaption);
    if (strips_.valid) {
        setLabelColour(ui_.Label4, strips_.innerColour);
        ui_.Label4->setText(inner);
        setLabelColour(ui_.Label5, strips_.outerColour);
        ui_.Label5->setText(outer);
        showHolder(ui_.Picture1, holderOf(strips_.diagram));
    } else {
        // The diagram keeps the last valid result's image.
        setLabelColour(ui_.Label4, strips_.innerColour);
        setLabelColour(ui_.Label5, strips_.outerColour);
        ui_.Label4->setText(inner);
        ui_.Label5->setText(outer);
    }
    setSpokenName(ui_.Label4, toQString(strips_.innerSpoken));
    setSpokenName(ui_.Label5, toQString(strips_.outerSpoken));
}

void Form2::Text_Change() { calculate(); }

void Form2::Text_GotFocus(QLineEdit* box) { setBoxBackground(box, kFocusYellow); }

void Form2::Text_LostFocus(QLineEdit* box) { setBoxBackground(box, kWhite); }

void Form2::Command1_Click() {
    forms::Form2().Hide();
    emit finished();
}

::Form2& forms::Form2() {
    static ::Form2 instance;
    return instance;
}

void Form2::F1_Activated() { openEquationsPage(); }

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (auto* box = qobject_cast<QLineEdit*>(watched)) {
        if (event->type() == QEvent::FocusIn) Text_GotFocus(box);
        if (event->type() == QEvent::FocusOut) Text_LostFocus(box);
    }
    return FormLifetime::eventFilter(watched, event);
}
