# Sourced by the scripts: one of the project's private Wine prefixes (see
# tools/wine-env.sh), its server and services started detached (so that they
# never hold a pipe open), and an Xvfb display when there is none.
#   wine_session_start [main|reduced|compact|tests]   main (the default): tools/run.sh's prefix
#   wine_session_stop                 ends what was started
# To run tests by hand: . tools/wine-session.sh; wine_session_start tests;
# then ctest in the build folder (its tests use the tests' prefix in any case).
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
_started_xvfb=""

wine_session_start() {
  local role=${1:-main}
  WINEPREFIX=$(tallyra_wine_prefix "$role") || return 2
  export WINEPREFIX
  tallyra_wine_prefix_ensure "$role"
  if [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    _started_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  # A persistent server, then Wine's services, both away from our pipes.
  _tallyra_detached wineserver -p
  _tallyra_detached wine cmd /c exit
  case "$role" in tests | install) tallyra_wine_unmanaged_windows ;; esac
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  if [ -n "$_started_xvfb" ]; then
    kill "$_started_xvfb" 2>/dev/null || true
    wait "$_started_xvfb" 2>/dev/null || true
    _started_xvfb=""
  fi
}
