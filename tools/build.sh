#!/usr/bin/env bash
# Set-up (once) and an incremental build of everything into build/ (or
# $TALLYRA_BUILD_DIR): the 64-bit build there, the 32-bit one in its win32/.
# Crypto++ is built from .deps/cryptopp-src, or from
# $TALLYRA_CRYPTOPP_SOURCE_DIR when it is set (see tools/setup.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh"
build="${TALLYRA_BUILD_DIR:-$here/build}"
cryptopp_src=$(realpath -m "${TALLYRA_CRYPTOPP_SOURCE_DIR:-$here/.deps/cryptopp-src}")
# configure FOLDER TOOLCHAIN [CMAKE OPTIONS...]: once, or again when the
# Crypto++ folder changed.
configure() {
  local folder=$1 toolchain=$2 configured
  shift 2
  configured=$(sed -n 's/^TALLYRA_CRYPTOPP_SOURCE_DIR:PATH=//p' "$folder/CMakeCache.txt" 2>/dev/null || true)
  if [ ! -f "$folder/build.ninja" ] || [ "$configured" != "$cryptopp_src" ]; then
    cmake -S "$here" -B "$folder" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release \
      -DTALLYRA_CRYPTOPP_SOURCE_DIR="$cryptopp_src" "$@" >/dev/null
  fi
}
configure "$build" mingw-w64-x86_64
cmake --build "$build" "$@"
# The modules for 32-bit programs (and their tallyra-hash), in win32/ of the
# build folder: the same sources, without the tests (which need a 32-bit
# Wine). Only a whole build makes them; a build of named targets does not.
case " $* " in
  *" --target "* | *" -t "*) ;;
  *)
    configure "$build/win32" mingw-w64-i686 -DTALLYRA_BUILD_TESTS=OFF
    cmake --build "$build/win32" "$@"
    ;;
esac
