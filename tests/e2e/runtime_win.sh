#!/usr/bin/env bash
# The runtime's start-up and shutdown under Wine (wine64 for the 64-bit build,
# scripts/wine32-run for the 32-bit one) in an Xvfb display of its own: every
# library is ready after start-up and the shutdown with a window, a screen and
# images open ends the process with exit code 0; the start-up
# failure path reports its message and ends with its own non-zero code; and the
# demo without any display stops at once with a message and a non-zero code.
# Usage: runtime_win.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin runtime_win "$@"
xvfb_pid=""
out=$(mktemp)
finish() {
  wine_settle
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -f "$out"
}
trap finish EXIT


tool="$build/tests/runtime_cycle_win.exe"
[ -f "$tool" ] || fail "no $tool"
exe="$build/Wirlo.exe"
[ -f "$exe" ] || fail "no $exe"
choose_wine "$build"

# Without any display: a clear message and a non-zero exit code, promptly.
wine_settle
env -u DISPLAY timeout 60 "$wine_run" "$exe" >"$out" 2>&1
code=$?
[ "$code" -ne 124 ] || fail "without a display the demo did not stop"
[ "$code" -ne 0 ] || fail "without a display the demo exited with 0"
grep -q "Wirlo cannot start" "$out" || fail "without a display no message was given: $(tail -n 2 "$out")"
echo "  no display: exit code $code, $(grep -m1 'Wirlo cannot start' "$out")"

wine_settle
read -r display xvfb_pid < <("$root/scripts/xvfb-start.sh") || fail "Xvfb did not start"
export DISPLAY="$display"

timeout 120 "$wine_run" "$tool" >"$out" 2>&1
code=$?
grep FAILED "$out" && fail "start-up checks failed"
[ "$code" -eq 0 ] || fail "shutdown exit code $code: $(tail -n 2 "$out")"
echo "  start-up and shutdown: exit code 0"

timeout 120 "$wine_run" "$tool" fail >"$out" 2>&1
code=$?
[ "$code" -eq 9 ] || fail "failure path exit code $code (expected 9)"
grep -q "the failure path works" "$out" || fail "failure path gave no message"
echo "  failure path: exit code 9 with its message"
pass
