#!/usr/bin/env bash
# The frames tool's command line: bad arguments end with exit code 2 and the
# usage line; the sequence mode writes exactly the pictures asked for, named by
# frame, each the same as the single-picture mode's picture after as many
# frames; a path that cannot be written ends with exit code 1 and leaves
# nothing behind, and a path that was there before (a directory, a read-only
# file) is left as it was.
# Usage: frames_tool_sdl.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin frames_tool_sdl "$@"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tool="$build/tests/wirlo_frames"
[ -x "$tool" ] || fail "no $tool"

# ---- bad arguments: exit 2 and the usage line, nothing written ----
while read -r args; do
  # shellcheck disable=SC2086  # each line is a list of arguments
  "$tool" $args >"$work/out.txt" 2>"$work/err.txt"
  code=$?
  [ "$code" = 2 ] || fail "'$args': exit code $code (expected 2)"
  grep -q '^usage: wirlo_frames FRAMES OUTPUT.bmp \[SEED\]$' "$work/err.txt" ||
    fail "'$args': no usage line: $(head -n 2 "$work/err.txt")"
done <<EOF
--every
--every 2 0 4
--every 0 0 4 $work/bad
--every 2 -1 4 $work/bad
--every 2 5 4 $work/bad
--every 2 0 1000001 $work/bad
--every 2 0 4x $work/bad
--every 2 0 4 $work/bad 1 more
--every 2 0 4 $work/bad 99999999999
5
-1 $work/bad.bmp
5 $work/bad.bmp seed
EOF
[ ! -e "$work/bad" ] && [ ! -e "$work/bad.bmp" ] || fail "a rejected command line wrote a file"
note "bad arguments: exit code 2 and the usage line"

# ---- a sequence: frames 2, 6, 10 and 14 of seed 3 ----
"$tool" --every 4 2 14 "$work/seq/new" 3 >"$work/out.txt" 2>&1 || fail "sequence run failed: $(cat "$work/out.txt")"
names=$(cd "$work/seq/new" && echo *)
[ "$names" = "frame-02.bmp frame-06.bmp frame-10.bmp frame-14.bmp" ] || fail "sequence wrote: $names"
for f in "$work"/seq/new/*.bmp; do
  [ "$(stat -c %s "$f")" = $((54 + 800 * 3 * 600)) ] || fail "$(basename "$f") is not an 800x600 24-bit BMP"
done
"$tool" 14 "$work/single.bmp" 3 >/dev/null 2>&1 || fail "single picture run failed"
cmp -s "$work/single.bmp" "$work/seq/new/frame-14.bmp" || fail "frame-14.bmp differs from the picture after 14 frames"
! cmp -s "$work/seq/new/frame-02.bmp" "$work/seq/new/frame-06.bmp" || fail "frames 2 and 6 are the same picture"
note "sequence: $(cat "$work/out.txt")"

# ---- paths that cannot be written: exit 1, a message, nothing left ----
"$tool" 1 "$work/missing/x.bmp" 2>"$work/err.txt"
code=$?
[ "$code" = 1 ] && grep -q "cannot write $work/missing/x.bmp" "$work/err.txt" ||
  fail "unwritable picture: exit code $code, $(cat "$work/err.txt")"
touch "$work/file"
"$tool" --every 1 0 1 "$work/file" 2>"$work/err.txt"
code=$?
[ "$code" = 1 ] && grep -q "cannot create $work/file" "$work/err.txt" ||
  fail "sequence into a file: exit code $code, $(cat "$work/err.txt")"
[ ! -e "$work/missing" ] && [ -f "$work/file" ] && [ ! -s "$work/file" ] || fail "a failed run left something behind"
note "unwritable paths: exit code 1"

# ---- paths that exist and cannot be written: exit 1, left untouched ----
mkdir -p "$work/dir.bmp" "$work/seq/old/frame-1.bmp"
"$tool" 0 "$work/dir.bmp" 2>/dev/null
code=$?
[ "$code" = 1 ] && [ -d "$work/dir.bmp" ] || fail "directory as the picture: exit code $code, still there: $(ls -d "$work/dir.bmp")"
"$tool" --every 1 0 1 "$work/seq/old" 2>/dev/null
code=$?
[ "$code" = 1 ] && [ -d "$work/seq/old/frame-1.bmp" ] || fail "directory as a picture of a sequence: exit code $code"
# A read-only file. Root may write any file, so as root the tool runs as
# nobody (in a directory nobody may change); where that cannot be done, the
# file is a running program, which nobody may open for writing.
chmod 755 "$work"
mkdir -m 777 "$work/shared"
echo keep >"$work/shared/locked.bmp"
chmod 444 "$work/shared/locked.bmp"
as=()
if [ "$(id -u)" = 0 ]; then
  as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  if ! "${as[@]}" true 2>/dev/null; then
    as=()
    cp "$(command -v sleep)" "$work/shared/locked.bmp"
    "$work/shared/locked.bmp" 60 &
    busy_pid=$!
    trap 'kill "$busy_pid" 2>/dev/null; rm -rf "$work"' EXIT
  fi
fi
before=$(md5sum <"$work/shared/locked.bmp")
"${as[@]}" "$tool" 0 "$work/shared/locked.bmp" 2>"$work/err.txt"
code=$?
[ "$code" = 1 ] && [ "$(md5sum <"$work/shared/locked.bmp" 2>/dev/null)" = "$before" ] ||
  fail "read-only picture: exit code $code, $(cat "$work/err.txt")"
note "existing paths that cannot be written: left as they were"
pass
