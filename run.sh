#!/bin/sh
# Installs what is missing, builds the program (not the tests and benchmarks), and starts the editor
# on the demo song.
set -e
ROOT="$(cd "$(dirname "$0")" && pwd)"
"$ROOT/scripts/deps.sh"
"$ROOT/scripts/build.sh" tova_program
BUILD="${TOVA_BUILD_DIR:-$ROOT/build}"
DEMO="$ROOT/demo/demo.tvx"
if [ -f "$DEMO" ]; then
  exec "$BUILD/bin/tova" "$DEMO" "$@"
fi
exec "$BUILD/bin/tova" "$@"
