#!/bin/sh
# Configures (once) and builds everything into build/; the program folder is build/bin/.
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${TOVA_BUILD_DIR:-$ROOT/build}"
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD" -j "$(nproc)"
