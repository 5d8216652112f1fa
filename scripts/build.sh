#!/bin/sh
# Configures (once) and builds into build/; the program folder is build/bin/. With target names as
# arguments only those are built (./run.sh builds the program alone), else everything.
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${TOVA_BUILD_DIR:-$ROOT/build}"
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
TARGETS=""
for t in "$@"; do TARGETS="$TARGETS --target $t"; done
# shellcheck disable=SC2086 # each target is its own word
if ! cmake --build "$BUILD" -j "$(nproc)" $TARGETS; then
  # A forms folder that was empty when the build was first configured can leave Qt's generated
  # meta-object files stale once forms appear; regenerate them and build once more.
  echo "Build failed; regenerating Qt's generated files and trying once more." >&2
  find "$BUILD" -maxdepth 3 -type d -name '*_autogen' -prune -exec rm -rf {} +
  cmake --build "$BUILD" -j "$(nproc)" $TARGETS
fi
