#!/usr/bin/env bash
# The web build's figures beside the native build's, measured in one run:
# one frame of the effect in memory, natively (optimised, Google Benchmark) and
# in WebAssembly under node, each beside memcpy of the bytes a frame moves in
# the same run; then the page in headless Chromium: the rate of presented frames
# paced by the browser's animation frames (the display's rate) and unpaced
# (Chromium's frame rate limit and vsync off), beside the rate that the
# WebAssembly frame's composition alone would allow.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
for preset in native-release web; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j2 >/dev/null
done
source scripts/web-server.bash
trap web_server_stop EXIT

echo "== native (optimised), Google Benchmark"
native=$(build/native-release/bench/frame_bench --benchmark_min_time=0.5 2>/dev/null | grep -E '^(Frame|Memcpy)')
echo "$native"
echo
echo "== WebAssembly under node (optimising compiler from the start)"
# V8 first runs WebAssembly from a quick baseline compile and swaps in its
# optimised code when a background compile finishes, which on a busy machine
# can come after the frames measured; --no-liftoff times the optimised code, as
# a page runs it after its first second.
web=$(node --no-liftoff build/web/bench/frame_web_bench.js)
echo "$web"
echo
# Milliseconds from a Google Benchmark row or from a "name: N ms" line.
native_ms() { awk -v row="$1" '$1 == row { t = $2; if ($3 == "us") t /= 1000; print t }' <<<"$native"; }
web_ms() { awk -F': *' -v name="$1" 'index($1, name) == 1 { split($2, v, " "); print v[1] }' <<<"$web"; }
native_frame=$(native_ms Frame)
native_copy=$(native_ms MemcpyOfAFramesBytes)
web_frame=$(web_ms "median frame")
web_copy=$(web_ms "median memcpy")
awk -v nf="$native_frame" -v nc="$native_copy" -v wf="$web_frame" -v wc="$web_copy" 'BEGIN {
  printf "frame, ms:        native %.3f   WebAssembly %.3f   (WebAssembly / native %.1f)\n", nf, wf, wf / nf
  printf "memcpy, ms:       native %.3f   WebAssembly %.3f\n", nc, wc
  printf "frame / memcpy:   native %.1f     WebAssembly %.1f\n", nf / nc, wf / wc }'

echo
echo "== the page in headless Chromium (5 s each)"
web_server_start "$root/build/web" || { echo "the page's server did not start"; exit 1; }
rate() {
  node tests/e2e/browser_web.mjs rate "$web_url" 5 | sed -n 's/^presented_per_second=//p'
}
paced=$(rate)
unpaced=$(WIRLO_CHROMIUM_FLAGS="--disable-frame-rate-limit --disable-gpu-vsync" rate)
awk -v p="$paced" -v u="$unpaced" -v wf="$web_frame" 'BEGIN {
  printf "presented frames per second: paced %.1f, unpaced %.1f\n", p, u
  printf "unpaced against the WebAssembly frame alone (%.0f per second): %.0f%%\n", 1000 / wf, u * wf / 10 }'
