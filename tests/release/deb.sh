#!/usr/bin/env bash
# The release's Debian package in a fresh root of a Debian release, this
# machine's by default (scripts/debian-root.bash): apt installs it from the
# file with what it depends on and nothing more (no recommended packages);
# every library /usr/games/wirlo links is found; `wirlo --version` names the
# package's version. Then, with Xvfb installed in the root after the package,
# `wirlo` runs in an Xvfb display started there: its window opens and shows
# the spiral (looked at from this machine through the display's socket), and
# SIGTERM ends it with exit code 0. `apt-get remove wirlo` leaves none of the
# package's files and folders behind, and no record of it.
# The packages apt fetches are kept in ~/.cache/wirlo/debian-N/release-check.
# Needs root (mounts and chroot).
# Usage: deb.sh DIST_DIR RESULTS_DIR [12|13]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin release_deb "$1" "$2"
dist=$build
source "$root/scripts/debian-root.bash"
demo_pid=""
[ "$(id -u)" -eq 0 ] || fail "needs root (mounts and chroot)"
version=${3:-$(. /etc/os-release && echo "$VERSION_ID")}
debian_release "$version" || fail "no fresh root for Debian '$version' (12 and 13 are known)"

debs=("$dist"/wirlo_*_amd64.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "not one wirlo_*_amd64.deb in $dist"
deb=$(basename "${debs[0]}")
package_version=$(dpkg-deb -f "${debs[0]}" Version)
made=$(debian_bare_root 2>&1) || fail "no bare Debian $version root: $(echo "$made" | tail -n 3)"

# One check at a time per release: they share the downloads.
cache="$debian_cache/release-check"
mkdir -p "$cache/archives/partial" "$cache/lists/partial"
exec 9>"$cache.lock"
flock 9
# The root's end (debian_root_close) at exit removes this check's files too.
debian_root_open
work="$debian_work/check"
mkdir "$work"
debian_root_bind "$cache/archives" /var/cache/apt/archives
debian_root_bind "$cache/lists" /var/lib/apt/lists
cp "${debs[0]}" "$debian_root/tmp/$deb"
# A user's PATH has /usr/games.
path=PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin:/usr/games
in_root() { debian_root_run "$path" "$@"; }
apt_get() { in_root "DEBIAN_FRONTEND=noninteractive apt-get -q -y -o Dpkg::Use-Pty=0 $*" >>"$work/apt.log" 2>&1; }
last_lines() { tail -n 5 "$1" | tr '\n' ' '; }

apt_get update || fail "apt-get update failed in the root: $(last_lines "$work/apt.log")"
apt_get install --no-install-recommends "/tmp/$deb" ||
  fail "apt-get install ./$deb failed on Debian $version: $(last_lines "$work/apt.log")"
note "Debian $version: apt installs $deb with $(grep -c '^Setting up' "$work/apt.log") packages"
missing=$(in_root 'ldd /usr/games/wirlo' | grep 'not found')
[ -z "$missing" ] || fail "libraries of /usr/games/wirlo not found: $missing"
said=$(in_root 'wirlo --version' 2>&1 | head -n 1)
[ "$said" = "Wirlo $package_version" ] || fail "wirlo --version says '$said', not 'Wirlo $package_version'"
note "wirlo --version: $said"

# ---- wirlo in an Xvfb display of the root's own ----
apt_get install --no-install-recommends xvfb || fail "xvfb did not install in the root: $(last_lines "$work/apt.log")"
# The server picks a display free here as well as in the root (the display's
# abstract socket is shared with this machine) and writes its number when ready.
in_root 'exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset' >"$work/display" 2>"$work/xvfb.log" &
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start in the root: $(last_lines "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY of the root cannot be reached from here"
start_demo "${debian_root_env[@]}" "$path" DISPLAY="$DISPLAY" wirlo
check_spiral "$win" 60
kill -TERM "$demo_pid"
wait_demo 10
[ "$code" = 0 ] || fail "SIGTERM: exit code $code (expected 0): $(last_lines "$work/out.txt")"
note "wirlo in Xvfb: window, spiral; SIGTERM: exit code 0"

# ---- removal ----
in_root 'dpkg-query -L wirlo' >"$work/files" || fail "dpkg knows no files of wirlo"
apt_get remove wirlo || fail "apt-get remove wirlo failed: $(last_lines "$work/apt.log")"
status=$(in_root "dpkg-query -W -f='\${db:Status-Abbrev}' wirlo 2>/dev/null")
case "$status" in
  ""|un*) ;;
  *) fail "after apt-get remove, dpkg still records wirlo: '$status'" ;;
esac
# Left behind: a file of the package, or a folder of it that no other package has.
left=$(in_root 'while read -r p; do
  [ -e "$p" ] || continue
  [ -d "$p" ] && dpkg-query -S "$p" >/dev/null 2>&1 && continue
  echo "$p"
done' <"$work/files")
[ -z "$left" ] || fail "apt-get remove wirlo left behind: $(echo "$left" | tr '\n' ' ')"
note "apt-get remove wirlo: nothing of its own left (it listed $(wc -l <"$work/files") files and folders)"
pass
