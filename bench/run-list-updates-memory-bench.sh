#!/usr/bin/env bash
# Installs curl, the peer the program's memory is measured against, builds, and runs the benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target list_updates_memory_bench
build/bench/list_updates_memory_bench "$@"
