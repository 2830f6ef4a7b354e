// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// What the two windows must show, from the texts in their boxes: the pure
// computations are the oracle (the unit tests pin them to the worked
// examples). The model keeps the display itself, since a run may leave it,
// or part of it, as it was.

#include <QString>

#include <array>

#include "port/port_captions.h"
#include "worked_examples.h"

namespace model {

// Box name -> text, for worked::portInputs and tubeInputs.
template <std::size_t N>
worked::Texts textsOf(const std::array<QString, N>& texts, const char* const (&boxes)[N]) {
    return [&texts, &boxes](const std::string& box) {
        for (std::size_t i = 0; i < N; ++i)
            if (box == boxes[i]) return texts[i].toStdString();
        return std::string();
    };
}

// The main window: boxes Text1..Text8 (index 0..7), the tube count, the
// results record it carries from run to run, and its twelve result labels.
struct MainWindow {
    static constexpr int kBoxes = 8;
    std::array<QString, kBoxes> texts;
    ravelle::PortMode mode = ravelle::PortMode::ThreeTube;
    ravelle::PortResults results;
    std::array<QString, ravelle::kPortLabelCount> captions; // indexed by PortLabel

    bool fiveTubes() const { return mode == ravelle::PortMode::FiveTube; }

    // A fresh load: the form's texts and captions, a zero record, then the
    // 3-tube switch runs.
    void load() {
        static const worked::Example design = worked::examples("port")[0];
        for (int i = 0; i < kBoxes; ++i)
            texts[i] = QString::fromStdString(design.at(worked::kPortBoxes[i]));
        for (int i = 0; i < ravelle::kPortLabelCount; ++i)
            captions[i] = QString::fromLatin1(worked::kPortLabels[i]);
        results = {};
        mode = ravelle::PortMode::ThreeTube;
        calculate();
    }

    void calculate() {
        const auto outcome =
            ravelle::computePort(worked::portInputs(textsOf(texts, worked::kPortBoxes), mode), results);
        for (const ravelle::PortCaption& c : ravelle::portCaptions(outcome, mode, results))
            captions[static_cast<std::size_t>(c.label)] = QString::fromStdString(c.text);
    }

    void select(ravelle::PortMode wanted) {
        if (wanted == mode) return;
        mode = wanted;
        calculate();
    }
};

// The tube-maker: boxes Text1..Text3, its two result lines with their
// colours, and which holder's image the visible diagram shows.
struct TubeMaker {
    static constexpr int kBoxes = 3;
    bool loaded = false;
    bool visible = false;
    std::array<QString, kBoxes> texts;
    ravelle::StripResults strips;
    std::string diagram; // the holder Picture1 shows

    void load() {
        loaded = true;
        static const worked::Example design = worked::examples("tubemaker")[0];
        for (int i = 0; i < kBoxes; ++i)
            texts[i] = QString::fromStdString(design.at(worked::kTubeBoxes[i]));
        diagram = "Picture2"; // the form's picture
        calculate();
    }
    void unload() { loaded = visible = false; }

    void calculate() {
        strips = ravelle::computeStrips(worked::tubeInputs(textsOf(texts, worked::kTubeBoxes)));
        if (strips.valid) diagram = worked::holderOf(strips.diagram); // else the last one stays
    }
};

struct Program {
    MainWindow main;
    TubeMaker tubeMaker;

    void start() {
        main.load();
        tubeMaker = {};
    }
};

} // namespace model
