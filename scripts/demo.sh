#!/usr/bin/env bash
# Builds the tree. The program it will start does not exist yet: the system-information window
# comes next; until then this says so instead of pretending.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
echo
echo "LumikartaSystemInfo is not built yet: this stage holds its foundation (registry stand-in,"
echo "registry walker, XML wrapper, HTTP transport). Run scripts/test.sh to see it at work."
