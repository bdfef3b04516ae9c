#!/usr/bin/env bash
# Whole-process folder load: creates N files named from the engine corpus in a
# temporary folder tree (100 subfolders), then times `find`, `lorvane list` and,
# when it is built, an offscreen Browser load over the same tree, best of three
# runs each, and prints the ratios to find, the peak memory (RSS) of both and the
# Browser's longest time without handling window events (how soon Stop is seen).
# Usage: bench/folder_load.sh [N...]   (default: 1000 10000 100000)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
counts=("$@")
(( ${#counts[@]} )) || counts=(1000 10000 100000)

cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j2 --target lorvane make_corpus >/dev/null
# The Browser's bench exists only where the desktop is built.
cmake --build "$root/build/release" -j2 --target browser_load >/dev/null 2>&1 || true
lorvane="$root/build/release/src/cli/lorvane"
make_corpus="$root/build/release/bench/make_corpus"
browser_load="$root/build/release/bench/browser_load"

work="$(mktemp -d "${TMPDIR:-/tmp}/lorvane-folder-load.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# best_of3 CMD...: the fastest wall time of three runs, in seconds.
best_of3() {
    local best="" t
    for _ in 1 2 3; do
        t=$( { /usr/bin/env TIMEFORMAT=%R bash -c 'time "$@" >/dev/null 2>&1' _ "$@"; } 2>&1 | tail -n 1)
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN{exit !(a<b)}'; then best=$t; fi
    done
    echo "$best"
}

# peak_rss CMD...: the peak resident memory of one run, in MB.
peak_rss() {
    /usr/bin/time -o "$work/rss" -f '%M' "$@" >/dev/null 2>&1
    awk '{ printf "%.0f", $1 / 1024 }' "$work/rss"
}
have_time=0
[ -x /usr/bin/time ] && have_time=1

printf '%-8s %8s %14s %7s %8s %10s %7s %8s %9s\n' files find_s lorvane_list_s ratio list_MB browser_s ratio \
    brows_MB max_gap_s
for n in "${counts[@]}"; do
    tree="$work/$n"
    mkdir -p "$tree"
    # Unique names that the file system accepts (at most 255 bytes), spread over 100 subfolders.
    "$make_corpus" "$n" | LC_ALL=C awk 'length($0) <= 255 && !seen[$0]++' |
        awk -v t="$tree" '{ print t "/d" (NR % 100) "/" $0 }' >"$work/paths"
    for d in $(seq 0 99); do mkdir -p "$tree/d$d"; done
    tr '\n' '\0' <"$work/paths" | xargs -0 touch --
    files=$(wc -l <"$work/paths")

    t_find=$(best_of3 find "$tree" -printf '%f %s %T@\n')
    t_list=$(best_of3 "$lorvane" list --recursive "$tree")
    r_list=$(awk -v a="$t_list" -v b="$t_find" 'BEGIN{printf "%.1fx", a/(b>0?b:0.001)}')
    rss_list="-"
    (( have_time )) && rss_list=$(peak_rss "$lorvane" list --recursive "$tree")
    t_browser="-"; r_browser="-"; rss_browser="-"; gap_browser="-"
    if [ -x "$browser_load" ]; then
        t_browser=$(best_of3 env QT_QPA_PLATFORM=offscreen "$browser_load" "$tree")
        r_browser=$(awk -v a="$t_browser" -v b="$t_find" 'BEGIN{printf "%.1fx", a/(b>0?b:0.001)}')
        # The Browser reports its own peak memory and longest gap between event rounds.
        report=$(QT_QPA_PLATFORM=offscreen "$browser_load" "$tree" 2>/dev/null)
        rss_browser=$(awk '$1 == "peak_rss_mb" { printf "%.0f", $2 }' <<<"$report")
        gap_browser=$(awk '$1 == "event_gap_s" { print $2 }' <<<"$report")
    fi
    printf '%-8s %8s %14s %7s %8s %10s %7s %8s %9s\n' "$files" "$t_find" "$t_list" "$r_list" "$rss_list" \
        "$t_browser" "$r_browser" "$rss_browser" "$gap_browser"
    rm -rf "$tree"
done
