#!/usr/bin/env bash
# Renders the README's pictures of the Linux build into docs/screenshots/, from the build, the
# sample data and the reference service, so they can be refreshed whenever a window changes:
#   main-window-de.png, main-window-en.png  the main window in both languages (--screenshot, offscreen)
#   update-list-de.png                       the update list of samples/downloads
#   download-de.png                          a download under way
# The update list and the download run on a virtual display (Xvfb): xdotool presses the buttons and
# ImageMagick's import takes the windows. The products come from the sample registry; the printers
# are left out (no print server is asked); the other facts are those of the machine it runs on.
#
#   scripts/render-screenshots.sh [OUTPUT_FOLDER]   (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/virtual-display.sh

out=${1:-docs/screenshots}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target LumikartaSystemInfo LumikartaSystemInfoENU lumikarta-service
mkdir -p "$out"
scratch=$(mktemp -d)
processes=()
# The program goes before its display, and the display before the service.
finish() {
  for ((i = ${#processes[@]} - 1; i >= 0; i--)); do
    kill "${processes[i]}" 2>/dev/null && wait "${processes[i]}" 2>/dev/null || true
  done
  rm -rf "$scratch"
}
trap finish EXIT

export LUMIKARTA_HKLM="$PWD/samples/hklm.reg"
# A copy, because the program opens its cache folder to every user.
cp -r samples/common-appdata "$scratch/appdata"
export LUMIKARTA_COMMON_APPDATA="$scratch/appdata"
export CUPS_SERVER="$scratch/no-print-server.sock"
use_language() {  # name, code
  export LUMIKARTA_HKCU="$scratch/user-$1.reg"
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Lumikarta\\Support und Update]\n"Language"="%s"\n' \
    "$2" >"$LUMIKARTA_HKCU"
}

for language in de:0 en:1; do
  name=${language%%:*}
  use_language "$name" "${language##*:}"
  QT_QPA_PLATFORM=offscreen build/bin/LumikartaSystemInfo --screenshot "$out/main-window-$name.png"
  echo "$out/main-window-$name.png"
done

# The updates of samples/downloads over plain HTTP, sent slowly enough that the picture shows a
# download about half done.
service=build/bin/lumikarta-service work=$scratch service_pids=()
source scripts/reference-service.sh
signing_with build
start_service service --http --downloads samples/downloads --download-rate 60 "${signing_options[@]}"
processes+=("${service_pids[@]}")
downloads=$(sed -n 's/^downloads //p' "$scratch/service.out")
export LUMIKARTA_UPDATE_URL="${downloads}updates.xml"
export LUMIKARTA_FAQ_URL="$(sed -n 's/^faq //p' "$scratch/service.out")"

start_display "$scratch"
processes+=("$xvfb_pid")
use_language de 0
QT_QPA_PLATFORM=xcb build/bin/LumikartaSystemInfo &
processes+=($!)

# A search fails outright when a window goes while it looks (the save question closing), so it is
# tried again until the window is there.
window() {  # caption: the id of the program's window with exactly this caption, once it is shown
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.1
  done
  echo "render-screenshots: the window \"$1\" did not appear" >&2
  return 1
}
# Clicks the point at the fractions of the window's width and height (the template's dialog units
# divided by the dialog's size), so the click lands on the control whatever the font's size.
click_at() {  # window, x fraction, y fraction
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" "$(awk "BEGIN{print int($WIDTH*$2)}")" "$(awk "BEGIN{print int($HEIGHT*$3)}")" \
    click 1
}
# Waits until the window has painted (or the seconds given), then takes it.
take() {  # window, file[, seconds]
  sleep "${3:-1}"
  import -window "$1" "$2"
  echo "$2"
}

main=$(window "Lumikarta - SystemInfo")
click_at "$main" "$(awk 'BEGIN{print 329/361}')" "$(awk 'BEGIN{print 179/193}')"  # "Updates"
updates=$(window Update)
take "$updates" "$out/update-list-de.png"

click_at "$updates" "$(awk 'BEGIN{print 133/270}')" "$(awk 'BEGIN{print 208/222}')"  # "Download und Installieren"
question=$(window "Save file")
xdotool windowfocus --sync "$question" key ctrl+a type "$scratch/TopoKarte-Update-305.sh"
xdotool key Return
download=$(window Download)
take "$download" "$out/download-de.png" 4
# The picture is taken; the installer is not to be opened on this machine.
