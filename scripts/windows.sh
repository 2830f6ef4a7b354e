#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# The Windows build, made on Debian 12: installs what is missing, cross-builds
# Qt and GoogleTest once (scripts/mingw-qt.sh), then Ravelle in Release, and
# packs it with CPack (cmake/windows.cmake), leaving in build/windows/
#   ravelle-<version>-win64.zip         the portable folder
#   ravelle-<version>-win64-setup.exe   the 64-bit installer
# Usage: scripts/windows.sh [--test [CTEST ARGS...]]
#   --test  also runs every test of the Windows build under Wine, on a
#           virtual X server: the unit and window tests, and the real
#           program from the zip and from the installer.
set -euo pipefail
cd "$(dirname "$0")/.."

test=false
if [[ "${1:-}" == "--test" ]]; then
    test=true
    shift
elif (($#)); then
    echo "usage: scripts/windows.sh [--test [CTEST ARGS...]]" >&2
    exit 2
fi

scripts/deps.sh windows
scripts/mingw-qt.sh

cmake --preset windows
cmake --build --preset windows
cmake --build --preset windows --target package
ls -l build/windows/ravelle-*-win64.zip build/windows/ravelle-*-win64-setup.exe

if $test; then
    # One X server for the whole run; Wine's windows need one, and a wine
    # server kept alive between tests saves starting it for each.
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        status=0
        ctest --preset windows "$@" || status=$?
        for prefix in build/windows/wine/*/; do
            WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
        done
        exit $status' ctest "$@"
fi
