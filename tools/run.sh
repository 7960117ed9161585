#!/usr/bin/env bash
# The main job: set up and build, register a configuration's Tallyra32.dll
# in that configuration's Wine prefix (build/wineprefix for the full one,
# build/wineprefix-reduced for the reduced one; the tests have their own),
# open the Properties dialog of a file (a sample file by default) through
# Wine's shell, wait for the hash page's digests, print them as read back
# from the page's list and save a screenshot. With a real display the dialog
# stays open until you close it.
#   tools/run.sh [--config full|reduced] [FILE]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
config=full
if [ "${1:-}" = --config ]; then
  config=${2:-}
  shift 2 || true
fi
# Per configuration: its Wine prefix, the page's tab title and the screenshot.
case "$config" in
  full) role=main page="文件检验" shot=properties ;;
  reduced) role=reduced page="文件 Hash" shot=properties-reduced ;;
  *) echo "usage: tools/run.sh [--config full|reduced] [FILE]" >&2; exit 2 ;;
esac
"$here/tools/build.sh"
real_display=${DISPLAY:-}
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$role"
build="${TALLYRA_BUILD_DIR:-$here/build}"
bin="$build/bin/$config"

file=${1:-}
if [ -z "$file" ]; then
  file="$build/sample.bin"
  [ -f "$file" ] || head -c 5000000 /dev/urandom > "$file"
fi
file=$(realpath "$file")

wine regsvr32 /s "$(winepath -w "$bin/Tallyra32.dll")"
# No algorithm is enabled for a new user: enable every one of the
# configuration's catalogue once (as its tallyra-hash lists them), so that
# the page has something to show. A user's own choice is left alone.
if ! wine reg query 'HKCU\SOFTWARE\Tallyra\Algorithms' >/dev/null 2>&1; then
  : > "$build/empty.bin"
  for algorithm in $(wine "$bin/tallyra-hash.exe" --all "$(winepath -w "$build/empty.bin")" | tr -d '\r' | cut -f1); do
    wine reg add "HKCU\\SOFTWARE\\Tallyra\\Algorithms\\$algorithm" /v Enabled /t REG_DWORD /d 1 /f >/dev/null
  done
fi

options=(--page "$page" --screenshot "$(winepath -w "$build/$shot.bmp")")
if [ -n "$real_display" ]; then
  options+=(--leave-open)
  echo "The Properties dialog of $file stays open until you close it."
fi
rm -f "$build/$shot.bmp"
status=0
wine "$build/bin/show-properties.exe" "${options[@]}" "$(winepath -w "$file")" | tr -d '\r' || status=$?
if [ -f "$build/$shot.bmp" ]; then
  convert "$build/$shot.bmp" "$build/$shot.png"
  echo "screenshot: $build/$shot.png"
fi
exit "$status"
