#!/usr/bin/env bash
# The settings file against Wine's regedit: what the store writes, regedit imports and exports
# unchanged, and a regedit export the store wrote back too (the RegeditRoundTrip tests of the
# native settings_tests). Wine runs once for all of them, in WINEPREFIX (scripts/wine-env.sh).
set -Eeuo pipefail
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."

source scripts/wine-env.sh

cmake --preset debug >/dev/null
cmake --build --preset debug -j2 --target settings_tests
start_wine
out=$(REGEDIT_WINE=$(command -v wine64) build/debug/tests/settings_tests --gtest_filter='RegeditRoundTrip.*' 2>&1) ||
  { echo "$out" >&2; exit 1; }
echo "$out" | tail -n 3
# A skipped case would pass without regedit having seen anything.
! grep -q SKIPPED <<<"$out"
