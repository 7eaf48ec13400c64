#!/usr/bin/env bash
# The release's web download as a static host gets it: Wirlo-VERSION-web.zip
# unpacked into an empty folder holds index.html, Wirlo.js and Wirlo.wasm and
# nothing else, and served from that folder the page passes the browser check
# of the web build (tests/e2e/demo_web.sh, the demo's page alone).
# Usage: web_zip.sh DIST_DIR RESULTS_DIR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin release_web "$@"
dist=$build
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

folder="$work/site"
unpack_download "$dist" 'Wirlo-*-web.zip' "$folder" "Wirlo.js Wirlo.wasm index.html "

mkdir "$work/results"
bash "$root/tests/e2e/demo_web.sh" "$folder" "$work/results" demo
verdict=$(cat "$work/results/demo_web.result" 2>/dev/null)
case "$verdict" in
  PASS*) pass ;;
  *) fail "the browser check of the unpacked page: ${verdict:-no verdict}" ;;
esac
