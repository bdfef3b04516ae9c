#!/bin/sh
# End-to-end cases for lorvane change-sequence.
# Usage: sequence_test.sh LORVANE CASE
set -u

. "$(dirname "$0")/cli_lib.sh"

F="$WORK/f"
mkdir "$F"
# files NAME...: files in the folder F, each holding its own name.
files() {
    for n in "$@"; do printf '%s' "$n" >"$F/$n"; done
}
# expect_files NAME...: F holds exactly these names.
expect_files() {
    have=$(ls "$F" | LC_ALL=C sort)
    want=$(printf '%s\n' "$@" | LC_ALL=C sort)
    [ "$have" = "$want" ] || fail "folder holds: $(echo $have), not: $(echo $want)"
}
# outcomes: each file's outcome and new name from --json, in run order, one line each.
outcomes() {
    sed -n 's/.*"name": "\([^"]*\)", "outcome": "\([^"]*\)", "newName": \("[^"]*"\|null\).*/\1 \2 \3/p' "$WORK/out" | tr -d '"'
}

case $CASE in
generate_numbers_only_files_that_take_one)
    files '{PL=A}.jpg' '{SN=7}{PL=B}.jpg' 'x{.jpg' '{PL=C}.jpg'
    run change-sequence --generate --apply "$F"
    expect_rc 1
    expect_files '{SN=001}{PL=A}.jpg' '{SN=007}{PL=B}.jpg' 'x{.jpg' '{SN=002}{PL=C}.jpg'
    [ "$(cat "$WORK/err")" = '2  filenames successfully processed
1  filenames could not be parsed
1  filenames did not have/need numbers
0  filenames had out-of-range numbers
0  filenames could not be re-built
0  filenames could not be saved
=
4  total filenames attempted' ] || fail "closing report differs"
    run undo --apply
    expect_rc 0
    expect_files '{PL=A}.jpg' '{SN=7}{PL=B}.jpg' 'x{.jpg' '{PL=C}.jpg'
    ;;
generate_down_and_out_of_range)
    files '{PL=A}.jpg' '{PL=B}.jpg' '{SN=4}{PL=C}.jpg' '{PL=D}.jpg'
    run change-sequence --json --generate --all --start 2 --step -1 "$F"
    expect_rc 1
    [ "$(outcomes)" = '{PL=A}.jpg processed {SN=002}{PL=A}.jpg
{PL=B}.jpg processed {SN=001}{PL=B}.jpg
{PL=D}.jpg processed {SN=000}{PL=D}.jpg
{SN=4}{PL=C}.jpg out of range {SN=004}{PL=C}.jpg' ] || fail "numbers differ"
    run change-sequence --json --generate --start=998 --step +1 "$F"
    [ "$(outcomes | cut -d" " -f2-)" = 'processed {SN=998}{PL=A}.jpg
processed {SN=999}{PL=B}.jpg
out of range {PL=D}.jpg
not applicable {SN=004}{PL=C}.jpg' ] || fail "998, 999, then out of range"
    run change-sequence --json --shift -5 "$F"
    expect_text out '"name": "{SN=4}{PL=C}.jpg", "outcome": "out of range"'
    run change-sequence --shift -3 --apply "$F"
    expect_files '{PL=A}.jpg' '{PL=B}.jpg' '{SN=001}{PL=C}.jpg' '{PL=D}.jpg'
    ;;
usage_errors)
    files '{SN=3}.jpg'
    for args in '' '--generate --shift 1' '--replace 1 --replace 2' '--shift 1 --all' '--replace 2 --step 1' \
        '--shift' '--generate --step x' '--generate --start 2147483648' '--shift -2147483648'; do
        # shellcheck disable=SC2086
        run change-sequence $args "$F"
        expect_rc 2
        expect_text err "Try 'lorvane change-sequence --help'."
    done
    expect_text err '--shift needs a whole number, not "-2147483648" (at most 2147483647 either way)'
    run change-sequence --help
    expect_rc 0
    expect_text out '--generate [--start N] [--step N] [--all]'
    expect_files '{SN=3}.jpg'
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac
[ "$failures" -eq 0 ]
