# Shared pieces of the end-to-end checks; sourced by the scripts beside it after
# calling e2e_begin, which sets `name` (the check's name) and `results` (where
# its verdict goes).

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)  # this folder
root=$(cd "$here/../.." && pwd)                       # the source tree

# Every check starts with this: its name, then its own arguments BUILD_DIR
# [RESULTS_DIR]. Sets name, build and results (BUILD_DIR/results by default)
# and makes the results folder.
e2e_begin() {
  name=$1
  build=$(cd "$2" && pwd)
  results=${3:-$build/results}
  mkdir -p "$results"
}

pass() { echo "PASS $name" >"$results/$name.result"; echo "PASS $name"; exit 0; }
fail() { echo "FAIL $name $*" >"$results/$name.result"; echo "FAIL $name $*" >&2; exit 1; }
note() { echo "  $*"; }

# Starts the program (the command and its arguments) in the background with
# its output in $work/out.txt and waits for its window, named $window_name
# (default Wirlo); sets demo_pid and win.
start_demo() {
  local title=${window_name:-Wirlo}
  "$@" >"$work/out.txt" 2>&1 &
  demo_pid=$!
  win=""
  for _ in $(seq 1 600); do
    win=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    kill -0 "$demo_pid" 2>/dev/null || fail "the program ended before its window appeared: $(tail -n 3 "$work/out.txt")"
    sleep 0.1
  done
  [ -n "$win" ] || fail "no window named $title appeared"
}

# Waits up to $1 seconds for the program to end; sets code to its exit code
# (or "timeout").
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

# The display's size in screen_w and screen_h.
read_screen_size() {
  read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
}

# Checks that window $win has an 800x600 client area inside a frame at the
# centred position (the frame's corner at screen/2 - 400, screen/2 - 300).
check_centred_client_area() {
  local cx cy cw ch left top
  read -r cx cy cw ch < <(xwininfo -id "$win" | awk '
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
  note "window $win: client ${cw}x${ch} at $cx,$cy on ${screen_w}x${screen_h}"
  [ "$cw" = 800 ] && [ "$ch" = 600 ] || fail "client area is ${cw}x${ch}, not 800x600"
  left=$((screen_w / 2 - 400))
  top=$((screen_h / 2 - 300))
  if [ "$cx" -lt "$left" ] || [ "$cx" -gt $((left + 12)) ] || [ "$cy" -lt "$top" ] || [ "$cy" -gt $((top + 40)) ]; then
    fail "client area at $cx,$cy is not inside a frame at the centred position $left,$top"
  fi
}

# The kind of Windows executable $1, read from its own PE header: the format
# (PE32 or PE32+), the subsystem (GUI or console) and the machine (i386 or
# x86-64), as in "PE32 GUI i386"; "not-pe" for anything else.
pe_kind() {
  python3 - "$1" <<'PY'
import struct, sys
with open(sys.argv[1], "rb") as f:
    head = f.read(4096)
try:
    (pe,) = struct.unpack_from("<I", head, 0x3C)
    if head[:2] != b"MZ" or head[pe:pe + 4] != b"PE\0\0":
        raise ValueError
    (machine,) = struct.unpack_from("<H", head, pe + 4)
    (magic,) = struct.unpack_from("<H", head, pe + 24)        # the optional header
    (subsystem,) = struct.unpack_from("<H", head, pe + 24 + 68)
except (struct.error, ValueError):
    sys.exit(print("not-pe"))
print({0x10B: "PE32", 0x20B: "PE32+"}.get(magic, "PE?"),
      {2: "GUI", 3: "console"}.get(subsystem, f"subsystem-{subsystem}"),
      {0x14C: "i386", 0x8664: "x86-64"}.get(machine, hex(machine)))
PY
}

# Chooses how to run the Windows programs of build directory $1, from its
# Wirlo.exe: a 32-bit build (i686) through scripts/wine32-run, a 64-bit one
# under wine64 (scripts/wine-run). Sets wine_run, exports the prefix the runner
# uses (wine_settle waits on it) and sets spiral_wait, the seconds the spiral
# is given to appear: frames of the 32-bit build, emulated, come several times
# more slowly.
choose_wine() {
  case "$(pe_kind "$1/Wirlo.exe")" in
    "PE32+ "*) wine_run="$root/scripts/wine-run"; spiral_wait=90
            export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" ;;
    "PE32 "*) wine_run="$root/scripts/wine32-run"; spiral_wait=300
           export WINEPREFIX="${WIRLO_WINE32_PREFIX:-$root/build/wine32/prefix}" ;;
    *) fail "$1/Wirlo.exe is not a Windows executable" ;;
  esac
}

