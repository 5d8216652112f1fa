#!/bin/sh
# Installs what is missing, builds everything (the program, the tests and the benchmarks), and runs
# every test.
set -e
ROOT="$(cd "$(dirname "$0")" && pwd)"
"$ROOT/scripts/deps.sh"
"$ROOT/scripts/build.sh"
BUILD="${TOVA_BUILD_DIR:-$ROOT/build}"
cd "$BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
