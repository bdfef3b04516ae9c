#!/bin/sh
# End-to-end cases for the batch commands of lorvane (rebuild, change-dates, undo).
# Usage: batch_test.sh LORVANE CASE
set -u

. "$(dirname "$0")/cli_lib.sh"

F="$WORK/f"
mkdir "$F"
# files NAME...: empty files in the folder F, each holding its own name.
files() {
    for n in "$@"; do printf '%s' "$n" >"$F/$n"; done
}
# expect_file NAME [CONTENT]: F holds NAME (with that content); expect_files NAME...: F holds each;
# expect_held NAME CONTENT...: each NAME holds its CONTENT; expect_no_file NAME...: none of them is there.
expect_file() {
    [ -e "$F/$1" ] || fail "no file \"$1\""
    if [ $# -gt 1 ] && [ "$(cat "$F/$1")" != "$2" ]; then fail "\"$1\" holds \"$(cat "$F/$1")\", not \"$2\""; fi
}
expect_files() { for n in "$@"; do expect_file "$n"; done; }
expect_held() { while [ $# -gt 1 ]; do expect_file "$1" "$2"; shift 2; done; }
expect_no_file() { for n in "$@"; do [ ! -e "$F/$n" ] || fail "file \"$n\" is still there"; done; }
# piped RC CMD...: runs lorvane with its standard output a pipe whose reader has already ended.
piped() {
    want=$1; shift
    { sleep 1; "$LORVANE" "$@" 2>"$WORK/err"; echo $? >"$WORK/rc"; } | true
    RC=$(cat "$WORK/rc")
    expect_rc "$want"
}
REPORT_3='1  filenames successfully processed
1  filenames could not be parsed
1  filenames did not have/need dates
0  filenames could not be re-built
0  filenames could not be saved
=
3  total filenames attempted'

case $CASE in
preview_changes_nothing)
    files '{DT=2004-05-17}{SU=Ann}.jpg' 'x{.jpg' '{PL=Harbour}.jpg'
    run_rc 1 change-dates --shift --days 1 "$F"
    expect_file '{DT=2004-05-17}{SU=Ann}.jpg'
    expect_no_file '{DT=2004-05-18}{SU=Ann}.jpg'
    expect_lines out 3
    expect_text out '{DT=2004-05-17}{SU=Ann}.jpg  ->  {DT=2004-05-18}{SU=Ann}.jpg'
    [ "$(head -n 7 "$WORK/err")" = "$REPORT_3" ] || fail "closing report differs"
    expect_text err 'nothing was renamed'
    [ ! -d "$XDG_STATE_HOME/lorvane" ] || [ -z "$(ls "$XDG_STATE_HOME/lorvane")" ] || fail "a preview wrote a journal"
    run_rc 1 change-dates --shift --days 1 --apply "$F"
    expect_held '{DT=2004-05-18}{SU=Ann}.jpg' '{DT=2004-05-17}{SU=Ann}.jpg' 'x{.jpg' 'x{.jpg'
    expect_no_file '{DT=2004-05-17}{SU=Ann}.jpg'
    [ "$(cat "$WORK/err")" = "$REPORT_3" ] || fail "closing report differs"
    ;;
json_fields)
    files '{DT=2004-05-17}.jpg' 'x{.jpg'
    run change-dates --json --round month "$F"
    expect_lines out 2
    expect_line out "{\"path\": \"$F/x{.jpg\", \"name\": \"x{.jpg\", \"outcome\": \"not parsed\", \"newName\": null, \"newPath\": null, \"status\": \"Fail\", \"message\": \"Missing start delimiter \\\"{\\\"\", \"error\": null}" \
        "{\"path\": \"$F/{DT=2004-05-17}.jpg\", \"name\": \"{DT=2004-05-17}.jpg\", \"outcome\": \"processed\", \"newName\": \"{DT=2004-05}.jpg\", \"newPath\": \"$F/{DT=2004-05}.jpg\", \"status\": \"Good\", \"message\": \"\", \"error\": null}"
    ;;
preview_sees_collisions)
    # Both rebuild to {SU=Ann}.jpg: the second is refused, in the preview as on disk.
    files '{SU=Ann}.jpg' '{Subject=Ann}.jpg'
    run_rc 1 rebuild --json "$F"
    expect_text out '"name": "{Subject=Ann}.jpg", "outcome": "not saved", "newName": "{SU=Ann}.jpg"' '"error": "File exists"'
    run_rc 1 rebuild --apply "$F"
    expect_text err "Unable to rename the file \"$F/{Subject=Ann}.jpg\" due to the following error: File exists."
    expect_held '{SU=Ann}.jpg' '{SU=Ann}.jpg' '{Subject=Ann}.jpg' '{Subject=Ann}.jpg'
    # A folder, a dangling link or a FIFO holds the new name as a file would.
    for holder in mkdir 'ln -s nowhere' mkfifo; do
        rm -rf "$F" && mkdir "$F"
        files '{DT=2004-05-17}.jpg'
        $holder "$F/{DT=2004-05-18}.jpg"
        run change-dates --shift --days 1 "$F"
        mv "$WORK/out" "$WORK/preview"
        run_rc 1 change-dates --shift --days 1 --apply "$F"
        expect_text out ': File exists'
        cmp -s "$WORK/preview" "$WORK/out" || fail "$holder: the preview differs from the run"
    done
    ;;
