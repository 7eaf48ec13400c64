# Sourced by the scripts that serve the web build (run-demo.sh, its test, its
# benchmark): starts scripts/serve-web.py in the background and stops it.

# Serves folder $1 on 127.0.0.1 at a free port; sets web_server_pid and
# web_url (http://127.0.0.1:PORT/). Returns 1 when the server did not start.
# The server's errors go to this script's standard error.
web_server_start() {
  local folder=$1 file
  file=$(mktemp)
  rm -f "$file"
  python3 "$(dirname "${BASH_SOURCE[0]}")/serve-web.py" "$folder" "$file" >/dev/null &
  web_server_pid=$!
  web_url=""
  for _ in $(seq 1 100); do
    [ -s "$file" ] && break
    kill -0 "$web_server_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$file" ] && web_url=$(cat "$file")
  rm -f "$file"
  if [ -z "$web_url" ]; then
    web_server_stop
    return 1
  fi
}

# Stops the server started by web_server_start, if it runs.
web_server_stop() {
  [ -n "${web_server_pid:-}" ] || return 0
  kill "$web_server_pid" 2>/dev/null
  wait "$web_server_pid" 2>/dev/null
  web_server_pid=""
}
