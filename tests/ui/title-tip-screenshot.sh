#!/usr/bin/env bash
# A title tip as the screen shows it: runs titletip_show.exe, takes a
# screenshot of the display with tools/screenshot.sh and checks that the tip
# stands over the edit and past its right edge, in the window colour, with text.
#   title-tip-screenshot.sh PROGRAM OUTPUT-FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
program=$1
outdir=$2
mkdir -p "$outdir"
work=$(mktemp -d)
trap 'touch "$work/done"; rm -rf "$work"' EXIT

"$here/tools/wine-exec.sh" "$program" "Z:$work/ready" "Z:$work/done" &
pid=$!
for _ in $(seq 300); do  # a guard against a hang, not a measure of speed
  [ -s "$work/ready" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "the program ended before the tip showed" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/ready" ] || { echo "no tip" >&2; exit 1; }
read -r tl tt tr tb el et er eb < <(tr -d '\r' < "$work/ready")
shot="$outdir/title-tip.png"
"$here/tools/screenshot.sh" "$shot" >/dev/null
touch "$work/done"
wait "$pid"

echo "screenshot: $shot (tip $tl,$tt-$tr,$tb over edit $el,$et-$er,$eb)"
# The tip covers the edit's text line and reaches past the edit's right edge.
[ "$tl" -le "$((el + 4))" ] && [ "$tr" -gt "$er" ] && [ "$tt" -ge "$et" ] && [ "$tt" -lt "$eb" ] || {
  echo "tip not over the edit" >&2; exit 1; }
# Past the edit, inside the tip: white window colour and dark text, where
# the dialog alone shows its face colour.
crop="$((tr - er - 4))x$((tb - tt - 4))+$((er + 2))+$((tt + 2))"
white=$(convert "$shot" -crop "$crop" +repage -fill black +opaque white -format '%[fx:mean*w*h]' info:)
dark=$(convert "$shot" -crop "$crop" +repage -threshold 50% -negate -format '%[fx:mean*w*h]' info:)
echo "past the edit: $white white pixels, $dark dark pixels"
[ "${white%.*}" -gt 20 ] && [ "${dark%.*}" -gt 5 ] || { echo "the tip does not show past the edit" >&2; exit 1; }