modes_and_usage)
    files '{DT=2004-05-17}.jpg'
    # Each "ARGS|TEXT": a usage error with TEXT in its message.
    for c in "|" "--shift --round day|" "--shift --years x|" "--round decade|" "--generate yesterday|" \
        "--replace 2004/01/01 2004/13/01|" "--years 1|" "--round day --days 1|" "--sort name --shift|" \
        "--bogus --shift|unknown option \"--bogus\"" \
        "--shift --days -1000000001|--days needs a whole number, not \"-1000000001\" (at most 1000000000 either way)"; do
        # shellcheck disable=SC2086
        run_rc 2 change-dates ${c%%|*} --apply "$F"
        expect_text err "${c#*|}"
    done
    run_rc 2 change-dates --replace '1899/12/30 00:00:00' '2004/01/01 00:00:00' --apply "$F"
    expect_text err '--replace needs two date-times as "yyyy/mm/dd hh:nn:ss", not "1899/12/30 00:00:00" (the zero date'
    run_rc 2 change-dates --shift --apply; expect_text err 'no PATH given'
    mkdir -p "$F/empty"; run_rc 0 rebuild "$F/empty"; expect_text err 'No files are selected.'
    expect_file '{DT=2004-05-17}.jpg'
    ;;
refused_date_says_why)
    files '{DT=2004-05-17}.jpg'
    run_rc 1 change-dates --shift --years 7996 --apply "$F"
    expect_line out "not rebuilt     $F/{DT=2004-05-17}.jpg: Fail: The new date lies outside the years 100 to 9999"
    run_rc 0 change-dates --replace '2001/02/03 04:05:06' '2001-02-03T04:05:06' --apply "$F"
    expect_file '{DT=2001-02-03 @04-05-06}.jpg'
    run change-dates --replace '2001-01-01 00:00:00' '2001/12/31 23:59:59' --apply "$F"
    expect_file '{DT=2001}.jpg'
    ;;
generate_from_file_dates)
    files '{PL=Harbour}.jpg' '{DT=1999}{PL=Pier}.jpg'
    touch -d '2003-04-05 06:07:08' "$F/{PL=Harbour}.jpg"
    run_rc 0 change-dates --generate modified --apply "$F"
    expect_files '{DT=2003-04-05 @06-07-08}{PL=Harbour}.jpg' '{DT=1999}{PL=Pier}.jpg'
    expect_text err '1  filenames did not have/need dates'
    ;;
paths_from_standard_input)
    files '{DT=2004-05-17}{SU=Ann}.jpg' '-{DT=2004-05-17}.jpg' "$(printf 'a\nb {DT=2004}.jpg')"
    printf '%s\0' "$F/-{DT=2004-05-17}.jpg" "$F/$(printf 'a\nb {DT=2004}.jpg')" >"$WORK/in"
    run_rc 1 change-dates --round day --apply -0 - <"$WORK/in"  # the first is no name of a format
    expect_files "$(printf 'a\nb {DT=2004}.jpg')" '{DT=2004-05-17}{SU=Ann}.jpg'
    expect_text out 'a?b {DT=2004}.jpg'  # a line break never reaches the terminal
    cd "$F" && run change-dates --round year --apply -- '-{DT=2004-05-17}.jpg'
    expect_text out 'not parsed'
    ;;
