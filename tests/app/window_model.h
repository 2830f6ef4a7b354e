// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// What the two windows must show, worked out from the texts in their boxes
// with the pure computations alone: no widget is looked at here. The model
// keeps the display itself, so that it can tell where a run must leave the
// display as it was.

#include <QString>

#include <array>

#include "common/colours.h"
#include "common/number_text.h"
#include "port/port_captions.h"
#include "port/port_design.h"
#include "tubemaker/strip_width.h"

namespace model {

inline double readText(const QString& text) { return ravelle::readNumber(text.toStdString()); }

// readText for each of N boxes, remembering the last text read from each:
// most runs find most boxes unchanged, some of them 100,000 characters long.
template <std::size_t N> class BoxReader {
  public:
    double operator()(std::size_t box, const QString& text) {
        Entry& e = entries_[box];
        if (!e.valid || e.text != text) e = {text, readText(text), true};
        return e.value;
    }

  private:
    struct Entry {
        QString text;
        double value = 0;
        bool valid = false;
    };
    std::array<Entry, N> entries_{};
};

// The main window: boxes Text1..Text8 (index 0..7), the tube count, the
// results record it carries from run to run, and its twelve result labels.
struct MainWindow {
    static constexpr int kBoxes = 8;
    std::array<QString, kBoxes> texts;
    ravelle::PortMode mode = ravelle::PortMode::ThreeTube;
    ravelle::PortResults results;
    std::array<QString, ravelle::kPortLabelCount> captions; // indexed by PortLabel
    int calculations = 0;

    bool fiveTubes() const { return mode == ravelle::PortMode::FiveTube; }

    // A fresh load: the design texts, a zero record, then the 3-tube switch
    // (one run) and one more run.
    void load() {
        texts = {"86", "2", "4", "4", "830", "36", "4", "4"};
        results = {};
        captions = {"Label1",  "Label2",  "Label3",  "Label4",  "Label21", "Label22",
                    "Label23", "Label24", "Label12", "Label14", "Label18", "Label17"};
        mode = ravelle::PortMode::ThreeTube;
        calculate();
        calculate();
    }

    void calculate() {
        ++calculations;
        using ravelle::PortOutcome;
        ravelle::PortInputs in;
        in.smallTubeInsideDiameter = read(0, texts[0]);
        in.wallThickness[1] = read(1, texts[1]);
        in.wallThickness[2] = read(2, texts[2]);
        in.wallThickness[3] = read(3, texts[3]);
        in.acousticLength = read(4, texts[4]);
        in.capThickness = read(5, texts[5]);
        in.wallThickness[4] = read(6, texts[6]);
        in.wallThickness[5] = read(7, texts[7]);
        in.mode = mode;

        ravelle::PortResults next = results;
        const PortOutcome outcome = ravelle::computePort(in, next);
        switch (outcome) {
        case PortOutcome::Complete:
            results = next;
            show(outcome);
            break;
        case PortOutcome::BoreTooSmall:
            show(outcome); // the record is not touched
            break;
        case PortOutcome::NegativeWall:
        case PortOutcome::OutOfRange:
            break; // record and display stay as they were
        }
    }

    // Returns whether the mode changed (and so a run happened).
    bool select(ravelle::PortMode wanted) {
        if (wanted == mode) return false;
        mode = wanted;
        calculate();
        return true;
    }

  private:
    BoxReader<kBoxes> read;

    void show(ravelle::PortOutcome outcome) {
        for (const ravelle::PortCaption& c : ravelle::portCaptions(outcome, mode, results)) {
            captions[static_cast<std::size_t>(c.label)] = QString::fromStdString(c.text);
        }
    }
};

// The tube-maker: boxes Text1..Text3, its two result lines with their
// colours, and which holder's image the visible diagram shows.
struct TubeMaker {
    static constexpr int kBoxes = 3;
    bool loaded = false;
    bool visible = false;
    std::array<QString, kBoxes> texts;
    QString inner;
    QString outer;
    ravelle::Rgb innerColour;
    ravelle::Rgb outerColour;
    ravelle::StripDiagram diagram = ravelle::StripDiagram::RemoveBoth;

    void load() {
        loaded = true;
        texts = {"100", "95", "4"};
        inner = QStringLiteral("Label4");
        outer = QStringLiteral("Label5");
        diagram = ravelle::StripDiagram::RemoveBoth; // the design-time picture
        calculate();
    }
    void unload() { loaded = visible = false; }

    void calculate() {
        const ravelle::TubeInputs in{read(0, texts[0]), read(1, texts[1]), read(2, texts[2])};
        const ravelle::StripResults r = ravelle::computeStrips(in);
        inner = QString::fromStdString(r.innerCaption);
        outer = QString::fromStdString(r.outerCaption);
        innerColour = r.innerColour;
        outerColour = r.outerColour;
        if (r.valid) diagram = r.diagram; // an invalid input keeps the last diagram
    }

  private:
    BoxReader<kBoxes> read;
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
