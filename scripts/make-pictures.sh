#!/usr/bin/env bash
# Makes the README's pictures of the effect with the project's own frames tool
# (tests/tools/wirlo_frames.cpp), from a fixed seed, so anyone can make them
# again:
#   docs/wirlo.png  the picture after 300 frames (five seconds of the demo at
#                   60 frames a second), 800x600, the same bytes on every run
#   docs/wirlo.gif  the spiral growing from frame 30 to frame 300: every
#                   second frame, about 30 a second (the demo's own pace),
#                   the last one held for 2 seconds, scaled to 400x300
#   docs/testcard.png  the test card (examples/testcard) after one frame,
#                   640x480, by its own tool (tests/tools/testcard_picture.cpp)
# Builds the tools natively and optimised (in build/pictures) and encodes with
# ImageMagick.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seed=1 first=30 last=300 step=2

scripts/install-deps.sh
echo "Building the picture tools (native, optimised, in build/pictures; about half a minute the first time)"
mkdir -p build/pictures
log=build/pictures/make-pictures.log
if ! { cmake -S . -B build/pictures -G Ninja -DCMAKE_BUILD_TYPE=Release -DWIRLO_BUILD_BENCH=OFF &&
       cmake --build build/pictures --target wirlo_frames testcard_picture -- -j2; } >"$log" 2>&1; then
  tail -n 30 "$log"
  echo "The picture tools did not build (full log: $log)."
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/pictures/tests/wirlo_frames --every "$step" "$first" "$last" "$work/frames" "$seed"
mkdir -p docs
# No time stamps or other metadata, so the file depends on the picture alone.
convert "$work/frames/frame-$last.bmp" -strip -define png:exclude-chunks=date,time docs/wirlo.png
# Each frame is scaled on its own (a 2x2 box average) before they are put
# together, which keeps ImageMagick's memory low.
mogrify -scale 50% "$work"/frames/*.bmp
frames=("$work"/frames/frame-*.bmp)
convert -delay 3 "${frames[@]:0:${#frames[@]}-1}" -delay 200 "${frames[-1]}" \
  +dither -colors 256 -layers Optimize -loop 0 docs/wirlo.gif
build/pictures/tests/testcard_picture "$work/card.bmp" >/dev/null
convert "$work/card.bmp" -alpha off -strip -define png:exclude-chunks=date,time docs/testcard.png
echo "Wrote docs/testcard.png ($(stat -c %s docs/testcard.png) bytes)."
echo "Wrote docs/wirlo.png ($(stat -c %s docs/wirlo.png) bytes) and docs/wirlo.gif ($(stat -c %s docs/wirlo.gif) bytes)."
