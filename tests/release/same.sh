#!/usr/bin/env bash
# Two releases of the same sources, made in two build trees in two different
# folders (scripts/release.sh): their SHA256SUMS are the same and list the
# three downloads (the Windows and the web archive, the Debian package), each
# matching its file. No file of the release, unpacked (the archives' entries,
# the package's control and data), holds the source folder, the build folders
# given, the user's home folder or /tmp; the package's files belong to
# root/root whoever built it.
# Usage: same.sh DIST_A DIST_B RESULTS_DIR [BUILD_FOLDER...]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin release_reproducible "$1" "$3"
a=$build
b=$(cd "$2" && pwd)
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for dist in "$a" "$b"; do
  [ -f "$dist/SHA256SUMS" ] || fail "no $dist/SHA256SUMS"
  (cd "$dist" && sha256sum --quiet -c SHA256SUMS) >"$work/check.txt" 2>&1 ||
    fail "$dist: the files do not match SHA256SUMS: $(head -n 3 "$work/check.txt" | tr '\n' ' ')"
done
names=$(awk '{print $2}' "$a/SHA256SUMS" | tr '\n' ' ')
case "$names" in
  "Wirlo-"*"-web.zip Wirlo-"*"-win32.zip wirlo_"*"_amd64.deb ") ;;
  *) fail "SHA256SUMS lists '$names', not the web and Windows archives and the Debian package" ;;
esac
cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS" ||
  fail "the two releases differ: $(diff "$a/SHA256SUMS" "$b/SHA256SUMS" | grep '^[<>]' | tr '\n' ' ')"
note "two releases in $(dirname "$a") and $(dirname "$b"): the same SHA256SUMS"

for file in $names; do
  mkdir -p "$work/files/$file"
  case "$file" in
    *.zip) unzip -q "$a/$file" -d "$work/files/$file" || fail "$file does not unpack" ;;
    *.deb) dpkg-deb -R "$a/$file" "$work/files/$file" || fail "$file does not unpack"
           owners=$(dpkg-deb -c "$a/$file" | awk '{print $2}' | sort -u | tr '\n' ' ')
           [ "$owners" = "root/root " ] || fail "$file holds files of $owners, not only of root/root" ;;
  esac
done
forbidden=("$root" "$@" /tmp/ /var/tmp/)
[ "${HOME:-/}" != / ] && forbidden+=("$HOME/")
for text in "${forbidden[@]}"; do
  hits=$(grep -r -a -l -F -e "$text" "$work/files" | sed "s|^$work/files/||")
  [ -z "$hits" ] || fail "'$text' is written in $(echo "$hits" | tr '\n' ' ')"
done
note "no build path, home folder or /tmp in any file; the package's files belong to root/root"
pass
