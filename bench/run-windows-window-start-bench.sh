#!/usr/bin/env bash
# The main window's start to first paint on both systems, each as a ratio to a bare window of the same
# controls measured in the same run:
# - Windows: the program under Wine on a virtual X display, on the sample machine (samples/hklm.reg),
#   against the bare Win32 dialog of the same template (template_dialog_viewer.exe, which carries the
#   program's manifest, so both draw the same controls), alternating, medians.
# - Linux: the Linux build's window_start_bench (the Qt window offscreen against a bare Qt window).
# Not part of CI.
#   bench/run-windows-window-start-bench.sh WINDOWS_BUILD_DIR [RUNS [LINUX_BUILD_DIR]]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/virtual-display.sh
bin="$1/bin"
runs=${2:-9}
linux_bench="${3:-build}/bench/window_start_bench"
for program in LumikartaSystemInfo template_dialog_viewer; do
  [ -f "$bin/$program.exe" ] || { echo "no $bin/$program.exe: build the Windows build with its tests" >&2; exit 1; }
done
[ -x "$linux_bench" ] || { echo "no $linux_bench: build the Linux build with its benchmarks" >&2; exit 1; }

linux_figures=$("$linux_bench" --runs "$runs" 2>/dev/null) || { echo "the Linux benchmark failed" >&2; exit 1; }

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
echo "Windows, under Wine:"
sed 's/^/  /' "$work/bench.out"
echo "Linux:"
sed 's/^/  /' <<<"$linux_figures"
echo "start to first paint, as a ratio to the bare window of the same controls:"
echo "  Windows (Wine): $(sed -n 's/^ratio to the bare Win32 dialog: \([0-9.]*\).*/\1/p' "$work/bench.out")"
echo "  Linux (Qt):     $(sed -n 's/^ratio to the bare Qt dialog: \([0-9.]*\).*/\1/p' <<<"$linux_figures")"
