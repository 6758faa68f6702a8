#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source file that the given
# build compiles, and fails on any finding. Usage: scripts/tidy.sh BUILD_DIR
# Without clang-tidy installed it says so and succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
if ! command -v clang-tidy >/dev/null; then
  echo "clang-tidy is not installed: the tidy check is skipped"
  exit 0
fi
files=()
while IFS= read -r f; do
  grep -qF "\"file\": \"$PWD/$f\"" "$build/compile_commands.json" && files+=("$f")
done < <(git ls-files '*.cpp')
echo "clang-tidy over ${#files[@]} files"
# clang-tidy tells on stderr how many warnings the headers it skips hold.
printf '%s\n' "${files[@]}" | xargs -P"$(nproc)" -n8 clang-tidy -p "$build" --quiet 2> >(grep -v 'warnings\? generated\.$' >&2)
