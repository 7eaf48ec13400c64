#!/usr/bin/env bash
# The native demo end to end, in an Xvfb display of its own: the "Wirlo" window
# with an 800x600 client area centred on the screen, a spiral that appears and
# changes between two screenshots taken apart, then exit code 0 on Escape
# and, in a second run, on the close button (WM_DELETE_WINDOW); exit code 0
# within 3 s of SIGINT and of SIGTERM, each ending the demo as the close button
# does; and without any display, the start-up message and exit code 3 at once.
# Then the test card: its window shows exactly the card's picture in memory,
# and Escape ends it with exit code 0.
# The native build runs under AddressSanitizer and UndefinedBehaviorSanitizer,
# which end the program with a non-zero code on any error they find.
# Usage: demo_sdl.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin demo_sdl "$@"
work=$(mktemp -d)
xvfb_pid=""
demo_pid=""
finish() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

exe="$build/Wirlo"
[ -x "$exe" ] || fail "no $exe"
# Leaks inside the system's display and GL libraries are not the program's; the
# program's own memory is checked for leaks by the in-memory frame tests.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

# ---- no display: a start-up failure, not a loop that runs unseen ----
env -u DISPLAY -u WAYLAND_DISPLAY timeout -s KILL 10 "$exe" >"$work/out.txt" 2>&1
code=$?
[ "$code" = 3 ] || fail "no display: exit code $code (expected 3): $(tail -n 3 "$work/out.txt")"
grep -q "Wirlo cannot start: no graphics screen is available" "$work/out.txt" ||
  fail "no display: no start-up message: $(tail -n 3 "$work/out.txt")"
note "no display: exit code 3 with the start-up message"

read -r display xvfb_pid < <("$root/scripts/xvfb-start.sh") || fail "Xvfb did not start"
export DISPLAY="$display"
read_screen_size

# ---- first run: window, frames, Escape ----
start_demo "$exe"
sleep 0.5
check_centred_client_area
check_spiral "$win" 60
press_escape
wait_demo 30
[ "$code" = 0 ] || fail "Escape: exit code $code (expected 0): $(tail -n 5 "$work/out.txt")"
note "Escape: exit code 0"

# ---- second run: the close button ----
start_demo "$exe"
sleep 2
close_window "$win" || fail "could not send WM_DELETE_WINDOW"
wait_demo 30
[ "$code" = 0 ] || fail "close button: exit code $code (expected 0): $(tail -n 5 "$work/out.txt")"
note "close button: exit code 0"

# ---- quit requests from the system ----
# With job control on, the demo starts with SIGINT at its default instead of
# ignored, as a program started from a terminal does.
set -m
for sig in INT TERM; do
  start_demo "$exe"
  sleep 1
  kill -s "$sig" "$demo_pid"
  wait_demo 3
  [ "$code" = 0 ] || fail "SIG$sig: exit code $code (expected 0 within 3 s): $(tail -n 5 "$work/out.txt")"
  note "SIG$sig: exit code 0"
done

# ---- the test card ----
"$build/tests/testcard_picture" "$work/card.bmp" >/dev/null || fail "testcard_picture failed"
check_testcard "$work/card.bmp" 30 "$build/testcard"
pass
