#!/bin/sh
# Runs inside the fresh root once the package is installed: both programs
# must start there with nothing but the package's declared dependencies.
set -eu

fail() { echo "FAILED: $*" >&2; exit 1; }

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=/tmp/runtime
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"

# The port file's three bytes as "dd ss cc", or nothing while it is not there.
registers() { [ -s "$1" ] && od -An -tx1 "$1" | tr -s ' ' | sed 's/^ //;s/ $//' || true; }

# Waits up to 20 s for the port file to hold the expected bytes.
await_registers() {
    i=0
    while [ "$(registers "$1")" != "$2" ]; do
        i=$((i + 1))
        [ $i -le 100 ] || return 1
        sleep 0.2
    done
}

for file in /usr/bin/Tenvaro /usr/bin/tenvaro-pins; do
    if ldd "$file" | grep -q "not found"; then
        ldd "$file" | grep "not found"
        fail "$file misses libraries the package does not pull in"
    fi
done
for file in /usr/share/applications/tenvaro.desktop /usr/share/applications/tenvaro-pins.desktop \
            /usr/share/icons/hicolor/32x32/apps/tenvaro.png /usr/share/icons/hicolor/256x256/apps/tenvaro.png \
            /usr/share/man/man1/Tenvaro.1.gz /usr/share/man/man1/tenvaro-pins.1.gz; do
    [ -f "$file" ] || fail "$file is not installed"
done
fc-list : family | grep -q "UmePlus P Gothic" || fail "the window's Japanese Gothic did not come with the package"

# Tenvaro on the simulated port: once its window exists, every line has been
# brought low (data 0x00, control 0x0B) and the status byte is untouched.
# SIGTERM ends it like a close: exit code 0, port restored.
printf '\125\177\014' >/tmp/port
TENVARO_PORTIO=sim TENVARO_PORTIO_SIM=/tmp/port Tenvaro >/tmp/tenvaro.log 2>&1 &
pid=$!
await_registers /tmp/port "00 7f 0b" || { cat /tmp/tenvaro.log; fail "Tenvaro did not bring the lines low: $(registers /tmp/port)"; }
kill -0 $pid 2>/dev/null || { cat /tmp/tenvaro.log; fail "Tenvaro ended by itself"; }
kill -TERM $pid
status=0
wait $pid || status=$?
[ $status -eq 0 ] || { cat /tmp/tenvaro.log; fail "Tenvaro ended with code $status on SIGTERM"; }
# and it put back the data and control bytes it found.
await_registers /tmp/port "55 7f 0c" || fail "Tenvaro did not restore the port: $(registers /tmp/port)"
echo "Tenvaro started on the simulated port, ended on SIGTERM and restored the port"

# tenvaro-pins creates a missing port file as an idle port and keeps running.
TENVARO_PORTIO_SIM=/tmp/pins-port tenvaro-pins >/tmp/pins.log 2>&1 &
pid=$!
await_registers /tmp/pins-port "00 7f 0c" || { cat /tmp/pins.log; fail "tenvaro-pins did not open its port"; }
sleep 1
kill -0 $pid 2>/dev/null || { cat /tmp/pins.log; fail "tenvaro-pins ended by itself"; }
kill $pid
wait $pid 2>/dev/null || true
[ "$(tenvaro-pins --version)" = "tenvaro-pins 1.0.0" ] || fail "tenvaro-pins --version: $(tenvaro-pins --version)"
echo "tenvaro-pins started on the simulated port"
