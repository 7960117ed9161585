#!/usr/bin/env bash
# Set-up (once) and an incremental build of everything into build/
# (or $TALLYRA_BUILD_DIR). Crypto++ is built from .deps/cryptopp-src, or from
# $TALLYRA_CRYPTOPP_SOURCE_DIR when it is set (see tools/setup.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh"
build="${TALLYRA_BUILD_DIR:-$here/build}"
cryptopp_src=$(realpath -m "${TALLYRA_CRYPTOPP_SOURCE_DIR:-$here/.deps/cryptopp-src}")
configured=$(sed -n 's/^TALLYRA_CRYPTOPP_SOURCE_DIR:PATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
if [ ! -f "$build/build.ninja" ] || [ "$configured" != "$cryptopp_src" ]; then
  cmake -S "$here" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DTALLYRA_CRYPTOPP_SOURCE_DIR="$cryptopp_src" >/dev/null
fi
cmake --build "$build" "$@"
