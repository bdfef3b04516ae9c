#!/bin/sh
# End-to-end cases for the lorvane command-line tool.
# Usage: cli_test.sh LORVANE CASE
# Each case runs with its own empty configuration folder, never the user's store.
set -u

. "$(dirname "$0")/cli_lib.sh"

EXAMPLE='{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg'

case $CASE in
example_json)
    run check --no-semantics "$EXAMPLE"
    expect_rc 0
    expect_lines out 1
    expect_line out '{"input": "{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg", "parse": {"status": "Good", "message": "", "position": 46, "length": 0, "format": "2.x"}, "tree": {"text": "Filename", "tag": "", "image": 1, "expanded": true, "children": [{"text": "Subject", "tag": "Subject", "image": 4, "expanded": true, "children": [{"text": "Ann", "tag": "", "image": 10, "expanded": true, "children": []}, {"text": "Ben", "tag": "", "image": 10, "expanded": true, "children": [{"text": "Role", "tag": "Role", "image": 4, "expanded": true, "children": [{"text": "Sister", "tag": "", "image": 10, "expanded": false, "children": []}]}]}]}, {"text": "Place", "tag": "Place", "image": 4, "expanded": true, "children": [{"text": "Harbour", "tag": "", "image": 10, "expanded": true, "children": []}]}, {"text": "Extension", "tag": "Extension", "image": 4, "expanded": true, "children": [{"text": "JPG", "tag": "", "image": 10, "expanded": true, "children": []}]}]}, "build": {"status": "Good", "message": "", "nodeIndex": 0, "position": 0, "length": 0, "format": "Lorvane Data 2.x", "name": "{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg"}}'
    [ -e "$STORE" ] && fail "check wrote the settings store"
    ;;
example_human)
    run check --human --no-semantics "$EXAMPLE"
    expect_rc 0
    expect_line out "$EXAMPLE"
    expect_line out '  * Filename'
    expect_line out '    @ Subject'
    expect_line out '      - Ann'
    expect_line out '        @ Role'
    expect_line out '          - Sister'
    expect_line out '      - JPG'
    expect_line out '  build: Good (Lorvane Data 2.x)'
    expect_line out "  name: $EXAMPLE"
    ;;
fail_name)
    run check 'Harbour walk.jpg'
    expect_rc 1
    expect_line out '{"input": "Harbour walk.jpg", "parse": {"status": "Fail", "message": "Missing start delimiter \"{\"", "position": 1, "length": 0, "format": ""}, "tree": null, "build": null}'
    ;;
warn_name)
    # A build that ends in "Warn" still yields its name and exits 0.
    run check --human --no-semantics '{Subject=Ann}.jpeg'
    expect_rc 0
    expect_line out '      - JPEG [Warn]'
    expect_line out '  build: Warn on node 5 at 1, length 4 (Lorvane Data 2.x): Extension value is more than 3 characters long'
    expect_line out '  name: {Subject=Ann}.jpeg'
    # With semantics the missing date is found first, on the root.
    run check --human '{Subject=Ann}.jpeg'
    expect_rc 0
    expect_line out '  * Filename [Warn]'
    expect_line out '      - JPEG [Warn]'
    expect_line out '  build: Warn on node 1 (Lorvane Data 2.x): There should be a top-level Captured Date attribute'
    expect_line out '  name: {SU=Ann}.jpeg'
    ;;
semantics_defaults)
    # Translated, in preferred order, duplicates merged, values in standard form.
    run check '{Comment=x}{Subject=Beach}{DT=2005-07-14}{Quality=50}{subj=Sea}.jpg'
    expect_rc 0
    expect_text out '"build": {"status": "Good", "message": "", "nodeIndex": 0, "position": 0, "length": 0, "format": "Lorvane Data 2.x", "name": "{DT=2005-07-14}{SU=Beach;Sea}{QU=050}{CO=x}.jpg"}'
    expect_text out '{"text": "Captured Date", "tag": "DT", "image": 4,'
    run check --no-semantics '{Comment=x}{Subject=Beach}{DT=2005-07-14}{Quality=50}{subj=Sea}.jpg'
    expect_rc 0
    expect_text out '"name": "{Comment=x}{Subject=Beach}{DT=2005-07-14}{Quality=50}{subj=Sea}.jpg"'
    # Findings of the layer in Fail mode make the exit code 1.
    run check --set SemanticsAttributeValidateName=2 '{DT=2005}{Photographer=Ann}.jpg'
    expect_rc 1
    expect_text out '"build": {"status": "Fail", "message": "Unrecognized attribute name", "nodeIndex": 4, "position": 1, "length": 12,'
    ;;
