#!/usr/bin/env bash
# Renders the scalable icon to the PNG sizes the icon theme holds (the
# 16 x 16 one is drawn by hand: src/ui/resources/draw_images.py). Run it
# after changing pelloquin.svg; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || {
  echo "render.sh: needs rsvg-convert (apt-get install librsvg2-bin)" >&2
  exit 1
}
for size in 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" hicolor/scalable/apps/pelloquin.svg \
    -o "hicolor/${size}x${size}/apps/pelloquin.png"
done
