#!/usr/bin/env bash
# The web build's page end to end in headless Chromium: served on 127.0.0.1 by
# the project's own server, loaded and driven through the DevTools protocol
# (browser_web.mjs). The canvas must show the effect after a few seconds of
# frames and change between two captures a second apart; frames must be presented at the
# display's rate and never faster (the figure is reported); a real Escape key
# event must stop the loop (no frame presented after it, two captures after
# it identical, the page saying so); and neither the console nor the page's
# scripts may report any error (the program's end included). The page names
# the version. Full screen (the F key) shows the canvas scaled by the largest
# whole number that fits, crisp (every 2x2 block of a capture at scale 2 one
# colour), and the first Escape there leaves full screen with the program
# running on; at two device pixels per CSS pixel the page shows the picture
# crisp (the capture is the picture at scale 1 with each pixel doubled, no
# smoothing). Then the test card's page (testcard.html): its canvas shows
# exactly the card's picture in memory, crisp in full screen too, and Escape
# stops it.
# Usage: demo_web.sh BUILD_DIR RESULTS_DIR [demo]
# With "demo" only the demo's page is checked (a folder holding the web
# download, tests/release/web_zip.sh).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
e2e_begin demo_web "$@"
pages=${3:-all}
source "$root/scripts/web-server.bash"
work=$(mktemp -d)
finish() {
  web_server_stop
  rm -rf "$work"
}
trap finish EXIT

for f in index.html Wirlo.js Wirlo.wasm; do [ -f "$build/$f" ] || fail "no $build/$f"; done
web_server_start "$build" || fail "the page's server did not start"
url=$web_url
note "page served at $url"

node "$here/browser_web.mjs" check "$url" "$work" >"$work/report.txt" 2>&1 ||
  fail "could not drive the page: $(tail -n 3 "$work/report.txt")"
value() { sed -n "s/^$1=//p" "$work/report.txt" | head -n 1; }

# Full screen and a screen of two device pixels per CSS pixel, from the report
# $1 and the captures in folder $2 (browser_web.mjs): the canvas in full screen
# at the largest whole scale that fits its 1800x1400 viewport, crisp; the first
# Escape leaving full screen, the program running on; the stopped picture at
# scale 2 each of its pixels doubled.
check_views() {
  local report=$1 out=$2 own shown view w h scale expected differ
  view() { sed -n "s/^$1=//p" "$report" | head -n 1; }
  [ "$(view fullscreen)" = yes ] || fail "no full screen: '$(view fullscreen)'"
  own=$(view fullscreen_canvas) shown=$(view fullscreen_shown) view=$(view fullscreen_viewport)
  w=${own%x*} h=${own#*x}
  scale=$(awk -v v="$view" -v w="$w" -v h="$h" 'BEGIN { split(v, s, "x"); a = int(s[1] / w); b = int(s[2] / h);
    print (a < b ? a : b) }')
  expected="$((w * scale))x$((h * scale))"
  [ "$shown" = "$expected" ] ||
    fail "full screen in $view shows the ${own} canvas at $shown, not at the whole scale $scale ($expected)"
  convert "$out/fullscreen.png" -filter point -resize "$((100 / scale))%" -filter point -resize "$((100 * scale))%" \
    "$out/fullscreen-blocks.png"
  differ=$(differing "$out/fullscreen.png" "$out/fullscreen-blocks.png")
  [ "$differ" = 0 ] || fail "full screen at scale $scale is not crisp ($differ pixels differ from whole blocks)"
  case "$(view after_fullscreen_status)" in
    Running*) ;;
    *) fail "the Escape that left full screen did more: '$(view after_fullscreen_status)'" ;;
  esac
  convert "$out/stopped-2.png" -filter point -resize 200% "$out/stopped-doubled.png"
  differ=$(differing "$out/stopped-doubled.png" "$out/stopped-dpr2.png")
  [ "$differ" = 0 ] || fail "at two device pixels per CSS pixel the picture is smoothed ($differ pixels differ)"
  note "full screen: the ${own} canvas at ${shown} (scale $scale) in $view, crisp; the first Escape leaves it, the program runs on; crisp at device pixel ratio 2"
}

