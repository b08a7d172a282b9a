#!/usr/bin/env bash
# Runs the Windows build's tests and program under Wine against reference services started natively
# on 127.0.0.1: everything without a display, except the tests of the windows (*_gui_tests.exe),
# which get a virtual X display of their own.
#   scripts/wine-tests.sh WINDOWS_BUILD_DIR SERVICE_EXECUTABLE
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/virtual-display.sh
source scripts/reference-service.sh
build=$1
service=$2
bin="$build/bin"

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
service_pids=()
xvfb_pid=
cleanup() {
  [ ${#service_pids[@]} -eq 0 ] || kill "${service_pids[@]}" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Puts the authority of a certificate file among the trusted roots of the prefix's user, where
# WinINet looks: the registry form of the store, a certificate property (32) holding the DER bytes,
# under the certificate's SHA-1 thumbprint.
trust_authority() {  # PEM file
  local der length thumbprint
  der=$(openssl x509 -in "$1" -outform DER | od -An -v -tx1 | tr -d ' \n')
  length=$(( ${#der} / 2 ))
  thumbprint=$(openssl x509 -in "$1" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
  wine reg add "HKCU\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint" /v Blob \
    /t REG_BINARY /d "$(le32 32)$(le32 1)$(le32 "$length")$der" /f >/dev/null 2>&1
}

le32() {  # a number as the hex of its four little-endian bytes
  printf '%02x%02x%02x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}

# The signature check's vectors: a document signed on Linux by two keys made for this run, whose
# private halves are gone before any test starts. The test services sign their definitions with the
# first one, which the tests trust through their own seam; the program's build trusts neither.
signing="$work/signing"
mkdir "$signing"
cp tests/fixtures/signing/updates.xml "$signing/"
for signer in signer other; do
  "$service" generate-key "$signing/$signer-private.pem"
  "$service" public-key "$signing/$signer-private.pem" >"$signing/$signer.pem"
done
"$service" sign "$signing/signer-private.pem" "$signing/updates.xml" >"$signing/updates.xml.sig"
"$service" sign "$signing/other-private.pem" "$signing/updates.xml" >"$signing/other.sig"
export LUMIKARTA_TEST_SIGNING_DIR="Z:$signing"

test_signing=(--signing-key "$signing/signer-private.pem")
start_service plain --http --downloads samples/downloads "${test_signing[@]}"
base=$service_url
export LUMIKARTA_TEST_SERVICE_URL="$base"
# Installers at 100 bytes a second: a download the window tests can watch and cancel.
start_service slow --http --downloads samples/downloads --download-rate 100 "${test_signing[@]}"
export LUMIKARTA_TEST_SLOW_SERVICE_URL="$service_url"
# The program itself lists what its build's own key signed.
signing_with "$build"
start_service own --http --downloads samples/downloads "${signing_options[@]}"
own=$service_url
rm "$signing"/*-private.pem
wineboot -i >/dev/null 2>&1

# Two HTTPS services, each with an authority of its own; the prefix trusts the first one only.
# Wine's certificate check does not compare IP addresses, so they are named as localhost, which
# must be 127.0.0.1, the only address the services listen on.
if [ "$(getent ahosts localhost | awk 'NR == 1 { print $1 }')" = 127.0.0.1 ]; then
  start_service trusted
  export LUMIKARTA_TEST_TRUSTED_HTTPS_URL="https://localhost:${service_url##*:}"
  trust_authority "$work/trusted/ca.pem"
  start_service untrusted
  export LUMIKARTA_TEST_UNTRUSTED_HTTPS_URL="https://localhost:${service_url##*:}"
else
  echo "NOTE: localhost does not name 127.0.0.1 first here, so the HTTPS tests under Wine are skipped" >&2
fi

# Wine's service processes keep the standard error of the command that started them open, so
# every output goes to a file rather than a pipe that might never close.
run() {  # log name, seconds, then the command
  local log="$work/$1.log" seconds=$2
  shift 2
  local status=0
  timeout "$seconds" "$@" >"$log" 2>"$log.err" || status=$?
  cat "$log"
  return "$status"
}

run_tests() {  # the test programs
  local test name
  for test in "$@"; do
    name=$(basename "$test" .exe)
    echo "== $name"
    if ! run "$name" 600 wine "$test"; then
      echo "FAILED: $name" >&2
      cat "$work/$name.log.err" >&2
      failed=1
    fi
  done
}

failed=0
run_tests $(find "$bin" -maxdepth 1 -name '*_tests.exe' ! -name '*_gui_tests.exe' | sort)

echo "== LumikartaSystemInfo.exe --print-info"
run print-info 120 wine "$bin/LumikartaSystemInfo.exe" --print-info || failed=1
lines=$(head -n 5 "$work/print-info.log" | grep -c -E '^(CPU|RAM|Grafic|Driver|OS): .*[^ ()]' || true)
if [ "$lines" -ne 5 ]; then
  echo "FAILED: --print-info did not print five filled lines" >&2
  failed=1
fi

# The OS line as each Windows names itself to the program; Wine tells 8.1 and later only to a program
# whose manifest declares them, as Windows does. The lines are Wine 8.0's facts: GetProductInfo gives
# every workstation edition code 28 (Ultimate N, no edition of Windows 8 and later), and no version
# has a release or update revision in the registry. Wine 8.0 knows no Windows 11 (winecfg -v win11
# fails), so that one is its Windows 10 with a Windows 11's build, release and update revision
# written where Windows keeps them, in the registry's 64-bit view; the 32-bit view keeps Windows 10's
# build and no release, so a read there shows.
version_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
windows11_values() {
  local value name type data
  for value in "CurrentBuild REG_SZ 22631" "CurrentBuildNumber REG_SZ 22631" "DisplayVersion REG_SZ 23H2" \
    "UBR REG_DWORD 4460"; do
    read -r name type data <<<"$value"
    run "win11-$name" 60 wine reg add "$version_key" /v "$name" /t "$type" /d "$data" /f /reg:64 >/dev/null ||
      return 1
  done
}

check_os_line() {  # the version as winecfg names it, the OS line the program must print
  local version=$1 expected=$2 line
  echo "== LumikartaSystemInfo.exe --print-info on $version"
  if [ "$version" = win11 ]; then
    run winecfg-win11 60 winecfg -v win10 && windows11_values
  else
    run "winecfg-$version" 60 winecfg -v "$version"
  fi || {
    echo "FAILED: the prefix could not be set to $version" >&2
    failed=1
    return
  }
  run "print-info-$version" 120 wine "$bin/LumikartaSystemInfo.exe" --print-info >/dev/null || failed=1
  line=$(grep '^OS: ' "$work/print-info-$version.log" | tr -d '\r' || true)
  echo "$line"
  if [ "$line" != "$expected" ]; then
    echo "FAILED: on $version the OS line is not \"$expected\"" >&2
    failed=1
  fi
}

check_os_line win7 "OS: Microsoft Windows 7 Ultimate N Edition, 64-bit Service Pack 1 (build 7601)"
check_os_line win81 "OS: Microsoft Windows 8.1, 64-bit (build 9600)"
check_os_line win10 "OS: Microsoft Windows 10, 64-bit (build 18362)"
check_os_line win11 "OS: Microsoft Windows 11 23H2, 64-bit (build 22631.4460)"
# Back to Wine's own version for the rest; the release values left behind are not read on it.
run winecfg-win7 60 winecfg -v win7 || failed=1

# The sample machine's products, written into the 32-bit view of the prefix's registry, so the
# sample definition offers updates.
echo "== LumikartaSystemInfo.exe --list-updates"
run import 120 wine reg import "Z:$PWD/samples/hklm.reg" /reg:32 || true
if [ ${#signing_options[@]} -gt 0 ]; then
  LUMIKARTA_UPDATE_URL="$own/downloads/updates.xml" run list-updates 120 wine "$bin/LumikartaSystemInfo.exe" \
    --list-updates || failed=1
  if ! grep -q "^TopoKarte Deutschland 3.1	310	$own/downloads/TopoKarte-Update-310.sh" "$work/list-updates.log"; then
    echo "FAILED: --list-updates did not list the sample updates" >&2
    cat "$work/list-updates.log.err" >&2
    failed=1
  fi
fi
# Signed by a key the build does not trust: refused, nothing listed.
status=0
LUMIKARTA_UPDATE_URL="$base/downloads/updates.xml" run list-updates-foreign 120 wine "$bin/LumikartaSystemInfo.exe" \
  --list-updates || status=$?
if [ "$status" -ne 3 ] || [ -s "$work/list-updates-foreign.log" ] ||
  ! grep -q -E 'signiert|signed' "$work/list-updates-foreign.log.err"; then
  echo "FAILED: --list-updates took a definition signed by a foreign key (status $status)" >&2
  cat "$work/list-updates-foreign.log.err" >&2
  failed=1
fi

echo "== installer"
bash scripts/wine-installer-test.sh "$build" "$work" || failed=1

# Wine's desktop process keeps the display it was started with, so the window tests get a fresh
# wineserver, and with it a desktop, on the virtual display.
gui_tests=$(find "$bin" -maxdepth 1 -name '*_gui_tests.exe' | sort)
if [ -n "$gui_tests" ]; then
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if start_display "$work"; then
    run_tests $gui_tests
  else
    echo "FAILED: no virtual display for the window tests" >&2
    failed=1
  fi
fi
exit "$failed"
