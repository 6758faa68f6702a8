#!/usr/bin/env bash
# Installs the Debian packages Orvanta needs, and nothing else:
#   scripts/setup.sh            what building and running the program needs (./run)
#   scripts/setup.sh --tests    that, and what its tests and checks need (./test)
# No package that runs or replaces a system service is installed: the daemons
# the tests start as instances of their own (chronyd, gpsd) are unpacked from
# Debian's packages into build/daemons/ (scripts/test_daemons.sh), and a
# chrony or gpsd the machine already has is left as it is. Only apt-get runs
# with privilege, through sudo when not root; nothing is done when every
# package is present.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite qt6-translations-l10n libasound2-dev libjpeg62-turbo-dev libgeographiclib-dev
  fonts-liberation fonts-comic-neue
)
why="to build and run Orvanta"
tests=0
if [ "${1:-}" = --tests ]; then
  tests=1
  why="to build, run and test Orvanta"
  packages+=(
    libgtest-dev libgmock-dev
    clang libclang-rt-14-dev clang-tidy clang-format
    xvfb xauth imagemagick openbox x11-utils
    dpkg-dev desktop-file-utils appstream lintian man-db
    libxml2-utils gpsbabel
    # The mock timedated's private bus: dbus-daemon ships the binary alone
    # (the system bus service is in the dbus package).
    dbus-daemon python3-dbusmock
  )
  # The libraries chronyd and gpsd need, without the packages (and services)
  # themselves.
  while read -r library; do packages+=("$library"); done < <(scripts/test_daemons.sh --libraries)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${missing[*]} (Debian packages, $why)${sudo:+; sudo asks for your password}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ $tests = 1 ]; then
  scripts/test_daemons.sh
fi
