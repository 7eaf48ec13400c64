#!/usr/bin/env bash
# Installs what is missing, builds the native, x86_64, i686 and web builds, and
# runs every test: natively under the sanitizers, the 64-bit Windows build under
# wine64, the 32-bit product under Wine with qemu-i386 (with Xvfb displays
# started and stopped here), and the web build in headless Chromium and under
# node. The last line says how many tests passed and failed; the exit code is
# non-zero if any failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$(pwd)

scripts/install-deps.sh || { echo "could not install the build packages"; exit 1; }

status=0
step() { echo; echo "== $*"; }
[ -d build/native ] && [ -d build/x86_64 ] && [ -d build/i686 ] && [ -d build/web ] ||
  echo "First run: the native, x86_64, i686 and web builds start from scratch (about 5 minutes on 2 free cores, more on a busy machine); the tests then take about 10 minutes, 6 of them the 32-bit ones under emulation."

for preset in native x86_64 i686 web; do
  step "build $preset"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    echo "build $preset FAILED"
    exit 1
  fi
done

xvfb_pid=""
xvfb16_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$xvfb16_pid" ] && kill "$xvfb16_pid" 2>/dev/null
  WINEPREFIX="$root/build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX="$root/build/wine32/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
read -r display xvfb_pid < <(scripts/xvfb-start.sh) || { echo "Xvfb did not start"; exit 1; }
export DISPLAY="$display"

missing_reports=0
# Runs one preset's tests. A test program that failed without a report of
# failures (a crash, a sanitizer report at exit) and a scripted check that
# ended without its verdict each count as one more failure.
run_ctest() {
  local preset=$1 results="$root/build/$1/results" failed_log="$root/build/$1/Testing/Temporary/LastTestsFailed.log"
  rm -f "$results"/*.xml "$results"/*.result "$failed_log"
  ctest --preset "$preset" && return 0
  status=1
  [ -f "$failed_log" ] || return 0
  while IFS=: read -r _ name; do
    case "$name" in
      # A scripted check that ended without its verdict (a time-out).
      e2e_*) [ -f "$results/${name#e2e_}.result" ] || missing_reports=$((missing_reports + 1)) ;;
      *) if [ ! -f "$results/$name.xml" ] || ! grep -q '<failure' "$results/$name.xml"; then
           missing_reports=$((missing_reports + 1))
         fi ;;
    esac
  done < "$failed_log"
}
for preset in native x86_64; do
  step "tests $preset"
  run_ctest "$preset"
done

# The screen suite once more on a 16-bit desktop: the R5G6B5 back buffer. Wine's
# server keeps the display it started on, so the last one must have ended first.
step "screen tests x86_64 on a 16-bit display"
wine_settle() { WINEPREFIX="$root/build/wineprefix" timeout 60 /usr/lib/wine/wineserver -w 2>/dev/null || true; }
wine_settle
report="$root/build/x86_64/results/wirlo_screen16_tests.xml"
log="$root/build/x86_64/screen16.log"
if read -r display16 xvfb16_pid < <(scripts/xvfb-start.sh 16); then
  if DISPLAY="$display16" WIRLO_DESKTOP_DEPTH=16 scripts/wine-run build/x86_64/tests/wirlo_gui_tests.exe \
      --gtest_filter='ScreenTest.*:TrueColourScreenTest.*:DeviceLossTest.*' --gtest_output="xml:Z:$report" >"$log" 2>&1; then
    grep -E '^\[  (PASSED|SKIPPED) +\] [0-9]+ test' "$log"
  else
    cat "$log"
    status=1
    [ -f "$report" ] && grep -q '<failure' "$report" || missing_reports=$((missing_reports + 1))
  fi
  wine_settle
  kill "$xvfb16_pid" 2>/dev/null
  xvfb16_pid=""
else
  echo "Xvfb (16-bit) did not start"
  status=1
  missing_reports=$((missing_reports + 1))
fi

# The 32-bit product and its tests under Wine, the 32-bit processes under
# qemu-i386 from a private i386 root (made once and cached, scripts/wine32-root.sh).
step "tests i686"
if scripts/wine32-root.sh >/dev/null; then
  run_ctest i686
  WINEPREFIX="$root/build/wine32/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
else
  echo "the 32-bit Wine route could not be set up"
  status=1
  missing_reports=$((missing_reports + 1))
fi

# The web build (WebAssembly): its page in headless Chromium and its frame tool
# under node against the native build's.
step "tests web"
run_ctest web
# The page's frame rate, as the browser test measured it.
sed -n 's/^ *\(frame rate: .*\)$/\1/p' "$root/build/web/Testing/Temporary/LastTest.log"
node "$root/build/web/bench/frame_web_bench.js" 2 >/dev/null || { echo "benchmark frame_web_bench FAILED"; status=1; }

step "benchmark smoke run (native)"
for b in "$root"/build/native/bench/*_bench; do
  [ -x "$b" ] || continue
  "$b" --benchmark_min_time=0.001 >/dev/null 2>&1 || { echo "benchmark $(basename "$b") FAILED"; status=1; }
done

echo
scripts/test-summary.sh "$missing_reports" "$root"/build/{native,x86_64,i686,web}/results
exit $status
