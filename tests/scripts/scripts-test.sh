#!/usr/bin/env bash
# The set-up and Wine scripts on their own, with stand-ins for wine, wineboot,
# wineserver, apt-get and dpkg-query that log their calls: the locale Wine is
# given, which prefix each script runs in, that a prefix is made once (fonts
# linked; the tests' one marked), and the Crypto++ source checks of setup.sh
# and its checks of the other pinned hash sources' packages.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # expect NAME GOT WANT
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: got '$2', want '$3'"
    failures=$((failures + 1))
  fi
}
expect_match() {  # expect_match NAME TEXT PATTERN
  case "$2" in *$3*) ;; *) echo "FAIL $1: '$3' not in: $2"; failures=$((failures + 1)) ;; esac
}
calls() { grep -c -- "$1" "$log" || true; }  # calls PATTERN: how many logged calls match

log="$work/calls.log"
: > "$log"
stubs="$work/bin"
mkdir -p "$stubs"
stub() {  # stub NAME BODY: a command that logs "NAME WINEPREFIX ARGS" and then runs BODY
  printf '#!/usr/bin/env bash\necho "%s ${WINEPREFIX:-} $*" >> "%s"\n%s\n' "$1" "$log" "$2" > "$stubs/$1"
  chmod +x "$stubs/$1"
}
stub wine 'printf "prefix=%s lc_all=%s args=%s\n" "$WINEPREFIX" "${LC_ALL-unset}" "$*"'
stub wineboot '[ -z "${STUB_FAIL_BOOT:-}" ] || exit 1; mkdir -p "$WINEPREFIX/drive_c"'
stub wineserver ':'
# The caller's locale left out: each case gives its own.
run() { env -u LANG -u LC_CTYPE -u LC_ALL -u DEBIAN_FRONTEND PATH="$stubs:$PATH" TALLYRA_BUILD_DIR="$work/build" "$@"; }

# --- The locale Wine runs in: the caller's when it is UTF-8, else C.UTF-8.
while IFS='|' read -r given want; do
  # shellcheck disable=SC2086
  got=$(env -i PATH="$PATH" $given bash -c '. "$1"; echo "${LC_ALL-unset} $(locale charmap)"' _ \
    "$root/tools/wine-env.sh" 2>/dev/null)
  expect "locale [$given]" "$got" "$want"
done <<'EOF'
|C.UTF-8 UTF-8
LANG=C|C.UTF-8 UTF-8
LC_ALL=POSIX LANG=C.UTF-8|C.UTF-8 UTF-8
LANG=xx_XX.UTF-8|C.UTF-8 UTF-8
LANG=C.UTF-8|unset UTF-8
LC_CTYPE=C.UTF-8 LANG=C|unset UTF-8
LC_ALL=C.utf8|C.utf8 UTF-8
EOF

# --- wine-exec.sh: which prefix. The tests' by default; a caller's WINEPREFIX is not taken.
tests_prefix="$work/build/wineprefix-tests"
main_prefix="$work/build/wineprefix"
reduced_prefix="$work/build/wineprefix-reduced"
mkdir -p "$work/cwd"
while IFS='|' read -r given arguments want; do
  # shellcheck disable=SC2086
  got=$(cd "$work/cwd" && run $given "$root/tools/wine-exec.sh" $arguments prog.exe a b)
  expect "wine-exec prefix [$given|$arguments]" "$got" "prefix=$want lc_all=C.UTF-8 args=prog.exe a b"
done <<EOF
LC_ALL=C||$tests_prefix
WINEPREFIX=$work/elsewhere||$tests_prefix
LANG=C|--prefix $work/p1|$work/p1
|--prefix rel|$work/cwd/rel
TALLYRA_WINEPREFIX=$work/p2||$work/p2
TALLYRA_WINEPREFIX=$work/p2|--prefix $work/p1|$work/p1
TALLYRA_WINEPREFIX=$main_prefix||$main_prefix
|--prefix $reduced_prefix|$reduced_prefix
EOF

