#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it.
#   ./run-demo.sh          on Linux: the native build (SDL2), visible on the desktop
#   ./run-demo.sh --wine   on Linux: the product, the 32-bit Windows build,
#                          under Wine with its process under qemu-i386 (the
#                          first run fetches and unpacks a private i386 root)
#   ./run-demo.sh --wine64 on Linux: the 64-bit Windows build under wine64
#   (Wine shows Direct3D 9 output of a child window as black, so the picture is
#   not visible in either Wine run)
#   on Windows (MSYS/Cygwin shells): the Windows build directly
# Without a display, the demo runs in an Xvfb display of its own (nothing is
# visible there; Ctrl+C stops it).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$(pwd)

mode=native
case "${1:-}" in
  --wine) mode=wine ;;
  --wine64) mode=wine64 ;;
  "") ;;
  *) echo "usage: $0 [--wine | --wine64]"; exit 2 ;;
esac
case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*) mode=windows ;;
esac

[ "$mode" = windows ] || scripts/install-deps.sh

build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  mkdir -p "$root/build"
  if ! cmake --build --preset "$preset" --target wirlo_demo -- -j2 >"$root/build/run-demo-build.log" 2>&1; then
    tail -n 30 "$root/build/run-demo-build.log"
    echo "The demo did not build (full log: build/run-demo-build.log)."
    exit 1
  fi
}

case "$mode" in
  native) build native-release; exe="$root/build/native-release/Wirlo" ;;
  wine) build i686; exe="$root/build/i686/Wirlo.exe" ;;
  *) build x86_64; exe="$root/build/x86_64/Wirlo.exe" ;;
esac
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
case "$mode" in
  native) "$exe" ;;
  wine64) scripts/wine-run "$exe" ;;
  *) scripts/wine32-run "$exe" ;;
esac
