#!/usr/bin/env bash
# Renders the main window in German and in English into docs/screenshots/ for the README, without a
# display (Qt's offscreen platform). The products come from the sample registry; the printers are
# left out (no print server is asked); the other facts are those of the machine it runs on.
#
#   scripts/render-screenshots.sh [OUTPUT_FOLDER]   (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-docs/screenshots}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target LumikartaSystemInfo
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

export QT_QPA_PLATFORM=offscreen
export LUMIKARTA_HKLM="$PWD/samples/hklm.reg"
# A copy, because the program opens its cache folder to every user.
cp -r samples/common-appdata "$scratch/appdata"
export LUMIKARTA_COMMON_APPDATA="$scratch/appdata"
export CUPS_SERVER="$scratch/no-print-server.sock"
for language in de:0 en:1; do
  name=${language%%:*}
  export LUMIKARTA_HKCU="$scratch/user-$name.reg"
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n"Language"="%s"\n' \
    "${language##*:}" >"$LUMIKARTA_HKCU"
  build/bin/LumikartaSystemInfo --screenshot "$out/main-window-$name.png"
  echo "$out/main-window-$name.png"
done