# Runs the runtime's start-and-end tool (tests/tools/runtime_cycle.cpp), given
# as the command and its leading arguments, in the current display: start-up,
# release and a second start-up with ten frames of the demo must end with exit
# code 0 and no failed check; the start-up failure path with its message and
# exit code 9. Uses $work/cycle.txt.
check_runtime_cycle() {
  local code
  timeout 300 "$@" >"$work/cycle.txt" 2>&1
  code=$?
  grep FAILED "$work/cycle.txt" && fail "start-and-end checks failed"
  [ "$code" -eq 0 ] || fail "start, end, start and ten frames: exit code $code: $(tail -n 3 "$work/cycle.txt")"
  note "start, end (twice), start, ten frames, end: exit code 0"
  timeout 120 "$@" fail >"$work/cycle.txt" 2>&1
  code=$?
  [ "$code" -eq 9 ] || fail "failure path exit code $code (expected 9): $(tail -n 3 "$work/cycle.txt")"
  grep -q "the failure path works" "$work/cycle.txt" || fail "failure path gave no message"
  note "failure path: exit code 9 with its message"
}

# Wine keeps one server per prefix alive for a moment after its last program
# ends, with the display it was started on: wait for it to end so that the
# next program starts on the display chosen here.
wine_settle() {
  WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" timeout 60 /usr/lib/wine/wineserver -w 2>/dev/null || true
}

# A display of the check's own: an Xvfb server (xvfb_pid) whose size is read
# into screen_w and screen_h.
start_display() {
  read -r display xvfb_pid < <("$root/scripts/xvfb-start.sh") || fail "Xvfb did not start"
  export DISPLAY="$display"
  read_screen_size
}

# The end of a check: the program if it still runs, the display
# (start_display) and the work folder.
check_end() {
  [ -n "${demo_pid:-}" ] && kill "$demo_pid" 2>/dev/null
  demo_pid=""
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}

# The end of a check under Wine: the program if it still runs, Wine's server,
# then the rest as check_end.
wine_check_end() {
  [ -n "${demo_pid:-}" ] && kill "$demo_pid" 2>/dev/null
  demo_pid=""
  wine_settle
  check_end
}

capture() { import -silent -window "$1" "$2" 2>/dev/null; }
# Pixels that differ between two pictures.
differing() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{print int($1)}'; }

# The X window Wine 8 presents the frames of a child window's device into,
# for a size $1 (WxH): an unnamed window of that size, off-screen under a 1x1
# window at -1,-1. Nothing when there is none (natively, or Wine 10 and later,
# which present on the visible window itself).
offscreen_window() {
  xwininfo -root -tree | awk -v size="$1+0+0" '
    /1x1\+-1\+-1/ { parent = 1; next }
    / child(ren)?:$/ { next }
    parent && index($0, size) { print $1; exit }
    { parent = 0 }'
}

# Runs the test card (the command and its arguments) and checks that its window
# shows exactly the card's picture in memory, the BMP file $1 (made by the
# build's testcard_picture), within $2 seconds, and that Escape ends it with
# exit code 0. Wine 8's off-screen window lies at -1,-1, so its capture lacks
# the picture's first row and column.
check_testcard() {
  local card=$1 limit=$2 target size differ=unknown
  shift 2
  window_name='Wirlo test card' start_demo "$@"
  for _ in $(seq 1 "$limit"); do
    sleep 1
    target=$(offscreen_window 640x480)
    capture "${target:-$win}" "$work/card.png" || continue
    size=$(identify -format '%wx%h' "$work/card.png")
    convert "$card" -alpha off -gravity southeast -crop "$size+0+0" +repage "$work/card-expected.png" ||
      fail "cannot read the card's picture $card"
    differ=$(differing "$work/card.png" "$work/card-expected.png")
    [ "$differ" = 0 ] && break
  done
  [ "$differ" = 0 ] || fail "the test card's window does not show its picture ($differ pixels differ after $limit s)"
  note "test card: the window shows the card's picture exactly"
  press_escape
  wait_demo 60
  [ "$code" = 0 ] || fail "test card, Escape: exit code $code (expected 0)"
  note "test card, Escape: exit code 0"
}

