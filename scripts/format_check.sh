#!/usr/bin/env bash
# Checks that every tracked .cpp and .h file is formatted as .clang-format
# says; fails on the first difference. Fails when clang-format is missing
# (see scripts/lint_gate.sh). To format a file: clang-format -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lint_gate.sh
lint_wanted clang-format || exit 0
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "clang-format: every file is formatted"
