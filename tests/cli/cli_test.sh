#!/bin/sh
# End-to-end cases for the lorvane command-line tool.
# Usage: cli_test.sh LORVANE CASE
# Each case runs with its own empty configuration folder, never the user's store.
set -u

. "$(dirname "$0")/cli_lib.sh"

EXAMPLE='{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg'

case $CASE in
example_json)
    run_rc 0 check --no-semantics "$EXAMPLE"
    expect_lines out 1
    expect_line out '{"input": "{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg", "parse": {"status": "Good", "message": "", "position": 46, "length": 0, "format": "2.x"}, "tree": {"text": "Filename", "tag": "", "image": 1, "expanded": true, "children": [{"text": "Subject", "tag": "Subject", "image": 4, "expanded": true, "children": [{"text": "Ann", "tag": "", "image": 10, "expanded": true, "children": []}, {"text": "Ben", "tag": "", "image": 10, "expanded": true, "children": [{"text": "Role", "tag": "Role", "image": 4, "expanded": true, "children": [{"text": "Sister", "tag": "", "image": 10, "expanded": false, "children": []}]}]}]}, {"text": "Place", "tag": "Place", "image": 4, "expanded": true, "children": [{"text": "Harbour", "tag": "", "image": 10, "expanded": true, "children": []}]}, {"text": "Extension", "tag": "Extension", "image": 4, "expanded": true, "children": [{"text": "JPG", "tag": "", "image": 10, "expanded": true, "children": []}]}]}, "build": {"status": "Good", "message": "", "nodeIndex": 0, "position": 0, "length": 0, "format": "Lorvane Data 2.x", "name": "{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg"}}'
    [ -e "$STORE" ] && fail "check wrote the settings store"
    ;;
example_human)
    run_rc 0 check --human --no-semantics "$EXAMPLE"
    expect_line out "$EXAMPLE" '  * Filename' '    @ Subject' '      - Ann' '        @ Role' '          - Sister' '      - JPG' \
        '  build: Good (Lorvane Data 2.x)' "  name: $EXAMPLE"
    run_rc 0 check --human '2005-07-14 @10 ~ @18 #12 Harbour seals.jpg'
    expect_line out '    @ Sequence Number' '      - 012' '  parse: Good (1.x)' '  build: Good (Lorvane Data 1.x)' \
        '  name: 2005-07-14 @10 ~ @18 #012 Harbour seals.jpg'
    # Each date value shows the span it stands for; other values and unreadable dates do not.
    run check --human --no-semantics '2004-02 Leap.jpg' '{DT=2005~2003}{Title=2005}.jpg' '{DT=2005-02-30}.jpg'
    expect_line out '      - 2004-02 (2004-02-01 00:00:00 to 2004-02-29 23:59:59)' '      - 2005' '      - 2005-02-30' \
        '      - 2005~2003 (2005-01-01 00:00:00 to 2003-12-31 23:59:59)'
    ;;
fail_name)
    # Every name is processed; one failure makes the exit code 1.
    run_rc 1 check --no-semantics "$EXAMPLE" 'Harbour walk.jpg' '{Place=Harbour}.png'
    expect_lines out 3
    expect_line out '{"input": "Harbour walk.jpg", "parse": {"status": "Fail", "message": "Missing start delimiter \"{\"", "position": 1, "length": 0, "format": ""}, "tree": null, "build": null}'
    expect_text out '"name": "{Place=Harbour}.png"'
    run_rc 1 check -- --human
    expect_text out '{"input": "--human", '
    ;;
warn_name)
    # A build that ends in "Warn" still yields its name and exits 0.
    run_rc 0 check --human --no-semantics '{Subject=Ann}.jpeg'
    expect_line out '      - JPEG [Warn]' '  name: {Subject=Ann}.jpeg' \
        '  build: Warn on node 5 at 1, length 4 (Lorvane Data 2.x): Extension value is more than 3 characters long'
    ;;
