#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the project's private prefixes:
# the tests' own by default (it is CMake's cross-compiling emulator for the
# tests), made on first use. The main command's prefixes are tools/run.sh's.
#   tools/wine-exec.sh [--prefix DIR] PROGRAM [ARGUMENTS...]
# The prefix: DIR, else $TALLYRA_WINEPREFIX, else build/wineprefix-tests
# (a WINEPREFIX of the caller's environment is not taken).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/wine-env.sh"
prefix=${TALLYRA_WINEPREFIX:-}
if [ "${1:-}" = --prefix ]; then
  prefix=$2
  shift 2
fi
WINEPREFIX=$(realpath -m "${prefix:-$(tallyra_wine_prefix tests)}")
export WINEPREFIX
role=tests
for run_role in main reduced compact; do
  [ "$WINEPREFIX" = "$(realpath -m "$(tallyra_wine_prefix "$run_role")")" ] && role=$run_role
done
tallyra_wine_prefix_ensure "$role" || exit 1
exec wine "$@"
