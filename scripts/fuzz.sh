#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Builds the libFuzzer target with clang and runs it for the given number of
# seconds (default 60) from the committed seed corpus, which it leaves as is.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_computations
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp tests/fuzz/corpus/* "$work/"
build/fuzz/tests/fuzz/fuzz_computations -max_total_time="$seconds" -print_final_stats=1 \
    -timeout=10 -rss_limit_mb=4096 "$work"
