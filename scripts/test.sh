#!/usr/bin/env bash
# Builds everything and runs every test: the whole suite (GUI test included, on
# Qt's offscreen platform), then the core suites again under AddressSanitizer
# and UndefinedBehaviorSanitizer (optimised, so the chip suites run in seconds;
# the benchmark programs are built only once, in the first tree), and last
# runs the parsers' fuzz targets for a few seconds each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLTRIX_BUILD_APP=ON -DMOLTRIX_SANITIZE=OFF -DMOLTRIX_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLTRIX_SANITIZE=ON -DMOLTRIX_WERROR=ON -DMOLTRIX_BUILD_APP=OFF -DMOLTRIX_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure

bash scripts/fuzz.sh
