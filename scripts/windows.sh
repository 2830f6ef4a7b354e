#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# The Windows build, made on Debian 13: installs what is missing, cross-builds
# Qt and GoogleTest once (scripts/mingw-qt.sh), then Ravelle in Release, and
# packs it with CPack (cmake/windows.cmake), leaving in build/windows/
#   ravelle-<version>-win64.zip         the portable folder
#   ravelle-<version>-win64-setup.exe   the 64-bit installer
# On any other release it runs itself in a fresh Debian 13 root
# (scripts/debian-root.sh, on the current commit), which keeps the MinGW Qt
# in this machine's ~/.cache/ravelle, and copies the two packages out.
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

# Debian 13's Qt is the one the program is built with for Windows, and its
# Wine the one it is tested under.
if [[ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != trixie ]]; then
    sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo --preserve-env=RAVELLE_MINGW_QT,RAVELLE_CACHE,CI)
    rm -f build/windows/ravelle-*-win64.zip build/windows/ravelle-*-win64-setup.exe
    args=()
    $test && args=(--test)
    exec "${sudo[@]}" scripts/debian-root.sh --cache --out build/windows trixie \
        scripts/windows.sh "${args[@]}" "$@"
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
