#!/usr/bin/env bash
# Digests of tallyra-hash (under Wine) against independent implementations on
# random files that no test holds: RHash for CRC32, MD4, MD5, SHA-1, SHA-2,
# Tiger and Whirlpool; Python's zlib for Adler-32; PyCryptodome for MD2.
# (No independent RIPEMD-128/256/320 is packaged; the published vectors cover them.)
set -euo pipefail
tool=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 0 3 64 1000 102399 102400 204801 1048583; do
  head -c "$size" /dev/urandom > "$work/r$size.bin"
done
python3=/usr/bin/python3
"$here/../../tools/wine-exec.sh" "$tool" --all --lower "$work"/r*.bin | tr -d '\r' > "$work/ours.txt"

failures=0
for file in "$work"/r*.bin; do
  expected=$(rhash --printf '%{crc32} %{md4} %{md5} %{sha1} %{sha-256} %{sha-384} %{sha-512} %{tiger} %{whirlpool}\n' "$file")
  expected="$expected $("$python3" -c '
import sys, zlib
from Cryptodome.Hash import MD2
data = open(sys.argv[1], "rb").read()
print("%08x %s" % (zlib.adler32(data), MD2.new(data).hexdigest()))' "$file")"
  read -r crc md4 md5 sha1 sha256 sha384 sha512 tiger whirlpool adler md2 <<<"$expected"
  for pair in CRC32:$crc MD4:$md4 MD5:$md5 SHA-1:$sha1 SHA-256:$sha256 SHA-384:$sha384 SHA-512:$sha512 \
              Tiger:$tiger Whirlpool:$whirlpool Adler32:$adler MD2:$md2; do
    name=${pair%%:*}; want=${pair#*:}
    got=$(awk -F'\t' -v n="$name" -v f="$file" '$1 == n && $3 == f { print $2 }' "$work/ours.txt")
    if [ "$got" != "$want" ]; then
      echo "MISMATCH $name $(basename "$file"): ours '$got', independent '$want'"
      failures=$((failures + 1))
    fi
  done
done
checked=$(( $(ls "$work"/r*.bin | wc -l) * 11 ))
echo "crosscheck: $checked digests compared, $failures mismatches"
[ "$failures" -eq 0 ]
