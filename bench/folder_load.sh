#!/usr/bin/env bash
# Whole-process folder load: creates N files named from the engine corpus in a
# temporary folder tree (100 subfolders), then times, side by side in one run,
# `find` printing name, size and time, `lorvane list --recursive` on one thread
# (--jobs 1) and by default (a worker beside the thread that reads the folders
# where there is more than one core), and, when it is built, an offscreen Browser
# load over the same tree with LORVANE_JOBS=1 and by default: the best of three
# runs each, the runs of one round interleaved. Prints the ratios to find, the peak
# memory (RSS) of each, and the Browser's longest time without handling window
# events (how soon Stop is seen). The Browser's time is its own, from the call to
# the painted list (browser_load's shown_s), without Qt's start-up.
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

# seconds CMD...: the wall time of one run, output dropped.
seconds() {
    local s e
    s=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    e=$(date +%s.%N)
    awk -v s="$s" -v e="$e" 'BEGIN { printf "%.3f", e - s }'
}
# min A B: the smaller of two times ("" counts as none yet).
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / (b > 0 ? b : 0.001) }'; }

# peak_rss CMD...: the peak resident memory of one run, in MB.
peak_rss() {
    /usr/bin/time -o "$work/rss" -f '%M' "$@" >/dev/null 2>&1
    awk '{ printf "%.1f", $1 / 1024 }' "$work/rss"
}
have_time=0
[ -x /usr/bin/time ] && have_time=1
browser() { QT_QPA_PLATFORM=offscreen LORVANE_JOBS="$1" "$browser_load" "$2" 2>/dev/null; }

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
printf '%-7s %6s | %6s %6s %6s %6s %9s | %6s %6s %6s %6s %11s %9s\n' files find list1 ratio list ratio MB_1/def \
    brows1 ratio brows ratio MB_1/def gap_1/def
for n in "${counts[@]}"; do
    tree="$work/$n"
    mkdir -p "$tree"
    # N unique names that the file system accepts (at most 255 bytes), spread over 100 subfolders.
    "$make_corpus" $((n + n / 10 + 10)) >"$work/names"
    LC_ALL=C awk -v n="$n" -v t="$tree" 'length($0) <= 255 && !seen[$0]++ && ++k <= n { print t "/d" (k % 100) "/" $0 }' \
        "$work/names" >"$work/paths"
    for d in $(seq 0 99); do mkdir -p "$tree/d$d"; done
    tr '\n' '\0' <"$work/paths" | xargs -0 touch --
    files=$(wc -l <"$work/paths")

    t_find="" t_list1="" t_list="" t_br1="" t_br="" gap1="-" gap="-"
    for _ in 1 2 3; do
        t_find=$(min "$t_find" "$(seconds find "$tree" -printf '%f %s %T@\n')")
        t_list1=$(min "$t_list1" "$(seconds "$lorvane" list --recursive --jobs 1 "$tree")")
        t_list=$(min "$t_list" "$(seconds "$lorvane" list --recursive "$tree")")
        if [ -x "$browser_load" ]; then
            report=$(browser 1 "$tree")
            t_br1=$(min "$t_br1" "$(awk '$1 == "shown_s" { print $2 }' <<<"$report")")
            gap1=$(awk '$1 == "event_gap_s" { print $2 }' <<<"$report")
            rss_br1=$(awk '$1 == "load_rss_mb" { printf "%.0f", $2 }' <<<"$report")
            report=$(browser "" "$tree")
            t_br=$(min "$t_br" "$(awk '$1 == "shown_s" { print $2 }' <<<"$report")")
            gap=$(awk '$1 == "event_gap_s" { print $2 }' <<<"$report")
            rss_br=$(awk '$1 == "load_rss_mb" { printf "%.0f", $2 }' <<<"$report")
        fi
    done
    rss_list="-"
    (( have_time )) && rss_list="$(peak_rss "$lorvane" list --recursive --jobs 1 "$tree")/$(peak_rss "$lorvane" list --recursive "$tree")"
    brows="-      -      -      -      -           -"
    if [ -n "$t_br" ]; then
        brows=$(printf '%6s %6s %6s %6s %11s %9s' "$t_br1" "$(ratio "$t_br1" "$t_find")" "$t_br" \
            "$(ratio "$t_br" "$t_find")" "$rss_br1/$rss_br" "$gap1/$gap")
    fi
    printf '%-7s %6s | %6s %6s %6s %6s %9s | %s\n' "$files" "$t_find" "$t_list1" "$(ratio "$t_list1" "$t_find")" \
        "$t_list" "$(ratio "$t_list" "$t_find")" "$rss_list" "$brows"
    rm -rf "$tree"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
