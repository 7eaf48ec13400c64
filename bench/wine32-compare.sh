#!/usr/bin/env bash
# The frame and presentation benchmarks of the 32-bit product (the i686 build,
# under Wine with its process under qemu-i386) beside the same benchmarks of
# the 64-bit build (under wine64), measured in one run: every figure of both
# builds and the ratio i686 / x86_64 (above 1 for times means the 32-bit build
# is slower, below 1 for frames per second likewise). Each benchmark also
# prints its own baseline ratio (memcpy, in-memory frames) measured beside it.
# The presentation benchmark runs in an Xvfb display started (and stopped) here.
#   bench/wine32-compare.sh [FRAMES]   (frames per run of both benchmarks, default
#                                      20: a presented frame of the 32-bit build
#                                      takes about a second here)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
top=$(pwd)
frames=("${@:-20}")
for preset in x86_64 i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target frame_win_bench present_win_bench -- -j2 >/dev/null
done
"$top/scripts/wine32-root.sh" >/dev/null

out=$(mktemp -d)
xvfb_pid=""
finish() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  WINEPREFIX="$top/build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX="$top/build/wine32/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$out"
}
trap finish EXIT
read -r display xvfb_pid < <(scripts/xvfb-start.sh)
export DISPLAY="$display"

# Lines of the two outputs side by side: the first figure in which a line of
# the 64-bit output differs from the same line of the 32-bit output, both
# figures and their ratio. Lines that agree (counts, sizes) are printed once.
side_by_side() {
  awk '
    function numbers(s, into,   n) {
      n = 0
      while (match(s, /[0-9]+(\.[0-9]+)?/)) {
        into[++n] = substr(s, RSTART, RLENGTH); at[n] = RSTART + consumed
        consumed += RSTART + RLENGTH - 1; s = substr(s, RSTART + RLENGTH)
      }
      return n
    }
    NR == FNR { wide[FNR] = $0; next }
    {
      delete a; delete b; delete at; consumed = 0
      nb = numbers($0, b); consumed = 0; na = numbers(wide[FNR], a)
      for (i = 1; i <= na && i <= nb && a[i] == b[i]; i++) ;
      if (i > na || i > nb) { print wide[FNR]; next }
      label = substr(wide[FNR], 1, at[i] - 1); sub(/[: (]+$/, "", label)
      printf "%-46s %10.3f %10.3f %8.2f\n", label, a[i], b[i], (a[i] != 0 ? b[i] / a[i] : 0)
    }' "$1" "$2"
}

for bench in frame present; do
  scripts/wine-run "build/x86_64/bench/${bench}_win_bench.exe" "${frames[@]}" >"$out/$bench.x86_64"
  WINEPREFIX="$top/build/wineprefix" /usr/lib/wine/wineserver -w
  scripts/wine32-run "build/i686/bench/${bench}_win_bench.exe" "${frames[@]}" >"$out/$bench.i686"
  WINEPREFIX="$top/build/wine32/prefix" /usr/lib/wine/wineserver -w
  echo "== ${bench}_win_bench"
  printf "%-46s %10s %10s %8s\n" "" x86_64 i686 ratio
  side_by_side "$out/$bench.x86_64" "$out/$bench.i686"
  echo
done
