#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Installs the Debian 12 packages Ravelle needs to build and test, only the
# missing ones. Root runs apt-get directly; anyone else goes through sudo.
# Usage: scripts/deps.sh [run|test|package|windows]
#   run: only what building needs; package: that and what packing a .deb needs;
#   windows: that and what the Windows cross build and its tests under Wine need
set -euo pipefail

build_packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev qt6-qpa-plugins libqt6gui6
)
test_packages=(
    googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    xvfb xauth xdotool imagemagick x11-utils
    python3 python3-pil python3-xlib fonts-dejavu-core
    binutils-mingw-w64-x86-64 desktop-file-utils appstream dpkg-dev file
    lintian devscripts git
    qt6-gtk-platformtheme gnome-themes-extra openbox
)

package_packages=(dpkg-dev file lintian)

# The Windows build: the MinGW cross compiler, what cross-builds Qt from
# Debian's source package, Wine to run the tests, NSIS for the installer.
windows_packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    dpkg-dev patch xz-utils googletest
    wine64 nsis python3-pefile
    xvfb xauth xdotool imagemagick python3 python3-pil python3-xlib
)

packages=("${build_packages[@]}")
case "${1:-test}" in
    test) packages+=("${test_packages[@]}") ;;
    package) packages+=("${package_packages[@]}") ;;
    windows) packages+=("${windows_packages[@]}") ;;
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
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
