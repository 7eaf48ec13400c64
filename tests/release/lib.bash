# Shared pieces of the checks of the release's files (scripts/release.sh);
# sourced by the scripts beside it, after which they are end-to-end checks
# like any other (tests/e2e/lib.bash): e2e_begin, pass, fail, note, ...

source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.bash"

# Unpacks the one file in folder $1 matching $2 (a glob) into the new, empty
# folder $3, as a person would, and checks that it holds exactly the files $4
# (names in C order, each followed by a space). Sets download to its file.
unpack_download() {
  local matches found
  matches=("$1"/$2)
  [ ${#matches[@]} = 1 ] && [ -f "${matches[0]}" ] || fail "not one $2 in $1"
  download=${matches[0]}
  mkdir "$3" || fail "cannot make the empty folder $3"
  unzip -q "$download" -d "$3" || fail "$(basename "$download") does not unpack"
  found=$(cd "$3" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | tr '\n' ' ')
  [ "$found" = "$4" ] || fail "$(basename "$download") holds '$found', not '$4'"
}
