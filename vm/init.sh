#!/bin/busybox sh
# The guest's /init: loads the kernel's parport drivers, runs every case
# against the emulated port at 0x378 and powers off. Results go to the second
# serial port, one "=== case N NAME" ... "=== end N EXIT" block per case;
# before and after each case a marker goes to the port's unused register
# 0x37F so the host can find the case in its trace of the port.
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mkdir -p /tmp /run/lock /run/user/0 /root
chmod 1777 /tmp /run/lock
chmod 0700 /run/user/0
for module in parport parport_pc ppdev; do
    insmod /modules/$module.ko || echo "insmod $module failed" >/dev/ttyS0
done

stty -F /dev/ttyS1 raw -echo 2>/dev/null
exec >/dev/ttyS1 2>&1

G=/bin/tenvaro-vmguest
LP_GROUP=7     # Debian's lp group
USER_ID=1000   # a user with no privilege

wait_for() { # FILE: up to 5 s
    for _ in $(seq 50); do [ -e "$1" ] && return 0; sleep 0.1; done
    return 1
}

# end_case N CODE: the closing marker, the exit code, and the case's trace
# if the program left one.
end_case() {
    $G mark $((0x30 + $1)) >/dev/null
    echo "=== end $1 $2"
    if [ -s /tmp/trace-$1 ]; then
        echo "=== trace $1"
        cat /tmp/trace-$1
        echo "=== end trace $1"
    fi
}

# run N NAME COMMAND...: one case, under a timeout so that a hang is an exit
# code (124) rather than a stuck machine.
run() {
    n=$1 name=$2
    shift 2
    echo "=== case $n $name"
    $G mark $((0x10 + n)) >/dev/null
    timeout 20 "$@"
    code=$?
    end_case $n $code
}

session() { # N NAME MODE PULSE
    run "$1" "$2" env TENVARO_PORTIO="$3" TENVARO_PORTIO_TRACE=/tmp/trace-$1 $G session "$4"
}

session 1 ppdev ppdev P
session 2 direct direct D

# A second Tenvaro while the first holds the port, asked for ppdev and auto.
rm -f /tmp/tenvaro-holding
TENVARO_PORTIO=ppdev $G hold >/tmp/holder.out 2>&1 &
holder=$!
wait_for /tmp/tenvaro-holding
echo "=== holder $holder"
session 3 second-ppdev ppdev X
session 4 second-auto auto X
kill -TERM $holder
wait $holder
echo "=== holder-exit $?"
cat /tmp/holder.out

# Another ppdev program holds the port.
rm -f /tmp/tenvaro-rawclaim
$G rawclaim &
raw=$!
wait_for /tmp/tenvaro-rawclaim
echo "=== rawclaim $raw"
session 5 program-ppdev ppdev X
session 6 program-auto auto X
kill -TERM $raw
wait $raw

# The printer driver registers on the port when it loads.
if insmod /modules/lp.ko; then
    session 7 lp-ppdev ppdev X
    session 8 lp-auto auto X
    rmmod lp
else
    echo "=== no lp module"
fi

# The device node as Debian's udev rule leaves it: root:lp, mode 0660.
chown 0:$LP_GROUP /dev/parport0
chmod 0660 /dev/parport0
run 9 user-ppdev $G drop $USER_ID $USER_ID -- /bin/env TENVARO_PORTIO=ppdev $G session X
run 10 user-direct $G drop $USER_ID $USER_ID -- /bin/env TENVARO_PORTIO=direct $G session X
run 11 lp-member-ppdev $G drop $USER_ID $USER_ID $LP_GROUP -- \
    /bin/env TENVARO_PORTIO=ppdev TENVARO_PORTIO_TRACE=/tmp/trace-11 $G session U

run 12 user-auto $G drop $USER_ID $USER_ID -- /bin/env TENVARO_PORTIO=auto $G session X

# Control bit 5 reverses the data lines; it must never get through ppdev.
run 13 ppdev-direction-bit env TENVARO_PORTIO=ppdev $G guard

