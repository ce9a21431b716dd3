#!/usr/bin/env bash
# Saves a picture of the window after a short session on the simulated board:
# a 27C256 selected, an image opened, programmed and verified, all through the
# window's real widgets (the GUI suite's session test), under Xvfb.
#   scripts/screenshot.sh [FILE]      default docs/screenshot.png
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshot.png}")"
bash scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLTRIX_BUILD_APP=ON >/dev/null
cmake --build build --target test_app
mkdir -p "$(dirname "$out")"
MOLTRIX_SCREENSHOT="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/src/app/test_app --gtest_filter=SessionTest.SelectOpenProgramAndVerifyAnEprom
echo "saved $out"
