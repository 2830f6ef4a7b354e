#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Cross-builds, from Debian's own sources, the Qt (the same version as the
# build machine's, whose moc, rcc and uic it uses: 6.8.2 on Debian 13) and
# the GoogleTest that the Windows build links, into
# ${RAVELLE_MINGW_QT:-~/.cache/ravelle/qt-mingw64}.
# Does nothing when that prefix was built by this very recipe: the stamp in it
# is the hash of this script, of the toolchain file and of the Debian version
# of the Qt source.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$PWD"

prefix="${RAVELLE_MINGW_QT:-$HOME/.cache/ravelle/qt-mingw64}"
toolchain="$source_dir/cmake/mingw-w64.cmake"
# The Debian source package of the host's Qt, at the host's version. The
# library's binary package is named differently from release to release
# (libqt6core6, libqt6core6t64), its source package is not.
qt_version=$(dpkg-query -W -f='${db:Status-Abbrev} ${source:Package} ${source:Version}\n' 'libqt6core6*' |
    awk '$1 == "ii" && $2 == "qt6-base" { print $3; exit }')
if [[ -z "$qt_version" ]]; then
    echo "no Qt 6 of Debian's installed (scripts/deps.sh windows)" >&2
    exit 1
fi
recipe=$( (cat "$0" "$toolchain" && echo "$qt_version") | sha256sum | cut -d' ' -f1)
stamp="$prefix/ravelle-recipe.sha256"
if [[ -f "$stamp" && "$(cat "$stamp")" == "$recipe" ]]; then
    echo "MinGW Qt in $prefix is up to date"
    exit 0
fi

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)

if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q "^Version: ${qt_version}\$"; then
    # deb-src entries for the suites the machine already uses.
    list=/etc/apt/sources.list.d/ravelle-deb-src.sources
    {
        for f in /etc/apt/sources.list.d/*.sources; do
            [[ "$f" == "$list" ]] && continue
            grep -q '^Types:.*\bdeb\b' "$f" && grep -q '^URIs:.*debian' "$f" &&
                sed -e 's/^Types:.*/Types: deb-src/' "$f" && echo
        done
        if [[ -f /etc/apt/sources.list ]]; then
            grep -E '^deb\s' /etc/apt/sources.list | grep debian |
                awk '{ $1 = ""; print "Types: deb-src\nURIs: " $2 "\nSuites: " $3 "\nComponents: " substr($0, index($0, $4)) "\n" }'
        fi
    } | "${sudo[@]}" tee "$list" >/dev/null
    "${sudo[@]}" apt-get update -qq
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/ravelle-mingw-qt.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source --download-only -qq "qt6-base=${qt_version}"
tar xf qt6-base_*.orig.tar.*
tar xf qt6-base_*.debian.tar.*
src=$(find . -maxdepth 1 -type d -name 'qtbase-*' | head -n1)
# Upstream's fixes and the security fixes, in the series' order (a security
# fix may build on an earlier upstream one); the rest of Debian's patches are
# about its own build.
while read -r patch; do
    case "$patch" in
    upstream_* | cve-* | CVE-*) patch -d "$src" -p1 -s <"debian/patches/$patch" ;;
    esac
done < <(sed -e 's/#.*//' -e '/^\s*$/d' debian/patches/series)

# Emptied, not removed: in a Debian 13 root the prefix may be a folder lent
# by the host, which cannot be removed there.
mkdir -p "$prefix"
find "$prefix" -mindepth 1 -delete
# Debian's tarball has no wintab headers: no tablet events. Direct2D stays
# on: without it the windows plugin of some releases does not link.
# The offscreen plugin needs a FreeType; the bundled one serves both.
"$src/configure" -prefix "$prefix" -release -shared \
    -qt-host-path /usr -no-opengl -no-dbus -no-icu -no-zstd \
    -qt-freetype -qt-libpng -qt-zlib -qt-pcre -qt-harfbuzz -no-libjpeg -no-vulkan \
    -no-feature-sql -no-feature-network -no-feature-concurrent -no-feature-xml \
    -no-feature-printsupport -no-feature-tabletevent \
    -nomake examples -nomake tests -- \
    -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DRAVELLE_MINGW_QT="$prefix" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build . --parallel
cmake --install .

# GoogleTest, from Debian's source of the host's own.
cmake -S /usr/src/googletest -B gtest -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DRAVELLE_MINGW_QT="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF
cmake --build gtest
cmake --install gtest

echo "$recipe" >"$stamp"
echo "MinGW Qt built into $prefix"
