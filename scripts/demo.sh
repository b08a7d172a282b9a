#!/usr/bin/env bash
# Builds the program and the reference support service, starts the service on 127.0.0.1 and the
# program's main window against it, with the sample machine registry of samples/hklm.reg standing
# in for the Windows registry (two products of the family installed) and the sample FAQ cache of
# samples/common-appdata (the support subjects). A support request sent from the window arrives at
# the service as a stored file; "Updates" lists the updates of samples/downloads that are newer
# than what the sample registry says is installed and downloads the chosen one. The services stop
# when the program ends.
# Without a display it prints what the window shows and renders the window into a PNG file instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Configured as scripts/test.sh configures build/, so running one after the other rebuilds nothing.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIKARTA_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)" --target LumikartaSystemInfo lumikarta-service

demo=build/demo
rm -rf "$demo/appdata"
mkdir -p "$demo"
# A copy, because the program opens its cache folder to every user.
cp -r samples/common-appdata "$demo/appdata"

# The support service over HTTPS with its own certificate authority, which only the program is told
# to trust; the FAQ page and the update downloads over plain HTTP, as the maker's web server has
# them, so the browser shows the page without a certificate warning.
service=build/bin/lumikarta-service work=$demo service_pids=()
trap 'kill "${service_pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true' EXIT
source scripts/reference-service.sh
start_service service || exit 1
# The sample installers are small; at 150 bytes a second their progress can be watched. The update
# definition is signed as it is served, with the key this build made for itself and trusts.
signing_with build
start_service faq-service --http --downloads samples/downloads --download-rate 150 "${signing_options[@]}" || exit 1
value() { sed -n "s/^$2 //p" "$demo/$1.out"; }

export LUMIKARTA_HKLM="$PWD/samples/hklm.reg"
export LUMIKARTA_COMMON_APPDATA="$PWD/$demo/appdata"
export LUMIKARTA_SUPPORT_URL="$(value service listening)"
export LUMIKARTA_CA_BUNDLE="$(value service ca-file)"
export LUMIKARTA_FAQ_URL="$(value faq-service faq)"
export LUMIKARTA_UPDATE_URL="$(value faq-service downloads)updates.xml"
echo "Reference support service at $LUMIKARTA_SUPPORT_URL; requests it accepts go to $(value service requests)"
echo "Update definition at $LUMIKARTA_UPDATE_URL"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "A downloaded installer is started with xdg-open, by the program this desktop has for shell"
  echo "scripts; where it has none, the program says so and names the saved file."
  build/bin/LumikartaSystemInfo
  exit 0
fi

echo
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no window can open."
echo "What the main window shows, as LumikartaSystemInfo --print-info prints it:"
echo
build/bin/LumikartaSystemInfo --print-info
echo
echo "The updates the window offers, as LumikartaSystemInfo --list-updates prints them:"
echo
build/bin/LumikartaSystemInfo --list-updates
build/bin/LumikartaSystemInfo --screenshot build/main-window.png 2>/dev/null
echo
echo "The main window itself, rendered offscreen: build/main-window.png"
