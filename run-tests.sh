#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests.
#
#   ./run-tests.sh          the whole run (what CI runs): builds the i686,
#                           x86_64, native and web builds and runs every test:
#                           natively under the sanitizers, the 64-bit Windows
#                           build under wine64, the 32-bit product under Wine
#                           with qemu-i386, and the web build in headless
#                           Chromium and under node; then the release
#                           (scripts/release.sh) twice, compared, and its
#                           files checked as people get them
#   ./run-tests.sh --quick  for the edit loop: builds what changed of the
#                           native build, the web frame tool and the 64-bit
#                           tests, and runs the native tests, the web frame
#                           check and the frame fingerprint in the 64-bit build
#
# The suites run side by side, each in its own Xvfb display and Wine prefix
# (a Wine server keeps the display it started on), each writing its output to
# build/logs/SUITE.log, which is printed when the suite ends. The suites of
# the Windows builds run at a lower priority, so that the native and web
# checks, which watch a window or a page in real time, get the processor first.
# The last line says how many tests passed and failed, after a list of the
# failed ones by suite; the exit code is non-zero if any failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$(pwd)
quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: $0 [--quick]"; exit 2 ;;
esac

scripts/install-deps.sh || { echo "could not install the build packages"; exit 1; }

started=$SECONDS
logs="$root/build/logs"
mkdir -p "$logs"
rm -f "$logs"/*
step() { echo; echo "== $*"; }

# ---- the suites (each runs in a subshell of its own, in the background) ----

# Runs ctest for a preset with the given extra arguments. A test program that
# failed without a report of failures (a crash, a sanitizer report at exit) and
# a scripted check that ended without its verdict are each listed in
# $logs/$lane.missing; the summary counts each as one more failure.
run_ctest() {
  local preset=$1; shift
  local results="$root/build/$preset/results" out="$logs/$lane.ctest" name
  ctest --preset "$preset" "$@" 2>&1 | tee "$out"
  [ "${PIPESTATUS[0]}" -eq 0 ] && return 0
  while read -r name; do
    case "$name" in
      # A scripted check that ended without its verdict (a time-out).
      e2e_*) [ -f "$results/${name#e2e_}.result" ] || echo "$preset: $name" >>"$logs/$lane.missing" ;;
      *) [ -f "$results/$name.xml" ] && grep -q '<failure' "$results/$name.xml" ||
           echo "$preset: $name" >>"$logs/$lane.missing" ;;
    esac
  done < <(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*$/\1/p' "$out")
  return 1
}

# What a suite undoes when it ends, last first (see start_suite).
at_end=()
# A display of the suite's own, stopped when the suite ends.
own_display() {
  local display pid
  read -r display pid < <(scripts/xvfb-start.sh "${1:-24}") || { echo "Xvfb did not start"; return 1; }
  export DISPLAY="$display"
  echo "$pid" >>"$logs/xvfb.pids"
  at_end=("kill $pid 2>/dev/null" "${at_end[@]}")
}
# The suite's Wine prefix. Its Wine server is waited for when the suite ends,
# so that it ends with the display it started on.
wine_prefix() {
  export WINEPREFIX=$1
  at_end=("WINEPREFIX='$1' timeout 60 /usr/lib/wine/wineserver -w 2>/dev/null" "${at_end[@]}")
}

suite_native() {
  own_display || return 1
  if [ "$quick" = 1 ]; then run_ctest native; return; fi
  local status=0 b
  run_ctest native || status=1
  echo "benchmark smoke run (native)"
  for b in "$root"/build/native/bench/*_bench; do
    [ -x "$b" ] || continue
    "$b" --benchmark_min_time=0.001 >/dev/null 2>&1 || { echo "benchmark $(basename "$b") FAILED"; status=1; }
  done
  return $status
}

suite_web() {
  if [ "$quick" = 1 ]; then run_ctest web -R '^e2e_frames_web$'; return; fi
  local status=0
  run_ctest web || status=1
  # The page's frame rate, as the browser test measured it.
  sed -n 's/^ *\(frame rate: .*\)$/\1/p' "$root/build/web/Testing/Temporary/LastTest.log"
  node "$root/build/web/bench/frame_web_bench.js" 2 >/dev/null || { echo "benchmark frame_web_bench FAILED"; status=1; }
  return $status
}

# The unit and window tests of the 64-bit Windows build, then the screen suite
# once more on a 16-bit desktop (the R5G6B5 back buffer).
suite_x86_64() {
  renice -n 10 $BASHPID >/dev/null
  wine_prefix "$root/build/wineprefix"
  own_display || return 1
  prepare_prefix scripts/wine-run ||
    { echo "x86_64: the Wine prefix could not be made" >>"$logs/$lane.missing"; return 1; }
  if [ "$quick" = 1 ]; then
    scripts/wine-run build/x86_64/tests/wirlo_demo_tests.exe --gtest_filter='DemoFrameFingerprint.*' \
      --gtest_output="xml:Z:$root/build/x86_64/results/wirlo_demo_tests.xml" && return 0
    [ -f "$root/build/x86_64/results/wirlo_demo_tests.xml" ] || echo "x86_64: wirlo_demo_tests" >>"$logs/$lane.missing"
    return 1
  fi
  local status=0 report="$root/build/x86_64/results/wirlo_screen16_tests.xml" log="$logs/screen16.log"
  run_ctest x86_64 -E '^e2e_' || status=1
  echo
  echo "screen tests on a 16-bit display:"
  WINEPREFIX=$WINEPREFIX timeout 60 /usr/lib/wine/wineserver -w 2>/dev/null
  own_display 16 || return 1
  if WIRLO_DESKTOP_DEPTH=16 scripts/wine-run build/x86_64/tests/wirlo_gui_tests.exe \
      --gtest_filter='ScreenTest.*:TrueColourScreenTest.*:DeviceLossTest.*' --gtest_output="xml:Z:$report" >"$log" 2>&1; then
    grep -E '^\[  (PASSED|SKIPPED) +\] [0-9]+ test' "$log"
  else
    cat "$log"
    status=1
    [ -f "$report" ] && grep -q '<failure' "$report" || echo "x86_64: wirlo_screen16_tests" >>"$logs/$lane.missing"
  fi
  return $status
}

# Makes the suite's prefix ready before anything is timed (a new 32-bit prefix
# takes a minute or more under emulation on a busy machine) and waits for its
# server to end.
prepare_prefix() {
  "$@" --prepare || return 1
  timeout 60 /usr/lib/wine/wineserver -w 2>/dev/null
  true
}

# The end-to-end checks of a Windows build, in a prefix of their own: the
# 64-bit build's through wine-run (WINEPREFIX), the 32-bit one's through
# wine32-run (WIRLO_WINE32_PREFIX). Each check starts a display of its own.
suite_windows_e2e() {
  renice -n 10 $BASHPID >/dev/null
  case "$1" in
    i686) export WIRLO_WINE32_PREFIX="$root/build/wine32/prefix-e2e" WINEPREFIX="$root/build/wine32/prefix-e2e"
          prepare_prefix scripts/wine32-run ;;
    *) export WINEPREFIX="$root/build/wineprefix-e2e"
       prepare_prefix scripts/wine-run ;;
  esac || { echo "$1: the Wine prefix could not be made" >>"$logs/$lane.missing"; return 1; }
  run_ctest "$1" -R '^e2e_'
}

# The 32-bit product's unit and window tests, its processes under qemu-i386
# from a private i386 root (made once and cached, scripts/wine32-root.sh).
suite_i686() {
  renice -n 10 $BASHPID >/dev/null
  if ! scripts/wine32-root.sh >/dev/null; then
    echo "the 32-bit Wine route could not be set up"
    echo "i686: the 32-bit Wine route" >>"$logs/$lane.missing"
    return 1
  fi
  export WIRLO_WINE32_PREFIX="$root/build/wine32/prefix"
  wine_prefix "$WIRLO_WINE32_PREFIX"
  own_display || return 1
  prepare_prefix scripts/wine32-run ||
    { echo "i686: the Wine prefix could not be made" >>"$logs/$lane.missing"; return 1; }
  run_ctest i686 -E '^e2e_'
}

# The release, made twice by scripts/release.sh in build trees of its own in
# two folders (build/release-a, build/release-b, kept: after the first run only
# what changed is built again, and the files are made afresh), compared file by
# file, and its files checked as people get them (tests/release/): the Windows
# archive unpacked and its Wirlo.exe run through the 32-bit route in a prefix
# of its own, the web archive unpacked and served to the browser check, the
# Debian package installed into a fresh root of this machine's release. Once
# the first release is made, the second (in another umask, time zone and
# locale) and the checks run side by side, each with its output in
# $logs/release-STEP.log, printed in order at the end. A check that ended
# without its verdict is listed as missing.
release_step() {
  local step=$1 start=$SECONDS rc
  shift
  "$@" >"$logs/release-$step.log" 2>&1
  rc=$?
  echo "($step: $((SECONDS - start)) s)" >>"$logs/release-$step.log"
  return $rc
}

suite_release() {
  renice -n 15 $BASHPID >/dev/null
  local results="$root/build/release/results" status=0 pids=() pid step check
  if ! release_step make-a scripts/release.sh --trees build/release-a --dist build/release-a/dist; then
    cat "$logs/release-make-a.log"
    echo "release: scripts/release.sh in build/release-a" >>"$logs/$lane.missing"
    return 1
  fi
  sed -n '/^release of /,$p' "$logs/release-make-a.log"
  export WIRLO_WINE32_PREFIX="$root/build/wine32/prefix-release"
  wine_prefix "$WIRLO_WINE32_PREFIX"
  # The second with another umask, time zone and locale, which must not matter.
  { release_step make-b env TZ=Pacific/Kiritimati LANG=C.UTF-8 \
      bash -c 'umask 002 && exec scripts/release.sh --trees build/release-b --dist build/release-b/dist' &&
      release_step same bash tests/release/same.sh build/release-a/dist build/release-b/dist "$results" \
        "$root/build/release-a" "$root/build/release-b"; } &
  pids+=($!)
  { prepare_prefix scripts/wine32-run &&
      release_step win32 bash tests/release/win32_zip.sh build/release-a/dist "$results"; } &
  pids+=($!)
  { release_step web bash tests/release/web_zip.sh build/release-a/dist "$results"
    release_step deb bash tests/release/deb.sh build/release-a/dist "$results"; } &
  pids+=($!)
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  for step in make-b same win32 web deb; do
    [ -f "$logs/release-$step.log" ] || continue
    echo
    if [ "$step" = make-b ]; then tail -n 1 "$logs/release-$step.log"; else cat "$logs/release-$step.log"; fi
  done
  for check in reproducible win32 web deb; do
    [ -f "$results/release_$check.result" ] || echo "release: release_$check" >>"$logs/$lane.missing"
  done
  return $status
}

# ---- running them ----

# Each suite is a job of its own (job control makes it a process group that
# Ctrl+C in the terminal does not reach; the script ends the groups itself).
set -m
declare -A lane_of=()
# Each lane's heading when it ends: "tests LANE", unless named here.
declare -A heading_of=([release]=release)
start_suite() {
  local lane=$1; shift
  (
    trap 'for undo in "${at_end[@]}"; do eval "$undo"; done' EXIT
    trap 'exit 143' TERM
    "$@"
  ) >"$logs/$lane.log" 2>&1 &
  lane_of[$!]=$lane
}

build() {
  local preset=$1; shift
  step "build $preset"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" "$@"; }; then
    echo "build $preset FAILED"
    exit 1
  fi
}

cleanup() {
  local pid
  for pid in "${!lane_of[@]}"; do kill -TERM -- "-$pid" 2>/dev/null; done
  [ -f "$logs/xvfb.pids" ] && xargs -r kill <"$logs/xvfb.pids" 2>/dev/null
  for prefix in build/wineprefix build/wineprefix-e2e build/wine32/prefix build/wine32/prefix-e2e \
                build/wine32/prefix-release; do
    [ -d "$prefix" ] && WINEPREFIX="$root/$prefix" /usr/lib/wine/wineserver -k 2>/dev/null
  done
  true
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ "$quick" = 1 ]; then
  suites=(native web x86_64)
  for p in "${suites[@]}"; do rm -f "$root/build/$p/results/"*.xml "$root/build/$p/results/"*.result; done
  build native
  start_suite native suite_native
  build web --target wirlo_frames testcard_picture
  start_suite web suite_web
  build x86_64 --target wirlo_demo_tests
  start_suite x86_64 suite_x86_64
else
  suites=(native x86_64 i686 web)
  for p in "${suites[@]}"; do rm -f "$root/build/$p/results/"*.xml "$root/build/$p/results/"*.result; done
  [ -d build/native ] && [ -d build/x86_64 ] && [ -d build/i686 ] && [ -d build/web ] ||
    echo "First run: the i686, x86_64, native and web builds start from scratch (about 5 minutes on 2 free cores, more on a busy machine); the tests of each start as soon as it is built."
  # The release's lane starts first, at the lowest priority: it builds its
  # trees (after the first run only what changed) in the time the builds below
  # leave the processors idle (configuring, linking), and runs its checks
  # beside the tests.
  rm -f "$root/build/release/results/"*
  start_suite release suite_release
  # The 32-bit product's tests are the longest: they start first.
  build i686
  start_suite i686 suite_i686
  start_suite i686-e2e suite_windows_e2e i686
  build x86_64
  start_suite x86_64 suite_x86_64
  start_suite x86_64-e2e suite_windows_e2e x86_64
  build native
  start_suite native suite_native
  build web
  start_suite web suite_web
fi

status=0
while [ ${#lane_of[@]} -gt 0 ]; do
  wait -n -p done_pid "${!lane_of[@]}"
  rc=$?
  lane=${lane_of[$done_pid]}
  unset "lane_of[$done_pid]"
  step "${heading_of[$lane]:-tests $lane} ($((SECONDS - started)) s after the start)"
  cat "$logs/$lane.log"
  [ "$rc" -eq 0 ] || { status=1; echo "suite $lane FAILED"; }
done

echo
missing=$(cat "$logs"/*.missing 2>/dev/null | sed 's/$/ (ended without a report: a crash, a time-out or a failed set-up)/')
results=()
for p in "${suites[@]}"; do results+=("$root/build/$p/results"); done
[ "$quick" = 1 ] || results+=("$root/build/release/results")
scripts/test-summary.sh "$missing" "${results[@]}"
exit $status
