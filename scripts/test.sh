#!/usr/bin/env bash
# Builds everything and runs every test: the whole suite (GUI test included, on
# Qt's offscreen platform), then the core suites again under AddressSanitizer
# and UndefinedBehaviorSanitizer (at -O1 with line tables only: it builds in
# half the time of -O2 -g and its chip suites still run in seconds; the
# benchmark programs are built only once, in the first tree), and last runs the
# parsers' fuzz targets for a few seconds each. Tests run as many at a time as
# the machine has processors; each works in folders of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLTRIX_BUILD_APP=ON -DMOLTRIX_SANITIZE=OFF -DMOLTRIX_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build -j "$jobs" --output-on-failure
# The Debian package: built, checked with lintian, and where this user may,
# installed, tried and removed again.
bash scripts/package-check.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" -DMOLTRIX_SANITIZE=ON -DMOLTRIX_WERROR=ON -DMOLTRIX_BUILD_APP=OFF -DMOLTRIX_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan -j "$jobs" --output-on-failure

bash scripts/fuzz.sh
