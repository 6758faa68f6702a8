#!/usr/bin/env bash
# Builds the libFuzzer targets with clang from the project's own libraries and
# runs each for the given number of inputs (default 2,000,000), starting from
# the corpus kept in fuzz/corpus/. Usage: scripts/fuzz.sh [runs]
# (./test runs them too, for a short fixed number of inputs.)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-2000000}
command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang libclang-rt-14-dev)"; exit 1; }
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_FUZZ=ON \
  -DORVANTA_FUZZ_RUNS="$runs" >/dev/null
cmake --build build/fuzz
cd build/fuzz
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --output-on-failure
