#!/usr/bin/env bash
# Builds the program and shows what it finds on this computer, with the sample machine registry of
# samples/hklm.reg standing in for the Windows registry (two products of the family installed).
# The window is not built yet, so the facts are printed as the program's --print-info and
# --print-report give them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target LumikartaSystemInfo

export LUMIKARTA_HKLM="$PWD/samples/hklm.reg"
echo
echo "== LumikartaSystemInfo --print-info"
build/bin/LumikartaSystemInfo --print-info
echo
echo "== LumikartaSystemInfo --print-report"
build/bin/LumikartaSystemInfo --print-report