build_fail)
    run check '{Subject=Ann}{Extension=jpg;png}'
    expect_rc 1
    expect_text out '"build": {"status": "Fail", "message": "Extension may not have more than one value", "nodeIndex": 6,'
    expect_text out '"format": "", "name": ""}}'
    expect_text out '"image": 12'
    ;;
several_names)
    # Every name is processed; one failure makes the exit code 1.
    run check --no-semantics "$EXAMPLE" 'Harbour walk.jpg' '{Place=Harbour}.png'
    expect_rc 1
    expect_lines out 3
    expect_text out '"name": "{Place=Harbour}.png"'
    ;;
character_positions)
    run check --set Parse2xStrictMode=2 '{Größe=Ann}x.jpg'
    expect_rc 1
    expect_text out '"message": "Missing start delimiter \"{\"", "position": 12, "length": 0'
    ;;
json_escapes)
    name=$(printf 'a"b\\c\td\001Größe\377.jpg')
    run check -- "$name"
    expect_rc 1
    expect_text out "$(printf '{"input": "a\\"b\\\\c\\td\\u0001Größe\357\277\275.jpg", ')"
    expect_text out '"message": "Filename is not valid UTF-8 text", "position": 14, "length": 1'
    ;;
unknown_key)
    run check --set NoSuchKey=1 "$EXAMPLE"
    expect_rc 2
    expect_text err 'NoSuchKey'
    [ -s "$WORK/out" ] && fail "output despite a usage error"
    ;;
bad_number)
    run check --set ParseLengthMaximum=long "$EXAMPLE"
    expect_rc 2
    expect_text err 'ParseLengthMaximum'
    expect_text err '"long"'
    ;;
bad_arguments)
    run check; expect_rc 2
    run check --frobnicate "$EXAMPLE"; expect_rc 2; expect_text err '--frobnicate'
    run check --set; expect_rc 2
    run check --set NoEquals "$EXAMPLE"; expect_rc 2
    run; expect_rc 2
    run frobnicate; expect_rc 2; expect_text err 'frobnicate'
    run settings extra; expect_rc 2
    ;;
invalid_parse_mode)
    # Not one of the modes: a usage error, not a failure of every name.
    run check --set ParseMode=Foo "$EXAMPLE"
    expect_rc 2
    expect_text err '--set ParseMode: the value "Foo" is not one of its choices ("(Auto)", "1.x", "2.x", "Batch")'
    [ -s "$WORK/out" ] && fail "output despite a usage error"
    ;;
set_refusals)
    # A value the setting does not allow is refused, naming the key and the value.
    for kv in Parse2xStrictMode=7 Parse2xStrictMode=-1 SemanticsValueReorder=2 BuildMode=Batch \
              ParseLengthMaximum=-1 ParseDateMinimumYear=999 Parse2xDelimiterStart= \
              Build2xDelimiterEnd='a:b' Parse1xAttributeDate=; do
        run check --set "$kv" "$EXAMPLE"
        expect_rc 2
        expect_text err "--set ${kv%%=*}: the value \"${kv#*=}\""
        run settings --set "$kv"
        expect_rc 2
    done
    run check --set ParseLengthMaximum=2147483648 "$EXAMPLE"
    expect_rc 2
    expect_text err 'the value "2147483648" is out of range (0 to 2147483647)'
    run check --set Parse2xStrictMode=0 --set ParseDateMaximumYear=9999 "$EXAMPLE"
    expect_rc 0
    ;;
