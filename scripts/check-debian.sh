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
# mounted, and they are unmounted whatever way the run ends
# (scripts/debian-root.bash).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/debian-root.bash"

usage() { echo "usage: $0 12|13 [--shell]" >&2; exit 2; }
debian_release "${1:-}" || usage
shell=0
case "${2:-}" in
  --shell) shell=1 ;;
  "") ;;
  *) usage ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "check-debian.sh needs root (debootstrap, mounts and chroot)" >&2; exit 1; }

# One run at a time per release: the runs share the cache of downloads.
exec 9>"$debian_cache/.lock"
flock 9
mkdir -p "$debian_cache/apt-archives/partial"
debian_bare_root
log="$top/build/check-debian-$debian_version.log"
logs="$top/build/check-debian-$debian_version-logs"
mkdir -p "$top/build"

debian_root_open
echo "A fresh Debian $debian_version root in $debian_root"
debian_root_bind "$debian_cache/apt-archives" /var/cache/apt/archives
debian_root_bind "$debian_cache/user-cache" /root/.cache/wirlo

git clone -q "$top" "$debian_root/root/wirlo"
echo "Running ./run-tests.sh there (log: $log)"
set +e
debian_root_run 'cd /root/wirlo && ./run-tests.sh' >"$log" 2>&1
rc=$?
set -e
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1 || true)
# The suites' own logs go with the root: keep them beside the run's log, and
# say here which tests failed and how, for a reader who has only this output.
rm -rf "$logs" && cp -r "$debian_root/root/wirlo/build/logs" "$logs" 2>/dev/null || true
if [ -n "$summary" ]; then
  if [ "$rc" -ne 0 ]; then
    grep -E '^FAILED ' "$log" || true
    grep -E -A12 '^\[  FAILED  \] [^ ]+\.[^ ]+ \(|^FAIL ' "$log" | head -n 80 || true
  fi
  echo "Debian $debian_version: $summary"
else
  tail -n 30 "$log"
  echo "Debian $debian_version: the run ended without a summary (exit $rc)"
  [ "$rc" -ne 0 ] || rc=1
fi
if [ "$shell" = 1 ]; then
  echo "A shell in the root (exit to remove it):"
  debian_root_run TERM="${TERM:-dumb}" 'cd /root/wirlo; exec bash' || true
fi
exit "$rc"
