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
  xvfb xauth imagemagick
  dpkg-dev desktop-file-utils appstream lintian man-db
  libxml2-utils gpsbabel
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
