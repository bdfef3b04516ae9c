#!/usr/bin/env bash
# Builds the screenshot tool and renders the windows on the names in sample/ to
# PNG files, without a display: build/screenshots/ at normal size and
# build/screenshots/hidpi/ at twice the pixel density. The Editor on each name,
# the Browser in each of its views (browser-details, -large-icons, -small-icons,
# -list and -selected), frmChangeDate, frmChangeSequence, frmAddContent,
# frmRemoveContent, frmSelect on both tabs, the progress dialog, frmOptions on each
# of its tabs (dialog-options-general, -1x, -2x, -date-time, -semantics), frmAbout, the
# Viewer on a sample picture (viewer-wide, viewer-tall) and the three windows side
# by side (desktop.png).
# Usage: tools/screenshots.sh [PRESET]   (default: release)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-release}"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target lorvane-screenshots -j2
tool="$root/build/$preset/tools/screenshots/lorvane-screenshots"
out="$root/build/screenshots"
rm -rf "$out"

QT_QPA_PLATFORM=offscreen "$tool" "$out" "$root/sample" 2>/dev/null
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$tool" "$out/hidpi" "$root/sample" 2>/dev/null
echo "Screenshots in $out"