semantics_defaults)
    # On by default (translated, merged, in standard form), off with --no-semantics.
    run_rc 0 check '{Comment=x}{Subject=Beach}{DT=2005-07-14}{Quality=50}{subj=Sea}.jpg'
    expect_text out '"name": "{DT=2005-07-14}{SU=Beach;Sea}{QU=050}{CO=x}.jpg"'
    # Findings of the layer in Fail mode make the exit code 1.
    run_rc 1 check --set SemanticsAttributeValidateName=2 '{DT=2005}{Photographer=Ann}.jpg'
    expect_text out '"build": {"status": "Fail", "message": "Unrecognized attribute name", "nodeIndex": 4, "position": 1, "length": 12,'
    ;;
build_fail)
    run_rc 1 check '{Subject=Ann}{Extension=jpg;png}'
    expect_text out '"format": "", "name": ""}}' '"image": 12' \
        '"build": {"status": "Fail", "message": "Extension may not have more than one value", "nodeIndex": 6,'
    ;;
character_positions)
    run_rc 1 check --set Parse2xStrictMode=2 '{Größe=Ann}x.jpg'
    expect_text out '"message": "Missing start delimiter \"{\"", "position": 12, "length": 0'
    run_rc 1 check -- "$(printf 'a"b\\c\td\001Größe\377.jpg')"
    expect_text out "$(printf '{"input": "a\\"b\\\\c\\td\\u0001Größe\357\277\275.jpg", ')" \
        '"message": "Filename is not valid UTF-8 text", "position": 14, "length": 1'
    run_rc 1 check -- 'Grüß'
    expect_text out '{"input": "Grüß", '
    ;;
bad_arguments)
    # Each "ARGS|TEXT": a usage error, no output, TEXT in the message.
    for c in "|" "--frobnicate x|--frobnicate" "--set|" "--set NoEquals x|NoEquals" "--set NoSuchKey=1 x|NoSuchKey" \
        "--set ParseLengthMaximum=long x|ParseLengthMaximum: the value \"long\""; do
        # shellcheck disable=SC2086
        run_rc 2 check ${c%%|*}
        [ -s "$WORK/out" ] && fail "output despite a usage error"
        expect_text err "${c#*|}"
    done
    run_rc 2; run_rc 2 frobnicate; expect_text err 'frobnicate'; run_rc 2 settings extra
    # Not one of the modes: a usage error, not a failure of every name.
    run_rc 2 check --set ParseMode=Foo "$EXAMPLE"
    expect_text err '--set ParseMode: the value "Foo" is not one of its choices ("(Auto)", "1.x", "2.x", "Batch")'
    run_rc 0 check --help; expect_text out '--no-semantics' '"nodeIndex"'
    ;;
set_refusals)
    # A value the setting does not allow is refused, naming the key and the value.
    for kv in Parse2xStrictMode=7 Parse2xStrictMode=-1 SemanticsValueReorder=2 BuildMode=Batch \
              ParseLengthMaximum=-1 ParseDateMinimumYear=999 Parse2xDelimiterStart= \
              Build2xDelimiterEnd='a:b' Parse1xAttributeDate=; do
        run_rc 2 check --set "$kv" "$EXAMPLE"
        expect_text err "--set ${kv%%=*}: the value \"${kv#*=}\""
        run_rc 2 settings --set "$kv"
    done
    run_rc 2 check --set ParseLengthMaximum=2147483648 "$EXAMPLE"
    expect_text err 'the value "2147483648" is out of range (0 to 2147483647)'
    run_rc 0 check --set Parse2xStrictMode=0 --set ParseDateMaximumYear=9999 "$EXAMPLE"
    ;;
