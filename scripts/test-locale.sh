#!/bin/sh
# Runs every test once more as a user whose desktop writes numbers with a decimal comma and translates
# the tools' messages, and whose home and temporary folders have names with blanks and characters that
# code page 932 cannot hold: LC_ALL=de_DE.UTF-8, HOME and TMPDIR under "<build>/zoë ß/". The locale is generated into the build folder (LOCPATH) when the system lacks it.
# Expects a finished build (./test.sh makes one); extra arguments go to ctest.
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${TOVA_BUILD_DIR:-$ROOT/build}"
LOCALE=de_DE.UTF-8
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  if [ ! -d "$BUILD/locale/$LOCALE" ]; then
    mkdir -p "$BUILD/locale"
    # Missing character-class warnings of the locale source are harmless; a real failure leaves no folder.
    localedef -i de_DE -f UTF-8 "$BUILD/locale/$LOCALE" || [ -d "$BUILD/locale/$LOCALE" ]
  fi
  LOCPATH="$BUILD/locale"
  export LOCPATH
fi
USERDIR="$BUILD/zoë ß"
rm -rf "$USERDIR"
mkdir -p "$USERDIR/home" "$USERDIR/tmp"
cd "$BUILD"
env -u TEMP LC_ALL="$LOCALE" LANG="$LOCALE" HOME="$USERDIR/home" TMPDIR="$USERDIR/tmp" \
  ctest --output-on-failure -j "$(nproc)" "$@"
