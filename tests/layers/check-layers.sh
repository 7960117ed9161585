#!/usr/bin/env bash
# The product's folders are layers that only point down:
#   win <- engine <- settings <- ui <- server
# A file may include from its own folder, from folders before it and from
# config/ (what a configuration chooses), never from a folder after it or
# from the tools, tests and benchmarks beside the product.
set -euo pipefail
root=$1
layers=(win engine settings ui server)
bad=0
checked=0
for i in "${!layers[@]}"; do
  folder=${layers[$i]}
  allowed=("${layers[@]:0:$((i + 1))}")
  forbidden=("${layers[@]:$((i + 1))}" tools tests bench)
  while IFS= read -r file; do
    checked=$((checked + 1))
    for other in "${forbidden[@]}"; do
      if grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"$other/" "$file"; then
        echo "  ^ $file (layer $folder) includes from $other/"
        bad=$((bad + 1))
      fi
    done
  done < <(find "$root/$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \))
done
echo "layers: $checked files checked, $bad includes against the layering"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