set_contradictions)
    # Values each allowed on their own that contradict each other are refused too.
    run check --set ParseDateMinimumYear=2200 "$EXAMPLE"
    expect_rc 2
    expect_text err '--set: Minimum Year may not be larger than Maximum Year'
    run check --set 'Parse2xDelimiterEnd={{' "$EXAMPLE"
    expect_rc 2
    expect_text err '--set: Parse Start and Parse End delimiters may not overlap.'
    run settings --set Parse1xAttributeTopic=Date
    expect_rc 2
    expect_text err '--set: Date, Serial, Topic, and Extension attribute names must all be different.'
    # Together they are fine: the maximum raised, then the minimum.
    run check --set ParseDateMaximumYear=9999 --set ParseDateMinimumYear=2200 "$EXAMPLE"
    expect_rc 0
    # ... and in the other order, where the first alone would be refused: the
    # check runs once all overrides are applied.
    run check --set ParseDateMinimumYear=2200 --set ParseDateMaximumYear=9999 "$EXAMPLE"
    expect_rc 0
    run settings --set 'Parse2xDelimiterEnd=]' --set 'Parse2xDelimiterStart=[' --set 'Parse2xDelimiterEnd={{'
    expect_rc 0
    # A contradiction the stored settings hold already is not the override's: it runs.
    write_store '[Date]' 'ParseDateMinimumYear=2200'
    run check --set ParseMode=2.x "$EXAMPLE"
    expect_rc 0
    # ... nor does it hide a contradiction the override makes elsewhere.
    run check --set 'Parse2xDelimiterEnd={{' "$EXAMPLE"
    expect_rc 2
    expect_text err '--set: Parse Start and Parse End delimiters may not overlap.'
    # Whoever sets a year answers for the order of the two.
    run check --set ParseDateMaximumYear=2150 "$EXAMPLE"
    expect_rc 2
    expect_text err '--set: Maximum Year may not be smaller than Minimum Year'
    # An override that mends one stored contradiction is not blamed for another.
    write_store '[Date]' 'ParseDateMinimumYear=2200' '[2.x]' 'Build2xDelimiterValue==='
    run check --set ParseDateMaximumYear=2300 "$EXAMPLE"
    expect_rc 0
    run check --set Build2xDelimiterStart='[' "$EXAMPLE"
    expect_rc 0
    run check --set 'Build2xDelimiterLabel==' "$EXAMPLE"
    expect_rc 2
    expect_text err '--set: Build Label and Build Value delimiters may not overlap.'
    ;;
store_out_of_range)
    # The store's rule: the default, with one warning naming the key and the value.
    write_store '[2.x]' 'Parse2xStrictMode=7' '[%General]' 'ParseMode=bogus'
    run settings
    expect_rc 0
    expect_line out 'Parse2xStrictMode=1'
    expect_line out 'ParseMode=(Auto)'
    expect_text err 'Setting 2.x/Parse2xStrictMode has the value "7", which is not one of its choices'
    expect_text err 'Setting General/ParseMode has the value "bogus"'
    ;;
store_not_regular)
    # A named pipe in the store's place: a warning and the defaults, never a hang.
    mkdir -p "$XDG_CONFIG_HOME/lorvane"
    mkfifo "$STORE" || { echo "no mkfifo"; exit 1; }
    for cmd in check settings list; do
        case $cmd in
        check) set -- check "$EXAMPLE" ;;
        settings) set -- settings ;;
        list) mkdir -p "$WORK/f"; set -- list "$WORK/f" ;;
        esac
        timeout 10 "$LORVANE" "$@" >"$WORK/out" 2>"$WORK/err" </dev/null; RC=$?
        [ "$RC" -eq 124 ] && fail "lorvane $cmd hung on a named pipe as its settings file"
        expect_rc 0
        expect_text err 'it is a named pipe, not a regular file; using the defaults'
    done
    [ -p "$STORE" ] || fail "the named pipe was replaced"
    ;;
store_broken)
    # A file that does not load: the message says defaults, and defaults it is.
    write_store '[2.x' 'Parse2xStrictMode=2'
    run settings
    expect_rc 0
    expect_text err 'not a valid settings file; using the defaults'
    expect_line out 'Parse2xStrictMode=1'
    ;;
set_overrides)
    # Parse with other delimiters, build with the defaults; later --set wins.
    run check --no-semantics --set Parse2xDelimiterStart=x --set=Parse2xDelimiterStart='[' --set 'Parse2xDelimiterEnd=]' '[Subject=Ann][Place=Harbour].jpg'
    expect_rc 0
    expect_text out '"name": "{Subject=Ann}{Place=Harbour}.jpg"'
    ;;
