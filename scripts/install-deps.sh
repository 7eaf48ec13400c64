#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, if any is
# missing. Runs apt-get as root (or through sudo).
set -euo pipefail
packages=(
  cmake ninja-build g++ make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine64 xvfb xdotool x11-utils imagemagick
  libgl1 libglx-mesa0 libgl1-mesa-dri python3
  googletest libgtest-dev libbenchmark-dev libsdl2-dev
  # The web build (WebAssembly) and the browser that tests it.
  emscripten chromium
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
