#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the test suites.
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --release    the optimised build a packager makes (no benchmarks), in build-release/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer, in build-asan/
#   scripts/test.sh --tsan       ThreadSanitizer, in build-tsan/
#   scripts/test.sh --fuzz       builds the libFuzzer targets with clang, in build-fuzz/ (runs none)
#   scripts/test.sh --windows    cross-builds the program, its installer and the Windows tests with
#                                mingw-w64 in build-win/ and runs them under Wine (the reference
#                                service from build/)
set -euo pipefail
cd "$(dirname "$0")/.."

# Our own builds treat every warning as an error; the option is off for packagers.
werror=-DLUMIKARTA_WERROR=ON

mode=${1:-normal}
bash scripts/install-deps.sh
[ "$mode" = --windows ] && bash scripts/install-deps.sh windows

jobs=$(nproc)
case "$mode" in
  normal)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $werror
    cmake --build build -j "$jobs"
    ctest --test-dir build --output-on-failure -j "$jobs"
    ;;
  --release)
    cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMIKARTA_BENCH=OFF $werror
    cmake --build build-release -j "$jobs"
    ctest --test-dir build-release --output-on-failure -j "$jobs"
    ;;
  --sanitize)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMIKARTA_SANITIZE=ON -DLUMIKARTA_BENCH=OFF $werror
    cmake --build build-asan -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --test-dir build-asan --output-on-failure -j "$jobs"
    ;;
  --tsan)
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMIKARTA_TSAN=ON -DLUMIKARTA_BENCH=OFF $werror
    cmake --build build-tsan -j "$jobs"
    # Qt is not built with the sanitizer: what its own threads allocate and free (the pooled threads
    # that paint a shown window) is passed between them through locks the sanitizer cannot see. Our
    # code is instrumented, so its races are still reported.
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1 \
      ctest --test-dir build-tsan --output-on-failure -j "$jobs"
    ;;
  --fuzz)
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DLUMIKARTA_FUZZ=ON -DLUMIKARTA_TESTS=OFF -DLUMIKARTA_BENCH=OFF $werror
    cmake --build build-fuzz -j "$jobs"
    ;;
  --windows)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $werror
    cmake --build build -j "$jobs" --target lumikarta-service
    cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIKARTA_BENCH=OFF $werror \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
    cmake --build build-win -j "$jobs"
    ctest --test-dir build-win --output-on-failure -R '^layering$'
    (cd build-win && cpack -G NSIS)
    bash scripts/wine-tests.sh build-win build/bin/lumikarta-service
    ;;
  *)
    echo "usage: scripts/test.sh [--release|--sanitize|--tsan|--fuzz|--windows]" >&2
    exit 2
    ;;
esac
