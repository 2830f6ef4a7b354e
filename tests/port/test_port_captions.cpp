// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
#include "port/port_captions.h"

#include <gtest/gtest.h>

namespace ravelle {
namespace {

using enum PortLabel;

PortInputs defaults(PortMode mode) {
    PortInputs in;
    in.smallTubeInsideDiameter = 86;
    in.wallThickness[1] = 2;
    for (int tube = 2; tube <= 5; ++tube)
        in.wallThickness[tube] = 4;
    in.acousticLength = 830;
    in.capThickness = 36;
    in.mode = mode;
    return in;
}

TEST(PortCaptions, CompleteThreeTubeWritesAllTwelveInOrder) {
    PortResults r;
    ASSERT_EQ(computePort(defaults(PortMode::ThreeTube), r), PortOutcome::Complete);
    const std::vector<PortCaption> expected = {
        {Label1, " 124", "Inside diameter of tube 2: 124 mm"},
        {Label2, " 158", "Inside diameter of tube 3: 158 mm"},
        {Label3, " 21", "End gap of tube 1: 21 mm"},
        {Label4, " 14", "End gap of tube 2: 14 mm"},
        {Label21, " 0", "Inside diameter of tube 4: 0 mm"},
        {Label22, " 0", "Inside diameter of tube 5: 0 mm"},
        {Label23, " 0", "End gap of tube 3: 0 mm"},
        {Label24, " 0", "End gap of tube 4: 0 mm"},
        {Label12, "Outside diameter of largest tube   166",
         "Outside diameter of largest tube: 166 mm"},
        {Label14, "Volume required by port   5.9 litres", "Volume required by port: 5.9 litres"},
        {Label18, " 277", "Physical length of port: 277 mm"},
        {Label17, "Minimum box depth with port clearance  417",
         "Minimum box depth with port clearance: 417 mm"},
    };
    EXPECT_EQ(portCaptions(PortOutcome::Complete, PortMode::ThreeTube, r), expected);
}

TEST(PortCaptions, CompleteFiveTubeShowsTubeFiveAsOutside) {
    PortResults r;
    ASSERT_EQ(computePort(defaults(PortMode::FiveTube), r), PortOutcome::Complete);
    const auto captions = portCaptions(PortOutcome::Complete, PortMode::FiveTube, r);
    ASSERT_EQ(captions.size(), 12u);
    EXPECT_EQ(captions[4], (PortCaption{Label21, " 187", "Inside diameter of tube 4: 187 mm"}));
    EXPECT_EQ(captions[5], (PortCaption{Label22, " 213", "Inside diameter of tube 5: 213 mm"}));
    EXPECT_EQ(captions[6], (PortCaption{Label23, " 11", "End gap of tube 3: 11 mm"}));
    EXPECT_EQ(captions[7], (PortCaption{Label24, " 10", "End gap of tube 4: 10 mm"}));
    EXPECT_EQ(captions[8].text, "Outside diameter of largest tube   221");
    EXPECT_EQ(captions[8].spoken, "Outside diameter of largest tube: 221 mm");
    EXPECT_EQ(captions[9].text, "Volume required by port   7.1 litres");
}

TEST(PortCaptions, NegativeResultsKeepTheirSign) {
    PortInputs in = defaults(PortMode::ThreeTube);
    in.acousticLength = 0;
    in.capThickness = 0;
    PortResults r;
    ASSERT_EQ(computePort(in, r), PortOutcome::Complete);
    const auto captions = portCaptions(PortOutcome::Complete, in.mode, r);
    EXPECT_EQ(captions[9].text, "Volume required by port  -0.3 litres");
    EXPECT_EQ(captions[9].spoken, "Volume required by port: -0.3 litres");
    EXPECT_EQ(captions[10].text, "-12");
    EXPECT_EQ(captions[10].spoken, "Physical length of port: -12 mm");
    EXPECT_EQ(captions[11].text, "Minimum box depth with port clearance  74");
}

TEST(PortCaptions, SmallBoreWritesNineCaptionsAndKeepsTheSummary) {
    const std::vector<PortCaption> expected = {
        {Label1, "n/a", "Inside diameter of tube 2: n/a"},
        {Label2, "n/a", "Inside diameter of tube 3: n/a"},
        {Label3, "n/a", "End gap of tube 1: n/a"},
        {Label4, "n/a", "End gap of tube 2: n/a"},
        {Label21, "n/a", "Inside diameter of tube 4: n/a"},
        {Label22, "n/a", "Inside diameter of tube 5: n/a"},
        {Label23, "n/a", "End gap of tube 3: n/a"},
        {Label24, "n/a", "End gap of tube 4: n/a"},
        {Label12, "Smallest tube must be larger than 1mm in diameter",
         "Smallest tube must be larger than 1mm in diameter"},
    };
    EXPECT_EQ(portCaptions(PortOutcome::BoreTooSmall, PortMode::FiveTube, PortResults{}), expected);
}

TEST(PortCaptions, NothingIsWrittenWhenTheDisplayStays) {
    for (PortOutcome outcome : {PortOutcome::NegativeWall, PortOutcome::OutOfRange}) {
        EXPECT_TRUE(portCaptions(outcome, PortMode::ThreeTube, PortResults{}).empty());
    }
}

} // namespace
} // namespace ravelle
