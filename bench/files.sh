#!/usr/bin/env bash
# Benchmark of the files pages on many rows, under Wine: FileListJob over a
# folder of COUNT small files (three algorithms, then all), SumCheckJob over
# checksum files of LINES lines (files missing, lines not understood, some
# very long names), and the page in a property sheet over the same folder
# (how long its thread takes to answer while the job runs). Prints markdown
# tables; not a test: nothing here passes or fails.
#   bench/files.sh [COUNT] [LINES]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-100000}
lines=${2:-1000000}
"$here/tools/build.sh" --target files-bench >/dev/null
. "$here/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start main
build="${TALLYRA_BUILD_DIR:-$here/build}"
work="$build/bench-files"
folder="$work/many-$count"
sums="$work/sums-$lines"

# The files and checksum files, made once on this side.
if [ "$(find "$folder" -type f 2>/dev/null | wc -l)" != "$count" ]; then
  rm -rf "$folder"
  mkdir -p "$folder"
  /usr/bin/python3 -c '
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    with open(os.path.join(folder, "file%06d.bin" % i), "wb") as f:
        f.write(os.urandom(100 + i % 300))' "$folder" "$count"
fi
if [ ! -f "$sums/done" ]; then
  rm -rf "$sums"
  mkdir -p "$sums"
  /usr/bin/python3 -c '
import sys
folder, lines = sys.argv[1], int(sys.argv[2])
digest = "0123456789abcdef" * 4
with open(folder + "/missing.sha256", "w") as f:
    for i in range(lines):
        f.write("%s  missing/file%07d.bin\n" % (digest, i))
with open(folder + "/not-understood.sha256", "w") as f:
    for i in range(lines):
        f.write("line %d is no checksum line\n" % i)
# Every thousandth name 100,000 characters long.
with open(folder + "/long-names.sha256", "w") as f:
    for i in range(lines):
        name = ("n" * 100000 if i % 1000 == 0 else "file") + "%07d.bin" % i
        f.write("%s  %s\n" % (digest, name))' "$sums" "$lines"
  touch "$sums/done"
fi
find "$folder" -type f -exec cat {} + > /dev/null  # into the page cache

bench() { wine "$build/bin/files-bench.exe" "$@" | tr -d '\r'; }
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) processors; $(wine --version);" \
  "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "FileListJob over one folder of $count files of 100-399 bytes:"
echo
bench jobs "Z:$folder"
echo
echo "SumCheckJob over checksum files of $lines lines (missing: every file missing; long-names: every thousandth name 100,000 characters):"
echo
bench sums "Z:$sums/missing.sha256" "Z:$sums/not-understood.sha256" "Z:$sums/long-names.sha256"
echo
echo "The page in a property sheet over the same folder, every algorithm enabled; the page's thread sent WM_NULL every ~10 ms:"
echo
bench page "Z:$folder"
echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
