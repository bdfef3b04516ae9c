#!/usr/bin/env bash
# The Browser's Change Dates over N selected rows against the command line on the
# same files: N files in one folder, each "{DT=2004-05-17 @10-00-00}{SN=n}.jpg",
# moved one hour on by `lorvane change-dates --shift --hours 1 --apply` and then
# by the Browser (offscreen, every row selected, the dialog's OK). Prints both
# times and their ratio, the Browser's longest time without handling window
# events during the run (how soon Stop is seen), its peak memory, and the time a
# press of Stop took to end a second run.
# Usage: bench/browser_batch.sh [N]   (default 100000)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
n="${1:-100000}"

cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j2 --target lorvane browser_batch >/dev/null
lorvane="$root/build/release/src/cli/lorvane"
browser="$root/build/release/bench/browser_batch"

work="$(mktemp -d "${TMPDIR:-/tmp}/lorvane-browser-batch.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir "$work/f" "$work/state"
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
(cd "$work/f" && for ((i = 1; i <= n; i++)); do : >"{DT=2004-05-17 @10-00-00}{SN=$(printf %06d "$i")}.jpg"; done)

seconds() {
    local s e
    s=$(date +%s.%N)
    "$@" >"$work/out" 2>/dev/null || true
    e=$(date +%s.%N)
    awk -v s="$s" -v e="$e" 'BEGIN { printf "%.3f", e - s }'
}
field() { awk -v k="$1" '$1 == k { print $2 }' "$work/out"; }

t_cli=$(seconds "$lorvane" change-dates --shift --hours 1 --apply "$work/f")
t_whole=$(seconds "$browser" "$work/f")
run=$(field run_s) gap=$(field event_gap_s) rss=$(field peak_rss_mb) rows=$(field rows)
moved=$(find "$work/f" -name '*@12-00-00*' | wc -l)
[ "$moved" -eq "$n" ] || { echo "only $moved of $n files were moved on twice" >&2; exit 1; }
t_stop=$(seconds "$browser" "$work/f" 1.0)
stop=$(field stop_s)

awk -v n="$rows" -v c="$t_cli" -v r="$run" -v w="$t_whole" -v g="$gap" -v m="$rss" -v s="$stop" 'BEGIN {
    printf "%d rows: lorvane change-dates %.3f s; Browser run %.3f s (%.2fx), with its load %.3f s (%.2fx)\n",
           n, c, r, r / c, w, w / c
    printf "longest time without events during the run %.3f s; Stop ended a run %.3f s after the press; peak memory %.0f MB\n",
           g, s, m
}'
