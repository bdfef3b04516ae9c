#!/usr/bin/env bash
# Applied batch runs against a plain rename loop: N files in one folder, each
# "{DT=2004-05-17 @10-00-00}{SN=n}.jpg", moved one hour on by
# `lorvane change-dates --shift --hours 1 --apply` on one thread (--jobs 1) and by
# default (the next names parsed and built on a worker while the first thread
# renames, where there is more than one core), and by a perl loop that renames
# every file to the same new name, in turn, best of three each, the runs of a
# round interleaved; then the peak memory of each lorvane run. Then N files
# "{DT=2004-05-17}{SN=000}{SU=n}.jpg" numbered by
# `lorvane change-sequence --generate --all --start K --step 0 --apply` (step 0,
# so that every file takes a number within three digits and is renamed; K one
# more each run) the same two ways, against a perl loop writing the next K.
# Usage: bench/batch_rename.sh [N]   (default 10000)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
n="${1:-10000}"

cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" -j2 --target lorvane >/dev/null
lorvane="$root/build/release/src/cli/lorvane"

work="$(mktemp -d "${TMPDIR:-/tmp}/lorvane-batch-rename.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir "$work/f" "$work/state"
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"
(cd "$work/f" && for ((i = 1; i <= n; i++)); do : >"{DT=2004-05-17 @10-00-00}{SN=$(printf %05d "$i")}.jpg"; done)

# The plain loop: the same renames, the hour moved on by text.
plain() {
    perl -e 'chdir $ARGV[0] or die; opendir my $d, "." or die;
             for (readdir $d) { next unless /\.jpg$/; (my $n = $_) =~ s/@(\d\d)-/sprintf("@%02d-", $1 + 1)/e;
                                rename $_, $n or die "$_: $!" }' "$work/f"
}
batch() { "$lorvane" change-dates --shift --hours 1 --apply "$@" "$work/f" >/dev/null 2>&1 || true; }
batch1() { batch --jobs 1; }
seconds() {
    local s e
    s=$(date +%s.%N)
    "$@"
    e=$(date +%s.%N)
    awk -v s="$s" -v e="$e" 'BEGIN { printf "%.3f", e - s }'
}
# best_of_three ONE DEFAULT PLAIN: sets best_1, best_d and best_plain, the runs interleaved.
best_of_three() {
    best_1="" best_d="" best_plain=""
    for _ in 1 2 3; do
        best_1=$(min "$best_1" "$(seconds "$1")")
        best_d=$(min "$best_d" "$(seconds "$2")")
        best_plain=$(min "$best_plain" "$(seconds "$3")")
    done
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
report() {
    awk -v n="$n" -v what="$1" -v p="$best_plain" -v a="$best_1" -v b="$best_d" 'BEGIN {
        printf "%d files: rename loop %.3f s, lorvane %s --jobs 1 %.3f s (%.2fx), by default %.3f s (%.2fx)\n",
            n, p, what, a, a / p, b, b / p }'
}
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
best_of_three batch1 batch plain
report change-dates
if [ -x /usr/bin/time ]; then
    /usr/bin/time -o "$work/rss1" -f '%M' "$lorvane" change-dates --shift --hours 1 --apply --jobs 1 "$work/f" >/dev/null 2>&1
    /usr/bin/time -o "$work/rss" -f '%M' "$lorvane" change-dates --shift --hours 1 --apply "$work/f" >/dev/null 2>&1
    echo "peak memory: $(awk '{ printf "%.1f", $1 / 1024 }' "$work/rss1") MB with --jobs 1," \
        "$(awk '{ printf "%.1f", $1 / 1024 }' "$work/rss") MB by default"
else
    batch1
    batch
fi
# Every run moved every file: eleven hours on from 10.
moved=$(find "$work/f" -name '*@21-00-00*' | wc -l)
[ "$moved" -eq "$n" ] || { echo "only $moved of $n files were renamed eleven times" >&2; exit 1; }

# Numbering: the files of the first part make way for the second's.
rm -rf "$work/f" && mkdir "$work/f"
(cd "$work/f" && for ((i = 1; i <= n; i++)); do : >"{DT=2004-05-17}{SN=000}{SU=$(printf %05d "$i")}.jpg"; done)
# The number of the next run, kept in a file: each run is timed in a subshell.
echo 0 >"$work/k"
next_k() {
    k=$(($(cat "$work/k") + 1))
    echo "$k" >"$work/k"
}
number() {
    next_k
    "$lorvane" change-sequence --generate --all --start "$k" --step 0 --apply "$@" "$work/f" >/dev/null 2>&1 || true
}
number1() { number --jobs 1; }
plain_number() {
    next_k
    perl -e 'chdir $ARGV[0] or die; opendir my $d, "." or die; my $k = sprintf("%03d", $ARGV[1]);
             for (readdir $d) { next unless /\.jpg$/; (my $n = $_) =~ s/\{SN=\d+\}/{SN=$k}/;
                                rename $_, $n or die "$_: $!" }' "$work/f" "$k"
}
best_of_three number1 number plain_number
numbered=$(find "$work/f" -name '*{SN=009}*' | wc -l)
[ "$numbered" -eq "$n" ] || { echo "only $numbered of $n files were numbered nine times" >&2; exit 1; }
report change-sequence
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