# --- A prefix is made once, fonts linked, and only the tests' one carries the mark.
mark=drive_c/tallyra-tests-prefix.txt
for prefix in "$tests_prefix" "$work/p1" "$work/cwd/rel" "$work/p2" "$main_prefix" "$reduced_prefix"; do
  expect "made once: $prefix" "$(calls "^wineboot $prefix --init")" 1
  expect "fonts linked: $prefix" "$(calls "^wine $prefix reg add .*FontLink.SystemLink")" 6
  expect "fonts substituted: $prefix" "$(calls "^wine $prefix reg add .*FontSubstitutes")" 10
  [ -f "$prefix/.tallyra-ready" ] || expect "ready: $prefix" missing present
done
[ -f "$tests_prefix/$mark" ] || expect "tests' prefix marked" no yes
[ ! -e "$main_prefix/$mark" ] || expect "main prefix not marked" yes no
[ ! -e "$reduced_prefix/$mark" ] || expect "reduced prefix not marked" yes no

# Started side by side on a new prefix: made once.
run "$root/tools/wine-exec.sh" --prefix "$work/p3" x.exe > /dev/null &
run "$root/tools/wine-exec.sh" --prefix "$work/p3" y.exe > /dev/null
wait
expect "made once side by side" "$(calls "^wineboot $work/p3 --init")" 1

# A failed wineboot: the command fails, the prefix is not taken as made, a later run makes it.
out=$(run STUB_FAIL_BOOT=1 "$root/tools/wine-exec.sh" --prefix "$work/p4" x.exe 2>&1)
expect "failed wineboot: status" "$?" 1
expect_match "failed wineboot: message" "$out" "could not make the prefix"
[ ! -e "$work/p4/.tallyra-ready" ] || expect "failed wineboot: not ready" ready "not ready"
run "$root/tools/wine-exec.sh" --prefix "$work/p4" x.exe > /dev/null
expect "failed wineboot: made later" "$(calls "^wineboot $work/p4 --init")" 2

# A prefix made before the language modules' fonts were substituted gets them once, and is not made again.
rm "$work/p4/.tallyra-fonts-2"
run "$root/tools/wine-exec.sh" --prefix "$work/p4" x.exe > /dev/null
run "$root/tools/wine-exec.sh" --prefix "$work/p4" x.exe > /dev/null
expect "older prefix: fonts substituted once more" "$(calls "^wine $work/p4 reg add .*FontSubstitutes")" 20
expect "older prefix: not made again" "$(calls "^wineboot $work/p4 --init")" 2

# --- wine-session.sh: main by default, the tests' on request; its server is ended in that prefix.
while IFS='|' read -r role want; do
  got=$(run DISPLAY=:stub bash -c '. "$1"; wine_session_start $2; echo "$WINEPREFIX"; wine_session_stop' _ \
    "$root/tools/wine-session.sh" "$role")
  expect "session [$role]" "$got" "$want"
  expect "session [$role] ended" "$(calls "^wineserver $want -k")" 1
  : > "$log"
done <<EOF
|$main_prefix
main|$main_prefix
reduced|$reduced_prefix
tests|$tests_prefix
EOF

# --- setup.sh in a copy of the tree, with stand-ins for dpkg-query and apt-get.
tree="$work/tree"
mkdir -p "$tree/tools"
cp "$root/tools/setup.sh" "$tree/tools/"
# dpkg-query: the status of every package, or the version of the pinned hash
# sources' packages (Debian 12's, the one of BLAKE3's $STUB_BLAKE3_VERSION).
stub dpkg-query 'package=${@: -1}
case "$2" in
  *Version*)
    case "$package" in
      librust-blake3-dev) echo "${STUB_BLAKE3_VERSION:-1.3.1-1}" ;;
      libxxhash-dev) echo 0.8.1-1 ;;
      libz-mingw-w64-dev) echo 1.2.13+dfsg-1 ;;
    esac ;;
  *) case " ${STUB_MISSING:-} " in *" $package "*) echo "deinstall ok config-files" ;; *) echo "install ok installed" ;; esac ;;
