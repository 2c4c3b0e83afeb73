#!/usr/bin/env bash
# Every test: the format check, the native suite (debug), the review files read back by
# LibreOffice Calc and jq, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the tests of threaded code under ThreadSanitizer, the Windows build
# under Wine, the Windows packages installed, used and removed again under Wine, and a bounded
# fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh all
export LC_ALL=C.UTF-8

step() { printf '\n== %s\n' "$*"; }

step "format"
scripts/check-format.sh

step "native suite"
cmake --preset debug >/dev/null
cmake --build --preset debug -j2
ctest --preset debug -j2

step "review files in LibreOffice Calc and jq"
scripts/test-spreadsheets.sh build/debug/anschriftenwandler-cli

step "sanitizers"
cmake --preset asan >/dev/null
cmake --build --preset asan -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan -j2

step "threads under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j2
TSAN_OPTIONS=halt_on_error=1 ctest --preset tsan -j2

step "Windows build under Wine"
scripts/test-windows.sh

step "Windows packages: built, installed, used and removed under Wine"
scripts/package-windows.sh
scripts/test-install-windows.sh

step "fuzzing"
scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
