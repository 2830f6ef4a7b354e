#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Installs a Ravelle package as the README tells users to, starts the
# program on a virtual X server and waits for its main window; then removes
# the package again. Meant for a fresh root of the package's own release
# (scripts/debian-root.sh --file DEB SUITE scripts/install-check.sh DEB).
# Usage: scripts/install-check.sh ravelle_<version>_<arch>.deb
set -euo pipefail

deb=$(realpath "$1")
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "$deb" >/dev/null
dpkg-query -W -f='Installed ${Package} ${Version}\n' ravelle
# Not the package's business, but this check's: an X server and a way to
# find the window on it.
apt-get install -y -qq --no-install-recommends xvfb xauth xdotool >/dev/null

title=$(xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    ravelle & program=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "Ravelle")
    xdotool getwindowname "$window"
    kill "$program"' 2>/dev/null)
echo "Its window: $title"
# The caption names the version as major.minor: 1.6 for 1.6.0.0-1+deb13.
version=$(dpkg-deb -f "$deb" Version | cut -d. -f1-2)
[[ "$title" == "Ravelle "*" version $version" ]]

apt-get remove -y -qq ravelle >/dev/null
! command -v ravelle >/dev/null
echo "install-check: $(basename "$deb") installs, starts and removes cleanly"
