# Sourced by the scripts that show Windows windows under Wine without a real display.
#
# start_display FOLDER: starts Xvfb on a free display (its number and log go to FOLDER), sets
# xvfb_pid for the caller to stop it by, and exports DISPLAY; 1 when Xvfb does not come up.
start_display() {
  local folder=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" >"$folder/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$folder/display" ] && break
    sleep 0.1
  done
  [ -s "$folder/display" ] || { cat "$folder/xvfb.log" >&2; return 1; }
  export DISPLAY=":$(head -n 1 "$folder/display")"
}

# wine_on_virtual_display: a temporary folder (work) with a fresh Wine prefix on a virtual display of
# its own; when the script exits, Wine, the display and the reference services in service_pids are
# stopped and the folder is removed.
wine_on_virtual_display() {
  work=$(mktemp -d)
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all
  unset WAYLAND_DISPLAY
  xvfb_pid=
  service_pids=()
  trap stop_wine_on_virtual_display EXIT
  start_display "$work"
  wineboot -i >"$work/wineboot.log" 2>&1
}

stop_wine_on_virtual_display() {
  wineserver -k 2>/dev/null || true
  [ ${#service_pids[@]} -eq 0 ] || kill "${service_pids[@]}" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
