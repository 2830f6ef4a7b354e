// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Feeds arbitrary box texts through the number-text rules and both
// computations, as the windows would, and checks properties that must hold
// for any input: no crash or sanitizer report, numbers that read back as
// they were written, finite results, and the equal-area invariants.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/number_text.h"
#include "port/port_captions.h"
#include "port/port_design.h"
#include "tubemaker/strip_width.h"

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

bool near(double a, double b, double relative) {
    return std::fabs(a - b) <= relative * std::fmax(std::fabs(a), std::fabs(b));
}

void checkRoundTrip(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1.79769313486231e308) return;
    const std::string text = ravelle::formatNumber(value);
    check(!text.empty() && (text[0] == ' ' || text[0] == '-'), "sign place");
    check(text.find_first_of("infa") == std::string::npos, "no inf or nan");
    const double back = ravelle::readNumber(text);
    check(std::fabs(back - value) <= std::fmax(std::fabs(value) * 1e-14, 1e-320), "round trip");
}

void checkPort(const ravelle::PortInputs& in) {
    ravelle::PortResults results;
    const ravelle::PortOutcome outcome = ravelle::computePort(in, results);
    for (const auto& caption : ravelle::portCaptions(outcome, in.mode, results)) {
        check(caption.text.find("inf") == std::string::npos, "caption without inf");
        check(caption.text.find("nan") == std::string::npos, "caption without nan");
    }
    if (outcome != ravelle::PortOutcome::Complete) return;

    ravelle::PortResults raw;
    ravelle::detail::computeUnrounded(in, raw);
    const double d1 = in.smallTubeInsideDiameter;
    const int largest = ravelle::tubeCount(in.mode);
    for (int tube = 1; tube < largest; ++tube) {
        const double inside = tube == 1 ? d1 : raw.insideDiameter[tube];
        const double next = raw.insideDiameter[tube + 1];
        const double outside = raw.outsideDiameter[tube];
        check(near(next * next, d1 * d1 + outside * outside, 1e-9), "passage area");
        check(near(2 * raw.endGap[tube] * (inside + outside), d1 * d1, 1e-9), "end gap area");
    }
    check(std::isfinite(results.physicalLength) && std::isfinite(results.portVolume) &&
              std::isfinite(results.minBoxDepth),
          "finite results");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fuzz(data, size);
    checkRoundTrip(fuzz.ConsumeFloatingPoint<double>());

    ravelle::PortInputs port;
    port.mode = fuzz.ConsumeBool() ? ravelle::PortMode::FiveTube : ravelle::PortMode::ThreeTube;
    port.smallTubeInsideDiameter = ravelle::readNumber(fuzz.ConsumeRandomLengthString(64));
    for (int tube = 1; tube <= ravelle::kMaxTubes; ++tube) {
        port.wallThickness[tube] = ravelle::readNumber(fuzz.ConsumeRandomLengthString(64));
    }
    port.capThickness = ravelle::readNumber(fuzz.ConsumeRandomLengthString(64));
    port.acousticLength = ravelle::readNumber(fuzz.ConsumeRandomLengthString(64));
    checkRoundTrip(port.smallTubeInsideDiameter);
    checkPort(port);

    ravelle::TubeInputs tube;
    tube.startInsideDiameter = ravelle::readNumber(fuzz.ConsumeRandomLengthString(64));
    tube.requiredInsideDiameter = ravelle::readNumber(fuzz.ConsumeRandomLengthString(64));
    tube.wallThickness = ravelle::readNumber(fuzz.ConsumeRemainingBytesAsString());
    const ravelle::StripResults strips = ravelle::computeStrips(tube);
    if (strips.valid) {
        check(std::isfinite(strips.innerWidth) && std::isfinite(strips.outerWidth),
              "finite widths");
        check(strips.outerWidth < strips.innerWidth || strips.outerWidth == strips.innerWidth,
              "outer width never larger");
    }
    return 0;
}
