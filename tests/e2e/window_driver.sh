# shellcheck shell=bash
# Drives the real moltrix window under Xvfb with xdotool, as an operator does
# from the keyboard. Sourced by the end-to-end test (tests/e2e/window_test.sh)
# and by scripts/screenshot.sh; needs bash, Xvfb and xdotool.
#
# The caller sets MX_PROGRAM (the moltrix executable) and MX_WORK (an empty
# folder of its own: the program's working folder, its settings, the chip and
# image files), then calls mx_display, mx_start and the steps below. Every
# wait polls with a bound and ends the caller's shell with a message when the
# window does not get there in time; nothing waits on a fixed sleep alone.
# MX_LIMIT, when set, bounds them all: no wait goes past that many seconds of
# the caller's run (bash's SECONDS).

MX_MAIN_TITLE='^MOLTRIX-6 Eprom Programmer'
# The window class of every window of the program (its application name).
MX_CLASS='^MOLTRIX6$'
MX_PID=""
MX_XVFB_PID=""
MX_WIN=""

mx_fail() {
    echo "FAIL: $*" >&2
    if [ -s "$MX_WORK/moltrix.out" ]; then
        echo "--- moltrix's output:" >&2
        tail -n 20 "$MX_WORK/moltrix.out" >&2
    fi
    if [ -s "$MX_WORK/xvfb.log" ]; then
        echo "--- Xvfb's output (display ${DISPLAY:-none}):" >&2
        tail -n 20 "$MX_WORK/xvfb.log" >&2
    fi
    exit 1
}

# mx_wait SECONDS WHAT COMMAND...: runs COMMAND (quiet) every tenth of a
# second until it succeeds; fails naming WHAT after SECONDS, or at once when
# the program has ended meanwhile or shows its error box.
mx_wait() {
    local limit=$1 what=$2
    local deadline=$((SECONDS + limit))
    if [ -n "${MX_LIMIT:-}" ] && [ "$deadline" -gt "$MX_LIMIT" ]; then deadline=$MX_LIMIT; fi
    shift 2
    until "$@"; do
        if [ -n "$MX_PID" ] && [ "$1" != mx_ended ] && mx_ended; then
            local status=0
            wait "$MX_PID" || status=$?
            MX_PID=""
            mx_fail "$what: moltrix ended first, with status $status"
        fi
        if [ -n "$MX_PID" ] && mx_dialog_shown "Critical Message"; then
            mx_fail "$what: moltrix reports an error (Program or Compare Error)"
        fi
        [ "$SECONDS" -lt "$deadline" ] || mx_fail "$what: not in time (${limit}s, or the run's ${MX_LIMIT:-}s)"
        sleep 0.1
    done
}

# Every xdotool call is bounded too: --sync waits would otherwise wait forever.
mx_xdo() { timeout 10 xdotool "$@" 2>/dev/null; }

# mx_display WIDTHxHEIGHT: starts Xvfb on a free display of that size (the
# server picks the number) and points DISPLAY at it. -noreset: by default
# the server resets whenever its last client leaves (each xdotool call), and
# a program connecting meanwhile is refused.
mx_display() {
    : >"$MX_WORK/display"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$MX_WORK/display" 2>"$MX_WORK/xvfb.log" &
    MX_XVFB_PID=$!
    mx_wait 20 "Xvfb started" mx_display_ready
    DISPLAY=":$(head -n 1 "$MX_WORK/display")"
    export DISPLAY
    # The pointer in a corner, where no tool tip opens (a tip is a window too).
    mx_xdo mousemove "${1%x*}" "${1#*x}"
}

# The server writes the display's number and a line end once it takes clients.
mx_display_ready() { [ -s "$MX_WORK/display" ] && [ -z "$(tail -c 1 "$MX_WORK/display")" ]; }

# mx_cleanup: ends the program and the display this shell started.
mx_cleanup() {
    local pid
    for pid in "$MX_PID" "$MX_XVFB_PID"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    MX_PID=""
    MX_XVFB_PID=""
}

# mx_write_setup IMAGE: setup slot 1 in the working folder, as Save Setup #1
# writes it: the Eprom 27C256 (row 11 of the device list, the row number
# `moltrix-cli list` shows), 12.5 V, verify after programming, port 378h, both
# bytes, the fastest speed, and IMAGE as the code file.
mx_write_setup() {
    printf '%s\r\n' \
        "SetupName = 27C256 test image" \
        "sFILE = $1" \
        "Device.Index = 11" \
        "Voltage_button(0).value = False" \
        "Voltage_button(1).value = True" \
        "Voltage_button(2).value = False" \
        "Voltage_button(3).value = False" \
        "CheckBlankPriorProgramming.Value = 0" \
        "VerifyAfterProgramming.Value = 1" \
        "LPTSelection(0).Value = True" \
        "LPTSelection(1).Value = False" \
        "LPTSelection(2).Value = False" \
        "PortSelected.Text = 378h" \
        "HiLow_button(0).Value = True" \
        "HiLow_button(1).Value = False" \
        "HiLow_button(2).Value = False" \
        "Slider1.Value = 20" \
        "CheckCode.Value = 1" \
        "CheckData.Value = 0" >"$MX_WORK/MXSetup1.INI"
}

mx_find_main() {
    MX_WIN=$(xdotool search --onlyvisible --name "$MX_MAIN_TITLE" 2>/dev/null | head -n 1)
    [ -n "$MX_WIN" ]
}

