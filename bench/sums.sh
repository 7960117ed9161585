#!/usr/bin/env bash
# Benchmark of many files: tallyra-hash -r (under Wine) against sha256sum and
# rhash -r (native) on folders kept in the page cache, and what part of our
# time is Wine's: its start-up (--help) and its cost per file (the same names,
# every file empty). Median of RUNS runs [fastest-slowest], in seconds. Not a
# test: nothing here passes or fails.
#   bench/sums.sh [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
"$here/tools/build.sh" --target tallyra-hash-full >/dev/null
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start main
build="${TALLYRA_BUILD_DIR:-$here/build}"
tool="$build/bin/full/tallyra-hash.exe"
work="$build/bench-sums"

# make FOLDER COUNT BYTES: COUNT files of BYTES random bytes (0: empty), once.
make() {
  local folder=$work/$1 count=$2 bytes=$3
  if [ "$(find "$folder" -type f 2>/dev/null | wc -l)" != "$count" ]; then
    rm -rf "$folder"
    mkdir -p "$folder"
    /usr/bin/python3 -c '
import os, sys
folder, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(count):
    with open(os.path.join(folder, "f%05d.bin" % i), "wb") as f:
        f.write(os.urandom(size))' "$folder" "$count" "$bytes"
  fi
  cat "$folder"/* > /dev/null  # into the page cache
}
make big 10 $((64 * 1024 * 1024))
make small 10000 4096
make empty 10000 0

seconds_of() { local start; start=$(date +%s.%N); "$@" >/dev/null; echo "$(date +%s.%N) - $start" | bc -l; }
stats() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.2f [%.2f-%.2f]", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# measure NAME COMMAND...: the runs' times in the array named NAME.
measure() {
  local -n times=$1
  shift
  times=()
  for _ in $(seq "$runs"); do times+=("$(seconds_of "$@")"); done
}

cd "$work"
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) processors;" \
  "$(sha256sum --version | head -1); $(rhash --version); $(wine --version); load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
measure ours_big wine "$tool" -r --format gnu --algo SHA-256 big
measure theirs_big sha256sum big/*
echo "10 files of 64 MiB, SHA-256, one checksum file:"
echo
echo "| command | seconds | ratio to sha256sum |"
echo "|---|---|---|"
echo "| \`tallyra-hash -r --format gnu --algo SHA-256\` | $(stats "${ours_big[@]}") | $(echo "$(median "${ours_big[@]}") / $(median "${theirs_big[@]}")" | bc -l | xargs printf '%.2f') |"
echo "| \`sha256sum\` | $(stats "${theirs_big[@]}") | 1.00 |"
echo

measure ours_small wine "$tool" -r --format gnu --algo SHA-256 small
measure theirs_small sha256sum small/*
measure rhash_small rhash -r --sha256 small
measure empty_small wine "$tool" -r --format gnu --algo SHA-256 empty
measure start wine "$tool" --help
per_file() { echo "($(median "$@") - $(median "${start[@]}")) / 10000 * 1000000" | bc -l | xargs printf '%.0f'; }
echo "10,000 files of 4 KiB, SHA-256, one checksum file:"
echo
echo "| command | seconds | per file (µs, without start-up) |"
echo "|---|---|---|"
echo "| \`tallyra-hash -r --format gnu --algo SHA-256\` | $(stats "${ours_small[@]}") | $(per_file "${ours_small[@]}") |"
echo "| the same over 10,000 empty files (Wine's cost per file) | $(stats "${empty_small[@]}") | $(per_file "${empty_small[@]}") |"
echo "| \`tallyra-hash --help\` (Wine's start-up) | $(stats "${start[@]}") | |"
echo "| \`sha256sum\` | $(stats "${theirs_small[@]}") | |"
echo "| \`rhash -r --sha256\` | $(stats "${rhash_small[@]}") | |"
