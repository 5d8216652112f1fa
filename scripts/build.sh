#!/bin/sh
# Configures (once) and builds everything into build/; the program folder is build/bin/.
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${TOVA_BUILD_DIR:-$ROOT/build}"
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if ! cmake --build "$BUILD" -j "$(nproc)"; then
  # A forms folder that was empty when the build was first configured can leave Qt's generated
  # meta-object files stale once forms appear; regenerate them and build once more.
  echo "Build failed; regenerating Qt's generated files and trying once more." >&2
  find "$BUILD" -maxdepth 3 -type d -name '*_autogen' -prune -exec rm -rf {} +
  cmake --build "$BUILD" -j "$(nproc)"
fi
