#!/usr/bin/env bash
# The native demo end to end, in an Xvfb display of its own: the "Wirlo" window
# with an 800x600 client area centred on the screen, a spiral that appears and
# changes between two screenshots taken apart, then exit code 0 on Escape
# and, in a second run, on the close button (WM_DELETE_WINDOW). The native
# build runs under AddressSanitizer and UndefinedBehaviorSanitizer, which end
# the program with a non-zero code on any error they find.
# Usage: demo_posix.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
results=${2:-$build/results}
name=demo_posix
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/lib.bash"
mkdir -p "$results"
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
pass
