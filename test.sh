#!/usr/bin/env bash
# Builds the test configuration (Debug, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every test through ctest. Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/ensure_packages.sh
source "$root/tools/ensure_packages.sh"
ensure_packages

cd "$root"
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev
