#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it: directly on Windows,
# under wine64 elsewhere (in an Xvfb display when there is no display at all).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$(pwd)

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*) windows=1 ;;
  *) windows=0 ;;
esac

if [ "$windows" -eq 0 ]; then
  scripts/install-deps.sh
fi
cmake --preset x86_64 >/dev/null
if ! cmake --build --preset x86_64 --target wirlo_demo -- -j2 >"$root/build/run-demo-build.log" 2>&1; then
  tail -n 30 "$root/build/run-demo-build.log"
  echo "The demo did not build (full log: build/run-demo-build.log)."
  exit 1
fi
exe="$root/build/x86_64/Wirlo.exe"
echo "Escape or the close box ends the demo."

if [ "$windows" -eq 1 ]; then
  exec "$exe"
fi
if [ -z "${DISPLAY:-}" ]; then
  read -r display xvfb_pid < <(scripts/xvfb-start.sh)
  export DISPLAY="$display"
  trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
  echo "No display: running in Xvfb on $DISPLAY (nothing is visible there; Ctrl+C stops it)"
fi
scripts/wine-run "$exe"
