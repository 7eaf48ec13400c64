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
  # TrueType faces for the text tests under Wine (its recommended fonts are
  # not installed with --no-install-recommends).
  fonts-liberation
  # The web build (WebAssembly) and the browser that tests it.
  emscripten chromium
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing Debian packages (once; a first install takes a few minutes): ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# apt's own figure for what it will fetch (it stops before installing anything).
size=$($sudo apt-get install --no-install-recommends --assume-no "${missing[@]}" 2>/dev/null |
  sed -n 's/^Need to get \([^ /]* [^ /]*\).* of archives\.$/\1/p' || true)
echo "Downloading ${size:-the packages} and installing them; nothing is printed until apt is done"
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
