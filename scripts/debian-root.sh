#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Runs a command in a fresh, minimal Debian root of another release, on a
# clone of this repository's current commit (what is committed, not the
# work tree). Needs root and debootstrap.
# Usage: scripts/debian-root.sh [--file PATH]... [--out DIR] [--cache] SUITE [COMMAND...]
#   SUITE      bookworm, trixie, testing, ... (default command: scripts/test.sh)
#   --file     copies PATH into the clone, under its own name, first
#   --out DIR  afterwards copies the Ravelle packages built in the clone
#              (by scripts/package.sh or the package test, and the Windows
#              zip and installer of scripts/windows.sh) to DIR
#   --cache    lends the root this machine's ~/.cache/ravelle as its own, so
#              that what is built there once (the MinGW Qt) outlives the root;
#              and RAVELLE_MINGW_QT, when set, with its folder
# The root's base (debootstrap --variant=minbase, from the Debian mirror this
# machine's own apt sources use) is kept in ~/.cache/ravelle/roots for a week;
# each run unpacks a clean copy of it and deletes it at the end. The packages
# that apt downloads are kept there too, so a run fetches each only once.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$PWD"

files=() out="" lend_cache=false
while (($#)); do
    case "$1" in
    --file) files+=("$(realpath "$2")"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    --cache) lend_cache=true; shift ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
if (($# == 0)); then
    echo "usage: scripts/debian-root.sh [--file PATH]... [--out DIR] [--cache] SUITE [COMMAND...]" >&2
    exit 2
fi
suite=$1
shift
(($#)) || set -- scripts/test.sh
if [[ $(id -u) -ne 0 ]]; then
    echo "scripts/debian-root.sh needs root (debootstrap, chroot, mounts)" >&2
    exit 2
fi
command -v debootstrap >/dev/null || {
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
}

mirror=$(apt-get indextargets --format '$(LABEL) $(TARGET_OF) $(REPO_URI)' |
    awk '$1 == "Debian" && $2 == "deb" { print $3; exit }')
if [[ -z "$mirror" ]]; then
    echo "no Debian mirror in this machine's apt sources" >&2
    exit 1
fi

host_cache="${RAVELLE_CACHE:-$HOME/.cache/ravelle}"
cache="$host_cache/roots"
base="$cache/$suite.tar"
archives="$cache/$suite-archives"
mkdir -p "$cache" "$archives/partial"
if [[ ! -f "$base" || -n "$(find "$base" -mtime +7)" ]]; then
    fresh=$(mktemp -d /var/tmp/ravelle-debootstrap.XXXXXX)
    trap 'rm -rf "$fresh"' EXIT
    echo "debootstrap $suite from $mirror"
    debootstrap --variant=minbase "$suite" "$fresh" "$mirror" >"$fresh.log" 2>&1 ||
        { tail -n 30 "$fresh.log" >&2; exit 1; }
    rm -f "$fresh.log"
    # Testing's index outlives its Valid-Until date on a mirror that is not
    # refreshed every day.
    case "$suite" in
    testing | unstable | sid | forky)
        echo 'Acquire::Check-Valid-Until "false";' >"$fresh/etc/apt/apt.conf.d/99ravelle-valid-until" ;;
    esac
    tar -C "$fresh" -cf "$base.new" .
    mv "$base.new" "$base"
    rm -rf "$fresh"
    trap - EXIT
fi

root=$(mktemp -d /var/tmp/ravelle-root-"$suite".XXXXXX)
cleanup() {
    # Mounts live in their own namespace and are gone with it.
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$base"
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
commit=$(git rev-parse HEAD)
git clone -q --no-local "$source_dir" "$root/src/ravelle"
git -C "$root/src/ravelle" checkout -q --detach "$commit"
for f in "${files[@]}"; do
    cp "$f" "$root/src/ravelle/"
done
# This machine's own CA certificates (those of a proxy, say) go along, so that
# npm in the root reaches its registry as it does here: node reads them from
# NODE_EXTRA_CA_CERTS, and the ca-certificates package, once installed, adds
# them to the root's store.
host_cas=(/usr/local/share/ca-certificates/*.crt)
extra_ca=""
if [[ -f "${host_cas[0]}" ]]; then
    mkdir -p "$root/usr/local/share/ca-certificates"
    cp "${host_cas[@]}" "$root/usr/local/share/ca-certificates/"
    cat "${host_cas[@]}" >"$root/etc/ravelle-host-cas.pem"
    extra_ca=/etc/ravelle-host-cas.pem
fi
# Folders lent to the root: where they go in it, and where they come from.
binds=() mingw_qt=""
if $lend_cache; then
    mkdir -p "$host_cache" "$root/root/.cache/ravelle"
    binds+=("$root/root/.cache/ravelle" "$host_cache")
    if [[ -n "${RAVELLE_MINGW_QT:-}" ]]; then
        mingw_qt=$(realpath -m "$RAVELLE_MINGW_QT")
        mkdir -p "$mingw_qt" "$root$mingw_qt"
        binds+=("$root$mingw_qt" "$mingw_qt")
    fi
fi
echo "In a fresh $suite root, at $(git rev-parse --short HEAD): $*"

# A mount namespace of its own (nothing leaks into the host's mounts) and a
# PID namespace (an X server or bus left behind dies with the command).
status=0
unshare --mount --pid --fork --propagation private -- bash -c '
    root=$1 archives=$2 extra_ca=$3 mingw_qt=$4 nbinds=$5
    shift 5
    while ((nbinds)); do
        mount --bind "$2" "$1"
        shift 2
        nbinds=$((nbinds - 2))
    done
    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs tmpfs "$root/dev/shm"
    mount -t tmpfs tmpfs "$root/tmp"
    mount --bind "$archives" "$root/var/cache/apt/archives"
    exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        ${extra_ca:+NODE_EXTRA_CA_CERTS=$extra_ca} ${mingw_qt:+RAVELLE_MINGW_QT=$mingw_qt} \
        bash -c "cd /src/ravelle && exec \"\$@\"" bash "$@"
' bash "$root" "$archives" "$extra_ca" "$mingw_qt" ${#binds[@]} "${binds[@]}" "$@" || status=$?

if [[ -n "$out" ]]; then
    mkdir -p "$out"
    find "$root/src/ravelle/build" \( -name 'ravelle_*.deb' -o -name 'ravelle-*-win64.zip' \
        -o -name 'ravelle-*-win64-setup.exe' \) -exec cp -t "$out" {} + 2>/dev/null || true
fi
exit $status
