#!/usr/bin/env bash
# One-time (and idempotent) machine set-up: Debian packages for the MinGW cross
# build and the Wine test runtime, then Crypto++'s sources from Debian's own
# source package. Everything it fetches lands in .deps/ (ignored by git).
#
# TALLYRA_CRYPTOPP_SOURCE_DIR=DIR: build Crypto++ from DIR instead (nothing is
# fetched); tools/build.sh passes it on to CMake.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/.deps"

# The list of Crypto++ units compiled (cmake/cryptopp.cmake) and the stand-ins
# for integer.cpp (cmake/cryptopp_integer_stubs.cpp) are made for this version:
# Debian 12's libcrypto++.
cryptopp_version=8.7.0+git220824
cryptopp_version_macro=870

# The other hash sources, each from a Debian package, pinned to Debian 12's
# versions (cmake/hash-libraries.cmake names their files): BLAKE3's C code
# from the blake3 crate's package, xxHash's header, zlib built for MinGW.
blake3_version=1.3.1
xxhash_version=0.8.1
zlib_mingw_version=1.2.13

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools cmake ninja-build
  wine wine64 xvfb xauth imagemagick googletest
  fonts-wqy-microhei rhash python3-pycryptodome php-cli bc dpkg-dev libwine-dev
  wixl msitools
  librust-blake3-dev libxxhash-dev libz-mingw-w64-dev b3sum xxhash python3-crcmod
)

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Runs a command quietly; on failure shows all it printed and stops.
quiet() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    echo "setup: failed: $*" >&2
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

apt_() { quiet sudo_ env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt_ update -q
  apt_ install -y -q --no-install-recommends "${missing[@]}"
fi

# The pinned hash sources: the package's upstream version and the version the
# sources themselves state must both be the pinned one.
upstream_version() {
  local version
  version=$(dpkg-query -W -f='${Version}' "$1" 2>/dev/null) || return 0
  version=${version#*:}
  echo "${version%%[-+]*}"
}
check_pinned() {
  local package=$1 wanted=$2 stated=$3 found
  found=$(upstream_version "$package")
  if [ "$found" != "$wanted" ] || [ "$stated" != "$wanted" ]; then
    echo "setup: $package is version ${found:-unknown} (its sources say ${stated:-nothing}), but the build" \
         "(cmake/hash-libraries.cmake) is made for $wanted" >&2
    exit 1
  fi
}
blake3_header=/usr/share/cargo/registry/blake3-$blake3_version/c/blake3.h
check_pinned librust-blake3-dev "$blake3_version" \
  "$(sed -n 's/^#define BLAKE3_VERSION_STRING "\(.*\)"/\1/p' "$blake3_header" 2>/dev/null)"
check_pinned libxxhash-dev "$xxhash_version" \
  "$(awk '/^#define XXH_VERSION_(MAJOR|MINOR|RELEASE) / { v = v (v == "" ? "" : ".") $3 } END { print v }' \
      /usr/include/xxhash.h 2>/dev/null)"
check_pinned libz-mingw-w64-dev "$zlib_mingw_version" \
  "$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' /usr/x86_64-w64-mingw32/include/zlib.h 2>/dev/null)"

# The version of the Crypto++ sources in a folder, from its config_ver.h
# (CRYPTOPP_VERSION, e.g. 870), or nothing.
cryptopp_macro() {
  sed -n 's/^#define CRYPTOPP_VERSION \([0-9][0-9]*\).*/\1/p' "$1/config_ver.h" 2>/dev/null | head -n1
}

if [ -n "${TALLYRA_CRYPTOPP_SOURCE_DIR:-}" ]; then
  cryptopp_src=$(realpath -m "$TALLYRA_CRYPTOPP_SOURCE_DIR")
  if [ ! -f "$cryptopp_src/cryptlib.h" ]; then
    echo "setup: TALLYRA_CRYPTOPP_SOURCE_DIR=$TALLYRA_CRYPTOPP_SOURCE_DIR holds no Crypto++ sources (no cryptlib.h)" >&2
    exit 1
  fi
  found=$(cryptopp_macro "$cryptopp_src")
  if [ "$found" != "$cryptopp_version_macro" ]; then
    echo "setup: warning: Crypto++ in $cryptopp_src is version ${found:-unknown}, the build is made for" \
         "$cryptopp_version (CRYPTOPP_VERSION $cryptopp_version_macro); cmake/cryptopp.cmake may need other units" >&2
  fi
  echo "setup: ready (Crypto++ sources in $cryptopp_src, given)"
  exit 0
fi

# Crypto++ sources: Debian's libcrypto++ source package, unpacked once. The
# name of the tarball it came from is kept beside them and checked each time.
cryptopp_src="$deps/cryptopp-src"
stamp="$cryptopp_src/.tallyra-source"
wanted="libcrypto++_$cryptopp_version.orig.tar."
cryptopp_ready() {
  [ -f "$cryptopp_src/cryptlib.h" ] && [ -f "$stamp" ] &&
    case "$(cat "$stamp")" in "$wanted"*) true ;; *) false ;; esac &&
    [ "$(cryptopp_macro "$cryptopp_src")" = "$cryptopp_version_macro" ]
}
wrong_version() {
  echo "setup: $1, but the Crypto++ build of this project (cmake/cryptopp.cmake," \
       "cmake/cryptopp_integer_stubs.cpp) is made for $cryptopp_version (CRYPTOPP_VERSION $cryptopp_version_macro)." \
       "Set TALLYRA_CRYPTOPP_SOURCE_DIR to a folder of Crypto++ $cryptopp_version sources to build from them." >&2
  exit 1
}

