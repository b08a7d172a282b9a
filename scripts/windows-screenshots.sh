#!/usr/bin/env bash
# Takes the pictures of the Windows build's windows for the README: the main window, the support
# form, the update list and a download under way, in German, as Wine shows them in its virtual
# desktop on a virtual X display. The machine is the sample one (samples/hklm.reg in the registry,
# the sample FAQ cache) and the updates come from a reference service on 127.0.0.1.
#   scripts/windows-screenshots.sh WINDOWS_BUILD_DIR SERVICE_EXECUTABLE [OUTPUT_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/virtual-display.sh
source scripts/reference-service.sh
bin="$1/bin"
service=$2
out=${3:-docs/screenshots}
for program in LumikartaSystemInfo program_window_viewer; do
  [ -f "$bin/$program.exe" ] || { echo "no $bin/$program.exe: build the Windows build with its tests" >&2; exit 1; }
done
mkdir -p "$out"

wine_on_virtual_display
# Windows 10, as most users have it, so the main window names the system as it does on their PCs.
winecfg -v win10 >"$work/winecfg.log" 2>&1
# Slow installers, so the download window is seen half way.
signing_with "$1"
start_service service --http --downloads samples/downloads --download-rate 100 "${signing_options[@]}"
base=$service_url
export LUMIKARTA_UPDATE_URL="$base/downloads/updates.xml" LUMIKARTA_FAQ_URL="$base/faq.html"
wine reg import "Z:$PWD/samples/hklm.reg" /reg:32 >"$work/reg.log" 2>&1
wine reg add 'HKCU\SOFTWARE\Lumikarta\Support und Update' /v Language /t REG_SZ /d 0 /f >>"$work/reg.log" 2>&1
cp -r "samples/common-appdata/." "$WINEPREFIX/drive_c/ProgramData/"

# Runs the command in a fresh virtual desktop and takes the picture once the window has settled:
# again until the desktop is no longer empty, then after the wait, cropped to the window.
shoot() {  # name, seconds to settle, then the program and its arguments
  local shot="$out/windows-$1.png" settle=$2
  shift 2
  wine explorer /desktop=shot,1024x700 "$@" >"$work/run.log" 2>&1 &
  local desktop=$!
  for _ in $(seq 120); do
    sleep 0.5
    import -window root -crop 1024x700+0+0 +repage -trim +repage "$shot" 2>/dev/null || continue
    [ "$(identify -format %w "$shot")" -gt 100 ] && break
  done
  sleep "$settle"
  import -window root -crop 1024x700+0+0 +repage -trim +repage "$shot"
  wineserver -k
  wait "$desktop" || true
  echo "$shot"
}

shoot main-window 3 "$bin/LumikartaSystemInfo.exe"
shoot support-form 3 "$bin/program_window_viewer.exe" support
shoot update-list 2 "$bin/program_window_viewer.exe" updates
shoot download 2 "$bin/program_window_viewer.exe" download "$base/downloads/TopoKarte-Update-310.sh"
