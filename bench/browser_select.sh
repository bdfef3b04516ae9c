#!/usr/bin/env bash
# Select Files by attribute and Check Chronology over N rows in the Browser
# (offscreen), against `lorvane select` and `lorvane chronology` on the same
# files: N files in one folder from the benchmark corpus of names (make_corpus),
# every tenth name given again with another extension so that keys repeat.
# Prints the times, the Browser's longest time without handling window events
# during each run (how soon Stop is seen) and the time a press of Stop took to
# end a selection.
# Usage: bench/browser_select.sh [N]   (default 100000)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
n="${1:-100000}"

cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j2 --target lorvane browser_select make_corpus >/dev/null
lorvane="$root/build/release/src/cli/lorvane"
browser="$root/build/release/bench/browser_select"

work="$(mktemp -d "${TMPDIR:-/tmp}/lorvane-browser-select.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir "$work/f"
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
# Names the file system takes (no "/", at most 250 bytes), each once.
"$root/build/release/bench/make_corpus" "$n" | awk 'length($0) <= 250 && !index($0, "/") && !seen[$0]++' >"$work/names"
(cd "$work/f" && awk -v n="$n" 'made < n { print; made++ } NR % 10 == 0 && made < n { print $0 ".dup"; made++ }' \
    "$work/names" | while IFS= read -r name; do : >"$name"; done)

seconds() {
    local s e
    s=$(date +%s.%N)
    "$@" >"$work/out" 2>/dev/null || true
    e=$(date +%s.%N)
    awk -v s="$s" -v e="$e" 'BEGIN { printf "%.3f", e - s }'
}
field() { awk -v k="$1" '$1 == k { print $2 }' "$work/out"; }

t_select=$(seconds "$lorvane" select --label-contains Date "$work/f")
t_chrono=$(seconds "$lorvane" chronology --duplicates "$work/f")
dupl=$(($(wc -l <"$work/out") - 1))
seconds "$browser" "$work/f" >/dev/null
rows=$(field rows) sel=$(field select_s) selgap=$(field select_gap_s) chr=$(field chronology_s)
chrgap=$(field chronology_gap_s) rss=$(field peak_rss_mb) selected=$(field selected)
sdupl=$(field select_dupl_s) bdupl=$(field duplicates)
seconds "$browser" "$work/f" 0.3 >/dev/null
stop=$(field stop_s)

echo "$rows rows ($selected selected by attribute, $dupl duplicate keys):"
echo "  select by attribute: lorvane select $t_select s (with its load); Browser run $sel s, longest time without events $selgap s; Stop ended a run $stop s after the press"
echo "  chronology check:    lorvane chronology $t_chrono s (with its load); Browser run $chr s (sort included), longest time without events $chrgap s"
echo "  Select by Status Dupl in the Browser: $bdupl rows in $sdupl s"
echo "  Browser peak memory $rss MB"
