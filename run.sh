#!/usr/bin/env bash
# Builds the optimised program and starts the desktop program, lorvane-manager.
# The first argument is its start path: a file opens the Editor on it, a folder
# opens the Browser on it; with none the Browser opens as the settings say (the
# sample folder on the first run). Without a display it says so and runs the
# command-line tool on the same argument instead (lorvane list for a folder,
# lorvane check --human for a file, the sample folder without one), with its
# exit status.
# Usage: ./run.sh [FILE|FOLDER]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages

(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target lorvane-manager lorvane)
manager="$root/build/release/src/app/lorvane-manager"
lorvane="$root/build/release/src/cli/lorvane"

if [ $# -gt 0 ] && [ ! -e "$1" ]; then
    # The program starts as without a path then; say why the path was not opened.
    echo "No file or folder \"$1\"; starting without it." >&2
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    # The command-line tool does the same work without windows: its exit status is ours.
    echo "There is no display to show lorvane-manager's windows on (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
    if [ $# -gt 0 ] && [ -f "$1" ]; then
        command=(check --human "$1")
    elif [ $# -gt 0 ] && [ -d "$1" ]; then
        command=(list "$1")
    else
        command=(list "$root/sample")
    fi
    echo "Running the command-line tool instead: lorvane$(printf ' %q' "${command[@]}")" >&2
    exec "$lorvane" "${command[@]}"
fi
exec "$manager" "$@"
