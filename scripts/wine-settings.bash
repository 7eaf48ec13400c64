# Sourced by scripts/wine-run and scripts/wine32-run once their prefix exists:
# applies scripts/wine-settings.reg to it when the prefix has not had this
# version of the file yet. $1 is the Wine loader that runs the prefix.
wine_settings() {
  local settings stamp want
  settings="$(dirname "${BASH_SOURCE[0]}")/wine-settings.reg"
  settings=$(cd "$(dirname "$settings")" && pwd)/wine-settings.reg
  stamp="$WINEPREFIX/.wirlo-settings"
  want=$(sha256sum <"$settings" | cut -d' ' -f1)
  [ "$(cat "$stamp" 2>/dev/null)" = "$want" ] && return 0
  (
    flock 9
    [ "$(cat "$stamp" 2>/dev/null)" = "$want" ] && exit 0
    # The registry reaches the prefix's files when its server ends.
    "$1" regedit /S "Z:${settings//\//\\}" >/dev/null 2>&1 && /usr/lib/wine/wineserver -w &&
      echo "$want" >"$stamp"
  ) 9>"$WINEPREFIX.lock"
}
