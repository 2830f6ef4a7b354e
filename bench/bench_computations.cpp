// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The pure computations, without Qt: one port run in each mode, one strip
// run, and the two number-text conversions every run uses. The inputs are
// the windows' defaults; DoNotOptimize keeps the compiler from folding a
// run away or hoisting it out of the loop. What it is given is never const:
// of a const value the compiler may assume it unchanged (and newer Google
// Benchmark deprecates that form).

#include <benchmark/benchmark.h>

#include <string_view>

#include "common/number_text.h"
#include "port/port_captions.h"
#include "port/port_design.h"
#include "tubemaker/strip_width.h"

using namespace ravelle;

namespace {

PortInputs defaultPort(PortMode mode) {
    PortInputs in;
    in.smallTubeInsideDiameter = 86;
    in.wallThickness[1] = 2;
    for (int tube = 2; tube <= kMaxTubes; ++tube)
        in.wallThickness[tube] = 4;
    in.acousticLength = 830;
    in.capThickness = 36;
    in.mode = mode;
    return in;
}

void computePortRun(benchmark::State& state, PortMode mode) {
    PortInputs in = defaultPort(mode);
    PortResults results;
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        PortOutcome outcome = computePort(in, results);
        benchmark::DoNotOptimize(outcome);
        benchmark::DoNotOptimize(results);
    }
    if (computePort(in, results) != PortOutcome::Complete)
        state.SkipWithError("not a complete run");
}

void BM_computePort_3tube(benchmark::State& state) { computePortRun(state, PortMode::ThreeTube); }
void BM_computePort_5tube(benchmark::State& state) { computePortRun(state, PortMode::FiveTube); }

// What calculate does after computePort: the twelve label texts.
void BM_portCaptions_5tube(benchmark::State& state) {
    PortResults results;
    computePort(defaultPort(PortMode::FiveTube), results);
    for (auto _ : state) {
        benchmark::DoNotOptimize(results);
        auto captions = portCaptions(PortOutcome::Complete, PortMode::FiveTube, results);
        benchmark::DoNotOptimize(captions.data());
    }
}

void BM_computeStrips(benchmark::State& state) {
    TubeInputs in{100, 95, 4};
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        StripResults r = computeStrips(in);
        benchmark::DoNotOptimize(r);
    }
}

void readNumberRun(benchmark::State& state, std::string_view text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(text);
        double value = readNumber(text);
        benchmark::DoNotOptimize(value);
    }
}

// A box's usual text, and a longer one through every branch of the reader.
void BM_readNumber_830(benchmark::State& state) { readNumberRun(state, "830"); }
void BM_readNumber_long(benchmark::State& state) { readNumberRun(state, " -1 2.75E+1x"); }

void BM_formatNumber(benchmark::State& state) {
    // A whole number, as most labels show, and the volume's one decimal.
    double values[] = {158.0, 5.9};
    std::size_t i = 0;
    for (auto _ : state) {
        double value = values[i++ & 1];
        benchmark::DoNotOptimize(value);
        std::string text = formatNumber(value);
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_formatNumberTo(benchmark::State& state) {
    double values[] = {158.0, 5.9};
    std::size_t i = 0;
    char text[kMaxNumberText];
    for (auto _ : state) {
        double value = values[i++ & 1];
        benchmark::DoNotOptimize(value);
        std::size_t size = formatNumberTo(value, text);
        benchmark::DoNotOptimize(size);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_computePort_3tube);
BENCHMARK(BM_computePort_5tube);
BENCHMARK(BM_portCaptions_5tube);
BENCHMARK(BM_computeStrips);
BENCHMARK(BM_readNumber_830);
BENCHMARK(BM_readNumber_long);
BENCHMARK(BM_formatNumber);
BENCHMARK(BM_formatNumberTo);

BENCHMARK_MAIN();
