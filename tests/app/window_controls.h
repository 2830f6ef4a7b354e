// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// The controls of a loaded window that the window tests read and click,
// looked up once by their names.

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <array>

#include "port/port_captions.h"
#include "window_model.h"

namespace model {

inline QImage imageOf(const QLabel* picture) { return picture->pixmap().toImage(); }

// The same picture data, or else equal images.
inline bool samePicture(const QLabel* a, const QLabel* b) {
    const QPixmap pa = a->pixmap();
    const QPixmap pb = b->pixmap();
    return pa.cacheKey() == pb.cacheKey() || pa.toImage() == pb.toImage();
}

template <typename T> T* child(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("%s has no control %s", qPrintable(window->objectName()), name);
    return found;
}

struct MainControls {
    // Null once the window is deleted, though a new one may take its address.
    QPointer<QWidget> window;
    std::array<QLineEdit*, MainWindow::kBoxes> boxes{};
    std::array<QLabel*, ravelle::kPortLabelCount> results{}; // PortLabel order
    std::array<QLabel*, 3> rows{};
    std::array<QWidget*, 8> modeControls{};
    QRadioButton* option1 = nullptr;
    QRadioButton* option2 = nullptr;
    QLabel* link = nullptr;
    std::array<QLabel*, 3> pictures{}; // Picture1..Picture3
    QList<QLabel*> labels;

    explicit MainControls(QWidget* w = nullptr) : window(w) {
        if (!w) return;
        for (int i = 0; i < MainWindow::kBoxes; ++i)
            boxes[i] = child<QLineEdit>(w, worked::kPortBoxes[i]);
        for (int i = 0; i < ravelle::kPortLabelCount; ++i)
            results[i] = child<QLabel>(w, worked::kPortLabels[i]);
        rows = {child<QLabel>(w, "Label9"), child<QLabel>(w, "Label10"),
                child<QLabel>(w, "Label11")};
        const char* modeNames[] = {"Label19", "Label20", "Label21", "Label22",
                                   "Label23", "Label24", "Text7",   "Text8"};
        for (int i = 0; i < 8; ++i)
            modeControls[i] = child<QWidget>(w, modeNames[i]);
        option1 = child<QRadioButton>(w, "Option1");
        option2 = child<QRadioButton>(w, "Option2");
        link = child<QLabel>(w, "Label25");
        pictures = {child<QLabel>(w, "Picture1"), child<QLabel>(w, "Picture2"),
                    child<QLabel>(w, "Picture3")};
        labels = w->findChildren<QLabel*>();
    }
};

struct TubeControls {
    QPointer<QWidget> window;
    std::array<QLineEdit*, TubeMaker::kBoxes> boxes{};
    QLabel* inner = nullptr;
    QLabel* outer = nullptr;
    QPushButton* done = nullptr;
    std::array<QLabel*, 4> pictures{}; // Picture1..Picture4
    QList<QLabel*> labels;

    explicit TubeControls(QWidget* w = nullptr) : window(w) {
        if (!w) return;
        boxes = {child<QLineEdit>(w, "Text1"), child<QLineEdit>(w, "Text2"),
                 child<QLineEdit>(w, "Text3")};
        inner = child<QLabel>(w, "Label4");
        outer = child<QLabel>(w, "Label5");
        done = child<QPushButton>(w, "Command1");
        pictures = {child<QLabel>(w, "Picture1"), child<QLabel>(w, "Picture2"),
                    child<QLabel>(w, "Picture3"), child<QLabel>(w, "Picture4")};
        labels = w->findChildren<QLabel*>();
    }
    QLabel* holder(const std::string& name) const { return child<QLabel>(window, name.c_str()); }
};

} // namespace model
