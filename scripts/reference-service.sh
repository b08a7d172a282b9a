# Sourced by the scripts that run the program against reference services on 127.0.0.1.
#
# start_service NAME [OPTIONS]: starts the service executable in $service with its data (certificates,
# requests) in $work/NAME, adds its process id to service_pids, and sets service_url to its address
# once it listens; 1 when it does not come up.
start_service() {
  local name=$1
  shift
  "$service" --data "$work/$name" "$@" >"$work/$name.out" 2>&1 &
  service_pids+=($!)
  for _ in $(seq 50); do
    grep -q '^faq ' "$work/$name.out" 2>/dev/null && break
    kill -0 "${service_pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  service_url=$(sed -n 's/^listening //p' "$work/$name.out")
  [ -n "$service_url" ] || { cat "$work/$name.out" >&2; return 1; }
}

# signing_with BUILD_DIR: sets the array signing_options to the options that make a service sign its update
# definitions with the build's own key (<build>/update-signing/private.pem, made when the build was
# configured without LUMIKARTA_UPDATE_KEYS), the key that build's program trusts. A build given the
# maker's keys has none: its definitions are the maker's to sign, and served unsigned they are refused.
signing_with() {
  signing_options=()
  if [ -f "$1/update-signing/private.pem" ]; then
    signing_options=(--signing-key "$1/update-signing/private.pem")
  else
    echo "NOTE: $1 trusts the maker's keys (LUMIKARTA_UPDATE_KEYS) and has no key of its own, so the" \
      "update definitions are served unsigned and the program refuses them" >&2
  fi
}
