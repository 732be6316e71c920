#!/usr/bin/env bash
# Installs what is needed, builds every configuration and runs every test:
# native unit tests (plain, then with AddressSanitizer and UBSan), the loader
# fuzz target for a bounded time, the 32-bit and 64-bit Windows builds, and
# the Wine tests of the 64-bit build. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
fuzz_seconds=${DARVEX_FUZZ_SECONDS:-60}
jobs=${DARVEX_JOBS:-2}

step() { printf '\n==== %s\n' "$*"; }

step "Installing packages"
bash tools/install-deps.sh

step "Native build and unit tests"
cmake -S . -B build/native -G Ninja -DDARVEX_WERROR=ON >/dev/null
ninja -C build/native -j"$jobs"
ctest --test-dir build/native -j"$jobs" --output-on-failure

step "Native build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -G Ninja -DDARVEX_WERROR=ON -DDARVEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize -j"$jobs" --output-on-failure

if [ -x tools/run_fuzz.sh ]; then
  step "Loader fuzz target (${fuzz_seconds} s)"
  bash tools/run_fuzz.sh "$fuzz_seconds"
fi

step "Windows 32-bit build (release)"
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DDARVEX_WERROR=ON -DDARVEX_TESTS=OFF >/dev/null
ninja -C build/win32 -j"$jobs"

step "Windows 64-bit build and the tests under Wine"
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
  -DDARVEX_WERROR=ON >/dev/null
ninja -C build/win64 -j"$jobs"
# Wine's servers and the Xvfb display end with the tests, whatever their outcome.
trap 'bash tools/wine-stop.sh build/win64' EXIT
ctest --test-dir build/win64 -j2 --output-on-failure

step "All tests passed"
