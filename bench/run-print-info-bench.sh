#!/usr/bin/env bash
# Installs the two programs that --print-info is measured against, builds, and runs the benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
for peer in neofetch inxi; do
  if ! dpkg-query -W -f='${Status}' "$peer" 2>/dev/null | grep -q "install ok installed"; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends neofetch inxi
    break
  fi
done
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target print_info_bench
build/bench/print_info_bench "$@"
