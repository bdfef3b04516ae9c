#!/bin/sh
# Fails when a layer includes what it must not: the engine Qt or I/O, core
# widgets, and any layer a layer above it (the program's assembly, src/app, is
# the top: nothing includes it).
# Usage: layering_test.sh SOURCE_ROOT
set -eu
src="$1/src"
status=0

fail() {
    echo "layering: $1" >&2
    status=1
}

# The layers a folder may include from (its own included), lowest first.
allowed() {
    case "$1" in
        engine) echo "engine" ;;
        core) echo "engine core" ;;
        cli) echo "engine core cli" ;;
        gui) echo "engine core gui" ;;
        dialogs) echo "engine core gui dialogs" ;;
        editor | viewer) echo "engine core gui dialogs editor viewer" ;;
        browser) echo "engine core gui dialogs editor viewer browser" ;;
        # The program's assembly (main and window registration) joins them all.
        app) echo "engine core gui dialogs editor viewer browser app" ;;
        *) echo "" ;;
    esac
}

for dir in "$src"/*/; do
    layer=$(basename "$dir")
    ok=$(allowed "$layer")
    [ -n "$ok" ] || { fail "src/$layer has no place in the layers"; continue; }
    files=$(find "$dir" -name '*.h' -o -name '*.cpp')
    for f in $files; do
        rel=${f#"$1"/}
        grep -o '^#include "[a-z_]*/[^"]*"' "$f" | sed 's/^#include "//; s/"$//' | while read -r inc; do
            top=${inc%%/*}
            case " $ok " in *" $top "*) ;; *) echo "layering: $rel includes \"$inc\" from a layer above it" >&2; echo x ;; esac
        done | grep -q x && status=1
    done
done

# The engine: standard library only, and no I/O.
if grep -rn -E '^#include <(Q|fstream|iostream|filesystem|unistd\.h|fcntl\.h|dirent\.h|sys/)' "$src/engine"; then
    fail "the engine includes Qt or an I/O header"
fi
if grep -rn -E '(\b(fopen|fread|fwrite|fputs|printf|puts)[[:space:]]*\(|std::(cout|cerr|cin)\b)' "$src/engine" | grep -v -E '^[^:]*:[0-9]+:[[:space:]]*//'; then
    fail "the engine does I/O"
fi

# Core: QtCore only, no widgets or pictures.
qt_include=$(find /usr/include -maxdepth 3 -type d -name QtWidgets -path '*qt6*' 2>/dev/null | head -n1)
if [ -n "$qt_include" ]; then
    for module in QtWidgets QtGui; do
        for header in $(ls "$(dirname "$qt_include")/$module" | grep '^Q[A-Za-z]*$'); do
            if grep -rqn "^#include <$header>" "$src/core"; then fail "core includes <$header> from $module"; fi
        done
    done
fi
if grep -rn -E '^#include <Qt(Widgets|Gui)' "$src/core"; then fail "core includes a widget module"; fi

[ "$status" -eq 0 ] && echo "layering: every layer includes only what it may"
exit "$status"
