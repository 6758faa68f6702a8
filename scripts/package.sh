#!/usr/bin/env bash
# Builds the Debian package: a release build with Debian's hardening flags in
# build/package, then CPack. Prints the package's path; install it with
#   sudo apt-get install ./build/package/orvanta_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
# CMake reads CXXFLAGS and LDFLAGS but not CPPFLAGS (where _FORTIFY_SOURCE is).
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTA_TESTS=OFF >/dev/null
cmake --build build/package
(cd build/package && cpack -G DEB >/dev/null)
ls "$PWD"/build/package/orvanta_*.deb
