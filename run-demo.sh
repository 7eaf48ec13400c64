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
cmake --build --preset x86_64 --target wirlo_demo 2>/dev/null || true
exe="$root/build/x86_64/Wirlo.exe"
if [ ! -f "$exe" ]; then
  echo "The demo is not built yet: the runtime has no program entry so far."
  exit 1
fi
if [ "$windows" -eq 1 ]; then
  exec "$exe"
fi
if [ -z "${DISPLAY:-}" ]; then
  read -r display xvfb_pid < <(scripts/xvfb-start.sh)
  export DISPLAY="$display"
  trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
  echo "No display: running in Xvfb on $DISPLAY"
fi
scripts/wine-run "$exe"
