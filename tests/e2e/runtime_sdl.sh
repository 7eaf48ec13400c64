#!/usr/bin/env bash
# The runtime's start-up and shutdown natively, under AddressSanitizer and
# UndefinedBehaviorSanitizer, in an Xvfb display of its own: start-up, the end
# steps (twice), a second start-up in the same process that runs the demo's
# frames, and the shutdown with exit code 0; the start-up failure path with its
# message and exit code 9 (check_runtime_cycle).
# Usage: runtime_sdl.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin runtime_sdl "$@"
xvfb_pid=""
work=$(mktemp -d)
trap check_end EXIT

tool="$build/tests/runtime_cycle"
[ -x "$tool" ] || fail "no $tool"
# Leaks inside the system's display and GL libraries are not the program's.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
start_display
check_runtime_cycle "$tool"
pass
