#!/usr/bin/env bash
# The Windows installer's round trip in the current Wine prefix (WINEPREFIX, wineserver running or
# not): silent install, the installed program runs, the installed-programs entry, silent uninstall,
# nothing left behind. Exit status 1 when a step fails.
#   scripts/wine-installer-test.sh SETUP_EXE LOG_FOLDER
set -euo pipefail
setup=$1
logs=$2

folder="$WINEPREFIX/drive_c/Program Files/Lumikarta SystemInfo"
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
  timeout "$seconds" "$@" >"$logs/installer.out" 2>"$logs/installer.err"
}

quiet 300 wine "$setup" /S || fail "the silent setup did not succeed"
for file in LumikartaSystemInfo.exe LumikartaSystemInfoENU.dll Uninstall.exe; do
  [ -f "$folder/$file" ] || fail "$file is not in the installation folder"
done
start_menu=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Lumikarta SystemInfo.lnk' | head -n 1)
[ -n "$start_menu" ] || fail "no start-menu entry"

quiet 120 wine "$folder/LumikartaSystemInfo.exe" --version || fail "the installed program did not run"
grep -q '^LumikartaSystemInfo [0-9]' "$logs/installer.out" || fail "the installed program did not say its version"

quiet 60 wine reg query "$key" /v DisplayName || true
grep -q 'Lumikarta SystemInfo' "$logs/installer.out" || fail "no uninstall entry among the installed programs"
quiet 60 wine reg query "$key" /v UninstallString || true
grep -q 'Uninstall.exe' "$logs/installer.out" || fail "the uninstall entry names no uninstaller"

# The uninstaller runs from a copy of itself in the temporary folder and returns at once, so its
# work is waited for.
quiet 120 wine "$folder/Uninstall.exe" /S || fail "the silent uninstall did not start"
for _ in $(seq 120); do
  [ -e "$folder" ] || break
  sleep 0.5
done
[ ! -e "$folder" ] || fail "the installation folder is left after the uninstall"
[ -z "$start_menu" ] || [ ! -e "$start_menu" ] || fail "the start-menu entry is left after the uninstall"
if quiet 60 wine reg query "$key"; then
  fail "the uninstall entry is left after the uninstall"
fi
exit "$failed"
