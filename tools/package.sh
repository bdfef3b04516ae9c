#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: lintian without errors, the
# package's contents listed, and the programs run from the unpacked package.
# Usage: tools/package.sh [PRESET]
# PRESET "package" (the default) is the optimised build the package is made for;
# ./test.sh passes "dev" to check the packaging on the build it has just made.
# The package is left in build/PRESET/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-package}"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages "$LORVANE_PACKAGING_PACKAGES"

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2
build="$root/build/$preset"
rm -f "$build"/lorvane-manager_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/lorvane-manager_*.deb)
echo "Package: $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Version\|Depends\|Installed-Size\):/  \1:/p'
echo "Contents:"
dpkg-deb --contents "$deb" | sed -E 's/^([^ ]+ +){5}/  /'

status=0
fail() {
    echo "package: $*" >&2
    status=1
}

# Errors fail; warnings are shown, as Debian's own packages show them.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

work=$(mktemp -d "${TMPDIR:-/tmp}/lorvane-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
bin="$work/root/usr/bin"
version=$("$bin/lorvane" --version) || fail "lorvane --version failed"
echo "$version"
[ "$version" = "lorvane (Lorvane Manager) $(dpkg-deb --field "$deb" Version)" ] ||
    fail "lorvane --version does not give the package's version"
# A name is checked from the unpacked program, with its own empty settings.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_DATA_HOME="$work/data"
"$bin/lorvane" check --human '{DT=2024-05-17}{SU=Ann}.jpg' | grep -q '^  build: Good' ||
    fail "lorvane check does not build a Good name"
QT_QPA_PLATFORM=offscreen "$bin/lorvane-manager" --version | grep -qxF "lorvane-manager ${version#lorvane }" ||
    fail "lorvane-manager --version differs from lorvane's"
# The unpacked program reads a picture's date through the module unpacked beside it.
cp "$root/tests/data/exif-date-taken.jpg" "$work/{SU=Ann}.jpg"
"$bin/lorvane" change-dates --generate taken "$work/{SU=Ann}.jpg" 2>"$work/err" |
    grep -qF '{DT=2019-03-04 @05-06-07}{SU=Ann}.jpg' || fail "no date taken read: $(cat "$work/err")"
# The installed programs list the installed sample names.
"$bin/lorvane" list "$work/root/usr/share/lorvane-manager/sample" >"$work/list" || fail "lorvane list on the sample failed"
[ "$(wc -l <"$work/list")" -gt 1 ] || fail "the package has no sample names"

[ "$status" -eq 0 ] && echo "The package checks passed."
exit "$status"
