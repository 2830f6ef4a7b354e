#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# On Debian 12: installs what is missing, makes an optimised build in
# build/package, packs it into build/package/ravelle_<version>_<arch>.deb and
# checks that with lintian. The build flags (cmake/hardening.cmake) and the
# time stamps (the last commit's) make the same bytes from any folder.
# Install the package with: sudo apt-get install ./build/package/ravelle_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh package
build=build/package
# -O2 with debug information, as Debian builds; packing strips the program.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build "$build"
rm -f "$build"/ravelle_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build"
lintian --pedantic --display-info --fail-on error,warning "$build"/ravelle_*.deb
ls "$build"/ravelle_*.deb
