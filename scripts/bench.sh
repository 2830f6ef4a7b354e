#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Builds the benchmarks (Release, its own build tree) and runs them all:
# the computations, the windows offscreen and under Xvfb, and start-up and
# peak memory against a bare Qt window. Prints the table of medians against
# the targets. Benchmarks, not tests: a missed target does not fail the run.
#
# Usage: scripts/bench.sh [--runs N] [--repetitions N]
#   --runs N          start-up runs of each program (default 30, at least 10)
#   --repetitions N   repetitions of each Google Benchmark (default 10)
# RAVELLE_BENCH_BUILD overrides the build tree (default build/bench).
# Raw results are left in <build tree>/results/.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=30
repetitions=10
while (($#)); do
    case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --repetitions) repetitions="$2"; shift 2 ;;
    *) echo "usage: scripts/bench.sh [--runs N] [--repetitions N]" >&2; exit 2 ;;
    esac
done
if ((runs < 10)); then
    echo "bench.sh: --runs must be at least 10" >&2
    exit 2
fi

scripts/deps.sh test

build="${RAVELLE_BENCH_BUILD:-build/bench}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVELLE_BUILD_BENCH=ON -DBUILD_TESTING=OFF
cmake --build "$build" --target bench_computations bench_windows bench_startup bench_text_window

# Other work on the machine shows in every figure; keep a note of it.
load() { echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"; }

results="$build/results"
mkdir -p "$results"
# Qt wants a private runtime directory; a fresh one keeps it quiet.
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
# The main window is 661 x 424; xvfb-run's default screen is smaller.
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
gbench=(--benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true
        --benchmark_out_format=json)

echo "== machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"\
     "Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo '?'), Google Benchmark $(dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null || echo '?')"
echo "== computations ($(load))"
"$build/bench/bench_computations" "${gbench[@]}" --benchmark_out="$results/computations.json"

echo "== windows, offscreen platform ($(load))"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_windows" "${gbench[@]}" \
    --benchmark_out="$results/windows_offscreen.json" 2>"$results/windows_offscreen.log"

echo "== windows, xcb under Xvfb ($(load))"
QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$build/bench/bench_windows" "${gbench[@]}" \
    --benchmark_out="$results/windows_xcb.json" 2>"$results/windows_xcb.log"

echo "== start-up and peak RSS against the bare window, xcb under Xvfb ($(load))"
QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$build/bench/bench_startup" --runs "$runs" | tee "$results/startup.txt"
load >>"$results/startup.txt"

echo "== the same against a window showing one label, the floor of any text ($(load))"
QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$build/bench/bench_startup" --runs "$runs" \
    ravelle="$build/bin/ravelle" text="$build/bench/bench_text_window" | tee "$results/startup_text.txt"

echo
python3 - "$results" "$repetitions" <<'PY'
import json, pathlib, sys

results = pathlib.Path(sys.argv[1])

def medians(name):
    out = {}
    for b in json.loads((results / name).read_text())["benchmarks"]:
        if b.get("aggregate_name") == "median":
            # Drop the "/min_time:..." and "/manual_time" parts of the name.
            key = "/".join(p for p in b["run_name"].split("/") if not p.startswith(("min_time", "manual_time")))
            scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
            out[key] = b["real_time"] * scale  # microseconds
    return out

comp = medians("computations.json")
off = medians("windows_offscreen.json")
xcb = medians("windows_xcb.json")
def harness(name):
    fields = (results / name).read_text().split("RESULT", 1)[1].split("\n", 1)[0].split()
    return int(fields[1]), {fields[i]: (float(fields[i + 1]), float(fields[i + 2])) for i in range(2, len(fields), 3)}

startup_runs, startup = harness("startup.txt")
_, text_floor = harness("startup_text.txt")

rows = []  # (measure, measured, unit, target or None); lower is better everywhere
def add(measure, value, unit, target=None):
    rows.append((measure, value, unit, target))

add("computePort, 3 tubes", comp["BM_computePort_3tube"] * 1e3, "ns", 100)
add("computePort, 5 tubes", comp["BM_computePort_5tube"] * 1e3, "ns", 100)
add("computeStrips", comp["BM_computeStrips"] * 1e3, "ns")
add('readNumber("830")', comp["BM_readNumber_830"] * 1e3, "ns")
add('readNumber(" -1 2.75E+1x")', comp["BM_readNumber_long"] * 1e3, "ns")
add("formatNumber (std::string)", comp["BM_formatNumber"] * 1e3, "ns")
add("formatNumberTo (buffer)", comp["BM_formatNumberTo"] * 1e3, "ns")
add("portCaptions, 5 tubes", comp["BM_portCaptions_5tube"] * 1e3, "ns")
for platform, data in (("offscreen", off), ("xcb", xcb)):
    add(f"main calculate, new inputs, 3 tubes ({platform})", data["BM_Form1_calculate_changing/3"], "us", 30)
    add(f"main calculate, new inputs, 5 tubes ({platform})", data["BM_Form1_calculate_changing/5"], "us", 30)
    add(f"main calculate, same inputs ({platform})", data["BM_Form1_calculate_unchanged"], "us")
    add(f"tube-maker calculate, new inputs ({platform})", data["BM_Form2_calculate_changing"], "us")
    add(f"keystroke in Text5 to repainted ({platform})", data["BM_Form1_keystroke_to_repaint"] / 1e3, "ms", 2)
r, b = startup["exit_ms"]
add(f"start-up exec->exit, ravelle/bare ({r:.1f}/{b:.1f} ms)", r / b, "ratio", 1.25)
r, b = startup["frame_ms"]
add(f"start-up exec->first frame, ravelle/bare ({r:.1f}/{b:.1f} ms)", r / b, "ratio", 1.25)
r, b = startup["cpu_ms"]
add(f"start-up CPU time, ravelle/bare ({r:.1f}/{b:.1f} ms)", r / b, "ratio")
r, b = startup["peak_rss_kib"]
add(f"peak RSS, ravelle/bare ({r:.0f}/{b:.0f} KiB)", r / b, "ratio", 1.20)
for key, what in (("frame_ms", "exec->first frame"), ("exit_ms", "exec->exit"), ("peak_rss_kib", "peak RSS")):
    r, t = text_floor[key]
    add(f"{what}, ravelle/one-label window ({r:.{0 if key == 'peak_rss_kib' else 1}f}/{t:.{0 if key == 'peak_rss_kib' else 1}f})", r / t, "ratio")

print(f"Medians of {sys.argv[2]} Google Benchmark repetitions; start-up: medians of {startup_runs} runs of each program")
header = ("measure", "measured", "target", "measured/target", "")
lines = []
for measure, value, unit, target in rows:
    shown = f"{value:.3f}" if unit == "ratio" else f"{value:.3g} {unit}" if value < 100 else f"{value:.0f} {unit}"
    if target is None:
        lines.append((measure, shown, "-", "-", ""))
    else:
        t = f"<= {target:g}" if unit == "ratio" else f"<= {target:g} {unit}"
        lines.append((measure, shown, t, f"{value / target:.2f}", "met" if value <= target else "MISSED"))
widths = [max(len(str(row[i])) for row in [header] + lines) for i in range(len(header))]
def fmt(row):
    return "| " + " | ".join(str(c).ljust(w) for c, w in zip(row, widths)) + " |"
print(fmt(header))
print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
for line in lines:
    print(fmt(line))
PY
