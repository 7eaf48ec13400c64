#!/usr/bin/env bash
# End-to-end check of the demo under Wine in an Xvfb display of its own (the
# 64-bit build under wine64, the 32-bit product through scripts/wine32-run):
# the "Wirlo" window opens with an 800x600 client area at the centred position,
# presented frames show a spiral that changes from capture to capture, Escape
# ends the program with exit code 0, and so does the close box in a second run.
# Then the test card: its window shows exactly the card's picture in memory,
# and Escape ends it with exit code 0.
# The 32-bit product (this build, or the i686 build beside it when that has
# been built) must be a GUI-subsystem PE32 executable for Intel 386.
# Usage: demo_win.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin demo_win "$@"
work=$(mktemp -d)
xvfb_pid=""
demo_pid=""

finish() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
  wine_settle
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

exe="$build/Wirlo.exe"
[ -f "$exe" ] || fail "no $exe"
choose_wine "$build"

# The 32-bit product: this build, or the one built beside it.
i686_exe="$root/build/i686/Wirlo.exe"
[ "$wine_run" = "$root/scripts/wine32-run" ] && i686_exe=$exe
if [ -f "$i686_exe" ]; then
  kind=$(pe_kind "$i686_exe")
  [ "$kind" = "PE32 GUI i386" ] || fail "the i686 executable is not a GUI PE32 for Intel 386: $kind"
  note "i686: $kind"
  grep -a -q 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$i686_exe" &&
    grep -a -q 'processorArchitecture="X86"' "$i686_exe" ||
    fail "the i686 executable carries no manifest for the X86 common controls 6.0.0.0"
fi
# The manifest of this build names the common controls 6.0.0.0 for its own
# architecture (a mismatch keeps the program from starting at all).
grep -a -q 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$exe" ||
  fail "the executable carries no manifest for the common controls 6.0.0.0"
kind=$(pe_kind "$exe")
case "$kind" in
  *" GUI "*) ;;
  *) fail "the executable is not a GUI program: $kind" ;;
esac

wine_settle
read -r display xvfb_pid < <("$root/scripts/xvfb-start.sh") || fail "Xvfb did not start"
export DISPLAY="$display"
read_screen_size

# Where Wine shows the frames presented into the child window: Wine 10 and
# later on the visible window itself; Wine 8 only in an unnamed X window of its
# own, off-screen (offscreen_window), while the visible window stays black. The
# check captures the visible window wherever it shows them, and Wine 8's
# off-screen window otherwise.

# ---- first run: window, frames, Escape ----
start_demo "$wine_run" "$exe"
sleep 1
check_centred_client_area

target=$(offscreen_window 800x600)
if [ -n "$target" ]; then
  note "capturing Wine's off-screen window $target (the visible one stays black in this Wine)"
else
  target=$win
  note "capturing the visible window $target"
fi
check_spiral "$target" "$spiral_wait"

press_escape
wait_demo 60
[ "$code" = 0 ] || fail "Escape: exit code $code (expected 0)"
note "Escape: exit code 0"
wine_settle

# ---- second run: the close box (WM_DELETE_WINDOW to the window) ----
start_demo "$wine_run" "$exe"
sleep 2
close_window "$win" || fail "could not send WM_DELETE_WINDOW"
wait_demo 60
[ "$code" = 0 ] || fail "close box: exit code $code (expected 0)"
note "close box: exit code 0"

# ---- the test card ----
wine_settle
"$wine_run" "$build/tests/testcard_picture.exe" "Z:$work/card.bmp" >/dev/null 2>&1 || fail "testcard_picture failed"
check_testcard "$work/card.bmp" "$spiral_wait" "$wine_run" "$build/testcard.exe"
pass