store_settings)
    # The user's store is read; a value that does not convert warns once and
    # keeps its default; --set overrides the store.
    write_store '[%General]' 'ParseLengthMaximum=lots' 'BuildMode=1.x'
    run check "$EXAMPLE" "$EXAMPLE"
    expect_rc 1
    n=$(grep -c 'ParseLengthMaximum' "$WORK/err")
    [ "$n" -eq 1 ] || fail "$n warnings about ParseLengthMaximum, expected 1"
    run check --set BuildMode=2.x "$EXAMPLE"
    expect_rc 0
    expect_text out '"format": "Lorvane Data 2.x"'
    ;;
double_dash)
    run check -- --human
    expect_rc 1
    expect_text out '{"input": "--human", '
    ;;
help)
    run --help; expect_rc 0; expect_text out 'check'; expect_text out 'settings'
    run check --help; expect_rc 0; expect_text out '--no-semantics'; expect_text out '"nodeIndex"'
    run settings --help; expect_rc 0; expect_text out '--set'
    ;;
settings)
    write_store '[2.x]' 'Parse2xDelimiterStart=[' 'Parse2xStrictMode=2'
    run settings --set ParseMode=Batch --set 'Build2xDelimiterEnd= ]'
    expect_rc 0
    expect_line out '[General]'
    expect_line out '[Semantics]'
    expect_line out 'ParseMode=Batch'
    expect_line out 'BuildMode=(Auto)'
    expect_line out 'Parse2xDelimiterStart=['
    expect_line out 'Parse2xStrictMode=2'
    expect_line out 'Build2xDelimiterEnd=" ]"'
    expect_line out 'Parse1xDelimiterTopic='
    expect_line out 'SemanticsValueReorder=0'
    n=$(grep -c '^[A-Za-z0-9]*=' "$WORK/out")
    [ "$n" -eq 77 ] || fail "$n settings printed, expected 77"
    grep -q 'ParseMode' "$STORE" && fail "settings wrote the store"
    # Only blanks at the ends are quoted, not one inside.
    run settings --set 'Build2xDelimiterStart=[ ['; expect_rc 0; expect_line out 'Build2xDelimiterStart=[ ['
    run settings --set Nope=1; expect_rc 2; expect_text err 'Nope'
    ;;
stdin_lines)
    # Names from standard input, one per line, mixed with arguments in order;
    # a path is checked by its file name, CR LF line ends are accepted.
    printf 'photos/2024/{Place=Harbour}.png\r\nHarbour walk.jpg\n' >"$WORK/in"
    "$LORVANE" check --no-semantics "$EXAMPLE" - <"$WORK/in" >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 1
    expect_lines out 3
    head -n 1 "$WORK/out" | grep -qF "\"input\": \"$EXAMPLE\"" || fail "argument not first"
    expect_text out '"input": "photos/2024/{Place=Harbour}.png"'
    expect_text out '"name": "{Place=Harbour}.png"'
    expect_text out '"input": "Harbour walk.jpg", "parse": {"status": "Fail"'
    ;;
stdin_nul)
    # -0 splits at NUL only: a line break is part of a name.
    printf './a/{A=b}.jpg\000{A=c\nd}.png\000' >"$WORK/in"
    "$LORVANE" check -0 --no-semantics - <"$WORK/in" >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 0
    expect_lines out 2
    expect_text out '"input": "{A=c\nd}.png"'
    expect_text out '"name": "{A=b}.jpg"'
    ;;
