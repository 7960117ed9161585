#!/usr/bin/env bash
# Captures the X display the tests run on (Xvfb) to a PNG: the whole screen,
# or one window given by its title (as Wine names the X window) or X id.
#   tools/screenshot.sh OUT.png [WINDOW]
# Run it while the windows are shown, with DISPLAY set to the tests' display
# (tools/wine-session.sh exports it). Fails on an all-black capture, which is
# what a closed or unmapped window gives.
set -euo pipefail
if [ $# -lt 1 ] || [ -z "${DISPLAY:-}" ]; then
  echo "usage: DISPLAY=:N $0 OUT.png [WINDOW-TITLE-OR-ID]" >&2
  exit 2
fi
out=$1
target=${2:-root}
import -display "$DISPLAY" -window "$target" "$out"
colours=$(convert "$out" -format '%k' info:)
if [ "$colours" -le 1 ]; then
  echo "screenshot: $out is blank (one colour): nothing was shown" >&2
  exit 1
fi
echo "$out"
