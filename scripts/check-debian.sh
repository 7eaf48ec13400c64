#!/usr/bin/env bash
# Runs the project's test command as a new user would, on a fresh machine of
# the given Debian release:
#
#   scripts/check-debian.sh 12|13 [--shell]
#
# makes a minimal root of that release with debootstrap (from the archive that
# this machine's own apt sources name), clones this repository's HEAD into it,
# runs ./run-tests.sh there as root and prints that run's summary line. The
# exit code is non-zero when the run fails or ends without a summary.
# --shell opens a shell in the root after the run instead of removing it.
#
# The bare root (debootstrap's output, nothing of the project's) is kept in
# ~/.cache/wirlo/debian-N and reused; so are the packages apt downloads there,
# and the i386 packages of the 32-bit Wine route. Every run starts from a copy
# of the bare root, so the project's install step installs every package
# afresh, as on a new machine. Needs root (debootstrap, mounts, chroot). Only
# /proc, /sys, /dev, /dev/pts, a /dev/shm of its own and the two caches are
# mounted, and they are unmounted whatever way the run ends.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() { echo "usage: $0 12|13 [--shell]" >&2; exit 2; }
case "${1:-}" in
  12) codename=bookworm ;;
  13) codename=trixie ;;
  *) usage ;;
esac
version=$1
shell=0
case "${2:-}" in
  --shell) shell=1 ;;
  "") ;;
  *) usage ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "check-debian.sh needs root (debootstrap, mounts and chroot)" >&2; exit 1; }
command -v debootstrap >/dev/null || "$top/scripts/install-deps.sh" debootstrap

cache="${XDG_CACHE_HOME:-$HOME/.cache}/wirlo/debian-$version"
bare="$cache/bare-root.tar"
mkdir -p "$cache/apt-archives/partial" "$cache/user-cache"
exec 9>"$cache/.lock"
flock 9

# debootstrap writes its own sources.list naming one archive; the root gets
# the machine's sources instead, read at run time and turned to that release.
if [ ! -s "$bare" ]; then
  archive=$("$top/scripts/debian-sources.py" --for "$codename" --archive)
  echo "Making a bare Debian $version ($codename) root from $archive (once; a few minutes)"
  tmp=$(mktemp -d "${TMPDIR:-/var/tmp}/wirlo-debootstrap.XXXXXX")
  trap 'rm -rf --one-file-system "$tmp"' EXIT
  debootstrap --variant=minbase --keyring=/usr/share/keyrings/debian-archive-keyring.gpg \
    "$codename" "$tmp/root" "$archive" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/debootstrap.log"; echo "debootstrap failed (log: $cache/debootstrap.log)" >&2; exit 1; }
  rm -f "$tmp/root/etc/apt/sources.list"
  "$top/scripts/debian-sources.py" --for "$codename" >"$tmp/root/etc/apt/sources.list.d/debian.sources"
  rm -rf "$tmp/root/var/cache/apt/archives"/*.deb "$tmp/root/var/lib/apt/lists"/*_*
  tar -C "$tmp/root" -cf "$bare.new" . && mv "$bare.new" "$bare"
  rm -rf --one-file-system "$tmp"
  trap - EXIT
fi

work=$(mktemp -d "${TMPDIR:-/var/tmp}/wirlo-debian-$version.XXXXXX")
root="$work/root"
log="$top/build/check-debian-$version.log"
mkdir -p "$root" "$top/build"

# Everything mounted under the root, deepest first.
mounted_under_root() { awk -v r="$root/" 'index($2, r) == 1 {print $2}' /proc/self/mounts | sort -r; }
cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  # Whatever still runs inside the root (a display server, Wine's server) ends first.
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  sleep 0.5
  local m
  for m in $(mounted_under_root); do umount "$m" 2>/dev/null || umount -l "$m"; done
  if [ -n "$(mounted_under_root)" ]; then
    echo "check-debian.sh: $work is still mounted; not removing it" >&2
  else
    rm -rf --one-file-system "$work"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

echo "A fresh Debian $version root in $root"
tar -C "$root" -xf "$bare"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives"
mkdir -p "$root/root/.cache/wirlo"
mount --bind "$cache/user-cache" "$root/root/.cache/wirlo"

git clone -q "$top" "$root/root/wirlo"
echo "Running ./run-tests.sh there (log: $log)"
set +e
chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'cd /root/wirlo && ./run-tests.sh' >"$log" 2>&1
rc=$?
set -e
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1 || true)
if [ -n "$summary" ]; then
  echo "Debian $version: $summary"
else
  tail -n 30 "$log"
  echo "Debian $version: the run ended without a summary (exit $rc)"
  [ "$rc" -ne 0 ] || rc=1
fi
if [ "$shell" = 1 ]; then
  echo "A shell in the root (exit to remove it):"
  chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c 'cd /root/wirlo; exec bash' || true
fi
exit "$rc"
