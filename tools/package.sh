#!/usr/bin/env bash
# The installer: build/dist/Tallyra-VERSION.msi, a per-machine 64-bit Windows
# Installer package of the full configuration: Tallyra32.dll with the
# registration its own DllRegisterServer writes (harvested under Wine by
# registry-harvest, with the registry redirected: the prefix is not changed),
# its language modules Tallyra32.TAG.dll (the build's list,
# generated/languages/full.txt), tallyra-hash.exe and tallyra-user-language.exe
# (run once for every user by Active Setup: the module of the user's
# language); and the 32-bit Tallyra32.dll (build/win32) with its language
# modules for 32-bit programs, registered alike in the 32-bit registry view.
# Made with msitools' wixl (tools/package/make-msi.py, tools/package/Tallyra.wxs).
#   tools/package.sh [--prebuilt] [--version VERSION] [--output FILE.msi]
# --prebuilt: take the build as it is (no set-up, no build step).
# --version: the package's version (default: the project's, CMakeLists.txt).
# The harvest runs in the main command's Wine prefix, or $TALLYRA_WINEPREFIX.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${TALLYRA_BUILD_DIR:-$here/build}"
prebuilt="" version="" output=""
while [ $# -gt 0 ]; do
  case "$1" in
    --prebuilt) prebuilt=1; shift ;;
    --version) version=$2; shift 2 ;;
    --output) output=$2; shift 2 ;;
    *) echo "usage: tools/package.sh [--prebuilt] [--version VERSION] [--output FILE.msi]" >&2; exit 2 ;;
  esac
done
[ -n "$prebuilt" ] || "$here/tools/build.sh"
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=${version:-$(cache CMAKE_PROJECT_VERSION)}
publisher=$(cache TALLYRA_PUBLISHER)
output=${output:-$build/dist/Tallyra-$version.msi}
mkdir -p "$(dirname "$output")"
bin="$build/bin/full"
bin32="$build/win32/bin/full"
languages="$build/generated/languages/full.txt"
[ -f "$languages" ] || { echo "package: $languages is missing (tools/build.sh makes it)" >&2; exit 1; }
modules=$(cut -f3 "$languages" | grep .)
for file in "$bin/Tallyra32.dll" "$bin/tallyra-user-language.exe" "$bin32/Tallyra32.dll" \
  $(for module in $modules; do echo "$bin/$module" "$bin32/$module"; done); do
  [ -f "$file" ] || { echo "package: $file is missing (tools/build.sh makes it)" >&2; exit 1; }
done

. "$here/tools/wine-env.sh"
prefix=${TALLYRA_WINEPREFIX:-$(tallyra_wine_prefix main)}
# Drive Z: is the Unix root.
module="Z:$(echo "$bin/Tallyra32.dll" | tr / '\\')"
harvest=$(mktemp)
trap 'rm -f "$harvest"' EXIT
"$here/tools/wine-exec.sh" --prefix "$prefix" "$build/bin/registry-harvest.exe" "$module" > "$harvest"
python3 "$here/tools/package/make-msi.py" --version "$version" --publisher "$publisher" --bin "$bin" --bin32 "$bin32" \
  --harvest "$harvest" --languages "$languages" --module-path "$module" --output "$output"
echo "package: $output"
