#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Runs a program of the Windows build under Wine (64-bit): CTest's emulator
# for the cross-built tests, and the end-to-end tests' way of starting
# ravelle.exe and its installer.
#
# Usage: scripts/wine.sh [--bare] PROGRAM [ARGS...]
#   default  the test prefix: the cross-built Qt and the MinGW runtime on the
#            DLL path, and Qt Test's output sent to stderr
#   --bare   a prefix like a user's machine: nothing but Wine itself
# The prefixes live in build/windows/wine/ (RAVELLE_WINE_ROOT overrides) and
# are made on first use. Wine passes no QT_* variable of the caller to the
# program, so what Qt must see is set in the prefix's HKCU\Environment.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"

kind=tests
if [[ "${1:-}" == "--bare" ]]; then
    kind=bare
    shift
fi
(($#)) || { echo "usage: scripts/wine.sh [--bare] PROGRAM [ARGS...]" >&2; exit 2; }

wine=/usr/lib/wine/wine64
root="${RAVELLE_WINE_ROOT:-$repo/build/windows/wine}"
export WINEPREFIX="$root/$kind"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompts: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

mkdir -p "$root"
exec 9>"$root/.$kind.lock"
flock 9
if [[ ! -f "$WINEPREFIX/.ravelle-ready" ]]; then
    rm -rf "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
    # Ravelle is for Windows 10 and later. The program from the zip and the
    # installer runs on Windows 10 here; the unit and window tests on
    # Windows 11, where Qt 6.8 would pick another style than the program's.
    version=win10
    [[ $kind == tests ]] && version=win11
    "$wine" winecfg /v "$version" >/dev/null 2>&1
    # Any Windows opens .htm pages in its browser. Wine registers that with
    # its HTML engine, which these prefixes go without (it would be fetched
    # from the network); the browser itself is Wine's, which hands pages on
    # to the desktop's (xdg-open).
    "$wine" reg add 'HKCR\.htm' /ve /d htmlfile /f >/dev/null 2>&1
    if [[ $kind == tests ]]; then
        # Qt Test writes to the debug log unless told stderr is a console.
        "$wine" reg add 'HKCU\Environment' /v QT_ASSUME_STDERR_HAS_CONSOLE /d 1 /f >/dev/null 2>&1
        # The window tests run on a bare X server. There Wine, hiding a window
        # it leaves to the window manager, waits 2 s for a window manager
        # that never answers; unmanaged windows hide at once. (The program
        # itself is tested in the bare prefix, under a window manager.)
        "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    fi
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.ravelle-ready"
fi
flock -u 9

if [[ $kind == tests ]]; then
    qt="${RAVELLE_MINGW_QT:-$HOME/.cache/ravelle/qt-mingw64}"
    # The compiler's runtime DLLs: the folder of its libstdc++-6.dll.
    gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
    path=""
    for dir in "$qt/bin" "$gcc" /usr/x86_64-w64-mingw32/lib; do
        path+="Z:${dir//\//\\};"  # the Unix root is drive Z:
    done
    export WINEPATH="$path"
fi
exec "$wine" "$@"
