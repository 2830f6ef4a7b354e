#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# On a fresh Debian 13, 12 or testing machine with a display: installs what
# is missing, builds Ravelle and starts it. The program is built in a folder
# of its own, build/run, without the tests: build/default keeps its tests
# for scripts/test.sh and ctest --preset default.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh run
cmake --preset run
cmake --build --preset run
exec build/run/bin/ravelle