long_path_on_standard_input)
    # A line longer than any path is refused by its start, and the run goes on.
    files '{DT=2004-05-17}.jpg'
    { printf '%s/' "$F"; head -c 5000000 /dev/zero | tr '\0' a; printf '\n%s\n' "$F/{DT=2004-05-17}.jpg"; } >"$WORK/in"
    run_rc 1 change-dates --shift --days 1 --apply - <"$WORK/in"
    expect_text err "lorvane: a path on standard input is longer than 4096 bytes: \"$F/aaaa"
    [ "$(wc -c <"$WORK/err")" -lt 1000 ] || fail "the long line is echoed"
    expect_file '{DT=2004-05-18}.jpg'
    # Standard input that cannot be read (a folder) fails the run, even when
    # every file named otherwise was renamed, or there was none.
    run_rc 1 change-dates --shift --days 1 --apply "$F/{DT=2004-05-18}.jpg" - <"$F"
    expect_line err 'lorvane: unable to read the paths from standard input'
    run_rc 1 change-dates --shift --days 1 --apply - <"$F"
    expect_file '{DT=2004-05-19}.jpg'
    ;;
closed_output_stops_the_run)
    # The pipe's reader has ended before the run or the undo begins: no file is renamed.
    files '{DT=2004-05-17}.jpg' '{DT=2004-05-18}.jpg'
    piped 141 change-dates --shift --days 2 --apply "$F"
    expect_file '{DT=2004-05-17}.jpg'
    expect_text err 'The run was stopped: 2 of the 2 selected filenames were not attempted.'
    expect_line err 'lorvane: standard output was closed'
    run change-dates --shift --days 2 --apply "$F"
    piped 141 undo --apply
    expect_file '{DT=2004-05-19}.jpg'
    expect_text err 'stopped with 2 files not tried'
    run_rc 0 undo --apply
    expect_file '{DT=2004-05-17}.jpg'
    ;;
same_file_reached_twice)
    # Through a linked folder, or a linked folder in its path: renamed once. Two
    # hard links are two names, each renamed.
    files '{DT=2004-05-17}.jpg'
    ln "$F/{DT=2004-05-17}.jpg" "$F/{DT=2004-06-01}.jpg"
    ln -s f "$WORK/link"
    run_rc 0 change-dates --shift --days 1 --apply "$F" "$WORK/link" "$WORK/link/{DT=2004-05-17}.jpg"
    expect_lines out 2
    expect_files '{DT=2004-05-18}.jpg' '{DT=2004-06-02}.jpg'
    ;;
sort_by_chronology)
    files '{DT=2004-05-19}{SU=A}.jpg' '{DT=2004-05-17}{SU=B}.jpg' '{SU=C}.jpg'
    run rebuild --sort chronology "$F"
    [ "$(grep -o '{SU=.}' "$WORK/out" | tr -d '\n')" = '{SU=C}{SU=B}{SU=A}' ] || fail "not in chronology order"
    ;;
name_not_utf8)
    # A name with a byte that is no UTF-8 cannot be parsed; it is reported as
    # itself and its look-alike (the name it is shown as) is not touched.
    bad=$(printf '{DT=2004-05-17}{SU=\376}.jpg') look=$(printf '{SU=\357\277\275}.jpg')
    printf x >"$F/$bad"; printf y >"$F/{DT=2004-05-17}$look"
    run_rc 1 change-dates --shift --years 1 --apply --json "$F/$bad"
    expect_text out '"outcome": "not parsed"' 'Filename is not valid UTF-8 text' \
        "\"pathBytes\": \"$(printf '%s/%s' "$F" "$bad" | base64 -w0)\"}"
    run change-dates --shift --years 1 --apply "$F"
    expect_text out "{DT=2004-05-17}$look  ->  {DT=2005-05-17}$look"
    expect_held "$bad" x "{DT=2005-05-17}$look" y
    ;;
