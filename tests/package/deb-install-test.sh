#!/bin/sh
# Installs the Debian package on a fresh Debian 12 root and starts both
# programs there, so a missing run-time dependency shows up here rather than
# on a user's machine.
#
#   deb-install-test.sh BUILD_DIR [--prepare-root]
#
# The minimal root is made once with debootstrap and kept in BUILD_DIR; each
# run works on a throw-away overlay of it, so the cached root stays fresh.
# Downloaded packages are kept beside it, which makes reruns quick.
# Needs root (chroot, mounts); exits 77 (skipped) otherwise.
set -eu

BUILD=$(cd "$1" && pwd)
CACHE="$BUILD/package-root"
ROOT="$CACHE/bookworm"
ARCHIVES="$CACHE/archives"
MIRROR="${TENVARO_DEBIAN_MIRROR:-http://deb.debian.org/debian}"

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "installing a package into a throw-away root needs root (chroot and mounts)"
command -v debootstrap >/dev/null || fail "debootstrap is missing; run scripts/setup.sh"

prepare_root() {
    [ -f "$ROOT/.tenvaro-ready" ] && return 0
    echo "making a minimal Debian 12 root in $ROOT (once; kept for reruns)"
    rm -rf "$ROOT"
    mkdir -p "$CACHE" "$ARCHIVES"
    debootstrap --variant=minbase --cache-dir="$ARCHIVES" bookworm "$ROOT" "$MIRROR" >"$CACHE/debootstrap.log" 2>&1 ||
        { tail -20 "$CACHE/debootstrap.log"; fail "debootstrap failed (log: $CACHE/debootstrap.log)"; }
    echo "deb $MIRROR bookworm main" >"$ROOT/etc/apt/sources.list"
    # A throw-away root needs no fsync after every file dpkg unpacks.
    echo force-unsafe-io >"$ROOT/etc/dpkg/dpkg.cfg.d/tenvaro-unsafe-io"
    # Package lists are fetched once here, not on every run.
    chroot "$ROOT" apt-get update -q >"$CACHE/apt-update.log" 2>&1 ||
        { tail -20 "$CACHE/apt-update.log"; fail "apt-get update in the new root failed"; }
    touch "$ROOT/.tenvaro-ready"
}

build_package() {
    (cd "$BUILD" && cpack -G DEB) >"$CACHE/cpack.log" 2>&1 ||
        { tail -20 "$CACHE/cpack.log"; fail "cpack could not build the package"; }
    DEB=$(ls -t "$BUILD"/package/tenvaro_*.deb | head -n 1)
    echo "built $DEB"
}

# In a mount namespace of its own, so every mount goes away with it, however
# the test ends.
install_and_run() {
    WORK=$(mktemp -d "$CACHE/run.XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
    mkdir "$WORK/upper" "$WORK/work" "$WORK/merged"
    unshare --mount --propagation private --fork sh -eu -c '
        WORK=$1 ROOT=$2 ARCHIVES=$3 DEB=$4 CHECKS=$5
        NEW=$WORK/merged
        mount -t overlay overlay -o "lowerdir=$ROOT,upperdir=$WORK/upper,workdir=$WORK/work" "$NEW"
        mount -t proc proc "$NEW/proc"
        mount --rbind /dev "$NEW/dev"
        mount --bind "$ARCHIVES" "$NEW/var/cache/apt/archives"
        cp /etc/resolv.conf "$NEW/etc/resolv.conf"
        cp "$DEB" "$NEW/tmp/tenvaro.deb"
        cp "$CHECKS" "$NEW/tmp/checks.sh"
        chroot "$NEW" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends /tmp/tenvaro.deb >"$WORK/apt-install.log" 2>&1 ||
            { tail -30 "$WORK/apt-install.log"; exit 1; }
        grep -E "^(Setting up|Unpacking) " "$WORK/apt-install.log" | wc -l | sed "s/^/packages set up: /"
        chroot "$NEW" sh -eu /tmp/checks.sh
    ' install-and-run "$WORK" "$ROOT" "$ARCHIVES" "$DEB" "$(dirname "$0")/inside-root.sh"
}

prepare_root
[ "${2:-}" = "--prepare-root" ] && exit 0
build_package
install_and_run
echo "PASSED: the package installs on a fresh Debian 12 root and both programs start there"
