# Sourced by the scripts: a private Wine prefix under build/, its server and
# services started detached (so that they never hold a pipe open), and an
# Xvfb display when there is none. wine_session_stop ends what was started.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
_build="${TALLYRA_BUILD_DIR:-$here/build}"
export WINEPREFIX="$_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
_started_xvfb=""

_wine_detached() { setsid "$@" </dev/null >/dev/null 2>&1; }

_wine_prefix_init() {
  echo "wine: creating the prefix $WINEPREFIX"
  _wine_detached wineboot --init
  wineserver -w
  # Chinese text: link the UI fonts to WenQuanYi Micro Hei.
  local font
  for font in Tahoma "Microsoft Sans Serif" "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
    _wine_detached wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$font" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f
  done
  _wine_detached wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v SimSun /t REG_SZ /d 'WenQuanYi Micro Hei' /f
  wineserver -w
  touch "$WINEPREFIX/.tallyra-ready"
}

# The test programs' windows unmanaged by Wine's X11 driver: with no window
# manager to acknowledge it (Xvfb), every hidden or destroyed managed window
# costs a two-second wait, and the tests close hundreds of property sheets.
_wine_unmanaged_test_windows() {
  local program
  for program in page_tests server_tests shell_tests win_tests language_tests titletip_tests titletip_show; do
    _wine_detached wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program.exe\\X11 Driver" \
      /v Managed /t REG_SZ /d N /f
  done
  touch "$WINEPREFIX/.tallyra-unmanaged-tests"
}

wine_session_start() {
  mkdir -p "$_build"
  [ -f "$WINEPREFIX/.tallyra-ready" ] || _wine_prefix_init
  if [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    _started_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  # A persistent server, then Wine's services, both away from our pipes.
  _wine_detached wineserver -p
  _wine_detached wine cmd /c exit
  [ -f "$WINEPREFIX/.tallyra-unmanaged-tests" ] || _wine_unmanaged_test_windows
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$_started_xvfb" ]; then
    kill "$_started_xvfb" 2>/dev/null || true
    wait "$_started_xvfb" 2>/dev/null || true
    _started_xvfb=""
  fi
}
