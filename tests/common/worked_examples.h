// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#pragma once

// Reads tests/data/worked_examples.tsv, the one table of box texts and the
// captions they give, and turns a row's texts into the computations' inputs
// as the windows read their boxes. Standard C++ only: the unit tests use it
// without Qt.

#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/colours.h"
#include "common/number_text.h"
#include "port/port_design.h"
#include "tubemaker/strip_width.h"

namespace worked {

// Column name -> text; "example" is the row's name.
struct Example : std::map<std::string, std::string> {};
// How GoogleTest names a row in its messages.
inline void PrintTo(const Example& row, std::ostream* os) { *os << row.at("example"); }

// The rows of one window, "port" or "tubemaker", in the file's order.
inline std::vector<Example> examples(const std::string& window) {
    std::ifstream file(RAVELLE_WORKED_EXAMPLES);
    if (!file) throw std::runtime_error("cannot read " RAVELLE_WORKED_EXAMPLES);
    std::vector<std::string> columns;
    std::vector<Example> rows;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields(1);
        for (char c : line) {
            if (c == '\t')
                fields.emplace_back();
            else
                fields.back() += c;
        }
        if (fields[0] == "@" + window) columns = fields;
        if (fields[0] != window) continue;
        if (fields.size() != columns.size()) throw std::runtime_error("short row: " + line);
        Example row;
        for (std::size_t i = 1; i < fields.size(); ++i)
            row[columns[i]] = fields[i];
        rows.push_back(row);
    }
    if (rows.empty()) throw std::runtime_error("no rows for " + window);
    return rows;
}

// The row of that name.
inline Example example(const std::string& window, const std::string& name) {
    for (const Example& row : examples(window))
        if (row.at("example") == name) return row;
    throw std::runtime_error("no " + window + " row " + name);
}

// A row's name as a test's name: its letters and digits.
inline std::string testName(const Example& row) {
    std::string name;
    for (char c : row.at("example"))
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
}

// The main window's boxes, and its result labels in PortLabel order.
inline const char* const kPortBoxes[] = {"Text1", "Text2", "Text3", "Text4",
                                         "Text5", "Text6", "Text7", "Text8"};
inline const char* const kPortLabels[] = {"Label1",  "Label2",  "Label3",  "Label4",
                                          "Label21", "Label22", "Label23", "Label24",
                                          "Label12", "Label14", "Label18", "Label17"};
inline const char* const kTubeBoxes[] = {"Text1", "Text2", "Text3"};

// A box's text by the box's name.
using Texts = std::function<std::string(const std::string& box)>;

inline ravelle::PortInputs portInputs(const Texts& text, ravelle::PortMode mode) {
    const auto read = [&](const char* box) { return ravelle::readNumber(text(box)); };
    ravelle::PortInputs in;
    in.smallTubeInsideDiameter = read("Text1");
    in.wallThickness[1] = read("Text2");
    in.wallThickness[2] = read("Text3");
    in.wallThickness[3] = read("Text4");
    in.wallThickness[4] = read("Text7");
    in.wallThickness[5] = read("Text8");
    in.acousticLength = read("Text5");
    in.capThickness = read("Text6");
    in.mode = mode;
    return in;
}

inline ravelle::TubeInputs tubeInputs(const Texts& text) {
    return {ravelle::readNumber(text("Text1")), ravelle::readNumber(text("Text2")),
            ravelle::readNumber(text("Text3"))};
}

inline ravelle::PortMode modeOf(const Example& row) {
    return row.at("tubes") == "5" ? ravelle::PortMode::FiveTube : ravelle::PortMode::ThreeTube;
}

// The holder whose image the tube-maker's diagram shows for a result.
inline std::string holderOf(ravelle::StripDiagram diagram) {
    switch (diagram) {
    case ravelle::StripDiagram::RemoveBoth:
        return "Picture2";
    case ravelle::StripDiagram::RemoveInnerInsertOuter:
        return "Picture3";
    case ravelle::StripDiagram::InsertBoth:
        return "Picture4";
    }
    return {};
}

// "#rrggbb", as the table writes a colour.
inline std::string colourName(ravelle::Rgb c) {
    char name[8];
    std::snprintf(name, sizeof name, "#%02x%02x%02x", c.red, c.green, c.blue);
    return name;
}

} // namespace worked
