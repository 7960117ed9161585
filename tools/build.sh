#!/usr/bin/env bash
# Set-up (once) and an incremental build of everything into build/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh"
build="${TALLYRA_BUILD_DIR:-$here/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DTALLYRA_CRYPTOPP_SOURCE_DIR="$here/.deps/cryptopp-src" >/dev/null
fi
cmake --build "$build" "$@"
