#!/bin/sh
# Boots the guest that runs the cases against the kernel's parport driver.
#   boot.sh GUEST_PROGRAM OUT_DIR KERNEL_DIR APPLICATION
# APPLICATION is the real, dynamically linked Tenvaro; it goes into the guest
# with every shared library it and Qt's offscreen platform plugin load.
# Leaves in OUT_DIR: results.txt (the guest's report), port-trace.log (QEMU's
# log of every access to the emulated port), lpt.out (what the port printed),
# console.log (the kernel's console).
set -eu
if [ $# -ne 4 ]; then
    echo "usage: boot.sh GUEST_PROGRAM OUT_DIR KERNEL_DIR APPLICATION (a build tree configured before the" \
        "application joined the guest needs cmake to run again)" >&2
    exit 2
fi
guest=$1
out=$2
kernel=$3
app=$4
here=$(cd "$(dirname "$0")" && pwd)

for tool in qemu-system-x86_64 cpio timeout ldd strip; do
    command -v "$tool" >/dev/null || { echo "boot: $tool is missing; run scripts/setup.sh" >&2; exit 1; }
done
busybox=$(command -v busybox || true)
if [ -z "$busybox" ] || ! file -L "$busybox" | grep -q 'statically linked'; then
    echo "boot: a statically linked busybox is needed (package busybox-static); run scripts/setup.sh" >&2
    exit 1
fi

# Qt looks for its plugins where Debian installed them, so they go to the
# same place in the guest; so do the libraries, where the loader looks.
offscreen=/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqoffscreen.so
[ -f "$offscreen" ] || { echo "boot: $offscreen is missing (package qt6-base-dev); run scripts/setup.sh" >&2; exit 1; }
# One real font, so the window lays its captions out as on a desktop; DejaVu
# is small.
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$font" ] || font=$(find /usr/share/fonts -name '*.ttf' | head -n 1)
[ -n "$font" ] || { echo "boot: no TrueType font under /usr/share/fonts; run scripts/setup.sh" >&2; exit 1; }

sh "$here/fetch-kernel.sh" "$kernel"

rm -rf "$out"
mkdir -p "$out/root/bin" "$out/root/modules" "$out/root/proc" "$out/root/sys" "$out/root/dev"
cp "$busybox" "$out/root/bin/busybox"
cp "$guest" "$out/root/bin/tenvaro-vmguest"
cp "$kernel"/modules/*.ko "$out/root/modules/"
cp "$here/init.sh" "$out/root/init"

mkdir -p "$out/root/app" "$out/root/etc/fonts" "$out/root/usr/share/fonts" "$out/root$(dirname "$offscreen")"
strip -o "$out/root/app/Tenvaro" "$app"
cp "$offscreen" "$out/root$offscreen"
ldd "$app" "$offscreen" | awk '/^\t/ && $2 == "=>" && $3 ~ /^\// { print $3 } /^\t\// { print $1 }' | sort -u |
    while read -r library; do
        mkdir -p "$out/root$(dirname "$library")"
        cp -L "$library" "$out/root$library"
    done
[ -f "$out/root/lib64/ld-linux-x86-64.so.2" ] || { echo "boot: ldd named no dynamic loader for $app" >&2; exit 1; }
cp "$font" "$out/root/usr/share/fonts/"
cat >"$out/root/etc/fonts/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <cachedir>/tmp/fontconfig</cachedir>
</fontconfig>
EOF
chmod 0755 "$out/root/init"
(cd "$out/root" && find . | cpio -o -H newc --quiet) >"$out/initramfs.cpio"

# TCG: no KVM here. pnpacpi=off makes the kernel probe the legacy port without
# an interrupt, which keeps ppdev claims from waking waiters on IRQ 7.
status=0
timeout 170 qemu-system-x86_64 -machine pc -accel tcg -m 512 -smp 1 -nic none \
    -kernel "$kernel/vmlinuz" -initrd "$out/initramfs.cpio" \
    -append 'console=ttyS0 pnpacpi=off panic=-1' \
    -display none -monitor none -no-reboot \
    -serial "file:$out/console.log" -serial "file:$out/results.raw" \
    -parallel "file:$out/lpt.out" \
    -trace 'parallel_ioport_*' -D "$out/port-trace.full.log" || status=$?
tr -d '\r' <"$out/results.raw" >"$out/results.txt"
# Up to the guest's "cases done" marker: the benchmark after it makes
# hundreds of thousands of accesses nobody checks.
awk '{ print } /addr 0x07 val 0x7f$/ { exit }' "$out/port-trace.full.log" >"$out/port-trace.log"
rm -f "$out/port-trace.full.log" "$out/results.raw"
rm -rf "$out/root"

grep -A1 '^=== bench' "$out/results.txt" | grep '^bench' || true
if [ "$status" -ne 0 ]; then
    echo "boot: the virtual machine ended with status $status (124: it did not power off in time)" >&2
    tail -n 30 "$out/console.log" >&2
    exit 1
fi
grep -q '^=== done' "$out/results.txt" || { echo "boot: the guest did not finish its cases" >&2; tail -n 30 "$out/console.log" >&2; exit 1; }
