#!/usr/bin/env bash
# The installer under Wine, in a prefix of its own made anew (build/wineprefix-install):
# an older package, then the project's version over it (an upgrade in place:
# one entry in the installed programs), every language module for both
# architectures, the Active Setup entry and its command for users with and
# without a choice, the registry it wrote against what regsvr32 writes, the
# extension through the shell (show-properties) in English and, once the
# setting is cleared, built in; a user's own language choice kept over a
# reinstall; and after uninstalling, the prefix as before apart from the
# user's settings and Windows Installer's own records. Other software's
# entries beside ours (the approved list, the property-sheet handlers) are
# there all along. Then users whose language is Japanese and Chinese.
#   installer-test.sh   (in a Wine session: tools/test.sh, ctest)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tools/wine-session.sh"
build=$tallyra_build_dir
work="$build/installer-test"
rm -rf "$work" && mkdir -p "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
expect() { [ "$2" = "$3" ] || fail "$1: got '$2', want '$3'"; }  # expect WHAT GOT WANT

# Two packages of the build: the project's version and an older one.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
"$root/tools/package.sh" --prebuilt --output "$work/new.msi" >/dev/null || { echo "FAIL packaging"; exit 1; }
"$root/tools/package.sh" --prebuilt --version 0.9.0 --output "$work/old.msi" >/dev/null || { echo "FAIL packaging"; exit 1; }

WINEPREFIX=$(tallyra_wine_prefix install)
export WINEPREFIX
wineserver -k 2>/dev/null
rm -rf "$WINEPREFIX"
wine_session_start install
trap wine_session_stop EXIT
win() { echo "Z:$(echo "$1" | tr / '\\')"; }
msiexec() { wine msiexec "$1" "$(win "$2")" /qn; }
installed="C:\\Program Files\\Tallyra"
settings='HKCU\SOFTWARE\Tallyra\Settings'
snapshot() {  # snapshot NAME: registry and files of the prefix
  { wine "$build/bin/registry_dump.exe" | tr -d '\r'; (cd "$WINEPREFIX/drive_c" && find . | sed 's/^/file /'); } > "$work/$1"
}
language_module() { wine reg query "$settings" /v LanguageModule 2>/dev/null | tr -d '\r' | awk '/LanguageModule/ { print $3 }'; }
uninstall_entries() {  # the installed programs named Tallyra: "DisplayVersion Publisher", one line each
  awk -F' [|] ' '
    index($1, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") == 1 && NF == 2 {
      split($2, v, " = ")
      value[$1, v[1]] = substr($2, length(v[1]) + 4)
      if ($2 == "DisplayName = Tallyra") keys[$1] = 1
    }
    END { for (k in keys) print value[k, "DisplayVersion"], value[k, "Publisher"] }' "$work/$1"
}

# Other software's entries where ours go, as on any machine (Windows
# Installer removes a key that removing our values leaves empty: a fresh
# prefix has the approved list and the 32-bit interfaces key, but empty).
other='{0BADF00D-0000-4000-8000-000000000001}'
wine reg add "HKCR\\Interface\\$other" /ve /d IOther /reg:32 /f >/dev/null 2>&1
for view in 64 32; do
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved' \
    /v "$other" /d 'Other Property Page' /reg:$view /f >/dev/null 2>&1
  wine reg add 'HKCR\*\shellex\PropertySheetHandlers\OtherSoftware' /ve /d "$other" /reg:$view /f >/dev/null 2>&1
  wine reg add "HKCR\\CLSID\\$other" /ve /d Other /reg:$view /f >/dev/null 2>&1
done
snapshot before

# --- An older version, then the project's over it.
msiexec /i "$work/old.msi" || fail "installing the older package: exit $?"
snapshot old
expect "installed programs after the older package" "$(uninstall_entries old)" "0.9.0 The Tallyra developers"
msiexec /i "$work/new.msi" || fail "upgrading: exit $?"
snapshot installed
expect "installed programs after the upgrade" "$(uninstall_entries installed)" "$version The Tallyra developers"
modules=$(cut -f3 "$build/generated/languages/full.txt" | grep .)
[ "$(echo "$modules" | wc -l)" -eq 10 ] || fail "the build's language modules: $modules"
for path in Tallyra32.dll $modules tallyra-hash.exe tallyra-user-language.exe; do
  grep -qxF "file ./Program Files/Tallyra/$path" "$work/installed" || fail "$path not installed"
