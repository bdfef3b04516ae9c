#!/usr/bin/env bash
# Runs every fuzz target for SECONDS in total (split evenly), from the committed
# seed corpus, keeping what it finds in build/fuzz/corpus.
# Usage: tools/fuzz.sh [SECONDS [TARGET...]]   (targets: parse2x parse1x serialized_output date_value pipeline deep)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
total="${1:-60}"
targets=(parse2x parse1x serialized_output date_value pipeline deep)
if (( $# > 1 )); then targets=("${@:2}"); fi
per=$(( total / ${#targets[@]} ))
(( per >= 1 )) || per=1

cmake --preset fuzz -S "$root" >/dev/null
cmake --build "$root/build/fuzz" -j2 >/dev/null

# Built not to recover; the options make sure of it for whatever the runtime decides.
# (Later options win, so these come last.)
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}halt_on_error=1"

if "$root/build/fuzz/fuzz/fuzz_sanitizer_check" -runs=1 -artifact_prefix="$root/build/fuzz/" >"$root/build/fuzz/sanitizer_check.log" 2>&1; then
  echo "fuzz: undefined behaviour does not stop the run (see build/fuzz/sanitizer_check.log); not fuzzing"
  exit 1
fi

status=0
for t in "${targets[@]}"; do
  work="$root/build/fuzz/corpus/$t"
  mkdir -p "$work" "$root/build/fuzz/artifacts/$t"
  echo "fuzz_$t: ${per}s"
  if ! "$root/build/fuzz/fuzz/fuzz_$t" -max_total_time="$per" -print_final_stats=0 \
        -artifact_prefix="$root/build/fuzz/artifacts/$t/" "$work" "$root/fuzz/corpus/$t" \
        >"$root/build/fuzz/$t.log" 2>&1; then
    echo "fuzz_$t FOUND A PROBLEM; see build/fuzz/$t.log and build/fuzz/artifacts/$t/"
    tail -n 30 "$root/build/fuzz/$t.log"
    status=1
  fi
done
exit $status