esac'
stub sudo 'exec "$@"'
# apt-get source: an orig tarball of version $STUB_VERSION whose config_ver.h says $STUB_MACRO.
stub apt-get 'echo "apt-get frontend=${DEBIAN_FRONTEND:-none} $*" >> "'"$log"'"
case "$1" in
  install) [ -z "${STUB_APT_ERROR:-}" ] || { echo "$STUB_APT_ERROR" >&2; exit 100; } ;;
  source)
    d=$(mktemp -d); mkdir "$d/cryptopp"; touch "$d/cryptopp/cryptlib.h"
    echo "#define CRYPTOPP_VERSION $STUB_MACRO" > "$d/cryptopp/config_ver.h"
    tar -czf "libcrypto++_$STUB_VERSION.orig.tar.gz" -C "$d" cryptopp; rm -rf "$d" ;;
esac'
setup() { out=$(run STUB_VERSION=8.7.0+git220824 STUB_MACRO=870 "$@" "$tree/tools/setup.sh" 2>&1); status=$?; }
src="$tree/.deps/cryptopp-src"

setup
expect "setup fresh: status" "$status" 0
expect "setup fresh: fetched" "$(calls '^apt-get frontend=.* source --download-only libcrypto++')" 1
[ -f "$src/cryptlib.h" ] || expect "setup fresh: unpacked" no yes
expect "setup fresh: stamp" "$(cat "$src/.tallyra-source" 2>/dev/null)" "libcrypto++_8.7.0+git220824.orig.tar.gz"
setup
expect "setup warm: status" "$status" 0
expect "setup warm: nothing fetched again" "$(calls '^apt-get frontend=.* source')" 1
rm "$src/.tallyra-source"  # unpacked by an older set-up: fetched again and checked
setup
expect "setup unstamped: fetched again" "$(calls '^apt-get frontend=.* source')" 2
expect "setup unstamped: stamp" "$(cat "$src/.tallyra-source" 2>/dev/null)" "libcrypto++_8.7.0+git220824.orig.tar.gz"

setup_case() {  # setup_case GIVEN STATUS TEXT
  # shellcheck disable=SC2086
  setup $1
  expect "setup [$1]: status" "$status" "$2"
  expect_match "setup [$1]: message" "$out" "$3"
}
rm -rf "$tree/.deps"
setup_case STUB_VERSION=8.9.0 1 "libcrypto++ source is 8.9.0, but"
setup_case STUB_MACRO=890 1 "holds CRYPTOPP_VERSION 890"
[ ! -e "$src/cryptlib.h" ] || expect "setup: a wrong version is not unpacked" unpacked "not unpacked"
setup_case TALLYRA_CRYPTOPP_SOURCE_DIR="$work/no-sources" 1 "holds no Crypto++ sources"
setup_case "STUB_MISSING=rhash STUB_APT_ERROR=E:_boom" 1 "E:_boom"
setup_case STUB_MISSING=rhash 0 "setup: installing rhash"
setup_case STUB_BLAKE3_VERSION=1.4.0-1 1 "librust-blake3-dev is version 1.4.0 (its sources say 1.3.1), but"
installs=$(grep -E '^apt-get frontend=[^ ]* (update|install)' "$log")
expect "setup: apt installs non-interactive" "$(grep -c . <<<"$installs")" 4
expect "setup: apt installs non-interactive" "$(grep -vc 'frontend=noninteractive' <<<"$installs")" 0

# A source folder of one's own: taken as it is (nothing fetched), a version of another kind warned about.
mkdir -p "$work/own"
touch "$work/own/cryptlib.h"
for macro in 870 890; do
  echo "#define CRYPTOPP_VERSION $macro" > "$work/own/config_ver.h"
  fetched=$(calls '^apt-get frontend=.* source')
  setup TALLYRA_CRYPTOPP_SOURCE_DIR="$work/own"
  expect "own sources $macro: status" "$status" 0
  expect_match "own sources $macro: taken" "$out" "Crypto++ sources in $work/own, given"
  expect "own sources $macro: nothing fetched" "$(calls '^apt-get frontend=.* source')" "$fetched"
done
expect_match "own sources of another version: warned" "$out" "version 890, the build is made for 8.7.0+git220824"

echo "scripts: $failures failures"
[ "$failures" -eq 0 ]
