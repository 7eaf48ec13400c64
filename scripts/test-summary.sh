#!/usr/bin/env bash
# Adds up the GoogleTest XML reports in the given directories and the ctest
# verdicts of the scripted checks; prints one closing line "N passed, N failed".
# A test program that crashed before writing its report counts as one failure
# (run-tests.sh passes the number of such programs as the first argument).
set -euo pipefail
extra_failed=$1; shift
passed=0; failed=$extra_failed; skipped=0
for dir in "$@"; do
  for xml in "$dir"/*.xml; do
    [ -f "$xml" ] || continue
    read -r p f s < <(awk '
      /<testcase / { open=1; bad=0; skip=0; if ($0 ~ /result="skipped"/) skip=1;
                     if ($0 ~ /\/>[[:space:]]*$/) { open=0; if (skip) s++; else p++ } ; next }
      open && /<failure/ { bad=1 }
      open && /<skipped/ { skip=1 }
      open && /<\/testcase>/ { open=0; if (bad) f++; else if (skip) s++; else p++ }
      END { printf "%d %d %d\n", p, f, s }' "$xml")
    passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
  done
  # Scripted end-to-end checks write one line "PASS name" or "FAIL name" each.
  for res in "$dir"/*.result; do
    [ -f "$res" ] || continue
    if grep -q '^PASS' "$res"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  done
done
if [ "$skipped" -gt 0 ]; then
  echo "$passed passed, $failed failed, $skipped skipped"
else
  echo "$passed passed, $failed failed"
fi
