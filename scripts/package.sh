#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# On Debian 13 or 12: installs what is missing, builds the Debian package
# for the release it runs on with dpkg-buildpackage (debian/ holds the
# recipe) and checks it with lintian. Leaves it in build/package/ (or DIR):
#   ravelle_<version>-<revision>+deb<release>_<arch>.deb
# The build works on a copy of the source (the files git tracks, or the
# whole tree outside git), so the checkout stays clean; the time stamps come
# from debian/changelog, so any copy of the same source gives the same bytes.
# Usage: scripts/package.sh [--out DIR] [--no-lintian]
# Install the package with: sudo apt-get install ./build/package/ravelle_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$PWD"

out=build/package lintian=true
while (($#)); do
    case "$1" in
    --out) out=$2; shift 2 ;;
    --no-lintian) lintian=false; shift ;;
    *) echo "usage: scripts/package.sh [--out DIR] [--no-lintian]" >&2; exit 2 ;;
    esac
done

scripts/deps.sh package
mkdir -p "$out"
out=$(realpath "$out")
version=$(dpkg-parsechangelog -S Version | sed 's/-[^-]*$//')
staged="$out/src/ravelle-$version"
rm -rf "$out/src" "$out"/ravelle_* "$out"/ravelle-dbgsym_*
mkdir -p "$staged"
# Untracked files count too (a new file not yet added), ignored ones do not.
if git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null | grep -qxF "$source_dir"; then
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [[ -e "$f" ]] && printf '%s\0' "$f"; done |
        xargs -0 cp --parents -t "$staged"
else
    tar --exclude=./build --exclude=./.git -cf - . | tar -C "$staged" -xf -
fi

(cd "$staged" && dpkg-buildpackage -us -uc -b) >"$out/build.log" 2>&1 || {
    tail -n 40 "$out/build.log" >&2
    echo "dpkg-buildpackage failed; the whole log: $out/build.log" >&2
    exit 1
}
mv "$out"/src/ravelle_*.deb "$out"/src/ravelle-dbgsym_* "$out"/src/ravelle_*.buildinfo \
    "$out"/src/ravelle_*.changes "$out"/ 2>/dev/null || true
rm -rf "$out/src"
deb=$(ls "$out"/ravelle_*.deb)
if $lintian; then
    lintian --pedantic --display-info --fail-on error,warning "$deb"
fi
echo "$deb"