set_contradictions)
    # Values each allowed on their own that contradict each other are refused too;
    # the check runs once all overrides are applied, whatever their order.
    run_rc 2 check --set ParseDateMinimumYear=2200 "$EXAMPLE"
    expect_text err '--set: Minimum Year may not be larger than Maximum Year'
    run_rc 2 check --set 'Parse2xDelimiterEnd={{' "$EXAMPLE"
    expect_text err '--set: Parse Start and Parse End delimiters may not overlap.'
    run_rc 2 settings --set Parse1xAttributeTopic=Date
    expect_text err '--set: Date, Serial, Topic, and Extension attribute names must all be different.'
    run_rc 0 check --set ParseDateMaximumYear=9999 --set ParseDateMinimumYear=2200 "$EXAMPLE"
    run_rc 0 check --set ParseDateMinimumYear=2200 --set ParseDateMaximumYear=9999 "$EXAMPLE"
    run_rc 0 settings --set 'Parse2xDelimiterEnd=]' --set 'Parse2xDelimiterStart=[' --set 'Parse2xDelimiterEnd={{'
    # A contradiction the stored settings hold already is not the override's, nor does it
    # hide one the override makes elsewhere; whoever sets a year answers for the order.
    write_store '[Date]' 'ParseDateMinimumYear=2200'
    run_rc 0 check --set ParseMode=2.x "$EXAMPLE"
    run_rc 2 check --set ParseDateMaximumYear=2150 "$EXAMPLE"
    expect_text err '--set: Maximum Year may not be smaller than Minimum Year'
    ;;
store_settings)
    # Out of range or not a number: the default, with one warning naming the key and the value;
    # --set overrides the store.
    # Parse with other delimiters, build with the defaults; later --set wins.
    run_rc 0 check --no-semantics --set Parse2xDelimiterStart=x --set=Parse2xDelimiterStart='[' \
        --set 'Parse2xDelimiterEnd=]' '[Subject=Ann][Place=Harbour].jpg'
    expect_text out '"name": "{Subject=Ann}{Place=Harbour}.jpg"'
    write_store '[2.x]' 'Parse2xStrictMode=7' '[%General]' 'ParseMode=bogus' 'ParseLengthMaximum=lots' 'BuildMode=1.x'
    run_rc 0 settings
    expect_line out 'Parse2xStrictMode=1' 'ParseMode=(Auto)' 'ParseLengthMaximum=200'
    expect_text err 'Setting 2.x/Parse2xStrictMode has the value "7", which is not one of its choices' \
        'Setting General/ParseMode has the value "bogus"'
    run_rc 1 check "$EXAMPLE" "$EXAMPLE"
    [ "$(grep -c 'ParseLengthMaximum' "$WORK/err")" -eq 1 ] || fail "not one warning about ParseLengthMaximum"
    run_rc 0 check --set BuildMode=2.x "$EXAMPLE"
    expect_text out '"format": "Lorvane Data 2.x"'
    ;;
settings)
    write_store '[2.x]' 'Parse2xDelimiterStart=[' 'Parse2xStrictMode=2'
    run_rc 0 settings --set ParseMode=Batch --set 'Build2xDelimiterEnd= ]'
    expect_line out '[General]' '[Semantics]' 'ParseMode=Batch' 'BuildMode=(Auto)' 'Parse2xDelimiterStart=[' \
        'Parse2xStrictMode=2' 'Build2xDelimiterEnd=" ]"' 'Parse1xDelimiterTopic=' 'SemanticsValueReorder=0'
    [ "$(grep -c '^[A-Za-z0-9]*=' "$WORK/out")" -eq 77 ] || fail "not 77 settings printed"
    grep -q 'ParseMode' "$STORE" && fail "settings wrote the store"
    # Only blanks at the ends are quoted, not one inside.
    run_rc 0 settings --set 'Build2xDelimiterStart=[ ['; expect_line out 'Build2xDelimiterStart=[ ['
    run_rc 0 settings --help; expect_text out '--set'
    ;;
