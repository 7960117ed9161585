#!/usr/bin/env bash
# The product's folders are layers that only point down:
#   win <- engine <- settings <- ui <- server
# A file may include from its own folder, from folders before it and from
# config/ (what a configuration chooses), never from a folder after it or
# from the tools, tests and benchmarks beside the product.
# config/ is included by every layer: its headers include from no layer. Its
# algorithm lists and resource scripts belong to the engine's level: they
# include from win/ and engine/ only.
set -euo pipefail
root=$1
layers=(win engine settings ui server)
bad=0
checked=0
# check FOLDER LABEL FIND-NAME-ARGS... -- FORBIDDEN...: the files of FOLDER
# that the find arguments select include from none of the forbidden folders.
check() {
  local folder=$1 label=$2
  shift 2
  local names=()
  while [ "$1" != -- ]; do names+=("$1"); shift; done
  shift
  local file other
  while IFS= read -r file; do
    checked=$((checked + 1))
    for other in "$@"; do
      if grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"$other/" "$file"; then
        echo "  ^ $file ($label) includes from $other/"
        bad=$((bad + 1))
      fi
    done
  done < <(find "$root/$folder" -type f \( "${names[@]}" \))
}
for i in "${!layers[@]}"; do
  check "${layers[$i]}" "layer ${layers[$i]}" -name '*.h' -o -name '*.cpp' -o -name '*.rc' -- \
    "${layers[@]:$((i + 1))}" tools tests bench
done
check config "configuration header" -name '*.h' -- "${layers[@]}" tools tests bench
check config "configuration data" -name '*.cpp' -o -name '*.rc' -- settings ui server tools tests bench
echo "layers: $checked files checked, $bad includes against the layering"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
