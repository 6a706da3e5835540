#!/bin/sh
# Installs what is needed, builds everything and runs every test.
# TENVARO_SKIP_SETUP=1 skips the package installation (for repeated runs).
set -eu
cd "$(dirname "$0")/.."
[ "${TENVARO_SKIP_SETUP:-0}" = 1 ] || sh scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure --timeout 600 "$@"
