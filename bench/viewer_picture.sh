#!/usr/bin/env bash
# The Viewer showing generated 24-megapixel JPEGs offscreen: ShowPicture to the
# first paint and to the sharp picture, cold, and to painted when read ahead,
# beside a plain full-size decode.
# Usage: bench/viewer_picture.sh [RUNS] [WINDOW]   (defaults 5, 1280x800)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j2 --target viewer_picture >/dev/null
QT_QPA_PLATFORM=offscreen "$root/build/release/bench/viewer_picture" "${1:-5}" "${2:-1280x800}" 2>/dev/null
