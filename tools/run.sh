#!/usr/bin/env bash
# The main job: set up and build, register Tallyra32.dll in the project's Wine
# prefix (build/wineprefix: the tests have their own), open the Properties
# dialog of a file (a sample file by default) through Wine's shell, wait for
# the hash page's digests, print them as read back from the page's list and
# save a screenshot. With a real display the dialog stays open until you
# close it.
#   tools/run.sh [FILE]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/build.sh"
real_display=${DISPLAY:-}
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start main
build="${TALLYRA_BUILD_DIR:-$here/build}"

file=${1:-}
if [ -z "$file" ]; then
  file="$build/sample.bin"
  [ -f "$file" ] || head -c 5000000 /dev/urandom > "$file"
fi
file=$(realpath "$file")

wine regsvr32 /s "$(winepath -w "$build/bin/Tallyra32.dll")"
# No algorithm is enabled for a new user: enable all of them once, so that
# the page has something to show. A user's own choice is left alone.
if ! wine reg query 'HKCU\SOFTWARE\Tallyra\Algorithms' >/dev/null 2>&1; then
  for algorithm in Adler32 CRC32 MD2 MD4 MD5 RIPEMD-128 RIPEMD-256 RIPEMD-320 SHA-1 SHA-256 SHA-384 SHA-512 Tiger Whirlpool; do
    wine reg add "HKCU\\SOFTWARE\\Tallyra\\Algorithms\\$algorithm" /v Enabled /t REG_DWORD /d 1 /f >/dev/null
  done
fi

options=(--screenshot "$(winepath -w "$build/properties.bmp")")
if [ -n "$real_display" ]; then
  options+=(--leave-open)
  echo "The Properties dialog of $file stays open until you close it."
fi
rm -f "$build/properties.bmp"
status=0
wine "$build/bin/show-properties.exe" "${options[@]}" "$(winepath -w "$file")" | tr -d '\r' || status=$?
if [ -f "$build/properties.bmp" ]; then
  convert "$build/properties.bmp" "$build/properties.png"
  echo "screenshot: $build/properties.png"
fi
exit "$status"
