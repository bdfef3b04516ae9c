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

# run ARGS...: runs lorvane, keeping stdout, stderr and the exit code.
run() {
    "$LORVANE" "$@" >"$WORK/out" 2>"$WORK/err"
    RC=$?
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

# expect_line FILE TEXT: FILE has a line exactly TEXT.
expect_line() {
    grep -qxF -- "$2" "$WORK/$1" || fail "no line in $1 equal to: $2"
}

# expect_text FILE TEXT: TEXT occurs in FILE.
expect_text() {
    grep -qF -- "$2" "$WORK/$1" || fail "$1 does not contain: $2"
}

expect_lines() {
    n=$(wc -l <"$WORK/$1")
    [ "$n" -eq "$2" ] || fail "$1 has $n lines, expected $2"
}

write_store() {
    mkdir -p "$XDG_CONFIG_HOME/lorvane"
    printf '%s\n' "$@" >"$STORE"
}

