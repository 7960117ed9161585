#!/usr/bin/env bash
# Benchmark: builds what it needs, makes a file of random bytes (256 MiB by
# default) kept in the page cache, and prints markdown tables measured side by
# side in one run. Not a test: nothing here passes or fails.
#   bench/run.sh [SIZE_MIB] [RUNS] [PROCESSORS...]
# PROCESSORS: the lane configurations set against one lane (default 2 3 4).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
size_mib=${1:-256}
runs=${2:-5}
configurations=("${@:3}")
"$here/tools/build.sh" --target hash-bench tallyra-hash-full >/dev/null
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start main
build="${TALLYRA_BUILD_DIR:-$here/build}"
file="$build/bench-${size_mib}MiB.bin"
[ -f "$file" ] || head -c "$((size_mib * 1024 * 1024))" /dev/urandom > "$file"
cat "$file" > /dev/null  # into the page cache

flags=$(grep -m1 '^flags' /proc/cpuinfo)
feature() { case " $flags " in *" $1 "*) echo yes ;; *) echo no ;; esac; }
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) processors; SHA-NI: $(feature sha_ni); AVX2: $(feature avx2); SSE4.2: $(feature sse4_2)"
echo "$(rhash --version); $(wine --version); load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
wine "$build/bin/hash-bench.exe" "$file" "$runs" "${configurations[@]}" | tr -d '\r'

nine_ours=(--algo CRC32 --algo MD4 --algo MD5 --algo SHA-1 --algo SHA-256 --algo SHA-384 --algo SHA-512 --algo Tiger
  --algo Whirlpool)
nine_theirs=(--crc32 --md4 --md5 --sha1 --sha256 --sha384 --sha512 --tiger --whirlpool)
# Drops the file's pages from the page cache (posix_fadvise DONTNEED through
# dd; pages just read may need a second go): the next read comes from the
# disk, or from whatever caches the disk below this machine. Only this file's
# pages: the other builds on the machine keep theirs.
resident() { fincore --bytes --noheadings --output RES "$file" 2>/dev/null | tr -d ' ' || echo unknown; }
evict() {
  for _ in 1 2 3; do
    dd if="$file" iflag=nocache count=0 status=none
    [ "$(resident)" != 0 ] || return 0
    sleep 0.2
  done
}
seconds_of() { local start; start=$(date +%s.%N); "$@" >/dev/null; echo "$(date +%s.%N) - $start" | bc -l; }
stats() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.2f [%.2f-%.2f]", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mb=$(echo "$size_mib * 1.048576" | bc -l)

# tallyra-hash under Wine against RHash (native), one pass over the same file
# with the nine algorithms both have; the Wine start-up is part of our time.
compare() {  # compare TITLE cold|warm
  local ours=() theirs=() evicted=()
  for _ in $(seq "$runs"); do
    [ "$2" = warm ] || { evict; evicted+=("$(resident)"); }
    ours+=("$(seconds_of wine "$build/bin/full/tallyra-hash.exe" --quiet "${nine_ours[@]}" "$file")")
    [ "$2" = warm ] || { evict; evicted+=("$(resident)"); }
    theirs+=("$(seconds_of rhash "${nine_theirs[@]}" "$file")")
  done
  echo
  echo "$1, $runs runs, seconds as median [min-max]:"
  [ "$2" = warm ] || echo "(bytes of the file still in the page cache after each eviction: ${evicted[*]})"
  echo
  echo "| tool | seconds | MB/s (median) |"
  echo "|---|---|---|"
  printf '| tallyra-hash | %s | %.0f |\n' "$(stats "${ours[@]}")" "$(echo "$mb / $(median "${ours[@]}")" | bc -l)"
  printf '| rhash | %s | %.0f |\n' "$(stats "${theirs[@]}")" "$(echo "$mb / $(median "${theirs[@]}")" | bc -l)"
  printf '\nratio tallyra-hash / rhash (median times%s): %.3f\n' \
    "$([ "$2" = warm ] && echo '; goal: at most 0.6')" "$(echo "$(median "${ours[@]}") / $(median "${theirs[@]}")" | bc -l)"
}
compare "tallyra-hash (Wine) against rhash (native), the nine algorithms, file in the page cache" warm
compare "The same with a cold cache: the file's pages dropped before every run" cold
echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
