#!/usr/bin/env bash
# The native demo end to end, in an Xvfb display of its own: the "Wirlo" window
# with an 800x600 client area centred on the screen, a spiral that appears and
# changes between two screenshots a second apart, then exit code 0 on Escape
# and, in a second run, on the close button (WM_DELETE_WINDOW). The native
# build runs under AddressSanitizer and UndefinedBehaviorSanitizer, which end
# the program with a non-zero code on any error they find.
# Usage: demo_posix.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
results=${2:-$build/results}
name=demo_posix
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
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

pass() { echo "PASS $name" >"$results/$name.result"; echo "PASS $name"; exit 0; }
fail() { echo "FAIL $name $*" >"$results/$name.result"; echo "FAIL $name $*" >&2; exit 1; }
note() { echo "  $*"; }

exe="$build/Wirlo"
closer="$build/tests/x11_close_posix"
[ -x "$exe" ] || fail "no $exe"
[ -x "$closer" ] || fail "no $closer"
# Leaks inside the system's display and GL libraries are not the program's; the
# program's own memory is checked for leaks by the in-memory frame tests.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

read -r display xvfb_pid < <("$root/scripts/xvfb-start.sh") || fail "Xvfb did not start"
export DISPLAY="$display"
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')

start_demo() {
  "$exe" >"$work/out.txt" 2>&1 &
  demo_pid=$!
  win=""
  for _ in $(seq 1 300); do
    win=$(xdotool search --name '^Wirlo$' 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended before its window appeared: $(tail -n 5 "$work/out.txt")"
    sleep 0.1
  done
  [ -n "$win" ] || fail "no window named Wirlo appeared"
}

wait_demo() {
  for _ in $(seq 1 $(($1 * 10))); do
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$demo_pid" 2>/dev/null; then
    code=timeout
    return
  fi
  wait "$demo_pid"
  code=$?
  demo_pid=""
}

nonblack() { convert "$1" -fill white +opaque black -fill black -opaque black -format '%[fx:int(mean*w*h+0.5)]' info:; }

# ---- first run: window, frames, Escape ----
start_demo
sleep 0.5
read -r cx cy cw ch < <(xwininfo -id "$win" | awk '
  /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
  /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
note "window $win: client ${cw}x${ch} at $cx,$cy on ${screen_w}x${screen_h}"
[ "$cw" = 800 ] && [ "$ch" = 600 ] || fail "client area is ${cw}x${ch}, not 800x600"
left=$((screen_w / 2 - 400))
top=$((screen_h / 2 - 300))
if [ "$cx" -lt "$left" ] || [ "$cx" -gt $((left + 12)) ] || [ "$cy" -lt "$top" ] || [ "$cy" -gt $((top + 40)) ]; then
  fail "client area at $cx,$cy is not at the centred position $left,$top"
fi

lit_a=0
for _ in $(seq 1 60); do
  sleep 1
  import -silent -window "$win" "$work/a.png" 2>/dev/null || fail "could not take a screenshot"
  lit_a=$(nonblack "$work/a.png")
  [ "$lit_a" -ge 2000 ] && break
done
[ "$lit_a" -ge 2000 ] || fail "the spiral does not appear ($lit_a lit pixels after 60 s)"
sleep 1
import -silent -window "$win" "$work/b.png" 2>/dev/null || fail "could not take a screenshot"
lit_b=$(nonblack "$work/b.png")
changed=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | awk '{print int($1)}')
note "screenshot 1: $lit_a lit pixels; screenshot 2: $lit_b lit pixels; $changed pixels changed"
[ "$changed" -ge 500 ] || fail "the picture does not change between screenshots ($changed pixels)"
centre_lit=$(convert "$work/b.png" -crop 200x200+300+200 +repage -fill white +opaque black \
  -format '%[fx:int(mean*w*h+0.5)]' info:)
[ "$centre_lit" -ge 100 ] || fail "the centre of the picture is dark ($centre_lit lit pixels)"
if [ -n "${WIRLO_E2E_KEEP:-}" ]; then cp "$work/a.png" "$work/b.png" "$results/"; fi

xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
xdotool key --window "$win" Escape
wait_demo 30
[ "$code" = 0 ] || fail "Escape: exit code $code (expected 0): $(tail -n 5 "$work/out.txt")"
note "Escape: exit code 0"

# ---- second run: the close button ----
start_demo
sleep 2
"$closer" "$win" || fail "could not send WM_DELETE_WINDOW"
wait_demo 30
[ "$code" = 0 ] || fail "close button: exit code $code (expected 0): $(tail -n 5 "$work/out.txt")"
note "close button: exit code 0"
pass
