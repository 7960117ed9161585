#!/usr/bin/env bash
# Benchmark: builds what it needs, makes a file of random bytes (256 MiB by
# default) kept in the page cache, and prints markdown tables measured side by
# side in one run. Not a test: nothing here passes or fails.
#   bench/run.sh [SIZE_MIB] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
size_mib=${1:-256}
runs=${2:-5}
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
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); SHA-NI: $(feature sha_ni); AVX2: $(feature avx2); SSE4.2: $(feature sse4_2)"
echo
wine "$build/bin/hash-bench.exe" "$file" "$runs" | tr -d '\r'

# tallyra-hash under Wine against RHash (native), one pass over the same file
# with the nine algorithms both have; the Wine start-up is part of our time.
echo
echo "tallyra-hash (Wine) against rhash (native), $runs runs, seconds as median [min-max]:"
echo
ours=(); theirs=()
for _ in $(seq "$runs"); do
  start=$(date +%s.%N)
  wine "$build/bin/full/tallyra-hash.exe" --quiet --algo CRC32 --algo MD4 --algo MD5 --algo SHA-1 --algo SHA-256 \
    --algo SHA-384 --algo SHA-512 --algo Tiger --algo Whirlpool "$file" >/dev/null
  ours+=("$(echo "$(date +%s.%N) - $start" | bc -l)")
  start=$(date +%s.%N)
  rhash --crc32 --md4 --md5 --sha1 --sha256 --sha384 --sha512 --tiger --whirlpool "$file" >/dev/null
  theirs+=("$(echo "$(date +%s.%N) - $start" | bc -l)")
done
stats() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.2f [%.2f-%.2f]", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "| tool | seconds | MB/s (median) |"
echo "|---|---|---|"
mb=$(echo "$size_mib * 1.048576" | bc -l)
printf '| tallyra-hash | %s | %.0f |\n' "$(stats "${ours[@]}")" "$(echo "$mb / $(median "${ours[@]}")" | bc -l)"
printf '| rhash | %s | %.0f |\n' "$(stats "${theirs[@]}")" "$(echo "$mb / $(median "${theirs[@]}")" | bc -l)"
printf '\nratio tallyra-hash / rhash (median times): %.3f\n' "$(echo "$(median "${ours[@]}") / $(median "${theirs[@]}")" | bc -l)"
