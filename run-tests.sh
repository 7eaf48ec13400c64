#!/usr/bin/env bash
# Installs what is missing, builds the native, x86_64 and i686 builds, and runs
# every test: natively under the sanitizers, the 64-bit Windows build under
# wine64, and the 32-bit product under Wine with qemu-i386, with an Xvfb display
# started (and stopped) here. The last line says how many tests passed and
# failed; the exit code is non-zero if any failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$(pwd)

scripts/install-deps.sh || { echo "could not install the build packages"; exit 1; }

status=0
step() { echo; echo "== $*"; }

for preset in native x86_64 i686; do
  step "build $preset"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    echo "build $preset FAILED"
    exit 1
  fi
done

xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  WINEPREFIX="$root/build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX="$root/build/wine32/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
read -r display xvfb_pid < <(scripts/xvfb-start.sh) || { echo "Xvfb did not start"; exit 1; }
export DISPLAY="$display"

missing_reports=0
# Runs one preset's tests. A test program that failed without a report of
# failures (a crash, a sanitizer report at exit) counts as one more failure.
run_ctest() {
  local preset=$1 results="$root/build/$1/results" failed_log="$root/build/$1/Testing/Temporary/LastTestsFailed.log"
  rm -f "$results"/*.xml "$results"/*.result "$failed_log"
  ctest --preset "$preset" && return 0
  status=1
  [ -f "$failed_log" ] || return 0
  while IFS=: read -r _ name; do
    case "$name" in e2e_*) continue ;; esac
    if [ ! -f "$results/$name.xml" ] || ! grep -q '<failure' "$results/$name.xml"; then
      missing_reports=$((missing_reports + 1))
    fi
  done < "$failed_log"
}
for preset in native x86_64; do
  step "tests $preset"
  run_ctest "$preset"
done

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

step "benchmark smoke run (native)"
for b in "$root"/build/native/bench/*_bench; do
  [ -x "$b" ] || continue
  "$b" --benchmark_min_time=0.001 >/dev/null 2>&1 || { echo "benchmark $(basename "$b") FAILED"; status=1; }
done

echo
scripts/test-summary.sh "$missing_reports" "$root/build/native/results" "$root/build/x86_64/results" "$root/build/i686/results"
exit $status
