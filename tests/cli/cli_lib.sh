# What the command-line test scripts share: a work folder, the run and the checks.
# Usage inside a script: . cli_lib.sh LORVANE CASE
# Each case runs with its own empty configuration and state folders, never the user's.
LORVANE=$1
CASE=$2

WORK=$(mktemp -d "${TMPDIR:-/tmp}/lorvane-cli.XXXXXX") || exit 1
trap 'rm -rf "$WORK"' EXIT
XDG_CONFIG_HOME="$WORK/config"
export XDG_CONFIG_HOME
XDG_STATE_HOME="$WORK/state"
export XDG_STATE_HOME
STORE="$XDG_CONFIG_HOME/lorvane/Lorvane Manager 2.1.ini"
failures=0

# run ARGS...: runs lorvane, keeping stdout, stderr and the exit code; run_rc RC ARGS... expects RC too.
run() {
    "$LORVANE" "$@" >"$WORK/out" 2>"$WORK/err"
    RC=$?
}
run_rc() {
    want=$1; shift
    run "$@"
    expect_rc "$want"
}

fail() {
    echo "FAIL: $*"
    echo "--- stdout:"; cat "$WORK/out"
    echo "--- stderr:"; cat "$WORK/err"
    failures=$((failures + 1))
}

expect_rc() {
    [ "$RC" -eq "$1" ] || fail "exit code $RC, expected $1"
}

# expect_line FILE TEXT...: FILE has a line exactly each TEXT; expect_text FILE TEXT...: each occurs in FILE.
expect_line() {
    f=$1; shift
    for t in "$@"; do grep -qxF -- "$t" "$WORK/$f" || fail "no line in $f equal to: $t"; done
}
expect_text() {
    f=$1; shift
    for t in "$@"; do grep -qF -- "$t" "$WORK/$f" || fail "$f does not contain: $t"; done
}

expect_lines() {
    n=$(wc -l <"$WORK/$1")
    [ "$n" -eq "$2" ] || fail "$1 has $n lines, expected $2"
}

write_store() {
    mkdir -p "$XDG_CONFIG_HOME/lorvane"
    printf '%s\n' "$@" >"$STORE"
}
