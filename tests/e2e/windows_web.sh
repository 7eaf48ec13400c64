#!/usr/bin/env bash
# The web build's windows under node on a stand-in page (windows_on_page_web):
# one poll takes every browser event pending; closing windows while the
# program runs, one or all, takes their canvases off the page; the runtime's
# end leaves them there.
# Usage: windows_web.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin windows_web "$@"
tool="$build/tests/windows_on_page_web.js"
[ -f "$tool" ] || fail "no $tool"
out=$(node "$tool" 2>&1) || fail "$out"
note "$out"
pass