done
for path in Tallyra32.dll $modules; do  # for 32-bit programs
  grep -qxF "file ./Program Files (x86)/Tallyra/$path" "$work/installed" || fail "32-bit $path not installed"
done
# The installing user's language is English and had no choice stored.
expect "the user's language module" "$(language_module)" "Tallyra32.en.dll"

# --- The registry holds what the module's own registration writes: the
# same after regsvr32 /u and regsvr32 of the installed file. Windows Installer
# writes the type library's help folder with a trailing backslash.
wine regsvr32 /s /u "$installed\\Tallyra32.dll" || fail "regsvr32 /u: exit $?"
wine regsvr32 /s "$installed\\Tallyra32.dll" || fail "regsvr32: exit $?"
snapshot registered
# In the 64-bit view: the 32-bit view is the 32-bit module's, below.
help_folder() { sed -E 's/^(.*\\HELPDIR \| @ = .*)\\$/\1/' "$work/$1" | grep -v '\\Wow6432Node\\'; }
differences=$(diff <(help_folder installed) <(help_folder registered))
[ -z "$differences" ] || fail "the installer's registry is not what regsvr32 writes:"$'\n'"$differences"

# --- The 32-bit view holds the same registration for the 32-bit file, and
# nothing else of ours. The type libraries' key is one for both views: it
# names the 32-bit file under win32 and the 64-bit one under win64.
registration() {  # registration VIEW: what the install added to the registration keys of that view
  comm -13 <(sort "$work/before") <(sort "$work/installed") |
    grep -E "^HKLM\\\\Software\\\\$1(Classes|Microsoft\\\\Windows\\\\CurrentVersion\\\\Shell Extensions)\\\\" |
    grep -vE '^HKLM\\Software\\(Wow6432Node\\)?Classes\\(Wow6432Node\\)?Installer($|\\| )' | tr 'A-Z' 'a-z' | sort
}
as_32_bit() {
  sed -E -e '/^hklm\\software\\classes\\typelib\\/!s/c:\\program files\\tallyra/c:\\program files (x86)\\tallyra/g' \
    -e 's/^hklm\\software\\/hklm\\software\\wow6432node\\/' | sort
}
ours64=$(registration '' | grep -v '\\wow6432node\\')
echo "$ours64" | grep -qF '\win32 | @ = c:\program files (x86)\tallyra\tallyra32.dll' ||
  fail "the type library does not name the 32-bit file"
differences=$(diff <(echo "$ours64" | as_32_bit) <(registration 'Wow6432Node\\'))
[ -z "$differences" ] || fail "the 32-bit view is not the 32-bit module's registration:"$'\n'"$differences"