# The device vanishes under a running controller.
run 14 ppdev-device-gone env TENVARO_PORTIO=ppdev $G gone

# ---- The real program, Qt and all, on ppdev ----

A=/app/Tenvaro
APP_STARTED=28 # trace lines: the registers read and driven low, then twelve lines set low

# app_start N TRACE: Tenvaro in the background as a desktop session would
# start it (Qt warns on stderr without a private runtime folder); output to
# /tmp/app-N.out and .err. Sets app_pid.
app_start() {
    env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/run/user/0 HOME=/root \
        TENVARO_PORTIO=ppdev TENVARO_PORTIO_TRACE="$2" $A >/tmp/app-$1.out 2>/tmp/app-$1.err &
    app_pid=$!
}

lines_in() { # FILE
    if [ -e "$1" ]; then wc -l <"$1"; else echo 0; fi
}

wait_lines() { # FILE COUNT: up to 30 s
    for _ in $(seq 300); do [ "$(lines_in "$1")" -ge "$2" ] && return 0; sleep 0.1; done
    return 1
}

# app_wait PID: sets app_code to its exit code, killing it first if it has
# not ended within 20 s (so a hang shows as 137, not a stuck machine).
app_wait() {
    (sleep 20; kill -KILL "$1" 2>/dev/null) &
    dog=$!
    wait "$1"
    app_code=$?
    kill $dog 2>/dev/null
}

prefixed() { # PREFIX FILE
    while IFS= read -r line; do echo "$1$line"; done <"$2"
}

# app_case N NAME SIGNAL DATA [second]: Tenvaro finds DATA on the data lines,
# gets SIGNAL once its window is up and must put the port back. With
# "second", another Tenvaro is started before that and must be refused. After
# the program, a marker (0x50 + N), then the port must be free to claim again.
app_case() {
    n=$1 name=$2 signal=$3 data=$4 second=${5:-}
    rm -f /tmp/trace-$n /tmp/trace-$n-second
    $G poke 0x378 "$data" >/dev/null
    echo "=== case $n $name"
    $G mark $((0x10 + n)) >/dev/null
    app_start $n /tmp/trace-$n
    first=$app_pid
    echo "app $first"
    if ! wait_lines /tmp/trace-$n $APP_STARTED; then
        echo "window not up: $(lines_in /tmp/trace-$n) trace lines"
    elif [ -n "$second" ]; then
        app_start $n-second /tmp/trace-$n-second
        for _ in $(seq 300); do [ -s /tmp/app-$n-second.err ] && break; sleep 0.1; done
        # Its message box waits for a click nobody makes here; a signal
        # dismisses it the same way.
        kill -TERM $app_pid
        app_wait $app_pid
        echo "second-exit $app_code"
        prefixed "second-stderr: " /tmp/app-$n-second.err
        echo "second-trace-lines $(lines_in /tmp/trace-$n-second)"
        echo "first-trace-lines $(lines_in /tmp/trace-$n)"
    fi
    kill -$signal $first
    app_wait $first
    code=$app_code
    prefixed "stdout: " /tmp/app-$n.out
    prefixed "stderr: " /tmp/app-$n.err
    $G mark $((0x50 + n)) >/dev/null
    TENVARO_PORTIO=ppdev timeout 20 $G claim
    echo "claim-exit $?"
    end_case $n $code
}

app_case 15 app-sigterm TERM 0xA5
app_case 16 app-sigint INT 0x5A
app_case 17 app-sighup HUP 0x3C
app_case 18 app-second TERM 0xC3 second
app_case 19 app-sigkill KILL 0x96

$G mark 0x7F >/dev/null # the cases are done; the benchmark's accesses need no checking
for mode in ppdev direct; do
    echo "=== bench $mode"
    TENVARO_PORTIO=$mode timeout 60 $G bench
done

echo "=== done"
sync
sleep 0.5 # let the serial port drain before the machine stops
poweroff -f
