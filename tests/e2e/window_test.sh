#!/usr/bin/env bash
# The window program end to end, from the keyboard: moltrix on a simulated
# bench with an erased 27C256, under Xvfb. Loads setup 1 from the Setup menu
# (the device, the options and an image file), programs the chip with F7 and
# OK, resizes the window to 1800x1000 and leaves by File > Exit. The chip's
# image file, which the bench writes as the program ends, must then hold the
# image byte for byte.
#   tests/e2e/window_test.sh MOLTRIX      exit 0 passed, 1 failed, 77 skipped
set -euo pipefail
MX_PROGRAM=$(realpath "${1:?usage: window_test.sh MOLTRIX}")
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# shellcheck source=SCRIPTDIR/window_driver.sh
source "$(dirname "$0")/window_driver.sh"
MX_LIMIT=100  # every wait ends by then, well inside the test's time limit

MX_WORK=$(mktemp -d "${TMPDIR:-/tmp}/moltrix-e2e.XXXXXX")
trap 'mx_cleanup; rm -rf "$MX_WORK"' EXIT
trap 'exit 1' HUP INT TERM

# An erased chip, and a random image.
head -c 32768 /dev/zero | tr '\0' '\377' >"$MX_WORK/chip.bin"
head -c 32768 /dev/urandom >"$MX_WORK/image.bin"
cmp -s "$MX_WORK/chip.bin" "$MX_WORK/image.bin" && mx_fail "the image is an erased chip's"
mx_write_setup "$MX_WORK/image.bin"

mx_display 1920x1080
mx_start "6@378:27C256=$MX_WORK/chip.bin"
mx_load_setup1
mx_program
mx_resize 1800 1000
mx_exit

cmp "$MX_WORK/chip.bin" "$MX_WORK/image.bin" || mx_fail "the chip does not hold the image"
echo "PASS: the chip holds the image"
