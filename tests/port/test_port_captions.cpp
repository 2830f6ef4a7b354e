// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/port_captions.h"

#include <gtest/gtest.h>

#include <ostream>

#include "worked_examples.h"

namespace ravelle {
namespace {

using enum PortLabel;
using worked::Example;

// The captions a run writes, applied over what the labels showed before.
using Display = std::map<std::string, std::string>;

// Runs the row's texts as the window does after its load: the first row's
// texts in 3 tubes, again in 5 tubes if the row is, then the row's own.
// A run that is not Complete must leave the results exactly as they were.
Display displayAfter(const Example& row) {
    const Example design = worked::examples("port").front();
    PortResults results;
    Display shown;
    const auto run = [&](const Example& texts, PortMode mode) {
        const PortResults before = results;
        const PortOutcome outcome =
            computePort(worked::portInputs([&](const std::string& box) { return texts.at(box); },
                                           mode),
                        results);
        if (outcome != PortOutcome::Complete) {
            EXPECT_EQ(results, before);
        }
        for (const PortCaption& c : portCaptions(outcome, mode, results))
            shown[worked::kPortLabels[static_cast<int>(c.label)]] = c.text;
    };
    run(design, PortMode::ThreeTube);
    if (worked::modeOf(row) == PortMode::FiveTube) run(design, PortMode::FiveTube);
    run(row, worked::modeOf(row));
    return shown;
}

class PortExamples : public testing::TestWithParam<Example> {};

TEST_P(PortExamples, ShowEveryCaption) {
    const Display shown = displayAfter(GetParam());
    for (const char* label : worked::kPortLabels)
        EXPECT_EQ(shown.at(label), GetParam().at(label)) << label;
}

INSTANTIATE_TEST_SUITE_P(Table, PortExamples, testing::ValuesIn(worked::examples("port")),
                         [](const auto& info) { return worked::testName(info.param); });

// What a screen reader says: each label's meaning, the value with its sign
// but without the blank in the sign's place, and the unit.
TEST(PortCaptions, SpokenNamesSayMeaningValueAndUnit) {
    const Example row = worked::example("port", "negative length and volume");
    const PortInputs in =
        worked::portInputs([&](const std::string& box) { return row.at(box); }, PortMode::ThreeTube);
    PortResults r;
    ASSERT_EQ(computePort(in, r), PortOutcome::Complete);
    std::vector<std::string> spoken;
    for (const PortCaption& c : portCaptions(PortOutcome::Complete, in.mode, r))
        spoken.push_back(c.spoken);
    const std::vector<std::string> expected = {
        "Inside diameter of tube 2: 124 mm",
        "Inside diameter of tube 3: 158 mm",
        "End gap of tube 1: 21 mm",
        "End gap of tube 2: 14 mm",
        "Inside diameter of tube 4: 0 mm",
        "Inside diameter of tube 5: 0 mm",
        "End gap of tube 3: 0 mm",
        "End gap of tube 4: 0 mm",
        "Outside diameter of largest tube: 166 mm",
        "Volume required by port: -0.3 litres",
        "Physical length of port: -12 mm",
        "Minimum box depth with port clearance: 74 mm",
    };
    EXPECT_EQ(spoken, expected);
}

TEST(PortCaptions, SmallBoreSaysNotAvailable) {
    std::vector<std::string> spoken;
    for (const PortCaption& c : portCaptions(PortOutcome::BoreTooSmall, PortMode::FiveTube, {}))
        spoken.push_back(c.spoken);
    const std::vector<std::string> expected = {
        "Inside diameter of tube 2: n/a", "Inside diameter of tube 3: n/a",
        "End gap of tube 1: n/a",         "End gap of tube 2: n/a",
        "Inside diameter of tube 4: n/a", "Inside diameter of tube 5: n/a",
        "End gap of tube 3: n/a",         "End gap of tube 4: n/a",
        "Smallest tube must be larger than 1mm in diameter",
    };
    EXPECT_EQ(spoken, expected);
}

} // namespace
} // namespace ravelle
