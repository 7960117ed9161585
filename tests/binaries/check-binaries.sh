#!/usr/bin/env bash
# The DLLs and EXEs of a build folder, as Windows would load them:
# - each imports only DLLs that Windows itself ships (a shell extension that
#   needs a runtime DLL beside it does not load);
# - each is of the folder's kind (pei-x86-64 for 64-bit programs, pei-i386
#   for 32-bit ones);
# - each COM module exports its entry points by their plain names (a 32-bit
#   build that exported stdcall-decorated names would not register).
#   check-binaries.sh FOLDER:KIND [FOLDER:KIND ...]
set -euo pipefail
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|uxtheme|version|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
entry_points=(DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer DllInstall)
checked=0
bad=0
problem() { echo "$1"; bad=$((bad + 1)); }
for argument in "$@"; do
  bin=${argument%:*} kind=${argument##*:}
  case "$kind" in
    pei-x86-64) objdump=x86_64-w64-mingw32-objdump ;;
    pei-i386) objdump=i686-w64-mingw32-objdump ;;
    *) echo "check-binaries.sh: unknown kind $kind" >&2; exit 2 ;;
  esac
  [ -d "$bin" ] || { problem "$bin: no such folder (tools/build.sh makes it)"; continue; }
  # The folder and the configurations' folders in it (bin/full, bin/reduced).
  while IFS= read -r file; do
    checked=$((checked + 1))
    name=${file#"$bin"/}
    headers=$("$objdump" -p "$file")
    format=$("$objdump" -f "$file" | sed -n 's/.*file format //p')
    [ "$format" = "$kind" ] || problem "$name is $format, not $kind"
    while read -r dll; do
      echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system" || problem "$name imports $dll"
    done < <(echo "$headers" | awk '/DLL Name:/ { print $3 }')
    # The COM modules: the ones that export DllGetClassObject under any name.
    if echo "$headers" | grep -q 'DllGetClassObject'; then
      exports=$(echo "$headers" | awk '/\[Ordinal\/Name Pointer\] Table/ { table = 1; next } table && NF == 0 { table = 0 }
        table { print $NF }')
      for entry in "${entry_points[@]}"; do
        echo "$exports" | grep -qx "$entry" || problem "$name does not export $entry by its plain name"
      done
    fi
  done < <(find "$bin" -maxdepth 2 -type f \( -iname '*.exe' -o -iname '*.dll' \))
done
echo "binaries: $checked checked, $bad problems"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