# Pixels that are not black, and the number of distinct colours.
nonblack() { convert "$1" -fill white +opaque black -fill black -opaque black -format '%[fx:int(mean*w*h+0.5)]' info:; }
colours() { convert "$1" -format '%k' info:; }

fail_with_captures() { cp "$work"/a.png "$work"/b.png "$results/" 2>/dev/null; fail "$@"; }

# Captures the frames X window $1 shows until the picture holds a spiral's
# worth of lit pixels (at most $2 seconds), then once more after a pause: the
# spiral must have appeared, changed, and lit the middle of the picture. Where
# Wine 8 shows them in an off-screen window of its own (offscreen_window), that
# one is captured: it appears only when the program's screen does, which takes
# a while in the emulated 32-bit build, so it is looked for at each capture.
# The captures go into the results folder when the check fails there, or
# always with WIRLO_E2E_KEEP.
check_spiral() {
  local target=$1 limit=$2 lit_a=0 colours_a=0 lit_b colours_b changed centre_lit
  # A window not drawn yet can be lit all over in one colour (Wine 10 shows
  # it white until the first frame): the spiral has colours.
  for _ in $(seq 1 "$limit"); do
    sleep 1
    target=$(offscreen_window 800x600)
    target=${target:-$1}
    capture "$target" "$work/a.png" || fail "could not capture the presented frames"
    lit_a=$(nonblack "$work/a.png")
    [ "$lit_a" -ge 2000 ] && colours_a=$(colours "$work/a.png") && [ "$colours_a" -ge 8 ] && break
  done
  [ "$lit_a" -ge 2000 ] && [ "$colours_a" -ge 8 ] ||
    fail_with_captures "the spiral does not appear ($lit_a lit pixels in $colours_a colours after $limit s, window $target)"
  if [ "$target" = "$1" ]; then
    note "captured: the visible window $target"
  else
    note "captured: Wine's off-screen window $target (the visible one stays black in this Wine)"
  fi
  sleep 1.5
  capture "$target" "$work/b.png" || fail "could not capture the presented frames"
  lit_b=$(nonblack "$work/b.png")
  colours_b=$(colours "$work/b.png")
  changed=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | awk '{print int($1)}')
  note "capture 1: $lit_a lit pixels; capture 2: $lit_b lit pixels, $colours_b colours; $changed pixels changed"
  [ "$colours_b" -ge 8 ] || fail_with_captures "the picture has only $colours_b colours"
  [ "$changed" -ge 500 ] || fail_with_captures "the picture does not change between captures ($changed pixels)"
  centre_lit=$(convert "$work/b.png" -crop 200x200+300+200 +repage -fill white +opaque black \
    -format '%[fx:int(mean*w*h+0.5)]' info:)
  [ "$centre_lit" -ge 100 ] || fail_with_captures "the centre of the picture is dark ($centre_lit lit pixels)"
  if [ -n "${WIRLO_E2E_KEEP:-}" ]; then cp "$work/a.png" "$work/b.png" "$results/"; fi
}

# The demo under Wine ($wine_run, choose_wine), started as the command and its
# arguments: the "Wirlo" window with its 800x600 client area at the centred
# position, presented frames that show a spiral changing from capture to
# capture, and Escape ending it with exit code 0. Wine 10 and later show the
# frames presented into the child window on the visible window itself; Wine 8
# only in an unnamed X window of its own, off-screen, which check_spiral finds.
check_windows_demo() {
  start_demo "$@"
  sleep 1
  check_centred_client_area
  check_spiral "$win" "$spiral_wait"
  press_escape
  wait_demo 60
  [ "$code" = 0 ] || fail "Escape: exit code $code (expected 0)"
  note "Escape: exit code 0"
}

# Presses Escape in window $win.
press_escape() {
  xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  xdotool keydown Escape
  sleep 0.3
  xdotool keyup Escape
}

# Sends WM_DELETE_WINDOW to window $1, as a window manager's close button does
# (no window manager runs in Xvfb).
close_window() {
  python3 - "$1" <<'PY'
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
}
