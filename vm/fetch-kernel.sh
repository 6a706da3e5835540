#!/bin/sh
# Fetches Debian's stock kernel (the one linux-image-amd64 depends on) and
# keeps only what the virtual machine test boots: vmlinuz and the parport,
# parport_pc, ppdev and lp modules, in DIR. Unpacked with dpkg-deb into a
# scratch folder: installing the package on the host would pull in an initramfs
# generator and upgrade system packages. Does nothing when DIR is complete.
set -eu
dir=$1
[ -f "$dir/kernel-package" ] && exit 0

package=$(apt-cache depends linux-image-amd64 2>/dev/null |
    sed -n 's/^ *Depends: \(linux-image-[0-9][^ ]*-amd64\)$/\1/p' | head -n 1)
if [ -z "$package" ]; then
    echo "fetch-kernel: apt does not know linux-image-amd64; run scripts/setup.sh (it runs apt-get update)" >&2
    exit 1
fi

mkdir -p "$dir"
scratch=$(mktemp -d "$dir/fetch.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# As root, apt downloads unsandboxed into a folder its _apt user cannot write
# to, and warns about it; that is harmless here.
(cd "$scratch" && apt-get download -q "$package" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
deb=$(ls "$scratch"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "fetch-kernel: apt-get download $package failed" >&2; exit 1; }
dpkg-deb -x "$deb" "$scratch/tree"

cp "$scratch"/tree/boot/vmlinuz-* "$dir/vmlinuz"
mkdir -p "$dir/modules"
for module in parport parport_pc ppdev lp; do
    found=$(find "$scratch/tree" -name "$module.ko" | head -n 1)
    [ -n "$found" ] || { echo "fetch-kernel: $package has no $module.ko" >&2; exit 1; }
    cp "$found" "$dir/modules/"
done
echo "$package" >"$dir/kernel-package"
