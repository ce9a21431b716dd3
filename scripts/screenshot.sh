#!/usr/bin/env bash
# Saves three pictures of the window program for the README. Each is one
# session of the real moltrix on a simulated bench under Xvfb, typed into with
# xdotool as the end-to-end test does (tests/e2e/window_driver.sh): setup 1
# loaded from the Setup menu (an Eprom 27C256 and an image file), then F7 and
# OK to program it, verified after programming.
#   window-1280x1024.png   on a 1280x1024 screen, at the size it opens with
#   window-1920x1080.png   filling a 1920x1080 screen (maximised)
#   window-scale2.png      with QT_SCALE_FACTOR=2 on a 1920x1080 screen
#
#   scripts/screenshot.sh [FOLDER]      default docs/
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs}")
bash scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLTRIX_BUILD_APP=ON >/dev/null
cmake --build build --target moltrix
MX_PROGRAM=$PWD/build/src/app/moltrix
# shellcheck source=tests/e2e/window_driver.sh
source tests/e2e/window_driver.sh
mkdir -p "$out"

# An image an operator might burn: a text line, then every byte value in turn.
make_image() {
    local all _
    all=$(printf '\\%03o' {0..255})
    { printf 'MOLTRIX-6 sample image for an Eprom 27C256\r\n'; for _ in {1..128}; do printf '%b' "$all"; done; } |
        head -c 32768 >"$1"
}

# capture FILE SCREEN: the window (all of the screen when it fills it), once
# two captures a moment apart agree, so that it has finished painting.
capture() {
    # shellcheck disable=SC2034  # WINDOW and SCREEN: set by the eval, not needed
    local X Y WIDTH HEIGHT WINDOW SCREEN _
    eval "$(xdotool getwindowgeometry --shell "$MX_WIN")"
    import -window root -depth 8 "rgb:$MX_WORK/a.rgb"
    for _ in $(seq 20); do
        sleep 0.2
        import -window root -depth 8 "rgb:$MX_WORK/b.rgb"
        cmp -s "$MX_WORK/a.rgb" "$MX_WORK/b.rgb" && break
        mv "$MX_WORK/b.rgb" "$MX_WORK/a.rgb"
    done
    convert -size "$2" -depth 8 "rgb:$MX_WORK/a.rgb" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
        -strip -define png:exclude-chunks=date,time "$1"
    echo "saved $1 (${WIDTH}x${HEIGHT})"
}

# shoot FILE SCREEN [fill|scale2]: one session on a fresh bench and display;
# the window filling the screen, or at twice Qt's scale.
shoot() (
    file=$1 screen=$2 how=${3:-}
    [ "$how" = scale2 ] && export QT_SCALE_FACTOR=2
    MX_WORK=$(mktemp -d "${TMPDIR:-/tmp}/moltrix-shot.XXXXXX")
    trap 'mx_cleanup; rm -rf "$MX_WORK"' EXIT
    trap 'exit 1' HUP INT TERM
    make_image "$MX_WORK/sample.bin"
    # Named from the working folder, so that no temporary folder shows.
    mx_write_setup sample.bin
    mx_display "$screen"
    mx_start "6@378:27C256=$MX_WORK/chip.bin"
    [ "$how" = fill ] && mx_fill_screen "${screen%x*}" "${screen#*x}"
    mx_load_setup1
    mx_program
    capture "$file" "$screen"
    mx_exit
)

shoot "$out/window-1280x1024.png" 1280x1024
shoot "$out/window-1920x1080.png" 1920x1080 fill
shoot "$out/window-scale2.png" 1920x1080 scale2