stdin_lines)
    # Names from standard input, one per line, mixed with arguments in order; a path is
    # checked by its file name, CR LF line ends are accepted; a second "-" reads nothing more.
    printf 'photos/2024/{Place=Harbour}.png\r\nHarbour walk.jpg\n' >"$WORK/in"
    run_rc 1 check --no-semantics "$EXAMPLE" - - <"$WORK/in"
    expect_lines out 3
    head -n 1 "$WORK/out" | grep -qF "\"input\": \"$EXAMPLE\"" || fail "argument not first"
    expect_text out '"input": "photos/2024/{Place=Harbour}.png"' '"name": "{Place=Harbour}.png"' \
        '"input": "Harbour walk.jpg", "parse": {"status": "Fail"'
    # A long list streams: every name gets its line.
    i=0
    while [ $i -lt 3000 ]; do echo "{Serial=$i}.jpg"; i=$((i + 1)); done >"$WORK/in"
    run_rc 0 check --no-semantics - <"$WORK/in"
    expect_lines out 3000
    tail -n 1 "$WORK/out" | grep -qF '"name": "{Serial=2999}.jpg"' || fail "last name missing"
    # -0 splits at NUL only: a line break is part of a name.
    printf './a/{A=b}.jpg\000{A=c\nd}.png\000' >"$WORK/in"
    run_rc 0 check -0 --no-semantics - <"$WORK/in"
    expect_lines out 2
    expect_text out '"input": "{A=c\nd}.png"' '"name": "{A=b}.jpg"'
    ;;
stdin_unbounded)
    # A name with no end in sight is kept only up to a bound: it fails as too long,
    # counted to its end, and the next name is read as usual.
    { head -c 50000000 /dev/zero; printf '\n{A=b}.jpg\n'; } >"$WORK/in"
    run_rc 1 check --no-semantics - <"$WORK/in"
    expect_lines out 2
    head -n 1 "$WORK/out" | grep -qF '"parse": {"status": "Fail", "message": "Filename is too long (Length=50000000, Maximum=200)", "position": 1, "length": 50000000, "format": ""}, "tree": null, "build": null}' \
        || fail "the long name is not refused as too long"
    tail -n 1 "$WORK/out" | grep -qF '"name": "{A=b}.jpg"' || fail "the name after it is lost"
    # The refusal shows the start of the name that was kept, even when the first
    # block read already holds more than that.
    { printf '{SU='; head -c 70000 /dev/zero | tr '\0' a; printf '}.jpg\n'; } >"$WORK/long"
    run_rc 1 check --no-semantics - <"$WORK/long"
    expect_text out '"input": "{SU=aaaaaaaaaa' '"message": "Filename is too long (Length=70009, Maximum=200)"'
    # -0 on a list of lines reads it as one name: the same.
    i=0
    while [ $i -lt 2000 ]; do echo "{Serial=$i}.jpg"; i=$((i + 1)); done >"$WORK/lines"
    run_rc 1 check -0 --no-semantics --set ParseLengthMaximum=1000 - <"$WORK/lines"
    expect_lines out 1
    expect_text out '"message": "Filename is too long (Length=34890, Maximum=1000)"'
    # The bound is 4096 bytes of path and 4 a character of the longest name (10
    # here): a path of exactly that many bytes is kept whole, one byte more is cut.
    for n in 4136 4137; do
        { head -c $((n - 10)) /dev/zero | tr '\0' a; printf '/{A=b}.jpg\n'; } >"$WORK/edge"
        run check --no-semantics --set ParseLengthMaximum=10 - <"$WORK/edge"
        if [ $n -eq 4136 ]; then expect_rc 0; expect_text out '"name": "{A=b}.jpg"'
        else expect_rc 1; expect_text out "\"message\": \"Filename is too long (Length=$n, Maximum=10)\""; fi
    done
    ;;
