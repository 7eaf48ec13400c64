#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it.
#   ./run-demo.sh          on Linux: the native build (SDL2), visible on the desktop
#   ./run-demo.sh --wine   on Linux: the 64-bit Windows build under wine64
#                          (Wine shows Direct3D 9 output of a child window as
#                          black, so the picture is not visible this way)
#   on Windows (MSYS/Cygwin shells): the Windows build directly
# Without a display, the demo runs in an Xvfb display of its own (nothing is
# visible there; Ctrl+C stops it).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$(pwd)

mode=native
case "${1:-}" in
  --wine) mode=wine ;;
  "") ;;
  *) echo "usage: $0 [--wine]"; exit 2 ;;
esac
case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*) mode=windows ;;
esac

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

if [ "$mode" = native ]; then
  build native-release "10 to 30 seconds"
  exe="$root/build/native-release/Wirlo"
else
  build x86_64 "half a minute to a minute"
  exe="$root/build/x86_64/Wirlo.exe"
fi
echo "Escape or the close box ends the demo."

if [ "$mode" = windows ]; then
  exec "$exe"
fi
if [ -z "${DISPLAY:-}" ]; then
  read -r display xvfb_pid < <(scripts/xvfb-start.sh)
  export DISPLAY="$display"
  trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
  echo "No display: running in Xvfb on $DISPLAY (nothing is visible there; Ctrl+C stops it)"
fi
if [ "$mode" = native ]; then
  "$exe"
else
  scripts/wine-run "$exe"
fi
