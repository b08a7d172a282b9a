#!/usr/bin/env bash
# Builds the program and starts its main window on this computer, with the sample machine registry
# of samples/hklm.reg standing in for the Windows registry (two products of the family installed).
# Without a display it prints what the window shows and renders the window into a PNG file instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target LumikartaSystemInfo

export LUMIKARTA_HKLM="$PWD/samples/hklm.reg"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/LumikartaSystemInfo
fi

echo
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no window can open."
echo "What the main window shows, as LumikartaSystemInfo --print-info prints it:"
echo
build/bin/LumikartaSystemInfo --print-info
build/bin/LumikartaSystemInfo --screenshot build/main-window.png 2>/dev/null
echo
echo "The main window itself, rendered offscreen: build/main-window.png"
