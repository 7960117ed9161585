#!/usr/bin/env bash
# Every DLL and EXE of the build may import only DLLs that Windows itself
# ships: a shell extension that needs a runtime DLL beside it does not load.
set -euo pipefail
bin=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|uxtheme|version|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
checked=0
bad=0
# The folder and the configurations' folders in it (bin/full, bin/reduced).
while IFS= read -r file; do
  checked=$((checked + 1))
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system"; then
      echo "${file#"$bin"/} imports $dll"
      bad=$((bad + 1))
    fi
  done < <("$objdump" -p "$file" | awk '/DLL Name:/ { print $3 }')
done < <(find "$bin" -maxdepth 2 -type f \( -iname '*.exe' -o -iname '*.dll' \))
echo "imports: $checked binaries checked, $bad foreign imports"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
