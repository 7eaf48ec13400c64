#!/usr/bin/env bash
# End-to-end check of the demo under Wine in an Xvfb display of its own (the
# 64-bit build under wine64, the 32-bit product through scripts/wine32-run):
# the "Wirlo" window opens with an 800x600 client area at the centred position,
# presented frames show a spiral that changes from capture to capture, Escape
# ends the program with exit code 0, and so does the close box in a second run
# (started with an argument, which the Windows program ignores).
# Then the test card: its window shows exactly the card's picture in memory,
# and Escape ends it with exit code 0.
# The 32-bit product (this build, or the i686 build beside it when that has
# been built) must be a GUI-subsystem PE32 executable for Intel 386.
# Usage: demo_win.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin demo_win "$@"
work=$(mktemp -d)
trap wine_check_end EXIT

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
start_display

# ---- first run: window, frames, Escape ----
check_windows_demo "$wine_run" "$exe"
wine_settle

# ---- second run: the close box (WM_DELETE_WINDOW to the window) ----
# Given --version, the Windows program runs all the same: it takes no command line.
start_demo "$wine_run" "$exe" --version
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
