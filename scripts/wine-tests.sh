#!/usr/bin/env bash
# Runs the Windows build's tests and program under Wine, without a display, against the reference
# service started natively on 127.0.0.1.
#   scripts/wine-tests.sh WINDOWS_BUILD_DIR SERVICE_EXECUTABLE
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
service=$2
bin="$build/bin"

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
service_pid=
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$service" --http --data "$work/service" --downloads samples/downloads >"$work/service.out" 2>&1 &
service_pid=$!
for _ in $(seq 50); do
  grep -q '^downloads ' "$work/service.out" 2>/dev/null && break
  sleep 0.1
done
base=$(sed -n 's/^listening //p' "$work/service.out")
[ -n "$base" ] || { cat "$work/service.out" >&2; exit 1; }
export LUMIKARTA_TEST_SERVICE_URL="$base"

wineboot -i >/dev/null 2>&1

# Wine's service processes keep the standard error of the command that started them open, so
# every output goes to a file rather than a pipe that might never close.
run() {  # log name, seconds, then the command
  local log="$work/$1.log" seconds=$2
  shift 2
  local status=0
  timeout "$seconds" "$@" >"$log" 2>"$log.err" || status=$?
  cat "$log"
  return "$status"
}

failed=0
for test in "$bin"/*_tests.exe; do
  name=$(basename "$test" .exe)
  echo "== $name"
  if ! run "$name" 600 wine "$test"; then
    echo "FAILED: $name" >&2
    cat "$work/$name.log.err" >&2
    failed=1
  fi
done

echo "== LumikartaSystemInfo.exe --print-info"
run print-info 120 wine "$bin/LumikartaSystemInfo.exe" --print-info || failed=1
lines=$(head -n 5 "$work/print-info.log" | grep -c -E '^(CPU|RAM|Grafic|Driver|OS): .*[^ ()]' || true)
if [ "$lines" -ne 5 ]; then
  echo "FAILED: --print-info did not print five filled lines" >&2
  failed=1
fi

# The sample machine's products, written into the 32-bit view of the prefix's registry, so the
# sample definition offers updates.
echo "== LumikartaSystemInfo.exe --list-updates"
run import 120 wine reg import "Z:$PWD/samples/hklm.reg" /reg:32 || true
LUMIKARTA_UPDATE_URL="$base/downloads/updates.xml" run list-updates 120 wine "$bin/LumikartaSystemInfo.exe" --list-updates \
  || failed=1
if ! grep -q "^TopoKarte Deutschland 3.1	310	$base/downloads/TopoKarte-Update-310.sh" "$work/list-updates.log"; then
  echo "FAILED: --list-updates did not list the sample updates" >&2
  cat "$work/list-updates.log.err" >&2
  failed=1
fi
exit "$failed"
