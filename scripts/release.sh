#!/usr/bin/env bash
# Makes the release of the commit checked out: builds the product for 32-bit
# Windows, for the browser and natively, and writes into dist/
#
#   Wirlo-VERSION-win32.zip   Wirlo.exe (stripped), README.txt, LICENSE.txt
#   Wirlo-VERSION-web.zip     index.html, Wirlo.js, Wirlo.wasm
#   wirlo_VERSION_amd64.deb   the native demo as /usr/games/wirlo (CPack)
#   SHA256SUMS                the checksums of the three
#
#   scripts/release.sh [--trees DIR] [--dist DIR]
#
# The build trees are made afresh in a temporary folder and removed at the end,
# unless --trees names a folder to keep them in (DIR/i686, DIR/web, DIR/native),
# where a later run rebuilds only what changed. --dist names another folder for
# the files. VERSION is the one project() in CMakeLists.txt gives.
#
# The same commit gives the same bytes, wherever and whenever it is built with
# the same packages: every date inside the archives and the package is the time
# of the last commit (SOURCE_DATE_EPOCH, unless it is set already), entries go
# in a fixed order, and no build path, time stamp or user name gets into any
# file (cmake/release.cmake, scripts/release-zip.py). Changes not committed go
# into the build all the same; the script says so.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage() { echo "usage: $0 [--trees DIR] [--dist DIR]" >&2; exit 2; }
trees=""
dist="$top/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --trees) [ $# -ge 2 ] || usage; trees=$2; shift 2 ;;
    --dist) [ $# -ge 2 ] || usage; dist=$2; shift 2 ;;
    *) usage ;;
  esac
done

"$top/scripts/install-deps.sh"
# CPack gives the package's members the permissions its files were made with:
# the same whatever the caller's umask.
umask 022
if ! commit=$(git -C "$top" rev-parse --short HEAD 2>/dev/null); then
  # Sources without their history: the dates must be given.
  [ -n "${SOURCE_DATE_EPOCH:-}" ] ||
    { echo "release: $top is no git checkout; set SOURCE_DATE_EPOCH to the sources' time" >&2; exit 1; }
  what="the sources in $top"
elif [ -n "$(git -C "$top" status --porcelain --untracked-files=no)" ]; then
  echo "note: the work tree has changes not committed; the release is not exactly commit $commit"
fi
what=${what:-commit $commit}
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}

if [ -z "$trees" ]; then
  trees=$(mktemp -d "${TMPDIR:-/tmp}/wirlo-release.XXXXXX")
  trap 'rm -rf "$trees"' EXIT
fi
mkdir -p "$trees" "$dist"
trees=$(cd "$trees" && pwd)

# Configures (once) and builds tree $2 from preset $1 with the release's
# settings: no tests, no benchmarks, and of the programs only the demo, the
# one the release hands out (WIRLO_PRODUCT in cmake/release.cmake).
build() {
  local preset=$1 dir=$trees/$2 log=$trees/$2.log
  echo "building $2 in $dir"
  if ! { { [ -f "$dir/CMakeCache.txt" ] ||
           cmake --preset "$preset" -B "$dir" -DWIRLO_RELEASE=ON -DWIRLO_BUILD_TESTS=OFF -DWIRLO_BUILD_BENCH=OFF; } &&
         NODE_PATH=/usr/share/nodejs cmake --build "$dir" --target wirlo_demo; } >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "release: the $2 build failed (log: $log)" >&2
    exit 1
  fi
}
build i686 i686
build web web
build native-release native

files=()
# The downloads of the Windows and the web build, as their trees list them.
for tree in i686 web; do
  list=$trees/$tree/release/bundle.list
  name=$(head -n 1 "$list")
  python3 "$top/scripts/release-zip.py" "$dist/$name" "$list"
  files+=("$name")
done
# The Debian package.
rm -rf "$trees/native/package"
if ! cpack --config "$trees/native/CPackConfig.cmake" >"$trees/native-package.log" 2>&1; then
  tail -n 30 "$trees/native-package.log"
  echo "release: CPack failed (log: $trees/native-package.log)" >&2
  exit 1
fi
deb=$(cd "$trees/native/package" && ls -- *.deb)
cp "$trees/native/package/$deb" "$dist/$deb"
files+=("$deb")

mapfile -t files < <(printf '%s\n' "${files[@]}" | LC_ALL=C sort)
(cd "$dist" && sha256sum -- "${files[@]}") >"$dist/SHA256SUMS"
echo "release of $what (dates: $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC')) in $dist:"
(cd "$dist" && ls -l -- "${files[@]}" SHA256SUMS | awk '{printf "  %-28s %9d bytes\n", $NF, $5}')
cat "$dist/SHA256SUMS"
