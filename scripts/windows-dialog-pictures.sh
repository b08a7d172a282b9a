#!/usr/bin/env bash
# Renders each dialog template of both languages as the Windows build shows it, inside Wine's
# virtual desktop on a virtual X display, into OUT_DIR/<template id>-<language>.png.
#   scripts/windows-dialog-pictures.sh WINDOWS_BUILD_DIR OUT_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/virtual-display.sh
viewer="$1/bin/template_dialog_viewer.exe"
out=$2
[ -f "$viewer" ] || { echo "no $viewer: build the Windows build with its tests" >&2; exit 1; }
mkdir -p "$out"

wine_on_virtual_display

# The desktop's plain background is cut away, leaving the dialog with its frame.
for language in de en; do
  for id in 100 102 129 131 138; do
    wine explorer /desktop=shot,1024x700 "$viewer" "$language" "$id" >"$work/viewer.log" 2>&1 &
    desktop=$!
    # Taken again until the dialog shows on the empty desktop, then once more so it is fully painted.
    shot="$out/$id-$language.png"
    for _ in $(seq 60); do
      sleep 0.5
      import -window root -crop 1024x700+0+0 +repage -trim +repage "$shot" 2>/dev/null || continue
      [ "$(identify -format %w "$shot")" -gt 100 ] && break
    done
    sleep 1
    import -window root -crop 1024x700+0+0 +repage -trim +repage "$shot"
    wineserver -k
    wait "$desktop" || true
    echo "$out/$id-$language.png"
  done
done
