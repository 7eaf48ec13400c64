#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it.
#   ./run-demo.sh          on Linux: the native build (SDL2), visible on the desktop
#   ./run-demo.sh --wine   on Linux: the product, the 32-bit Windows build,
#                          under Wine with its process under qemu-i386 (the
#                          first run fetches and unpacks a private i386 root)
#   ./run-demo.sh --wine64 on Linux: the 64-bit Windows build under wine64
#   (Wine 10 and later, Debian 13's, show the spiral in the window; Wine 8,
#   Debian 12's, shows Direct3D 9 output of a child window as black)
#   ./run-demo.sh --web    the web build (WebAssembly), served on 127.0.0.1 at a
#                          free port until Ctrl+C; opens a browser when there is
#                          a display
#   ./run-demo.sh --xvfb   the native build in an Xvfb display of its own
#                          (nothing is visible there; for tests)
#   on Windows (MSYS/Cygwin shells): the Windows build directly
# Without a display, ./run-demo.sh serves the web build (as --web) and says how
# to open it from another machine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$(pwd)

mode=native
case "${1:-}" in
  --wine) mode=wine ;;
  --wine64) mode=wine64 ;;
  --web) mode=web ;;
  --xvfb) mode=xvfb ;;
  "") ;;
  *) echo "usage: $0 [--wine | --wine64 | --web | --xvfb]"; exit 2 ;;
esac
case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*) mode=windows ;;
esac
# Without a display nobody could see the native window; a browser elsewhere can
# show the web build.
if [ "$mode" = native ] && [ -z "${DISPLAY:-}" ]; then
  echo "No display here: serving the web build instead (--xvfb runs the native build in an invisible Xvfb display)."
  mode=web
fi

[ "$mode" = windows ] || scripts/install-deps.sh

build() {
  local preset=$1
  echo "Building the demo ($preset build: $2 the first time, a moment after that)"
  cmake --preset "$preset" >/dev/null
  mkdir -p "$root/build"
  if ! cmake --build --preset "$preset" --target wirlo_demo -- -j2 >"$root/build/run-demo-build.log" 2>&1; then
    tail -n 30 "$root/build/run-demo-build.log"
    echo "The demo did not build (full log: build/run-demo-build.log)."
    exit 1
  fi
}

# The web build: build/web served on 127.0.0.1 until Ctrl+C.
serve_web() {
  build web "one to two minutes"
  source scripts/web-server.bash
  web_server_start "$root/build/web" || { echo "The web server did not start."; exit 1; }
  trap web_server_stop EXIT
  trap 'echo; echo "Stopped."; exit 0' INT TERM
  local port=${web_url##*:}
  port=${port%/}
  echo
  echo "Wirlo in the browser: $web_url"
  echo "  (Escape stops the effect; reloading the page starts it again.)"
  echo "From another machine: forward the port over SSH there, then open http://127.0.0.1:$port/ in its browser:"
  echo "  ssh -N -L $port:127.0.0.1:$port $(id -un)@$(hostname -f 2>/dev/null || hostname)"
  if [ -n "${DISPLAY:-}" ]; then
    if [ "$(id -u)" -eq 0 ] && command -v chromium >/dev/null; then
      # Chromium runs as root only without its sandbox, and then wants a profile of its own.
      chromium --no-sandbox --user-data-dir="$root/build/web-browser-profile" "$web_url" >/dev/null 2>&1 &
    elif command -v xdg-open >/dev/null; then
      xdg-open "$web_url" >/dev/null 2>&1 &
    fi
  fi
  echo "Serving until Ctrl+C."
  if ! wait "$web_server_pid"; then
    echo "The web server stopped by itself."
    exit 1
  fi
}
if [ "$mode" = web ]; then
  serve_web
  exit 0
fi

case "$mode" in
  native|xvfb) build native-release "10 to 30 seconds"; exe="$root/build/native-release/Wirlo" ;;
  wine) build i686 "half a minute to a minute"; exe="$root/build/i686/Wirlo.exe" ;;
  *) build x86_64 "half a minute to a minute"; exe="$root/build/x86_64/Wirlo.exe" ;;
esac
echo "Escape or the close box ends the demo."
case "$mode" in
  wine|wine64)
    wine_major=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null | sed 's/^[0-9]*://; s/[.~].*//')
    [ "${wine_major:-0}" -ge 10 ] 2>/dev/null ||
      echo "Note: this Wine ($wine_major) shows the window black (it draws Direct3D 9 output of a child window off-screen); Wine 10 and later show the spiral."
    ;;
esac

if [ "$mode" = windows ]; then
  exec "$exe"
fi
if [ "$mode" = xvfb ] || [ -z "${DISPLAY:-}" ]; then
  read -r display xvfb_pid < <(scripts/xvfb-start.sh)
  export DISPLAY="$display"
  trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
  echo "Running in Xvfb on $DISPLAY (nothing is visible there; Ctrl+C stops it)"
fi
# The demo runs as a child the script waits for, in a process group of its own
# (job control), so that Ctrl+C reaches only the script. The first Ctrl+C or
# SIGTERM is passed on as SIGTERM: the demo ends after its frame with exit
# code 0. A second one ends the demo's whole process group at once (SIGKILL),
# as terminal programs that shut down gracefully on the first do. Only when the
# demo has ended does the script stop the Xvfb display it may have started.
stop_demo() {
  if [ "$stopping" = 0 ]; then
    stopping=1
    echo "Stopping the demo after its frame (Ctrl+C again stops it at once)."
    kill -TERM "$demo_pid" 2>/dev/null || true
  else
    kill -KILL -- -"$demo_pid" 2>/dev/null || kill -KILL "$demo_pid" 2>/dev/null || true
  fi
}
run() {
  set -m
  "$@" &
  demo_pid=$!
  set +m
  stopping=0
  trap stop_demo INT TERM
  local rc
  while :; do
    wait "$demo_pid" && rc=0 || rc=$?
    kill -0 "$demo_pid" 2>/dev/null || return "$rc"
  done
}
case "$mode" in
  native|xvfb) run "$exe" ;;
  wine64) run scripts/wine-run "$exe" ;;
  *) run scripts/wine32-run "$exe" ;;
esac
