// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "tubemaker/strip_width.h"

#include <gtest/gtest.h>

#include "worked_examples.h"

namespace ravelle {
namespace {

using worked::Example;

class StripExamples : public testing::TestWithParam<Example> {};

// The lines, their colours and the diagram; an unusable input keeps the
// diagram of the run before, here the first row's.
TEST_P(StripExamples, ShowBothLinesColoursAndDiagram) {
    const Example& row = GetParam();
    const StripResults r =
        computeStrips(worked::tubeInputs([&](const std::string& box) { return row.at(box); }));
    EXPECT_EQ(r.innerCaption, row.at("Label4"));
    EXPECT_EQ(r.outerCaption, row.at("Label5"));
    EXPECT_EQ(worked::colourName(r.innerColour), row.at("Label4 colour"));
    EXPECT_EQ(worked::colourName(r.outerColour), row.at("Label5 colour"));
    const std::string kept = worked::examples("tubemaker").front().at("Picture1");
    EXPECT_EQ(r.valid ? worked::holderOf(r.diagram) : kept, row.at("Picture1"));
    EXPECT_EQ(r.valid, row.at("Label4") != kStripInvalidMessage);
}

// A reader hears a line's words, then its number without the blank in the
// sign's place, and the unit; the message as it is shown.
TEST_P(StripExamples, SpeakTheLineWithItsUnit) {
    const Example& row = GetParam();
    const StripResults r =
        computeStrips(worked::tubeInputs([&](const std::string& box) { return row.at(box); }));
    for (const auto& [shown, spoken] : {std::pair{r.innerCaption, r.innerSpoken},
                                        std::pair{r.outerCaption, r.outerSpoken}}) {
        if (!r.valid) {
            EXPECT_EQ(spoken, shown);
            continue;
        }
        const std::size_t blank = shown.rfind(' ');
        EXPECT_EQ(spoken, std::string(shown.substr(0, blank)) + ": " +
                              std::string(shown.substr(blank + 1)) + " mm");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, StripExamples, testing::ValuesIn(worked::examples("tubemaker")),
                         [](const auto& info) { return worked::testName(info.param); });

TEST(StripInvariant, OuterWidthIsSmallerByTheWallsCircumference) {
    for (TubeInputs in : {TubeInputs{100, 95, 4}, TubeInputs{50, 300, 0.5}, TubeInputs{7, 3, 2}}) {
        const StripResults r = computeStrips(in);
        const double D = in.startInsideDiameter;
        const double T = in.wallThickness;
        EXPECT_NEAR(r.innerWidth - r.outerWidth, 2 * kPi * T * (D / 2 + T) / (D / 2), 1e-9);
    }
}

} // namespace
} // namespace ravelle
