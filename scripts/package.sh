#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# On Debian 12: installs what is missing, makes a release build in
# build/package and packs it into build/package/ravelle_<version>_<arch>.deb.
# Install that with: sudo apt-get install ./build/package/ravelle_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh package
build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build"
rm -f "$build"/ravelle_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build"
ls "$build"/ravelle_*.deb