jobs_same_run)
    # One thread or two: the same lines, report and journal records, over names that do not parse, are
    # not UTF-8, grow past what a name can be, or whose new name is taken; enough for the worker to run ahead.
    i=0
    while [ $i -lt 200 ]; do files "{DT=2004-05-17 @10-00}{SN=$i}.jpg" "x{$i.jpg"; i=$((i + 1)); done
    files "$(printf '{DT=2004-05-17}{SU=\376}.jpg')" "{DT=2004-05-17}{SU=$(printf '%0228d' 0)}.jpg" '{DT=2004-05-17}{SU=a}.jpg'
    mkdir "$F/{DT=2004-05-17 @01 ~ 2004-05-18 @00}{SU=a}.jpg"
    for jobs in 1 2; do
        run_rc 1 change-dates --jobs $jobs --set ParseLengthMaximum=999 --set BuildLengthMaximum=999 --shift --hours 1 \
            --apply "$F"
        cat "$WORK/out" "$WORK/err" >"$WORK/said$jobs"
        sed -n '/^rename/,$p' "$XDG_STATE_HOME"/lorvane/*.journal >"$WORK/journal$jobs"
        run_rc 0 undo --apply
        rm "$XDG_STATE_HOME"/lorvane/*.journal
    done
    cmp -s "$WORK/said1" "$WORK/said2" || fail "the run says otherwise with two threads"
    cmp -s "$WORK/journal1" "$WORK/journal2" || fail "the journal differs with two threads"
    expect_text said2 "200  filenames successfully processed" "201  filenames could not be parsed" "File name too long"
    [ "$(grep -c '^failed' "$WORK/journal2")" -eq 2 ] || fail "not two failed renames in the journal"
    ;;
undo_reverts_latest)
    files '{DT=2004-05-17}.jpg'
    run change-dates --shift --days 1 --apply "$F"
    run change-dates --shift --days 1 --apply "$F"
    run_rc 0 undo --list
    expect_lines out 2
    expect_text out 'not undone  1 file   lorvane change-dates --shift --days 1 --apply'
    run_rc 0 undo
    expect_text out 'would restore'
    expect_file '{DT=2004-05-19}.jpg'
    run undo --apply
    grep -q "^Restored 1 of 1 files of the run of .* in \"$F\"\$" "$WORK/err" || fail "not the one folder named"
    run_rc 0 undo --apply --json
    expect_line out "{\"from\": \"$F/{DT=2004-05-18}.jpg\", \"to\": \"$F/{DT=2004-05-17}.jpg\", \"outcome\": \"restored\", \"error\": null}"
    expect_file '{DT=2004-05-17}.jpg'
    run_rc 0 undo --apply
    expect_text err 'there is no batch run to undo'
    # A damaged run file: listed as such, and the list fails.
    printf 'lorvane journal 2\nseq\t9\nrename\tno\\q\n' >"$XDG_STATE_HOME/lorvane/9-damaged.journal"
    run_rc 1 undo --list
    expect_text out 'damaged'
    ;;
undo_same_name_is_no_failure)
    # One of the two put back by hand since the run: it needs nothing, and is no failure.
    files '{DT=2004-05-17}.jpg' '{DT=2004-06-01}.jpg' '{SU=Ben}.jpg'
    run change-dates --shift --days 1 --apply "$F"
    mv "$F/{DT=2004-06-02}.jpg" "$F/{DT=2004-06-01}.jpg"
    run_rc 0 undo --apply
    expect_text err 'Restored 1 of 1 files of the run of' '; 1 already had its old name'
    expect_files '{DT=2004-05-17}.jpg' '{DT=2004-06-01}.jpg' '{SU=Ben}.jpg'
    ;;
journal_lock_held)
    # Another run holds the journal: an applied run or undo waits, then exits 2.
    files '{DT=2004-05-17}.jpg'
    mkdir -p "$XDG_STATE_HOME/lorvane"
    printf 'process 1: lorvane rebuild elsewhere\n' >"$XDG_STATE_HOME/lorvane/lock"
    flock "$XDG_STATE_HOME/lorvane/lock" sleep 6 &
    holder=$!
    sleep 0.3
    run_rc 2 change-dates --shift --days 1 --apply "$F"
    expect_text err 'another run is using the journal (process 1: lorvane rebuild elsewhere)'
    expect_file '{DT=2004-05-17}.jpg'
    run_rc 2 undo --apply
    kill "$holder" 2>/dev/null
    wait 2>/dev/null
    run_rc 0 change-dates --shift --days 1 --apply "$F"
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || exit 1
exit 0
