#!/usr/bin/env bash
# The whole test suite: set-up, build, then every test under Wine (and Xvfb).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/build.sh"
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start
cd "${TALLYRA_BUILD_DIR:-$here/build}"
ctest --output-on-failure -j2 "$@"
