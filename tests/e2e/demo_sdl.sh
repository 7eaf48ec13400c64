#!/usr/bin/env bash
# The native demo end to end, in an Xvfb display of its own: the "Wirlo" window
# with an 800x600 client area centred on the screen, a spiral that appears and
# changes between two screenshots taken apart, then exit code 0 on Escape;
# exit code 0 within 1 s of the close button (WM_DELETE_WINDOW), of SIGINT and
# of SIGTERM (which end the demo as the close button does), each sent behind
# 3000 queued pointer moves; run-demo.sh ending the demo at once on a second
# Ctrl+C; and without any display, the start-up message and exit code 3 at
# once, while --version and --help answer with exit code 0 and another
# argument is refused with exit code 7.
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
trap check_end EXIT

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

# ---- the command line, answered before any display is needed ----
version=$(sed -n 's/^project(Wirlo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
while IFS='|' read -r arguments expected_code expected_line; do
  # shellcheck disable=SC2086  # the arguments are words
  env -u DISPLAY -u WAYLAND_DISPLAY timeout -s KILL 10 "$exe" $arguments >"$work/out.txt" 2>&1
  code=$?
  [ "$code" = "$expected_code" ] && grep -qxF "$expected_line" "$work/out.txt" ||
    fail "Wirlo $arguments: exit code $code (expected $expected_code with '$expected_line'): $(head -n 3 "$work/out.txt")"
done <<EOF
--version|0|Wirlo $version
--help|0|Usage: Wirlo [--version | --help]
--fast|7|Wirlo: unknown argument '--fast'
--help now|7|Wirlo: unknown argument 'now'
EOF
note "--version: $("$exe" --version | head -n 1); --help; other arguments: exit code 7"

start_display

# ---- first run: window, frames, Escape ----
start_demo "$exe"
sleep 0.5
check_centred_client_area
check_spiral "$win" 60
press_escape
wait_demo 30
[ "$code" = 0 ] || fail "Escape: exit code $code (expected 0): $(tail -n 5 "$work/out.txt")"
note "Escape: exit code 0"

# ---- the close button and quit requests, each behind a burst of input ----
# 3000 pointer moves over the window are queued first (xdotool returns once
# the display server has them); the request must still end the demo within
# 1 s of being sent, with exit code 0, not after the moves one per frame.
# With job control on, the demo starts with SIGINT at its default instead of
# ignored, as a program started from a terminal does.
set -m
queue_moves() {
  local moves
  moves=$(awk -v w="$1" 'BEGIN { for (i = 0; i < 3000; i++)
    printf "mousemove --window %s %d %d ", w, 50 + i % 700, 50 + i * 7 % 500 }')
  # shellcheck disable=SC2086  # one xdotool run, one word per argument
  xdotool $moves
}
for request in close INT TERM; do
  start_demo "$exe"
  sleep 1
  queue_moves "$win" || fail "could not queue the pointer moves"
  if [ "$request" = close ]; then
    close_window "$win" || fail "could not send WM_DELETE_WINDOW"
  else
    kill -s "$request" "$demo_pid"
  fi
  sent=$(date +%s%N)
  for _ in $(seq 1 200); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.01; done
  ms=$((($(date +%s%N) - sent) / 1000000))
  wait_demo 1
  [ "$code" = 0 ] && [ "$ms" -le 1000 ] ||
    fail "$request after 3000 moves: exit code $code after $ms ms (expected 0 within 1 s): $(tail -n 5 "$work/out.txt")"
  note "$request after 3000 moves: exit code 0 after $ms ms"
done

# ---- run-demo.sh: a second Ctrl+C ends the demo at once ----
# Its run step, with a stand-in demo that goes on after SIGTERM.
eval "$(sed -n '/^stop_demo() {/,/^}/p; /^run() {/,/^}/p' "$root/run-demo.sh")"
(run bash -c 'trap "" TERM; echo $$ >"$0"; sleep 30' "$work/stand-in.pid") >"$work/run.txt" 2>&1 &
runner=$!
sleep 0.5
kill -INT "$runner"
sleep 0.5
kill -0 "$(cat "$work/stand-in.pid")" || fail "the first Ctrl+C did not leave the demo its time to end"
grep -q "Ctrl+C again" "$work/run.txt" || fail "the first Ctrl+C did not say how to stop at once: $(cat "$work/run.txt")"
kill -INT "$runner"
for _ in $(seq 1 100); do kill -0 "$runner" 2>/dev/null || break; sleep 0.01; done
! kill -0 "$runner" 2>/dev/null && ! kill -0 "$(cat "$work/stand-in.pid")" 2>/dev/null ||
  fail "a second Ctrl+C did not end the demo at once"
note "run-demo.sh: the first Ctrl+C asks the demo to end, a second ends it at once"

# ---- the test card ----
"$build/tests/testcard_picture" "$work/card.bmp" >/dev/null || fail "testcard_picture failed"
check_testcard "$work/card.bmp" 30 "$build/testcard"
pass