# --- Active Setup: every user runs our command once at logon; it names the
# module of the user's language unless the user has chosen (the built-in too).
active_setup='HKLM\Software\Microsoft\Active Setup\Installed Components\{3F1D5C6E-8B2A-4F0D-9E47-6C2B81A5D9F3}'
setup_value() { wine reg query "$active_setup" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"; }
stub=$(setup_value StubPath)
expect "Active Setup's command" "$stub" "\"$installed\\tallyra-user-language.exe\""
expect "Active Setup's version" "$(setup_value Version)" "${version//./,}"
expect "Active Setup's entry installed" "$(setup_value IsInstalled)" "0x1"
as_logon() {  # as_logon [LOCALE]: the command as Active Setup runs it for a user at logon
  local program=${stub//\"/}  # one quoted path, no arguments
  if [ -n "$1" ]; then LC_ALL=$1 wine "$program"; else wine "$program"; fi
}
while IFS='|' read -r what stored locale want; do
  wine reg delete "$settings" /v LanguageModule /f >/dev/null 2>&1
  [ "$stored" = "-" ] || wine reg add "$settings" /v LanguageModule /d "$stored" /f >/dev/null 2>&1
  as_logon "$locale"
  expect "Active Setup for $what" "$(language_module)" "$want"
done <<EOF
an English user with no choice|-||Tallyra32.en.dll
a Japanese user with no choice|-|ja_JP.UTF-8|Tallyra32.ja.dll
a Russian user with no choice|-|ru_RU.UTF-8|Tallyra32.ru.dll
a Polish user (no module) with no choice|-|pl_PL.UTF-8|Tallyra32.en.dll
a Chinese user with no choice (built in)|-|zh_CN.UTF-8|
a Japanese user who chose a module|Other.dll|ja_JP.UTF-8|Other.dll
EOF
wine reg add "$settings" /v LanguageModule /d "" /f >/dev/null 2>&1
as_logon ja_JP.UTF-8
value_type=$(wine reg query "$settings" /v LanguageModule 2>/dev/null | tr -d '\r' | awk '/LanguageModule/ { print $2 }')
expect "Active Setup for a user who chose the built-in texts" "$value_type:$(language_module)" "REG_SZ:"
wine reg add "$settings" /v LanguageModule /d Tallyra32.en.dll /f >/dev/null 2>&1

# --- Through the shell: in English while the setting names the module,
# built in once it is cleared (a new process reads the settings anew).
for algorithm in CRC32 MD5 SHA-256; do
  wine reg add "HKCU\\SOFTWARE\\Tallyra\\Algorithms\\$algorithm" /v Enabled /t REG_DWORD /d 1 /f >/dev/null 2>&1
done
head -c 300000 /dev/urandom > "$work/shown.bin"
want=$(python3 -c '
import hashlib, sys, zlib
data = open(sys.argv[1], "rb").read()
print("CRC32\t%08X" % zlib.crc32(data))
print("MD5\t" + hashlib.md5(data).hexdigest().upper())
print("SHA-256\t" + hashlib.sha256(data).hexdigest().upper())' "$work/shown.bin")
mkdir -p "$build/screenshots"
shown=$(wine "$build/bin/show-properties.exe" --page "File Check" --screenshot "$(win "$build/screenshots/installed-page-english.bmp")" \
  "$(win "$work/shown.bin")" | tr -d '\r')
expect "the English page's digests" "$shown" "$want"
wine reg delete "$settings" /v LanguageModule /f >/dev/null 2>&1
shown=$(wine "$build/bin/show-properties.exe" --page "文件检验" "$(win "$work/shown.bin")" | tr -d '\r')
expect "the built-in page's digests" "$shown" "$want"

# --- A reinstall leaves a user's own choice alone.
msiexec /x "$work/new.msi" || fail "uninstalling: exit $?"
wine reg add "$settings" /v LanguageModule /d Other.dll /f >/dev/null 2>&1
msiexec /i "$work/new.msi" || fail "reinstalling: exit $?"
expect "a user's own choice after a reinstall" "$(language_module)" "Other.dll"
wine reg delete "$settings" /v LanguageModule /f >/dev/null 2>&1

# --- Uninstalled: nothing of ours is left but the user's settings; Windows
# Installer keeps its own records (its folders and keys, and the record of
# the permanent language setting).
msiexec /x "$work/new.msi" || fail "uninstalling: exit $?"
snapshot after
ours='^> HKCU\\Software\\Tallyra(\\| |$)'
installer='^> (file \./windows/Installer$|HKLM\\Software\\(Classes|Microsoft\\Windows\\CurrentVersion)\\Installer(\\| |$))'
differences=$(diff "$work/before" "$work/after" | grep '^[<>]' | grep -vE "$ours" | grep -vE "$installer")
[ -z "$differences" ] || fail "uninstalling left or took away:"$'\n'"$differences"
expect "installed programs after uninstalling" "$(uninstall_entries after)" ""

[ -z "$(setup_value StubPath)" ] || fail "uninstalling left the Active Setup entry"

# --- The installing user gets the module of their language; a user whose
# language is Chinese (Simplified) gets no module named (the built-in texts
# stay). Wine takes the user's language from the locale's name (the locale
# itself need not be installed).
while IFS='|' read -r locale locale_want want; do
  wine reg delete "$settings" /v LanguageModule /f >/dev/null 2>&1
  LC_ALL=$locale wine msiexec /i "$(win "$work/new.msi")" /qn || fail "installing for a $locale user: exit $?"
  locale_name=$(LC_ALL=$locale wine reg query 'HKCU\Control Panel\International' /v LocaleName 2>/dev/null |
    tr -d '\r' | awk '/LocaleName/ { print $3 }')
  expect "the $locale user's locale" "$locale_name" "$locale_want"
  expect "a $locale user's language module" "$(language_module)" "$want"
  msiexec /x "$work/new.msi" || fail "uninstalling: exit $?"
done <<EOF
ja_JP.UTF-8|ja-JP|Tallyra32.ja.dll
de_AT.UTF-8|de-AT|Tallyra32.de.dll
zh_TW.UTF-8|zh-TW|Tallyra32.zh-TW.dll
zh_CN.UTF-8|zh-CN|
EOF

echo "installer: $failures failures"
[ "$failures" -eq 0 ]
