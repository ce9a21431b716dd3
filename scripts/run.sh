#!/usr/bin/env bash
# Builds the program and starts it. With no parallel port on this machine it
# starts on the simulated board: a MOLTRIX-6 at 378h holding a 27C256 whose
# contents are kept in build/sim-27C256.bin between runs. Extra arguments are
# passed to the program (for example: --simulate 5@278:AM29F040=flash.bin).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLTRIX_BUILD_APP=ON -DMOLTRIX_SANITIZE=OFF >/dev/null
cmake --build build -j "$(nproc)" --target moltrix
args=("$@")
if [ ${#args[@]} -eq 0 ] && ! ls /dev/parport* >/dev/null 2>&1; then
  args=(--simulate "6@378:27C256=$PWD/build/sim-27C256.bin")
fi
exec ./build/src/app/moltrix "${args[@]}"
