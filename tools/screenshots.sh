#!/usr/bin/env bash
# Builds lorvane-manager and renders its windows on the names in sample/ to PNG
# files, without a display: build/screenshots/ at normal size and
# build/screenshots/hidpi/ at twice the pixel density. The Browser is rendered in
# each of its views too (browser-details, -large-icons, -small-icons, -list and
# -selected), next to the Editor's pictures.
# Usage: tools/screenshots.sh [PRESET]   (default: release)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-release}"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target lorvane-manager browser_snapshot -j2
program="$root/build/$preset/src/app/lorvane-manager"
browser="$root/build/$preset/src/browser/browser_snapshot"
out="$root/build/screenshots"
rm -rf "$out"

QT_QPA_PLATFORM=offscreen "$program" --screenshot "$out" "$root/sample" 2>/dev/null
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$program" --screenshot "$out/hidpi" "$root/sample" 2>/dev/null
QT_QPA_PLATFORM=offscreen "$browser" "$root/sample" "$out" 2>/dev/null | sed 's/^/wrote /'
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$browser" "$root/sample" "$out/hidpi" 2>/dev/null | sed 's/^/wrote /'
echo "Screenshots in $out"
