#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Installs the Debian packages Ravelle needs to build and test, only the
# missing ones, on Debian 13, 12 or testing. Root runs apt-get directly;
# anyone else goes through sudo.
# Usage: scripts/deps.sh [run|test|package|windows]   (default: test)
#   run: only what building needs; test: that and what every test needs;
#   package: that and debian/control's Build-Depends with debhelper;
#   windows: that and what the Windows cross build and its tests under Wine
#   need (on the releases that have Wine's 64-bit package)
set -euo pipefail
cd "$(dirname "$0")/.."

usage="usage: scripts/deps.sh [run|test|package|windows]"
group=${1:-test}
if (($# > 1)); then
    echo "$usage" >&2
    exit 2
fi

build_packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev qt6-qpa-plugins
)
test_packages=(
    googletest libgtest-dev libbenchmark-dev clang libclang-rt-dev
    xvfb xauth xdotool imagemagick x11-utils
    python3 python3-pil python3-xlib fonts-dejavu-core
    binutils-mingw-w64-x86-64 desktop-file-utils appstream file
    build-essential debhelper dpkg-dev lintian devscripts git
    qt6-gtk-platformtheme gnome-themes-extra openbox
    at-spi2-core python3-pyatspi dbus-daemon
    chromium nodejs
    # Debian's npm, unless npm came with the nodejs package already (a
    # nodejs from outside Debian brings its own, and conflicts with it).
    $(command -v npm >/dev/null || echo npm)
)
package_packages=(build-essential debhelper dpkg-dev lintian devscripts)
# The Windows build: the MinGW cross compiler, what cross-builds Qt from
# Debian's source package, Wine to run the tests, NSIS for the installer,
# and the window manager the program's tests run it under.
windows_packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    dpkg-dev patch xz-utils googletest
    wine64 nsis python3-pefile
    xvfb xauth xdotool imagemagick python3 python3-pil python3-xlib openbox
)

packages=("${build_packages[@]}")
case "$group" in
    run) ;;
    test) packages+=("${test_packages[@]}") ;;
    package) packages+=("${package_packages[@]}") ;;
    windows) packages+=("${windows_packages[@]}") ;;
    *)
        echo "scripts/deps.sh: unknown group '$group'" >&2
        echo "$usage" >&2
        exit 2
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
# Through env, so that the setting survives sudo's clean environment.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
echo "Installing: ${missing[*]}"
"${apt[@]}" update -qq
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
