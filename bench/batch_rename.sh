#!/usr/bin/env bash
# Applied batch runs against a plain rename loop: N files in one folder, each
# "{DT=2004-05-17 @10-00-00}{SN=n}.jpg", moved one hour on by
# `lorvane change-dates --shift --hours 1 --apply` and by a perl loop that
# renames every file to the same new name, in turn, best of three each. Then
# N files "{DT=2004-05-17}{SN=000}{SU=n}.jpg" numbered by
# `lorvane change-sequence --generate --all --start K --step 0 --apply` (step 0,
# so that every file takes a number within three digits and is renamed; K one
# more each run) against a perl loop writing the next K the same way.
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
batch() { "$lorvane" change-dates --shift --hours 1 --apply "$work/f" >/dev/null 2>&1 || true; }

seconds() {
    local s e
    s=$(date +%s.%N)
    "$@"
    e=$(date +%s.%N)
    awk -v s="$s" -v e="$e" 'BEGIN { printf "%.3f", e - s }'
}
# best_of_three BATCH PLAIN: sets best_batch and best_plain, the runs interleaved.
best_of_three() {
    best_plain="" best_batch=""
    for _ in 1 2 3; do
        t=$(seconds "$1")
        if [ -z "$best_batch" ] || awk -v a="$t" -v b="$best_batch" 'BEGIN{exit !(a<b)}'; then best_batch=$t; fi
        t=$(seconds "$2")
        if [ -z "$best_plain" ] || awk -v a="$t" -v b="$best_plain" 'BEGIN{exit !(a<b)}'; then best_plain=$t; fi
    done
}
best_of_three batch plain
# Every run moved every file: six hours on from 10.
moved=$(find "$work/f" -name '*@16-00-00*' | wc -l)
[ "$moved" -eq "$n" ] || { echo "only $moved of $n files were renamed six times" >&2; exit 1; }
awk -v n="$n" -v p="$best_plain" -v b="$best_batch" \
    'BEGIN { printf "%d files: rename loop %.3f s, lorvane change-dates %.3f s, ratio %.2fx\n", n, p, b, b / p }'

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
    "$lorvane" change-sequence --generate --all --start "$k" --step 0 --apply "$work/f" >/dev/null 2>&1 || true
}
plain_number() {
    next_k
    perl -e 'chdir $ARGV[0] or die; opendir my $d, "." or die; my $k = sprintf("%03d", $ARGV[1]);
             for (readdir $d) { next unless /\.jpg$/; (my $n = $_) =~ s/\{SN=\d+\}/{SN=$k}/;
                                rename $_, $n or die "$_: $!" }' "$work/f" "$k"
}
best_of_three number plain_number
numbered=$(find "$work/f" -name '*{SN=006}*' | wc -l)
[ "$numbered" -eq "$n" ] || { echo "only $numbered of $n files were numbered six times" >&2; exit 1; }
awk -v n="$n" -v p="$best_plain" -v b="$best_batch" \
    'BEGIN { printf "%d files: rename loop %.3f s, lorvane change-sequence %.3f s, ratio %.2fx\n", n, p, b, b / p }'