# deb-src entries for the entries of this Debian release (codename, -updates,
# -security) in the machine's apt sources.
source_entries() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    case "$f" in *tallyra-src.sources) continue ;; esac
    awk -v RS= -v ORS='\n\n' -v c="$codename" '
      /(^|\n)Types:[^\n]*deb/ {
        ok = 0
        if (match($0, /(^|\n)Suites:[^\n]*/)) {
          n = split(substr($0, RSTART, RLENGTH), s, /[ \t\n]+/)
          for (i = 1; i <= n; i++) if (s[i] == c || s[i] ~ ("^" c "-(updates|security)$")) ok = 1
        }
        if (ok) { sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }
      }' "$f"
  done
}
source_list_entries() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -f /etc/apt/sources.list ] || return 0
  awk -v c="$codename" '$1 == "deb" {
      suite = ($2 ~ /^\[/) ? $4 : $3
      if (suite == c || suite ~ ("^" c "-(updates|security)$")) { $1 = "deb-src"; print }
    }' /etc/apt/sources.list
}

if ! cryptopp_ready; then
  mkdir -p "$deps"
  tmp="$deps/cryptopp-download"
  rm -rf "$tmp" && mkdir -p "$tmp"
  if ! (cd "$tmp" && apt-get source --download-only libcrypto++ >/dev/null 2>&1); then
    # No deb-src entry yet: mirror the machine's own deb entries as deb-src.
    echo "setup: enabling source packages"
    source_entries | sudo_ tee /etc/apt/sources.list.d/tallyra-src.sources >/dev/null
    entries=$(source_list_entries)
    if [ -n "$entries" ]; then
      echo "$entries" | sudo_ tee /etc/apt/sources.list.d/tallyra-src.list >/dev/null
    fi
    apt_ update -q
    (cd "$tmp" && quiet apt-get source --download-only libcrypto++)
  fi
  orig=$(cd "$tmp" && ls libcrypto++_*.orig.tar.* 2>/dev/null | head -n1)
  [ -n "$orig" ] || { echo "setup: apt-get source libcrypto++ fetched no orig tarball" >&2; exit 1; }
  case "$orig" in
    "$wanted"*) ;;
    *) found=${orig#libcrypto++_}; wrong_version "Debian's libcrypto++ source is ${found%.orig.tar.*}" ;;
  esac
  # The sources may sit in a top folder: unpack them without it.
  header=$(tar -tf "$tmp/$orig" | grep -m1 -E '(^|/)cryptlib\.h$' || true)
  [ -n "$header" ] || { echo "setup: no cryptlib.h in $orig" >&2; exit 1; }
  depth=$(printf '%s' "${header#./}" | tr -cd / | wc -c)
  mkdir "$tmp/src"
  tar -xf "$tmp/$orig" -C "$tmp/src" --strip-components="$depth"
  found=$(cryptopp_macro "$tmp/src")
  [ "$found" = "$cryptopp_version_macro" ] || wrong_version "$orig holds CRYPTOPP_VERSION ${found:-unknown}"
  echo "$orig" > "$tmp/src/.tallyra-source"
  rm -rf "$cryptopp_src" && mv "$tmp/src" "$cryptopp_src"
  rm -rf "$tmp"
fi
echo "setup: ready (Crypto++ sources in $cryptopp_src)"
