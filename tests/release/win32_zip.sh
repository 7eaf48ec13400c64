#!/usr/bin/env bash
# The release's Windows download as a person gets it: Wirlo-VERSION-win32.zip
# unpacked into an empty folder holds Wirlo.exe, README.txt and LICENSE.txt and
# nothing else; Wirlo.exe is a GUI PE32 executable for Intel 386, stripped,
# without a time stamp, with a version resource that reads VERSION (product
# "Wirlo", its file name, a description); and run from that folder through the
# 32-bit route (scripts/wine32-run, WIRLO_WINE32_PREFIX) in an Xvfb display of
# its own, it opens the window, shows the spiral, and Escape ends it with exit
# code 0.
# Usage: win32_zip.sh DIST_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin release_win32 "$@"
dist=$build
work=$(mktemp -d)
trap wine_check_end EXIT

folder="$work/Wirlo"
unpack_download "$dist" 'Wirlo-*-win32.zip' "$folder" "LICENSE.txt README.txt Wirlo.exe "
version=$(basename "$download" -win32.zip)
version=${version#Wirlo-}
exe="$folder/Wirlo.exe"
kind=$(pe_kind "$exe")
[ "$kind" = "PE32 GUI i386" ] || fail "Wirlo.exe is not a GUI PE32 for Intel 386: $kind"

python3 "$root/tests/release/pe_facts.py" "$exe" >"$work/facts" 2>&1 || fail "$(cat "$work/facts")"
fact() { sed -n "s/^$1=//p" "$work/facts"; }
[ "$(fact symbols)" = 0 ] && [ "$(fact debug_sections)" = none ] ||
  fail "Wirlo.exe is not stripped: $(fact symbols) symbols, debug sections $(fact debug_sections)"
[ "$(fact time_stamp)" = 0 ] || fail "Wirlo.exe carries a time stamp: $(fact time_stamp)"
for expected in "file_version=$version.0" "product_version=$version.0" ProductName=Wirlo "ProductVersion=$version" \
                "FileVersion=$version" OriginalFilename=Wirlo.exe; do
  grep -qxF "$expected" "$work/facts" || fail "the version resource lacks $expected: $(tr '\n' ' ' <"$work/facts")"
done
[ -n "$(fact FileDescription)" ] || fail "the version resource has no file description"
note "Wirlo.exe: $kind, stripped, no time stamp, $(stat -c %s "$exe") bytes; version resource: Wirlo $(fact ProductVersion), \"$(fact FileDescription)\""

choose_wine "$folder"
wine_settle
start_display
# Started from its own folder, as a double click would.
cd "$folder" || fail "cannot enter $folder"
check_windows_demo "$wine_run" "$exe"
pass
