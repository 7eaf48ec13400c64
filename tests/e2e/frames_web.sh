#!/usr/bin/env bash
# The frame tool of the web build (WebAssembly under node) against the native
# build's: after the same number of frames from the same seed, the two BMP
# files must be byte-identical; and so must the test card's picture after one
# frame (testcard_picture).
# Usage: frames_web.sh BUILD_DIR RESULTS_DIR   (the native build is taken from
# build/native, or from WIRLO_NATIVE_BUILD)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin frames_web "$@"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

web="$build/tests/wirlo_frames.js"
native="${WIRLO_NATIVE_BUILD:-$root/build/native}/tests/wirlo_frames"
[ -f "$web" ] || fail "no $web"
[ -x "$native" ] || fail "no $native (build the native preset first)"
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

for run in "0 1" "1 1" "10 1" "100 1" "100 -123456789"; do
  read -r frames seed <<<"$run"
  "$native" "$frames" "$work/native.bmp" "$seed" >/dev/null || fail "native tool failed at $frames frames, seed $seed"
  node "$web" "$frames" "$work/web.bmp" "$seed" >/dev/null || fail "web tool failed at $frames frames, seed $seed"
  cmp -s "$work/native.bmp" "$work/web.bmp" ||
    fail "$frames frames, seed $seed: the web build's picture differs from the native build's ($(cmp "$work/native.bmp" "$work/web.bmp" 2>&1 | head -n 1))"
  note "$frames frames, seed $seed: identical ($(md5sum <"$work/web.bmp" | cut -c1-12))"
done

"${native%/wirlo_frames}/testcard_picture" "$work/native.bmp" >/dev/null || fail "native testcard_picture failed"
node "${web%/wirlo_frames.js}/testcard_picture.js" "$work/web.bmp" >/dev/null || fail "web testcard_picture failed"
cmp -s "$work/native.bmp" "$work/web.bmp" || fail "the web build's test card differs from the native build's"
note "test card: identical ($(md5sum <"$work/web.bmp" | cut -c1-12))"
pass
