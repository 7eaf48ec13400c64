#!/usr/bin/env bash
# Makes, once, the private i386 root that 32-bit Windows programs run from
# (scripts/wine32-run), and prints its path. Nothing is installed on the system:
# the i386 packages of the installed Wine version and the libraries it draws
# through are fetched by a private apt configuration (its own state, lists and
# sources, the sources taken from the machine's own Debian sources) and
# unpacked with dpkg-deb into build/wine32/root. The downloaded packages are
# kept in a per-user cache keyed by the Wine version, so another clone on this
# machine unpacks them without fetching them again; the cache is checked
# against its own list of checksums and fetched again when incomplete.
# A run that finds the root complete returns at once.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$top/build/wine32"
root="$out/root"
# Bump when the way the root is made changes, so that old roots are remade.
recipe=5

wine_version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) ||
  { echo "wine64 is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
command -v qemu-i386 >/dev/null ||
  { echo "qemu-i386 is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
stamp="$root/.wirlo-root"
want="wine $wine_version, recipe $recipe"

root_ready() {
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] &&
    [ -f "$root/usr/lib/wine/wine-preloader.static" ] && [ -x "$root/usr/lib/wine/wine64" ] &&
    [ -e "$root/usr/lib/x86_64-linux-gnu/wine/x86_64-unix/ntdll.so" ] &&
    [ -f "$root/etc/ld.so.cache" ] && [ -f "$root/usr/lib/i386-linux-gnu/wine/i386-windows/ntdll.dll" ] &&
    [ -e "$root/lib/ld-linux.so.2" ]
}
if root_ready; then echo "$root"; exit 0; fi

mkdir -p "$out"
exec 9>"$out/.lock"
flock 9
if root_ready; then echo "$root"; exit 0; fi

# The i386 packages, with the Wine ones pinned to the installed version.
packages=(
  "wine32:i386=$wine_version" "libwine:i386=$wine_version" "wine32-preloader:i386=$wine_version"
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386
  libxcursor1:i386 libxcomposite1:i386 libxfixes3:i386 libxinerama1:i386 libxxf86vm1:i386
)

cache="${XDG_CACHE_HOME:-$HOME/.cache}/wirlo/wine32-$wine_version"
debs="$cache/debs"
manifest="$cache/SHA256SUMS"

cache_complete() {
  [ -s "$manifest" ] && (cd "$debs" && sha256sum --quiet --strict -c "$manifest" >/dev/null 2>&1)
}

fetch() {
  local apt="$out/apt"
  rm -rf "$apt" "$manifest"
  mkdir -p "$apt/lists/partial" "$apt/sources.list.d" "$apt/preferences.d" "$apt/log" "$debs/partial"
  : >"$apt/status"
  "$top/scripts/debian-sources.py" >"$apt/sources.list.d/debian.sources"
  local opts=(
    -o "Dir::State=$apt" -o "Dir::State::Lists=$apt/lists" -o "Dir::State::status=$apt/status"
    -o "Dir::Cache=$apt" -o "Dir::Cache::archives=$debs" -o "Dir::Log=$apt/log"
    -o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::Etc::Preferences=/dev/null" -o "Dir::Etc::PreferencesParts=$apt/preferences.d"
    -o "APT::Architecture=amd64" -o "APT::Architectures::=amd64" -o "APT::Architectures::=i386"
    -o "APT::Install-Recommends=false" -o "APT::Get::List-Cleanup=false"
    -o "APT::Sandbox::User=$(id -un)"
  )
  echo "Fetching the i386 Wine $wine_version packages (about 30 s, once per Wine version)" >&2
  # A mirror in the middle of a sync can fail one index; the packages still
  # come from the indexes that were fetched, and the download below tells.
  apt-get "${opts[@]}" -qq update >&2 ||
    echo "note: an index failed to download; going on with the others" >&2
  apt-get "${opts[@]}" -qq -y --download-only install "${packages[@]}" >&2 ||
    { echo "the i386 Wine $wine_version packages could not be fetched" >&2; exit 1; }
  # Only the i386 packages go into the root; the others are dropped.
  find "$debs" -maxdepth 1 -name '*.deb' ! -name '*_i386.deb' -delete
  (cd "$debs" && sha256sum -- *_i386.deb >"$manifest.new") && mv "$manifest.new" "$manifest"
  rm -rf "$apt"
}

mkdir -p "$cache"
exec 8>"$cache/.lock"
flock 8
cache_complete || fetch
cache_complete || { echo "the i386 package cache in $cache is incomplete" >&2; exit 1; }
flock -u 8

echo "Unpacking the i386 root into $root" >&2
rm -rf "$root" "$root.new"
mkdir -p "$root.new"
while read -r _ deb; do
  dpkg-deb -x "$debs/$deb" "$root.new"
done <"$manifest"
new="$root.new"

# Releases with a merged /usr (Debian 13) ship the i386 loader and libraries
# under usr/ only; the links /lib -> usr/lib and the like come from base-files,
# which is not unpacked here. Without them every 32-bit program fails to find
# /lib/ld-linux.so.2.
for d in bin sbin lib; do
  [ -e "$new/$d" ] || [ ! -d "$new/usr/$d" ] || ln -s "usr/$d" "$new/$d"
done
[ -e "$new/lib/ld-linux.so.2" ] || { echo "the i386 root has no /lib/ld-linux.so.2" >&2; exit 1; }

# The root's own loader cache: without it the i386 loader reads the host's
# cache and misses i386 libraries (libexpat, FreeType) found only through it.
printf '%s\n' /lib/i386-linux-gnu /usr/lib/i386-linux-gnu >"$new/etc/ld.so.conf"
ldconfig -X -r "$new"

# Wine's built-in zlib1.dll, made from the MinGW build of zlib as the Wine
# package's installation script makes it.
zlib="$new/usr/i686-w64-mingw32/lib/zlib1.dll"
[ -f "$zlib" ] || zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
dlls="$new/usr/lib/i386-linux-gnu/wine/i386-windows"
{
  head -c 64 "$zlib"
  printf 'Wine builtin DLL'
  head -c 16 /dev/zero
  tail -c +97 "$zlib"
} >"$dlls/zlib1.dll"

# Wine starts a 32-bit program with the 32-bit loader found beside the running
# wine64; the system has none, so a copy of the system's wine64 runs from here.
# It finds its 64-bit libraries relative to itself, so they are linked in.
cp /usr/lib/wine/wine64 "$new/usr/lib/wine/wine64"
mkdir -p "$new/usr/lib/x86_64-linux-gnu"
ln -s /usr/lib/x86_64-linux-gnu/wine "$new/usr/lib/x86_64-linux-gnu/wine"
# The kernel cannot run i386 programs: the preloader runs under qemu-i386, with
# every path looked up in this root first. WINELOADERNOEXEC keeps Wine from
# starting the preloader once more from inside.
#
# qemu keeps the whole span of the preloader's image reserved, 0x08048000 to
# 0x7d400000 between its two segments, where Linux leaves that gap free. The
# preloader takes back only the part below 0x68000000, so Wine's own DLLs
# (ntdll.dll at 0x7bc00000, kernelbase.dll, kernel32.dll) would miss their
# preferred addresses ("ntdll could not be mapped at preferred address"). The
# preloader's one extra reserved range, which Wine sets to the program's image
# (already inside the low part for the usual image bases), takes the rest of
# the span back for Wine; an image above it keeps its own range.
preloader="$new/usr/lib/wine/wine-preloader"
if [ -L "$preloader" ]; then
  rm "$preloader"
else
  mv "$preloader" "$preloader.static"
fi
cat >"$new/usr/lib/wine/wine-preloader" <<'EOF'
#!/bin/sh
root=$(cd "$(dirname "$0")/../../.." && pwd)
reserve=${WINEPRELOADRESERVE:-0-0}
if [ $((0x${reserve#*-})) -le $((0x68000000)) ]; then
  export WINEPRELOADRESERVE=68000000-7d000000
fi
WINELOADERNOEXEC=1 exec qemu-i386 -L "$root" "$root/usr/lib/wine/wine-preloader.static" "$@"
EOF
chmod +x "$new/usr/lib/wine/wine-preloader"

echo "$want" >"$new/.wirlo-root"
mv "$new" "$root"
echo "$root"
