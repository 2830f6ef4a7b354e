#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Refreshes docs/screenshots/ from the real program: runs the end-to-end tests
# that photograph the windows on a virtual X server and the equations page's
# assistant and box designer in headless Chromium, then copies their pictures. Usage: scripts/screenshots.sh [build-dir]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
if [[ $# -eq 0 ]]; then
    build=build/default
    cmake --preset default -DBUILD_TESTING=ON
else
    build="$1"
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
fi
cmake --build "$build" --target ravelle
ctest --test-dir "$build" -R '^e2e\.(main_window|tube_maker|equations_page)$' --output-on-failure

shots="$build/tests/e2e/screenshots"
mkdir -p docs/screenshots
cp "$shots/main_window/main-window.png" "$shots/tube_maker/tube-maker.png" docs/screenshots/
cp "$build/tests/page/equations_page/screenshots/"{assistant,box-designer,build-sheet}.png docs/screenshots/
ls -l docs/screenshots/
