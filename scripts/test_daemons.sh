#!/usr/bin/env bash
# The daemons the tests run as instances of their own (chronyd with -x, which
# never sets the clock; gpsd on a test's pseudo-terminal), unpacked from
# Debian's chrony and gpsd packages into build/daemons/ without installing
# them: no service is enabled, started or replaced, and a chrony or gpsd the
# machine has is not touched. The tests take chronyd, chronyc and gpsd from
# build/daemons/usr/sbin and build/daemons/usr/bin only.
#   scripts/test_daemons.sh              unpacks them (once) and checks that their libraries are present
#   scripts/test_daemons.sh --libraries  prints the library packages they need
set -euo pipefail
cd "$(dirname "$0")/.."
daemons=(chrony gpsd)
if [ "${1:-}" = --libraries ]; then
  apt-cache depends --no-recommends --no-suggests "${daemons[@]}" | awk '$1 == "Depends:" && $2 ~ /^lib/ { print $2 }' |
    sort -u
  exit 0
fi
root=build/daemons
binaries=("$root/usr/sbin/chronyd" "$root/usr/bin/chronyc" "$root/usr/sbin/gpsd")
fresh=0
for binary in "${binaries[@]}"; do [ -x "$binary" ] || fresh=1; done
if [ $fresh = 1 ]; then
  download=$(mktemp -d)
  trap 'rm -rf "$download"' EXIT
  echo "test daemons: unpacking ${daemons[*]} from Debian's packages into $root (not installed)"
  # As root, apt's sandbox user could not write into the private folder.
  sandbox=()
  [ "$(id -u)" -ne 0 ] || sandbox=(-o APT::Sandbox::User=root)
  (cd "$download" && apt-get "${sandbox[@]}" download -qq "${daemons[@]}")
  mkdir -p "$root"
  for deb in "$download"/*.deb; do dpkg-deb -x "$deb" "$root"; done
fi
for binary in "${binaries[@]}"; do
  if ldd "$binary" | grep -q 'not found'; then
    echo "test daemons: $binary lacks libraries (scripts/setup.sh --tests installs them):" >&2
    ldd "$binary" | grep 'not found' >&2
    exit 1
  fi
done
