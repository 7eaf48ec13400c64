#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, if any is
# missing. Runs apt-get as root (or through sudo).
set -euo pipefail
packages=(
  cmake ninja-build g++ make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine64 xvfb xdotool x11-utils imagemagick file
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
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing Debian packages (once; a first install takes a few minutes): ${missing[*]}"
  $sudo apt-get update -qq
  # apt's own figure for what it will fetch (it stops before installing anything).
  size=$($sudo apt-get install --no-install-recommends --assume-no "${missing[@]}" 2>/dev/null |
    sed -n 's/^Need to get \([^ /]* [^ /]*\).* of archives\.$/\1/p' || true)
  echo "Downloading ${size:-the packages} and installing them; nothing is printed until apt is done"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# qemu's user-mode emulator runs the 32-bit Windows programs (scripts/wine32-run).
# It must be release 10 or later: older ones lack MAP_FIXED_NOREPLACE, without
# which Wine's address-space reservation takes minutes and later fails. Debian 12
# has it in its backports suite; when the machine is not set up for backports,
# the suite is added for this one install, on the archive the machine already
# uses (nothing is written to /etc/apt).
qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
if [ -z "$qemu_version" ] || dpkg --compare-versions "$qemu_version" lt 1:10; then
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  sources=$(mktemp -d)
  trap 'rm -rf "$sources"' EXIT
  "$(dirname "${BASH_SOURCE[0]}")/debian-sources.py" --backports >"$sources/debian.sources"
  chmod a+rx "$sources"; chmod a+r "$sources/debian.sources"
  apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$sources" -o APT::Get::List-Cleanup=false)
  echo "Installing: qemu-user from $release-backports"
  # A mirror in the middle of a sync can fail one index; the install tells.
  $sudo apt-get "${apt_opts[@]}" update -qq || echo "note: an index failed to download; going on"
  $sudo apt-get "${apt_opts[@]}" install -y -qq --no-install-recommends -t "$release-backports" qemu-user >/dev/null
fi
