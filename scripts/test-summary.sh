#!/usr/bin/env bash
# Adds up the GoogleTest XML reports in the given results directories
# (build/PRESET/results) and the verdicts of the scripted checks; lists every
# failed test as "FAILED preset: test" and closes with one line
# "N passed, N failed". The first argument lists, one per line, the tests that
# ended without any report (a crash, a time-out); each counts as one failure.
set -euo pipefail
missing=$1; shift
passed=0; failed=0; skipped=0
failures=()
while IFS= read -r line; do
  [ -n "$line" ] || continue
  failures+=("FAILED $line")
  failed=$((failed + 1))
done <<<"$missing"
for dir in "$@"; do
  preset=$(basename "$(dirname "$dir")")
  for xml in "$dir"/*.xml; do
    [ -f "$xml" ] || continue
    # One line per test case: its verdict and its name.
    while read -r verdict test; do
      case "$verdict" in
        passed) passed=$((passed + 1)) ;;
        skipped) skipped=$((skipped + 1)) ;;
        failed) failed=$((failed + 1)); failures+=("FAILED $preset: $test") ;;
      esac
    done < <(awk '
      function name(line,   c, n) {
        c = line; n = line
        sub(/.*classname="/, "", c); sub(/".*/, "", c)
        sub(/.* name="/, "", n); sub(/".*/, "", n)
        return c "." n
      }
      function close_case() { print (bad ? "failed" : skip ? "skipped" : "passed"), current; open = 0 }
      /<testcase / { open = 1; bad = 0; skip = ($0 ~ /result="skipped"/); current = name($0)
                     if ($0 ~ /\/>[[:space:]]*$/) close_case(); next }
      open && /<failure/ { bad = 1 }
      open && /<skipped/ { skip = 1 }
      open && /<\/testcase>/ { close_case() }' "$xml")
  done
  # Scripted end-to-end checks write one line "PASS name" or "FAIL name why" each.
  for res in "$dir"/*.result; do
    [ -f "$res" ] || continue
    if grep -q '^PASS' "$res"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      failures+=("FAILED $preset: e2e $(sed 's/^FAIL //' "$res" | head -n 1)")
    fi
  done
done
[ ${#failures[@]} -eq 0 ] || printf '%s\n' "${failures[@]}"
if [ "$skipped" -gt 0 ]; then
  echo "$passed passed, $failed failed, $skipped skipped"
else
  echo "$passed passed, $failed failed"
fi