stdin_unbounded)
    # A name with no end in sight is kept only up to a bound: it fails as too long,
    # counted to its end, and the next name is read as usual.
    { head -c 50000000 /dev/zero; printf '\n{A=b}.jpg\n'; } >"$WORK/in"
    "$LORVANE" check --no-semantics - <"$WORK/in" >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 1
    expect_lines out 2
    head -n 1 "$WORK/out" | grep -qF '"parse": {"status": "Fail", "message": "Filename is too long (Length=50000000, Maximum=200)", "position": 1, "length": 50000000, "format": ""}, "tree": null, "build": null}' \
        || fail "the long name is not refused as too long"
    tail -n 1 "$WORK/out" | grep -qF '"name": "{A=b}.jpg"' || fail "the name after it is lost"
    # The refusal shows the start of the name that was kept, even when the first
    # block read already holds more than that.
    { printf '{SU='; head -c 70000 /dev/zero | tr '\0' a; printf '}.jpg\n'; } >"$WORK/in"
    "$LORVANE" check --no-semantics - <"$WORK/in" >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 1
    expect_text out '"input": "{SU=aaaaaaaaaa'
    expect_text out '"message": "Filename is too long (Length=70009, Maximum=200)"'
    # -0 on a list of lines reads it as one name: the same.
    i=0
    while [ $i -lt 2000 ]; do echo "{Serial=$i}.jpg"; i=$((i + 1)); done >"$WORK/lines"
    "$LORVANE" check -0 --no-semantics --set ParseLengthMaximum=1000 - <"$WORK/lines" >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 1
    expect_lines out 1
    expect_text out '"message": "Filename is too long (Length=34890, Maximum=1000)"'
    # The bound is 4096 bytes of path and 4 a character of the longest name (10
    # here): a path of exactly that many bytes is kept whole, one byte more is cut.
    for n in 4136 4137; do
        { head -c $((n - 10)) /dev/zero | tr '\0' a; printf '/{A=b}.jpg\n'; } >"$WORK/edge"
        "$LORVANE" check --no-semantics --set ParseLengthMaximum=10 - <"$WORK/edge" >"$WORK/out" 2>"$WORK/err"; RC=$?
        if [ $n -eq 4136 ]; then expect_rc 0; expect_text out '"name": "{A=b}.jpg"'
        else expect_rc 1; expect_text out "\"message\": \"Filename is too long (Length=$n, Maximum=10)\""; fi
    done
    # Memory stays the same whatever the length (measured where GNU time is there).
    if [ -x /usr/bin/time ]; then
        printf '{A=b}.jpg\n' >"$WORK/small"
        /usr/bin/time -f %M -o "$WORK/rss_small" "$LORVANE" check - <"$WORK/small" >/dev/null 2>&1
        /usr/bin/time -f %M -o "$WORK/rss_long" "$LORVANE" check - <"$WORK/in" >/dev/null 2>&1
        small=$(tail -n 1 "$WORK/rss_small"); long=$(tail -n 1 "$WORK/rss_long")
        [ $((long - small)) -lt 20000 ] || fail "a 50 MB name takes $((long - small)) kB more than a short one"
    fi
    ;;
stdin_many)
    # A long list streams: every name gets its line, nothing is held back.
    i=0
    while [ $i -lt 3000 ]; do echo "{Serial=$i}.jpg"; i=$((i + 1)); done >"$WORK/in"
    "$LORVANE" check --no-semantics - <"$WORK/in" >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 0
    expect_lines out 3000
    tail -n 1 "$WORK/out" | grep -qF '"name": "{Serial=2999}.jpg"' || fail "last name missing"
    ;;
one_x_name)
    run check --human '2005-07-14 @10 ~ @18 #12 Harbour seals.jpg'
    expect_rc 0
    expect_line out '    @ Sequence Number'
    expect_line out '      - 012'
    expect_line out '  parse: Good (1.x)'
    expect_line out '  build: Good (Lorvane Data 1.x)'
    expect_line out '  name: 2005-07-14 @10 ~ @18 #012 Harbour seals.jpg'
    ;;
date_span)
    # Each date value shows the span it stands for; other values and unreadable dates do not.
    run check --human --no-semantics '2004-02 Leap.jpg' '{DT=2005~2003}{Title=2005}.jpg' '{DT=2005-02-30}.jpg'
    expect_line out '      - 2004-02 (2004-02-01 00:00:00 to 2004-02-29 23:59:59)'
    expect_line out '      - 2005~2003 (2005-01-01 00:00:00 to 2003-12-31 23:59:59)'
    expect_line out '      - 2005'
    expect_line out '      - 2005-02-30'
    ;;
