#!/usr/bin/env bash
# The runtime's start-up and shutdown under Wine (wine64 for the 64-bit build,
# scripts/wine32-run for the 32-bit one) in an Xvfb display of its own: every
# library ready after start-up, back to as before after the end steps, and a
# second start-up in the same process that runs the demo's frames and ends with
# exit code 0 (check_runtime_cycle); the start-up failure path with its own
# message and non-zero code; and the demo without any display stops at once with
# a message and a non-zero code.
# Usage: runtime_win.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin runtime_win "$@"
xvfb_pid=""
work=$(mktemp -d)
trap wine_check_end EXIT

tool="$build/tests/runtime_cycle.exe"
[ -f "$tool" ] || fail "no $tool"
exe="$build/Wirlo.exe"
[ -f "$exe" ] || fail "no $exe"
choose_wine "$build"

# Without any display: a clear message and a non-zero exit code, promptly.
wine_settle
env -u DISPLAY timeout 60 "$wine_run" "$exe" >"$work/out.txt" 2>&1
code=$?
[ "$code" -ne 124 ] || fail "without a display the demo did not stop"
[ "$code" -ne 0 ] || fail "without a display the demo exited with 0"
grep -q "Wirlo cannot start" "$work/out.txt" || fail "without a display no message was given: $(tail -n 2 "$work/out.txt")"
note "no display: exit code $code, $(grep -m1 'Wirlo cannot start' "$work/out.txt")"

wine_settle
start_display
check_runtime_cycle "$wine_run" "$tool"
pass