list_tsv)
    mkdir "$WORK/f"
    head -c 12800 /dev/zero >"$WORK/f/{DT=2004-07-15@14-30}{SN=12}.jpg"
    : >"$WORK/f/Harbour walk.jpg"; : >"$WORK/f/{SN}{DT=2004}.png"
    run_rc 0 list "$WORK/f"
    expect_lines out 4
    [ -s "$WORK/err" ] && fail "progress or messages on a stderr that is not a terminal"
    # Name order ignoring case: "H" before "{".
    [ "$(sed -n 2p "$WORK/out")" = "$(printf 'Harbour walk.jpg\tFail\tMissing start delimiter "{"\t0000/00/00 00:00:00 0000 0000 0000\t%s\tJPEG image\t000,000 KB\t016' "$WORK/f")" ] || fail "rows not in name order"
    expect_line out "$(printf 'Name\tStatus\tMessage\tChronology\tPath\tType\tSize\tLength')" \
        "$(printf '{DT=2004-07-15@14-30}{SN=12}.jpg\tGood\tLorvane Data 2.x\t2004/07/15 14:30:00 0012 0000 0000\t%s\tJPEG image\t000,012 KB\t032' "$WORK/f")"
    run_rc 0 list --json "$WORK/f"
    expect_line out "{\"Name\": \"{SN}{DT=2004}.png\", \"Status\": \"Warn\", \"Message\": \"Sequence Number attribute should have at least 1 value\", \"Chronology\": \"2004/01/01 00:00:00 0000 0000 0000\", \"Path\": \"$WORK/f\", \"Type\": \"PNG image\", \"Size\": \"000,000 KB\", \"Length\": \"017\"}"
    ;;
list_usage)
    run_rc 1 list "$WORK/none"
    expect_line err "lorvane: \"$WORK/none\" does not exist"
    [ -s "$WORK/out" ] && fail "output for a missing folder"
    : >"$WORK/file.jpg"
    run_rc 1 list "$WORK/file.jpg"
    expect_line err "lorvane: \"$WORK/file.jpg\" is not a folder"
    run_rc 2 list; expect_text err "no FOLDER given"
    run_rc 2 list "$WORK" "$WORK"
    mkdir "$WORK/f"; : >"$WORK/f/{SN=5}.jpg"
    run_rc 0 list --set ParseMode=1.x "$WORK/f"
    expect_text out "$(printf '{SN=5}.jpg\tFail\t')"
    ;;
list_unreadable)
    # A folder that cannot be read is named on stderr and the rest is listed: here
    # one whose path is longer than the system takes (root reads every folder),
    # and for other users one at mode 000 as well.
    mkdir -p "$WORK/f/deep" "$WORK/f/z"
    : >"$WORK/f/a.jpg"; : >"$WORK/f/deep/b.jpg"; : >"$WORK/f/z/c.jpg"
    part=$(printf '%0200d' 0 | tr 0 d)
    deep=$part; i=1
    while [ $i -lt 22 ]; do deep="$deep/$part"; i=$((i + 1)); done
    (cd "$WORK/f/deep" && mkdir -p "$deep") || fail "could not make the deep folders"
    unreadable=1
    if [ "$(id -u)" -ne 0 ]; then
        mkdir "$WORK/f/locked"; : >"$WORK/f/locked/hidden.jpg"; chmod 000 "$WORK/f/locked"
        unreadable=2
    fi
    run_rc 1 list -r "$WORK/f"
    [ -d "$WORK/f/locked" ] && chmod 755 "$WORK/f/locked"
    expect_lines out 4
    expect_text out "$(printf 'a.jpg\t')" "$(printf 'b.jpg\t')" "$(printf 'c.jpg\t')"
    expect_text err "lorvane: Unable to read \"$WORK/f/deep/ddd"
    [ "$(grep -c 'File name too long' "$WORK/err")" -eq 1 ] || fail "the deep folder is not named once"
    [ "$(grep -c '^lorvane: Unable to read' "$WORK/err")" -eq "$unreadable" ] || fail "not every unreadable folder named"
    rm -rf "$WORK/f"
    ;;