list_tsv)
    mkdir "$WORK/f"
    head -c 12800 /dev/zero >"$WORK/f/{DT=2004-07-15@14-30}{SN=12}.jpg"
    : >"$WORK/f/Harbour walk.jpg"
    mkdir "$WORK/f/sub"
    : >"$WORK/f/sub/{SN=1}.jpg"
    run list "$WORK/f"
    expect_rc 0
    expect_lines out 3
    [ -s "$WORK/err" ] && fail "progress or messages on a stderr that is not a terminal"
    expect_line out "$(printf 'Name\tStatus\tMessage\tChronology\tPath\tType\tSize\tLength')"
    expect_line out "$(printf '{DT=2004-07-15@14-30}{SN=12}.jpg\tGood\tLorvane Data 2.x\t2004/07/15 14:30:00 0012 0000 0000\t%s\tJPEG image\t000,012 KB\t032' "$WORK/f")"
    expect_line out "$(printf 'Harbour walk.jpg\tFail\tMissing start delimiter "{"\t0000/00/00 00:00:00 0000 0000 0000\t%s\tJPEG image\t000,000 KB\t016' "$WORK/f")"
    # Name order ignoring case: "H" before "{".
    head -n 2 "$WORK/out" | tail -n 1 | grep -q '^Harbour walk' || fail "rows not in name order"
    ;;
list_json)
    mkdir "$WORK/f"
    : >"$WORK/f/{SN}{DT=2004}.png"
    run list --json "$WORK/f"
    expect_rc 0
    expect_lines out 1
    expect_line out "{\"Name\": \"{SN}{DT=2004}.png\", \"Status\": \"Warn\", \"Message\": \"Sequence Number attribute should have at least 1 value\", \"Chronology\": \"2004/01/01 00:00:00 0000 0000 0000\", \"Path\": \"$WORK/f\", \"Type\": \"PNG image\", \"Size\": \"000,000 KB\", \"Length\": \"017\"}"
    ;;
list_recursive)
    mkdir -p "$WORK/f/b/deeper" "$WORK/f/A"
    : >"$WORK/f/z.jpg"; : >"$WORK/f/b/x.jpg"; : >"$WORK/f/b/deeper/y.jpg"; : >"$WORK/f/A/w.jpg"
    run list -r --json "$WORK/f/"
    expect_rc 0
    expect_lines out 4
    # The folder's own files, then each subfolder depth first.
    paths=$(sed 's/.*"Name": "\([^"]*\)".*"Path": "\([^"]*\)".*/\2\/\1/' "$WORK/out" | sed "s|^$WORK/f/||" | tr '\n' ' ')
    [ "$paths" = "z.jpg A/w.jpg b/x.jpg b/deeper/y.jpg " ] || fail "order: $paths"
    run list "$WORK/f"
    expect_lines out 2
    ;;
list_missing)
    run list "$WORK/none"
    expect_rc 1
    expect_line err "lorvane: \"$WORK/none\" does not exist"
    [ -s "$WORK/out" ] && fail "output for a missing folder"
    : >"$WORK/file.jpg"
    run list "$WORK/file.jpg"
    expect_rc 1
    expect_line err "lorvane: \"$WORK/file.jpg\" is not a folder"
    ;;
list_escapes)
    mkdir "$WORK/f"
    : >"$WORK/f/$(printf '{A=x\ty}.jpg')"
    : >"$WORK/f/$(printf 'a\nb.jpg')"
    run list "$WORK/f"
    expect_rc 0
    expect_lines out 3
    expect_text out 'a\nb.jpg	Fail'
    expect_text out '{A=x\ty}.jpg	'
    run list --json "$WORK/f"
    expect_lines out 2
    expect_text out '"Name": "a\nb.jpg"'
    expect_text out '"Name": "{A=x\ty}.jpg"'
    ;;
list_usage)
    run list
    expect_rc 2
    expect_text err "no FOLDER given"
    run list "$WORK" "$WORK"
    expect_rc 2
    run list --bogus "$WORK"
    expect_rc 2
    expect_text err 'unknown option "--bogus"'
    run list --set NoSuchKey=1 "$WORK"
    expect_rc 2
    run list --help
    expect_rc 0
    expect_text out "Usage: lorvane list"
    ;;
list_settings)
    mkdir "$WORK/f"
    : >"$WORK/f/{SN=5}.jpg"
    run list --set ParseMode=Nonsense "$WORK/f"
    expect_rc 2
    expect_text err 'ParseMode: the value "Nonsense"'
    run list --set ParseMode=1.x "$WORK/f"
    expect_rc 0
    expect_text out "$(printf '{SN=5}.jpg\tFail\t')"
    ;;
