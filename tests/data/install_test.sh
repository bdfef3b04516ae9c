#!/usr/bin/env bash
# The install tree of a build, in a temporary prefix. Usage: install_test.sh BUILD SOURCE CASE
BUILD=$1 SOURCE=$2 CASE=$3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/lorvane-install.XXXXXX") || exit 1
trap 'rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" XDG_STATE_HOME="$WORK/state"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cmake --install "$BUILD" --prefix "$WORK/usr" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
U=$WORK/usr LORVANE=$WORK/usr/bin/lorvane
need() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed"; exit 77; }; }

# The commands 'lorvane --help' lists; the options a command's help gives (usage and option lines).
commands() { "$LORVANE" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p'; }
options() {
    "$LORVANE" "$1" --help | sed -n -e 's/^Usage: //p' -e 's/^ \{2,\}\(-[^ ].*\)/\1/p' | sed 's/  .*//' |
        grep -oE -- '(^|[[ (|])--?[a-z0-9][a-z0-9-]*' | sed 's/^[[ (|]//' | sort -u
}

case $CASE in
tree)
    # The first start copies the sample folder from here: every file, byte for byte.
    diff -r "$SOURCE/sample" "$U/share/lorvane-manager/sample" >/dev/null || fail "the installed sample differs from sample/"
    # What the desktop entry names is installed: the program and the icon, drawn and rendered.
    desktop=$U/share/applications/org.lorvane.Manager.desktop
    [ -x "$U/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] || fail "Exec= names no installed program"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$U/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon= names no icon"
    for png in "$U"/share/icons/hicolor/*x*/apps/"$icon".png; do
        w=$(od -An -tu1 -j16 -N4 "$png" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
        [ "${w}x$w" = "$(basename "$(dirname "$(dirname "$png")")")" ] || fail "$png is not as wide as its folder says"
    done
    gzip -t "$U/share/doc/lorvane-manager/changelog.gz" || fail "the changelog is not gzip data"
    # The installed program reads a picture's date through the module installed beside it.
    cp "$SOURCE/tests/data/exif-date-taken.jpg" "$WORK/{SU=Ann}.jpg"
    "$LORVANE" change-dates --generate taken "$WORK/{SU=Ann}.jpg" 2>"$WORK/err" |
        grep -qF '{DT=2019-03-04 @05-06-07}{SU=Ann}.jpg' || fail "no date taken read: $(cat "$WORK/err")"
    ;;
validators)
    need desktop-file-validate && need appstreamcli
    desktop-file-validate "$U/share/applications/org.lorvane.Manager.desktop" || fail "desktop-file-validate"
    appstreamcli validate --no-net "$U/share/metainfo/org.lorvane.Manager.metainfo.xml" >"$WORK/as" 2>&1 ||
        { cat "$WORK/as"; fail "appstreamcli validate"; }
    ;;
versions)
    # One version everywhere: both programs, the metainfo's release, the manual.
    release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$U/share/metainfo/org.lorvane.Manager.metainfo.xml")
    [ "$("$LORVANE" --version)" = "lorvane (Lorvane Manager) $release" ] || fail "lorvane --version is not $release"
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$U/bin/lorvane-manager" --version)" = \
      "lorvane-manager (Lorvane Manager) $release" ] || fail "lorvane-manager --version is not $release (or needs a display)"
    gzip -dc "$U/share/man/man1/lorvane.1.gz" | grep -q "^\.TH .*\"Lorvane Manager $release\"" || fail "lorvane(1) is not $release"
    ;;
manuals)
    page=$WORK/lorvane.1
    gzip -dc "$U/share/man/man1/lorvane.1.gz" >"$page"
    for c in $(commands); do
        grep -qF ".SS \"${c//-/\\-} " "$page" || fail "lorvane(1) has no section for the command $c"
        for o in $(options "$c"); do  # as troff writes it (each "-" as "\-"), not a longer option's start
            grep -qE -- "${o//-/\\\\-}([^a-z0-9\\]|\$)" "$page" || fail "lorvane(1) does not mention $c's option $o"
        done
    done
    ;;
completion)
    # shellcheck source=/dev/null
    source "$U/share/bash-completion/completions/lorvane"
    compopt() { :; }  # only inside a real completion
    [ "$(complete -p lorvane)" = "complete -F _lorvane lorvane" ] || fail "no completion for lorvane"
    # offers WORD... : what the completion offers for the last word, one line.
    offers() { COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)); _lorvane; echo " ${COMPREPLY[*]} "; }
    for c in $(commands); do [[ $(offers lorvane "${c:0:3}") == *" $c "* ]] || fail "the command $c is not offered"; done
    have=$(offers lorvane remove-content -)
    for o in $(options remove-content); do [[ $have == *" $o "* ]] || fail "remove-content's $o is not offered"; done
    mkdir -p "$WORK/pics/folder" && : >"$WORK/pics/file.jpg" && cd "$WORK/pics" || exit 1
    # words | what must be offered | what must not be (a value's place offers no file)
    while IFS='|' read -r words wanted unwanted; do
        read -ra w <<<"$words"
        [[ $words == *" " ]] && w+=("")
        w[0]=$LORVANE  # for the keys of --set, which it asks of the tool
        got=$(offers "${w[@]}")
        for x in $wanted; do [[ $got == *" $x "* ]] || fail "\"$words\" does not offer $x: $got"; done
        for x in $unwanted; do [[ $got != *" $x "* ]] || fail "\"$words\" offers $x: $got"; done
    done <<'TABLE'
lorvane chan|change-dates change-sequence|check chronology
lorvane change-dates --generate |created modified earlier taken|file.jpg
lorvane change-sequence --generate |file.jpg folder|created
lorvane copy --to |folder|file.jpg
lorvane check --set ParseMo|ParseMode=|BuildMode=
TABLE
    ;;
*)
    echo "unknown case $CASE"
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
