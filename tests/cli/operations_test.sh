#!/bin/sh
# The newer commands' contract end to end: options, usage errors, exit status, report
# lines, an apply with its undo per command family. Usage: operations_test.sh LORVANE CASE
set -u

. "$(dirname "$0")/cli_lib.sh"

F="$WORK/f" D="$WORK/d"
mkdir "$F" "$D"
# files NAME...: files in F, each holding its own name; expect_names FOLDER NAME...: exactly these.
files() { for n in "$@"; do printf '%s' "$n" >"$F/$n"; done; }
expect_names() {
    d=$1 && shift && [ "$(ls -A "$d" | LC_ALL=C sort)" = "$(printf '%s\n' "$@" | LC_ALL=C sort | sed '/^$/d')" ] ||
        fail "$d holds: $(ls -A "$d" | tr '\n' '|')"
}
# expect_out LINE...: standard output is exactly these lines; usage ARGS...: each a usage error.
expect_out() { [ "$(cat "$WORK/out")" = "$(printf '%s\n' "$@")" ] || fail "output differs from: $*"; }
usage() { for args in "$@"; do eval "run $args" && expect_rc 2; done; }

case $CASE in
sequence_generate_apply_and_undo)
    files '{PL=A}.jpg' '{SN=7}{PL=B}.jpg' 'x{.jpg' '{PL=C}.jpg'
    run change-sequence --generate --start=998 --step +1 --apply "$F"
    expect_rc 1
    expect_names "$F" '{SN=998}{PL=A}.jpg' '{SN=007}{PL=B}.jpg' 'x{.jpg' '{SN=999}{PL=C}.jpg'
    expect_line err '1  filenames did not have/need numbers'
    run change-sequence --shift -998 --json "$F"  # a negative number is the option's value
    expect_text out '"name": "{SN=007}{PL=B}.jpg", "outcome": "out of range"'
    expect_text out '"name": "{SN=999}{PL=C}.jpg", "outcome": "processed", "newName": "{SN=001}{PL=C}.jpg"'
    run undo --apply
    expect_rc 0
    expect_names "$F" '{PL=A}.jpg' '{SN=7}{PL=B}.jpg' 'x{.jpg' '{PL=C}.jpg'
    # The first file waits for the second's name and still takes the first number.
    printf 1 >"$D/{SN=001}.jpg" && printf 2 >"$D/{SN=002}.jpg"
    run change-sequence --generate --all --start 2 --apply "$D"
    [ "$(cat "$D/{SN=002}.jpg" "$D/{SN=003}.jpg")" = 12 ] || fail "the chain numbered $(ls "$D" | tr '\n' ' ')"
    ;;
