#!/bin/sh
# End-to-end cases for lorvane add-content and remove-content.
# Usage: content_test.sh LORVANE CASE
set -u

. "$(dirname "$0")/cli_lib.sh"

F="$WORK/f"
mkdir "$F"
files() {
    for n in "$@"; do printf '%s' "$n" >"$F/$n"; done
}
expect_file() {
    [ -e "$F/$1" ] || fail "no file \"$1\""
    if [ $# -gt 1 ] && [ "$(cat "$F/$1")" != "$2" ]; then fail "\"$1\" holds \"$(cat "$F/$1")\", not \"$2\""; fi
}
# expect_names NAME...: F holds exactly these files, in this order.
expect_names() {
    [ "$(ls "$F")" = "$(printf '%s\n' "$@")" ] || fail "the folder holds: $(ls "$F" | tr '\n' '|')"
}

case $CASE in
add_top_level_and_report)
    files '{DT=2004-05-17}{SU=Ann}.jpg' 'x{.jpg'
    run add-content --attribute CR --value Ada --apply "$F"
    expect_rc 1
    expect_names 'x{.jpg' '{DT=2004-05-17}{SU=Ann}{CR=Ada}.jpg'
    expect_file '{DT=2004-05-17}{SU=Ann}{CR=Ada}.jpg' '{DT=2004-05-17}{SU=Ann}.jpg'
    [ "$(cat "$WORK/err")" = '1  filenames successfully processed
1  filenames could not be parsed
0  filenames lacked the specified context
0  filenames could not be re-built
0  filenames could not be saved
=
2  total filenames attempted' ] || fail "closing report differs"
    run undo --apply
    expect_names 'x{.jpg' '{DT=2004-05-17}{SU=Ann}.jpg'
    ;;
add_under_a_value)
    # Device in any letter case, by any of its names; the semantic layer then merges the two.
    files '{DT=2004}{DV=Nikon;Leica}{Device=Leica}.jpg' '{DT=2004}{SU=Leica}.jpg'
    run add-content --attribute Creator --value Ada --under devc leica --json "$F"
    expect_rc 0
    expect_text out '"name": "{DT=2004}{DV=Nikon;Leica}{Device=Leica}.jpg", "outcome": "processed", "newName": "{DT=2004}{DV=Nikon;Leica{CR=Ada}}.jpg"'
    expect_text out '"name": "{DT=2004}{SU=Leica}.jpg", "outcome": "not applicable", "newName": null'
    run add-content --attribute ' CR ' --value ' Ada ' --under ' DV ' ' leica ' --apply "$F"
    expect_names '{DT=2004}{DV=Nikon;Leica{CR=Ada}}.jpg' '{DT=2004}{SU=Leica}.jpg'
    expect_text err '1  filenames lacked the specified context'
    ;;
add_usage)
    files '{DT=2004}.jpg'
    for args in "--attribute CR" "--value Ada" "--attribute CR --value ''" "--attribute ' ' --value Ada" \
        "--attribute CR --attribute PL --value Ada" "--attribute CR --value Ada --bogus"; do
        eval "run add-content $args --apply \"\$F\""
        expect_rc 2
    done
    run add-content --attribute CR --value Ada --apply "$F" --under DV
    expect_rc 2
    run add-content --attribute CR --value ' ' "$F"
    expect_text err 'lorvane: --value is blank (give --allow-blank to add a blank value)'
    run add-content --attribute '' --value '' --allow-blank --under '' '' "$F"
    expect_rc 0
    expect_text err '1  filenames lacked the specified context'
    run add-content --attribute PL --value -5 --apply "$F"  # a value that starts with "-" is the option's
    expect_names '{DT=2004}{PL=-5}.jpg'
    ;;
remove_criteria_and_contexts)
    files '{DT=2004}{SU=Ann{PS=Left}{CR=Ada};Ben{PS=Right}}.jpg' '{DT=2005}{SU=Cy}.jpg'
    run remove-content --attributes-named PS --under Subject ann --json "$F"
    expect_text out '"newName": "{DT=2004}{SU=Ann{CR=Ada};Ben{PS=Right}}.jpg"'
    expect_text err '1  filenames did not meet criteria'
    run remove-content --attributes-named '' --under '' '' "$F"
    expect_rc 0
    expect_text err '2  filenames did not meet criteria'
    run remove-content --attributes-named Subject --top-level --json "$F"
    expect_text out '"newName": "{DT=2005}.jpg"'
    run remove-content --values-containing ann --promote --apply "$F"
    expect_text err '1  filenames successfully updated'
    expect_names '{DT=2004}{SU=Ben{PS=Right}}{PS=Left}{CR=Ada}.jpg' '{DT=2005}{SU=Cy}.jpg'
    ;;
remove_usage)
    files '{DT=2004}.jpg'
    run remove-content --top-level "$F"
    expect_rc 2
    expect_text err 'choose one of --attributes-without-values, --attributes-with-empty-labels, --attributes-named, --empty-values and --values-containing'
    for args in "--empty-values --attributes-without-values" \
        "--empty-values --anywhere --top-level" "--values-containing a --values-containing b" \
        "--empty-values --promote=yes"; do
        # shellcheck disable=SC2086
        run remove-content $args --apply "$F"
        expect_rc 2
    done
    run remove-content --apply "$F" --attributes-named
    expect_rc 2
    expect_text err '--attributes-named needs TEXT'
    run remove-content --empty-values --anywhere --under DV x "$F"
    expect_text err 'choose at most one of --anywhere, --top-level and --under'
    expect_names '{DT=2004}.jpg'
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || exit 1
exit 0
