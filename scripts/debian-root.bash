# Sourced by the scripts that work in a fresh root of a Debian release
# (scripts/check-debian.sh, tests/release/deb.sh): the bare root, made once
# with debootstrap and cached; a fresh copy of it with /proc, /sys, /dev,
# /dev/pts and a /dev/shm of its own mounted; commands run inside it; and the
# end, which stops whatever still runs inside, unmounts everything mounted
# under it whatever way the script ends, and removes the copy. Needs root.
#
#   debian_release 12|13      sets debian_version, debian_codename, debian_cache
#                             (~/.cache/wirlo/debian-N); returns 1 for another
#   debian_bare_root          makes the bare root once: $debian_cache/bare-root.tar
#   debian_root_open          a fresh copy in debian_root; its end on exit
#   debian_root_bind DIR PATH mounts DIR of this machine at PATH in the root
#   debian_root_run [NAME=VALUE...] CMD
#                             runs bash command CMD in the root as root, in a
#                             clean environment with the variables given;
#                             "${debian_root_env[@]}" starts any command so
#                             (for one in the background whose PID counts)
#
# The bare root is debootstrap's minimal output from the archive that this
# machine's own apt sources name, with the machine's sources turned to that
# release; nothing of the project's is in it.

wirlo_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

debian_release() {
  case "$1" in
    12) debian_codename=bookworm ;;
    13) debian_codename=trixie ;;
    *) return 1 ;;
  esac
  debian_version=$1
  debian_cache="${XDG_CACHE_HOME:-$HOME/.cache}/wirlo/debian-$debian_version"
  mkdir -p "$debian_cache"
}

# Made under a lock of its own, so that runs for the same release may share it.
debian_bare_root() {
  local bare="$debian_cache/bare-root.tar" archive tmp
  [ -s "$bare" ] && return 0
  command -v debootstrap >/dev/null || "$wirlo_top/scripts/install-deps.sh" debootstrap
  (
    flock 8
    [ -s "$bare" ] && exit 0
    # debootstrap writes its own sources.list naming one archive; the root gets
    # the machine's sources instead, read at run time and turned to that release.
    archive=$("$wirlo_top/scripts/debian-sources.py" --for "$debian_codename" --archive)
    echo "Making a bare Debian $debian_version ($debian_codename) root from $archive (once; a few minutes)"
    tmp=$(mktemp -d "${TMPDIR:-/var/tmp}/wirlo-debootstrap.XXXXXX")
    trap 'rm -rf --one-file-system "$tmp"' EXIT
    debootstrap --variant=minbase --keyring=/usr/share/keyrings/debian-archive-keyring.gpg \
      "$debian_codename" "$tmp/root" "$archive" >"$debian_cache/debootstrap.log" 2>&1 ||
      { tail -n 20 "$debian_cache/debootstrap.log"
        echo "debootstrap failed (log: $debian_cache/debootstrap.log)" >&2; exit 1; }
    rm -f "$tmp/root/etc/apt/sources.list"
    "$wirlo_top/scripts/debian-sources.py" --for "$debian_codename" >"$tmp/root/etc/apt/sources.list.d/debian.sources"
    rm -rf "$tmp/root/var/cache/apt/archives"/*.deb "$tmp/root/var/lib/apt/lists"/*_*
    tar -C "$tmp/root" -cf "$bare.new" . && mv "$bare.new" "$bare"
  ) 8>"$debian_cache/.bare.lock"
}

# Everything mounted under the root, deepest first.
debian_mounted() { awk -v r="$debian_root/" 'index($2, r) == 1 {print $2}' /proc/self/mounts | sort -r; }

debian_root_close() {
  local rc=$? p m
  trap - EXIT INT TERM
  # Whatever still runs inside the root (a display server, Wine's server) ends first.
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$debian_root" ] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  sleep 0.5
  for m in $(debian_mounted); do umount "$m" 2>/dev/null || umount -l "$m"; done
  if [ -n "$(debian_mounted)" ]; then
    echo "$(basename "$0"): $debian_work is still mounted; not removing it" >&2
  else
    rm -rf --one-file-system "$debian_work"
  fi
  exit "$rc"
}

debian_root_open() {
  debian_work=$(mktemp -d "${TMPDIR:-/var/tmp}/wirlo-debian-$debian_version.XXXXXX")
  debian_root="$debian_work/root"
  debian_root_env=(chroot "$debian_root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8
                   PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  mkdir -p "$debian_root"
  trap debian_root_close EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  tar -C "$debian_root" -xf "$debian_cache/bare-root.tar"
  cp /etc/resolv.conf "$debian_root/etc/resolv.conf" 2>/dev/null || true
  mount -t proc proc "$debian_root/proc"
  mount -t sysfs sysfs "$debian_root/sys"
  mount --bind /dev "$debian_root/dev"
  mount --bind /dev/pts "$debian_root/dev/pts"
  mount -t tmpfs -o mode=1777 shm "$debian_root/dev/shm"
}

debian_root_bind() {
  mkdir -p "$1" "$debian_root$2"
  mount --bind "$1" "$debian_root$2"
}

debian_root_run() { "${debian_root_env[@]}" "${@:1:$#-1}" bash -c "${!#}"; }