content_add_undo_and_remove)
    # Device in any letter case, by any of its names; the semantic layer then merges the two.
    files '{DT=2004}{DV=Nikon;Leica}{Device=Leica}.jpg' '{DT=2004}{SU=Leica}.jpg'
    run add-content --attribute ' CR ' --value ' Ada ' --under ' devc ' ' leica ' --apply "$F"
    expect_rc 0
    expect_names "$F" '{DT=2004}{DV=Nikon;Leica{CR=Ada}}.jpg' '{DT=2004}{SU=Leica}.jpg'
    expect_line err '1  filenames successfully processed'
    expect_line err '1  filenames lacked the specified context'
    run add-content --attribute '' --value '' --allow-blank --under '' '' "$F"
    expect_rc 0
    run undo --apply
    expect_names "$F" '{DT=2004}{DV=Nikon;Leica}{Device=Leica}.jpg' '{DT=2004}{SU=Leica}.jpg'
    rm "$F"/*
    files '{DT=2004}{SU=Ann{PS=Left}{CR=Ada};Ben{PS=Right}}.jpg' '{DT=2005}{SU=Cy}.jpg'
    run remove-content --attributes-named PS --under Subject ann --json "$F"
    expect_text out '"newName": "{DT=2004}{SU=Ann{CR=Ada};Ben{PS=Right}}.jpg"'
    expect_line err '1  filenames did not meet criteria'
    run remove-content --values-containing ann --top-level --promote --apply "$F"
    expect_rc 0
    expect_names "$F" '{DT=2004}{SU=Ben{PS=Right}}{PS=Left}{CR=Ada}.jpg' '{DT=2005}{SU=Cy}.jpg'
    ;;
select_and_chronology)
    touch "$F/{DT=2004-07-15@14-30}{SN=12}.jpg" "$F/{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg" \
        "$F/{DT=2004-07-15@14-30}{SN=13}{SU=Ben{Role=Sister}}.jpg" "$F/The cat.jpg" "$F/-lead {PL=Harbour}.jpg"
    run select --filename cat --whole-word "$F"
    expect_rc 0
    expect_out "$F/The cat.jpg"
    run select --filename CAT --match-case --invert --print0 "$F/The cat.jpg" "$F/-lead {PL=Harbour}.jpg"
    [ "$(tr '\0' '|' <"$WORK/out")" = "$F/The cat.jpg|$F/-lead {PL=Harbour}.jpg|" ] || fail "--print0 --invert differs"
    run select --label-contains role --under "" ben "$F"
    expect_out "$F/{DT=2004-07-15@14-30}{SN=13}{SU=Ben{Role=Sister}}.jpg"
    run chronology "$F"
    expect_rc 0
    expect_lines out 6
    expect_line out "$(printf '{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg\tDupl\tDuplicate chronology\t2004/07/15 14:30:00 0012 0000 0000\t%s\tJPEG image\t000,000 KB\t040' "$F")"
    run chronology --duplicates --json -- "$F"
    expect_lines out 4
    expect_text out '"Name": "-lead {PL=Harbour}.jpg", "Status": "Dupl", "Message": "Duplicate chronology"'
    run select --filename cat "$F/missing.jpg" "$F/The cat.jpg"
    expect_rc 1
    expect_out "$F/The cat.jpg"
    expect_text err 'missing.jpg" does not exist'
    ;;
copy_never_replaces_move_and_undo)
    files a.jpg b.jpg -c.jpg
    touch -d 2001-02-03 "$F/a.jpg"
    printf 'mine' >"$D/b.jpg"
    run copy --to "$D" --apply -- "$F"
    expect_rc 1
    expect_names "$D" -c.jpg a.jpg b.jpg
    [ "$(cat "$D/b.jpg")" = mine ] || fail "b.jpg was replaced"
    [ "$(stat -c %Y "$D/a.jpg")" = "$(stat -c %Y "$F/a.jpg")" ] || fail "the copy lost its modification time"
    expect_line err "Unable to copy the file \"$F/b.jpg\" due to the following error: File exists."
    expect_line err '2  files copied'
    expect_line err '1  files could not be copied'
    rm "$D"/*
    run move --to "$D" --apply --json "$F/a.jpg" "$F/b.jpg"
    expect_rc 0
    expect_line out "{\"path\": \"$F/a.jpg\", \"name\": \"a.jpg\", \"outcome\": \"processed\", \"newName\": \"a.jpg\", \"newPath\": \"$D/a.jpg\", \"status\": \"Good\", \"message\": \"\", \"error\": null}"
    expect_names "$F" -c.jpg
    run undo --apply
    expect_rc 0
    expect_names "$F" -c.jpg a.jpg b.jpg
    expect_names "$D"
    ;;
usage_errors)
    files a.jpg
    usage 'change-sequence "$F"' 'change-sequence --generate --shift 1 "$F"' 'change-sequence --shift 1 --all "$F"' \
        'change-sequence --replace 1 --replace 2 "$F"' 'change-sequence --generate --step x "$F"' \
        'change-sequence --shift -2147483648 "$F"'
    expect_text err '--shift needs a whole number, not "-2147483648" (at most 2147483647 either way)'
    usage 'add-content --attribute CR "$F"' 'add-content --attribute CR --value Ada "$F" --under DV' \
        "add-content --attribute CR --value ' ' \"\$F\""
    expect_text err 'lorvane: --value is blank (give --allow-blank to add a blank value)'
    usage 'remove-content --empty-values --attributes-without-values "$F"' 'remove-content --empty-values --promote=yes "$F"' \
        'remove-content --empty-values --anywhere --under DV x "$F"'
    expect_text err 'choose at most one of --anywhere, --top-level and --under'
    usage 'remove-content --top-level "$F"'
    expect_text err 'choose one of --attributes-without-values, --attributes-with-empty-labels, --attributes-named, --empty-values and --values-containing'
    usage 'select --filename x --label any "$F"' 'select --label any --label-contains x "$F"' 'select --value some "$F"' \
        'select --under x "$F"' 'chronology --nonsense "$F"' 'select --filename x'
    expect_text err 'no PATH given'
    for c in copy move link; do
        usage "$c \"\$F/a.jpg\""
        expect_text err '--to FOLDER is needed'
        usage "$c --to \"\$F/a.jpg\" \"\$F/a.jpg\""
        expect_text err 'is not a folder'
    done
    usage 'delete --to "$D" "$F/a.jpg"'
    expect_names "$F" a.jpg
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac
[ "$failures" -eq 0 ]