# mx_start BENCH: starts moltrix on the simulated bench BENCH in the working
# folder, with its settings store in the working folder too (the operator's
# own is never touched), and waits for the main window. Extra Qt settings
# (QT_SCALE_FACTOR) come from the caller's environment.
mx_start() {
    mkdir -p "$MX_WORK/config" "$MX_WORK/run"
    chmod 700 "$MX_WORK/run"
    (cd "$MX_WORK" && exec env XDG_CONFIG_HOME="$MX_WORK/config" XDG_RUNTIME_DIR="$MX_WORK/run" \
        QT_QPA_PLATFORM=xcb "$MX_PROGRAM" --simulate "$1") >"$MX_WORK/moltrix.out" 2>&1 &
    MX_PID=$!
    mx_wait 20 "the main window shown" mx_find_main
    mx_wait_idle 20
}

# mx_keys KEY...: types into the main window (or into the menu or dialog it has
# open). With no window manager nobody gives the window the focus back after
# a dialog closes, so every call gives it first.
mx_keys() {
    mx_xdo windowfocus --sync "$MX_WIN" || return 1
    mx_xdo key --delay 40 "$@"
}

# mx_menus N: exactly N menus are open. A menu is a window of the program's
# class with no WM_NAME (Qt gives its title only as _NET_WM_NAME); the main
# window and the dialogs have one.
mx_menus() {
    local all named
    all=$(xdotool search --onlyvisible --class "$MX_CLASS" 2>/dev/null | sort)
    named=$(xdotool search --onlyvisible --name '.' 2>/dev/null | sort)
    [ "$(comm -23 <(echo "$all") <(echo "$named") | grep -c .)" -eq "$1" ]
}

mx_dialog_shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
mx_dialog_gone() { ! mx_dialog_shown "$1"; }

# mx_opens N KEY: N menus are open, or KEY opens the Nth within half a second.
# A key that came too early (the window just shown, or still busy) is lost,
# so the callers ask again until it lands.
mx_opens() {
    mx_menus "$1" && return 0
    mx_keys "$2" || return 1
    local _
    for _ in 1 2 3 4 5; do
        mx_menus "$1" && return 0
        sleep 0.1
    done
    return 1
}

# While a command runs the window throws keys away, so it is idle once Alt+F
# opens the File menu. Leaves the menu open.
mx_file_menu_opens() { mx_opens 1 alt+f; }

# mx_wait_idle SECONDS: waits until the window takes keys again; no menu is
# left open.
mx_wait_idle() {
    mx_wait "$1" "the window idle again" mx_file_menu_opens
    mx_close_menus
}

mx_close_menus() {
    mx_keys Escape
    mx_wait 5 "the menu closed" mx_menus 0
    # Out of the menu bar's keyboard mode too; the window ignores a spare Escape.
    mx_keys Escape
}

# mx_load_setup1: Setup > Load Setup > the first entry, which carries the
# name of setup 1 once the menu has looked at the saved setups.
mx_load_setup1() {
    mx_wait 5 "the Setup menu open" mx_opens 1 alt+s
    mx_wait 5 "the Load Setup menu open" mx_opens 2 l
    mx_keys Return
    mx_wait 5 "the menus closed" mx_menus 0
    mx_wait_idle 15
}

# mx_program: F7 (Command > Program Device Code); the safety question's
# default is Cancel, so Tab moves to OK and Return answers it. Waits for the
# programming (and the verify the setup asks for after it) to end.
mx_program() {
    mx_keys F7
    mx_wait 10 "the Safety Question asked" mx_dialog_shown "Safety Question"
    local box
    box=$(xdotool search --onlyvisible --name '^Safety Question$' 2>/dev/null | head -n 1)
    mx_xdo windowfocus --sync "$box" key --delay 40 Tab Return
    mx_wait 5 "the Safety Question answered" mx_dialog_gone "Safety Question"
    mx_wait_idle 60
}

# mx_geometry_is WIDTH HEIGHT [X Y]
mx_geometry_is() {
    # shellcheck disable=SC2034  # WINDOW and SCREEN: set by the eval, not needed
    local WIDTH HEIGHT X Y WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$MX_WIN" 2>/dev/null)"
    [ "$WIDTH" -eq "$1" ] && [ "$HEIGHT" -eq "$2" ] && { [ -z "${3:-}" ] || { [ "$X" -eq "$3" ] && [ "$Y" -eq "$4" ]; }; }
}

# mx_resize WIDTH HEIGHT
mx_resize() {
    mx_xdo windowsize "$MX_WIN" "$1" "$2"
    mx_wait 10 "the window sized $1x$2" mx_geometry_is "$1" "$2"
}

# mx_fill_screen WIDTH HEIGHT: what maximised means with no window manager.
mx_fill_screen() {
    mx_xdo windowmove "$MX_WIN" 0 0
    mx_xdo windowsize "$MX_WIN" "$1" "$2"
    mx_wait 10 "the window filling the screen" mx_geometry_is "$1" "$2" 0 0
}

mx_ended() { ! kill -0 "$MX_PID" 2>/dev/null; }

# mx_exit: File > Exit; waits for the program to end (the bench saves the
# chip's image file then) and fails unless it ended with status 0.
mx_exit() {
    mx_wait 5 "the File menu open" mx_file_menu_opens
    mx_keys x
    mx_wait 15 "the program ended" mx_ended
    local status=0
    wait "$MX_PID" || status=$?
    MX_PID=""
    [ "$status" -eq 0 ] || mx_fail "moltrix ended with status $status"
}
