#!/usr/bin/env bash
# End-to-end check of the demo under wine64 in an Xvfb display of its own:
# the "Wirlo" window opens with an 800x600 client area at the centred position,
# presented frames show a spiral that changes from capture to capture, Escape
# ends the program with exit code 0, and so does the close box in a second run.
# When the 32-bit product has been built next to this build, it must be a
# GUI-subsystem PE32 executable for Intel 386.
# Usage: demo_win.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
results=${2:-$build/results}
name=demo_win
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mkdir -p "$results"
work=$(mktemp -d)
xvfb_pid=""
demo_pid=""

finish() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
  WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" timeout 30 /usr/lib/wine/wineserver -w 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

# Wine keeps one server per prefix alive for a moment after its last program
# ends, with the display it was started on: wait for it to end so that the
# next program starts on the display chosen here.
wine_settle() {
  WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" timeout 60 /usr/lib/wine/wineserver -w 2>/dev/null || true
}

pass() { echo "PASS $name" >"$results/$name.result"; echo "PASS $name"; exit 0; }
fail() { echo "FAIL $name $*" >"$results/$name.result"; echo "FAIL $name $*" >&2; exit 1; }
note() { echo "  $*"; }

exe="$build/Wirlo.exe"
[ -f "$exe" ] || fail "no $exe"

# The 32-bit product, when it has been built beside this build.
i686_exe="$root/build/i686/Wirlo.exe"
if [ -f "$i686_exe" ]; then
  kind=$(file -b "$i686_exe")
  case "$kind" in
    "PE32 executable (GUI) Intel 80386"*) note "i686: $kind" ;;
    *) fail "the i686 executable is not a GUI PE32 for Intel 386: $kind" ;;
  esac
  grep -a -q 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$i686_exe" &&
    grep -a -q 'processorArchitecture="X86"' "$i686_exe" ||
    fail "the i686 executable carries no manifest for the X86 common controls 6.0.0.0"
fi
# The manifest of this build names the common controls 6.0.0.0 for its own
# architecture (a mismatch keeps the program from starting at all).
grep -a -q 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$exe" ||
  fail "the executable carries no manifest for the common controls 6.0.0.0"
kind=$(file -b "$exe")
case "$kind" in
  *"(GUI)"*) ;;
  *) fail "the executable is not a GUI program: $kind" ;;
esac

wine_settle
read -r display xvfb_pid < <("$root/scripts/xvfb-start.sh") || fail "Xvfb did not start"
export DISPLAY="$display"
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')

# Starts the demo in the background; sets demo_pid and the window id in win.
start_demo() {
  "$root/scripts/wine-run" "$exe" >"$work/out.txt" 2>&1 &
  demo_pid=$!
  win=""
  for _ in $(seq 1 600); do
    win=$(xdotool search --name '^Wirlo$' 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended before its window appeared: $(tail -n 3 "$work/out.txt")"
    sleep 0.1
  done
  [ -n "$win" ] || fail "no window named Wirlo appeared"
}

# Waits up to $1 seconds for the demo to end; sets code to its exit code (or
# "timeout").
wait_demo() {
  local limit=$1
  for _ in $(seq 1 $((limit * 10))); do
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

# The X window the frames are presented into: the window itself, or (Wine
# presenting a device of a child window) an unnamed 800x600 window whose parent
# is a 1x1 window at -1,-1.
presented_window() {
  xwininfo -root -tree | awk '
    /1x1\+-1\+-1/ { parent = 1; next }
    / child(ren)?:$/ { next }
    parent && /800x600\+0\+0/ { print $1; exit }
    { parent = 0 }'
}

capture() {
  import -silent -window "$1" "$2" 2>/dev/null
}

# Pixels that are not black, and the number of distinct colours.
nonblack() { convert "$1" -fill white +opaque black -fill black -opaque black -format '%[fx:int(mean*w*h+0.5)]' info:; }
colours() { convert "$1" -format '%k' info:; }

# ---- first run: window, frames, Escape ----
start_demo
sleep 1
read -r cx cy cw ch < <(xwininfo -id "$win" | awk '
  /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
  /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
note "window $win: client ${cw}x${ch} at $cx,$cy on ${screen_w}x${screen_h}"
[ "$cw" = 800 ] && [ "$ch" = 600 ] || fail "client area is ${cw}x${ch}, not 800x600"
# The frame's top-left corner is at (screen/2 - 400, screen/2 - 300); the
# client area lies inside it, below the caption and within the border.
left=$((screen_w / 2 - 400))
top=$((screen_h / 2 - 300))
if [ "$cx" -lt "$left" ] || [ "$cx" -gt $((left + 12)) ] || [ "$cy" -lt "$top" ] || [ "$cy" -gt $((top + 40)) ]; then
  fail "client area at $cx,$cy is not inside a frame at the centred position $left,$top"
fi

target=$(presented_window)
[ -n "$target" ] || target=$win
note "capturing $target"
# The picture starts black; the seed line's colours spread from the centre
# frame by frame. Wait (a while under Wine) until it holds a spiral's worth of
# lit pixels, then capture once more: the picture must have changed.
lit_a=0
for _ in $(seq 1 90); do
  sleep 1
  capture "$target" "$work/a.png" || fail "could not capture the presented frames"
  lit_a=$(nonblack "$work/a.png")
  [ "$lit_a" -ge 2000 ] && break
done
[ "$lit_a" -ge 2000 ] || fail "the spiral does not appear ($lit_a lit pixels after 90 s)"
sleep 1.5
capture "$target" "$work/b.png" || fail "could not capture the presented frames"
lit_b=$(nonblack "$work/b.png")
colours_b=$(colours "$work/b.png")
changed=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | awk '{print int($1)}')
note "capture 1: $lit_a lit pixels; capture 2: $lit_b lit pixels, $colours_b colours; $changed pixels changed"
[ "$colours_b" -ge 8 ] || fail "the picture has only $colours_b colours"
[ "$changed" -ge 500 ] || fail "the picture does not change between captures ($changed pixels)"
# The effect grows from the centre: the middle of the picture is lit.
centre_lit=$(convert "$work/b.png" -crop 200x200+300+200 +repage -fill white +opaque black \
  -format '%[fx:int(mean*w*h+0.5)]' info:)
[ "$centre_lit" -ge 100 ] || fail "the centre of the picture is dark ($centre_lit lit pixels)"
if [ -n "${WIRLO_E2E_KEEP:-}" ]; then cp "$work/a.png" "$work/b.png" "$results/"; fi

xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
xdotool keydown Escape
sleep 0.3
xdotool keyup Escape
wait_demo 20
[ "$code" = 0 ] || fail "Escape: exit code $code (expected 0)"
note "Escape: exit code 0"
wine_settle

# ---- second run: the close box (WM_DELETE_WINDOW to the window) ----
start_demo
sleep 2
python3 - "$win" <<'PY' || fail "could not send WM_DELETE_WINDOW"
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("message", ClientMessage), ("pad", ctypes.c_long * 24)]

d = x.XOpenDisplay(None)
if not d:
    sys.exit(1)
window = int(sys.argv[1], 0)
event = Event()
event.message.type = 33  # ClientMessage
event.message.window = window
event.message.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
event.message.format = 32
event.message.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
event.message.data[1] = 0  # CurrentTime
if not x.XSendEvent(d, window, 0, 0, ctypes.byref(event)):
    sys.exit(1)
x.XFlush(d)
x.XCloseDisplay(d)
PY
wait_demo 20
[ "$code" = 0 ] || fail "close box: exit code $code (expected 0)"
note "close box: exit code 0"
pass
