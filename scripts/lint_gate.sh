# Sourced by the lint scripts. lint_wanted TOOL: true when TOOL is installed;
# false (the check is skipped, and says so) only when ORVANTA_SKIP_LINT=1 was
# set by hand; when TOOL is missing, ends the calling script with status 1 and
# says how to install it.
lint_wanted() {
  if [ "${ORVANTA_SKIP_LINT:-0}" = 1 ]; then
    echo "ORVANTA_SKIP_LINT=1: the $1 check is skipped" >&2
    return 1
  fi
  if ! command -v "$1" >/dev/null; then
    echo "$1 is not installed: run scripts/setup.sh --tests (or set ORVANTA_SKIP_LINT=1 to skip it by hand)" >&2
    exit 1
  fi
}
