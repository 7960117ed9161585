# Sourced by tools/wine-session.sh and tools/wine-exec.sh, which every script
# that runs Wine goes through: the environment of the project's Wine
# processes and the making of its private prefixes.
#
# Prefixes under the build folder:
#   wineprefix          the main command's (tools/run.sh): the user's settings
#   wineprefix-reduced  tools/run.sh --config reduced: the reduced module's
#                       registration and settings, apart from the full one's
#   wineprefix-compact  tools/run.sh --config compact: the compact module's
#   wineprefix-tests    the tests' own (tools/test.sh, ctest): the tests write
#                       settings and unregister the module there, never in the others
#   wineprefix-install  the installer's test: made anew for each run, so that
#                       what an install and uninstall leave behind shows
_tallyra_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tallyra_build_dir="${TALLYRA_BUILD_DIR:-$_tallyra_root/build}"

# Wine maps Windows file names to Unix ones through the locale's character
# set: in the C locale a name outside ASCII cannot be created at all. Keep a
# caller's UTF-8 locale, otherwise use C.UTF-8 (built into glibc).
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# tallyra_wine_prefix main|reduced|compact|tests|install: the folder of that prefix.
tallyra_wine_prefix() {
  case "$1" in
    main) echo "$tallyra_build_dir/wineprefix" ;;
    reduced) echo "$tallyra_build_dir/wineprefix-reduced" ;;
    compact) echo "$tallyra_build_dir/wineprefix-compact" ;;
    tests) echo "$tallyra_build_dir/wineprefix-tests" ;;
    install) echo "$tallyra_build_dir/wineprefix-install" ;;
    *) echo "tallyra_wine_prefix: main, reduced, compact, tests or install, not '$1'" >&2; return 2 ;;
  esac
}

# The name the tests' prefix carries in its C: drive; the tests that change
# the prefix's registration refuse to run where it is missing.
tallyra_tests_prefix_mark='tallyra-tests-prefix.txt'

_tallyra_detached() { setsid -w "$@" </dev/null >/dev/null 2>&1; }

# The dialog fonts of the language modules (Japanese, Korean, Chinese
# Traditional) are not in a Wine prefix: they stand for WenQuanYi Micro Hei,
# which has their scripts. SimSun by either of its names: the reduced
# configuration's dialogs ask for "宋体".
tallyra_substituted_fonts=(SimSun 宋体 "Meiryo UI" Meiryo "MS UI Gothic" "Malgun Gothic" Gulim
  "Microsoft JhengHei" "Microsoft JhengHei UI" PMingLiU)
_tallyra_substitute_fonts() {
  local font
  for font in "${tallyra_substituted_fonts[@]}"; do
    _tallyra_detached wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "$font" /t REG_SZ /d 'WenQuanYi Micro Hei' /f
  done
  wineserver -w
  touch "$WINEPREFIX/.tallyra-fonts-2"
}

# tallyra_wine_prefix_ensure main|reduced|compact|tests: makes $WINEPREFIX once (Wine's own
# set-up, UI fonts linked to WenQuanYi Micro Hei for Chinese text, the fonts
# of the language modules substituted, and for the tests their mark); a made
# prefix is reused as it is (one made before the substitutions gets them).
# Under a lock, so that tests started side by side make it once. No Wine
# server of the prefix may be running while it is made.
tallyra_wine_prefix_ensure() {
  local role=$1
  [ -f "$WINEPREFIX/.tallyra-ready" ] && [ -f "$WINEPREFIX/.tallyra-fonts-2" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  local lock
  exec {lock}>"$WINEPREFIX.lock"
  flock "$lock"
  if [ ! -f "$WINEPREFIX/.tallyra-ready" ]; then
    echo "wine: creating the prefix $WINEPREFIX" >&2
    if ! _tallyra_detached wineboot --init; then
      echo "wine: wineboot could not make the prefix $WINEPREFIX" >&2
      return 1
    fi
    wineserver -w
    local font
    for font in Tahoma "Microsoft Sans Serif" "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
      _tallyra_detached wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$font" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f
    done
    _tallyra_substitute_fonts
    if [ "$role" = tests ]; then
      echo "The Wine prefix of Tallyra's tests (tools/test.sh)." > "$WINEPREFIX/drive_c/$tallyra_tests_prefix_mark"
    fi
    touch "$WINEPREFIX/.tallyra-ready"
  elif [ ! -f "$WINEPREFIX/.tallyra-fonts-2" ]; then
    _tallyra_substitute_fonts
  fi
  exec {lock}>&-
}

# tallyra_wine_unmanaged_windows: in the tests' prefixes, windows unmanaged by
# Wine's X11 driver. With no window manager to acknowledge it (Xvfb), every
# hidden or destroyed managed window costs a two-second wait, and the tests
# close hundreds of property sheets. Done once per prefix, with its server up.
tallyra_wine_unmanaged_windows() {
  [ -f "$WINEPREFIX/.tallyra-unmanaged" ] && return 0
  _tallyra_detached wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  touch "$WINEPREFIX/.tallyra-unmanaged"
}
