#!/usr/bin/env bash
# Builds lorvane-manager and renders its windows on the names in sample/ to PNG
# files, without a display: build/screenshots/ at normal size and
# build/screenshots/hidpi/ at twice the pixel density.
# Usage: tools/screenshots.sh [PRESET]   (default: release)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-release}"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target lorvane-manager -j2
program="$root/build/$preset/src/app/lorvane-manager"
out="$root/build/screenshots"
rm -rf "$out"

QT_QPA_PLATFORM=offscreen "$program" --screenshot "$out" "$root/sample" 2>/dev/null
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$program" --screenshot "$out/hidpi" "$root/sample" 2>/dev/null
echo "Screenshots in $out"
