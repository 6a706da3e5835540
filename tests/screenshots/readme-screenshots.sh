#!/bin/sh
# Takes the README's screenshots: Tenvaro and tenvaro-pins side by side on
# one simulated port, under Xvfb with a real window manager so that the
# frames look as on a desktop. Keys pressed in Tenvaro must show up in
# tenvaro-pins' picture, which is checked on the screenshots themselves.
#
#   readme-screenshots.sh BUILD_DIR OUTPUT_DIR
#
# Writes OUTPUT_DIR/tenvaro.png and OUTPUT_DIR/tenvaro-pins.png.
set -eu

fail() { echo "FAILED: $*" >&2; exit 1; }

if [ "${1:-}" != "--inside-x" ]; then
    BUILD=$(cd "$1" && pwd)
    mkdir -p "$2"
    OUT=$(cd "$2" && pwd)
    exec xvfb-run -a -s "-screen 0 1400x900x24" sh "$0" --inside-x "$BUILD" "$OUT"
fi
BUILD=$2
OUT=$3
TENVARO=$BUILD/app/Tenvaro
PINS=$BUILD/pins/tenvaro-pins
[ -x "$TENVARO" ] || fail "$TENVARO is not built"
[ -x "$PINS" ] || fail "$PINS is not built"

SCRATCH=$(mktemp -d)
PIDS=""
cleanup() {
    for pid in $PIDS; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$SCRATCH"
}
trap cleanup EXIT

export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$SCRATCH/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export TENVARO_PORTIO=sim
export TENVARO_PORTIO_SIM=$SCRATCH/port

openbox --sm-disable >"$SCRATCH/openbox.log" 2>&1 &
PIDS="$PIDS $!"
i=0
until wmctrl -m >/dev/null 2>&1; do
    i=$((i + 1)); [ $i -le 100 ] || fail "the window manager did not start"; sleep 0.1
done

# The first visible top-level window of a process.
window_of() { xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null | head -n 1; }

# Pixels of the lit-output colour in an image.
lit_pixels() {
    convert "$1" -fill black +opaque '#FFC41A' -fill white -opaque '#FFC41A' -format '%[fx:round(mean*w*h)]' info:
}

not_flat() {
    [ "$(convert "$1" -colorspace Gray -format '%[fx:standard_deviation > 0.05]' info:)" = 1 ] ||
        fail "$1 is (nearly) one colour"
}

"$TENVARO" >"$SCRATCH/tenvaro.log" 2>&1 &
TENVARO_PID=$!
PIDS="$PIDS $TENVARO_PID"
TENVARO_WINDOW=$(window_of $TENVARO_PID)
[ -n "$TENVARO_WINDOW" ] || { cat "$SCRATCH/tenvaro.log"; fail "Tenvaro showed no window"; }

"$PINS" >"$SCRATCH/pins.log" 2>&1 &
PINS_PID=$!
PIDS="$PIDS $PINS_PID"
PINS_WINDOW=$(window_of $PINS_PID)
[ -n "$PINS_WINDOW" ] || { cat "$SCRATCH/pins.log"; fail "tenvaro-pins showed no window"; }
# Beside Tenvaro (which opens where it was designed), not over it.
xdotool windowmove --sync "$PINS_WINDOW" 680 40
sleep 1
import -frame -window "$PINS_WINDOW" "$SCRATCH/pins-before.png"

# D0, D3 and D6 checked by keyboard (the focus starts on D0), INIT by mouse.
xdotool windowactivate --sync "$TENVARO_WINDOW"
xdotool key --delay 50 space Tab Tab Tab space Tab Tab Tab space
xdotool mousemove --window "$TENVARO_WINDOW" 130 72 click 1
i=0
until [ "$(od -An -tx1 "$TENVARO_PORTIO_SIM" | tr -d ' \n')" = "497f0f" ]; do
    i=$((i + 1)); [ $i -le 50 ] || fail "Tenvaro did not set D0, D3, D6 and INIT: $(od -An -tx1 "$TENVARO_PORTIO_SIM")"
    sleep 0.1
done
sleep 1

import -frame -window "$TENVARO_WINDOW" "$OUT/tenvaro.png"
import -frame -window "$PINS_WINDOW" "$OUT/tenvaro-pins.png"
not_flat "$OUT/tenvaro.png"
not_flat "$OUT/tenvaro-pins.png"

# Four more pins lit (2, 5, 8 and 16) than before the keys were pressed.
before=$(lit_pixels "$SCRATCH/pins-before.png")
after=$(lit_pixels "$OUT/tenvaro-pins.png")
[ "$after" -gt $((before + 4 * 400)) ] ||
    fail "tenvaro-pins did not light the pins Tenvaro set ($before lit pixels before, $after after)"
echo "PASSED: screenshots in $OUT ($before lit pixels before the keys, $after after)"
