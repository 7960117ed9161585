#!/usr/bin/env bash
# The main job: set up and build, register a configuration's module
# in that configuration's Wine prefix (build/wineprefix for the full one,
# build/wineprefix-reduced and build/wineprefix-compact for the others; the
# tests have their own),
# open the Properties dialog of a file (a sample file by default) through
# Wine's shell, wait for the hash page's digests, print them as read back
# from the page's list and save a screenshot. With a real display the dialog
# stays open until you close it.
# FILE may be a folder, or several items of one folder (the full
# configuration's files page), and --page names another tab ("校验文件", a
# checksum file's page).
#   tools/run.sh [--config full|reduced|compact] [--page TITLE] [FILE...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
config=full
if [ "${1:-}" = --config ]; then
  config=${2:-}
  shift 2 || true
fi
page_asked=
if [ "${1:-}" = --page ]; then
  page_asked=${2:-}
  shift 2 || true
fi
# Per configuration: its Wine prefix, module, the page's tab title and the
# screenshot. The compact page's title is in the prefix's language (Wine's
# from the locale: Chinese with a zh_* LANG, else English).
module=Tallyra32.dll
case "$config" in
  full) role=main page="文件检验" shot=properties ;;
  reduced) role=reduced page="文件 Hash" shot=properties-reduced ;;
  compact) role=compact module=Tallyra.dll page="File Hashes" shot=properties-compact ;;
  *) echo "usage: tools/run.sh [--config full|reduced|compact] [--page TITLE] [FILE...]" >&2; exit 2 ;;
esac
if [ "$config" = compact ]; then
  case "${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}" in zh*) page="文件校验" ;; esac
fi
[ -z "$page_asked" ] || page=$page_asked
"$here/tools/build.sh"
real_display=${DISPLAY:-}
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$role"
build="${TALLYRA_BUILD_DIR:-$here/build}"
bin="$build/bin/$config"

files=("$@")
if [ ${#files[@]} = 0 ]; then
  files=("$build/sample.bin")
  [ -f "${files[0]}" ] || head -c 5000000 /dev/urandom > "${files[0]}"
fi
items=()
for file in "${files[@]}"; do
  items+=("$(winepath -w "$(realpath "$file")")")
done

wine regsvr32 /s "$(winepath -w "$bin/$module")"
# No algorithm is enabled for a new user: enable every one of the
# configuration's catalogue once (as its tallyra-hash lists them), so that
# the page has something to show. A user's own choice is left alone. The
# compact page has no settings.
if [ "$config" != compact ] && ! wine reg query 'HKCU\SOFTWARE\Tallyra\Algorithms' >/dev/null 2>&1; then
  : > "$build/empty.bin"
  for algorithm in $(wine "$bin/tallyra-hash.exe" --all "$(winepath -w "$build/empty.bin")" | tr -d '\r' | cut -f1); do
    wine reg add "HKCU\\SOFTWARE\\Tallyra\\Algorithms\\$algorithm" /v Enabled /t REG_DWORD /d 1 /f >/dev/null
  done
fi

options=(--page "$page" --screenshot "$(winepath -w "$build/$shot.bmp")")
if [ -n "$real_display" ]; then
  options+=(--leave-open)
  echo "The Properties dialog of ${files[*]} stays open until you close it."
fi
rm -f "$build/$shot.bmp"
status=0
wine "$build/bin/show-properties.exe" "${options[@]}" "${items[@]}" | tr -d '\r' || status=$?
if [ -f "$build/$shot.bmp" ]; then
  convert "$build/$shot.bmp" "$build/$shot.png"
  echo "screenshot: $build/$shot.png"
fi
exit "$status"
