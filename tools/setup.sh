#!/usr/bin/env bash
# One-time (and idempotent) machine set-up: Debian packages for the MinGW cross
# build and the Wine test runtime, then Crypto++'s sources from Debian's own
# source package. Everything it fetches lands in .deps/ (ignored by git).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/.deps"
mkdir -p "$deps"

packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build
  wine wine64 xvfb xauth imagemagick googletest
  fonts-wqy-microhei rhash python3-pycryptodome bc dpkg-dev libwine-dev
)

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi


# Crypto++ sources: Debian's libcrypto++ source package, unpacked once.
cryptopp_src="$deps/cryptopp-src"
if [ ! -f "$cryptopp_src/cryptlib.h" ]; then
  tmp="$deps/cryptopp-download"
  rm -rf "$tmp" && mkdir -p "$tmp"
  if ! (cd "$tmp" && apt-get source --download-only libcrypto++ >/dev/null 2>&1); then
    # No deb-src entry yet: mirror the machine's own deb entries as deb-src.
    echo "setup: enabling source packages"
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] || continue
      case "$f" in *tallyra-src.sources) continue ;; esac
      sed -n '/^Types:/!p; /^Types:/s/.*/Types: deb-src/p' "$f"
      echo
    done | sudo_ tee /etc/apt/sources.list.d/tallyra-src.sources >/dev/null
    if [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list | sudo_ tee /etc/apt/sources.list.d/tallyra-src.list >/dev/null
    fi
    sudo_ apt-get update -qq
    (cd "$tmp" && apt-get source --download-only libcrypto++ >/dev/null)
  fi
  orig=$(ls "$tmp"/libcrypto++_*.orig.tar.* | head -n1)
  rm -rf "$cryptopp_src" && mkdir -p "$cryptopp_src"
  tar -xf "$orig" -C "$cryptopp_src" --strip-components=1 2>/dev/null || tar -xf "$orig" -C "$cryptopp_src"
  # Some tarballs have no top folder; find the one holding cryptlib.h.
  if [ ! -f "$cryptopp_src/cryptlib.h" ]; then
    inner=$(dirname "$(find "$cryptopp_src" -name cryptlib.h | head -n1)")
    mv "$inner"/* "$cryptopp_src"/
  fi
  rm -rf "$tmp"
fi
echo "setup: ready (Crypto++ sources in $cryptopp_src)"
