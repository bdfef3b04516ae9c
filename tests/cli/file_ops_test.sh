#!/bin/sh
# End-to-end cases for lorvane copy, move, delete and link.
# Usage: file_ops_test.sh LORVANE CASE
set -u

. "$(dirname "$0")/cli_lib.sh"

S="$WORK/s"
D="$WORK/d"
mkdir "$S" "$D"
for n in a.jpg b.jpg -c.jpg; do printf '%s' "$n" >"$S/$n"; done
touch -d 2001-02-03 "$S/a.jpg"
# names FOLDER: its entries, sorted, on one line.
names() { (cd "$1" && ls -A | LC_ALL=C sort | tr '\n' ' '); }
expect_names() {
    [ "$(names "$1")" = "$2" ] || fail "$1 holds \"$(names "$1")\", not \"$2\""
}

case $CASE in
copy_never_replaces)
    printf 'mine' >"$D/b.jpg"
    run copy --to "$D" "$S"
    expect_rc 1
    expect_names "$D" "b.jpg "
    expect_text err 'Preview: nothing was copied'
    run copy --to "$D" --apply -- "$S"
    expect_rc 1
    expect_names "$D" "-c.jpg a.jpg b.jpg "
    expect_names "$S" "-c.jpg a.jpg b.jpg "
    [ "$(cat "$D/b.jpg")" = mine ] || fail "b.jpg was replaced"
    [ "$(stat -c %Y "$D/a.jpg")" = "$(stat -c %Y "$S/a.jpg")" ] || fail "the copy lost its modification time"
    expect_line err "Unable to copy the file \"$S/b.jpg\" due to the following error: File exists."
    expect_line err '2  files copied'
    expect_line err '1  files could not be copied'
    expect_line err '3  total files attempted'
    ;;
move_and_undo)
    run move --to "$D" --apply --json "$S/a.jpg" "$S/b.jpg"
    expect_rc 0
    expect_line out "{\"path\": \"$S/a.jpg\", \"name\": \"a.jpg\", \"outcome\": \"processed\", \"newName\": \"a.jpg\", \"newPath\": \"$D/a.jpg\", \"status\": \"Good\", \"message\": \"\", \"error\": null}"
    expect_names "$S" "-c.jpg "
    expect_names "$D" "a.jpg b.jpg "
    [ "$(stat -c %Y "$D/a.jpg")" = "$(date -d 2001-02-03 +%s)" ] || fail "the move lost the modification time"
    run undo --apply
    expect_rc 0
    expect_names "$S" "-c.jpg a.jpg b.jpg "
    expect_names "$D" ""
    ;;
destination_usage)
    for c in copy move link; do
        run $c "$S/a.jpg"
        expect_rc 2
        expect_text err '--to FOLDER is needed'
        run $c --to "$S/a.jpg" "$S/b.jpg"
        expect_rc 2
        expect_text err 'is not a folder'
    done
    run delete --to "$D" "$S/a.jpg"
    expect_rc 2
    expect_names "$S" "-c.jpg a.jpg b.jpg "
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac
[ "$failures" -eq 0 ]
