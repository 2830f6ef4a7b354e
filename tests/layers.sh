#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# The folders build on each other in one order: common, tubemaker, port,
# app. A folder includes only from itself and the folders before it, and its
# CMakeLists.txt compiles only its own sources.
set -uo pipefail
cd "$(dirname "$0")/.."

order=(common tubemaker port app)
status=0
for i in "${!order[@]}"; do
    dir=${order[$i]}
    allowed=" ${order[*]:0:i+1} "
    while IFS= read -r line; do
        included=${line#*#include \"}
        if [[ "$allowed" != *" ${included%%/*} "* ]]; then
            echo "$line: $dir must not include ${included%%/*}/"
            status=1
        fi
    done < <(grep -H '^#include "[a-z]*/' "$dir"/*.cpp "$dir"/*.h 2>/dev/null)
    others=$(printf '%s\n' "${order[@]}" | grep -vx "$dir" | paste -sd'|')
    if grep -HnE "(/|^ *)($others)/[^ /]+\.(cpp|h|ui)" "$dir/CMakeLists.txt"; then
        echo "$dir/CMakeLists.txt: builds another folder's sources"
        status=1
    fi
done
exit $status
