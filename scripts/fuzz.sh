#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of
# runs (default 2,000,000). Usage: scripts/fuzz.sh [runs] [target-name...]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-2000000}
shift || true
command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang libclang-rt-14-dev)"; exit 1; }
out=build/fuzz
mkdir -p "$out"
# Each target: its source and the pure sources it needs.
declare -A sources=(
  [rmc_decoder]="fuzz/rmc_decoder_fuzz.cpp acquisition/rmc_decoder.cpp"
  [ini_file]="fuzz/ini_file_fuzz.cpp shell/ini_file.cpp shell/whole_file.cpp"
  [journal_scanner]="fuzz/journal_scanner_fuzz.cpp viewer/journal_line.cpp viewer/journal_reads.cpp viewer/journal_loader.cpp viewer/track_points.cpp viewer/track_distance.cpp"
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${!sources[@]}")
for t in "${targets[@]}"; do
  clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I. ${sources[$t]} -o "$out/$t"
  mkdir -p "$out/$t.corpus"
  "$out/$t" -runs="$runs" -max_len=4096 "$out/$t.corpus"
done
