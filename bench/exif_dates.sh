#!/usr/bin/env bash
# The date taken of N JPEG files (default 1000), read by Change Dates' reader
# (Exiv2) and by `exiftool -DateTimeOriginal` over the same files, in one run.
# Usage: bench/exif_dates.sh [N]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
n="${1:-1000}"
command -v exiftool >/dev/null || { echo "exiftool is not installed (Debian: libimage-exiftool-perl)" >&2; exit 2; }

cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j2 --target exif_dates >/dev/null
bin="$root/build/release/bench/exif_dates"
work="$(mktemp -d "${TMPDIR:-/tmp}/lorvane-exif.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$bin" --make "$n" "$root/sample/holiday photo.jpg" "$work"

"$bin" "$work" | sed 's/^/lorvane (Exiv2): /'
start=$(date +%s.%N)
dated=$(exiftool -q -q -s3 -DateTimeOriginal "$work" | grep -c .)
end=$(date +%s.%N)
awk -v n="$n" -v d="$dated" -v s="$start" -v e="$end" \
    'BEGIN { printf "exiftool: %d files, %d with a date, %.3f s, %.0f files/s\n", n, d, e - s, n / (e - s) }'