list_dotdot)
    # ".." after a link to a folder is the parent of its target, as for the kernel, from a relative path too.
    mkdir -p "$WORK/elsewhere/target" "$WORK/a"
    : >"$WORK/elsewhere/e.jpg"; : >"$WORK/a/a.jpg"
    ln -s "$WORK/elsewhere/target" "$WORK/a/link"
    real=$(cd "$WORK/elsewhere" && pwd -P)
    (cd "$WORK/a" && "$LORVANE" list link/..) >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 0
    expect_lines out 2
    expect_text out "$(printf 'e.jpg\tFail\tMissing start delimiter "{"\t0000/00/00 00:00:00 0000 0000 0000\t%s\t' "$real")"
    ;;
list_not_utf8)
    # A name that is not UTF-8 beside the name it reads as: each row says whose bytes it has.
    mkdir "$WORK/f" "$WORK/f/$(printf '\375dir')"
    : >"$WORK/f/$(printf '\376.jpg')"; : >"$WORK/f/$(printf '\357\277\275.jpg')"; : >"$WORK/f/$(printf '\375dir')/x.jpg"
    : >"$WORK/f/$(printf '{A=x\ty}.jpg')"; : >"$WORK/f/$(printf 'a\nb.jpg')"
    run_rc 0 list -r --json "$WORK/f"
    expect_lines out 5
    expect_text out '"Name": "a\nb.jpg"' '"Name": "{A=x\ty}.jpg"'
    [ "$(grep -c '"Name": "�.jpg"' "$WORK/out")" -eq 2 ] || fail "Name is not the readable text"
    [ "$(grep -c '"nameBytes": "/i5qcGc="}' "$WORK/out")" -eq 1 ] || fail "no nameBytes for the name that is not UTF-8"
    [ "$(grep -c 'nameBytes' "$WORK/out")" -eq 1 ] || fail "nameBytes on a UTF-8 name"
    expect_text out "\"pathBytes\": \"$(printf '%s/\375dir' "$WORK/f" | base64 -w0)\"}"
    # The bytes give back the file itself.
    bytes=$(grep -o '"nameBytes": "[^"]*"' "$WORK/out" | sed 's/.*: "\(.*\)"/\1/')
    [ -e "$WORK/f/$(printf '%s' "$bytes" | base64 -d)" ] || fail "nameBytes does not name the file"
    run_rc 0 list "$WORK/f"
    expect_lines out 5
    expect_text out 'a\nb.jpg	Fail' '{A=x\ty}.jpg	'
    ;;
list_jobs)
    # Enough files for the worker to run ahead, and names that do not parse, are not UTF-8 or are as
    # long as a name can be: the same lines with one thread and with two.
    mkdir -p "$WORK/f/s" "$WORK/f/$(printf '\375d')"
    i=0
    while [ $i -lt 300 ]; do
        : >"$WORK/f/{DT=2004-05-17 @10-$((i % 70))}{SN=$i}.jpg"; : >"$WORK/f/s/x{$i.jpg"; i=$((i + 1))
    done
    : >"$WORK/f/$(printf '\376{SU=a}.jpg')"; : >"$WORK/f/$(printf '\375d')/$(printf '%0250d' 0).jpg"
    : >"$WORK/f/$(printf 'a\nb.jpg')"
    for format in --json --recursive; do
        run_rc 0 list -r $format --jobs 1 "$WORK/f"; mv "$WORK/out" "$WORK/one"
        run_rc 0 list -r $format --jobs 2 "$WORK/f"
        cmp -s "$WORK/one" "$WORK/out" || fail "list $format differs with two threads"
    done
    expect_lines out 604
    run_rc 2 list --jobs 0 "$WORK/f"; expect_text err '--jobs takes a number from 1, not "0"'
    ;;
stderr_escapes)
    # Names on standard error cannot reach the terminal as control sequences.
    run_rc 1 list "$WORK/$(printf 'x\033[31mred\nline')"
    expect_line err "lorvane: \"$WORK/x?[31mred?line\" does not exist"
    run_rc 2 list "$(printf -- '--bad\033]0;title\007')" "$WORK"
    expect_text err 'unknown option "--bad?]0;title?"'
    LC_ALL=C grep -q "$(printf '\033')" "$WORK/err" && fail "an escape character on stderr"
    # The outline writes them the same way, DEL, C1 controls and bytes that are not UTF-8 included
    # (a lead byte whose sequence is broken off is one such byte).
    run check --human -- "$(printf 'a\177b\302\233c\233d\376e\303(.jpg')"
    expect_line out 'a?b?c?d?e?(.jpg'
    # Bidirectional controls (the first and last of each range, ALM, LRM, RLM), but not their neighbours.
    run check --human -- "$(printf 'a\342\200\252b\342\200\256c\342\201\246d\342\201\251e\342\200\216f\342\200\217g\330\234h\342\200\257\342\201\245.jpg')"
    expect_line out "$(printf 'a?b?c?d?e?f?g?h\342\200\257\342\201\245.jpg')"
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || exit 1
exit 0
