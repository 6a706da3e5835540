#!/bin/sh
# Installs what is needed, builds everything and runs every test; then builds
# again with AddressSanitizer and UndefinedBehaviorSanitizer and runs the unit
# and window suites, and the built program's process tests, under them.
# TENVARO_SKIP_SETUP=1 skips the package installation (for repeated runs).
set -eu
cd "$(dirname "$0")/.."
[ "${TENVARO_SKIP_SETUP:-0}" = 1 ] || sh scripts/setup.sh
JOBS=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$JOBS"
ctest --test-dir build --output-on-failure --timeout 900 "$@"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTENVARO_SANITIZE=ON -DTENVARO_BUILD_BENCHMARKS=OFF
cmake --build build-sanitize -j"$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/tests/sanitizers.supp":print_suppressions=0 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure --timeout 900 -L '^(unit|ui|widget|process)$'
