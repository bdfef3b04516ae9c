#!/usr/bin/env bash
# Builds the test configuration (Debug, AddressSanitizer and UndefinedBehaviorSanitizer;
# the benchmarks are built too, so that they keep building, but not run) and runs
# every test through ctest, then runs each fuzz target for a few seconds
# from the committed seed corpus, and checks the Debian package made from this
# build (tools/package.sh dev: lintian, its contents, the unpacked programs).
# Exits non-zero on any failure.
# LORVANE_FUZZ_SECONDS sets the fuzzing time in total (0 skips it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages clang libclang-rt-dev "$LORVANE_PACKAGING_PACKAGES"

cd "$root"
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev

# The package of the build just made (sanitizers and all): the packaging is what
# is checked, the shipped package is tools/package.sh's optimised build.
if command -v lintian >/dev/null && command -v dpkg-deb >/dev/null; then
    echo "Checking the Debian package"
    "$root/tools/package.sh" dev
fi

fuzz_seconds="${LORVANE_FUZZ_SECONDS:-25}"
if [ "$fuzz_seconds" -gt 0 ]; then
    echo "Fuzzing every target from the seed corpus (${fuzz_seconds}s in all)"
    "$root/tools/fuzz.sh" "$fuzz_seconds"
fi