[ "$(value title)" = Wirlo ] || fail "the page's title is '$(value title)', not Wirlo"
version=$(sed -n 's/^project(Wirlo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
grep -q "Wirlo $version<" "$build/index.html" || fail "the page does not name version $version"
lit=$(nonblack "$work/running-1.png")
changed=$(compare -metric AE "$work/running-1.png" "$work/running-2.png" null: 2>&1 | awk '{print int($1)}')
note "running: $lit lit pixels, $changed pixels changed a second later, $(colours "$work/running-2.png") colours"
[ "$lit" -ge 2000 ] || fail "the canvas is dark after a few seconds ($lit lit pixels)"
[ "$changed" -ge 500 ] || fail "the canvas does not change between captures a second apart ($changed pixels)"

presented=$(value presented_per_second)
display=$(value animation_frames_per_second)
note "frame rate: $presented presented frames per second, the display (animation frames) $display"
awk -v p="$presented" 'BEGIN { exit !(p >= 1) }' || fail "frames do not advance ($presented per second)"
awk -v p="$presented" -v d="$display" 'BEGIN { exit !(p <= d * 1.05 + 1) }' ||
  fail "frames are presented faster than the display shows them ($presented against $display per second)"

[ "$(value presented_after_stop)" = 0 ] || fail "frames were presented after Escape ($(value presented_after_stop))"
stopped_changed=$(compare -metric AE "$work/stopped-1.png" "$work/stopped-2.png" null: 2>&1 | awk '{print int($1)}')
[ "$stopped_changed" = 0 ] || fail "the canvas changes after Escape ($stopped_changed pixels)"
[ "$(nonblack "$work/stopped-2.png")" -ge 2000 ] || fail "the last frame does not stay on the page after Escape"
note "after Escape: '$(value stopped_status)'; two captures identical"
case "$(value stopped_status)" in
  *"has stopped"*) ;;
  *) fail "the page does not say that the effect stopped normally: '$(value stopped_status)'" ;;
esac

problems=$(sed -n 's/^problem=//p' "$work/report.txt")
[ -z "$problems" ] || fail "the console reported errors: $(echo "$problems" | head -n 3 | tr '\n' ' ')"
note "console: no errors"
check_views "$work/report.txt" "$work"
[ "$pages" = demo ] && pass

# ---- the test card's page ----
mkdir -p "$work/card"
node "$build/tests/testcard_picture.js" "$work/card.bmp" >/dev/null || fail "testcard_picture failed"
convert "$work/card.bmp" -alpha off "$work/card-expected.png"
node "$here/browser_web.mjs" check "${url}testcard.html" "$work/card" >"$work/card.txt" 2>&1 ||
  fail "could not drive the test card's page: $(grep -m1 "^browser_web:" "$work/card.txt" || tail -n 3 "$work/card.txt")"
card() { sed -n "s/^$1=//p" "$work/card.txt" | head -n 1; }
[ "$(card title)" = "Wirlo test card" ] || fail "the test card's page is titled '$(card title)'"
differ=$(differing "$work/card/running-2.png" "$work/card-expected.png")
[ "$differ" = 0 ] || fail "the test card's canvas does not show its picture ($differ pixels differ)"
case "$(card stopped_status)" in
  *"has stopped"*) ;;
  *) fail "the test card's page does not say it stopped: '$(card stopped_status)'" ;;
esac
[ -z "$(card problem)" ] || fail "the test card's console reported errors: $(card problem)"
check_views "$work/card.txt" "$work/card"
note "test card: the canvas shows the card's picture exactly; Escape stops it"
if [ -n "${WIRLO_E2E_KEEP:-}" ]; then cp "$work"/*.png "$results/"; fi
pass
