#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Does nothing when they are all present; needs root (or sudo) otherwise.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libasound2-dev libjpeg62-turbo-dev libgeographiclib-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  fonts-liberation fonts-comic-neue
  xvfb xauth imagemagick openbox x11-utils
  dpkg-dev desktop-file-utils appstream lintian man-db
  libxml2-utils gpsbabel
  # The clock tests run their own chronyd (-x, never the clock), dbus-daemon
  # (a private bus) and mock timedated, the gpsd tests their own gpsd; the
  # system services of these packages must not start on install (see
  # policy-rc.d below).
  chrony dbus-daemon python3-dbusmock gpsd
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
# No service may start on install: the tests run gpsd and chronyd as
# instances of their own. A policy-rc.d answering 101 makes the packages'
# scripts leave their services (and sockets) stopped; one already in place is
# the machine's and stays.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
  $sudo chmod 755 "$policy"
  trap '$sudo rm -f "$policy"' EXIT
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
# Nor at the next boot: a gpsd installed here for the tests stays off until
# its owner enables it (systemctl enable --now gpsd.socket). chrony is left
# enabled: installing it removed systemd-timesyncd, and a machine should not
# come up without a time service.
if [[ " ${missing[*]} " == *" gpsd "* ]] && command -v systemctl >/dev/null; then
  $sudo systemctl disable gpsd.socket gpsd.service >/dev/null 2>&1 || true
fi
