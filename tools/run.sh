#!/usr/bin/env bash
# The main job: set-up, build, then the digests of a file (a sample file of
# the project's by default) from every algorithm, through the extension's engine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/build.sh"
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start
if [ $# -eq 0 ]; then
  sample="${TALLYRA_BUILD_DIR:-$here/build}/sample.bin"
  [ -f "$sample" ] || head -c 5000000 /dev/urandom > "$sample"
  set -- "$sample"
fi
wine "${TALLYRA_BUILD_DIR:-$here/build}/bin/tallyra-hash.exe" --all "$@" | tr -d '\r'
