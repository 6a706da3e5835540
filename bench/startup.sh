#!/bin/sh
# Start-up to the first shown window, and peak memory (VmHWM), of Tenvaro and
# of a bare Qt window built alongside it; prints each as a ratio, measured in
# the same run on the same virtual display.
#   sh bench/startup.sh [BUILD_DIR] [RUNS]
set -eu
BUILD=${1:-build}
RUNS=${2:-10}
TENVARO=$BUILD/app/Tenvaro
BARE=$BUILD/bench/bare_window
[ -x "$TENVARO" ] && [ -x "$BARE" ] || { echo "build $BUILD first" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'kill $WM $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
while [ ! -s "$WORK/display" ]; do sleep 0.05; done
export DISPLAY=:$(cat "$WORK/display")
openbox --sm-disable >/dev/null 2>&1 &
WM=$!
until wmctrl -m >/dev/null 2>&1; do sleep 0.05; done
export TENVARO_PORTIO=sim TENVARO_PORTIO_SIM="$WORK/port" XDG_RUNTIME_DIR="$WORK"

# One run: milliseconds until the window is visible, then peak RSS in kB.
measure() { # program title
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    pid=$!
    xdotool search --sync --onlyvisible --name "^$2\$" >/dev/null
    end=$(date +%s%N)
    sleep 0.2 # let the first paint finish before reading the peak
    hwm=$(awk '/VmHWM/ {print $2}' /proc/$pid/status)
    kill -TERM $pid
    wait $pid 2>/dev/null || true
    echo "$(( (end - start) / 1000000 )) $hwm"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

: >"$WORK/tenvaro"; : >"$WORK/bare"
i=0
while [ $i -lt "$RUNS" ]; do
    measure "$TENVARO" Tenvaro >>"$WORK/tenvaro"
    measure "$BARE" BareWindow >>"$WORK/bare"
    i=$((i + 1))
done
t_ms=$(cut -d' ' -f1 "$WORK/tenvaro" | median); b_ms=$(cut -d' ' -f1 "$WORK/bare" | median)
t_kb=$(cut -d' ' -f2 "$WORK/tenvaro" | median); b_kb=$(cut -d' ' -f2 "$WORK/bare" | median)
echo "runs: $RUNS (medians)"
echo "start-up to shown window: Tenvaro $t_ms ms, bare Qt window $b_ms ms, ratio $(awk "BEGIN {printf \"%.2f\", $t_ms / $b_ms}")"
echo "peak RSS:                 Tenvaro $t_kb kB, bare Qt window $b_kb kB, ratio $(awk "BEGIN {printf \"%.2f\", $t_kb / $b_kb}")"
