#!/usr/bin/env bash
# One frame's composition in both builds, side by side: the native build
# (optimised, plain pixel memory) and the 64-bit Windows build under wine64
# (DIB sections and GDI grabs), each beside memcpy of the bytes a frame moves,
# measured in the same run as its figure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in native-release x86_64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target "$([ "$preset" = x86_64 ] && echo frame_win_bench || echo frame_bench)" -- -j2 >/dev/null
done
echo "== native (SDL/Linux image back end), Google Benchmark"
build/native-release/bench/frame_bench --benchmark_min_time=0.5 2>/dev/null | grep -vE '^(\*\*\*|Running|Run on|CPU Caches|  L[123]|Load Average)' || true
echo
echo "== 64-bit Windows build under wine64"
scripts/wine-run build/x86_64/bench/frame_win_bench.exe
