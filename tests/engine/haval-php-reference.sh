#!/usr/bin/env bash
# Writes to FILE the HAVAL (3 passes, 256 bits) digests that PHP's hash
# extension, an implementation independent of ours, gives for the pattern
# messages of tests/support/TestFiles.cpp (PatternBytes): one line
# "size DIGEST" per size, sizes ascending, the last the largest. HavalTest
# (under Wine) hashes the same messages and compares.
#   tests/engine/haval-php-reference.sh FILE
set -euo pipefail
out=$1
if ! command -v php >/dev/null; then
  echo "haval-php-reference: no php (Debian's php-cli, which tools/setup.sh installs)" >&2
  exit 1
fi
# Every size up to 300 bytes puts the padding at every place of the last one
# or two blocks; then sizes around block multiples, the job's 102400-byte
# read, and kLargePatternSize (3 MiB + 5).
sizes="$(seq -s ' ' 0 300) 383 384 385 1023 1024 1025 65535 65536 65537 102399 102400 102401 1048575 1048576 1048577 3145733"
php -r '
  $sizes = array_map("intval", array_slice($argv, 1));
  $largest = max($sizes);
  $pattern = "";
  for ($i = 0; $i < $largest; $i++)
    $pattern .= chr((($i * 31 + 7) ^ ($i >> 9)) & 0xFF);
  foreach ($sizes as $size)
    printf("%d %s\n", $size, strtoupper(hash("haval256,3", substr($pattern, 0, $size))));
' -- $sizes > "$out.part"
mv "$out.part" "$out"
echo "haval-php-reference: $(wc -l < "$out") digests by PHP $(php -r 'echo PHP_VERSION;') in $out"
