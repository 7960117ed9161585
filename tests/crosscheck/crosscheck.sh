#!/usr/bin/env bash
# Digests of a configuration's tallyra-hash (under Wine, --all) against
# independent implementations on random files that no test holds: RHash for
# CRC32, MD4, MD5, SHA-1, SHA-2, Tiger and Whirlpool; Python's zlib for
# Adler-32; PyCryptodome for MD2; PHP's hash extension for RIPEMD-128/256/320
# and HAVAL (3 passes, 256 bits); Python's hashlib for SHA-3 and BLAKE2,
# python3-crcmod for CRC-32C and CRC-64/XZ, b3sum for BLAKE3 and xxhsum for
# XXH64, XXH3 and XXH128. Every algorithm the tool prints is checked; one
# without an independent implementation here is a failure. The sizes lie
# around the algorithms' blocks (64, 128, 136 and 144 bytes, BLAKE3's
# 1024-byte chunks, XXH3's 240-byte short input and 1024-byte blocks), the
# job's 102400-byte block, and reach several MiB.
#   crosscheck.sh TOOL
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 0 3 64 128 136 144 240 241 1000 1023 1024 1025 2049 102399 102400 204801 1048583 4194307; do
  head -c "$size" /dev/urandom > "$work/r$size.bin"
done
python3=/usr/bin/python3
"$(dirname "$0")/../../tools/wine-exec.sh" "$tool" --all --lower "$work"/r*.bin | tr -d '\r' > "$work/ours.txt"

# "NAME<TAB>DIGEST<TAB>FILE" lines of the independent implementations.
for file in "$work"/r*.bin; do
  rhash --printf "CRC32\t%{crc32}\t%p\nMD4\t%{md4}\t%p\nMD5\t%{md5}\t%p\nSHA-1\t%{sha1}\t%p\nSHA-256\t%{sha-256}\t%p\n\
SHA-384\t%{sha-384}\t%p\nSHA-512\t%{sha-512}\t%p\nTiger\t%{tiger}\t%p\nWhirlpool\t%{whirlpool}\t%p\n" "$file"
done > "$work/theirs.txt"
"$python3" -c '
import sys, zlib
from Cryptodome.Hash import MD2
for path in sys.argv[1:]:
    data = open(path, "rb").read()
    print("Adler32\t%08x\t%s" % (zlib.adler32(data), path))
    print("MD2\t%s\t%s" % (MD2.new(data).hexdigest(), path))' "$work"/r*.bin >> "$work/theirs.txt"
"$python3" -c '
import hashlib, sys
import crcmod, crcmod.predefined
crc32c = crcmod.predefined.mkCrcFun("crc-32c")
crc64 = crcmod.mkCrcFun(0x142F0E1EBA9EA3693, initCrc=0, rev=True, xorOut=0xFFFFFFFFFFFFFFFF)
names = {"SHA3-224": "sha3_224", "SHA3-256": "sha3_256", "SHA3-384": "sha3_384", "SHA3-512": "sha3_512",
         "BLAKE2b": "blake2b", "BLAKE2s": "blake2s"}
for path in sys.argv[1:]:
    data = open(path, "rb").read()
    print("CRC32C\t%08x\t%s" % (crc32c(data), path))
    print("CRC64\t%016x\t%s" % (crc64(data), path))
    for name, algorithm in names.items():
        print("%s\t%s\t%s" % (name, hashlib.new(algorithm, data).hexdigest(), path))' "$work"/r*.bin >> "$work/theirs.txt"
b3sum "$work"/r*.bin | awk '{ print "BLAKE3\t" $1 "\t" $2 }' >> "$work/theirs.txt"
# xxhsum --tag: "XXH64 (PATH) = DIGEST", the same names as ours.
for variant in 1 3 2; do
  xxhsum -H$variant --tag "$work"/r*.bin
done | sed -E 's/^([A-Z0-9]+) \((.*)\) = ([0-9a-f]+)$/\1\t\3\t\2/' >> "$work/theirs.txt"
php -r '
$names = ["RIPEMD-128" => "ripemd128", "RIPEMD-256" => "ripemd256", "RIPEMD-320" => "ripemd320", "HAVAL" => "haval256,3"];
foreach (array_slice($argv, 1) as $path)
    foreach ($names as $name => $algorithm)
        echo $name, "\t", hash_file($algorithm, $path), "\t", $path, "\n";' "$work"/r*.bin >> "$work/theirs.txt"

# Each line of ours: its file by Unix path, then looked up among theirs.
failures=0
checked=0
while IFS=$'\t' read -r name digest path; do
  file="$work/$(basename "${path//\\//}")"
  want=$(awk -F'\t' -v n="$name" -v f="$file" '$1 == n && $3 == f { print $2 }' "$work/theirs.txt")
  checked=$((checked + 1))
  if [ -z "$want" ]; then
    echo "NO INDEPENDENT DIGEST for $name"
    failures=$((failures + 1))
  elif [ "$digest" != "$want" ]; then
    echo "MISMATCH $name $(basename "$file"): ours '$digest', independent '$want'"
    failures=$((failures + 1))
  fi
done < "$work/ours.txt"
files=$(ls "$work"/r*.bin | wc -l)
names=$(cut -f1 "$work/ours.txt" | sort -u | wc -l)
echo "crosscheck: $checked digests of $names algorithms compared, $failures failures"
[ "$checked" -gt 0 ] && [ "$checked" -eq $((files * names)) ] && [ "$failures" -eq 0 ]
