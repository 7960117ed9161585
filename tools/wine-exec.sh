#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix.
# Used as CMake's cross-compiling emulator and by the scripts.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${TALLYRA_BUILD_DIR:-$here/build}/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
