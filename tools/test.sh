#!/usr/bin/env bash
# The whole test suite: set-up, build, then every test under Wine (and Xvfb),
# in the tests' own prefix (build/wineprefix-tests), never in tools/run.sh's.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/build.sh"
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start tests
cd "${TALLYRA_BUILD_DIR:-$here/build}"
ctest --output-on-failure -j2 "$@"
