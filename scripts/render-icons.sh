#!/usr/bin/env bash
# Renders the program's icon (packaging/icons/io.github.lumetra.Lumetra.svg) into the PNG sizes a desktop's
# icon theme looks for. The PNGs are kept in the repository, so building needs no SVG renderer; run this
# after changing the SVG (needs rsvg-convert, Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"

for size in 16 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert --width "$size" --height "$size" io.github.lumetra.Lumetra.svg \
    --output "${size}x${size}/io.github.lumetra.Lumetra.png"
done
