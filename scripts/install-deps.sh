#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the benchmarks need.
#   scripts/install-deps.sh            the Linux build
#   scripts/install-deps.sh windows    the Windows cross-build and Wine to run its tests (about 170 MB)
#   scripts/install-deps.sh bench      the Linux build and curl, the peer the download and the support
#                                      call are measured against
# Does nothing when every package is already there, so it is cheap to call first in every script.
set -euo pipefail

# fonts-dejavu-core: the windows are laid out in units of their font's size, so the tests need a real
# font also on a machine without a desktop.
# ca-certificates: libcurl fails every HTTPS exchange without the system's trust store, also when
# LUMIKARTA_CA_BUNDLE names an extra authority.
# xdg-utils: xdg-open, through which the program starts a downloaded installer.
# qt6-translations-l10n: Qt's own words in its dialogs in the system's language (a test reads the German).
# openssl: the signing command's test checks that stock OpenSSL and our command agree.
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev libcurl4-openssl-dev ca-certificates libpugixml-dev libcups2-dev libacl1-dev
  libcpp-httplib-dev libssl-dev libgtest-dev libgmock-dev pci.ids fonts-dejavu-core xdg-utils openssl
  qt6-translations-l10n
)
# The posix thread model compilers (the win32 one has no std::thread); wine puts the runner on the
# PATH, wine64 alone does not; googletest brings the sources the cross-build compiles; openssl
# reads the test services' authority for the Wine prefix's trust store; nsis makes the installer;
# xvfb is the display of the window tests; imagemagick and xdotool take the windows' pictures.
if [ "${1:-}" = windows ]; then
  packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64 wine64 wine googletest openssl nsis xvfb
    imagemagick xdotool)
fi
if [ "${1:-}" = bench ]; then
  packages+=(curl)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
