#!/usr/bin/env bash
# Builds the optimised program and runs it. Until the desktop program is there,
# this checks file names with `lorvane check --human`: the name of FILE, the
# names of every file in FOLDER, or the files of sample/ by default.
# Usage: ./run.sh [FILE|FOLDER]...
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages

(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target lorvane)
lorvane="$root/build/release/src/cli/lorvane"

[ $# -gt 0 ] || set -- "$root/sample"
names=()
for arg in "$@"; do
    if [ -d "$arg" ]; then
        while IFS= read -r -d '' f; do
            names+=("$(basename -- "$f")")
        done < <(find "$arg" -mindepth 1 -maxdepth 1 -type f -print0 | LC_ALL=C sort -z)
    elif [ -e "$arg" ]; then
        names+=("$(basename -- "$arg")")
    else
        echo "No file or folder \"$arg\"" >&2
        exit 2
    fi
done
if [ ${#names[@]} -eq 0 ]; then
    echo "No files to check in \"$*\"" >&2
    exit 0
fi
exec "$lorvane" check --human -- "${names[@]}"
