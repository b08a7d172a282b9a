#!/usr/bin/env bash
# The Windows installer's round trip in the current Wine prefix (WINEPREFIX): an older version
# installed silently, the build's setup over it into another folder and then over itself, the
# installed program, the installed-programs entry and the start-menu entry, the silent uninstall and
# nothing of ours left behind. Exit status 1 when a step fails.
#   scripts/wine-installer-test.sh WINDOWS_BUILD_DIR WORK_FOLDER
set -euo pipefail
build=$1
work=$2

drive="$WINEPREFIX/drive_c"
default_folder="$drive/Program Files/Lumikarta SystemInfo"
# Where the build's setup is told to go (/D= takes no quotes, so no space in it).
chosen_folder="$drive/Lumikarta"
chosen_folder_windows='C:\Lumikarta'
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\LumikartaSystemInfo'
failed=0
fail() {
  echo "FAILED: installer: $*" >&2
  failed=1
}

# Wine's service processes keep the standard error of the command that started them open, so the
# output goes to files, each command under a time limit.
quiet() {  # seconds, then the command
  local seconds=$1
  shift
  timeout "$seconds" "$@" >"$work/installer.out" 2>"$work/installer.err"
}

# An uninstaller started without _?= runs on from a copy of itself, so what it does is over only
# when the prefix's processes have all ended.
wait_for_wine() {
  timeout 120 wineserver -w || fail "Wine did not come to rest"
}

read_entry() {  # the uninstall entry's values, for entry_value
  quiet 60 wine reg query "$key" || true
  tr -d '\r' <"$work/installer.out" >"$work/entry.txt"
}
entry_value() {  # value name: its data as read_entry read it, empty without one
  sed -n "s/^ *$1 *REG_[A-Z_]* *//p" "$work/entry.txt"
}

count() {  # what is counted, expected number, then the lines to count
  local what=$1 expected=$2
  shift 2
  local found
  found=$(printf '%s\n' "$@" | grep -c . || true)
  [ "$found" -eq "$expected" ] || fail "$found ${what} where $expected belong: $*"
}

programs() {
  find "$drive" -iname LumikartaSystemInfo.exe
}
start_menu_entries() {
  find "$drive" -path '*/Start Menu/*' -iname '*Lumikarta*'
}
uninstall_entries() {
  quiet 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s || true
  tr -d '\r' <"$work/installer.out" | grep -E '^ *DisplayName +REG_SZ +Lumikarta' || true
}

installed_once() {  # folder, version: after an install, one copy there, one entry for that version
  count "copies of the program" 1 "$(programs)"
  [ -f "$1/LumikartaSystemInfo.exe" ] || fail "the program is not in $1"
  count "uninstall entries" 1 "$(uninstall_entries)"
  count "start-menu entries" 1 "$(start_menu_entries)"
  read_entry
  [ "$(entry_value DisplayVersion)" = "$2" ] || fail "the entry says version $(entry_value DisplayVersion), not $2"
}

setup=$(find "$build" -maxdepth 1 -name 'LumikartaSystemInfo-*-win64.exe' | head -n 1)
if [ -z "$setup" ]; then
  fail "no setup in $build (cpack -G NSIS there makes it)"
  exit 1
fi
version=$(basename "$setup" -win64.exe)
version=${version#LumikartaSystemInfo-}

# The same files under a version number below every release: what is tested is how the build's
# setup treats a previous installation, and it knows that one only by its uninstall entry.
older_version=0.0.1
cpack -G NSIS --config "$build/CPackConfig.cmake" -B "$work/older-setup" \
  -D CPACK_PACKAGE_VERSION=$older_version -D CPACK_PACKAGE_FILE_NAME=older-setup >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "the older setup could not be made"; exit 1; }

quiet 300 wine "$work/older-setup/older-setup.exe" /S || fail "the older version's silent setup did not succeed"
installed_once "$default_folder" $older_version

quiet 300 wine "$setup" /S "/D=$chosen_folder_windows" || fail "the silent setup over the older version did not succeed"
installed_once "$chosen_folder" "$version"

# Without /D= an update goes where the installed version is.
quiet 300 wine "$setup" /S || fail "the silent setup over the same version did not succeed"
installed_once "$chosen_folder" "$version"
for file in LumikartaSystemInfoENU.dll Uninstall.exe; do
  [ -f "$chosen_folder/$file" ] || fail "$file is not in the installation folder"
done

while read -r name expected; do
  [ "$(entry_value "$name")" = "$expected" ] || fail "the entry's $name is '$(entry_value "$name")', not '$expected'"
done <<EOF
DisplayName Lumikarta SystemInfo
Publisher Lumikarta
DisplayIcon $chosen_folder_windows\\LumikartaSystemInfo.exe
URLInfoAbout https://www.lumikarta.de
UninstallString "$chosen_folder_windows\\Uninstall.exe"
EOF
# The size in KB of what the setup put there, each file rounded up on its own.
expected_kb=0
while read -r bytes; do
  expected_kb=$((expected_kb + (bytes + 1023) / 1024))
done < <(find "$chosen_folder" -type f ! -name Uninstall.exe -printf '%s\n')
size=$(entry_value EstimatedSize)
[ "$((${size:-0}))" -eq "$expected_kb" ] || fail "the entry's EstimatedSize is '$size', not $expected_kb KB"

shortcut=$(start_menu_entries)
strings "$shortcut" | grep -qxF "$chosen_folder_windows\\LumikartaSystemInfo.exe" \
  || fail "the start-menu entry does not start the installed program"
quiet 120 wine "$chosen_folder/LumikartaSystemInfo.exe" --version || fail "the installed program did not run"
grep -q "^LumikartaSystemInfo $version" "$work/installer.out" || fail "the installed program did not say its version"

quiet 120 wine "$chosen_folder/Uninstall.exe" /S || fail "the silent uninstall did not start"
wait_for_wine
count "installed files left" 0 "$(find "$drive"/Program* "$chosen_folder" -iname '*Lumikarta*' 2>/dev/null)"
count "start-menu entries left" 0 "$(start_menu_entries)"
count "uninstall entries left" 0 "$(uninstall_entries)"
exit "$failed"
