#!/bin/sh
# End-to-end cases for lorvane select and lorvane chronology.
# Usage: select_test.sh LORVANE CASE
set -u

. "$(dirname "$0")/cli_lib.sh"

F="$WORK/f"
mkdir "$F"
touch "$F/{DT=2004-07-15@14-30}{SN=12}.jpg" "$F/{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg" \
    "$F/{DT=2004-07-15@14-30}{SN=13}{SU=Ben{Role=Sister}}.jpg" "$F/The cat.jpg" "$F/Concatenate.jpg" \
    "$F/-lead {PL=Harbour}.jpg"
# expect_out LINE...: standard output is exactly these lines.
expect_out() {
    [ "$(cat "$WORK/out")" = "$(printf '%s\n' "$@")" ] || fail "output differs from: $*"
}

case $CASE in
select_by_name)
    run select --filename cat --whole-word "$F"
    expect_rc 0
    expect_out "$F/The cat.jpg"
    run select --filename CAT "$F"
    expect_out "$F/Concatenate.jpg" "$F/The cat.jpg"
    run select --filename CAT --match-case --invert --print0 "$F/The cat.jpg" "$F/Concatenate.jpg"
    [ "$(tr '\0' '|' <"$WORK/out")" = "$F/The cat.jpg|$F/Concatenate.jpg|" ] || fail "--print0 --invert differs"
    ;;
select_by_attribute)
    run select --value-contains ann "$F"
    expect_out "$F/{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg"
    run select --label-contains Date --label-whole-word --under Subject "" "$F"
    expect_out
    run select --under "" ben "$F"
    expect_out "$F/{DT=2004-07-15@14-30}{SN=13}{SU=Ben{Role=Sister}}.jpg"
    run select --label unrecognized --context top-level -- "$F/-lead {PL=Harbour}.jpg" "$F/The cat.jpg"
    expect_out
    run select --value none --invert "$F/The cat.jpg"
    expect_out "$F/The cat.jpg"  # a name that does not parse never matches
    ;;
select_usage)
    for args in "--filename x --label any" "--whole-word" "--label any --label-contains x" "--label-whole-word" \
        "--value some" "--context under" "--under x" "--value any --value none" "--value-match-case --value any"; do
        # shellcheck disable=SC2086
        run select $args "$F"
        expect_rc 2
    done
    run select --filename x
    expect_rc 2
    expect_text err 'no PATH given'
    run select --filename cat "$F/missing.jpg" "$F/The cat.jpg"
    expect_rc 1
    expect_out "$F/The cat.jpg"
    expect_text err 'missing.jpg" does not exist'
    ;;
chronology_marks_and_sorts)
    run chronology "$F"
    expect_rc 0
    expect_lines out 7
    # The three names without date or numbers share the placeholders: first, and marked.
    [ "$(sed -n '2,4p' "$WORK/out" | cut -f2,4 | sort -u)" = "$(printf 'Dupl\t0000/00/00 00:00:00 0000 0000 0000')" ] ||
        fail "placeholders not first or not marked"
    expect_line out "$(printf '{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg\tDupl\tDuplicate chronology\t2004/07/15 14:30:00 0012 0000 0000\t%s\tJPEG image\t000,000 KB\t040' "$F")"
    [ "$(tail -n 1 "$WORK/out" | cut -f1,2)" = "$(printf '{DT=2004-07-15@14-30}{SN=13}{SU=Ben{Role=Sister}}.jpg\tWarn')" ] ||
        fail "the unique key is not last and unmarked"
    run chronology --duplicates --json -- "$F"
    expect_lines out 5
    expect_text out '"Name": "-lead {PL=Harbour}.jpg", "Status": "Dupl", "Message": "Duplicate chronology"'
    run chronology "$F/The cat.jpg"
    expect_text out "$(printf 'The cat.jpg\tFail')"
    run chronology --nonsense "$F"
    expect_rc 2
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac

[ "$failures" -eq 0 ]
