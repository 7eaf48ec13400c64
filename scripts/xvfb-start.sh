#!/usr/bin/env bash
# Starts an Xvfb server on a free display number and prints "DISPLAY PID".
# Usage: xvfb-start.sh [DEPTH]   (the screen's colour depth, 24 by default)
# The server runs in a session of its own: Ctrl+C in the terminal of the
# script that started it must not end it under the program drawing on it
# (that script stops it by its PID).
# Several runs may start at once (tests of two checkouts, say): a display
# counts as ours only when our own server holds its lock file, otherwise two
# runs could share one server and the first to finish would end it.
# -noreset: by default the server starts afresh whenever its last client leaves,
# and a program connecting in that moment is turned away (about one connection
# in forty when programs come and go one after another); the checks start and
# end the demo several times in a row.
set -euo pipefail
depth=${1:-24}
for n in $(seq 91 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  setsid Xvfb ":$n" -screen 0 "1280x1024x$depth" -nolisten tcp -noreset >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    if [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock")" = "$pid" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      echo ":$n $pid"
      exit 0
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
done
echo "could not start Xvfb" >&2
exit 1
