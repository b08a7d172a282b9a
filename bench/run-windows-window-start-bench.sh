#!/usr/bin/env bash
# The Windows main window's start to first paint under Wine on a virtual X display: the program on
# the sample machine (samples/hklm.reg) against the bare Win32 dialog of the same template
# (template_dialog_viewer.exe), alternating, medians. Not part of CI.
#   bench/run-windows-window-start-bench.sh WINDOWS_BUILD_DIR [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/virtual-display.sh
bin="$1/bin"
runs=${2:-9}
for program in LumikartaSystemInfo template_dialog_viewer; do
  [ -f "$bin/$program.exe" ] || { echo "no $bin/$program.exe: build the Windows build with its tests" >&2; exit 1; }
done

wine_on_virtual_display
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -static -o "$work/bench.exe" \
  bench/window_start_bench_windows.cpp
wine reg import "Z:$PWD/samples/hklm.reg" /reg:32 >"$work/reg.log" 2>&1
wine reg add 'HKCU\SOFTWARE\Lumikarta\Support und Update' /v Language /t REG_SZ /d 0 /f >>"$work/reg.log" 2>&1

ours="\"Z:$(realpath "$bin/LumikartaSystemInfo.exe")\""
peer="\"Z:$(realpath "$bin/template_dialog_viewer.exe")\" de 102"
timeout 600 wine "$work/bench.exe" "$runs" "$ours" "$peer" >"$work/bench.out" 2>"$work/bench.err" || {
  cat "$work/bench.out" "$work/bench.err" >&2
  exit 1
}
cat "$work/bench.out"
