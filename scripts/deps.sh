#!/bin/sh
# Installs the Debian packages the project needs; does nothing when all are present.
# locales: localedef and the locale sources, so the tests can run under a decimal-comma locale.
# qt6-translations-l10n: Qt's own Japanese texts for the buttons of message boxes and file dialogs.
set -e
PACKAGES="cmake g++ ninja-build pkg-config qt6-base-dev fonts-ipaexfont-gothic librtaudio-dev librtmidi-dev
libzip-dev libsamplerate0-dev libsndfile1-dev libgtest-dev libgmock-dev libbenchmark-dev espeak-ng
jackd2 libjack-jackd2-dev xvfb xauth locales qt6-translations-l10n"
missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
  # jackd2 asks about real-time priority; answer it once so the install never waits.
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $SUDO debconf-set-selections 2>/dev/null || true
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
