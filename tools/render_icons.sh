#!/usr/bin/env bash
# Renders the application icon, data/icons/hicolor/scalable/apps/lorvane-manager.svg,
# to the PNG sizes beside it (committed, so that a build needs no SVG renderer).
# Run it after changing the SVG. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
icons="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/data/icons/hicolor"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$icons/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/lorvane-manager.svg" \
        -o "$icons/${size}x${size}/apps/lorvane-manager.png"
done
