#!/usr/bin/env bash
# Renders the committed PNG icons from the SVG again after it was changed
# (needs rsvg-convert, Debian package librsvg2-bin). The PNGs are committed
# so that neither the build nor CI needs a renderer.
set -euo pipefail
cd "$(dirname "$0")/hicolor"
svg=scalable/apps/org.quillcrafter.JourneymanDiff.svg
for size in 16 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "${size}x${size}/apps/org.quillcrafter.JourneymanDiff.png"
done