list_many)
    mkdir "$WORK/f"
    (cd "$WORK/f" && i=0 && while [ $i -lt 3000 ]; do : >"{DT=2004}{Serial=$i}.jpg"; i=$((i + 1)); done)
    run list --json "$WORK/f"
    expect_rc 0
    expect_lines out 3000
    [ "$(grep -c '"Status": "Good"' "$WORK/out")" -eq 3000 ] || fail "not every row is Good"
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
    run list -r "$WORK/f"
    [ -d "$WORK/f/locked" ] && chmod 755 "$WORK/f/locked"
    expect_rc 1
    expect_lines out 4
    expect_text out "$(printf 'a.jpg\t')"
    expect_text out "$(printf 'b.jpg\t')"
    expect_text out "$(printf 'c.jpg\t')"
    expect_text err "lorvane: Unable to read \"$WORK/f/deep/ddd"
    [ "$(grep -c 'File name too long' "$WORK/err")" -eq 1 ] || fail "the deep folder is not named once"
    [ "$(grep -c '^lorvane: Unable to read' "$WORK/err")" -eq "$unreadable" ] || fail "not every unreadable folder named"
    rm -rf "$WORK/f"
    ;;
list_dotdot)
    # ".." after a link to a folder is the parent of its target, as for the kernel.
    mkdir -p "$WORK/elsewhere/target" "$WORK/a"
    : >"$WORK/elsewhere/e.jpg"; : >"$WORK/a/a.jpg"
    ln -s "$WORK/elsewhere/target" "$WORK/a/link"
    real=$(cd "$WORK/elsewhere" && pwd -P)
    run list "$WORK/a/link/.."
    expect_rc 0
    expect_lines out 2
    expect_text out "$(printf 'e.jpg\tFail\tMissing start delimiter "{"\t0000/00/00 00:00:00 0000 0000 0000\t%s\t' "$real")"
    (cd "$WORK/a" && "$LORVANE" list link/..) >"$WORK/out" 2>"$WORK/err"; RC=$?
    expect_rc 0
    expect_text out "$(printf 'e.jpg\t')"
    # A link is otherwise kept as written.
    : >"$WORK/elsewhere/target/t.jpg"
    run list "$WORK/a/link/"
    expect_text out "$(printf '\t%s\t' "$WORK/a/link")"
    ;;
list_not_utf8)
    # A name that is not UTF-8 beside the name it reads as: each row says whose bytes it has.
    mkdir "$WORK/f" "$WORK/f/$(printf '\375dir')"
    : >"$WORK/f/$(printf '\376.jpg')"
    : >"$WORK/f/$(printf '\357\277\275.jpg')"
    : >"$WORK/f/$(printf '\375dir')/x.jpg"
    run list -r --json "$WORK/f"
    expect_rc 0
    expect_lines out 3
    [ "$(grep -c '"Name": "�.jpg"' "$WORK/out")" -eq 2 ] || fail "Name is not the readable text"
    [ "$(grep -c '"nameBytes": "/i5qcGc="}' "$WORK/out")" -eq 1 ] || fail "no nameBytes for the name that is not UTF-8"
    [ "$(grep -c 'nameBytes' "$WORK/out")" -eq 1 ] || fail "nameBytes on a UTF-8 name"
    expect_text out "\"pathBytes\": \"$(printf '%s/\375dir' "$WORK/f" | base64 -w0)\"}"
    # The bytes give back the file itself.
    bytes=$(grep -o '"nameBytes": "[^"]*"' "$WORK/out" | sed 's/.*: "\(.*\)"/\1/')
    [ -e "$WORK/f/$(printf '%s' "$bytes" | base64 -d)" ] || fail "nameBytes does not name the file"
    run list --help
    expect_text out 'nameBytes'
    ;;
stderr_escapes)
    # Names on standard error cannot reach the terminal as control sequences.
    run list "$WORK/$(printf 'x\033[31mred\nline')"
    expect_rc 1
    expect_line err "lorvane: \"$WORK/x?[31mred?line\" does not exist"
    run list "$(printf -- '--bad\033]0;title\007')" "$WORK"
    expect_rc 2
    expect_text err 'unknown option "--bad?]0;title?"'
    LC_ALL=C grep -q "$(printf '\033')" "$WORK/err" && fail "an escape character on stderr"
    # The outline writes them the same way, DEL, C1 controls and bytes that are not UTF-8 included.
    run check --human -- "$(printf 'a\177b\302\233c\233d\376.jpg')"
    expect_line out 'a?b?c?d?.jpg'
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
