#!/bin/sh
# Stand-in installer of the sample update definition: says which update it would install and
# changes nothing on this computer.
update="TopoKarte Deutschland Update 3.0.5"
message="Dieses Beispiel würde jetzt $update installieren. Es wurde nichts verändert."
printf '%s\n' "$message"
# In the background: without a notification daemon notify-send may wait long for one to start.
if command -v notify-send >/dev/null 2>&1; then
    notify-send "Lumikarta Update" "$message" >/dev/null 2>&1 &
fi
exit 0
