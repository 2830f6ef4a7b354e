// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The program's own computations for the page's differential test: reads
// one case a line from standard input and writes what the program computes,
// every double with 17 significant digits, so that it reads back to the
// same bits.
//   port MODE d1 t1 t2 t3 t4 t5 L c -> outcome, then the unrounded
//     D1..D5 d2..d5 g1..g4 P V B, then the rounded d2..d5 D3..D5 g1..g4 P V B
//   strips D R T -> valid, inner width, outer width
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "port/port_design.h"
#include "tubemaker/strip_width.h"

namespace {

void put(double x) { std::printf(" %.17g", x); }

void port(std::istringstream& in) {
    int tubes = 3;
    ravelle::PortInputs inputs;
    in >> tubes >> inputs.smallTubeInsideDiameter;
    for (int tube = 1; tube <= ravelle::kMaxTubes; ++tube) in >> inputs.wallThickness[tube];
    in >> inputs.acousticLength >> inputs.capThickness;
    inputs.mode = tubes == 5 ? ravelle::PortMode::FiveTube : ravelle::PortMode::ThreeTube;
    ravelle::PortResults results;
    const ravelle::PortOutcome outcome = ravelle::computePort(inputs, results);
    std::printf("%d", static_cast<int>(outcome));
    if (outcome == ravelle::PortOutcome::Complete) {
        ravelle::PortResults raw;
        ravelle::detail::computeUnrounded(inputs, raw);
        for (const ravelle::PortResults* r : {&raw, &results}) {
            if (r == &raw) {
                for (int tube = 1; tube <= 5; ++tube) put(r->outsideDiameter[tube]);
            } else {
                for (int tube = 3; tube <= 5; ++tube) put(r->outsideDiameter[tube]);
            }
            for (int tube = 2; tube <= 5; ++tube) put(r->insideDiameter[tube]);
            for (int tube = 1; tube <= 4; ++tube) put(r->endGap[tube]);
            put(r->physicalLength);
            put(r->portVolume);
            put(r->minBoxDepth);
        }
    }
    std::printf("\n");
}

void strips(std::istringstream& in) {
    ravelle::TubeInputs inputs;
    in >> inputs.startInsideDiameter >> inputs.requiredInsideDiameter >> inputs.wallThickness;
    const ravelle::StripResults r = ravelle::computeStrips(inputs);
    std::printf("%d", r.valid ? 1 : 0);
    if (r.valid) {
        put(r.innerWidth);
        put(r.outerWidth);
    }
    std::printf("\n");
}

} // namespace

int main() {
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream in(line);
        std::string what;
        in >> what;
        if (what == "port")
            port(in);
        else if (what == "strips")
            strips(in);
        else
            std::printf("?\n");
    }
    return 0;
}
