#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# On a fresh Debian 13, 12 or testing machine with a display: installs what
# is missing, builds Ravelle and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh run
cmake --preset default -DBUILD_TESTING=OFF
cmake --build --preset default --target ravelle
exec build/default/bin/ravelle
