#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every tracked source file that
# the given build compiles, and fails on any finding. Usage: scripts/tidy.sh BUILD_DIR
# The build compiles each file through its link in BUILD_DIR/walls/ (see
# cmake/Layers.cmake); clang-tidy is given that path, with the file's own
# include roots. Fails when clang-tidy is missing (see scripts/lint_gate.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
source scripts/lint_gate.sh
lint_wanted clang-tidy || exit 0
declare -A tracked
while IFS= read -r f; do tracked[$PWD/$f]=1; done < <(git ls-files '*.cpp')
files=()
while IFS= read -r f; do
  [ -n "${tracked[$(readlink -f "$f")]:-}" ] && files+=("$f")
done < <(sed -n 's/^ *"file": "\(.*\)",\?$/\1/p' "$build/compile_commands.json" | sort -u)
echo "clang-tidy over ${#files[@]} files"
# clang-tidy tells on stderr how many warnings the headers it skips hold.
printf '%s\n' "${files[@]}" | xargs -P"$(nproc)" -n8 clang-tidy -p "$build" --quiet 2> >(grep -v 'warnings\? generated\.$' >&2)
