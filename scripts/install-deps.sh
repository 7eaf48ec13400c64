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
  emscripten nodejs chromium
  # The release: the last commit's time (git), the Debian package's
  # dependencies (dpkg-shlibdeps and file, for CPack), unpacking the archives
  # in its checks.
  git dpkg-dev file unzip
  "$@"
)
# qemu's user-mode emulator runs the 32-bit Windows programs (scripts/wine32-run).
# It must be release 10 or later: older ones lack MAP_FIXED_NOREPLACE, without
# which Wine's address-space reservation takes minutes and later fails. Debian 13
# has it; Debian 12 has it only in its backports suite, taken from there below.
qemu_ready() {
  local v
  v=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) && dpkg --compare-versions "$v" ge 1:10
}
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
qemu_ready || missing+=(qemu-user)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
qemu_from_backports=0
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  candidate=$(apt-cache policy qemu-user 2>/dev/null | sed -n 's/^ *Candidate: //p')
  if ! qemu_ready && { [ -z "$candidate" ] || [ "$candidate" = "(none)" ] ||
                       dpkg --compare-versions "$candidate" lt 1:10; }; then
    qemu_from_backports=1
    for i in "${!missing[@]}"; do [ "${missing[$i]}" = qemu-user ] && unset 'missing[i]'; done
  fi
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing Debian packages (once; a first install takes a few minutes): ${missing[*]}"
  # apt's own figure for what it will fetch (it stops before installing anything).
  size=$($sudo apt-get install --no-install-recommends --assume-no "${missing[@]}" 2>/dev/null |
    sed -n 's/^Need to get \([^ /]* [^ /]*\).* of archives\.$/\1/p' || true)
  echo "Downloading ${size:-the packages} and installing them; nothing is printed until apt is done"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The release's own qemu is too old: the backports suite of the archive the
# machine already uses is added for this one install (nothing is written to
# /etc/apt).
if [ "$qemu_from_backports" = 1 ]; then
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
