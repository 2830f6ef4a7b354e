#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# On a fresh Debian 13, 12 or testing machine: installs what is missing,
# builds Ravelle and runs every test through CTest. Extra arguments go to
# ctest (e.g. -L e2e).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
cmake --preset default
cmake --build --preset default
ctest --preset default "$@"
