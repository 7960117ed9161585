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
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) processors; SHA-NI: $(feature sha_ni); AVX2: $(feature avx2); AVX-512: $(feature avx512f); SSE4.2: $(feature sse4_2)"
echo "$(rhash --version); $(b3sum --version); $(xxhsum --version 2>&1 | head -n1 | cut -d" " -f1-2); $(wine --version); load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
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
rate() { echo "$mb / $(median "$@")" | bc -l; }

# BLAKE3 and XXH3 over the file's bytes in memory on one core (hash-bench
# under Wine times only the hashing) against b3sum with one thread and
# xxhsum -H3 over the file in the page cache, side by side in every run.
ours_blake3=() ours_xxh3=() b3sum_times=() xxhsum_times=()
for _ in $(seq "$runs"); do
  while IFS=$'\t' read -r name seconds; do
    case $name in
      BLAKE3) ours_blake3+=("$seconds") ;;
      XXH3) ours_xxh3+=("$seconds") ;;
    esac
  done < <(wine "$build/bin/hash-bench.exe" --in-memory "$file" BLAKE3 XXH3 | tr -d '\r')
  b3sum_times+=("$(seconds_of b3sum --num-threads 1 "$file")")
  xxhsum_times+=("$(seconds_of xxhsum -H3 "$file")")
done
echo
echo "BLAKE3 and XXH3 on one core, ours in memory against the reference tools on the file in the page cache, $runs runs:"
echo
echo "| algorithm | ours MB/s | reference | its MB/s | ours / reference (speed; goal: at least 0.8) |"
echo "|---|---|---|---|---|"
printf '| BLAKE3 | %.0f | b3sum --num-threads 1 | %.0f | %.3f |\n' "$(rate "${ours_blake3[@]}")" \
  "$(rate "${b3sum_times[@]}")" "$(echo "$(median "${b3sum_times[@]}") / $(median "${ours_blake3[@]}")" | bc -l)"
printf '| XXH3 | %.0f | xxhsum -H3 | %.0f | %.3f |\n' "$(rate "${ours_xxh3[@]}")" \
  "$(rate "${xxhsum_times[@]}")" "$(echo "$(median "${xxhsum_times[@]}") / $(median "${ours_xxh3[@]}")" | bc -l)"

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
